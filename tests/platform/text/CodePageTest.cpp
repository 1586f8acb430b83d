#include "platform/text/CodePage.h"
#include "support/Concurrently.h"

#include "platform/text/LocalText.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane::test {
namespace {

using namespace orvane::text;
using namespace std::string_literals;

// "客户订单录入作业" in code page 936, and "訂單錄入" in 950.
const std::string orderEntryGbk = "\xBF\xCD\xBB\xA7\xB6\xA9\xB5\xA5\xC2\xBC\xC8\xEB\xD7\xF7\xD2\xB5";
const std::string orderEntryBig5 = "\xAD\x71\xB3\xE6\xBF\xFD\xA4\x4A";

// Sets the installation code page for one test and restores the default after it.
class InstallationCodePage {
public:
    explicit InstallationCodePage(CodePage codePage) { setInstallationCodePage(codePage); }
    ~InstallationCodePage() { setInstallationCodePage(CodePage::Gbk); }
};

TEST(CodePageTest, ConversionChineseTextBothWays)
{
    struct Case {
        CodePage codePage;
        std::string local;
        std::string utf8;
    };
    const Case cases[] = {
        {CodePage::Gbk, orderEntryGbk, "客户订单录入作业"},
        {CodePage::Big5, orderEntryBig5, "訂單錄入"},
        {CodePage::Big5, "\xA5\x5C\xAF\xE0", "功能"}, // trail byte 0x5C looks like "\"
        {CodePage::Gbk, "TC004=\xBF\xCD\xBB\xA7 (A01)", "TC004=客户 (A01)"},
        {CodePage::Gbk, "\x80", "€"},
        {CodePage::Gbk, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(c.local, c.codePage), c.utf8) << c.utf8;
        EXPECT_EQ(fromUtf8(c.utf8, c.codePage), c.local) << c.utf8;
    }
}

TEST(CodePageTest, ConversionBetweenCodePagesKeepsWhatBothHold)
{
    EXPECT_EQ(convert(orderEntryBig5, CodePage::Big5, CodePage::Gbk), fromUtf8("訂單錄入", CodePage::Gbk));
    EXPECT_EQ(convert(fromUtf8("訂單錄入", CodePage::Gbk), CodePage::Gbk, CodePage::Big5), orderEntryBig5);
    // Simplified characters have no Big5 code: each becomes one "?".
    EXPECT_EQ(convert("\xB6\xA9\xB5\xA5 A", CodePage::Gbk, CodePage::Big5), "?? A");
    EXPECT_EQ(convert(orderEntryGbk, CodePage::Gbk, CodePage::Gbk), orderEntryGbk);
}

TEST(CodePageTest, ConversionBadInputBecomesQuestionMarks)
{
    struct Case {
        const char* name;
        std::string text;
        CodePage from;
        CodePage to;
        std::string expected;
    };
    const Case cases[] = {
        {"lead byte cut off at the end", "AB\xBF", CodePage::Gbk, CodePage::Utf8, "AB?"},
        {"lead byte before a byte that is no trail byte", "\xBF"s + "1", CodePage::Gbk, CodePage::Utf8, "?1"},
        {"0xFF is no character", "\xFF"s + "A", CodePage::Gbk, CodePage::Utf8, "?A"},
        {"unmapped Big5 code keeps its trail byte", "\x8E\x5C"s + "A", CodePage::Big5, CodePage::Utf8, "?A"},
        {"invalid UTF-8 byte", "A\xC3(B", CodePage::Utf8, CodePage::Gbk, "A?(B"},
        {"UTF-8 cut in a character", "A\xE5\xAE", CodePage::Utf8, CodePage::Gbk, "A?"},
        {"character outside GBK", "A😀B", CodePage::Utf8, CodePage::Gbk, "A?B"},
        {"simplified character outside Big5", "订单", CodePage::Utf8, CodePage::Big5, "??"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert(c.text, c.from, c.to), c.expected) << c.name;
}

// Every double-byte code that decodes to one character encodes back to the same
// bytes, except the few duplicate codes of Big5 (0xA2CC, 0xA2CE, the box-drawing
// codes 0xF9F9..) that map back to their twins; their characters still round-trip.
TEST(CodePageTest, ConversionDoubleByteRangeRoundTrips)
{
    struct Case {
        CodePage codePage;
        int minMapped;
        int maxDuplicates;
    };
    for (const auto& c : {Case{CodePage::Gbk, 21000, 0}, Case{CodePage::Big5, 13000, 20}}) {
        int mapped = 0;
        int duplicates = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
                const std::string utf8 = toUtf8(code, c.codePage);
                if (utf8.find('?') != std::string::npos || utf8.size() < 2)
                    continue;
                ++mapped;
                const std::string back = fromUtf8(utf8, c.codePage);
                EXPECT_EQ(toUtf8(back, c.codePage), utf8);
                if (back != code)
                    ++duplicates;
            }
        }
        EXPECT_GT(mapped, c.minMapped);
        EXPECT_LE(duplicates, c.maxDuplicates);
    }
}

TEST(CodePageTest, ConversionThreadsConvertIndependently)
{
    std::vector<int> failures(4, 0);
    const auto roundTrips = [&failures](int t) {
        const CodePage codePage = t % 2 == 0 ? CodePage::Gbk : CodePage::Big5;
        const std::string& local = t % 2 == 0 ? orderEntryGbk : orderEntryBig5;
        for (int i = 0; i < 500; ++i)
            if (fromUtf8(toUtf8(local, codePage), codePage) != local)
                ++failures[t];
    };
    EXPECT_EQ(runConcurrently(4, roundTrips), std::vector<std::string>{});
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(CodePageTest, InstallationCodePageSettingDefaultsTo936AndDrivesLocalConversions)
{
    EXPECT_EQ(installationCodePage(), CodePage::Gbk);
    EXPECT_EQ(utf8ToLocal("客户订单录入作业"), orderEntryGbk);
    {
        InstallationCodePage big5(CodePage::Big5);
        EXPECT_EQ(localToUtf8(orderEntryBig5), "訂單錄入");
    }
    EXPECT_EQ(codePageFromNumber(950), CodePage::Big5);
    EXPECT_EQ(codePageFromNumber(936), CodePage::Gbk);
    EXPECT_EQ(codePageFromNumber(1252), std::nullopt);
}

const std::string& orderEntryCaption()
{
    return LOCAL_TEXT(u8"訂單錄入");
}

TEST(CodePageTest, LocalTextLiteralConvertedOncePerCallSiteAndCodePage)
{
    const std::string& first = orderEntryCaption();
    EXPECT_EQ(first, fromUtf8("訂單錄入", CodePage::Gbk));
    EXPECT_EQ(&orderEntryCaption(), &first) << "the same call site answers the cached text";
    {
        InstallationCodePage big5(CodePage::Big5);
        EXPECT_EQ(orderEntryCaption(), orderEntryBig5);
    }
    EXPECT_EQ(LOCAL_TEXT(u8"客户订单录入作业"), orderEntryGbk);
}

} // namespace
} // namespace orvane::test
