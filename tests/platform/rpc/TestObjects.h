#pragma once
// Automation classes that exercise the transport: echoing, by-reference writes,
// failures, child objects and objects passed back. Registered per test in a
// registry of the test's own.

#include "platform/variant/Dispatch.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The bytes of a request frame as a client sends them, its parameters encoded as variants
// (integers stand for handles; no object may be among them).
std::string requestFrame(std::uint32_t id, std::string_view method, const std::vector<Variant>& params);

} // namespace orvane::test
