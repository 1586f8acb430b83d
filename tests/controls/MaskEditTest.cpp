// The masked edit: the translation of our masks to Qt's, and what a user typing into the edit
// hands to the field handlers (literals kept, blanks as spaces).

#include "controls/MaskEdit.h"

#include "platform/text/CodePage.h"
#include "platform/text/FieldTextRules.h"
#include "support/LocalText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class MaskEditTest : public ::testing::Test {
protected:
    // Types keys into a fresh edit with the mask and answers the field text.
    std::string typed(std::string_view mask, const char* keys)
    {
        edit.setEditMask(mask);
        edit.clear();
        edit.setFocus();
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, keys);
        return edit.fieldText();
    }

    MaskEdit edit;
};

TEST_F(MaskEditTest, TranslationDigitsSwapMeaningAndQtMaskCharactersAreEscaped)
{
    const struct {
        QString mask;
        QString qtMask;
        bool keepLiterals;
    } cases[] = {
        {"9999/99/99;1; ", "0000/00/00; ", true},
        {"###.##%;1; ", "###.##%; ", true},
        {"9999--99--99;1; ", "0000--00--00; ", true},
        {"0a\\9;1;_", "9n\\9;_", true},
        {"9999\\a99;1; ", "0000\\a00; ", true},
        {"L>l<>c;0; ", "A>a!x; ", false},
        {"99 Hd_!9;1; ", "00 \\H\\d 0; ", true},
        {"99;0", "00; ", false},
        {"", "", true},
        {"99\\;99;1; ", "", true}, // Qt has no literal ";": a plain edit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask.toStdString());
        const TranslatedMask translated = translateEditMask(c.mask);
        EXPECT_EQ(translated.inputMask, c.qtMask);
        EXPECT_EQ(translated.keepLiterals, c.keepLiterals);
    }
    EXPECT_EQ(translateEditMask("99/99;1; ").literal, (std::vector<bool>{false, false, true, false, false}));
}

TEST_F(MaskEditTest, TypedTextKeepsLiteralsOfAnyWidthAndShowsBlanksAsSpaces)
{
    EXPECT_EQ(typed("9999/99/99;1; ", "2024/5/6"), "2024/5 /6 ");
    EXPECT_EQ(typed("99:99;1; ", "9:5"), "9 :5 ");
    EXPECT_EQ(text::timeStorageText(edit.fieldText()), "0905");
    EXPECT_EQ(typed("###.##%;1; ", "5.5"), "5  .5 %");
    EXPECT_EQ(typed("9999/99/99;1; ", "ab"), "    /  /  ") << "letters are refused by digit slots";

    // Separators of several or double-byte characters.
    const std::string separator = gbk("年");
    edit.setEditMask(text::dateEditMask(1, separator));
    EXPECT_EQ(edit.qtInputMask(), QString::fromUtf8("0000年00年00; "));
    edit.setFieldText(text::dateDisplayText({2024, 5, 6}, 1, separator));
    EXPECT_EQ(edit.fieldText(), "2024" + separator + "05" + separator + "06");
    EXPECT_EQ(text::dateStorageText(edit.fieldText(), 1, separator), "20240506");

    EXPECT_EQ(typed(text::dateEditMask(1, "--"), "20240506"), "2024--05--06");
}

TEST_F(MaskEditTest, FieldTextsShowInTheMaskAndWithoutOneAsTheyAre)
{
    edit.setEditMask("999/99/99;1; ");
    edit.setFieldText("113/05/06");
    EXPECT_EQ(edit.fieldText(), "113/05/06");
    edit.setFieldText("19/01/01");
    EXPECT_EQ(text::dateStorageText(edit.fieldText(), 4, "/"), "19300101");

    // Percentages line their point up with the mask's, whatever their width; one wider than the
    // mask is shown whole and reads back as itself, and the next narrow one has the mask as set.
    edit.setEditMask(text::percentEditMask);
    for (const auto& [fraction, shown] : {std::pair{0.055, "  5.50%"},
                                          {0.0, "  0.00%"},
                                          {1.25, "125.00%"},
                                          {10.0, "1000.00%"},
                                          {-1.2345, "-123.45%"},
                                          {0.5, " 50.00%"}}) {
        edit.setFieldText(text::percentText(fraction));
        EXPECT_EQ(edit.fieldText(), shown);
    }
    edit.setFieldText(text::percentText(123.0));
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, "9");
    EXPECT_EQ(edit.fieldText(), "92300.00%") << "the widened slots take typing";

    // Reached by Tab, put there by the program, or back from a calendar that picked a new value, the edit
    // is selected: typing replaces the value instead of filling the blanks in front (150.01%).
    for (const Qt::FocusReason reason : {Qt::TabFocusReason, Qt::OtherFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(&edit, &away);
        edit.setFieldText(text::percentText(0.0001));
        QFocusEvent focusIn(QEvent::FocusIn, reason);
        QApplication::sendEvent(&edit, &focusIn);
        QTest::keyClicks(&edit, "15");
        EXPECT_EQ(edit.fieldText(), "15 .  %") << reason;
    }

    edit.setEditMask("99/99;0; ");
    edit.setFieldText("12/34");
    EXPECT_EQ(edit.fieldText(), "1234");
    // The same field text shown again replaces whatever was written over it meanwhile.
    edit.setText("56/78");
    edit.setFieldText("12/34");
    EXPECT_EQ(edit.fieldText(), "1234");

    // An empty mask is a plain edit.
    edit.setEditMask("");
    EXPECT_TRUE(edit.inputMask().isEmpty());
    edit.setFieldText(gbk("客户 C001"));
    EXPECT_EQ(edit.fieldText(), gbk("客户 C001"));
}

TEST_F(MaskEditTest, AnEmptyValueLooksEmptyUntilTheEditTakesTheFocus)
{
    edit.setEditMask(text::percentEditMask);
    edit.setFieldText(text::percentText(0.05));
    edit.setFieldText("");
    EXPECT_EQ(edit.displayText(), "") << "not the mask's \" .  %\"";
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &tabbedIn);
    QTest::keyClicks(&edit, "15");
    EXPECT_EQ(edit.fieldText(), "15 .  %");

    // Emptied and left, it looks empty again; the change stays to be written, as the blank mask.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QFocusEvent tabbedOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &tabbedOut);
    EXPECT_EQ(edit.displayText(), "");
    EXPECT_TRUE(edit.isModified());
    EXPECT_EQ(edit.fieldText(), "   .  %");
}

} // namespace
} // namespace orvane::test
