#pragma once
// The shell's host object as a program reaches it, forwarded to the real one: it records the
// members asked of it, and the validator and the counter it hands out are counted by the
// benchmarks' round-trip counting (RoundTripCounting.h), together and each on its own.

#include "RoundTripCounting.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

class CountingHost : public Dispatch {
public:
    explicit CountingHost(DispatchPtr host)
        : host_(std::make_shared<bench::CountingHost>(
              std::move(host), total_, bench::CountingOptions{.components = {"Com_Validator", "Com_Counter"}}))
    {}
    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        asked.emplace_back(name);
        Variant answer = host_->invoke(name, args);
        if (name != "Com_Validator" && name != "Com_Counter")
            return answer;
        bench::CallMeter& meter = meters_.emplace_back();
        counted[std::string(name)] = &meter;
        return bench::CountedObject::wrap(std::move(answer), meter, false);
    }
    Variant get(std::string_view name) override { return host_->get(name); }
    void put(std::string_view name, const Variant& value) override { host_->put(name, value); }
    std::string className() const override { return host_->className(); }

    // The round trips of the validator and the counter so far; set to 0 to count afresh.
    long& roundTrips() { return total_.roundTrips; }

    std::vector<std::string> asked;
    std::map<std::string, bench::CallMeter*> counted; // of the last one handed out, by name

private:
    // The meters outlive the objects counted into them as long as the host does; a deque keeps
    // them in place as more are handed out.
    bench::CallMeter total_;
    std::deque<bench::CallMeter> meters_;
    std::shared_ptr<bench::CountingHost> host_;
};

} // namespace orvane::test
