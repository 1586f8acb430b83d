// The host object as a program module calls it: components relayed to the real server with
// by-reference writes, the lookup and date windows' defaults, launching, and the Big5/GB
// conversions of the Language file.
#include "support/DemoHost.h"

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "services/CodeConversion.h"
#include "shell/ServerText.h"
#include "support/LocalText.h"

namespace orvane::test {
namespace {

class HostObjectTest : public DemoHostTest<ShellWindows> {
protected:
    HostObjectTest() { tables = LanguageTables::load(ORVANE_LANGUAGE_FILE); }
};

// What the components answer is tested through TBrokers; here: one object per component, members
// a component does not have refused by name, and lookups that find nothing.
TEST_F(HostObjectTest, ComponentsAreStableRefuseMembersTheyDoNotHaveAndLookupsTakeNoRowWhereThereIsNone)
{
    for (const char* name :
         {"Com_VarManager", "Com_Validator", "Com_F2Window", "Com_InputDate", "Com_Phrase", "Com_Counter"})
        EXPECT_EQ(component(name), component(name)) << name;
    EXPECT_EQ(component("com_validator"), component("Com_Validator"));
    EXPECT_NE(errorOf([&] {
                  component("Com_Counter")->call("CheckValue", {1, 2, 3, 4, 5});
              }).find("CheckValue"),
              std::string::npos);

    // The lookup takes no row where there is none. A bar code's single item, taken because its list
    // says so: CodeEntryTest, through the field. The first row taken, or none chosen in the window:
    // BrokersTest, through this object.
    DispatchPtr lookup = component("Com_F2Window");
    std::vector<Variant> none{
        LookupRequest{.table = "CMSME", .kind = "01", .keys = Variant::arrayOf({"NONE"}), .takeFirstRow = true}
            .toVariant()};
    const Variant answer = lookup->invoke("F2GetData", none);
    EXPECT_TRUE(answer.isUnassigned() || LookupAnswer::fromVariant(answer).rows.empty()) << "no row, nothing chosen";
    std::vector<Variant> args{LookupRequest{.table = "NOSUCH", .kind = "09", .takeFirstRow = true}.toVariant()};
    EXPECT_NE(errorOf([&] { lookup->invoke("F2GetData", args); }).find("table 'NOSUCH' kind '09'"), std::string::npos);
}

TEST_F(HostObjectTest, Big5AndGbConvertThroughTheLanguageTables)
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

// A lookup list and a form convert the server's texts by one rule: for every pair of interface
// and data code pages the list shows what the form's data conversion through this object gives.
TEST_F(HostObjectTest, ALookupListConvertsTheServersTextsAsTheFormsDataConversionDoes)
{
    CodeConversion form;
    form.setHostObject(Variant(DispatchPtr(host)));
    const std::string gb = gbk("国内业务");
    for (const char* shown : {"936", "950", "65001"})
        for (const char* data : {"936", "950", "65001"}) {
            SCOPED_TRACE(std::string(shown) + " over " + data);
            const InstallationCodePage interface(*text::codePageFromNumber(std::atoi(shown)));
            form.setDataMode(TOrvaneIniC::dataConvertMode(shown, data));
            EXPECT_EQ(ServerText(tables, *text::codePageFromNumber(std::atoi(data))).shown(gb),
                      form.DataConvert(Variant(gb)).toString());
        }
}

} // namespace
} // namespace orvane::test
