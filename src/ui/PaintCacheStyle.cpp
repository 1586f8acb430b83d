#include "ui/PaintCacheStyle.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>

namespace orvane {

namespace {

constexpr auto fusion = "fusion";

// Text flags under which a text is laid out on one line, as QPainter::drawText would lay it out.
constexpr int multiLineFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::TextJustificationForced |
                               Qt::AlignJustify | Qt::TextForceRightToLeft;

bool hasLineBreaksOrTabs(const QString& text)
{
    for (const QChar c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == u'\x9c' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return true;
    return false;
}

// Whether drawText would lay `text` out on one line, left to right, with nothing taken out of it
// (mnemonics) or drawn apart from the glyphs (decorations).
bool isPlainLine(const QPainter& painter, int flags, const QString& text)
{
    const QFont& font = painter.font();
    if ((flags & multiLineFlags) != 0 || font.underline() || font.overline() || font.strikeOut())
        return false;
    if (painter.layoutDirection() != Qt::LeftToRight && (flags & Qt::TextForceLeftToRight) == 0)
        return false;
    if ((flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic)) != 0 && text.contains(u'&'))
        return false;
    return !hasLineBreaksOrTabs(text);
}

// Whether a line edit draws its own panel: a combo box's or spin box's edit is drawn by its owner.
bool isOwnPanel(const QWidget* edit)
{
    const QWidget* owner = edit != nullptr ? edit->parentWidget() : nullptr;
    return qobject_cast<const QComboBox*>(owner) == nullptr && qobject_cast<const QAbstractSpinBox*>(owner) == nullptr;
}

// Whether a pixmap drawn at the painter's origin gives the same pixels as drawing in place.
bool paintsPlainly(const QPainter& painter)
{
    return painter.transform().type() <= QTransform::TxTranslate && painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

// A frame drawn in nine parts: its corners from a small picture of the same frame, its edges and
// inside as lines of one colour each. Large frames (a tab page, a grid) cost their perimeter
// instead of the stroking and blending of their whole outline.
class SlicedFrame {
public:
    // Draws the element small (corners of `margin` and three pixels between them) with `draw`.
    explicit SlicedFrame(const std::function<void(QPainter&, const QRect&)>& draw)
        : small_(2 * margin + 3, 2 * margin + 3, QImage::Format_ARGB32_Premultiplied)
    {
        small_.fill(Qt::transparent);
        QPainter painter(&small_);
        draw(painter, small_.rect());
        painter.end();
        sliceable_ = isSliceable();
    }

    // Whether the frame is the same all along its edges and inside, so slices of it make it whole.
    bool sliceable() const { return sliceable_; }
    static bool fits(const QRect& rect) { return rect.width() > 2 * margin && rect.height() > 2 * margin; }

    void draw(QPainter& painter, const QRect& r) const
    {
        const int far = small_.width() - margin;
        const QRect corner(0, 0, margin, margin);
        painter.drawImage(r.topLeft(), small_, corner);
        painter.drawImage(QPoint(r.right() - margin + 1, r.top()), small_, corner.translated(far, 0));
        painter.drawImage(QPoint(r.left(), r.bottom() - margin + 1), small_, corner.translated(0, far));
        painter.drawImage(QPoint(r.right() - margin + 1, r.bottom() - margin + 1), small_, corner.translated(far, far));
        const int width = r.width() - 2 * margin;
        const int height = r.height() - 2 * margin;
        for (int i = 0; i < margin; ++i) {
            fill(painter, QRect(r.left() + margin, r.top() + i, width, 1), small_.pixel(margin, i));
            fill(painter, QRect(r.left() + margin, r.bottom() - margin + 1 + i, width, 1), small_.pixel(margin, far + i));
            fill(painter, QRect(r.left() + i, r.top() + margin, 1, height), small_.pixel(i, margin));
            fill(painter, QRect(r.right() - margin + 1 + i, r.top() + margin, 1, height), small_.pixel(far + i, margin));
        }
        fill(painter, QRect(r.left() + margin, r.top() + margin, width, height), small_.pixel(margin, margin));
    }

private:
    static constexpr int margin = 8;

    static void fill(QPainter& painter, const QRect& rect, QRgb colour)
    {
        if (qAlpha(colour) != 0)
            painter.fillRect(rect, QColor::fromRgba(colour));
    }

    bool isSliceable() const
    {
        for (int i = 0; i < small_.width(); ++i)
            for (int between = margin + 1; between < margin + 3; ++between)
                if (small_.pixel(between, i) != small_.pixel(margin, i) ||
                    small_.pixel(i, between) != small_.pixel(i, margin))
                    return false;
        return true;
    }

    QImage small_;
    bool sliceable_ = false;
};

QPalette::ColorGroup colourGroup(const QStyleOption& option)
{
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return (option.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
}

// The one colour of the image a painter draws on under `rect`, and the image's format; none when
// it draws on no image of 32-bit pixels, scales, or the rectangle is not of one colour.
struct PlainColour {
    QRgb pixel;
    QImage::Format format;
    bool operator==(const PlainColour&) const = default;
};
std::optional<PlainColour> plainColourUnder(const QPainter& painter, const QRect& rect)
{
    const QPaintEngine* engine = painter.paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster || !paintsPlainly(painter) ||
        painter.deviceTransform().type() > QTransform::TxTranslate)
        return std::nullopt;
    const QPaintDevice* device = engine->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image)
        return std::nullopt;
    const auto& image = *static_cast<const QImage*>(device);
    const QRect onImage = painter.deviceTransform().mapRect(rect);
    if (image.depth() != 32 || onImage.isEmpty() || !image.rect().contains(onImage))
        return std::nullopt;
    const auto line = [&](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)) + onImage.left(); };
    const QRgb* first = line(onImage.top());
    const std::size_t bytes = std::size_t(onImage.width()) * sizeof(QRgb);
    if (!std::all_of(first, first + onImage.width(), [first](QRgb pixel) { return pixel == *first; }))
        return std::nullopt;
    for (int y = onImage.top() + 1; y <= onImage.bottom(); ++y)
        if (std::memcmp(line(y), first, bytes) != 0)
            return std::nullopt;
    return PlainColour{*first, image.format()};
}

// The cell as one with nothing to show.
QStyleOptionViewItem textlessOf(const QStyleOptionViewItem& cell)
{
    QStyleOptionViewItem textless = cell;
    textless.text.clear();
    textless.features &= ~QStyleOptionViewItem::HasDisplay;
    return textless;
}

// Whether all a cell's look is in its key: no icon, no check, no background but a plain colour.
bool isPictured(const QStyleOptionViewItem& cell)
{
    const Qt::BrushStyle background = cell.backgroundBrush.style();
    return (cell.features & (QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasCheckIndicator)) == 0 &&
           (background == Qt::NoBrush || background == Qt::SolidPattern);
}

// What the picture of a whole element drawn over one plain colour (a view cell, a header section)
// looks like: its element, text, font, size and state, the details of its option it is drawn by,
// and that colour.
struct PlainPictureKey {
    int element;
    QString text;
    QFont font;
    QSize size;
    uint state;
    std::array<qint64, 10> details;
    PlainColour under;
    bool operator==(const PlainPictureKey&) const = default;
};
size_t qHash(const PlainPictureKey& key, size_t seed) noexcept
{
    return qHashMulti(seed, key.element, key.text, key.font, key.size.width(), key.size.height(), key.state,
                      qHashRange(key.details.begin(), key.details.end()), key.under.pixel, int(key.under.format));
}

PlainPictureKey cellKey(const QStyleOptionViewItem& cell, const PlainColour& under)
{
    const QPalette::ColorGroup group = colourGroup(cell);
    const QColor background = cell.backgroundBrush.style() == Qt::NoBrush ? QColor() : cell.backgroundBrush.color();
    return {QStyle::CE_ItemViewItem,
            cell.text,
            cell.font,
            cell.rect.size(),
            uint(cell.state),
            {int(cell.displayAlignment), int(cell.features), int(cell.textElideMode),
             cell.palette.color(group, QPalette::Text).rgba(),
             cell.palette.color(group, QPalette::HighlightedText).rgba(),
             cell.palette.color(group, QPalette::Highlight).rgba(), background.rgba()},
            under};
}

// A picture of the element of `option`, drawn by `draw` at the picture's origin over the plain colour
// the element is drawn over, with the painter's hints and font.
template <typename Option>
std::shared_ptr<QImage> pictureOver(const Option& option, const PlainColour& under, const QPainter& painter,
                                    const std::function<void(const Option&, QPainter&)>& draw)
{
    auto picture = std::make_shared<QImage>(option.rect.size(), under.format);
    picture->fill(under.pixel);
    Option atOrigin = option;
    atOrigin.rect.moveTo(0, 0);
    QPainter onPicture(picture.get());
    onPicture.setRenderHints(painter.renderHints());
    onPicture.setFont(painter.font());
    draw(atOrigin, onPicture);
    return picture;
}

// The section as the header asked for it, its drop target and elision included.
QStyleOptionHeaderV2 sectionOf(const QStyleOptionHeader& header)
{
    if (const auto* whole = qstyleoption_cast<const QStyleOptionHeaderV2*>(&header))
        return *whole;
    QStyleOptionHeaderV2 section;
    static_cast<QStyleOptionHeader&>(section) = header;
    return section;
}

// A section looks the same in every header and shows its text in the font the header paints it in.
PlainPictureKey sectionKey(const QStyleOptionHeaderV2& section, const QFont& font, const PlainColour& under)
{
    return {QStyle::CE_Header,
            section.text,
            font,
            section.rect.size(),
            uint(section.state),
            {section.palette.cacheKey(), int(section.palette.currentColorGroup()), int(section.textAlignment),
             int(section.position), int(section.selectedPosition), int(section.sortIndicator), int(section.orientation),
             int(section.textElideMode), int(section.isSectionDragTarget), int(section.direction)},
            under};
}

// Values made on first use and kept by key, up to a capacity: a full cache starts again. A value
// found stays valid until the next find.
template <typename Key, typename Value>
class KeptUntilFull {
public:
    explicit KeptUntilFull(qsizetype capacity) : capacity_(capacity) {}

    const Value& find(const Key& key, const std::function<std::shared_ptr<Value>()>& make)
    {
        if (const Value* found = kept(key))
            return *found;
        return keep(key, make());
    }

    const Value* kept(const Key& key) const
    {
        const auto found = kept_.constFind(key);
        return found != kept_.cend() ? found->get() : nullptr;
    }

    const Value& keep(const Key& key, std::shared_ptr<Value> value)
    {
        if (kept_.size() >= capacity_)
            kept_.clear();
        return **kept_.insert(key, std::move(value));
    }

private:
    qsizetype capacity_;
    QHash<Key, std::shared_ptr<Value>> kept_;
};

} // namespace

// What a picture of a style element looks like: its element, its option's details, state,
// palette and size, and the device's pixel ratio.
struct PaintCacheStyle::PictureKey {
    int element;
    Details details; // what else of the element's option its look depends on
    uint state;
    qint64 palette;
    int group;
    QSize size;
    qreal ratio;
    bool operator==(const PictureKey&) const = default;
};
size_t qHash(const PaintCacheStyle::PictureKey& key, size_t seed) noexcept
{
    return qHashMulti(seed, key.element, qHashRange(key.details.begin(), key.details.end()), key.state, key.palette,
                      key.group, key.size.width(), key.size.height(), key.ratio);
}

// Small elements' pictures, kept by element, state, palette and size.
class PaintCacheStyle::Pictures : public KeptUntilFull<PictureKey, QPixmap> {
public:
    Pictures() : KeptUntilFull(512) {}
};

// Frames drawn in slices, kept by element, state and palette.
class PaintCacheStyle::SlicedFrames : public KeptUntilFull<PictureKey, SlicedFrame> {
public:
    SlicedFrames() : KeptUntilFull(256) {}
};

// Pictures of whole view cells and header sections, by everything their pixels depend on: a
// grid's worth several times.
class PaintCacheStyle::PlainPictures : public KeptUntilFull<PlainPictureKey, QImage> {
public:
    PlainPictures() : KeptUntilFull(1536) {}
};

// Laid-out lines of text: an item's kept by text, font, flags and rectangle size, a view cell's by
// text, font, alignment, wrapping, elide mode and text width.
class PaintCacheStyle::TextLayouts {
public:
    struct Laid {
        QTextLayout layout;
        qreal width = 0;  // the natural width of an item's line
        qreal height = 0; // an item's ascent and descent; a cell's whole text's height, before eliding
        bool oneLine = true; // false for a cell whose text wraps: left to Fusion
    };

    // The laid-out line for drawing `text` in a rectangle of `size`; made on first use.
    const Laid& find(const QFont& font, int flags, const QSize& size, const QString& text)
    {
        return laid_.find({text, font, flags, size, noElision}, [&] { return layOut(font, text); });
    }

    // The laid-out text of a view cell whose text is `width` wide (wrapped at words when `wrap`),
    // elided as the view elides it when it does not fit.
    const Laid& findCell(const QFont& font, Qt::Alignment alignment, bool wrap, Qt::TextElideMode elide, int width,
                         const QString& text)
    {
        const int flags = int(alignment & Qt::AlignHorizontal_Mask) | (wrap ? Qt::TextWordWrap : 0);
        return laid_.find({text, font, flags, QSize(width, 0), elide},
                          [&] { return layOutCell(font, alignment, wrap, elide, width, text); });
    }

private:
    struct Key {
        QString text;
        QFont font;
        int flags;
        QSize size;
        int elide;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.text, key.font, key.flags, key.size.width(), key.size.height(), key.elide);
    }

    // An item's text is never elided; its key's elide mode is none of Qt's.
    static constexpr int noElision = -1;
    // The width drawText gives a line it does not wrap, so the whole text is one line.
    static constexpr qreal unbounded = 0x01000000;
    // Enough for every text of several windows; a full cache starts again.
    static constexpr qsizetype capacity = 4096;

    // A layout of the text, left to right, keeping its shaped glyphs between draws.
    static std::shared_ptr<Laid> newLaid(const QFont& font, const QString& text, QTextOption option)
    {
        option.setTextDirection(Qt::LeftToRight);
        auto laid = std::make_shared<Laid>();
        laid->layout.setText(text);
        laid->layout.setFont(font);
        laid->layout.setTextOption(option);
        laid->layout.setCacheEnabled(true);
        return laid;
    }

    static std::shared_ptr<Laid> layOut(const QFont& font, const QString& text)
    {
        QTextOption option;
        option.setAlignment(Qt::AlignLeft);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        auto laid = newLaid(font, text, option);
        laid->layout.beginLayout();
        QTextLine line = laid->layout.createLine();
        line.setLineWidth(unbounded);
        line.setPosition(QPointF(0, 0));
        laid->layout.endLayout();
        laid->width = line.naturalTextWidth();
        laid->height = line.ascent() + line.descent();
        return laid;
    }

    // Lays a cell's text out as the view lays it out: lines of `width` stacked from the top, a
    // single line elided and ended by a line separator when it is wider.
    static std::shared_ptr<Laid> layOutCell(const QFont& font, Qt::Alignment alignment, bool wrap,
                                            Qt::TextElideMode elide, int width, const QString& text)
    {
        QTextOption option;
        option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
        option.setAlignment(QStyle::visualAlignment(Qt::LeftToRight, alignment));
        auto laid = newLaid(font, text, option);
        const qreal natural = stackLines(laid->layout, width);
        laid->height = laid->layout.boundingRect().size().toSize().height();
        laid->oneLine = laid->layout.lineCount() == 1;
        if (laid->oneLine && natural > width) {
            QString elided = QFontMetrics(font).elidedText(text, elide, width);
            if (!elided.endsWith(QChar::LineSeparator))
                elided += QChar::LineSeparator;
            laid->layout.setText(elided);
            stackLines(laid->layout, width);
        }
        return laid;
    }

    // Lays `layout` out in lines of `width`; the widest line's natural width.
    static qreal stackLines(QTextLayout& layout, int width)
    {
        qreal natural = 0;
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
            natural = std::max(natural, line.naturalTextWidth());
        }
        layout.endLayout();
        return natural;
    }

    KeptUntilFull<Key, Laid> laid_{capacity};
};

PaintCacheStyle::PaintCacheStyle()
    : QProxyStyle(QStyleFactory::create(QString::fromLatin1(fusion))), texts_(std::make_unique<TextLayouts>()),
      pictures_(std::make_unique<Pictures>()), frames_(std::make_unique<SlicedFrames>()),
      plainPictures_(std::make_unique<PlainPictures>())
{}

PaintCacheStyle::~PaintCacheStyle() = default;

// The key parts Qt's styles use for their cached pictures.
PaintCacheStyle::PictureKey PaintCacheStyle::pictureKey(int element, const Details& details, const QStyleOption& option,
                                                        qreal ratio)
{
    return {element,
            details,
            uint(option.state),
            option.palette.cacheKey(),
            int(option.palette.currentColorGroup()),
            option.rect.size(),
            ratio};
}

void PaintCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (option != nullptr && !option->rect.isEmpty() && paintsPlainly(*painter)) {
        const qreal ratio = painter->device()->devicePixelRatio();
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
            frame != nullptr && (element == PE_FrameLineEdit || (element == PE_PanelLineEdit && isOwnPanel(widget)))) {
            drawPicture(pictureKey(element, {frame->lineWidth}, *frame, ratio), *frame, *painter, ratio, 0,
                        [&](const QStyleOptionFrame& atOrigin, QPainter& onPicture) {
                            QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
                        });
            return;
        }
        if (ratio == 1.0 && SlicedFrame::fits(option->rect)) {
            if (const auto* frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option);
                frame != nullptr && element == PE_FrameTabWidget &&
                drawSliced(element, *frame, {int(frame->shape)}, *painter, widget))
                return;
            if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
                frame != nullptr && element == PE_Frame &&
                drawSliced(element, *frame,
                           {frame->lineWidth, frame->midLineWidth, int(frame->frameShape), int(frame->features)},
                           *painter, widget))
                return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void PaintCacheStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const
{
    if (const auto* cell = qstyleoption_cast<const QStyleOptionViewItem*>(option);
        element == CE_ItemViewItem && cell != nullptr && drawCell(*cell, *painter, widget))
        return;
    if (const auto* section = qstyleoption_cast<const QStyleOptionHeader*>(option);
        element == CE_Header && section != nullptr && drawSection(*section, *painter, widget))
        return;
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    if (element != CE_TabBarTabShape || tab == nullptr || tab->rect.isEmpty() || !paintsPlainly(*painter)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    // Controls' keys are kept apart from primitives' by their sign.
    const PictureKey key = pictureKey(-1 - int(element),
                                      {int(tab->shape), int(tab->position), int(tab->selectedPosition),
                                       int(tab->cornerWidgets), int(tab->features), int(tab->documentMode)},
                                      *tab, ratio);
    // A selected tab reaches a little over its rectangle onto the page.
    drawPicture(key, *tab, *painter, ratio, 4, [&](const QStyleOptionTab& atOrigin, QPainter& onPicture) {
        QProxyStyle::drawControl(element, &atOrigin, &onPicture, widget);
    });
}

// Draws a small element from a picture of it made once per key (size, state, palette and what else
// the element's look depends on); `padding` leaves room for what it draws beyond its rectangle.
template <typename Option>
void PaintCacheStyle::drawPicture(const PictureKey& key, const Option& option, QPainter& painter, qreal ratio,
                                  int padding, const std::function<void(const std::type_identity_t<Option>&, QPainter&)>& draw) const
{
    const QPoint margin(padding, padding);
    const QPixmap& picture = pictures_->find(key, [&] {
        auto made = std::make_shared<QPixmap>((option.rect.size() + QSize(2 * padding, 2 * padding)) * ratio);
        made->setDevicePixelRatio(ratio);
        made->fill(Qt::transparent);
        Option atOrigin = option;
        atOrigin.rect.moveTo(margin);
        QPainter onPicture(made.get());
        draw(atOrigin, onPicture);
        return made;
    });
    painter.drawPixmap(option.rect.topLeft() - margin, picture);
}

// Draws a large frame in slices; false when the element is not the same along its edges.
template <typename Option>
bool PaintCacheStyle::drawSliced(PrimitiveElement element, const Option& option, const Details& details,
                                 QPainter& painter, const QWidget* widget) const
{
    QStyleOption sizeless = option;
    sizeless.rect = QRect();
    const PictureKey key = pictureKey(int(element), details, sizeless, 1.0);
    const SlicedFrame& frame = frames_->find(key, [&] {
        return std::make_shared<SlicedFrame>([&](QPainter& onPicture, const QRect& rect) {
            Option small = option;
            small.rect = rect;
            QProxyStyle::drawPrimitive(element, &small, &onPicture, widget);
        });
    });
    if (!frame.sliceable())
        return false;
    frame.draw(painter, option.rect);
    return true;
}

// Draws a view cell as Fusion does, a single line of text from a layout made once: Fusion draws the
// cell without its text (background, selection, check, icon), then the text goes where Fusion puts
// it. A cell drawn over one plain colour (a view's background) is kept whole as a picture and
// copied; a row repaints when one of its cells changes, and most of its cells look as they did.
// False, drawing nothing, for the cells whose text Fusion alone draws: on several lines, right to
// left, and those whose focus frame or editing rectangle would be drawn over the text.
bool PaintCacheStyle::drawCell(const QStyleOptionViewItem& cell, QPainter& painter, const QWidget* widget) const
{
    // A cell not selected whole highlights only its text's own measured rectangle.
    if (cell.text.isEmpty() || !cell.showDecorationSelected || cell.direction != Qt::LeftToRight ||
        (cell.state & (State_HasFocus | State_Editing)) || hasLineBreaksOrTabs(cell.text))
        return false;
    const std::optional<PlainColour> under = isPictured(cell) ? plainColourUnder(painter, cell.rect) : std::nullopt;
    const std::optional<PlainPictureKey> key = under ? std::optional(cellKey(cell, *under)) : std::nullopt;
    if (const QImage* picture = key ? plainPictures_->kept(*key) : nullptr) {
        painter.drawImage(cell.rect.topLeft(), *picture);
        return true;
    }
    // Fusion draws the cell as one with nothing to show, which places the check, icon and text
    // rectangle as a cell selected whole places them, without laying a text out.
    const QStyleOptionViewItem textless = textlessOf(cell);
    const int margin = pixelMetric(PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = subElementRect(SE_ItemViewItemText, &textless, widget).adjusted(margin, 0, -margin, 0);
    if (area.isEmpty())
        return false;
    const TextLayouts::Laid& laid =
        texts_->findCell(cell.font, cell.displayAlignment, (cell.features & QStyleOptionViewItem::WrapText) != 0,
                         cell.textElideMode, area.width(), cell.text);
    if (!laid.oneLine)
        return false;
    const auto draw = [&](const QStyleOptionViewItem& onto, QPainter& target) {
        drawCellText(onto, laid.layout, laid.height, area.translated(onto.rect.topLeft() - cell.rect.topLeft()), target,
                     widget);
    };
    if (key)
        painter.drawImage(cell.rect.topLeft(),
                          plainPictures_->keep(*key, pictureOver<QStyleOptionViewItem>(cell, *under, painter, draw)));
    else
        draw(cell, painter);
    return true;
}

// Draws a header section over one plain colour from a picture of it; false, drawing nothing, for
// a section with an icon or over anything else.
bool PaintCacheStyle::drawSection(const QStyleOptionHeader& header, QPainter& painter, const QWidget* widget) const
{
    if (!header.icon.isNull() || header.rect.isEmpty())
        return false;
    const std::optional<PlainColour> under = plainColourUnder(painter, header.rect);
    if (!under)
        return false;
    const QStyleOptionHeaderV2 section = sectionOf(header);
    const QImage& picture = plainPictures_->find(sectionKey(section, painter.font(), *under), [&] {
        const auto draw = [&](const QStyleOptionHeaderV2& atOrigin, QPainter& onPicture) {
            QProxyStyle::drawControl(CE_Header, &atOrigin, &onPicture, widget);
        };
        return pictureOver<QStyleOptionHeaderV2>(section, *under, painter, draw);
    });
    painter.drawImage(header.rect.topLeft(), picture);
    return true;
}

// Fusion's cell without its text, then the text laid out in `area`.
void PaintCacheStyle::drawCellText(const QStyleOptionViewItem& cell, const QTextLayout& layout, qreal height,
                                   const QRect& area, QPainter& painter, const QWidget* widget) const
{
    const QStyleOptionViewItem textless = textlessOf(cell);
    QProxyStyle::drawControl(CE_ItemViewItem, &textless, &painter, widget);

    painter.save();
    painter.setClipRect(cell.rect, Qt::IntersectClip);
    painter.setPen(cell.palette.color(colourGroup(cell),
                                      (cell.state & State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    const int top =
        alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment, QSize(area.width(), int(height)), area).top();
    layout.draw(&painter, QPointF(area.x(), top));
    painter.restore();
}

// Draws as QPainter::drawText(rect, flags, text) does, from a layout made once.
void PaintCacheStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                                   bool enabled, const QString& text, QPalette::ColorRole textRole) const
{
    if (text.isEmpty())
        return;
    if (!isPlainLine(*painter, flags, text)) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        return;
    }
    const QPen savedPen = painter->pen();
    if (textRole != QPalette::NoRole)
        painter->setPen(QPen(palette.brush(textRole), savedPen.widthF()));
    if (painter->pen().style() != Qt::NoPen) {
        const TextLayouts::Laid& laid = texts_->find(painter->font(), flags, rect.size(), text);
        const QRectF area(rect);
        // Where a line of `width` starts across the rectangle.
        const auto across = [&](qreal width) {
            if ((flags & Qt::AlignRight) != 0)
                return area.width() - width;
            return (flags & Qt::AlignHCenter) != 0 ? (area.width() - width) / 2 : 0.0;
        };
        qreal y = 0;
        if ((flags & Qt::AlignBottom) != 0)
            y = area.height() - laid.height;
        else if ((flags & Qt::AlignVCenter) != 0)
            y = (area.height() - laid.height) / 2;
        // The clip is decided on the glyphs' width, the line placed by its advance, trailing
        // spaces included.
        const bool clip = (flags & Qt::TextDontClip) == 0 &&
                          !area.contains(QRectF(area.x() + across(laid.width), area.y() + y, laid.width, laid.height));
        if (clip) {
            painter->save();
            painter->setClipRect(rect, Qt::IntersectClip);
        }
        const QTextLine line = laid.layout.lineAt(0);
        line.draw(painter, QPointF(area.x() + across(line.horizontalAdvance()), area.y() + y));
        if (clip)
            painter->restore();
    }
    painter->setPen(savedPen);
}

void installPaintCacheStyle()
{
    QStyle* current = QApplication::style();
    if (qobject_cast<PaintCacheStyle*>(current) != nullptr ||
        current->name().compare(QLatin1String(fusion), Qt::CaseInsensitive) != 0)
        return;
    QApplication::setStyle(new PaintCacheStyle);
}

} // namespace orvane
