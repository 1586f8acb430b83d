#pragma once
// Automation classes that exercise the transport: echoing, by-reference writes,
// failures, child objects and objects passed back. Registered per test in a
// registry of the test's own.

#include "platform/variant/Dispatch.h"

#include <atomic>
#include <span>
#include <vector>

namespace orvane::test {

inline constexpr const char* echoClass = "RpcTest.Echo";

// Number of EchoObject instances alive, to see when the server released them.
extern std::atomic<int> liveObjects;
// Number of "Fill" calls answered, to see how far the server read a client's requests.
extern std::atomic<int> fillCalls;
// Number of "Echo" calls announced before they were answered (Dispatch::prepareCalls).
extern std::atomic<int> announcedCalls;

class EchoObject : public AutomationObject {
public:
    EchoObject();
    ~EchoObject() override;

    // Calls of "Echo" that arrive together are announced; each announcement's arguments. A run
    // that starts with "fail" fails its preparation.
    bool preparesCalls(std::string_view name) const override { return name == "Echo"; }
    void prepareCalls(std::string_view /*name*/, std::span<const std::vector<Variant>> calls) override
    {
        announced.emplace_back(calls.begin(), calls.end());
        announcedCalls += static_cast<int>(calls.size());
        if (calls.front().front() == Variant("fail"))
            throw DispatchError("no preparation");
    }
    std::vector<std::vector<std::vector<Variant>>> announced;

private:
    DispatchPtr child_;
    Variant value_;
};

void registerTestClasses(AutomationRegistry& registry);

} // namespace orvane::test
