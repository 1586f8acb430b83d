// SaveData of a new order head with 1,000 lines: the FLAG walk over the lines, the delta, the
// apply on the real order server over the seeded demonstration database, and the merge.
// Embedded and over loopback TCP. Building the order is not timed.

#include "AddingForm.h"
#include "DemoInstallation.h"
#include "framework/SingleCD.h"
#include "platform/data/MemoryProvider.h"
#include "services/Brokers.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

constexpr int lineCount = 1000;

class OrderModule : public TdmSingle {
public:
    OrderModule() { registerDataSet(cdsBody1); }
    ~OrderModule() override { cdsBody1.close(); }
    ClientDataSet cdsBody1{"cdsBody1"};
};

// Appends a new head numbered `number` with lineCount lines, as the form's add command would.
void buildOrder(OrderModule& module, const std::string& number)
{
    module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
    module.cdsMain.append();
    for (const auto& [name, value] : {std::pair{"TC001", "2201"},
                                      {"TC002", number.c_str()},
                                      {"TC003", "20250301"},
                                      {"TC004", "C001"},
                                      {"TC039", "20250301"}})
        module.cdsMain.fieldByName(name).setAsString(value);
    ClientDataSet& lines = module.cdsBody1;
    for (int i = 1; i <= lineCount; ++i) {
        lines.append();
        lines.fieldByName("TD001").setAsString("2201");
        lines.fieldByName("TD002").setAsString(number);
        lines.fieldByName("TD003").setAsString(std::to_string(10000 + i).substr(1));
        lines.fieldByName("TD004").setAsString("A100");
        lines.fieldByName("TD008").setAsFloat(i % 7 + 1);
        lines.fieldByName("FLAG").setAsFloat(-1);
        lines.post();
    }
}

void saveOrder(benchmark::State& state, bool embedded)
{
    const DemoInstallation installation(embedded, "datamodule");
    AddingForm form;
    TBrokers brokers(form, form);
    brokers.setProgramId("TAVI52");
    brokers.setUserId("ZT");
    brokers.setCompanyId("PRTest50");
    brokers.setCompanyDb("PRTest50");
    OrderModule module;
    module.setBrokers(&brokers);
    module.setOwner(&form);
    if (!module.ConnectServer() || !module.OpenData()) {
        state.SkipWithError("the order module did not open");
        return;
    }
    module.cdsMain.close();
    module.cdsBody1.setDataSetField(module.cdsMain.fieldByName("qryBody"));
    module.OpenAllDataSets();
    module.RefreshToday();

    std::vector<double> millis;
    int serial = 0;
    for (auto _ : state) {
        buildOrder(module, "250301" + std::to_string(10000 + ++serial).substr(1)); // the type's form: 4 digits
        const auto start = std::chrono::steady_clock::now();
        const bool saved = module.SaveData(module.cdsMain);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!saved) {
            state.SkipWithError(form.refusals.empty() ? "refused" : form.refusals.back().c_str());
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

void saveDataOfAThousandLinesEmbedded(benchmark::State& state)
{
    saveOrder(state, true);
}

void saveDataOfAThousandLinesOverLoopback(benchmark::State& state)
{
    saveOrder(state, false);
}

// Typing a number into a field of a number group (2 decimals): the group's set-text handler
// rounds it on assignment, as every quantity and amount of an order is typed.
void typeIntoANumberGroupField(benchmark::State& state)
{
    AddingForm form;
    TBrokers brokers(form, form);
    TdmSingle module;
    module.setBrokers(&brokers);
    module.setOwner(&form);
    auto provider = std::make_shared<MemoryProvider>(
        std::vector<FieldDef>{FieldDef::string("TC001", 4), FieldDef::of("TC029", FieldType::Float)});
    provider->addRow({{"2201", 0.0}, {}});
    module.cdsMain.setProvider(provider);
    module.cdsMain.open();
    module.setFNumberLength(2, 2);
    module.setFNumberFields(2, "cdsMain:TC029");
    module.cdsMain.edit();
    Field& amount = module.cdsMain.fieldByName("TC029");
    const char* texts[] = {"1234567.125", "98765.4321", "12"};
    std::size_t next = 0;
    for (auto _ : state) {
        amount.setText(texts[next]);
        next = (next + 1) % std::size(texts);
    }
    if (amount.asFloat() != 1234567.13 && amount.asFloat() != 98765.43 && amount.asFloat() != 12)
        state.SkipWithError("the group did not round the typed number");
}

BENCHMARK(typeIntoANumberGroupField);
BENCHMARK(saveDataOfAThousandLinesEmbedded)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(saveDataOfAThousandLinesOverLoopback)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

BENCHMARK_MAIN();
