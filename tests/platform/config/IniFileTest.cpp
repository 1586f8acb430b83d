#include "platform/config/IniFile.h"
#include "platform/config/ConfigError.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace orvane::test {
namespace {

IniFile loadText(const TempFolder& folder, const std::string& text)
{
    writeFile(folder / "OrvaneC.ini", text);
    return IniFile(folder / "OrvaneC.ini");
}

struct ReadCase {
    const char* name;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected; // nothing: the key must not exist
};

// Semicolons kept in a value: OrvaneIniTest.ServerList; sections and keys in any case, and a key
// of another section: RegistrySettingsTest, through the settings file; double-byte names, one
// with a trail byte "]": WriteValuesReadBackExactly.
TEST(IniFileTest, ReadParsesLinesAsWritten)
{
    const ReadCase cases[] = {
        {"blanks trimmed", "  [ A ]  \n\t Key \t=  some value \t\n", "A", "Key", "some value"},
        {"equals in value", "[A]\nk=a=b=c\n", "A", "k", "a=b=c"},
        {"empty value", "[A]\nk=\n", "A", "k", ""},
        {"quoted value keeps blanks", "[A]\nk=\"  x  \"\n", "A", "k", "  x  "},
        {"semicolon comment", "[A]\n;k=1\n", "A", ";k", std::nullopt},
        {"hash comment", "[A]\n# k=1\n", "A", "k", std::nullopt},
        {"line without equals", "[A]\nk\n", "A", "k", std::nullopt},
        {"empty key", "[A]\n=v\n", "A", "", std::nullopt},
        {"entry before any header", "k=v\n[A]\n", "A", "k", std::nullopt},
        {"first duplicate wins", "[A]\nk=first\nk=second\n", "A", "k", "first"},
        {"repeated header continues", "[A]\nx=1\n[B]\n[a]\nk=late\n", "A", "k", "late"},
        {"unclosed header", "[A\nk=v\n", "A", "k", "v"},
        {"crlf", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"utf-8 byte-order mark", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        {"no final line break", "[A]\nk=v", "A", "k", "v"},
        // 0x81 0x41 and 0x81 0x61 are two different characters whose second bytes look like "A" and "a".
        {"double-byte trail not folded", "[A]\n\x81\x41=v\n", "A", "\x81\x61", std::nullopt},
    };
    TempFolder folder;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile ini = loadText(folder, c.text);
        EXPECT_EQ(ini.keyExists(c.section, c.key), c.expected.has_value());
        EXPECT_EQ(ini.readString(c.section, c.key, "<none>"), c.expected.value_or("<none>"));
    }
}

TEST(IniFileTest, ReadConvertsIntegersAndBooleans)
{
    struct Case {
        std::string value;
        int integer; // read with fallback 42
        int boolean; // read with fallback true (1) and false (0); -1: the fallback each time
    };
    const Case cases[] = {
        {"211", 211, -1}, {" -5 ", -5, -1}, {"+7", 7, -1},           {"0", 0, 0},      {"12abc", 42, -1},
        {"abc", 42, -1},  {"", 42, -1},     {"99999999999", 42, -1}, {"+-3", 42, -1},  {"yes", 42, 1},
        {"True", 42, 1},  {"y", 42, 1},     {"no", 42, 0},           {"FALSE", 42, 0}, {"n", 42, 0},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE("value \"" + c.value + "\"");
        IniFile ini = loadText(folder, "[A]\nk=" + c.value + "\n");
        EXPECT_EQ(ini.readInteger("A", "k", 42), c.integer);
        EXPECT_EQ(ini.readBool("A", "k", true), c.boolean == -1 ? true : c.boolean == 1);
        EXPECT_EQ(ini.readBool("A", "k", false), c.boolean == -1 ? false : c.boolean == 1);
    }
    IniFile ini = loadText(folder, "[A]\n");
    EXPECT_EQ(ini.readInteger("A", "missing", 211), 211);
    EXPECT_TRUE(ini.readBool("A", "missing", true));
}

TEST(IniFileTest, ReadListsSectionsKeysAndWholeSections)
{
    TempFolder folder;
    IniFile ini = loadText(folder, "; client\n[WorkDLLPath]\nPath1=C_PKG\n; inside\npath2 = \\Extra\n"
                                   "PATH1=D:\\Modules\n[Empty]\n[workdllpath]\nPath3=Third=Part\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"WorkDLLPath", "Empty"}));
    EXPECT_EQ(ini.keyNames("WORKDLLPATH"), (std::vector<std::string>{"Path1", "path2", "Path3"}));
    EXPECT_EQ(ini.readSectionValues("workDllPath"),
              (std::vector<std::string>{"Path1=C_PKG", "path2=\\Extra", "PATH1=D:\\Modules", "Path3=Third=Part"}));
    EXPECT_TRUE(ini.sectionExists("empty"));
    EXPECT_TRUE(ini.readSectionValues("Empty").empty());
    EXPECT_FALSE(ini.sectionExists("Missing"));
}

TEST(IniFileTest, WriteKeepsCommentsOrderAndUntouchedLines)
{
    TempFolder folder;
    IniFile ini = loadText(folder, "; Orvane client\r\n"
                                   "[CodePage]\r\n"
                                   "UICodePage = 936   \r\n"
                                   "DBCodePage=936\r\n"
                                   "\r\n"
                                   "; servers follow\r\n"
                                   "[Server Information]\r\n"
                                   "ComputerName=127.0.0.1\r\n"
                                   "ServerPort=211\r\n"
                                   "computername=10.0.0.9\r\n"
                                   "SERVERPORT=9\r\n"
                                   "[Old]\r\n"
                                   "x=1\r\n");
    ini.writeString("codepage", "dbcodepage", "950");
    ini.writeString("CodePage", "UICodePage", "936");
    ini.writeBool("CodePage", "Converted", true);
    ini.writeInteger("Server Information", "ServerPort", 2110);
    ini.eraseKey("server information", "computername");
    ini.eraseSection("OLD");
    ini.writeString("Client Components", "LangType", " CHS ");
    ini.save();
    EXPECT_EQ(readFile(ini.path()), "; Orvane client\r\n"
                                    "[CodePage]\r\n"
                                    "UICodePage = 936   \r\n"
                                    "DBCodePage=950\r\n"
                                    "Converted=1\r\n"
                                    "\r\n"
                                    "; servers follow\r\n"
                                    "[Server Information]\r\n"
                                    "ServerPort=2110\r\n"
                                    "SERVERPORT=9\r\n"
                                    "\r\n"
                                    "[Client Components]\r\n"
                                    "LangType=\" CHS \"\r\n");
}

TEST(IniFileTest, WriteValuesReadBackExactly)
{
    const std::string values[] = {"", "plain", "  padded  ", "\"quoted\"", "\"", "a=b;c", "\xB6\xA9\xB5\xA5"};
    TempFolder folder;
    IniFile ini(folder / "values.ini");
    for (std::size_t i = 0; i < std::size(values); ++i)
        ini.writeString("V", "k" + std::to_string(i), values[i]);
    ini.writeString("\x95\x5D", "\x95\x5C", "double-byte names");
    ini.save();
    IniFile reread(folder / "values.ini");
    EXPECT_EQ(reread.readString("\x95\x5D", "\x95\x5C"), "double-byte names");
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(reread.readString("V", "k" + std::to_string(i), "<none>"), values[i]) << "value " << i;
    }
}

TEST(IniFileTest, WriteRefusesNamesAndValuesThatCannotBeStored)
{
    struct Case {
        std::string section, key, value;
    };
    const Case cases[] = {
        {"", "k", "v"},   {"A]", "k", "v"},  {" A", "k", "v"},       {"A\nB", "k", "v"},
        {"A", "", "v"},   {"A", "k=1", "v"}, {"A", " k", "v"},       {"A", ";k", "v"},
        {"A", "[k", "v"}, {"A", "k\r", "v"}, {"A", "k", "one\ntwo"},
    };
    TempFolder folder;
    IniFile ini = loadText(folder, "[A]\nk=old\n");
    for (const Case& c : cases) {
        EXPECT_THROW(ini.writeString(c.section, c.key, c.value), ConfigError) << c.section << "/" << c.key;
    }
    EXPECT_EQ(ini.readString("A", "k"), "old");
}

// A missing file reads as empty and a folder in its place is an error naming it:
// OrvaneIniTest.MissingConfigFileReadsAsDefaultsAnUnreadableOneIsAnErrorAndClientPathEndsInOneSlash.

TEST(IniFileTest, FilesSaveReplacesWholeFileAndLeavesNoTemporaryFiles)
{
    TempFolder folder;
    const std::string text = "\xEF\xBB\xBF; kept\n[A]\nk = v\n";
    IniFile ini = loadText(folder, text);
    ::chmod(ini.path().c_str(), 0600);
    ini.save();
    EXPECT_EQ(readFile(ini.path()), text);
    struct stat info {};
    ASSERT_EQ(::stat(ini.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    std::filesystem::create_symlink("OrvaneC.ini", folder / "link.ini");
    IniFile linked(folder / "link.ini");
    linked.writeString("A", "k", "through link");
    linked.save();
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.ini"));
    EXPECT_EQ(IniFile(ini.path()).readString("A", "k"), "through link");

    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2) << "no temporary file left";
}

TEST(IniFileTest, FilesFailedSaveKeepsOldContentsAndCleansUp)
{
    TempFolder folder;
    IniFile ini(folder / "victim.ini");
    ini.writeString("A", "k", "v");
    // Another program put a folder where the file goes: the rename must fail and change nothing.
    std::filesystem::create_directory(folder / "victim.ini");
    writeFile(folder / "victim.ini" / "inside", "old");
    EXPECT_THROW(ini.save(), ConfigError);
    EXPECT_EQ(readFile(folder / "victim.ini" / "inside"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "no temporary file left";

    IniFile noFolder(folder / "no-such-folder" / "x.ini");
    EXPECT_THROW(noFolder.save(), ConfigError);
}

} // namespace
} // namespace orvane::test
