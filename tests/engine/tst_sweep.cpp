// Random waters over the whole range a user can enter (J-13 element set, totals
// 1e-8 .. 0.5 molal, pH 2 .. 12 or charge balance, 0.01 .. 300 C, every activity
// model): each run either converges with every equation satisfied and every value
// finite, or fails; it never crashes and never claims success falsely. The larger
// run of the same waters is bench/bench_sweep.

#include "sweep_run.h"

#include <QtTest>

namespace {

/// Waters per run (a few hundred; even the sanitizer build takes seconds).
int watersPerRun()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("VEK7_SWEEP_WATERS", &ok);
    return ok && n > 0 ? n : 500;
}

const std::uint64_t sweepSeed = 20260101;

} // namespace

class tst_sweep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sweep_data();
    void sweep();
    void sameWaterSameResult();

private:
    std::unique_ptr<sweep_runner> runner;
};

void tst_sweep::initTestCase()
{
    runner = std::make_unique<sweep_runner>(sweepSeed);
    QString msg;
    QVERIFY2(runner->init(&msg), qPrintable(msg));
}

void tst_sweep::sweep_data()
{
    QTest::addColumn<int>("activity");
    QTest::newRow("ideal") << 0;
    QTest::newRow("Debye-Hueckel limiting law") << 1;
    QTest::newRow("extended Debye-Hueckel") << 2;
    QTest::newRow("Davies") << 3;
    QTest::newRow("B-dot") << 4;
}

// The waters whose activity model is the row's (every fifth of the sweep); the
// three water-activity models take turns among them.
void tst_sweep::sweep()
{
    QFETCH(int, activity);
    const int waters = watersPerRun() / 5;
    sweep_tally tally;
    for (int k = 0; k < waters; ++k) {
        const sweep_water w = runner->make(5 * k + activity);
        QCOMPARE(w.activity, activity);
        tally.add(w, runner->run(w));
    }
    for (const QString &line : tally.report())
        qInfo().noquote() << line;
    QCOMPARE(tally.all.waters, waters);
    QVERIFY2(tally.faults == 0, qPrintable(tally.faultExamples.join("\n")));
}

// A run depends on its input only: the same water twice gives identical numbers
// (a difference would point at state left over from a run, or read before set).
void tst_sweep::sameWaterSameResult()
{
    for (int index : {0, 1, 7, 13, 24}) {
        const sweep_water w = runner->make(index);
        const sweep_outcome a = runner->run(w);
        const sweep_outcome b = runner->run(w);
        QCOMPARE(a.rc, b.rc);
        QCOMPARE(a.converged, b.converged);
        QCOMPARE(a.loops, b.loops);
        QCOMPARE(a.failure, b.failure);
        if (std::isfinite(a.ionicStrength))
            QCOMPARE(a.ionicStrength, b.ionicStrength);
    }
}

QTEST_GUILESS_MAIN(tst_sweep)
#include "tst_sweep.moc"
