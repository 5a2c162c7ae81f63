// Reading and writing a large configuration file: 20 waters, each with a result of
// 300 species, and 300 reactions. Target: at most 20 ms for each direction.

#include "bench_large_config.h"
#include "jsdbfile_mgr.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <utility>

#include <benchmark/benchmark.h>

namespace {

using bench_config::populate;

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
