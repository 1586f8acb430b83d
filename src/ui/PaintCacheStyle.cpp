#include "ui/PaintCacheStyle.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextLayout>

#include <functional>

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

// Values made on first use and kept by key, up to a capacity: a full cache starts again. A value
// found stays valid until the next find.
template <typename Key, typename Value>
class KeptUntilFull {
public:
    explicit KeptUntilFull(qsizetype capacity) : capacity_(capacity) {}

    const Value& find(const Key& key, const std::function<std::shared_ptr<Value>()>& make)
    {
        if (auto found = kept_.constFind(key); found != kept_.cend())
            return **found;
        if (kept_.size() >= capacity_)
            kept_.clear();
        return **kept_.insert(key, make());
    }

private:
    qsizetype capacity_;
    QHash<Key, std::shared_ptr<Value>> kept_;
};

} // namespace

// Frames drawn in slices, kept by element, state and palette.
class PaintCacheStyle::SlicedFrames : public KeptUntilFull<QString, SlicedFrame> {
public:
    SlicedFrames() : KeptUntilFull(256) {}
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
    : QProxyStyle(QStyleFactory::create(QString::fromLatin1(fusion))),
      texts_(std::make_unique<TextLayouts>()),
      frames_(std::make_unique<SlicedFrames>())
{
}

PaintCacheStyle::~PaintCacheStyle() = default;

// The key parts Qt's styles use for their cached pictures.
QString PaintCacheStyle::pictureKey(const QString& element, const QStyleOption& option, qreal ratio)
{
    return QStringLiteral("orvane-%1-%2-%3-%4-%5x%6-%7")
        .arg(element)
        .arg(uint(option.state), 0, 16)
        .arg(option.palette.cacheKey())
        .arg(int(option.palette.currentColorGroup()))
        .arg(option.rect.width())
        .arg(option.rect.height())
        .arg(ratio);
}

void PaintCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (option != nullptr && !option->rect.isEmpty() && paintsPlainly(*painter)) {
        const qreal ratio = painter->device()->devicePixelRatio();
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
            frame != nullptr && element == PE_FrameLineEdit) {
            drawPicture(pictureKey(QStringLiteral("lineedit"), *frame, ratio), *frame, *painter, ratio, 0,
                        [&](const QStyleOptionFrame& atOrigin, QPainter& onPicture) {
                            QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
                        });
            return;
        }
        if (ratio == 1.0 && SlicedFrame::fits(option->rect)) {
            if (const auto* frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option);
                frame != nullptr && element == PE_FrameTabWidget &&
                drawSliced(element, *frame, QString::number(int(frame->shape)), *painter, widget))
                return;
            if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
                frame != nullptr && element == PE_Frame &&
                drawSliced(element, *frame,
                           QStringLiteral("%1-%2-%3-%4").arg(frame->lineWidth).arg(frame->midLineWidth)
                               .arg(int(frame->frameShape)).arg(int(frame->features)),
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
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    if (element != CE_TabBarTabShape || tab == nullptr || tab->rect.isEmpty() || !paintsPlainly(*painter)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QString key = pictureKey(QStringLiteral("tab-%1-%2-%3-%4-%5-%6")
                                       .arg(int(tab->shape))
                                       .arg(int(tab->position))
                                       .arg(int(tab->selectedPosition))
                                       .arg(int(tab->cornerWidgets))
                                       .arg(int(tab->features))
                                       .arg(tab->documentMode),
                                   *tab, ratio);
    // A selected tab reaches a little over its rectangle onto the page.
    drawPicture(key, *tab, *painter, ratio, 4, [&](const QStyleOptionTab& atOrigin, QPainter& onPicture) {
        QProxyStyle::drawControl(element, &atOrigin, &onPicture, widget);
    });
}

// Draws a small element from a picture of it made once per key (size, state, palette and what else
// the element's look depends on); `padding` leaves room for what it draws beyond its rectangle.
template <typename Option>
void PaintCacheStyle::drawPicture(const QString& key, const Option& option, QPainter& painter, qreal ratio,
                                  int padding, const std::function<void(const std::type_identity_t<Option>&, QPainter&)>& draw) const
{
    const QPoint margin(padding, padding);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap((option.rect.size() + QSize(2 * padding, 2 * padding)) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        Option atOrigin = option;
        atOrigin.rect.moveTo(margin);
        QPainter onPicture(&picture);
        draw(atOrigin, onPicture);
        onPicture.end();
        QPixmapCache::insert(key, picture);
    }
    painter.drawPixmap(option.rect.topLeft() - margin, picture);
}

// Draws a large frame in slices; false when the element is not the same along its edges.
template <typename Option>
bool PaintCacheStyle::drawSliced(PrimitiveElement element, const Option& option, const QString& variant,
                                 QPainter& painter, const QWidget* widget) const
{
    QStyleOption sizeless = option;
    sizeless.rect = QRect();
    const QString key = pictureKey(QString::number(int(element)), sizeless, 1.0) + variant;
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
// it. False, drawing nothing, for the cells whose text Fusion alone draws: on several lines, right
// to left, and those whose focus frame or editing rectangle would be drawn over the text.
bool PaintCacheStyle::drawCell(const QStyleOptionViewItem& cell, QPainter& painter, const QWidget* widget) const
{
    // A cell not selected whole highlights only its text's own measured rectangle.
    if (cell.text.isEmpty() || !cell.showDecorationSelected || cell.direction != Qt::LeftToRight ||
        (cell.state & (State_HasFocus | State_Editing)) || hasLineBreaksOrTabs(cell.text))
        return false;
    // Fusion draws the cell as one with nothing to show, which places the check, icon and text
    // rectangle as a cell selected whole places them, without laying a text out.
    QStyleOptionViewItem textless = cell;
    textless.text.clear();
    textless.features &= ~QStyleOptionViewItem::HasDisplay;
    const int margin = pixelMetric(PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = subElementRect(SE_ItemViewItemText, &textless, widget).adjusted(margin, 0, -margin, 0);
    if (area.isEmpty())
        return false;
    const TextLayouts::Laid& laid =
        texts_->findCell(cell.font, cell.displayAlignment, (cell.features & QStyleOptionViewItem::WrapText) != 0,
                         cell.textElideMode, area.width(), cell.text);
    if (!laid.oneLine)
        return false;
    QProxyStyle::drawControl(CE_ItemViewItem, &textless, &painter, widget);

    QPalette::ColorGroup group = (cell.state & State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(cell.state & State_Active))
        group = QPalette::Inactive;
    painter.save();
    painter.setClipRect(cell.rect, Qt::IntersectClip);
    painter.setPen(
        cell.palette.color(group, (cell.state & State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    const int top = alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment,
                                QSize(area.width(), int(laid.height)), area).top();
    laid.layout.draw(&painter, QPointF(area.x(), top));
    painter.restore();
    return true;
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
