// The host object as a program module calls it: components relayed to the real server with
// by-reference writes, the lookup and date windows' defaults, launching, and the Big5/GB
// conversions of the Language file.
#include "shell/DemoServer.h"

#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ShellWindows.h"

namespace orvane::test {
namespace {

class HostObjectTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        DemoServerTest::SetUp();
        server = access();
        host = std::make_shared<HostObject>(*server, windows, launcher, tables);
    }
    void TearDown() override
    {
        host.reset();
        server.reset();
        DemoServerTest::TearDown();
    }
    DispatchPtr component(std::string_view name) { return host->call(name).dispatch(); }
    // A lookup request of the module's shape for table, kind and keys.
    static Variant request(std::string_view table, std::string_view kind, Variant keys, bool takeFirst)
    {
        Variant request = Variant::createArray(0, 12);
        request[0] = table;
        request[1] = kind;
        request[2] = std::move(keys);
        request[3] = takeFirst;
        return request;
    }

    LanguageTables tables = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    ShellWindows windows;
    ProgramLauncher launcher;
    std::unique_ptr<ServerAccess> server;
    std::shared_ptr<HostObject> host;
};

// What the components answer is tested through TBrokers; here: one object per component, and
// members a component does not have are refused by name.
TEST_P(HostObjectTest, ComponentsAreStableAndRefuseMembersTheyDoNotHave)
{
    for (const char* name :
         {"Com_VarManager", "Com_Validator", "Com_F2Window", "Com_InputDate", "Com_Phrase", "Com_Counter"})
        EXPECT_EQ(component(name), component(name)) << name;
    EXPECT_EQ(component("com_validator"), component("Com_Validator"));
    EXPECT_NE(errorOf([&] {
                  component("Com_Counter")->call("CheckValue", {1, 2, 3, 4, 5});
              }).find("CheckValue"),
              std::string::npos);
}

TEST_P(HostObjectTest, LookupAnswersTheFirstRowOnlyWhenAskedAndRefusesBadRequests)
{
    DispatchPtr lookup = component("Com_F2Window");
    std::vector<Variant> args{request("CMSME", "01", Variant::arrayOf({"S2"}), true)};
    EXPECT_EQ(lookup->invoke("F2GetData", args), Variant::arrayOf({Variant::arrayOf({"S20", gbk("外销业务部")})}));
    args = {request("CMSME", "01", Variant::arrayOf({"S2"}), false)};
    EXPECT_TRUE(lookup->invoke("F2GetData", args).isUnassigned());
    args = {request("CMSME", "01", Variant::arrayOf({"NONE"}), true)};
    EXPECT_TRUE(lookup->invoke("F2GetData", args).isUnassigned()) << "no row, nothing chosen";

    args = {request("NOSUCH", "09", Variant(), true)};
    EXPECT_NE(errorOf([&] { lookup->invoke("F2GetData", args); }).find("table 'NOSUCH' kind '09'"), std::string::npos);
    for (Variant bad : {Variant("CMSME"), Variant::arrayOf({"CMSME", "01"})}) {
        args = {bad};
        EXPECT_NE(errorOf([&] { lookup->invoke("F2GetData", args); }).find("13 elements"), std::string::npos);
    }
}

TEST_P(HostObjectTest, WindowsAndLauncherDefaultsAnswerWithoutAScreen)
{
    std::vector<Variant> exec{Variant::arrayOf({"ZT", "PRTest50", "TAVI61", 0}), "", Variant(), 2, Variant()};
    EXPECT_EQ(host->invoke("ExecWork", exec), Variant(-1));
    EXPECT_TRUE(host->call("CallHelp", {Variant::arrayOf({"TAV", "11520000"})}).isUnassigned());
    EXPECT_TRUE(host->call("Connect").isUnassigned());
}

TEST_P(HostObjectTest, Big5AndGbConvertThroughTheLanguageTables)
{
    const std::string gb = gbk("国内业务");
    const std::string big5 = text::fromUtf8("國內業務", text::CodePage::Big5);
    EXPECT_EQ(host->call("GBtoBig5", {gb}), Variant(big5));
    EXPECT_EQ(host->call("BIG5toGB", {big5}), Variant(gb));
    EXPECT_EQ(host->call("GBtoBig5", {Variant::null()}), Variant::null());

    std::vector<Variant> byReference{gb};
    EXPECT_EQ(host->invoke("GBToBig5", byReference), Variant(big5));
    EXPECT_EQ(byReference[0], Variant(big5));
    EXPECT_EQ(host->invoke("Big5ToGB", byReference), Variant(gb));
    EXPECT_EQ(byReference[0], Variant(gb));
}

INSTANTIATE_TEST_SUITE_P(Roads, HostObjectTest, ::testing::Values(Road::Embedded, Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
