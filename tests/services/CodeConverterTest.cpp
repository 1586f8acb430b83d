#include "services/CodeConverter.h"

#include "ConverterFixture.h"
#include "support/ScriptedDialogs.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

TEST(CodeConverterTest, ConvertByModeThroughTheHostsMethods)
{
    ConverterFixture f("950");
    const Variant gbPair = Variant::arrayOf({gbk("客户"), gbk("订单")});
    const Variant nested = Variant::arrayOf({gbk("客户"), Variant::arrayOf({gbk("订单"), Variant::null(), 12})});
    const struct {
        const char* name;
        Variant value;
        ConvertMode mode;
        Variant expected;
    } cases[] = {
        {"mode 0 keeps", gbk("客户"), ConvertMode::None, gbk("客户")},
        {"mode 4 keeps", gbk("客户"), ConvertMode::GbFont, gbk("客户")},
        {"GB to Big5", gbk("客户"), ConvertMode::GbToBig5, big5("客戶")},
        {"Big5 to GB", big5("客戶"), ConvertMode::Big5ToGb, gbk("客户")},
        {"pair in order", gbPair, ConvertMode::GbToBig5, Variant::arrayOf({big5("客戶"), big5("訂單")})},
        {"nested arrays", nested, ConvertMode::GbToBig5,
         Variant::arrayOf({big5("客戶"), Variant::arrayOf({big5("訂單"), Variant::null(), 12})})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(f.converter.Convert(c.value, c.mode), c.expected);
    }

    // The display conversion: the error shown for a form, below. Texts go through the host's
    // by-reference methods; without a host they stay as they are.
    f.host->calls.clear();
    EXPECT_EQ(f.converter.GBToBig5(gbk("订单")), big5("訂單"));
    EXPECT_EQ(f.converter.Big5ToGB(big5("訂單")), gbk("订单"));
    EXPECT_EQ(f.host->calls, (std::vector<std::string>{"GBToBig5", "Big5ToGB"}));

    TCodeConverter hostless;
    EXPECT_EQ(hostless.GBToBig5(gbk("订单")), gbk("订单"));
    EXPECT_EQ(hostless.Convert(gbk("订单"), ConvertMode::GbToBig5), Variant(gbk("订单")));
}

// A form with a few widgets holding Simplified Chinese design texts (which widget texts a form
// has is the text mapping's, tested with it).
struct ConverterForm {
    ConverterForm()
    {
        form.setWindowTitle(QString::fromUtf8("订单录入"));
        edit->setFont(QFont("Courier", 15));
    }
    QWidget form;
    QLabel* label = new QLabel(QString::fromUtf8("客户"), &form);
    QLabel* mixed = new QLabel(QString::fromUtf8("客户 ✓ 订单"), &form);
    QLabel* emoji = new QLabel(QString::fromUtf8("客户😀"), &form);
    QLineEdit* edit = new QLineEdit(&form);
};

// Mode 2 (a Big5 interface) converts every text; mode 0 keeps them and asks the host nothing.
// Either way each widget gets the mode's font and keeps its own size.
TEST(CodeConverterTest, ConvertFormAndShowErrorChangeTextsInTraditionalModeOnlyAndGiveTheModesFont)
{
    const struct {
        const char* uiCodePage;
        const char *title, *label, *mixed, *family;
    } cases[] = {
        {"950", "訂單錄入", "客戶", "客戶 ✓ 訂單", "Noto Serif CJK TC"},
        {"936", "订单录入", "客户", "客户 ✓ 订单", "Noto Serif CJK SC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uiCodePage);
        ConverterFixture f(c.uiCodePage);
        ConverterForm o;
        f.converter.ConvertForm(o.form);
        EXPECT_EQ(o.form.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(o.label->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(o.mixed->text(), QString::fromUtf8(c.mixed));
        for (const QWidget* widget :
             {static_cast<QWidget*>(&o.form), static_cast<QWidget*>(o.label), static_cast<QWidget*>(o.edit)})
            EXPECT_EQ(widget->font().families().value(1), c.family);
        EXPECT_EQ(o.edit->font().pointSize(), 15);
        EXPECT_EQ(f.host->calls.empty(), std::string_view(c.uiCodePage) == "936");
        if (std::string_view(c.uiCodePage) == "936") {
            EXPECT_EQ(o.emoji->text(), QString::fromUtf8("客户😀")) << "a character outside the code pages survives";
        }
    }
    EXPECT_FALSE(TCodeConverter::DialogFont(static_cast<ConvertMode>(9)).has_value());

    // An error shown for a form is in the interface's code page already: it is not converted a
    // second time, and carries the form's caption and the mode's font.
    ScriptedDialogs dialogs;
    ConverterFixture f("950");
    QWidget form;
    form.setWindowTitle("TAVI52");
    f.converter.setParent(&form);
    f.converter.ShowError(big5("希望您能夠先輸入您要找的信息!"));
    f.converter.setParent(nullptr);
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    const MessageDialog& shown = dialogs->shownMessages()[0];
    EXPECT_EQ(shown.text, QString::fromUtf8("希望您能夠先輸入您要找的信息!"));
    EXPECT_EQ(shown.caption, "TAVI52");
    EXPECT_EQ(shown.kind, DialogKind::Error);
    ASSERT_TRUE(shown.font.has_value());
    EXPECT_EQ(shown.font->families().value(1), "Noto Serif CJK TC");
}

} // namespace
} // namespace orvane::test
