#pragma once
// Counts the round trips of a client process: every server object the shell's host object or
// the process's server connector hands out is wrapped, and each call, property read or write
// of it counts one round trip; a batch (invokeAll) counts one.

#include "platform/rpc/ServerConnector.h"
#include "platform/variant/Dispatch.h"

#include <memory>
#include <utility>

namespace orvane::bench {

class CountedObject : public Dispatch {
public:
    CountedObject(DispatchPtr inner, long& roundTrips) : inner_(std::move(inner)), roundTrips_(roundTrips) {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        ++roundTrips_;
        return inner_->invoke(name, args);
    }
    void invokeAll(std::span<Invocation> calls) override
    {
        ++roundTrips_;
        inner_->invokeAll(calls);
    }
    Variant get(std::string_view name) override
    {
        ++roundTrips_;
        return inner_->get(name);
    }
    void put(std::string_view name, const Variant& value) override
    {
        ++roundTrips_;
        inner_->put(name, value);
    }
    std::string className() const override { return inner_->className(); }

private:
    DispatchPtr inner_;
    long& roundTrips_;
};

// The host object as a program sees it: the objects it answers are counted; its own members
// answer from the shell's memory and are not.
class CountingHost : public Dispatch {
public:
    CountingHost(DispatchPtr host, long& roundTrips) : host_(std::move(host)), roundTrips_(roundTrips) {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        Variant answer = host_->invoke(name, args);
        if (answer.isDispatch() && answer.dispatch())
            return Variant(DispatchPtr(std::make_shared<CountedObject>(answer.dispatch(), roundTrips_)));
        return answer;
    }
    Variant get(std::string_view name) override { return host_->get(name); }
    void put(std::string_view name, const Variant& value) override { host_->put(name, value); }
    std::string className() const override { return host_->className(); }

private:
    DispatchPtr host_;
    long& roundTrips_;
};

// The process's connector, whose objects (a data module's application server) are counted.
class CountingConnector : public ServerConnector {
public:
    CountingConnector(std::shared_ptr<ServerConnector> inner, long& roundTrips)
        : inner_(std::move(inner)), roundTrips_(roundTrips)
    {}
    DispatchPtr connect(std::string_view address, std::uint16_t port, std::string_view className) override
    {
        return std::make_shared<CountedObject>(inner_->connect(address, port, className), roundTrips_);
    }

private:
    std::shared_ptr<ServerConnector> inner_;
    long& roundTrips_;
};

} // namespace orvane::bench
