#pragma once
// A shell component whose methods are answered by the server: the variable manager
// ("GetSysInfo"), the validator ("CheckValue", "QueryData", "QueryMaxSeq"), the counter
// ("GETCOUNTER") and the phrase service ("GetPhrase2"). Each call goes to the shell's one
// "OrvaneS.Services" session with the caller's arguments, so by-reference writes come back.
// Client thread only.

#include "platform/variant/Dispatch.h"

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace orvane {

class ServiceRelay : public AutomationObject {
public:
    // A component named className answering each of methods (name and argument count).
    struct Relayed {
        std::string_view name;
        std::size_t argCount;
    };
    ServiceRelay(std::string className, DispatchPtr services, std::initializer_list<Relayed> methods);

    // A batch of relayed methods goes to the session as one batch (one round trip over the
    // network); a batch naming anything else runs call by call.
    void invokeAll(std::span<Invocation> calls) override;

private:
    DispatchPtr services_;                                            // the shell's server session
    std::map<std::string, std::size_t, CaseInsensitiveLess> relayed_; // name, argument count
};

} // namespace orvane
