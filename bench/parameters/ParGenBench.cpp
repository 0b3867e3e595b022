// Reading and writing a full ParGen.xml must stay far below a millisecond: the window reads it
// on every show and the image builder on every build.
#include "parameters/ParGen.h"
#include "parameters/ParGenCheck.h"

#include <benchmark/benchmark.h>

using namespace parameters;

namespace {

// Device type 1 with the second Ethernet port: the largest key set with M-Bus and BACnet.
constexpr int32_t kType = 1;

ParGen fullModel()
{
    ParGen p;
    p.BACnet_Type = 2;
    return p;
}

void BM_WriteParGen(benchmark::State& state)
{
    const ParGen p = fullModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(parGenBytes(p, kType));
}
BENCHMARK(BM_WriteParGen);

void BM_ReadParGen(benchmark::State& state)
{
    const QByteArray bytes = parGenBytes(fullModel(), kType);
    for (auto _ : state) {
        ParGenFile f;
        f.loadBytes(bytes);
        benchmark::DoNotOptimize(readParGen(f, kType));
    }
}
BENCHMARK(BM_ReadParGen);

void BM_CheckParGen(benchmark::State& state)
{
    const ParGen p = fullModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(Controllo_Dati(p, kType));
}
BENCHMARK(BM_CheckParGen);

} // namespace
