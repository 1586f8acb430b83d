#pragma once
// PaintCacheStyle: the Fusion look drawn from caches. A window's first paint draws every widget
// anew, and most of what they draw does not change between paints: a line edit's antialiased
// rounded frame, a tab's gradient shape, the outline of a tab page or a grid, the shaping and
// layout of a label's, button's or tab's text. This proxy keeps line edit panels and tab shapes as
// pixmaps (keyed by size, state and palette, as Qt's own styles keep theirs), draws large frames in
// slices of a small picture of them, and keeps laid-out text (keyed by text, font, alignment and
// rectangle size), the single-line texts of view cells too, and pictures of whole view cells and
// header sections drawn over a plain colour; all give the same pixels. Everything else is
// Fusion's. Client (GUI) thread only.

#include <QProxyStyle>

#include <array>
#include <functional>
#include <memory>
#include <type_traits>

class QStyleOptionHeader;
class QStyleOptionViewItem;
class QTextLayout;

namespace orvane {

class PaintCacheStyle : public QProxyStyle {
    Q_OBJECT
public:
    // A proxy of a new Fusion style.
    PaintCacheStyle();
    ~PaintCacheStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;

private:
    class TextLayouts;
    class Pictures;
    class SlicedFrames;
    class PlainPictures;
    // Up to six numbers of an element's option, beside its state, palette and size.
    using Details = std::array<int, 6>;
    struct PictureKey;
    friend size_t qHash(const PictureKey& key, size_t seed) noexcept;

    bool drawCell(const QStyleOptionViewItem& cell, QPainter& painter, const QWidget* widget) const;
    bool drawSection(const QStyleOptionHeader& header, QPainter& painter, const QWidget* widget) const;
    void drawCellText(const QStyleOptionViewItem& cell, const QTextLayout& layout, qreal height, const QRect& area,
                      QPainter& painter, const QWidget* widget) const;
    static PictureKey pictureKey(int element, const Details& details, const QStyleOption& option, qreal ratio);
    template <typename Option>
    void drawPicture(const PictureKey& key, const Option& option, QPainter& painter, qreal ratio, int padding,
                     const std::function<void(const std::type_identity_t<Option>&, QPainter&)>& draw) const;
    template <typename Option>
    bool drawSliced(PrimitiveElement element, const Option& option, const Details& details, QPainter& painter,
                    const QWidget* widget) const;

    std::unique_ptr<TextLayouts> texts_;
    std::unique_ptr<Pictures> pictures_;
    std::unique_ptr<SlicedFrames> frames_;
    std::unique_ptr<PlainPictures> plainPictures_;
};

// Makes PaintCacheStyle the application's style when the application draws with Fusion (the
// caches reproduce Fusion's pixels only). Does nothing when it is already in place or another
// style is in use.
void installPaintCacheStyle();

} // namespace orvane
