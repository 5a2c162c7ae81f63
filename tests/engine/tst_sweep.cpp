// Random waters over the whole range a user can enter (J-13 element set, totals
// 1e-8 .. 0.5 molal, pH 2 .. 12 or charge balance, 1 .. 300 C, every activity
// model): each run either converges with every equation satisfied and every value
// finite, or fails; it never crashes and never claims success falsely. Their
// constrained twins (minerals, CO2(g), charge balances on an ion) likewise. The
// larger run of the same waters is bench/bench_sweep.

#include "sweep_run.h"

#include <QtTest>

namespace {

/// Waters per run: 2000 (400 per activity model) keep the floors below meaningful
/// and take seconds even in the sanitizer build; the full 10,000 are bench_sweep's.
int watersPerRun()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("VEK7_SWEEP_WATERS", &ok);
    return ok && n > 0 ? n : 2000;
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
    void hardWaters_data();
    void hardWaters();
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
    QTest::addColumn<bool>("constrained"); // the waters' constrained twins
    QTest::addColumn<double>("floorPercent"); // of the waters with an equilibrium state
    QTest::newRow("ideal") << 0 << false << 99.75;
    // At high pH and temperature the limiting law lets gamma fall without bound, and
    // some of these waters have no state; those it can prove say so and are left out.
    QTest::newRow("Debye-Hueckel limiting law") << 1 << false << 90.0;
    QTest::newRow("extended Debye-Hueckel") << 2 << false << 99.75;
    QTest::newRow("Davies") << 3 << false << 99.75;
    QTest::newRow("B-dot") << 4 << false << 99.75;
    // Minerals and CO2(g) fixing amounts, with or without a charge balance on an ion.
    // A few of these waters (several minerals at once above 250 C, CO2(g) and a
    // carbonate at a given pH whose ionic strength runs past any value) still end
    // unconverged: the floors keep what is reached.
    QTest::newRow("ideal, constrained") << 0 << true << 99.5;
    QTest::newRow("Debye-Hueckel limiting law, constrained") << 1 << true << 95.0;
    QTest::newRow("extended Debye-Hueckel, constrained") << 2 << true << 99.5;
    QTest::newRow("Davies, constrained") << 3 << true << 99.5;
    QTest::newRow("B-dot, constrained") << 4 << true << 99.25;
}

// The waters whose activity model is the row's (every fifth of the sweep); the
// three water-activity models take turns among them. None is falsely converged,
// and the converged share of those with a state reaches the row's floor.
void tst_sweep::sweep()
{
    QFETCH(int, activity);
    QFETCH(bool, constrained);
    QFETCH(double, floorPercent);
    const int waters = watersPerRun() / 5;
    sweep_tally tally;
    for (int k = 0; k < waters; ++k) {
        sweep_water w = runner->make(5 * k + activity);
        QCOMPARE(w.activity, activity);
        if (!constrained || runner->makeConstrained(5 * k + activity, &w))
            tally.add(w, runner->run(w));
    }
    for (const QString &line : tally.report())
        qInfo().noquote() << line;
    if (constrained) {
        // Most plain waters have a state (under the limiting law not all), and every
        // kind of constraint is taken.
        QVERIFY(tally.all.waters > waters * 3 / 4);
        QCOMPARE(tally.byConstraint.size(), size_t(5));
    } else {
        QCOMPARE(tally.all.waters, waters);
    }
    QVERIFY2(tally.faults == 0, qPrintable(tally.faultExamples.join("\n")));
    const int withState = tally.all.waters - tally.noState;
    QVERIFY(withState > 0);
    const double share = 100.0 * tally.all.converged / withState;
    QVERIFY2(share >= floorPercent,
             qPrintable(QString("%1 % of %2 waters converged").arg(share).arg(withState)));
}

void tst_sweep::hardWaters_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("constrained"); // the water's constrained twin
    QTest::addColumn<QString>("outcome"); // "converged", or the failure the run must give
    const QString converged = QStringLiteral("converged");
    // Waters that once failed: basis species far below the floor (Al+++ at high pH or
    // temperature), reaction species below it, charge balances whose ionic strength
    // ran away, cycles.
    for (int i : {1,    3,    5,    21,   31,   58,   348,  568,  599,  626,  1166, 1246,
                  1706, 2425, 2501, 3914, 4023, 4113, 4769, 5521, 6233, 6579, 6855, 7184,
                  7225, 7416, 7821, 7893, 7973, 8460, 8518, 8612, 9784, 9905})
        QTest::addRow("water %d", i) << i << false << converged;
    // Davies at pH 11.7 and 240 C (the ionic strength swung from step to step) and the
    // ideal model balancing charge.
    for (int i : {628, 1228, 2125, 5695})
        QTest::addRow("water %d", i) << i << false << converged;
    // Limiting law, water activity 1, pH 9.8 - 12, 110 - 300 C: no state exists.
    for (int i : {331, 631, 991, 1216, 3061, 3181, 8191, 8311, 8611})
        QTest::addRow("water %d, no state", i)
            << i << false
            << QStringLiteral(
                   "#### error : no equilibrium state: under the Debye-Hueckel limiting law");
    // Twins whose minerals and charge balance fed each other from the common start:
    // fluorite balanced on H+, chalcedony on Ca, celestite and CO2(g) on Cl, fluorite
    // and CO2(g) on Li.
    for (int i : {150, 928, 1211, 1478, 1546, 1606, 1651, 1971})
        QTest::addRow("twin %d", i) << i << true << converged;
    // Twins balanced on an ion that the rest of the water already outweighs even with
    // none of it: rhodochrosite, dolomite and calcite at pH 11.2 on Cl, strontianite at
    // pH 11.3 on F, siderite at pH 5.2 on F.
    for (int i : {285, 1439, 1715})
        QTest::addRow("twin %d, balance not met", i)
            << i << true << QStringLiteral("#### error : the charge balance cannot be met on [ ");
}

void tst_sweep::hardWaters()
{
    QFETCH(int, index);
    QFETCH(bool, constrained);
    QFETCH(QString, outcome);
    sweep_water w = runner->make(index);
    if (constrained)
        QVERIFY(runner->makeConstrained(index, &w));
    const sweep_outcome o = runner->run(w);
    QVERIFY2(o.fault.isEmpty(), qPrintable(o.fault));
    if (outcome == "converged") {
        QVERIFY2(o.converged && o.rc == 0,
                 qPrintable(sweep_runner::describe(w) + ": " + o.failure));
        QVERIFY(o.worstResidual <= sweep_runner::tolerance);
        return;
    }
    QVERIFY(!o.converged);
    QCOMPARE(o.rc, 1);
    QVERIFY2(o.messages.first().startsWith(outcome) || o.messages.last().startsWith(outcome),
             qPrintable(o.messages.join('\n')));
    if (!constrained)
        QVERIFY2(o.failure.contains("B-dot"), qPrintable(o.failure)); // the models that have one
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
