#include "services/Language_Convert.h"

#include "platform/text/CodePage.h"
#include "support/Installation.h"
#include "support/LocalText.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvane::test {
namespace {

// A small hand-made file: Big5 entries 0..3 (A140, A141, A142 malformed, A143), GB entries 0..2
// (A1A1, A1A2 malformed, A1A3), and lines that belong to no table.
constexpr std::string_view smallFile = "[BIG5]\n"
                                       "BIG5A140=A1A1\n"
                                       "BIG5A141=B0A1\r\n"
                                       "\n"
                                       "   \n"
                                       "BIG5A142=XYZ1\n"
                                       "BIG5A143 = c4e3 \n"
                                       "HELLO=1234\n"
                                       "[GB]\n"
                                       "GBA1A1=A140\n"
                                       "GBA1A2=0041\n"
                                       "GBA1A3\n"
                                       "GBA1A4=A4A4\n";

TEST(LanguageConvertTest, LanguageTablesKeepMalformedEntriesPlacesIgnoreLinesBeyondATableAndReportAMissingFile)
{
    const LanguageTables tables = LanguageTables::parse(smallFile);
    EXPECT_EQ(tables.big5Entries(), 4u);
    EXPECT_EQ(tables.gbEntries(), 4u);
    EXPECT_EQ(tables.malformedLines(), 4u);
    const struct {
        const char* name;
        bool toGb; // Big5 to GB, else GB to Big5
        std::string in, out;
    } cases[] = {
        {"entries 0, 1, 3", true, "\xA1\x40\xA1\x41\xA1\x43", "\xA1\xA1\xB0\xA1\xC4\xE3"},
        {"ASCII around", true, "a\xA1\x41z", "a\xB0\xA1z"},
        {"malformed entry copied", true, "\xA1\x42", "\xA1\x42"},
        {"beyond the table copied", true, "\xA4\x40", "\xA4\x40"},
        {"lone lead byte at the end", true, "x\xA1", "x\xA1"},
        {"trail byte never taken for a lead byte", true, "\x81\xA1\x40", "\x81\xA1\x40"},
        {"empty", true, "", ""},
        {"entries 0 and 3", false, "\xA1\xA1z\xA1\xA4", "\xA1\x40z\xA4\xA4"},
        {"malformed entries copied", false, "\xA1\xA2\xA1\xA3", "\xA1\xA2\xA1\xA3"},
        {"GBK character outside the table copied whole", false, "\x81\xA1\xA1", "\x81\xA1\xA1"},
        {"second byte below the GB range", false, "\xB0\x50", "\xB0\x50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.toGb ? tables.big5ToGb(c.in) : tables.gbToBig5(c.in), c.out) << c.name;

    // Lines beyond a table are ignored.
    std::string full;
    for (std::size_t i = 0; i <= gbTableSize; ++i)
        full += "GB=A140\n";
    const LanguageTables fullTables = LanguageTables::parse(full);
    EXPECT_EQ(fullTables.gbEntries(), gbTableSize);
    EXPECT_EQ(fullTables.malformedLines(), 1u);

    // A missing file is reported and converts nothing.
    TempFolder folder;
    std::vector<std::pair<std::string, std::string>> notices;
    setLanguageNotice(
        [&](const std::string& message, const std::string& file) { notices.emplace_back(message, file); });
    const LanguageTables missing = LanguageTables::load(folder / "Language");
    setLanguageNotice({});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(text::localToUtf8(notices[0].first), "找不到 Language 档 !!");
    EXPECT_EQ(notices[0].second, (folder / "Language").string());
    // Texts pass unconverted: the process tables' death test below.
    EXPECT_EQ(missing.big5Entries() + missing.gbEntries(), 0u);
}

const LanguageTables& generatedTables()
{
    static const LanguageTables tables = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    return tables;
}

TEST(LanguageConvertTest, GeneratedLanguageFileRealConversionsOverFullTablesAlsoAsTheProcessTablesOfTheClientFolder)
{
    const struct {
        const char* traditional; // in Big5
        const char* simplified;  // in GBK
        bool toGb, toBig5;
    } cases[] = {
        {"客戶訂單錄入作業", "客户订单录入作业", true, true},
        {"A-漢 1", "A-汉 1", true, true},
        {"臺", "台", true, true},
        {"髮", "发", true, false}, // two traditional characters share one simplified one
        {"發", "发", true, true},
        {"裏", "里", false, true},
        {"只", "只", false, true},
        {"？", "？", true, false},
    };
    for (const auto& c : cases) {
        if (c.toGb) {
            EXPECT_EQ(generatedTables().big5ToGb(big5(c.traditional)), gbk(c.simplified)) << c.traditional;
        }
        if (c.toBig5) {
            EXPECT_EQ(generatedTables().gbToBig5(gbk(c.simplified)), big5(c.traditional)) << c.simplified;
        }
    }
    // The full tables; codes that are no character map to the full-width question mark of the
    // target code page.
    EXPECT_EQ(generatedTables().big5Entries(), big5TableSize);
    EXPECT_EQ(generatedTables().gbEntries(), gbTableSize);
    EXPECT_EQ(generatedTables().malformedLines(), 0u);
    EXPECT_EQ(generatedTables().big5ToGb("\xFE\xFE"), gbk("？"));
    EXPECT_EQ(generatedTables().gbToBig5("\xAA\xA1"), big5("？"));
    // Pairs outside the Big5 and GB ranges are no characters: copied as they are.
    EXPECT_EQ(generatedTables().big5ToGb("\xA1\x7F\xA1\xA0\xA1\x3F\xA0\xA1"), "\xA1\x7F\xA1\xA0\xA1\x3F\xA0\xA1");
    EXPECT_EQ(generatedTables().gbToBig5("\xA1\xA0\xFF\xA1"), "\xA1\xA0\xFF\xA1");

    // The process tables come from the Language file of the configured client folder.
    TempFolder folder;
    EnvironmentGuard guard{"ORVANE_SETTINGS"};
    useSettings(folder.path(),
                "ClientPath=" + std::filesystem::path(ORVANE_LANGUAGE_FILE).parent_path().string() + "\n");
    EXPECT_EQ(LanguageTables::forProcess().big5ToGb(big5("漢語")), gbk("汉语"));
    EXPECT_EQ(LanguageTables::forProcess().gbToBig5(gbk("汉语")), big5("漢語"));
}

// Runs in a fresh process: the process tables are loaded once. The notice receiver converts its
// own message, as the user interface's message box does, which must not re-enter the loading.
TEST(LanguageConvertTest, ProcessLanguageTablesDeathMissingFileIsReportedOnceAndTheReceiverMayConvert)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool unchangedAndReportedOnce = false;
            {
                TestInstallation installation;
                int notices = 0;
                setLanguageNotice([&notices](const std::string& message, const std::string&) {
                    ++notices;
                    LanguageTables::forProcess().gbToBig5(message);
                });
                const LanguageTables& tables = LanguageTables::forProcess();
                unchangedAndReportedOnce = tables.big5ToGb(big5("漢語")) == big5("漢語") &&
                                           tables.gbToBig5(gbk("汉语")) == gbk("汉语") && notices == 1;
            }
            std::exit(unchangedAndReportedOnce ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace orvane::test
