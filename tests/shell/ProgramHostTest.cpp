// The program list and the launch codes of the shell's program host, as a shell session makes
// it over the real server (embedded) with the demonstration data and a few extra programs.
#include "shell/ProgramHost.h"
#include "services/Language_Convert.h"
#include "shell/DocumentStoreClient.h"
#include "shell/QtShellWindows.h"
#include "shell/ShellSession.h"
#include "support/DemoServer.h"
#include "support/ScriptedDialogs.h"

#include <fstream>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

class ProgramHostTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        DemoServerTest::SetUp();
        useClientFolder();
        const auto db = companyDatabase();
        const std::string programs = db->dialect().companyTable(demoCompanyDb, "ADMMB");
        // TNUL01: module answers no controller; TBAD01: module is no library; TGON01: no module.
        for (const char* id : {"TNUL01", "TBAD01", "TGON01"})
            db->execute("INSERT INTO " + programs + " (MB001, MB002) VALUES (?, ?)", {id, "测试程序"});
        modules_ = folder_ / "modules";
        fs::create_directories(modules_);
        fs::copy_file(ORVANE_NULL_MODULE, modules_ / "tnul01c.so");
        std::ofstream(modules_ / "tbad01c.so") << "not a library";
    }
    void TearDown() override
    {
        session_.reset();
        DemoServerTest::TearDown();
    }

    // The program host of a fresh login of user.
    ProgramHost& host(const std::string& user)
    {
        session_.reset();
        session_ = std::make_unique<ShellSession>(
            options(), ServerCredentials{user, std::string(demoPassword), std::string(demoCompanyId)},
            std::vector<std::string>{modules_.string()}, documentFolder(folder_), tables_, windows_);
        return session_->programs();
    }
    ProgramCatalog& catalog() const { return session_->catalog(); }

    fs::path modules_;
    ScriptedDialogs dialogs_;
    QtShellWindows windows_;
    LanguageTables tables_;
    std::unique_ptr<ShellSession> session_;
};

TEST_F(ProgramHostTest, TheCatalogListsEachUsersRightsTheLauncherAnswersHelpAndEachFailedStartItsLaunchCode)
{
    ProgramHost& launcher = host("SALES01");
    EXPECT_EQ(catalog().companyDatabase(), demoCompanyDb);
    const std::vector<ProgramEntry> entries = catalog().programs();
    std::vector<std::string> ids;
    for (const ProgramEntry& p : entries)
        ids.push_back(p.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"TAVI52", "TBAD01", "TGON01", "TNUL01"}));
    const ProgramEntry& order = entries.front();
    EXPECT_EQ(order.name, gbk("客户订单录入作业"));
    EXPECT_FALSE(order.superUser);
    EXPECT_EQ(order.rightsText, ",N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN");

    // Launch codes and help as a program asks for them through the host object (the host object
    // hands them on: BrokersTest and ControllerTest).
    const struct {
        Variant identity;
        int code;
    } launches[] = {
        {Variant::arrayOf({"SALES01", "PRTest50", "TGON01", 0}), -5},
        {Variant::arrayOf({"SALES01", "PRTest50"}), -1}, // no program named
        {Variant("TAVI52"), -1},                         // not an identity array
    };
    for (const auto& c : launches) {
        Variant result;
        EXPECT_EQ(launcher.execWork(c.identity, " TD001 ='2201'", Variant::arrayOf({0, 4, Variant()}), 2, result),
                  c.code);
    }
    launcher.callHelp(Variant::arrayOf({"TAV", "11520000"}));
    ASSERT_EQ(dialogs_->shownMessages().size(), 1u);
    EXPECT_EQ(dialogs_->shownMessages()[0].text, "帮助主题: TAV 11520000");

    host("ZT"); // the super user may run every program (the mask a row gives: LaunchTest)
    const auto superOrder = catalog().find("TAVI52");
    ASSERT_TRUE(superOrder);
    EXPECT_TRUE(superOrder->superUser);
    EXPECT_FALSE(catalog().find("TAVI52' OR '1'='1")); // a value, never SQL

    // Each failed start gives its launch code and leaves nothing running.
    const struct {
        const char* user;
        const char* program;
        int code;
        const char* detail;
    } cases[] = {
        {"SALES01", "NOSUCH", -1, "company 'PRTest50' has no program 'NOSUCH'"},
        {"SALES01", "TGON01", -5, "user 'SALES01' may not run program 'TGON01'"},
        {"ZT", "TGON01", -1, "tgon01c.so is in none of the work-module folders"},
        {"ZT", "TBAD01", -2, "tbad01c.so"},
        {"ZT", "TNUL01", -2, "GetController gave no controller"},
    };
    for (const auto& c : cases) {
        ProgramHost& programs = host(c.user);
        const StartOutcome outcome = programs.start({c.program, {}, 0, {}, {}});
        EXPECT_EQ(outcome.code, c.code) << c.user << " " << c.program;
        EXPECT_NE(outcome.detail.find(c.detail), std::string::npos) << outcome.detail;
        EXPECT_EQ(programs.runningCount(), 0u);
    }
    EXPECT_EQ(host("ZT").start({"TGON01", {}, 0, {}, {}}).programName, gbk("测试程序"));

    // Rights that cannot be read: a catalogue that names another company, which the server refuses.
    const auto road = access();
    ProgramCatalog foreign(road->createObject("OrvaneS.Services"), "OTHERCO");
    ProgramHost programs(foreign, {modules_.string()}, {"ZT", "OTHERCO", "OTHERCO"});
    const StartOutcome outcome = programs.start({"TAVI52", {}, 0, {}, {}});
    EXPECT_EQ(outcome.code, -4);
    EXPECT_NE(outcome.detail.find("cannot read the rights of user 'ZT' in program 'TAVI52'"), std::string::npos)
        << outcome.detail;
}

} // namespace
} // namespace orvane::test
