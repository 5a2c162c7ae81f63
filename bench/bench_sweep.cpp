// The sweep over random waters (J-13 element set, totals 1e-8 .. 0.5 molal, pH 2 .. 12
// or charge balance, 1 .. 300 C, every activity model) at full size: the time per
// water, and afterwards the converged share by region, the converged results that
// violate their equations, and the failures grouped by message.
//   VEK7_SWEEP_WATERS  number of waters (default 10000)
//   VEK7_SWEEP_ITMAX   Newton iteration limit instead of the default control set's
//   VEK7_SWEEP_CMIN    lowest concentration (molal) instead of the default control set's
//   VEK7_SWEEP_SEED    seed of the random waters instead of the sweep test's

#include "../tests/engine/support_chemsys.cpp"
#include "../tests/engine/sweep_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const std::uint64_t testSeed = 20260101; // the seed of the sweep test
std::uint64_t sweepSeed = testSeed;

QStringList reportLines;

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

void BM_sweep(benchmark::State &state)
{
    const int waters = envInt("VEK7_SWEEP_WATERS", 10000);
    sweep_runner runner(sweepSeed);
    runner.iterationLimit = envInt("VEK7_SWEEP_ITMAX", 0);
    runner.concentrationFloor = qEnvironmentVariable("VEK7_SWEEP_CMIN").toDouble();
    QString msg;
    if (!runner.init(&msg)) {
        state.SkipWithError(qPrintable(msg));
        return;
    }
    for (int stretch : {1, 30, 80, 120, 170, 220, 270}) // build the systems outside the timing
        runner.run(runner.make(stretch));
    sweep_tally tally;
    for (auto _ : state) {
        tally = sweep_tally();
        for (int i = 0; i < waters; ++i) {
            const sweep_water w = runner.make(i);
            tally.add(w, runner.run(w));
        }
    }
    state.counters["waters"] = tally.all.waters;
    state.counters["ms_per_water"] = benchmark::Counter(
        double(tally.all.waters),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["converged_pct"]
        = tally.all.waters ? 100.0 * tally.all.converged / tally.all.waters : 0.0;
    state.counters["faults"] = tally.faults;
    reportLines = tally.report();
}

} // namespace

BENCHMARK(BM_sweep)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    bool ok = false;
    const qulonglong seed = qEnvironmentVariable("VEK7_SWEEP_SEED").toULongLong(&ok);
    if (ok)
        sweepSeed = seed;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nSweep of random waters (seed %llu)\n", (unsigned long long)sweepSeed);
    for (const QString &line : reportLines)
        std::printf("%s\n", qPrintable(line));
    return 0;
}
