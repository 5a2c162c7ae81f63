// Reading and writing a large configuration file: 20 waters, each with a result of
// 300 species, and 300 reactions. Target: at most 20 ms for each direction.

#include "jsdbfile_mgr.h"
#include "sbatch.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cmath>

#include <benchmark/benchmark.h>

namespace {

constexpr int nWaters = 20;
constexpr int nSpecies = 300;
constexpr int nRxns = 300;

one_comp_elements *composition(int i)
{
    auto *c = new one_comp_elements;
    c->element = {QStringLiteral("E%1").arg(i % 30), QStringLiteral("O"), QStringLiteral("H")};
    c->stoich = {1, 3, 1};
    c->element_id = {i % 30, 1, 2};
    c->ncomp = 3;
    return c;
}

void populate(sbatch &b, const QString &file)
{
    sim_data *sd = b.sdata;
    b.simData_init(sd);
    sd->file = file;
    for (int i = 0; i < 30; ++i) {
        auto *el = sd->own(new one_element);
        el->name = QStringLiteral("E%1").arg(i);
        el->mol_wt = 10.0 + i * 1.37;
        el->basis_name = QStringLiteral("E%1+").arg(i);
        sd->elements << el;
    }
    for (int i = 0; i < nSpecies; ++i) {
        auto *s = sd->own(new one_solute);
        s->name = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        s->charge = i % 5 - 2;
        s->mol_wt = 50.0 + i * 0.731;
        s->DHazero = 4.0;
        s->type = global::aqueous;
        s->composition = composition(i);
        sd->solutes << s;
    }
    for (int i = 0; i < nRxns; ++i) {
        auto *r = sd->own(new one_rxn);
        r->name = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        r->type = global::aqueous;
        r->composition = new one_comp_solutes;
        r->composition->solute = {r->name, QStringLiteral("S001"), QStringLiteral("S002")};
        r->composition->stoich = {-1, 1, 2};
        r->composition->solute_id = {i, 1, 2};
        r->composition->ncomp = 3;
        r->eqk = new one_rxn_eqk;
        for (int k = 0; k < 8; ++k) {
            r->eqk->order_idx << k;
            r->eqk->coeff << (k % 2 ? -1.0 : 1.0) * 12.345678901234567 / std::pow(100.0, k);
            r->eqk->quotient << k;
            r->eqk->eqkLog10 << -3.5 + 0.1 * k;
            r->eqk->temperature << 25.0 * k;
        }
        r->eqk->nterms = 8;
        sd->rxnsAqueous << r;
    }
    sd->nrxnsAqueous = nRxns;

    sd->waters.clear();
    for (int w = 0; w < nWaters; ++w) {
        one_water *water = sd->own(b.simData_init_water());
        water->name = QStringLiteral("water %1").arg(w);
        for (int i = 0; i < 30; ++i) {
            auto *c = new one_elementComp;
            c->element = QStringLiteral("E%1").arg(i);
            c->solute = c->element;
            c->molal = 1e-3 * (i + 1);
            water->composition << c;
        }
        auto *res = new one_water_result;
        res->TC = 25;
        res->converged = true;
        for (int i = 0; i < nSpecies; ++i) {
            auto *s = new one_waterResult_solute;
            s->solute = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
            s->cmolal = 1.2345678e-6 * (i + 1);
            s->cMolar = 1.2e-6 * (i + 1);
            s->gamma = 0.876543;
            res->soln_aq << s;
        }
        water->results = res;
        sd->waters << water;
    }
    sd->nwaters = nWaters;
}

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// Saving is made durable (written beside the file, flushed to disk, renamed), so
// the time on disk includes the flush; in memory (/dev/shm) it is the work alone.
void BM_jsdb_write(benchmark::State &state, bool inMemory)
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/vek7-bench-XXXXXX"));
    const QString folder = inMemory && shm.isValid() ? shm.path() : scratch().path();
    if (inMemory && !shm.isValid())
        state.SkipWithError("no /dev/shm");
    sbatch b;
    populate(b, folder + QStringLiteral("/write.jsdb"));
    jsdbfile_mgr m;
    for (auto _ : state) {
        if (m.jsdbfile_json_save(&b) != 0)
            state.SkipWithError("save failed");
    }
}
BENCHMARK_CAPTURE(BM_jsdb_write, disk, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_jsdb_write, memory, true)->Unit(benchmark::kMillisecond);

void BM_jsdb_read(benchmark::State &state)
{
    const QString path = scratch().filePath(QStringLiteral("read.jsdb"));
    {
        sbatch b;
        populate(b, path);
        jsdbfile_mgr().jsdbfile_json_save(&b);
    }
    sbatch b;
    for (auto _ : state) {
        jsdbfile_mgr m;
        b.simData_init(m.sdata);
        if (m.jsdbfile_json_read(path) != 0)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(m.sdata->nwaters);
        state.PauseTiming(); // releasing the records is not part of reading
        {
            jsdbfile_mgr drop;
            std::swap(drop.sdata, m.sdata);
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_jsdb_read)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Keep the benchmark away from the user's settings store.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
