// Loading the full reference database into a database image, choosing the
// working lists and recording the solid reactions; also reports how much
// resident memory one loaded image adds (counter rss_growth_MB) and how much
// heap the image itself holds once loaded (counter image_heap_MB).
#include "dbdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <memory>
#include <string>

namespace {

/// Resident set size of this process, kB (Linux), or -1.
long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
        std::getline(status, key);
    }
    return -1;
}

/// Bytes of heap in use (glibc), or -1.
double heapInUse()
{
#if defined(__GLIBC__)
    return double(mallinfo2().uordblks);
#else
    return -1.0;
#endif
}

/// The full database copied to a temporary folder (as the program installs it).
struct full_database
{
    QTemporaryDir dir;
    QString path;
    full_database()
    {
        path = dir.filePath("db-EQ3v1996.db");
        if (!QFile::copy(QStringLiteral(VEK7_GENERATED_DB), path))
            path.clear();
    }
};

full_database &database()
{
    static full_database db;
    return db;
}

std::unique_ptr<dbdata> loadAll(sim_data &config, bool &ok)
{
    auto db = std::make_unique<dbdata>();
    ok = db->db_retrieve_data(&config) == 0 && db->db_manage_data(&config) == 0
        && db->db_set_solid_multipleRxns() == 0;
    return db;
}

void BM_LoadFullDatabase(benchmark::State &state)
{
    if (database().path.isEmpty()) {
        state.SkipWithError("generated reference database not found");
        return;
    }
    sim_data config;
    config.dbref = database().path;
    config.ctrlset = new one_ctrlset;
    config.ctrlset->redox = true;
    config.ctrlset->orgcmpd = true;
    // Memory held by one image, measured once, on the first load of the
    // process (so it includes loading the SQL driver).
    static long before = -1, after = -1;
    static double heapBefore = 0.0, heapAfter = 0.0;
    bool ok = true;
    std::unique_ptr<dbdata> held;
    if (before < 0) {
        before = residentKb();
        heapBefore = heapInUse();
        held = loadAll(config, ok);
        after = residentKb();
        heapAfter = heapInUse();
    }
    state.counters["rss_growth_MB"] = (after - before) / 1024.0;
    if (heapBefore >= 0.0)
        state.counters["image_heap_MB"] = (heapAfter - heapBefore) / (1024.0 * 1024.0);

    for (auto _ : state) {
        auto db = loadAll(config, ok);
        benchmark::DoNotOptimize(db->sdata->rxnsAll.size());
        // Releasing the image is not part of loading it.
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    if (!ok)
        state.SkipWithError("loading failed");
}
BENCHMARK(BM_LoadFullDatabase)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The loader logs one line per unresolved species; keep the benchmark output readable.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
