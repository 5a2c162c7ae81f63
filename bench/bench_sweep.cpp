// The sweep over random waters (J-13 element set, totals 1e-8 .. 0.5 molal, pH 2 .. 12
// or charge balance, 1 .. 300 C, every activity model) at full size: the time per
// water, and afterwards the converged share by region, the converged results that
// violate their equations, and the failures grouped by message.
//   VEK7_SWEEP_WATERS  number of waters (default 10000)
//   VEK7_SWEEP_ITMAX   Newton iteration limit instead of the default control set's
//   VEK7_SWEEP_CMIN    lowest concentration (molal) instead of the default control set's
//   VEK7_SWEEP_SEED    seed of the random waters instead of the sweep test's
//   VEK7_SWEEP_CONSTRAINED  1: the constrained twins of the waters (minerals, CO2(g),
//                      charge balances on an ion); the time then includes each plain
//                      water's run that chooses the constraints
//   VEK7_SWEEP_ONLY    comma-separated water indices: only these, each described with
//                      its outcome (for tracing a failure the report names)

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
    const bool constrained = envInt("VEK7_SWEEP_CONSTRAINED", 0) == 1;
    std::vector<int> only;
    for (const QString &index : qEnvironmentVariable("VEK7_SWEEP_ONLY").split(',', Qt::SkipEmptyParts))
        only.push_back(index.toInt());
    sweep_tally tally;
    int withoutPlainState = 0;
    for (auto _ : state) {
        tally = sweep_tally();
        withoutPlainState = 0;
        for (int k = 0; k < (only.empty() ? waters : int(only.size())); ++k) {
            const int i = only.empty() ? k : only[size_t(k)];
            sweep_water w;
            if (!constrained)
                w = runner.make(i);
            else if (!runner.makeConstrained(i, &w)) {
                ++withoutPlainState;
                continue;
            }
            const sweep_outcome o = runner.run(w);
            tally.add(w, o);
            if (!only.empty())
                reportLines << sweep_runner::describe(w)
                        + QStringLiteral(" -> %1 steps, I %2, %3")
                              .arg(o.loops)
                              .arg(o.ionicStrength, 0, 'g', 4)
                              .arg(o.converged ? o.fault : o.failure);
        }
    }
    state.counters["waters"] = tally.all.waters;
    state.counters["ms_per_water"] = benchmark::Counter(
        double(tally.all.waters),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["converged_pct"]
        = tally.all.waters ? 100.0 * tally.all.converged / tally.all.waters : 0.0;
    state.counters["faults"] = tally.faults;
    reportLines += tally.report();
    if (constrained)
        reportLines.prepend(QStringLiteral("constrained twins; plain waters without a converged "
                                           "state (no twin): %1")
                                .arg(withoutPlainState));
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
