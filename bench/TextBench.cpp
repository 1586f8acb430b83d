// Speed of the text primitives the field layer calls on every assignment and display.
#include "platform/text/CodePage.h"
#include "platform/text/FormatFloat.h"
#include "platform/text/Rounding.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using namespace orvane::text;

const std::array<double, 8> amounts{2.675, -1234.5678, 0.125, 1234567.891, 27.0 / 1.17 * 0.17, 0.0, 99.995, 1e-7};

void roundToTwoDecimals(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(roundTo(amounts[i++ % amounts.size()], 2));
}
BENCHMARK(roundToTwoDecimals);

void fixedTextTwoDecimals(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixedText(amounts[i++ % amounts.size()], 2));
}
BENCHMARK(fixedTextTwoDecimals);

void formatFloatDisplayFormat(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatFloat("#,##0.#######", amounts[i++ % amounts.size()]));
}
BENCHMARK(formatFloatDisplayFormat);

void formatFloatTwoDecimals(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatFloat("#,##0.00", amounts[i++ % amounts.size()]));
}
BENCHMARK(formatFloatTwoDecimals);

// 40 bytes of code page 936: 16 Chinese characters and 8 ASCII characters.
const std::string fortyBytesGbk = fromUtf8("客户订单录入作业TAVI52-1客户订单录入作业", CodePage::Gbk);

void gbkToUtf8FortyBytes(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(toUtf8(fortyBytesGbk, CodePage::Gbk));
}
BENCHMARK(gbkToUtf8FortyBytes);

void utf8ToGbkFortyBytes(benchmark::State& state)
{
    const std::string utf8 = toUtf8(fortyBytesGbk, CodePage::Gbk);
    for (auto _ : state)
        benchmark::DoNotOptimize(fromUtf8(utf8, CodePage::Gbk));
}
BENCHMARK(utf8ToGbkFortyBytes);

} // namespace
