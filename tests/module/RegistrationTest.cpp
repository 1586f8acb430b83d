// The module's registration variables: the export and Execute refuse to work unregistered.
#include "module/DLLMTCtrller.h"

#include "support/ErrorOf.h"

#include <gtest/gtest.h>

extern "C" orvane::TDLLBaseController* GetController();

namespace orvane::test {
namespace {

// Clears a registration variable for one test and puts it back.
template <typename T>
class Unregistered {
public:
    explicit Unregistered(T& variable) : variable_(variable), saved_(variable) { variable_ = nullptr; }
    ~Unregistered() { variable_ = saved_; }

private:
    T& variable_;
    T saved_;
};

TEST(RegistrationTest, TheExportNeedsTheControllerClassAndExecuteTheFormClass)
{
    {
        Unregistered unregistered(DLLControllerClass);
        EXPECT_EQ(errorOf([] { GetController(); }),
                  "ZTK DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    std::unique_ptr<TDLLBaseController> controller(GetController());

    // Execute needs the form class.
    Unregistered unregistered(frmVozurazClass);
    EXPECT_EQ(errorOf([&] {
                  controller->Execute(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, ""}));
              }),
              "ZTK DLL Internal Error :\rNot Assign \"frmVozurazClass\" varible");
    EXPECT_TRUE(controller->IsClosed());
}

} // namespace
} // namespace orvane::test
