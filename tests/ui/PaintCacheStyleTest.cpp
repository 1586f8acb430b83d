#include "ui/PaintCacheStyle.h"

#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTableView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvane::test {
namespace {

// The largest difference of one colour channel between two pictures of the same size.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// The picture `draw` makes with `style` on a window-coloured background.
QImage drawn(const QSize& size, const QStyle& style, const std::function<void(const QStyle&, QPainter&)>& draw)
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(style.standardPalette().window().color());
    QPainter painter(&picture);
    draw(style, painter);
    return picture;
}

struct Styles {
    std::unique_ptr<QStyle> fusion{QStyleFactory::create("fusion")};
    PaintCacheStyle cached;

    // Draws twice (the second time from the caches) and compares with Fusion's own picture.
    int largestDifference(const QSize& size, const std::function<void(const QStyle&, QPainter&)>& draw)
    {
        const QImage expected = drawn(size, *fusion, draw);
        drawn(size, cached, draw);
        return test::largestDifference(expected, drawn(size, cached, draw));
    }
};

// Draws `element` with a frame option of `rect` and `state` in the style's own palette (its
// disabled colours when not enabled), the option set further by `adjust`.
template <typename Option>
std::function<void(const QStyle&, QPainter&)> primitive(QStyle::PrimitiveElement element, QRect rect,
                                                        QStyle::State state,
                                                        std::function<void(Option&)> adjust = nullptr)
{
    return [=](const QStyle& style, QPainter& painter) {
        Option option;
        option.rect = rect;
        option.state = state;
        option.palette = style.standardPalette();
        if (!(state & QStyle::State_Enabled))
            option.palette.setCurrentColorGroup(QPalette::Disabled);
        option.lineWidth = 1;
        if (adjust)
            adjust(option);
        style.drawPrimitive(element, &option, &painter);
    };
}

TEST(PaintCacheStyleTest, FramesAndTabsLookAsFusionDrawsThem)
{
    Styles styles;
    const QStyle::State enabled = QStyle::State_Enabled | QStyle::State_Active;
    for (const QStyle::State state : {enabled, enabled | QStyle::State_HasFocus, QStyle::State(QStyle::State_Active),
                                      enabled | QStyle::State_ReadOnly})
        for (const QRect rect : {QRect(3, 2, 120, 22), QRect(0, 0, 30, 19)}) {
            SCOPED_TRACE(testing::Message() << "state " << uint(state) << " width " << rect.width());
            // The focus frame's soft highlight is blended twice through the picture: off by 2 of 255 at most.
            EXPECT_LE(styles.largestDifference(
                          QSize(130, 30), primitive<QStyleOptionFrame>(QStyle::PE_PanelLineEdit, rect, state)),
                      2);
        }
    // Large frames, drawn in slices, and one too small to slice.
    for (const QRect rect : {QRect(2, 3, 300, 200), QRect(0, 0, 18, 40)}) {
        SCOPED_TRACE(testing::Message() << "width " << rect.width());
        EXPECT_LE(styles.largestDifference(QSize(310, 210), primitive<QStyleOptionTabWidgetFrame>(
                                                                QStyle::PE_FrameTabWidget, rect, enabled)),
                  1);
        const auto styledPanel = [](QStyleOptionFrame& option) { option.frameShape = QFrame::StyledPanel; };
        EXPECT_LE(styles.largestDifference(QSize(310, 210),
                                           primitive<QStyleOptionFrame>(QStyle::PE_Frame, rect,
                                                                        enabled | QStyle::State_Sunken, styledPanel)),
                  1);
    }
    // Tab shapes.
    for (const auto position : {QStyleOptionTab::Beginning, QStyleOptionTab::Middle, QStyleOptionTab::OnlyOneTab})
        for (const bool selected : {true, false}) {
            SCOPED_TRACE(testing::Message() << "position " << int(position) << " selected " << selected);
            const auto tab = [&](const QStyle& style, QPainter& painter) {
                QStyleOptionTab option;
                option.rect = QRect(10, 6, 80, 24);
                option.state = enabled;
                if (selected)
                    option.state |= QStyle::State_Selected;
                option.palette = style.standardPalette();
                option.position = position;
                style.drawControl(QStyle::CE_TabBarTabShape, &option, &painter);
            };
            EXPECT_LE(styles.largestDifference(QSize(100, 40), tab), 2);
        }
}

TEST(PaintCacheStyleTest, ItemTextsAndTableCellsLookAsFusionDrawsThem)
{
    Styles styles;
    const int flags[] = {Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter, Qt::AlignRight | Qt::AlignBottom,
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, Qt::AlignCenter | Qt::TextWordWrap};
    const QString texts[] = {"Order", QString::fromUtf8(u8"客户编号"), "trailing  ", "&Save",
                             "a text far too long for its box"};
    for (const int flag : flags)
        for (const QString& text : texts)
            for (const bool enabled : {true, false}) {
                SCOPED_TRACE(testing::Message() << "flags " << flag << " text " << text.toStdString());
                const auto item = [&](const QStyle& style, QPainter& painter) {
                    QPalette palette = style.standardPalette();
                    palette.setCurrentColorGroup(enabled ? QPalette::Active : QPalette::Disabled);
                    style.drawItemText(&painter, QRect(5, 3, 110, 21), flag, palette, enabled, text,
                                       QPalette::WindowText);
                };
                EXPECT_EQ(styles.largestDifference(QSize(130, 30), item), 0);
            }

    // Table cells.
    using Features = QStyleOptionViewItem::ViewItemFeatures;
    const Features unwrapped = QStyleOptionViewItem::HasDisplay;
    const Features table = unwrapped | QStyleOptionViewItem::WrapText; // as tables draw their cells
    const Features checkable = table | QStyleOptionViewItem::HasCheckIndicator;
    const QString longText = "a text far too long for its cell";
    const QString longWord = "ORDER-2026-000012345-ABCDEFGH";
    // Long texts wrap in tables: Fusion alone draws them, their last line elided.
    const struct {
        Qt::Alignment alignment;
        QString text;
        Qt::TextElideMode elide;
        Features features;
    } cells[] = {
        {Qt::AlignLeft | Qt::AlignVCenter, "Order", Qt::ElideRight, table},
        {Qt::AlignRight | Qt::AlignVCenter, "1,234.50", Qt::ElideRight, checkable},
        {Qt::AlignHCenter | Qt::AlignBottom, QString::fromUtf8(u8"客户编号"), Qt::ElideRight, table},
        {Qt::AlignRight | Qt::AlignTop, "trailing  ", Qt::ElideRight, table},
        {Qt::AlignLeft | Qt::AlignVCenter, longText, Qt::ElideRight, unwrapped},
        {Qt::AlignRight | Qt::AlignVCenter, longText, Qt::ElideLeft, unwrapped},
        {Qt::AlignHCenter | Qt::AlignVCenter, longText, Qt::ElideMiddle, unwrapped},
        {Qt::AlignRight | Qt::AlignVCenter, longText, Qt::ElideNone, unwrapped},
        {Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(u8"客户编号客户编号客户编号客户"), Qt::ElideRight,
         unwrapped},
        {Qt::AlignLeft | Qt::AlignVCenter, longText, Qt::ElideRight, table},
        {Qt::AlignRight | Qt::AlignVCenter, longWord, Qt::ElideRight, table},
        {Qt::AlignLeft | Qt::AlignVCenter, "", Qt::ElideRight, table},
    };
    const QStyle::State enabled = QStyle::State_Enabled | QStyle::State_Active;
    for (const auto& cell : cells)
        for (const QStyle::State state :
             {enabled, enabled | QStyle::State_Selected, QStyle::State_Enabled | QStyle::State_Selected,
              QStyle::State(QStyle::State_None)})
            for (const int height : {22, 12}) {
                SCOPED_TRACE(testing::Message()
                             << "text " << cell.text.toStdString() << " alignment " << int(cell.alignment) << " state "
                             << uint(state) << " height " << height);
                const auto item = [&](const QStyle& style, QPainter& painter) {
                    QStyleOptionViewItem option;
                    option.rect = QRect(5, 3, 110, height);
                    option.state = state;
                    option.palette = style.standardPalette();
                    option.features = cell.features;
                    option.showDecorationSelected = true;
                    option.displayAlignment = cell.alignment;
                    option.textElideMode = cell.elide;
                    option.text = cell.text;
                    style.drawControl(QStyle::CE_ItemViewItem, &option, &painter);
                };
                EXPECT_EQ(styles.largestDifference(QSize(130, 30), item), 0);
            }
}

// A table painted as a window paints it: the picture of a cell or header section is drawn over
// what was painted under it, so plain rows, alternate rows, a selected row with its highlighted
// header sections and a coloured cell are all compared with Fusion's own pixels, the second paint
// from the pictures kept by the first.
TEST(PaintCacheStyleTest, TablesPaintedFromCellPicturesLookAsFusionPaintsThem)
{
    Styles styles;
    QStandardItemModel model(5, 3);
    const QString texts[] = {"Order", "1,234.50", QString::fromUtf8(u8"客户编号"), "a text far too long for its cell",
                             ""};
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column) {
            auto* item = new QStandardItem(texts[(row + column) % std::size(texts)]);
            if (column == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            model.setItem(row, column, item);
        }
    model.item(3, 2)->setBackground(QColor(255, 255, 175));
    model.item(4, 0)->setCheckable(true);
    QTableView view;
    view.setModel(&model);
    view.resize(420, 190);
    view.selectRow(1);
    view.horizontalHeader()->setHighlightSections(true); // as the order window's grid does
    view.verticalHeader()->setHighlightSections(true);
    QFont titles = view.font();
    titles.setItalic(true);
    view.horizontalHeader()->setFont(titles); // a section shows its text in its header's font
    view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view.show();
    const auto painted = [&](QStyle& style) {
        // A widget's style is not its children's: the headers are given it too.
        for (QWidget* widget : std::initializer_list<QWidget*>{&view, view.horizontalHeader(), view.verticalHeader()})
            widget->setStyle(&style);
        QImage picture(view.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(view.palette().window().color()); // the window under the view
        view.render(&picture);
        return picture;
    };
    for (const bool alternate : {false, true})
        for (const bool enabled : {true, false}) {
            SCOPED_TRACE(testing::Message() << "alternate rows " << alternate << " enabled " << enabled);
            view.setAlternatingRowColors(alternate);
            view.setEnabled(enabled);
            const QImage expected = painted(*styles.fusion);
            painted(styles.cached);
            EXPECT_EQ(largestDifference(expected, painted(styles.cached)), 0);
        }
    // Right to left, after the pictures of the same sections left to right.
    view.setLayoutDirection(Qt::RightToLeft);
    const QImage expected = painted(*styles.fusion);
    EXPECT_EQ(largestDifference(expected, painted(styles.cached)), 0) << "right to left";
}

} // namespace
} // namespace orvane::test
