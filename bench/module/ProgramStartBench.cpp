// The time from the shell's Execute to a shown, filled order window (offscreen: the first demo
// order with its lines in the body grid), through the built module tavi52c.so over the seeded
// demonstration database: embedded and over loopback TCP, where the program's own session logs
// in with a ticket of the shell's. Each start makes a new controller, as opening the program from
// the shell's menu does; a start from a spare window times what is left when the shell prepared
// the window ahead.

#include "ShellHost.h"
#include "module/DLLBaseCtrller.h"

#include <QAbstractItemView>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

GetControllerFunction getController()
{
    static void* module = dlopen(TAVI52C_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
    return reinterpret_cast<GetControllerFunction>(dlsym(module, "GetController"));
}

// A shown window whose body grid holds lines.
bool filledOrderWindowShown()
{
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        const auto* grid = window->isVisible() ? window->findChild<QAbstractItemView*>("gdBody1") : nullptr;
        if (grid != nullptr && grid->model() != nullptr && grid->model()->rowCount() > 0)
            return true;
    }
    return false;
}

// How a start gets its window: made by Execute, or prepared ahead by Execute in the shell's idle
// time (before the clock starts) and renewed for the start.
enum class Window { Fresh, Spare };

void startToShown(benchmark::State& state, bool embedded, Window window)
{
    const ShellHostInstallation installation(embedded, "module");
    const GetControllerFunction create = getController();
    const Variant params = Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()});
    std::vector<double> millis;
    // Means of a start's phases: renewing (or Execute), the start mode and the show, the paint.
    double phaseMillis[3] = {};
    for (auto _ : state) {
        std::unique_ptr<TDLLBaseController> controller(create());
        controller->HostObject = installation.host();
        // Prepared as the shell prepares a spare: started, then rendered once while hidden.
        bool started = window == Window::Fresh || controller->Execute(params) == 0;
        if (window == Window::Spare)
            if (QWidget* hidden = QWidget::find(static_cast<WId>(controller->GetWindowHandle())))
                hidden->grab();
        QCoreApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        started = started && (window == Window::Fresh ? controller->Execute(params) : controller->RenewStart()) == 0;
        const auto renewed = std::chrono::steady_clock::now();
        started = started && controller->SetStartMode(0, 0xFF, Variant()) == 0;
        controller->SetVisible(-1);
        const auto shown = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        const auto painted = std::chrono::steady_clock::now();
        const std::chrono::duration<double> elapsed = painted - start;
        if (!started || controller->GetVisible() == 0 || !filledOrderWindowShown()) {
            state.SkipWithError("the order window did not start with an order and its lines");
            break;
        }
        state.SetIterationTime(elapsed.count());
        millis.push_back(elapsed.count() * 1000.0);
        const std::chrono::duration<double, std::milli> phases[3] = {renewed - start, shown - renewed,
                                                                     painted - shown};
        for (int i = 0; i < 3; ++i)
            phaseMillis[i] += phases[i].count();
    }
    if (millis.empty())
        return;
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["p99_ms"] = millis[millis.size() * 99 / 100];
    const char* phaseNames[3] = {"start_ms", "show_ms", "paint_ms"};
    for (int i = 0; i < 3; ++i)
        state.counters[phaseNames[i]] = phaseMillis[i] / static_cast<double>(millis.size());
}

void executeToShownEmbedded(benchmark::State& state)
{
    startToShown(state, true, Window::Fresh);
}

void executeToShownOverLoopback(benchmark::State& state)
{
    startToShown(state, false, Window::Fresh);
}

void spareToShownOverLoopback(benchmark::State& state)
{
    startToShown(state, false, Window::Spare);
}

BENCHMARK(executeToShownEmbedded)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(executeToShownOverLoopback)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(spareToShownOverLoopback)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    return orvane::runWindowBenchmarks(argc, argv);
}
