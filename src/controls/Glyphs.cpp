#include "controls/Glyphs.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>
#include <memory>

namespace orvane {

namespace {

constexpr int highestGlyph = 9;

// One glyph's picture and the pixmaps drawn from it so far, shared by every button showing it:
// a button asks for its pixmap at each paint, and rendering the SVG costs far more than the blit.
struct GlyphPicture {
    explicit GlyphPicture(const QString& path) : renderer(path) {}
    QSvgRenderer renderer;
    QHash<quint64, QPixmap> pixmaps; // by size and mode
};

void paintGlyph(QSvgRenderer& renderer, QPainter* painter, const QRect& rect, QIcon::Mode mode)
{
    painter->save();
    if (mode == QIcon::Disabled)
        painter->setOpacity(0.35);
    renderer.render(painter, QRectF(rect));
    painter->restore();
}

// Draws an SVG picture straight at the size asked for, so glyphs stay crisp at any scale.
class SvgGlyphEngine : public QIconEngine {
public:
    explicit SvgGlyphEngine(std::shared_ptr<GlyphPicture> picture) : picture_(std::move(picture)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State /*state*/) override
    {
        paintGlyph(picture_->renderer, painter, rect, mode);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) override
    {
        const quint64 key = quint64(quint16(size.width())) << 32 | quint64(quint16(size.height())) << 16 | quint64(mode);
        QPixmap& cached = picture_->pixmaps[key];
        if (cached.isNull() && !size.isEmpty()) {
            QPixmap drawn(size);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            paintGlyph(picture_->renderer, &painter, QRect(QPoint(0, 0), size), mode);
            painter.end();
            cached = drawn;
        }
        return cached;
    }

    QIconEngine* clone() const override { return new SvgGlyphEngine(picture_); }

private:
    std::shared_ptr<GlyphPicture> picture_;
};

} // namespace

int GetMaxBmpID()
{
    return highestGlyph;
}

bool LoadBmp(QIcon& glyph, int number)
{
    if (number < 1 || number > highestGlyph)
        return false;
    // Each picture is read once per application: a window's start makes dozens of lookup buttons.
    static std::array<std::shared_ptr<GlyphPicture>, highestGlyph + 1> pictures;
    [[maybe_unused]] static const bool freedWithTheApplication = [] {
        qAddPostRoutine([] { pictures.fill(nullptr); });
        return true;
    }();
    std::shared_ptr<GlyphPicture>& picture = pictures[static_cast<std::size_t>(number)];
    if (!picture) {
        const QString path = QStringLiteral(":/orvane/glyphs/%1.svg").arg(number);
        if (!QFile::exists(path))
            return false;
        auto read = std::make_shared<GlyphPicture>(path);
        if (!read->renderer.isValid())
            return false;
        picture = std::move(read);
    }
    glyph = QIcon(new SvgGlyphEngine(picture));
    return true;
}

} // namespace orvane
