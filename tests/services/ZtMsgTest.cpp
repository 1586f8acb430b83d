#include "services/ZtMsg.h"

#include "ConverterFixture.h"
#include "platform/data/SilentAbort.h"
#include "services/Brokers.h"
#include "services/DictionaryFiles.h"
#include "support/EnvironmentGuard.h"
#include "support/ScriptedDialogs.h"
#include "support/TextPacket.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvane::test {
namespace {

using A = DialogAnswer;
// The form side of a message: brokers on the host object, the converter, the caption.
class ZtMsgTest : public ::testing::Test, public BrokersOwner, public MessageCodeService {
protected:
    ZtMsgTest()
        : fixture("936", "936",
                  {{"Q100001", gbk("确定要删除订单 %s 吗?")},
                   {"E100160", gbk("数量 %d 超过 %.2d")},
                   {"W100002", gbk("继续?")},
                   {"E100003", gbk("折扣 100% 无效")},
                   {"E100460", gbk("客户已于 %s 停止交易!")},
                   {"I100004", big5("訂單 %s 已確認")}}), // as the server sends it to a Big5 data code page
          brokers(*this, *this)
    {
        brokers.setHostObject(Variant(DispatchPtr(fixture.host)));
        ::setenv("LC_ALL", "zh_CN.GBK", 1);
        // The fixture's client folder is the installation's: its dictionary is the one read.
        EnvironmentGuard::set("ORVANE_SETTINGS", (fixture.temp / "settings.ini").string());
    }

    std::int64_t windowHandle() const override { return 0; }
    bool hasCommand(int) const override { return true; }
    int ShowMessageCode(std::string_view type, std::string_view code, bool abortFlag,
                        std::span<const Variant> values) override
    {
        return orvane::ShowMessageCode(owner(), type, code, abortFlag, values);
    }

    MessageOwner owner() { return {brokers, fixture.converter, QStringLiteral("客户订单录入作业")}; }
    const MessageDialog& lastShown() const { return dialogs->shownMessages().back(); }

    EnvironmentGuard environment{"LC_ALL", "ORVANE_SETTINGS"};
    ScriptedDialogs dialogs;
    ConverterFixture fixture;
    TBrokers brokers;
};

TEST_F(ZtMsgTest, TypeLetterChoosesKindButtonsAndAbortAndTheTextIsFilledAfterOneBlank)
{
    struct Case {
        const char* type;
        std::optional<int> answer; // queued; none: the default button
        bool abortFlag;
        int expected; // 0: the silent abort
        DialogKind kind;
        std::vector<int> buttons;
    };
    const std::vector<int> okCancel{A::Ok, A::Cancel};
    const Case cases[] = {
        {"Q", A::Cancel, false, A::Cancel, DialogKind::Confirmation, okCancel},
        {"D", A::No, false, A::No, DialogKind::Warning, {A::Yes, A::No, A::Cancel}},
        {"C", std::nullopt, false, A::Ok, DialogKind::Warning, okCancel},
        {"E", std::nullopt, false, A::Ok, DialogKind::Error, {A::Ok}},
        {"I", std::nullopt, false, A::Ok, DialogKind::Information, {A::Ok}},
        {"W", A::Cancel, true, 0, DialogKind::Warning, okCancel},
        {"W", A::Cancel, false, A::Cancel, DialogKind::Warning, okCancel},
        {"W", A::Ok, true, A::Ok, DialogKind::Warning, okCancel},
        {"Q", A::Cancel, true, A::Cancel, DialogKind::Confirmation, okCancel},
        {"Z", std::nullopt, false, A::Ok, DialogKind::Plain, {A::Ok}},
    };
    const Variant none[] = {Variant("")};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.abortFlag ? " abort" : ""));
        if (c.answer)
            dialogs->queueAnswer(*c.answer);
        if (c.expected == 0)
            EXPECT_THROW(ShowMessageCode(c.type, "100002", c.abortFlag, none), SilentAbort);
        else
            EXPECT_EQ(ShowMessageCode(c.type, "100002", c.abortFlag, none), c.expected);
        EXPECT_EQ(lastShown().kind, c.kind);
        EXPECT_EQ(lastShown().buttons, c.buttons);
        EXPECT_EQ(lastShown().caption, QStringLiteral("客户订单录入作业"));
    }

    // The text is filled, then one blank follows. The box's font is the mode's: the Big5 case below.
    const struct {
        const char* type;
        const char* code;
        std::vector<Variant> values;
        const char* shown;
    } texts[] = {
        {"Q", "100001", {Variant("A001")}, "确定要删除订单 A001 吗? "},
        {"E", "100003", {Variant("")}, "折扣 100% 无效 "},    // a stray "%" leaves the text unfilled
        {"E", "100160", {Variant("")}, "数量 %d 超过 %.2d "}, // values that do not fit likewise
        {"E", "999999", {Variant("")}, " "},                  // no text: only the blank
    };
    for (const auto& c : texts) {
        ShowMessageCode(c.type, c.code, false, c.values);
        EXPECT_EQ(lastShown().text, QString::fromUtf8(c.shown));
    }
}

TEST_F(ZtMsgTest, SixBlanksUnlessModeZeroOnAGbSystem)
{
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(ShowCodeDialog(owner(), gbk("完成"), DialogKind::Information, {A::Ok}, ConvertMode::None), A::Ok);
    EXPECT_EQ(lastShown().text, QString::fromUtf8("完成      "));
    ::setenv("LC_ALL", "zh_CN.GBK", 1);
    ShowCodeDialog(owner(), gbk("完成"), DialogKind::Information, {A::Ok}, ConvertMode::GbFont);
    EXPECT_EQ(lastShown().text, QString::fromUtf8("完成      "));
    ShowCodeDialog(owner(), gbk("完成"), DialogKind::Information, {A::Ok}, ConvertMode::None);
    EXPECT_EQ(lastShown().text, QString::fromUtf8("完成"));
    // A Big5 interface converts and pads more: the case below.
}

TEST_F(ZtMsgTest, BigFiveInterfacePadsMoreShowsTheDictionaryTextAsItIsAndConvertsAServerTextOnlyFromAnotherCodePage)
{
    const InstallationCodePage installation(text::CodePage::Big5);
    std::filesystem::create_directories(fixture.temp / "client/C_DATA");
    saveDictionaryFile(
        fixture.temp / "client/C_DATA/DDOBJCHT.cds",
        textPacket(objectColumns, {{"CHT", "ZtMsg", "E100460", "", "Text", big5("客戶 %s 已停止交易.").c_str()}}));
    const Variant values[] = {Variant("A001")};
    const QString padding(11, QLatin1Char(' ')); // four for the 950 code page, one, six for mode 2
    const struct {
        const char* dataCodePage;
        const char* type;
        const char* code;
        const char* shown;
    } cases[] = {
        {"950", "E", "100460", "客戶 A001 已停止交易."}, // the dictionary's row, in the interface's code page
        {"936", "E", "100460", "客戶 A001 已停止交易."},
        {"950", "I", "100004", "訂單 A001 已確認"},        // the server's text, already in Big5
        {"936", "Q", "100001", "確定要刪除訂單 A001 嗎?"}, // the server's text in GB, converted
    };
    for (const auto& c : cases) {
        fixture.configure("950", c.dataCodePage, "CHT");
        ShowMessageCode(c.type, c.code, false, values);
        EXPECT_EQ(lastShown().text, QString::fromUtf8(c.shown) + padding) << c.dataCodePage << c.type << c.code;
        EXPECT_EQ(lastShown().font->families().value(1), "Noto Serif CJK TC");
    }
}

} // namespace
} // namespace orvane::test
