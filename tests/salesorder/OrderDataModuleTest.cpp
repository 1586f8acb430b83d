// The order data module over the demonstration server: its three nested datasets open with
// their declared fields.
#include "salesorder/Tavi52CD.h"

#include "framework/ModuleOwner.h"
#include "framework/ProgramHost.h"

namespace orvane::test {
namespace {

class OrderDataModuleTest : public ProgramHostTest {
protected:
    void SetUp() override
    {
        ProgramHostTest::SetUp();
        ASSERT_TRUE(connectModule(module, brokers, owner, hostObject()));
    }

    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    TdmTavi52 module;
};

TEST_F(OrderDataModuleTest, OpensHeadLinesAndSubLinesOnTheServer)
{
    EXPECT_TRUE(module.cdsMain.active());
    EXPECT_TRUE(module.cdsBody1.active());
    EXPECT_TRUE(module.cdsFoot.active());
    EXPECT_GT(module.cdsMain.recordCount(), 0);
    EXPECT_EQ(module.cdsBody1.fieldByName("TD004C4").visible(), false);
}

} // namespace
} // namespace orvane::test
