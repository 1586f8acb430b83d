#pragma once
// The named server methods the client reaches through the counter's "GETCOUNTER":
// C++ functions registered by their exact name. Names are case-sensitive, because the
// client sends them as each caller spells them ("QtyDToS" and "QtyDTos" are two
// entries, registered separately even when they share a body).
//
// Threads: register at start-up from one thread; call() may then run on any thread.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"
#include "server/services/SessionLogin.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class KeptReads;

// What a named method works with: the session's connection (its company database
// addressable) and login, and the caller's arguments; reads, when a call runs several
// methods over data that cannot change under it, the answers of the statements they share.
struct MethodCall {
    Database& db;
    const SessionLogin& login;
    const Variant& args;
    KeptReads* reads = nullptr;
};

class NamedMethods {
public:
    using Method = std::function<Variant(const MethodCall& call)>;

    // Registers a method; raises ServiceError when the name is taken.
    void add(std::string name, Method method);
    // Runs the method of that exact name; raises ServiceError naming an unknown one.
    Variant call(std::string_view name, const MethodCall& call) const;

private:
    std::map<std::string, Method, std::less<>> methods_;
};

// The elements of an argument array (or one value) for a method expecting between
// minCount and maxCount of them; raises ServiceError naming the method and both counts.
std::vector<Variant> methodArgs(std::string_view method, const Variant& args, std::size_t minCount,
                                std::size_t maxCount);

} // namespace orvane
