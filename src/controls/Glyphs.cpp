#include "controls/Glyphs.h"

#include <QCoreApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>
#include <memory>

namespace orvane {

namespace {

constexpr int highestGlyph = 9;

// Draws an SVG picture straight at the size asked for, so glyphs stay crisp at any scale.
class SvgGlyphEngine : public QIconEngine {
public:
    explicit SvgGlyphEngine(std::shared_ptr<QSvgRenderer> renderer) : renderer_(std::move(renderer)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State /*state*/) override
    {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        renderer_->render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new SvgGlyphEngine(renderer_); }

private:
    std::shared_ptr<QSvgRenderer> renderer_;
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
    static std::array<std::shared_ptr<QSvgRenderer>, highestGlyph + 1> renderers;
    [[maybe_unused]] static const bool freedWithTheApplication = [] {
        qAddPostRoutine([] { renderers.fill(nullptr); });
        return true;
    }();
    std::shared_ptr<QSvgRenderer>& renderer = renderers[static_cast<std::size_t>(number)];
    if (!renderer) {
        const QString path = QStringLiteral(":/orvane/glyphs/%1.svg").arg(number);
        if (!QFile::exists(path))
            return false;
        auto read = std::make_shared<QSvgRenderer>(path);
        if (!read->isValid())
            return false;
        renderer = std::move(read);
    }
    glyph = QIcon(new SvgGlyphEngine(renderer));
    return true;
}

} // namespace orvane
