// The order data module on the real server (embedded, seeded demonstration database):
// - the head totals recomputed after a line post: the time of one post (typing, post, totals)
//   in an order of 100 and of 1,000 lines, for a new line and for an edited one; beside it, as
//   the baseline of the same run, the edited line's post followed by a walk of the framework's
//   line sums over every line;
// - SaveData of a new order with 1,000 lines (building it is not timed).
// The line checks are switched off, as a bulk fill does, so that only the totals are measured.

#include "AddingForm.h"
#include "DemoInstallation.h"
#include "salesorder/Tavi52CD.h"
#include "services/Brokers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace orvane {
namespace {


// A connected order module over the installation, its checks off.
class OpenOrderModule {
public:
    explicit OpenOrderModule(const std::string& name) : installation_(true, name)
    {
        brokers_.setProgramId("TAVI52");
        brokers_.setUserId("ZT");
        brokers_.setCompanyId("PRTest50");
        brokers_.setCompanyDb("PRTest50");
        module.setBrokers(&brokers_);
        module.setOwner(&form);
        switches_.checks = false;
        module.setFormSwitches(&switches_);
        opened = module.ConnectServer() && module.OpenData();
        module.RefreshToday();
    }

    // A new head numbered by today's date and serial.
    void newOrder(int serial)
    {
        module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
        module.cdsMain.append();
        const std::string today = module.Today();
        for (const auto& [name, value] : {std::pair<const char*, std::string>{"TC001", "2201"},
                                          {"TC002", today.substr(2) + std::to_string(10000 + serial).substr(1)},
                                          {"TC003", today},
                                          {"TC004", "C001"},
                                          {"TC039", today}})
            module.cdsMain.fieldByName(name).setAsString(value);
    }
    // One line typed and posted (its totals follow).
    void postLine(int i)
    {
        ClientDataSet& lines = module.cdsBody1;
        lines.append();
        lines.fieldByName("TD004").setAsString("A100");
        lines.fieldByName("TD010").setAsString("PCS");
        lines.fieldByName("TD008").setAsFloat(i % 7 + 1);
        SetFieldText(&lines.fieldByName("TD038"), std::to_string(i % 7 + 1) + ".5", false);
        lines.post();
    }

    TdmTavi52 module;
    AddingForm form;
    bool opened = false;

private:
    DemoInstallation installation_;
    TBrokers brokers_{form, form};
    OrderFormSwitchValues switches_;
};

// The framework's line sums over every line for the totals' eight fields.
void sumEveryLine(TdmTavi52& module)
{
    double sum = 0;
    for (const char* field : {"TD008", "TD024", "TD032", "TD034", "TD038", "TD039", "TD030", "TD031"})
        sum += module.SumLineField(field, -1);
    benchmark::DoNotOptimize(sum);
}

enum class Post : std::uint8_t { NewLine, EditedLine, EditedLineAndWalk };

// The time of one post in an order of `lines` lines (building it is not timed): a new last
// line, or the last line edited (without the new line's numbering), or the latter followed by
// the walk of the framework's line sums over every line (the baseline).
void postInAnOrderOf(benchmark::State& state, Post post)
{
    const int lines = static_cast<int>(state.range(0));
    OpenOrderModule order("totals");
    if (!order.opened) {
        state.SkipWithError("the order module did not open");
        return;
    }
    ClientDataSet& body = order.module.cdsBody1;
    int serial = 0;
    for (auto _ : state) {
        state.PauseTiming();
        order.module.cdsMain.cancel();
        order.newOrder(++serial);
        for (int i = 1; i < lines; ++i)
            order.postLine(i);
        if (post != Post::NewLine)
            order.postLine(lines);
        state.ResumeTiming();
        if (post == Post::NewLine) {
            order.postLine(lines);
            continue;
        }
        body.edit();
        body.fieldByName("TD008").setAsFloat(serial % 5 + 1);
        body.post();
        if (post == Post::EditedLineAndWalk)
            sumEveryLine(order.module);
    }
    if (order.module.cdsMain.fieldByName("TC031").asFloat() == 0)
        state.SkipWithError("the totals did not follow the lines");
}

void postOfANewLine(benchmark::State& state)
{
    postInAnOrderOf(state, Post::NewLine);
}

void postOfAnEditedLine(benchmark::State& state)
{
    postInAnOrderOf(state, Post::EditedLine);
}

void postOfAnEditedLineWithAWalkOverAllLines(benchmark::State& state)
{
    postInAnOrderOf(state, Post::EditedLineAndWalk);
}

void saveAThousandLineOrder(benchmark::State& state)
{
    OpenOrderModule order("order-save");
    if (!order.opened) {
        state.SkipWithError("the order module did not open");
        return;
    }
    std::vector<double> millis;
    int serial = 0;
    for (auto _ : state) {
        order.newOrder(++serial);
        for (int i = 1; i <= 1000; ++i)
            order.postLine(i);
        order.module.StampLines();
        const auto start = std::chrono::steady_clock::now();
        const bool saved = order.module.SaveData(order.module.cdsMain);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!saved) {
            state.SkipWithError(order.form.refusals.empty() ? "refused" : order.form.refusals.back().c_str());
            break;
        }
        state.SetIterationTime(elapsed.count());
        millis.push_back(elapsed.count() * 1000.0);
    }
    if (millis.empty())
        return;
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}

BENCHMARK(postOfANewLine)->Arg(100)->Arg(1000)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(postOfAnEditedLine)->Arg(100)->Arg(1000)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(postOfAnEditedLineWithAWalkOverAllLines)->Arg(100)->Arg(1000)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveAThousandLineOrder)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

BENCHMARK_MAIN();
