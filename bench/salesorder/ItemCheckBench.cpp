// The item check of one order line: the item row and its companions, the default packing, the
// warehouse, the customer's price and the chain to amount and tax split, weights, reference
// prices and cartons, on the real server over the seeded demonstration database. Embedded and
// over loopback TCP, beside a bare loopback round trip to the same server in the same run.

#include "AddingForm.h"
#include "DemoInstallation.h"
#include "RoundTripCounting.h"
#include "RoundTripTiming.h"
#include "salesorder/Tavi52CD.h"
#include "services/Brokers.h"
#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ShellWindows.h"

#include <benchmark/benchmark.h>

#include <array>

namespace orvane {
namespace {

// An order of customer C001 in RMB, prices without tax, with one new line, as the window has it
// after the user pressed Add and typed the head.
class OrderBench {
public:
    OrderBench(bool embedded, bool ahead)
        : installation_(embedded, "itemcheck"),
          host_(std::make_shared<bench::CountingHost>(
              std::make_shared<HostObject>(installation_.access(), windows_, launcher_, tables_), calls_,
              bench::CountingOptions{.refuseBatches = !ahead, .components = {"Com_Validator", "Com_Counter"}}))
    {
        brokers_.setProgramId("TAVI52");
        brokers_.setUserId("ZT");
        brokers_.setCompanyId("PRTest50");
        brokers_.setCompanyDb("PRTest50");
        brokers_.setHostObject(Variant(DispatchPtr(host_)));
        module_.setBrokers(&brokers_);
        module_.setMessageService(&form_);
        module_.setOwner(&form_);
        ready_ = brokers_.AcquireComponents() && brokers_.LoadSystemParameters() && module_.ConnectServer() &&
                 module_.OpenData();
        if (!ready_)
            return;
        module_.setFNumberFields(5, "cdsBody1:TD011,TD042,TD043");
        module_.setFNumberFields(6, "cdsBody1:TD012,TD038,TD039");
        module_.setFNumberLength(5, 4);
        module_.setFNumberLength(6, 2);
        module_.OpenDataSet(module_.cdsMain, "1=2", module_.KeyFields());
        module_.cdsMain.append();
        module_.formSwitches().setChecksEnabled(false);
        for (const auto& [field, value] :
             {std::pair{"TC004", "C001"}, {"TC039", "20250301"}, {"TC008", "RMB"}, {"TC009", "1"}, {"TC016", "2"}})
            module_.cdsMain.fieldByName(field).setAsString(value);
        module_.formSwitches().setChecksEnabled(true);
        module_.cdsBody1.append();
        module_.cdsBody1.fieldByName("TD008").setText("25");
        services_ = installation_.access().createObject("OrvaneS.Services");
    }

    bool ready() const { return ready_ && form_.messages.empty(); }
    // Enters the item: the whole check runs.
    double enterItem(const char* item)
    {
        module_.cdsBody1.fieldByName("TD004").setAsString(item);
        return module_.cdsBody1.fieldByName("TD012").asFloat();
    }
    long roundTrips() const { return calls_.roundTrips; }
    // A call the server answers without its database: one round trip and nothing more.
    Variant bareRoundTrip() { return services_->call("Today"); }

private:
    DemoInstallation installation_;
    LanguageTables tables_;
    ShellWindows windows_;
    ProgramLauncher launcher_;
    bench::CallMeter calls_; // the validator's and the counter's; a batch counts one
    std::shared_ptr<bench::CountingHost> host_;
    AddingForm form_;
    TBrokers brokers_{form_, form_};
    TdmTavi52 module_;
    DispatchPtr services_;
    bool ready_ = false;
};

void itemCheck(benchmark::State& state, bool embedded, bool ahead = true)
{
    OrderBench order(embedded, ahead);
    if (!order.ready()) {
        state.SkipWithError("the order did not open");
        return;
    }
    // Two items in turn, so that every check is a change of item with its own answers.
    constexpr std::array<const char*, 2> items{"A100", "A200"};
    std::size_t next = 0;
    const long before = order.roundTrips();
    const auto check = [&] { return order.enterItem(items[next++ % items.size()]); };
    if (embedded)
        bench::timeEach(state, check);
    else // the bare trips go past the counted components
        bench::timeEachBesideBare(state, check, [&] { return order.bareRoundTrip(); });
    state.counters["round_trips"] = static_cast<double>(order.roundTrips() - before) / static_cast<double>(next);
    if (!order.ready())
        state.SkipWithError("a check refused the item");
}

void itemCheckEmbedded(benchmark::State& state)
{
    itemCheck(state, true);
}

void itemCheckOverLoopback(benchmark::State& state)
{
    itemCheck(state, false);
}

// The same check with every question sent on its own as the check meets it, for comparison.
void itemCheckOverLoopbackOneByOne(benchmark::State& state)
{
    itemCheck(state, false, false);
}

void bareRoundTripOverLoopback(benchmark::State& state)
{
    OrderBench order(false, true);
    bench::timeEach(state, [&] { return order.bareRoundTrip(); });
}

BENCHMARK(itemCheckEmbedded)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(bareRoundTripOverLoopback)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(itemCheckOverLoopback)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(itemCheckOverLoopbackOneByOne)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvane

BENCHMARK_MAIN();
