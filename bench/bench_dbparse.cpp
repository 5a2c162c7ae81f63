// Speed of turning the full EQ3/6 data0 file into the reference database.
// Target: parse, fit and write in at most 0.4 s.
#include "data0_reader.h"
#include "dbparse_writer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString data0File = QStringLiteral(VEK7_DATA0_FILE);

// Reading alone: the text of the file to records, names checked.
void BM_read_data0(benchmark::State &state)
{
    for (auto _ : state) {
        data0_file data;
        QStringList messages;
        if (data0_reader().read_file(data0File, &data, &messages) != 0) {
            state.SkipWithError("the data0 file was refused");
            break;
        }
        benchmark::DoNotOptimize(data.species.size());
    }
}
BENCHMARK(BM_read_data0)->Unit(benchmark::kMillisecond);

// The whole conversion: read, fit every log K and the Debye-Huckel parameters, write
// the SQLite file (flushed to disk) and rename it over the target.
void BM_parse_fit_write(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bench.db"));
    for (auto _ : state) {
        dbparse_counts counts;
        QStringList messages;
        if (dbparse_convert(data0File, target, &counts, &messages) != 0) {
            state.SkipWithError("conversion failed");
            break;
        }
        benchmark::DoNotOptimize(counts.eqk);
    }
}
BENCHMARK(BM_parse_fit_write)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the SQL driver is a plugin found through the application
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
