// One speciation of the J-13 well water (the largest reference system) and of sea
// water, with the reduced Newton step and with the dense full solve; and the first
// run of a chemical system, which prepares it (later runs of the same system reuse
// that).

#include "records.h"
#include "sim0D.h"
#include "sim_system_cache.h"
// The test-side builder of reference systems, compiled into this program.
#include "../tests/engine/support_chemsys.cpp"

#include <benchmark/benchmark.h>

#include <QJsonObject>

#include <cmath>
#include <memory>

namespace {

struct reference_system
{
    std::unique_ptr<sim_data> sd;
    one_water *w = nullptr;
};

reference_system build(const QString &name)
{
    reference_system sys;
    QString msg;
    if (!chemsys_loadDatabase(&msg))
        return sys;
    const QJsonObject ref = chemsys_readCase(name);
    const QJsonObject inputs = ref.value("inputs").toObject();
    const QJsonObject totalsJson = inputs.value("element_totals_molal").toObject();
    chemsys_request req;
    QMap<QString, double> totals;
    for (auto it = totalsJson.begin(); it != totalsJson.end(); ++it) {
        req.elements << it.key();
        totals.insert(it.key(), it.value().toDouble());
    }
    req.TC = ref.value("temperature_C").toDouble();
    req.gases = {"CO2(g)"};
    sys.sd.reset(chemsys_build(req));
    sys.w
        = chemsys_water(sys.sd.get(), totals, req.TC, inputs.value("pH_activity").toDouble(), 0.0);
    return sys;
}

void speciate(benchmark::State &state, const QString &name, sim0D::step_solver solver,
              bool firstRun = false)
{
    reference_system sys = build(name);
    if (!sys.sd) {
        state.SkipWithError("reference database not readable");
        return;
    }
    int loops = 0, species = 0;
    for (auto _ : state) {
        if (firstRun)
            sim_system_cache::clear();
        sim0D model;
        model.setStepSolver(solver);
        if (model.driver(sys.sd.get(), sys.w) != 0) {
            state.SkipWithError("speciation failed");
            return;
        }
        loops = model.cvgLoops();
        species = model.model()->nspecies;
        benchmark::DoNotOptimize(model.state()->molal.data());
    }
    state.counters["newton_steps"] = loops;
    state.counters["species"] = species;
}

} // namespace

static void BM_J13_reduced(benchmark::State &s)
{
    speciate(s, "j13w", sim0D::step_solver::reduced);
}
static void BM_J13_full(benchmark::State &s)
{
    speciate(s, "j13w", sim0D::step_solver::full);
}
static void BM_seawater_reduced(benchmark::State &s)
{
    speciate(s, "swmaj", sim0D::step_solver::reduced);
}
static void BM_seawater_full(benchmark::State &s)
{
    speciate(s, "swmaj", sim0D::step_solver::full);
}

static void BM_J13_first_run(benchmark::State &s)
{
    speciate(s, "j13w", sim0D::step_solver::reduced, true);
}
static void BM_seawater_first_run(benchmark::State &s)
{
    speciate(s, "swmaj", sim0D::step_solver::reduced, true);
}

BENCHMARK(BM_J13_reduced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_seawater_reduced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_J13_full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_seawater_full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_J13_first_run)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_seawater_first_run)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
