#include "platform/text/ByteText.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

using namespace orvane::text;
using namespace std::string_literals;

// 936: "乤" = 81 61 and "丄" = 81 41 (trail bytes "a" and "A"); "客户" = BF CD BB A7.
// 950: "功" = A5 5C (trail byte "\"), "兀" = A4 61 (trail byte "a").
const std::string gbkWithLetterTrails = "a\x81\x61"s + "b\x81\x41";
const std::string big5WithTrails = "x\xA5\x5C\xA4\x61y";

TEST(ByteTextTest, LeadBytesRangeOf936And950)
{
    for (CodePage codePage : {CodePage::Gbk, CodePage::Big5}) {
        EXPECT_FALSE(isLeadByte('\x80', codePage));
        EXPECT_TRUE(isLeadByte('\x81', codePage));
        EXPECT_TRUE(isLeadByte('\xFE', codePage));
        EXPECT_FALSE(isLeadByte('\xFF', codePage));
        EXPECT_FALSE(isLeadByte('A', codePage));
    }
    EXPECT_FALSE(isLeadByte('\xE5', CodePage::Utf8));
}

TEST(ByteTextTest, CutToBytesNeverSplitsADoubleByteCharacter)
{
    struct Case {
        std::string text;
        std::size_t maxBytes;
        CodePage codePage;
        std::string expected;
    };
    const Case cases[] = {
        {"\xBF\xCD\xBB\xA7", 4, CodePage::Gbk, "\xBF\xCD\xBB\xA7"},
        {"\xBF\xCD\xBB\xA7", 3, CodePage::Gbk, "\xBF\xCD"},
        {"\xBF\xCD\xBB\xA7", 1, CodePage::Gbk, ""},
        {"A\xBF\xCD\xBB\xA7", 3, CodePage::Gbk, "A\xBF\xCD"},
        // The trail byte 0xCD is itself in the lead range: only a scan from the start knows.
        {"\xBF\xCD\xCD\xBF", 3, CodePage::Gbk, "\xBF\xCD"},
        {big5WithTrails, 2, CodePage::Big5, "x"},
        {big5WithTrails, 3, CodePage::Big5, "x\xA5\x5C"},
        {big5WithTrails, 4, CodePage::Big5, "x\xA5\x5C"},
        {"AB\xBF", 3, CodePage::Gbk, "AB\xBF"}, // a lone lead byte at the end is one byte
        {"abc", 0, CodePage::Gbk, ""},
        {"", 5, CodePage::Gbk, ""},
        {"a客户", 3, CodePage::Utf8, "a"},
        {"a客户", 4, CodePage::Utf8, "a客"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutToBytes(c.text, c.maxBytes, c.codePage), c.expected)
            << "max " << c.maxBytes << " of " << c.text.size() << " bytes";
}

TEST(ByteTextTest, AsciiCaseLeavesTrailBytesAlone)
{
    EXPECT_EQ(upperCase(gbkWithLetterTrails, CodePage::Gbk), "A\x81\x61"s + "B\x81\x41");
    EXPECT_EQ(lowerCase(gbkWithLetterTrails, CodePage::Gbk), gbkWithLetterTrails);
    EXPECT_EQ(upperCase(big5WithTrails, CodePage::Big5), "X\xA5\x5C\xA4\x61Y");
    EXPECT_EQ(upperCase("tc004 Zz", CodePage::Gbk), "TC004 ZZ");
    EXPECT_EQ(lowerCase("TC004 Zz", CodePage::Gbk), "tc004 zz");
    EXPECT_EQ(upperCase("é-ok", CodePage::Utf8), "é-OK");
}

TEST(ByteTextTest, AsciiCaseEqualityWalksCharactersOnlyInDoubleByteCodePages)
{
    struct Case {
        std::string a;
        std::string b;
        CodePage codePage;
        bool equal;      // equalsIgnoringCase in the code page
        bool equalBytes; // equalsIgnoringAsciiCase
    };
    const Case cases[] = {
        {"tc004", "TC004", CodePage::Gbk, true, true},
        {"TC004", "TC005", CodePage::Gbk, false, false},
        {"TC00", "TC004", CodePage::Gbk, false, false},
        {"", "", CodePage::Gbk, true, true},
        {"a_1", "A_1", CodePage::Utf8, true, true},
        // "乤" (81 61) and "丄" (81 41) are different characters whose trail bytes are "a" and "A".
        {gbkWithLetterTrails, "A\x81\x41"s + "B\x81\x41", CodePage::Gbk, false, true},
        {gbkWithLetterTrails, "A\x81\x61"s + "B\x81\x41", CodePage::Gbk, true, true},
        {"\xA4\x61", "\xA4\x41", CodePage::Big5, false, true},
        {"客户a", "客户A", CodePage::Utf8, true, true},
        {"é", "É", CodePage::Utf8, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(equalsIgnoringCase(c.a, c.b, c.codePage), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equalBytes) << c.a << " / " << c.b;
    }
}

TEST(ByteTextTest, TrimBlanksAndControlCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"  A01 ", "A01"},
        {"\t\r\n A 01\x01", "A 01"},
        {"   ", ""},
        {"", ""},
        {" \xBF\xCD\xBB\xA7 ", "\xBF\xCD\xBB\xA7"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(trim(text), expected);
    EXPECT_EQ(trimLeft("  1 "), "1 ");
    EXPECT_EQ(trimRight("  1 "), "  1");
}

TEST(ByteTextTest, SplitListPiecesAsWrittenTrimmedOrNonEmpty)
{
    using Pieces = std::vector<std::string>;
    struct Case {
        std::string text;
        char separator;
        ListItems items;
        Pieces expected;
    };
    const Case cases[] = {
        {" TC001 ,,TC002,", ',', ListItems::AsWritten, {" TC001 ", "", "TC002", ""}},
        {"", ',', ListItems::AsWritten, {""}},
        {" TC001 ,,TC002,", ',', ListItems::Trimmed, {"TC001", "", "TC002", ""}},
        {"  ", ',', ListItems::Trimmed, {}},
        {" , ", ',', ListItems::Trimmed, {"", ""}},
        {"cdsMain:TC029,TC030; ;cdsBody1:TD012;",
         ';',
         ListItems::TrimmedNonEmpty,
         {"cdsMain:TC029,TC030", "cdsBody1:TD012"}},
        {"TC001 DESC , TC002", ',', ListItems::TrimmedNonEmpty, {"TC001 DESC", "TC002"}},
        // Double-byte text: no trail byte is a separator, and trimming keeps the characters whole.
        {"\xBF\xCD\xBB\xA7,\x81\x41", ',', ListItems::AsWritten, {"\xBF\xCD\xBB\xA7", "\x81\x41"}},
        {" \xA5\x5C ;x", ';', ListItems::TrimmedNonEmpty, {"\xA5\x5C", "x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitList(c.text, c.separator, c.items), c.expected) << "'" << c.text << "'";
}

} // namespace
} // namespace orvane::test
