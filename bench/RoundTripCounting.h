#pragma once
// Counts and times the round trips of a client: every server object the shell's host object or
// the process's server connector hands out is wrapped (and the objects those answer), and each
// call, property read or write of it counts one round trip, its time added to the waiting in
// calls; a batch (invokeAll) counts one. Each call's time is also kept under the kind of call it
// is (the member, a counter method's name, a batch), so that a server check's latency can be set
// beside a bare round trip. With ORVANE_LOAD_TRACE set, each round trip is also
// written to stderr (object class and member), to see what a step asks.
//
// Options: refuse batches, so that a client that would ask ahead asks each question on its own
// as it meets it (the batch and the calls that answer ahead fail unsent, as a server without them
// would); and count only the objects of named host members (the validator and the counter).

#include "platform/rpc/ServerConnector.h"
#include "platform/variant/Dispatch.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orvane::bench {

// What the wrapped objects measured so far.
struct CallMeter {
    long roundTrips = 0;
    double micros = 0;                // the time spent waiting in the calls
    long calls = 0;                   // the round trips that were single calls (invoke)
    std::vector<std::size_t> batches; // the size of each batch sent
    // Per kind of call ("CheckValue", "CopUnitPrice", "batch of CheckValue") the time of each.
    std::map<std::string, std::vector<double>, std::less<>> callMicros;
};

struct CountingOptions {
    bool refuseBatches = false;          // nothing is asked ahead: batches fail unsent
    std::vector<std::string> components; // host members whose objects are counted; empty: all
};

class CountedObject : public Dispatch {
public:
    CountedObject(DispatchPtr inner, CallMeter& meter, bool refuseBatches = false)
        : inner_(std::move(inner)), meter_(meter), refuseBatches_(refuseBatches)
    {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        count(name, args);
        ++meter_.calls;
        return timed(kindOf(name, args), [&] { return inner_->invoke(name, args); });
    }
    void invokeAll(std::span<Invocation> calls) override
    {
        if (refuseBatches_) {
            for (Invocation& call : calls)
                call.error = std::make_exception_ptr(std::runtime_error("nothing is asked ahead"));
            return;
        }
        std::string members = "(batch)";
        for (std::size_t i = 0; tracing() && i < calls.size(); ++i)
            members += " " + kindOf(calls[i].name, calls[i].args);
        count(members);
        const std::string kind = calls.empty() ? std::string("batch")
                                 : calls.size() == 1 ? kindOf(calls[0].name, calls[0].args)
                                                     : "batch of " + kindOf(calls[0].name, calls[0].args);
        meter_.batches.push_back(calls.size());
        timed(kind, [&] {
            inner_->invokeAll(calls);
            return Variant();
        });
    }
    Variant get(std::string_view name) override
    {
        count(name);
        return timed(name, [&] { return inner_->get(name); });
    }
    void put(std::string_view name, const Variant& value) override
    {
        count(name);
        timed(name, [&] {
            inner_->put(name, value);
            return Variant();
        });
    }
    std::string className() const override { return inner_->className(); }

    // The answer, counted when it is a server object.
    static Variant wrap(Variant answer, CallMeter& meter, bool refuseBatches)
    {
        if (answer.isDispatch() && answer.dispatch())
            return Variant(DispatchPtr(std::make_shared<CountedObject>(answer.dispatch(), meter, refuseBatches)));
        return answer;
    }

private:
    // Counts one round trip; traced with the leading text arguments (a lookup's table and kind).
    void count(std::string_view member, std::span<Variant> args = {})
    {
        ++meter_.roundTrips;
        if (!tracing())
            return;
        std::cerr << "  round trip " << inner_->className() << "." << member;
        for (std::size_t i = 0; i < args.size() && i < 2 && args[i].isString(); ++i)
            std::cerr << " " << args[i].toString();
        std::cerr << "\n";
    }

    static bool tracing()
    {
        static const bool trace = std::getenv("ORVANE_LOAD_TRACE") != nullptr;
        return trace;
    }

    // The kind a call is kept under: a counter method by its own name, other calls by the member.
    static std::string kindOf(std::string_view member, std::span<const Variant> args)
    {
        if (member == "GETCOUNTER" && !args.empty() && args[0].isString())
            return args[0].toString();
        return std::string(member);
    }

    template <typename Call>
    Variant timed(std::string_view kind, Call&& call)
    {
        const auto start = std::chrono::steady_clock::now();
        Variant answer = call();
        const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        meter_.micros += micros;
        auto slot = meter_.callMicros.find(kind);
        if (slot == meter_.callMicros.end())
            slot = meter_.callMicros.emplace(std::string(kind), std::vector<double>()).first;
        slot->second.push_back(micros);
        return wrap(std::move(answer), meter_, refuseBatches_);
    }

    DispatchPtr inner_;
    CallMeter& meter_;
    bool refuseBatches_;
};

// The host object as a program sees it: the objects it answers are counted; its own members
// answer from the shell's memory and are not.
class CountingHost : public Dispatch {
public:
    CountingHost(DispatchPtr host, CallMeter& meter, CountingOptions options = {})
        : host_(std::move(host)), meter_(meter), options_(std::move(options))
    {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        Variant answer = host_->invoke(name, args);
        return counts(name) ? CountedObject::wrap(std::move(answer), meter_, options_.refuseBatches) : answer;
    }
    Variant get(std::string_view name) override { return host_->get(name); }
    void put(std::string_view name, const Variant& value) override { host_->put(name, value); }
    std::string className() const override { return host_->className(); }

private:
    bool counts(std::string_view member) const
    {
        return options_.components.empty() || std::ranges::find(options_.components, member) != options_.components.end();
    }

    DispatchPtr host_;
    CallMeter& meter_;
    CountingOptions options_;
};

// The process's connector, whose objects (a data module's application server) are counted.
class CountingConnector : public ServerConnector {
public:
    CountingConnector(std::shared_ptr<ServerConnector> inner, CallMeter& meter) : inner_(std::move(inner)), meter_(meter)
    {}
    DispatchPtr connect(std::string_view address, std::uint16_t port, std::string_view className) override
    {
        return std::make_shared<CountedObject>(inner_->connect(address, port, className), meter_);
    }

private:
    std::shared_ptr<ServerConnector> inner_;
    CallMeter& meter_;
};

} // namespace orvane::bench
