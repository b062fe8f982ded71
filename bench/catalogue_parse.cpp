// Reading the model catalogue: the time per line stays flat however many carriers it names
// (100 000 lines with as many carriers once took 20 s).
#include "catalogue/ModelCatalogue.h"

#include <benchmark/benchmark.h>

static void CatalogueWithDistinctCarriers(benchmark::State& state)
{
    QByteArray text = "header\r\n";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "C" + QByteArray::number(i) + ",M,x,,240,320,16,9000\r\n";
    for (auto _ : state) {
        ModelCatalogue catalogue;
        catalogue.parse(text, QStringLiteral("mp_dat.sys"));
        benchmark::DoNotOptimize(catalogue.modelCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(CatalogueWithDistinctCarriers)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK_MAIN();
