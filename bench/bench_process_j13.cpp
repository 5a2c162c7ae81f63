// Peak resident memory of a whole process that does what one user's J-13 run
// does: load the reference database from its file as the program's Load does
// (retrieve, choose the working lists, record the solid reactions), build the
// J-13 chemical system and speciate the water once.
//
// Not a Google Benchmark program: a benchmark harness of its own would add to
// the very figure measured. It links the libraries the loader and the engine
// link (vek7_core, vek7_engine, vek7_thermodb, so Qt Core, Gui, Widgets, Sql
// and SQLite are mapped as in the program), runs a QCoreApplication and never
// creates a window; the compiled-in resources are not linked (the program
// reads the installed file, not the copy compiled in).
//
// Prints "key value" lines: the resident set at start, after the load and at
// the end, the heap in use after the load and at the end, the heap the
// allocator holds after the load, the anonymous and file-backed parts of the
// resident set after the load (the file-backed part is mostly the code of the
// shared libraries), and the peak of the process as the kernel counts it
// (ru_maxrss and VmHWM, MB).
#include "records.h"
#include "sim0D.h"
// The test-side builder of reference systems, compiled into this program.
#include "../tests/engine/support_chemsys.cpp"

#include <QCoreApplication>
#include <QJsonObject>
#include <QLoggingCategory>

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <memory>
#include <string>

namespace {

/// A "VmXXX:" line of /proc/self/status in MB, or -1.
double statusMb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            long kb = -1;
            status >> kb;
            return kb / 1024.0;
        }
        std::getline(status, key);
    }
    return -1.0;
}

/// Heap in use (glibc), MB, or -1.
double heapMb()
{
#if defined(__GLIBC__)
    return double(mallinfo2().uordblks) / (1024.0 * 1024.0);
#else
    return -1.0;
#endif
}

/// Heap the allocator holds from the system (glibc: arena and mapped blocks), MB, or -1.
double heapHeldMb()
{
#if defined(__GLIBC__)
    const struct mallinfo2 m = mallinfo2();
    return double(m.arena + m.hblkhd) / (1024.0 * 1024.0);
#else
    return -1.0;
#endif
}

void report(const char *key, double value)
{
    std::printf("%-22s %.2f\n", key, value);
}

} // namespace

int main(int argc, char **argv)
{
    const double rssStart = statusMb("VmRSS:");
    QCoreApplication app(argc, argv);
    // The loader logs one line per unresolved species; keep the output readable.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const double rssApp = statusMb("VmRSS:");

    QString why;
    if (!chemsys_loadDatabase(&why)) {
        std::fprintf(stderr, "error: %s\n", qPrintable(why));
        return 1;
    }
    const QJsonObject ref = chemsys_readCase(QStringLiteral("j13w"));
    const QJsonObject inputs = ref.value("inputs").toObject();
    const QJsonObject totalsJson = inputs.value("element_totals_molal").toObject();
    if (totalsJson.isEmpty()) {
        std::fprintf(stderr, "error: the J-13 reference case cannot be read\n");
        return 1;
    }
    chemsys_request req;
    QMap<QString, double> totals;
    for (auto it = totalsJson.begin(); it != totalsJson.end(); ++it) {
        req.elements << it.key();
        totals.insert(it.key(), it.value().toDouble());
    }
    req.TC = ref.value("temperature_C").toDouble();
    req.gases = {"CO2(g)"};
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    const double rssLoaded = statusMb("VmRSS:");
    const double heapLoaded = heapMb();
    const double heapHeldLoaded = heapHeldMb();
    const double anonLoaded = statusMb("RssAnon:"), fileLoaded = statusMb("RssFile:");

    one_water *w
        = chemsys_water(sd.get(), totals, req.TC, inputs.value("pH_activity").toDouble(), 0.0);
    sim0D model;
    if (model.driver(sd.get(), w) != 0) {
        std::fprintf(stderr, "error: the J-13 speciation failed\n");
        return 1;
    }

    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    report("rss_start_MB", rssStart);
    report("rss_app_MB", rssApp);
    report("rss_loaded_MB", rssLoaded);
    report("rss_end_MB", statusMb("VmRSS:"));
    report("heap_loaded_MB", heapLoaded);
    report("heap_end_MB", heapMb());
    report("heap_held_loaded_MB", heapHeldLoaded);
    report("rss_anon_loaded_MB", anonLoaded);
    report("rss_file_loaded_MB", fileLoaded);
    report("newton_steps", model.cvgLoops());
    report("species", model.model()->nspecies);
    report("maxrss_MB", usage.ru_maxrss / 1024.0);
    report("vmhwm_MB", statusMb("VmHWM:"));
    return 0;
}
