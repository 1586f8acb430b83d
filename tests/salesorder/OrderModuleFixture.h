#pragma once
// The order data module without its window, as the module tests of the order's head, lines and
// sub-lines share it: connected over the demonstration server (embedded) with the system
// parameters loaded, a new order appended as the add command does, and system parameters
// changed on the server's side too.

#include "framework/ProgramHost.h"
#include "platform/data/SilentAbort.h"
#include "salesorder/Tavi52CD.h"

#include <functional>

namespace orvane::test {

class OrderModuleFixture : public ModuleHostTest {
protected:
    void SetUp() override
    {
        ModuleHostTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(connectModule(module, brokers, owner, moduleHost()));
        ASSERT_TRUE(brokers.LoadSystemParameters());
    }
    // The host object the module's brokers reach the shell through.
    virtual Variant moduleHost() { return hostObject(); }

    // The window's add command: the head emptied and a new one appended.
    void addOrder()
    {
        owner.mode = RecordMode::Add;
        module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
        module.cdsMain.append();
    }
    // False when a check refused what typing typed (the checks refuse by aborting silently).
    static bool accepted(const std::function<void()>& typing)
    {
        try {
            typing();
            return true;
        } catch (const SilentAbort&) {
            return false;
        }
    }
    // A system parameter set on the server, which reads it too (the unit mode converts quantities),
    // and in the client.
    void setSystemParameter(const char* name, const char* value)
    {
        const auto db = companyDatabase();
        db->execute(
            db->dialect().mapCompanyPrefix("UPDATE PRTest50..SYS_PARAM SET PARAM_VALUE = ? WHERE PARAM_NAME = ?"),
            {value, name});
        brokers.SetSystemParameter(name, value);
    }

    OrderFormSwitchValues switches; // the window's switches, for the tests that set them
    TdmTavi52 module;
};

} // namespace orvane::test
