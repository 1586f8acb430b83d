#include "controls/Glyphs.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

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
    const QString path = QStringLiteral(":/orvane/glyphs/%1.svg").arg(number);
    if (number < 1 || number > highestGlyph || !QFile::exists(path))
        return false;
    auto renderer = std::make_shared<QSvgRenderer>(path);
    if (!renderer->isValid())
        return false;
    glyph = QIcon(new SvgGlyphEngine(std::move(renderer)));
    return true;
}

} // namespace orvane
