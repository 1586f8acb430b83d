// The lookup window TfrmSearch on the customer list of 100,000 customers (COPMA "01"): the time
// from creating the window to its first rows shown (first packet, columns, paint; and over TCP
// once more for the form's first window, which also logs its connection in),
// and the walk to the last row (btnLast) with the rows the window holds at most and the growth
// of the process's resident memory during the walk. Beside them, the bare round trip: one
// GetF2Data of one row on a connection already open. Embedded and over loopback TCP.

#include "DemoInstallation.h"
#include "framework/SearchCF.h"
#include "framework/VozurazCD.h"
#include "platform/lookup/LookupAnswer.h"
#include "ui/DialogService.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace orvane {
namespace {

constexpr int customerCount = 100000;

class BenchOwner : public BrokersOwner, public MessageCodeService {
public:
    std::int64_t windowHandle() const override { return 0; }
    bool hasCommand(int) const override { return false; }
    int ShowMessageCode(std::string_view, std::string_view, bool, std::span<const Variant>) override { return 1; }
};

void addCustomers(const DemoInstallation& installation)
{
    auto db = sqliteFactory(installation.folder())();
    db->ensureCompany("PRTest50");
    const auto insert = db->prepare(
        "INSERT INTO \"PRTest50\".COPMA (COMPANY, FLAG, MA001, MA002, MA003) VALUES ('PRTest50', 1, ?, ?, ?)");
    db->execute("BEGIN");
    for (int i = 1; i <= customerCount; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "K%06d", i);
        const Variant row[] = {code, std::string("Shop ") + code, std::string("Trading company ") + code};
        insert->run(row);
    }
    db->execute("COMMIT");
}

// Resident memory of the process in KiB.
long residentKiB()
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Installation {
    explicit Installation(bool embedded) : demo(embedded, "lookup")
    {
        addCustomers(demo);
        brokers.setUserId("ZT");
        brokers.setCompanyId("PRTest50");
        brokers.setCompanyDb("PRTest50");
    }
    DemoInstallation demo;
    BenchOwner owner;
    TBrokers brokers{owner, owner};
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// cold: every window is the form's first and connects (over TCP: a new logged-in connection);
// otherwise the windows after the first reuse the form's lookup connection.
void firstRowsShown(benchmark::State& state, bool embedded, bool cold)
{
    Installation installation(embedded);
    const SearchRequest customers = installation.brokers.searchRequest("COPMA", "01", Variant());
    for (auto _ : state) {
        if (cold)
            installation.brokers.searchService() = Variant();
        const auto start = std::chrono::steady_clock::now();
        TfrmSearch window(installation.brokers, installation.owner);
        if (!window.Open(customers))
            state.SkipWithError("the customer list did not open");
        window.show();
        QApplication::processEvents();
        state.SetIterationTime(secondsSince(start));
    }
}

void lastRowReached(benchmark::State& state, bool embedded)
{
    Installation installation(embedded);
    const SearchRequest customers = installation.brokers.searchRequest("COPMA", "01", Variant());
    for (auto _ : state) {
        TfrmSearch window(installation.brokers, installation.owner);
        window.Open(customers);
        const long before = residentKiB();
        const auto start = std::chrono::steady_clock::now();
        window.btnLastClick();
        state.SetIterationTime(secondsSince(start));
        state.counters["rows_held"] = window.cdsMain().recordCount();
        state.counters["last_window_start"] = static_cast<double>(window.windowStart());
        state.counters["rss_growth_kib"] = static_cast<double>(residentKiB() - before);
        if (window.cdsMain().fieldByName("MA001").asString() != "K100000")
            state.SkipWithError("the last row is not the last customer");
    }
}

void bareRoundTrip(benchmark::State& state, bool embedded)
{
    Installation installation(embedded);
    const DispatchPtr service = connectServerObject("F2WindowS.Class1");
    LookupRequest request{.table = "COPMA", .kind = "01", .page = LookupPage{0, 1}};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Variant> args{request.toVariant(), Variant()};
        service->invoke("GetF2Data", args);
        state.SetIterationTime(secondsSince(start));
    }
}

BENCHMARK_CAPTURE(bareRoundTrip, embedded, true)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstRowsShown, embedded, true, false)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lastRowReached, embedded, true)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareRoundTrip, loopback, false)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstRowsShown, loopback, false, false)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstRowsShown, loopback_first_of_form, false, true)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lastRowReached, loopback, false)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    orvane::DialogService::instance().setScripted(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
