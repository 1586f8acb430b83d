#pragma once
// The shell's host object as a program reaches it, forwarded to the real one: it records the
// members asked of it, and the validator and the counter it hands out count what reaches them,
// single calls and batches alike, each a round trip to the server.

#include "platform/variant/Dispatch.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

class CountingComponent : public Dispatch {
public:
    CountingComponent(DispatchPtr inner, std::shared_ptr<int> trips) : inner_(std::move(inner)), trips_(std::move(trips))
    {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        ++calls;
        ++*trips_;
        return inner_->invoke(name, args);
    }
    void invokeAll(std::span<Invocation> batch) override
    {
        batches.push_back(batch.size());
        ++*trips_;
        inner_->invokeAll(batch);
    }
    Variant get(std::string_view name) override { return inner_->get(name); }
    void put(std::string_view name, const Variant& value) override { inner_->put(name, value); }
    std::string className() const override { return inner_->className(); }

    int calls = 0;
    std::vector<std::size_t> batches; // the size of each batch

private:
    DispatchPtr inner_;
    std::shared_ptr<int> trips_;
};

class CountingHost : public Dispatch {
public:
    explicit CountingHost(DispatchPtr host) : host_(std::move(host)) {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        asked.emplace_back(name);
        const Variant answer = host_->invoke(name, args);
        if (name != "Com_Validator" && name != "Com_Counter")
            return answer;
        auto counting = std::make_shared<CountingComponent>(answer.dispatch(), trips_);
        counted[std::string(name)] = counting;
        return Variant(DispatchPtr(counting));
    }
    Variant get(std::string_view name) override { return host_->get(name); }
    void put(std::string_view name, const Variant& value) override { host_->put(name, value); }
    std::string className() const override { return host_->className(); }

    // The round trips of the validator and the counter so far; set to 0 to count afresh.
    int& roundTrips() { return *trips_; }

    std::vector<std::string> asked;
    std::map<std::string, std::shared_ptr<CountingComponent>> counted; // the last one handed out, by name

private:
    DispatchPtr host_;
    std::shared_ptr<int> trips_ = std::make_shared<int>(0);
};

} // namespace orvane::test
