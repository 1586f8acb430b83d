// Code entry through the pick list, with real brokers over the shell's host object and the real
// application server on the seeded demonstration database. The lookup window is the only
// scripted part: it picks the first row offered, or none, as a user would.

#include "framework/FieldTextFormats.h"
#include "framework/ModuleOwner.h"

#include "platform/data/ClientDataSet.h"
#include "support/DemoHost.h"

namespace orvane::test {
namespace {

// The lookup window: remembers each list it was shown and picks its first row when told to.
class PickingShell : public ShellWindows {
public:
    std::optional<std::vector<Variant>> chooseLookupRow(const LookupList& list) override
    {
        requests.push_back(list.request);
        if (pickFirst && !list.page.rows.empty())
            return list.page.rows.front();
        return std::nullopt;
    }
    bool pickFirst = true;
    std::vector<LookupRequest> requests;
};

class CodeEntryTest : public DemoHostTest<PickingShell> {
protected:
    void SetUp() override
    {
        DemoHostTest::SetUp();
        signIn(brokers);
        brokers.setHostObject(DispatchPtr(host));
        ASSERT_TRUE(brokers.AcquireComponents());
        ASSERT_TRUE(brokers.LoadSystemParameters());

        dataSet.addFields({FieldDef::string("TC004", 10), FieldDef::string("TD004", 20)});
        dataSet.createDataSet();
        dataSet.append();
        formats.setBrokers(&brokers);
        formats.setFocusReturn([this](Field& field) { focused.push_back(field.name()); });
        customer().onSetText = formats.setText(&FieldTextFormats::CustomerFieldSetText);
        item().onSetText = formats.setText(&FieldTextFormats::BarCodeFieldSetText);
    }
    void TearDown() override
    {
        brokers.setHostObject({});
        DemoHostTest::TearDown();
    }
    Field& customer() { return dataSet.fieldByName("TC004"); }
    Field& item() { return dataSet.fieldByName("TD004"); }
    // Table, kind and keys of the i-th list the window was shown.
    std::vector<Variant> asked(std::size_t i) const
    {
        const LookupRequest& request = windows.requests.at(i);
        return {request.table, request.kind, request.keys};
    }

    ModuleOwner owner;
    TBrokers brokers{owner, owner, registry_};
    ClientDataSet dataSet{"cdsMain"};
    FieldTextFormats formats;
    std::vector<std::string> focused;
};

TEST_F(CodeEntryTest, APartialCodeResolvesThroughItsKindsListToTheChosenRowAndFocusReturns)
{
    customer().setText("C00");
    EXPECT_EQ(customer().asString(), "C001");
    ASSERT_EQ(windows.requests.size(), 1U);
    EXPECT_EQ(asked(0), (std::vector<Variant>{"COPMA", "61", Variant::arrayOf({"C00"})}));
    EXPECT_EQ(windows.requests[0].text, "C00");
    EXPECT_EQ(focused, std::vector<std::string>{"TC004"});

    brokers.SetSystemParameter("SYS054", "2");
    customer().setText(gbk("北方"));
    EXPECT_EQ(customer().asString(), "C003");
    EXPECT_EQ(asked(1)[1], Variant("62"));

    Field& supplier = customer();
    supplier.onSetText = formats.setText(&FieldTextFormats::ProviderFieldSetText);
    supplier.setText("F00");
    EXPECT_EQ(supplier.asString(), "F001");
    EXPECT_EQ(asked(2)[0], Variant("PURMA"));
    brokers.SetSystemParameter("SYS056", "2");
    supplier.onSetText = formats.setText(&FieldTextFormats::CostFieldSetText);
    supplier.setText(gbk("应收"));
    EXPECT_EQ(supplier.asString(), "1122");
    EXPECT_EQ(asked(3)[1], Variant("66"));

    // A whole code is taken without a list, and the key that left the field moves on.
    brokers.SetSystemParameter("SYS054", "");
    customer().onSetText = formats.setText(&FieldTextFormats::CustomerFieldSetText);
    focused.clear();
    customer().setText("C002");
    EXPECT_EQ(customer().asString(), "C002");
    EXPECT_EQ(windows.requests.size(), 4U);
    EXPECT_TRUE(focused.empty());
}

TEST_F(CodeEntryTest, TypedTextIsKeptWhenNothingIsChosenFoundOrLookedUp)
{
    windows.pickFirst = false;
    customer().setText("C00");
    EXPECT_EQ(customer().asString(), "C00");
    windows.pickFirst = true;
    customer().setText("NOSUCH");
    EXPECT_EQ(customer().asString(), "NOSUCH");
    EXPECT_EQ(focused.size(), 2U);

    // Empty text, or parameter 1, stores the text without asking the window.
    customer().setText("");
    EXPECT_EQ(customer().asString(), "");
    brokers.SetSystemParameter("SYS054", "1");
    customer().setText("C0");
    EXPECT_EQ(customer().asString(), "C0");
    EXPECT_EQ(windows.requests.size(), 1U) << "text matching nothing opens no list, so no 'nothing matches' box";
    EXPECT_EQ(focused.size(), 2U);
}

TEST_F(CodeEntryTest, BarCodesResolveToTheirItemWithoutAWindow)
{
    brokers.SetSystemParameter("SYS053", "2");
    windows.pickFirst = false; // an exact bar code is taken without the user choosing
    item().setText("6901234567890");
    EXPECT_EQ(item().asString(), "A100");
    EXPECT_TRUE(windows.requests.empty()) << "no window for a bar code";
    EXPECT_TRUE(focused.empty()) << "nor a focus to give back";

    // Mode 3 falls back to the item list when the text is no bar code.
    brokers.SetSystemParameter("SYS053", "3");
    windows.pickFirst = true;
    item().setText("A1");
    EXPECT_EQ(item().asString(), "A100");
    ASSERT_EQ(windows.requests.size(), 1U);
    EXPECT_EQ(asked(0), (std::vector<Variant>{"INVMB", "63", Variant::arrayOf({"A1"})}));
}

} // namespace
} // namespace orvane::test
