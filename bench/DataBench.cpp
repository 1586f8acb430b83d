// Speed of the dataset layer at two sizes each (the second ten times the first), to show
// that costs grow linearly. Figures are recorded in docs/datasets.md.

#include "platform/data/ClientDataSet.h"
#include "platform/data/MemoryProvider.h"

#include <benchmark/benchmark.h>

#include <string>

namespace orvane {
namespace {

std::vector<FieldDef> wideFields()
{
    std::vector<FieldDef> fields;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "F" + std::to_string(i);
        if (i < 20) {
            fields.push_back(FieldDef::string(name, 20));
        } else if (i < 35) {
            fields.push_back(FieldDef::of(name, FieldType::Float));
        } else {
            fields.push_back(FieldDef::of(name, FieldType::Integer));
        }
    }
    return fields;
}

void appendAndPost(benchmark::State& state)
{
    const auto count = state.range(0);
    for (auto _ : state) {
        ClientDataSet dataSet("cdsWide");
        dataSet.addFields(wideFields());
        dataSet.createDataSet();
        for (std::int64_t r = 0; r < count; ++r) {
            dataSet.append();
            for (int f = 0; f < 20; ++f) {
                dataSet.field(f).setAsString("value of the field");
            }
            for (int f = 20; f < 35; ++f) {
                dataSet.field(f).setAsFloat(static_cast<double>(r) * 0.5);
            }
            for (int f = 35; f < 40; ++f) {
                dataSet.field(f).setAsInteger(r);
            }
            dataSet.post();
        }
        benchmark::DoNotOptimize(dataSet.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(appendAndPost)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void setTextThroughHandlers(benchmark::State& state)
{
    const auto count = state.range(0);
    ClientDataSet dataSet("cdsBody1");
    dataSet.addFields({FieldDef::of("TD026", FieldType::Float)});
    dataSet.createDataSet();
    Field& field = dataSet.fieldByName("TD026");
    field.onSetText = [](Field& f, std::string_view text) { f.setAsFloat(std::stod(std::string(text)) / 100); };
    field.onValidate = [](Field& f) {
        if (f.asFloat() < 0) {
            throw std::runtime_error("negative rate");
        }
    };
    dataSet.append();
    for (auto _ : state) {
        for (std::int64_t i = 0; i < count; ++i) {
            field.setText("17.5");
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(setTextThroughHandlers)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

struct Order {
    ClientDataSet main{"cdsMain"};
    ClientDataSet body{"cdsBody1"};
    ClientDataSet foot{"cdsFoot"};

    Order()
    {
        main.addFields({FieldDef::string("TC001", 4), FieldDef::string("TC002", 11),
                        FieldDef::of("FLAG", FieldType::Float), FieldDef::dataSet("qryBody")});
        body.addFields({FieldDef::string("TD001", 4), FieldDef::string("TD002", 11), FieldDef::string("TD003", 4),
                        FieldDef::string("TD004", 20), FieldDef::of("TD008", FieldType::Float),
                        FieldDef::of("TD011", FieldType::Float), FieldDef::of("FLAG", FieldType::Float),
                        FieldDef::dataSet("qryFoot")});
        foot.addFields({FieldDef::string("TM003", 4), FieldDef::string("TM004", 20), FieldDef::string("TM006", 20),
                        FieldDef::of("TM007", FieldType::Float), FieldDef::of("FLAG", FieldType::Float)});
        body.setDataSetField(main.fieldByName("qryBody"));
        foot.setDataSetField(body.fieldByName("qryFoot"));
    }

    void build(std::int64_t lines)
    {
        main.createDataSet();
        body.open();
        foot.open();
        main.append();
        main.fieldByName("TC001").setAsString("2201");
        main.fieldByName("TC002").setAsString("20240001");
        for (std::int64_t l = 0; l < lines; ++l) {
            body.append();
            body.fieldByName("TD001").setAsString("2201");
            body.fieldByName("TD002").setAsString("20240001");
            body.fieldByName("TD003").setAsString(std::to_string(l));
            body.fieldByName("TD004").setAsString("ITEM-0001");
            body.fieldByName("TD008").setAsFloat(3);
            body.fieldByName("TD011").setAsFloat(12.5);
            body.fieldByName("FLAG").setAsFloat(-1);
            body.post();
            for (int s = 0; s < 5; ++s) {
                foot.append();
                foot.fieldByName("TM003").setAsString(std::to_string(l));
                foot.fieldByName("TM004").setAsString("ITEM-0001");
                foot.fieldByName("TM006").setAsString("PART-" + std::to_string(s));
                foot.fieldByName("TM007").setAsFloat(1);
                foot.post();
            }
        }
        main.post();
    }
};

void headWithLines(benchmark::State& state)
{
    const auto lines = state.range(0);
    for (auto _ : state) {
        Order order;
        order.build(lines);
        double total = 0;
        for (order.body.first(); !order.body.eof(); order.body.next()) {
            total += order.body.fieldByName("TD008").asFloat() + order.foot.recordCount();
        }
        const Delta delta = order.main.delta();
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(delta.changeCount());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(headWithLines)->Arg(200)->Arg(2'000)->Unit(benchmark::kMillisecond);

void applyChangedLines(benchmark::State& state)
{
    const auto lines = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        Order order;
        order.build(lines);
        auto provider = std::make_shared<MemoryProvider>(order.main.delta().fields);
        provider->setKeyFields("", {"TC001", "TC002"});
        provider->setKeyFields("qryBody", {"TD001", "TD002", "TD003"});
        provider->setKeyFields("qryBody.qryFoot", {"TM003", "TM004", "TM006"});
        order.main.setProvider(provider);
        order.main.applyUpdates(0);
        for (order.body.first(); !order.body.eof(); order.body.next()) {
            order.body.edit();
            order.body.fieldByName("TD008").setAsFloat(4);
            order.body.post();
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(order.main.applyUpdates(0));
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(applyChangedLines)->Arg(200)->Arg(2'000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane
