// The field label and the lookup button beside an edit, and the numbered glyphs.

#include "ControlFixture.h"
#include "controls/DBEdit.h"
#include "controls/DBLabel.h"
#include "controls/F2Button.h"
#include "controls/Glyphs.h"
#include "ui/LookupRequestEvent.h"

namespace orvane::test {
namespace {

class CompanionsTest : public ControlFixture {
protected:
    DBEdit* edit = new DBEdit(&window);
};

TEST_F(CompanionsTest, LabelsPlaceThemselvesAtEachPositionWithTruncatedHalvesAndClampsAndCompanionsFollowTheirControl)
{
    const struct {
        int pos;
        QRect control;
        QSize label;
        QPoint expected;
    } cases[] = {
        {0, {100, 50, 80, 21}, {40, 14}, {100, 32}}, {1, {100, 50, 80, 21}, {40, 14}, {56, 53}},
        {2, {100, 50, 80, 21}, {40, 14}, {184, 53}}, {3, {100, 50, 80, 21}, {40, 14}, {100, 75}},
        {1, {100, 50, 80, 14}, {40, 14}, {56, 50}}, // same height: the control's top
        {1, {100, 50, 80, 20}, {40, 13}, {56, 54}}, // 50 + 20/2 - 13/2, each half truncated
        {0, {10, 0, 80, 20}, {40, 13}, {10, 0}},    // above a control at the top edge
        {1, {2, 3, 80, 20}, {40, 13}, {0, 7}},      // no room on the left
        {2, {50, 0, 80, 10}, {40, 30}, {134, 0}},   // a taller label beside a control at the top
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pos);
        TDBLabel label(&window);
        label.setAutoCaption(false);
        label.resize(c.label);
        edit->setGeometry(c.control);
        label.setPlacement(c.pos);
        label.setFocusControl(edit);
        EXPECT_EQ(label.pos(), c.expected);
        label.setFocusControl(nullptr);
    }

    // Companions follow their control when it moves or is resized.
    TDBLabel label(&window);
    label.setAutoCaption(false);
    label.resize(40, 14);
    TF2Button button(&window);
    button.resize(20, 10);
    edit->setGeometry(100, 50, 80, 14);
    label.setFocusControl(edit);
    button.setF2Control(edit);
    EXPECT_EQ(button.geometry(), QRect(182, 50, 20, 14));
    showWindow(); // hidden widgets hear of moves only when shown
    edit->setGeometry(120, 60, 90, 22);
    EXPECT_EQ(label.pos(), QPoint(76, 64));
    EXPECT_EQ(button.geometry(), QRect(212, 60, 20, 22));
    button.setGap(5);
    EXPECT_EQ(button.x(), 215);
    button.setAutoAlign(false);
    edit->move(0, 0);
    EXPECT_EQ(button.x(), 215);
}

TEST_F(CompanionsTest, TheCaptionIsTheBoundFieldsDisplayLabelAndASecondCompanionIsRefusedOnce)
{
    TDBLabel first(&window);
    TDBLabel second(&window);
    TF2Button firstButton(&window);
    TF2Button secondButton(&window);
    first.setFocusControl(edit);
    EXPECT_EQ(first.text(), QString::fromUtf8(u8"哇靠标签")); // nothing bound yet
    firstButton.setF2Control(edit);
    firstButton.setF2Control(edit); // the same binding again: no refusal
    second.setFocusControl(edit);
    secondButton.setF2Control(edit);
    EXPECT_EQ(second.boundControl(), nullptr);
    EXPECT_EQ(secondButton.boundControl(), nullptr);
    EXPECT_EQ(first.boundControl(), edit);
    const auto& shown = dialogs->shownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8(u8"不能同时有两个 DBLabel 指到同一个 Control."));
    EXPECT_EQ(shown[1].text, QString::fromUtf8(u8"不能同时有两个 F2Button 指到同一个 Edit."));
    for (const MessageDialog& box : shown) {
        EXPECT_EQ(box.kind, DialogKind::Error);
        EXPECT_EQ(box.buttons, std::vector<int>{DialogAnswer::Ok});
    }

    // The caption is the bound field's display label.
    edit->setDataSource(&source);
    edit->setDataField("NAME");
    EXPECT_EQ(first.text(), QString::fromUtf8(u8"名称"));
    edit->setDataField("code");
    EXPECT_EQ(first.text(), "CODE");
    first.setAutoCaption(false);
    edit->setDataField("NAME");
    EXPECT_EQ(first.text(), "CODE");
}

// A form that records the lookups its controls ask for.
class LookupForm : public QWidget {
public:
    std::vector<std::string> log;
    QWidget* asked = nullptr;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != LookupRequestEvent::F2Request)
            return QWidget::event(event);
        asked = static_cast<LookupRequestEvent*>(event)->control();
        log.push_back(asked->hasFocus() ? "lookup, control focused" : "lookup");
        return true;
    }
};

TEST_F(CompanionsTest, AClickAsksTheFormForTheLookupAfterTheButtonsOwnHandler)
{
    LookupForm form;
    auto* code = new DBEdit(&form);
    auto* button = new TF2Button(&form);
    button->setF2Control(code);
    button->onClick = [&](TF2Button&) { form.log.push_back("click"); };
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    button->click();
    EXPECT_EQ(form.log, (std::vector<std::string>{"click", "lookup, control focused"}));
    EXPECT_EQ(form.asked, code);
    code->setEnabled(false);
    button->click();
    EXPECT_EQ(form.log.size(), 3u); // the handler only
}

TEST_F(CompanionsTest, GlyphNumbersWithinTheSetShowAGlyphAndOthersTheirNumber)
{
    for (int number = 1; number <= GetMaxBmpID(); ++number) {
        QIcon glyph;
        EXPECT_TRUE(LoadBmp(glyph, number)) << number;
        EXPECT_FALSE(glyph.pixmap(QSize(32, 32)).isNull()) << number;
    }
    TF2Button button;
    EXPECT_FALSE(button.icon().isNull()) << "the lookup glyph";
    EXPECT_TRUE(button.text().isEmpty());
    for (const int number : {0, 10, -1}) {
        button.setGlyphIndex(number);
        EXPECT_TRUE(button.icon().isNull()) << number;
        EXPECT_EQ(button.text(), QString::number(number));
    }
    button.setGlyphIndex(9);
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_TRUE(button.text().isEmpty());
}

} // namespace
} // namespace orvane::test
