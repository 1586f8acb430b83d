// The built module tavi52c.so as the shell drives it: loaded with dlopen, controllers from its
// export, the order window started over the real embedded demonstration server (the shell's
// session tests take the module over TCP), and every controller operation with and without a form.
#include "framework/ProgramHost.h"

#include "framework/BaseCD.h"
#include "framework/VozurazCF.h"
#include "module/DLLBaseCtrller.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>

namespace orvane::test {
namespace {

// The module, loaded once for the whole run as the shell loads it.
GetControllerFunction getController()
{
    static void* module = dlopen(TAVI52C_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
    return reinterpret_cast<GetControllerFunction>(dlsym(module, "GetController"));
}

// The module's form behind a controller. The module keeps its classes to itself, so the test
// reaches the form through its window and reads it with this executable's copy of the same
// class (the same source, the same layout).
TfrmVozuraz* formOf(TDLLBaseController& controller)
{
    QWidget* window = QWidget::find(static_cast<WId>(controller.GetWindowHandle()));
    if (window == nullptr || std::string(window->metaObject()->className()) != "orvane::TfrmTavi52")
        return nullptr;
    return static_cast<TfrmVozuraz*>(window);
}

class ControllerTest : public ProgramHostTest {
protected:
    ScriptedDialogs dialogs;

    void SetUp() override
    {
        ProgramHostTest::SetUp();
        controller.reset(getController()());
        controller->HostObject = hostObject();
        controller->OnNotify = [this, self = controller.get()](std::int32_t code, TDLLBaseController* sender) {
            EXPECT_EQ(sender, self);
            notified.push_back(code);
        };
    }
    void TearDown() override
    {
        controller.reset();
        ProgramHostTest::TearDown();
    }
    TfrmVozuraz& started()
    {
        EXPECT_EQ(controller->Execute(startParams()), 0);
        TfrmVozuraz* form = formOf(*controller);
        if (form == nullptr)
            throw std::runtime_error("Execute made no order window");
        return *form;
    }

    std::unique_ptr<TDLLBaseController> controller;
    std::vector<std::int32_t> notified;
};

// A window prepared ahead keeps the orders it read while the server reads the same, and shows
// the first order as it stands now once it changed.
TEST_F(ControllerTest, ExecuteStartsTheOrderWindowHiddenAndARenewedOneReadsItsOrdersAgainOnlyWhenTheyChanged)
{
    TfrmVozuraz& form = started();
    EXPECT_FALSE(controller->IsClosed());
    EXPECT_EQ(controller->GetVisible(), 0);

    Variant info;
    EXPECT_EQ(controller->GetLoginInfo(info), 0);
    EXPECT_EQ(info, Variant::arrayOf({"ZT", "PRTest50", "TAVI52", gbk("客户订单录入作业")}));

    ClientDataSet& head = static_cast<TdmBase*>(form.dataModule())->cdsMain;
    const auto records = head.recordSet();
    EXPECT_EQ(controller->RenewStart(), 0) << "a window never shown is renewed for a start";
    EXPECT_EQ(head.recordSet(), records) << "an unchanged list is not loaded again";
    const auto db = companyDatabase();
    db->execute("UPDATE " + db->dialect().companyTable(demoCompanyDb, "COPTC") +
                " SET TC012 = 'CHANGED' WHERE TC001 = '" + head.fieldByName("TC001").asString() + "' AND TC002 = '" +
                head.fieldByName("TC002").asString() + "'");
    EXPECT_EQ(controller->RenewStart(), 0);
    EXPECT_EQ(head.fieldByName("TC012").asString(), "CHANGED");

    controller->SetVisible(-1);
    EXPECT_EQ(controller->RenewStart(), -1) << "a shown window may hold a clerk's work";
    controller->SetVisible(0);
    EXPECT_EQ(notified, (std::vector<std::int32_t>{0x100, 0x110, 0x120}));

    EXPECT_EQ(controller->Execute(startParams()), 0) << "a second Execute restarts the same form";
    EXPECT_EQ(formOf(*controller), &form);
    EXPECT_EQ(notified.size(), 3u);
}

TEST_F(ControllerTest, WithoutAFormEveryOperationAnswersItsEmptyResult)
{
    EXPECT_TRUE(controller->IsClosed());
    EXPECT_EQ(controller->GetVisible(), 0);
    EXPECT_EQ(controller->GetWindowHandle(), 0u);
    EXPECT_EQ(controller->SetStartKey(Variant::arrayOf({"", "K"})), -1);
    EXPECT_EQ(controller->SetStartMode(1, 0xFF, Variant()), -1);
    EXPECT_EQ(controller->RenewStart(), -1);
    Variant info("untouched");
    EXPECT_EQ(controller->GetLoginInfo(info), -1);
    EXPECT_EQ(info, Variant("untouched"));
    std::u16string text = u"untouched";
    controller->GetFormText(text);
    EXPECT_EQ(text, u"untouched");
    Variant result("untouched");
    controller->SetVisible(-1);
    controller->RunModal(result);
    controller->CloseProgram(0);
    EXPECT_EQ(result, Variant("untouched"));
    EXPECT_TRUE(notified.empty());
}

// The rights mask removes its elements only; the shell's modes map to start modes, some bringing a
// value; the start key is element one of an array.
TEST_F(ControllerTest, StartModesTheRightsMaskAndTheStartKeyReachTheForm)
{
    TfrmVozuraz& form = started();
    const std::pair<std::int32_t, RightsSet> masks[] = {
        {0xFF, RightsSet(0x1FF)},         {0x00, RightsSet(0x100)},
        {0x02, RightsSet(0x108)}, // 0x02 keeps element 3; element 1 (0x08) goes
        {0x08, RightsSet(0x102)},         {0x04, RightsSet(0x104)},
        {0x7F | 0x100, RightsSet(0x17F)}, // bits above the low eight are ignored
    };
    for (const auto& [mask, expected] : masks) {
        form.setRightsSet(RightsSet(0x1FF));
        EXPECT_EQ(controller->SetStartMode(0, mask, Variant()), 0);
        EXPECT_EQ(form.rightsSet(), expected) << mask;
    }
    form.setRightsSet(RightsSet(0x0F0));
    controller->SetStartMode(0, 0xFF, Variant());
    EXPECT_EQ(form.rightsSet(), RightsSet(0x0F0)) << "a set mask bit adds nothing back";

    const struct {
        std::int32_t mode;
        int startMode;
        bool takesValue;
    } cases[] = {{0, 0, false}, {3, 3, false}, {5, 5, false}, {6, 0, false},  {7, 7, true},
                 {8, 8, true},  {9, 0, false}, {10, 9, true}, {11, 0, false}, {-1, 0, false}};
    for (const auto& c : cases) {
        form.setStartMode(42);
        form.setStartValue(Variant("before"));
        EXPECT_EQ(controller->SetStartMode(c.mode, 0xFF, Variant(c.mode)), 0);
        EXPECT_EQ(form.startMode(), c.startMode) << c.mode;
        EXPECT_EQ(form.startValue(), c.takesValue ? Variant(c.mode) : Variant("before")) << c.mode;
    }

    form.setStartKey("before");
    for (const Variant& bad : {Variant::null(), Variant("K"), Variant::arrayOf({"only"}), Variant(),
                               Variant::arrayOf({"", Variant::arrayOf({"nested"})})}) {
        EXPECT_EQ(controller->SetStartKey(bad), -1);
        EXPECT_EQ(form.startKey(), "before");
    }
    EXPECT_EQ(controller->SetStartKey(Variant::arrayOf({"", "2201-0001"})), 0);
    EXPECT_EQ(form.startKey(), "2201-0001");
}

// Close is reported (0x140) for CloseProgram(0), for a window the clerk closes (after the form's
// own handler) and for a freed controller, not for CloseProgram(1); the results stay with the
// controller, and a modal run answers the form's value.
TEST_F(ControllerTest, ClosingReportsCloseOnlyForFlagZeroAndKeepsTheResults)
{
    TfrmVozuraz& form = started();
    form.setResultCode(7);
    form.setResultValue(Variant("chosen"));
    form.setFormText(gbk("订单"));
    std::u16string text;
    controller->GetFormText(text);
    EXPECT_EQ(text, u"订单");
    controller->CloseProgram(1);
    EXPECT_EQ(notified, (std::vector<std::int32_t>{0x100, 0x130}));
    EXPECT_TRUE(controller->IsClosed());
    EXPECT_EQ(controller->ResultCode, 7);
    EXPECT_EQ(controller->ResultValue, Variant("chosen"));

    notified.clear();
    started();
    controller->CloseProgram(0);
    EXPECT_EQ(notified, (std::vector<std::int32_t>{0x100, 0x140, 0x130}));
    EXPECT_EQ(controller->ResultCode, 0) << "the new form's results";

    notified.clear();
    TfrmVozuraz& shown = started();
    shown.show();
    EXPECT_TRUE(shown.dataModule()->connected());
    QPointer<QWidget> window(&shown);
    shown.close();
    EXPECT_FALSE(shown.dataModule()->connected()) << "the form's own close handler ran";
    QCoreApplication::processEvents(); // the program's window frees itself after its close
    EXPECT_EQ(notified, (std::vector<std::int32_t>{0x100, 0x110, 0x140, 0x130}));
    EXPECT_TRUE(controller->IsClosed());
    EXPECT_TRUE(window.isNull());

    started();
    dialogs->queueModalAction([](QWidget& modal) {
        static_cast<TfrmVozuraz&>(modal).setResultValue(Variant("picked"));
        modal.close();
    });
    Variant result;
    controller->RunModal(result);
    EXPECT_EQ(result, Variant("picked"));
    EXPECT_TRUE(controller->IsClosed());
    EXPECT_EQ(controller->ResultValue, Variant("picked"));
    EXPECT_EQ(notified.back(), 0x130);

    notified.clear();
    window = &started();
    controller.reset();
    EXPECT_EQ(notified, (std::vector<std::int32_t>{0x100, 0x140, 0x130})) << "freeing the controller closes its form";
    EXPECT_TRUE(window.isNull());
}

TEST_F(ControllerTest, AnExceptionInTheModulesHandlersReachesTheExceptionReport)
{
    TfrmVozuraz& form = started();
    launcher.helpFails = true;
    form.show();
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    const std::string reports = folderText(folder_ / "client" / "Log");
    EXPECT_NE(reports.find("the help viewer is not installed"), std::string::npos) << reports;
}

} // namespace
} // namespace orvane::test
