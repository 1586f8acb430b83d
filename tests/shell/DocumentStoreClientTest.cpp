// "DmsC.DMSClass1" over the real server: checking documents out in the three forms the
// program calls, the names it refuses, and, on both roads, the bytes of a picture and a file
// name in the client's code page arriving as they are stored.
#include "support/DemoServer.h"

#include "platform/text/Base64.h"
#include "shell/DocumentStoreClient.h"

#include <fstream>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

class DocumentStoreClientTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        DemoServerTest::SetUp();
        // The alert log goes to the test's client folder.
        useClientFolder();
        shellAccess = access();
        registerDocumentStoreClient(registry_, shellAccess->createObject("OrvaneS.Services"), documents(),
                                    text::CodePage::Gbk);
        dms = registry_.create("DMSC.DMSCLASS1");
    }
    void TearDown() override
    {
        dms.reset();
        shellAccess.reset();
        DemoServerTest::TearDown();
    }
    fs::path documents() const { return documentFolder(folder_); }
    // The stored bytes of a reference, read from the database itself.
    std::string stored(const char* reference) const
    {
        const auto db = companyDatabase();
        const auto row = db->query("SELECT CONTENT FROM " + db->dialect().companyTable("PRTest50", "DMS_CONTENT") +
                                       " WHERE DOC_REF = ?",
                                   {reference});
        return text::fromBase64(row.rows.at(0).at(0).toString()).value();
    }
    Variant checkOut(std::vector<Variant>& args) { return dms->invoke("CheckOut", args); }

    std::unique_ptr<ServerAccess> shellAccess;
    DispatchPtr dms;
};

TEST_F(DocumentStoreClientTest, EachFormWritesTheDocumentAndHandsBackItsPathButNeverAPathOfTheCallers)
{
    // The order form's mark: (user, "R", the DMS row's file name and reference, "").
    std::vector<Variant> five{"ZT", "R", "mark-c001.jpg", "MARK-C001-M01", ""};
    EXPECT_EQ(checkOut(five), Variant(0));
    EXPECT_EQ(five[2], Variant((documents() / "mark-c001.jpg").string()));

    // No name: the stored one (a name of the caller's own: the picture's case below).
    std::vector<Variant> two{"", "DOC-A100"};
    EXPECT_EQ(checkOut(two), Variant(0));
    EXPECT_EQ(two[0], Variant((documents() / "A100-sheet.txt").string()));

    // The reference alone, the path coming back in its place: ShellSessionTest, through the session's
    // registration of this class.

    // Nothing is written for a missing document or a name that is a path.
    const struct {
        const char* what;
        std::vector<Variant> args;
        int code;
    } cases[] = {
        {"unknown reference", {"x.jpg", "NO-SUCH-DOC"}, -1},
        {"a name that climbs out", {"../outside.jpg", "MARK-C001-M01"}, -2},
        {"an absolute path", {(folder_ / "outside.jpg").string(), "MARK-C001-M01"}, -2},
        {"a backslash path", {"..\\outside.jpg", "MARK-C001-M01"}, -2},
        {"a mode other than read", {"ZT", "W", "x.jpg", "MARK-C001-M01", ""}, -3},
    };
    for (const auto& c : cases) {
        std::vector<Variant> args = c.args;
        EXPECT_EQ(checkOut(args), Variant(c.code)) << c.what;
        EXPECT_EQ(args, c.args) << c.what << ": the arguments stay as they were";
    }
    EXPECT_FALSE(fs::exists(folder_ / "outside.jpg"));
    EXPECT_FALSE(fs::exists(documents() / "x.jpg"));

    // A folder that cannot be made.
    fs::remove_all(documents());
    std::ofstream(documents()) << "a file where the folder belongs";
    std::vector<Variant> blocked{"", "MARK-C001-M01"};
    EXPECT_EQ(checkOut(blocked), Variant(-2));

    // Checking in is not offered; the log says why.
    EXPECT_EQ(dms->call("CheckIn", {"mark-c001.jpg", "MARK-C001-M01"}), Variant(-1));
    const std::string log = folderText(folder_ / "Log", "Alert_DmsC_");
    EXPECT_NE(log.find("CheckIn of 'mark-c001.jpg': documents are not stored from the client (answer -1)"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("No document 'NO-SUCH-DOC'"), std::string::npos) << log;
}

TEST_P(DocumentStoreClientTest, ThePicturesBytesAndAClientCodePageNameArriveAsStored)
{
    std::vector<Variant> args{gbk("唛头图片.jpg"), "MARK-C001-M01"};
    EXPECT_EQ(checkOut(args), Variant(0));
    const fs::path file = documents() / "唛头图片.jpg";
    EXPECT_EQ(args[0], Variant(gbk(file.string())));
    const std::string bytes = readFile(file);
    EXPECT_EQ(bytes.size(), 767u);
    EXPECT_EQ(bytes, stored("MARK-C001-M01"));
}

INSTANTIATE_TEST_SUITE_P(Roads, DocumentStoreClientTest, ::testing::Values(Road::Embedded, Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
