#include "platform/variant/Dispatch.h"

#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// A small automation class with methods of fixed and of optional arguments and a read-only property.
class Counter : public AutomationObject {
public:
    Counter() : AutomationObject("Test.Counter")
    {
        method("Add", 1, [](std::span<Variant> args) { return args[0]; });
        method("Sum", 0, 3, [](std::span<Variant> args) {
            std::int64_t total = 0;
            for (const Variant& a : args)
                total += a.toInteger();
            return Variant(total);
        });
        property("Name", [] { return Variant("counter"); });
    }
};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AutomationRegistry::instance().registerClass("Test.Counter", [] { return std::make_shared<Counter>(); });
    }
    void TearDown() override { AutomationRegistry::instance().unregisterClass("Test.Counter"); }
};

// Class, method and property names match without regard to case: ConnectTest creates
// "TAVIS52S.Class1" and calls "Whatis", ServerClientTest puts "VALUE" and gets "value".
TEST_F(DispatchTest, BadCallsGiveErrorsNamingMemberAndCounts)
{
    DispatchPtr counter = createAutomationObject("Test.Counter");
    EXPECT_EQ(errorOf<DispatchError>([&] { counter->call("Add", {}); }),
              "Test.Counter.Add takes 1 argument(s), 0 given");
    // Unknown members: DispatcherTest (get) and ServerClientTest (call), through the server.
    EXPECT_THROW(counter->call("Sum", {1, 2, 3, 4}), DispatchError);
    EXPECT_EQ(counter->call("Sum", {1, 2}), Variant(3));
    EXPECT_THROW(counter->put("Name", "x"), DispatchError);
    EXPECT_TRUE(contains(errorOf<DispatchError>([] { createAutomationObject("AddressC.Class1"); }),
                         "\"AddressC.Class1\" is not registered"));
}

// A variant's copies share its object, and the last one released frees it:
// ServerClientTest.ReleasingDisconnectingAndStoppingFreeServerObjects, through the server's objects.
TEST_F(DispatchTest, ANullPointerHoldsNoObject)
{
    EXPECT_TRUE(Variant(DispatchPtr{}).isUnassigned());
}

} // namespace
} // namespace orvane::test
