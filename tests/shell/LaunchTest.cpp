// Launch texts and codes, the rights mask, finding and loading program modules, and the
// shell's command line.
#include "services/InterfaceTexts.h"
#include "shell/LaunchCode.h"
#include "shell/ProgramCatalog.h"
#include "shell/ProgramModule.h"
#include "shell/ShellOptions.h"
#include "support/ErrorOf.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

// Code -1's text as a failed start shows it: ShellSessionTest.
TEST(LaunchTest, TextFillsTheProgramNameForEachCodeAndNothingOutsideTheRange)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {-2, "[订单]程序装入失败!"},
        {-7, "[订单]程序发生不可预知的错误!"},
        {-8, ""},
        {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launchText(c.code, "订单"), c.text) << "code " << c.code;
    // A program name holding the placeholder is not expanded again.
    EXPECT_EQ(launchText(-1, "%s%s"), "[%s%s]程序不存在!");
}

TEST(LaunchTest, RightsMaskNarrowsTheCreditAndSecondRightsUnlessTheRightsTextGrantsThem)
{
    const struct {
        bool superUser;
        const char* rights;
        int mask;
    } cases[] = {
        {true, ",N,N,NNNN", 0xFF},                          // super user: nothing narrowed
        {false, ",y,y", 0xFF},                              // lower case counts for F1 and F2
        {false, ",N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN", 0xF1}, // no credit figures, no element 2
        {false, ",Y,N", 0xFB},
        {false, ",N,Y", 0xF5},
        {false, ",YY,Y", 0xF5}, // F1 compared whole
        {false, "", 0xF1},      // no rights row
        {false, "Y", 0xF1},     // F0 is not a right
    };
    for (const auto& c : cases) {
        ProgramEntry entry{"TAVI52", "", true, c.superUser, c.rights};
        EXPECT_EQ(rightsMask(entry), c.mask) << "rights '" << c.rights << "' super " << c.superUser;
    }
}

TEST(LaunchTest, ProgramModuleFindTakesTheFirstFolderHoldingItRefusesIdsReachingOutAndLoadFailsWithMinusTwo)
{
    TempFolder temp;
    temp.write("second/tavi52c.so", "x");
    temp.write("third/tavi52c.so", "x");
    fs::create_directories(temp.path() / "first");
    fs::create_directories(temp.path() / "dir/tavi52c.so"); // a folder of that name is no module
    const std::vector<std::string> folders{"",
                                           (temp.path() / "missing").string(),
                                           (temp.path() / "dir").string(),
                                           (temp.path() / "first").string(),
                                           (temp.path() / "second").string() + "/",
                                           (temp.path() / "third").string()};
    const auto found = ProgramModule::find("TAVI52", folders);
    ASSERT_TRUE(found);
    EXPECT_EQ(fs::canonical(*found), fs::canonical(temp.path() / "second/tavi52c.so"));
    EXPECT_FALSE(ProgramModule::find("TAVI52", {}));

    // Identifiers that reach out of the folders are refused.
    temp.write("evilc.so", "x");
    for (const char* id : {"../EVIL", "..", "/tmp/x", "", "a/b"})
        EXPECT_FALSE(ProgramModule::find(id, folders)) << id;

    // Load failures are launch code -2. A file that is no library and a module whose export answers
    // no controller: ProgramHostTest. Here a real library without the export.
    try {
        ProgramModule::load(ORVANE_LIBRARY_WITHOUT_EXPORT);
        ADD_FAILURE() << "a library without the export was loaded";
    } catch (const LaunchError& e) {
        EXPECT_NE(std::string(e.what()).find("has no GetController"), std::string::npos) << e.what();
        EXPECT_EQ(e.code(), LaunchCode::LoadFailed);
    }
}

TEST(LaunchTest, ShellOptionsTakeDirectLoginsAndProgramsRefuseIncompleteOrContradictoryOnesAndReadThePassword)
{
    // A demonstration login that opens a program and ends: shell_demo_login_smoke, from the command line.
    const auto demo = parseShellOptions({"--demo", "--open", "TAVI52", "--open", "TAVI61", "--smoke"});
    ASSERT_TRUE(demo.options) << demo.error;
    EXPECT_EQ(demo.options->open, (std::vector<std::string>{"TAVI52", "TAVI61"}));

    const auto named = parseShellOptions({"--user", "SALES01", "--company", "PRTest50", "--password-file", "/p"});
    ASSERT_TRUE(named.options) << named.error;
    EXPECT_TRUE(named.options->directLogin);
    EXPECT_EQ(named.options->user, "SALES01");
    EXPECT_EQ(named.options->company, "PRTest50");
    EXPECT_EQ(named.options->passwordFile, "/p");

    const auto none = parseShellOptions({});
    ASSERT_TRUE(none.options);
    EXPECT_FALSE(none.options->directLogin);

    // Incomplete or contradictory command lines are refused.
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--user", "ZT"}, "a direct login needs --user, --company and --password-file together"},
        {{"--user", "ZT", "--company", "PRTest50"},
         "a direct login needs --user, --company and --password-file together"},
        {{"--demo", "--user", "ZT"}, "--demo cannot be combined with --user, --company or --password-file"},
        {{"--open"}, "--open needs a value"},
        {{"--user", ""}, "--user needs a value"},
        {{"--password", "demo"}, "unknown argument '--password'"},
        {{"--smoke"}, "--smoke needs a direct login (--demo or --user/--company/--password-file)"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseShellOptions(c.args);
        EXPECT_FALSE(parsed.options);
        EXPECT_EQ(parsed.error, c.error);
    }

    // The password is the first line of its file.
    TempFolder temp;
    EXPECT_EQ(readPasswordFile(temp.write("unix", "demo\nsecond line\n")), "demo");
    EXPECT_EQ(readPasswordFile(temp.write("dos", "demo\r\n")), "demo");
    EXPECT_EQ(readPasswordFile(temp.write("bare", "pass word")), "pass word");
    EXPECT_EQ(readPasswordFile(temp.write("empty", "")), "");
    EXPECT_EQ(errorOf([&] { readPasswordFile(temp.path() / "none"); }),
              "cannot read the password file " + (temp.path() / "none").string());
}

} // namespace
} // namespace orvane::test
