#pragma once
// Automation classes that exercise the transport: echoing, by-reference writes,
// failures, child objects and objects passed back. Registered per test in a
// registry of the test's own.

#include "platform/variant/Dispatch.h"

#include <atomic>

namespace orvane::test {

inline constexpr const char* echoClass = "RpcTest.Echo";

// Number of EchoObject instances alive, to see when the server released them.
extern std::atomic<int> liveObjects;
// Number of "Fill" calls answered, to see how far the server read a client's requests.
extern std::atomic<int> fillCalls;

class EchoObject : public AutomationObject {
public:
    EchoObject();
    ~EchoObject() override;

private:
    DispatchPtr child_;
    Variant value_;
};

void registerTestClasses(AutomationRegistry& registry);

} // namespace orvane::test
