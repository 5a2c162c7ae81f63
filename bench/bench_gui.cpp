// The windows' speed as a user meets it, on the offscreen platform with a laptop's
// screen: each step is pressed as the user presses it and ends when the window it
// leads to is laid out and painted. Targets: Load Database on the full reference
// database to the setup page shown, at most 150 ms; a configuration of 20 waters
// of 300 species opened to the setup page, at most 200 ms; Run of the J-13 water
// with its result shown, at most 10 ms; the result viewer filled for J-13 with
// every mineral reaction, at most 50 ms.

#include "bench_large_config.h"
#include "demo_session.h"

#include "jsdbfile_mgr.h"
#include "setup.h"
#include "viewResult_spcn.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

/// The program on the road of a study: J-13 and seawater entered, run and saved.
struct road
{
    QString home; ///< scratch folder of settings, application folder and files
    QString study; ///< the saved J-13 and seawater configuration
    QString large; ///< the configuration of 20 waters of 300 species
    std::unique_ptr<demo_session> s;
    QStringList boxes; ///< texts of message boxes that opened (none is expected)
    QTimer boxWatch;
    QString error; ///< why the road could not be built
};

road *g_road = nullptr;

/// Paints what the last step changed, as the event loop does before the user sees it.
void settle()
{
    QApplication::processEvents();
}

bool buildRoad(road &r)
{
    // A message box would wait for an answer: it is answered and noted instead.
    QObject::connect(&r.boxWatch, &QTimer::timeout, [&r] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            r.boxes << box->text();
            box->reject();
        }
    });
    r.boxWatch.start(5);
    demo_session::prepare(r.home);
    demo_session::install_database(QStringLiteral(VEK7_GENERATED_DB));
    r.study = QDir(r.home).filePath(QStringLiteral("J-13 and seawater.jsdb"));
    r.large = QDir(r.home).filePath(QStringLiteral("large.jsdb"));
    {
        sbatch b;
        bench_config::populate(b, r.large);
        if (jsdbfile_mgr().jsdbfile_json_save(&b) != 0)
            return r.error = QStringLiteral("the large configuration was not written"), false;
    }
    if (!demo_session::write_configuration(
            r.study, {QStringLiteral("J-13"), QStringLiteral("seawater")}, &r.error))
        return false;
    r.s = std::make_unique<demo_session>();
    demo_session &s = *r.s;
    QStringList elements;
    for (const auto &a : demo_j13().amounts)
        elements << a.first;
    const bool ok = s.start() && s.speciation() && s.open_recent(r.study) && s.load()
        && s.add_species(elements, {QStringLiteral("CO2(g)")}) && s.enter_water(demo_seawater())
        && s.run() == QLatin1String("     DONE") && s.enter_water(demo_j13())
        && s.run() == QLatin1String("     DONE");
    if (!ok)
        return r.error = s.error.isEmpty() ? QStringLiteral("a run failed") : s.error, false;
    demo_session::button(s.workspace(), QStringLiteral("pushButton_Save"))->click();
    if (s.workspace()->unsaved_changes())
        return r.error = QStringLiteral("the study was not saved"), false;
    return true;
}

/// The workspace left for the configuration-file page, with the study's workspace
/// ready for the next Load; false (the benchmark skipped) when a step failed.
bool leaveWorkspace(benchmark::State &state)
{
    demo_session &s = *g_road->s;
    if (s.page() == s.workspace()) {
        if (s.workspace()->unsaved_changes()) {
            state.SkipWithError("the workspace holds unsaved changes");
            return false;
        }
        s.close_workspace();
    }
    if (!g_road->boxes.isEmpty()) {
        state.SkipWithError(qPrintable(g_road->boxes.join(" / ")));
        return false;
    }
    return true;
}

/// The study open in the workspace with the J-13 water current.
bool j13InWorkspace(benchmark::State &state)
{
    demo_session &s = *g_road->s;
    if (s.page() != s.workspace()) {
        if (!s.open_recent(g_road->study) || !s.load()) {
            state.SkipWithError(qPrintable(s.error));
            return false;
        }
    }
    if (!s.choose_water(QStringLiteral("J-13"))) {
        state.SkipWithError(qPrintable(s.error));
        return false;
    }
    settle();
    return true;
}

void BM_gui_load_database(benchmark::State &state)
{
    demo_session &s = *g_road->s;
    for (auto _ : state) {
        state.PauseTiming();
        if (!leaveWorkspace(state))
            break;
        if (!s.open_recent(g_road->study)) {
            state.SkipWithError(qPrintable(s.error));
            break;
        }
        settle();
        state.ResumeTiming();
        if (!s.load(true)) {
            state.SkipWithError(qPrintable(s.error));
            break;
        }
        settle();
    }
}
BENCHMARK(BM_gui_load_database)->Unit(benchmark::kMillisecond);

void BM_gui_open_large(benchmark::State &state)
{
    demo_session &s = *g_road->s;
    for (auto _ : state) {
        state.PauseTiming();
        if (!leaveWorkspace(state))
            break;
        settle();
        state.ResumeTiming();
        if (!s.open_recent(g_road->large) || !s.load(false)) {
            state.SkipWithError(qPrintable(s.error));
            break;
        }
        settle();
    }
    state.counters["waters"] = bench_config::nWaters;
    state.counters["species"] = bench_config::nSpecies;
}
BENCHMARK(BM_gui_open_large)->Unit(benchmark::kMillisecond);

// Painted: the result in the workspace's tables as the user sees it; unpainted:
// the run and the tables filled, before the window is painted.
void BM_gui_run_j13(benchmark::State &state, bool painted)
{
    if (!leaveWorkspace(state) || !j13InWorkspace(state))
        return;
    demo_session &s = *g_road->s;
    for (auto _ : state) {
        if (s.run() != QLatin1String("     DONE")) {
            state.SkipWithError("the J-13 run did not end DONE");
            break;
        }
        if (painted)
            settle();
    }
    settle();
}
BENCHMARK_CAPTURE(BM_gui_run_j13, painted, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_gui_run_j13, unpainted, false)->Unit(benchmark::kMillisecond);

void BM_gui_result_viewer_j13(benchmark::State &state)
{
    if (!leaveWorkspace(state) || !j13InWorkspace(state))
        return;
    demo_session &s = *g_road->s;
    QPushButton *view
        = demo_session::button(s.workspace(), QStringLiteral("pushButton_viewResult"));
    int minerals = 0;
    for (auto _ : state) {
        view->click();
        settle();
        state.PauseTiming();
        QWidget *viewer = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<viewResult_spcn *>(w) && w->isVisible())
                viewer = w;
        if (!viewer) {
            state.SkipWithError("the result viewer did not open");
            break;
        }
        minerals
            = viewer->findChild<QTableWidget *>(QStringLiteral("tableWidget_minerals"))->rowCount();
        viewer->close();
        settle();
        state.ResumeTiming();
    }
    state.counters["minerals"] = minerals;
}
BENCHMARK(BM_gui_result_viewer_j13)->Unit(benchmark::kMillisecond);

// Keeps warnings, but not the offscreen platform's notes on window calls it ignores.
void quietNotes(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtDebugMsg || type == QtInfoMsg
        || msg.startsWith(QLatin1String("This plugin does not support"))
        || msg.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(msg));
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid() || !demo_session::use_laptop_screen(home.path()))
        return 1;
    demo_session::redirect_settings(home.path());
    qInstallMessageHandler(quietNotes);
    QApplication app(argc, argv);
    road r;
    r.home = home.path();
    g_road = &r;
    if (!buildRoad(r)) {
        std::fprintf(stderr, "bench_gui: %s\n", qPrintable(r.error));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    r.s.reset();
    return 0;
}
