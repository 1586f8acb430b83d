// Typing into fields through their text handlers, per assignment: a date (set-text, check and
// the text shown back), a percentage, and a number shown with thousands grouping.
#include "framework/FieldTextFormats.h"

#include "platform/data/ClientDataSet.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

using orvane::FieldTextFormats;

class Fields {
public:
    Fields()
    {
        dataSet.addFields({orvane::FieldDef::string("TC003", 8),
                           orvane::FieldDef::of("TC041", orvane::FieldType::Float),
                           orvane::FieldDef::of("TD008", orvane::FieldType::Float)});
        dataSet.createDataSet();
        dataSet.append();
        formats.setDateSeparator("/");
        orvane::Field& date = dataSet.fieldByName("TC003");
        date.onSetText = formats.setText(&FieldTextFormats::DateFieldSetText);
        date.onGetText = formats.getText(&FieldTextFormats::DateFieldGetText);
        date.onValidate = formats.validate(&FieldTextFormats::DateFieldValidate);
        orvane::Field& rate = dataSet.fieldByName("TC041");
        rate.onSetText = formats.setText(&FieldTextFormats::PercentFieldSetText);
        rate.onGetText = formats.getText(&FieldTextFormats::PercentFieldGetText);
        orvane::Field& quantity = dataSet.fieldByName("TD008");
        quantity.setDisplayFormat(formats.NumberFieldDisplayFormat());
        quantity.setEditFormat(formats.NumberFieldEditFormat());
    }

    orvane::ClientDataSet dataSet{"cdsMain"};
    FieldTextFormats formats;
};

// Types each text in turn into the field and reads the text shown back.
template <std::size_t N>
void typeInto(benchmark::State& state, const char* fieldName, const std::array<const char*, N>& texts)
{
    Fields fields;
    orvane::Field& field = fields.dataSet.fieldByName(fieldName);
    std::size_t next = 0;
    for (auto _ : state) {
        field.setText(texts[next]);
        benchmark::DoNotOptimize(field.displayText());
        next = (next + 1) % N;
    }
    state.SetItemsProcessed(state.iterations());
}

void TypeDate(benchmark::State& state)
{
    typeInto<3>(state, "TC003", {"2024/5/6", "2024/12/31", "2025/02/28"});
}

void TypePercentage(benchmark::State& state)
{
    typeInto<3>(state, "TC041", {"5  .5 %", "17", " 13.00%"});
}

void TypeGroupedNumber(benchmark::State& state)
{
    typeInto<3>(state, "TD008", {"1234567.125", "98765.4321", "12"});
}

BENCHMARK(TypeDate);
BENCHMARK(TypePercentage);
BENCHMARK(TypeGroupedNumber);

} // namespace
