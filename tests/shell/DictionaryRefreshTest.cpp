// The client's copies of the data dictionary refreshed at login over the real embedded server:
// rows arrive once, marked with the client's data code page; an unchanged dictionary sends nothing; a deletion
// on the server reaches the client; a refused call leaves the copies and is logged; the copies are
// another company's once one logs in from the same folder, and shells refresh them one at a time.
#include "support/DemoServer.h"

#include "platform/data/DataSetFile.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/DictionaryMethods.h"
#include "services/DictionaryFiles.h"
#include "shell/DictionaryRefresh.h"
#include "support/LocalText.h"
#include "support/TextPacket.h"

#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

const std::string customer(reinterpret_cast<const char*>(u8"客户"));

class DictionaryRefreshTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        DemoServerTest::SetUp();
        useClientFolder();
        shellAccess = access();
        services = shellAccess->createObject("OrvaneS.Services");
    }
    void serverRows(const std::vector<std::vector<const char*>>& fieldRows, const std::string& companyDb = "PRTest50")
    {
        const auto db = companyDatabase();
        importDictionary(*db, companyDb, "ENG",
                         {textPacket({"MN002", "MN003", "MN004", "MN006"}, fieldRows), textPacket({"MP001"}, {}),
                          textPacket({"MO002", "MO003", "MO005", "MO006"}, {{"Vozuraz", "btnAdd", "Hint", "Add"}})});
    }
    bool refresh(std::string_view language = "ENG")
    {
        return refreshDictionary(*services, "PRTest50", language, text::CodePage::Gbk, copies);
    }
    // The services of user ZT logged in to company over road, beside the shell's own.
    DispatchPtr otherServices(const ServerAccessOptions& road, const std::string& company)
    {
        otherAccess = std::make_unique<ServerAccess>(road, ServerCredentials{"ZT", std::string(demoPassword), company});
        return otherAccess->createObject("OrvaneS.Services");
    }
    std::size_t fieldRowsOnClient() { return readDataSetFile(copies / "DDFDENG.cds").packet.rows.size(); }

    std::unique_ptr<ServerAccess> shellAccess;
    std::unique_ptr<ServerAccess> otherAccess;
    DispatchPtr services;
    fs::path copies = folder_ / "C_DATA";
};

TEST_F(DictionaryRefreshTest, CopiesFollowTheServerAreFetchedOnlyWhenTheyDifferAndStayWhenTheCallIsRefused)
{
    serverRows({{"TAVI52", "cdsMain", "TC004", customer.c_str()}, {"TAVI52", "cdsMain", "TC005", "Department"}});
    ASSERT_TRUE(refresh());
    const DataSetFile fields = readDataSetFile(copies / "DDFDENG.cds");
    ASSERT_EQ(fields.packet.rows.size(), 2U);
    EXPECT_EQ(fields.packet.fields[5].name, "MN006");
    EXPECT_EQ(fields.packet.rows[0].values[5].toString(), gbk(customer)) << "texts in the data code page";
    EXPECT_EQ(readDataSetFile(copies / "DDOBJENG.cds").packet.rows.size(), 1U);
    EXPECT_TRUE(fs::exists(copies / "DDFMENG.cds"));

    EXPECT_FALSE(refresh()) << "an unchanged dictionary is not sent again";

    serverRows({{"TAVI52", "cdsMain", "TC005", "Department"}});
    ASSERT_TRUE(refresh()) << "a deleted row changes the fingerprint";
    EXPECT_EQ(readDataSetFile(copies / "DDFDENG.cds").packet.rows.size(), 1U);

    // A refused call leaves the copies and is logged.
    EXPECT_FALSE(refresh("EN'G")) << "the server refuses a language that is not 1 to 3 letters";
    EXPECT_FALSE(fs::exists(copies / "DDFDEN'G.cds"));
    EXPECT_EQ(readDataSetFile(copies / "DDFDENG.cds").packet.rows.size(), 1U);
    EXPECT_NE(folderText(folder_ / "Log").find("DataDictionary"), std::string::npos);
}

TEST_F(DictionaryRefreshTest, CopiesAreMarkedWithTheDataCodePageAndFetchedAgainInAnother)
{
    const std::string name(reinterpret_cast<const char*>(u8"客戶名稱"));
    serverRows({{"TAVI52", "cdsMain", "TC004", name.c_str()}});
    const InstallationCodePage installation(text::CodePage::Big5); // a Big5 interface over GB data
    ASSERT_TRUE(refresh());
    const std::optional<DictionaryRows> rows = loadDictionaryFile(copies / "DDFDENG.cds");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->text(0, rows->column("MN006")), big5(name));

    ServerAccessOptions big5Data = options();
    big5Data.dataCodePage = text::CodePage::Big5;
    const DispatchPtr big5Services = otherServices(big5Data, std::string(demoCompanyId));
    const auto refreshInBig5 = [&] {
        return refreshDictionary(*big5Services, "PRTest50", "ENG", text::CodePage::Big5, copies);
    };
    EXPECT_TRUE(refreshInBig5()) << "copies of another code page are fetched again";
    EXPECT_EQ(readDataSetFile(copies / "DDFDENG.cds").packet.rows[0].values[5].toString(), big5(name));
    EXPECT_FALSE(refreshInBig5());
}

TEST_F(DictionaryRefreshTest, EachCompanyGetsItsOwnCopiesAndCopiesLeftMixedAreFetchedAgain)
{
    // A second company, PRTest51, of a database of its own.
    const auto db = companyDatabase();
    createSchema(*db, "PRTest51");
    db->executeScript("INSERT INTO " + db->dialect().systemTable("SYS_COMPANY") +
                      " (COMPANY_ID, COMPANY_NAME, COMPANY_DB) VALUES ('PRTest51', 'Other', 'PRTest51');" +
                      "INSERT INTO " + db->dialect().systemTable("SYS_USER_COMPANY") +
                      " (USER_ID, COMPANY_ID) VALUES ('ZT', 'PRTest51')");
    const DispatchPtr other = otherServices(options(), "PRTest51");
    serverRows({{"TAVI52", "cdsMain", "TC005", "Department"}});
    serverRows({{"TAVI52", "cdsMain", "TC004", "Customer"}, {"TAVI52", "cdsMain", "TC005", "Department"}}, "PRTest51");
    const auto refreshOther = [&] { return refreshDictionary(*other, "PRTest51", "ENG", text::CodePage::Gbk, copies); };
    ASSERT_TRUE(refresh());
    ASSERT_TRUE(refreshOther());
    EXPECT_EQ(fieldRowsOnClient(), 2U);
    EXPECT_FALSE(refreshOther());
    ASSERT_TRUE(refresh());
    EXPECT_EQ(fieldRowsOnClient(), 1U);

    // The other company's refresh stops after the field rows (the component rows cannot be replaced).
    fs::remove(copies / "DDOBJENG.cds");
    fs::create_directories(copies / "DDOBJENG.cds" / "in the way");
    EXPECT_FALSE(refreshOther());
    EXPECT_EQ(fieldRowsOnClient(), 2U);
    fs::remove_all(copies / "DDOBJENG.cds");
    EXPECT_TRUE(refresh()) << "copies left mixed are fetched again";
    EXPECT_EQ(fieldRowsOnClient(), 1U);
}

TEST_F(DictionaryRefreshTest, ARefreshWaitsForTheOneAnotherShellIsMakingInTheSameFolder)
{
    serverRows({{"TAVI52", "cdsMain", "TC005", "Department"}});
    fs::create_directories(copies);
    const int other = ::open((copies / "DDENG.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const fs::path fields = copies / "DDFDENG.cds";
    std::thread otherEnds([other, fields] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_FALSE(fs::exists(fields)) << "nothing written under another refresh";
        ::close(other);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(refresh());
    otherEnds.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
}

} // namespace
} // namespace orvane::test
