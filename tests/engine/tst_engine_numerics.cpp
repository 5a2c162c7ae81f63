// Dense solver, Debye-Hueckel parameters, log K and the activity models.

#include "mat_solver.h"
#include "records.h"
#include "sim_rxn_prop.h"
#include "thermo.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <memory>

class tst_engine_numerics : public QObject
{
    Q_OBJECT

private slots:
    void solverKnown_data();
    void solverKnown();
    void solverRandomMatchesResidual();
    void solverSingular_data();
    void solverSingular();
    void solverLuAgreesWithPivoting();
    void debyeHuckelGrid_data();
    void debyeHuckelGrid();
    void logK_data();
    void logK();
    void activityModels_data();
    void activityModels();
    void activityFarFromEquilibrium();
    void gasesKeepUnitGamma();
    void waterActivity_data();
    void waterActivity();
};

namespace {

std::unique_ptr<pt_numeric_mat> makeSystem(const QList<QList<double>> &a, const QList<double> &b)
{
    const int n = int(b.size());
    auto m = std::make_unique<pt_numeric_mat>(n);
    for (int i = 0; i < n; ++i) {
        m->perm[i] = i;
        m->b[i] = b[i];
        for (int j = 0; j < n; ++j)
            m->rows[i][j] = a[i][j];
    }
    return m;
}

pt_solute ion(const char *name, double z, double a)
{
    pt_solute s;
    s.name = name;
    s.type = "aqueous";
    s.charge = z;
    s.DHazero = a;
    s.mol_wt = 20.0;
    return s;
}

} // namespace

void tst_engine_numerics::solverKnown_data()
{
    QTest::addColumn<QList<QList<double>>>("a");
    QTest::addColumn<QList<double>>("b");
    QTest::addColumn<QList<double>>("x");

    QTest::newRow("one variable") << QList<QList<double>> {{4.0}} << QList<double> {2.0}
                                  << QList<double> {0.5};
    QTest::newRow("largest off the diagonal")
        << QList<QList<double>> {{0.0, 1.0}, {1.0, 0.0}} << QList<double> {3.0, 5.0}
        << QList<double> {5.0, 3.0};
    QTest::newRow("ties and column swaps")
        << QList<QList<double>> {{1.0, 2.0, 3.0}, {3.0, 1.0, 2.0}, {2.0, 3.0, 1.0}}
        << QList<double> {14.0, 11.0, 11.0} << QList<double> {1.0, 2.0, 3.0};
    QTest::newRow("badly scaled") << QList<QList<double>> {{1e-12, 1.0}, {1.0, 1.0}}
                                  << QList<double> {1.0, 2.0}
                                  << QList<double> {1.0 / (1.0 - 1e-12),
                                                    1.0 - 1e-12 / (1.0 - 1e-12)};
}

void tst_engine_numerics::solverKnown()
{
    QFETCH(QList<QList<double>>, a);
    QFETCH(QList<double>, b);
    QFETCH(QList<double>, x);
    auto m = makeSystem(a, b);
    mat_solver s;
    QCOMPARE(s.driver(m.get()), 0);
    std::unique_ptr<double[]> sol(s.bvector());
    for (int i = 0; i < int(x.size()); ++i)
        QVERIFY2(std::fabs(sol[i] - x[i]) <= 1e-12 * (1.0 + std::fabs(x[i])),
                 qPrintable(QString("x[%1] = %2, expected %3").arg(i).arg(sol[i]).arg(x[i])));
}

void tst_engine_numerics::solverRandomMatchesResidual()
{
    QRandomGenerator rng(12345);
    for (int n : {5, 40, 150}) {
        QList<QList<double>> a(n, QList<double>(n, 0.0));
        QList<double> b(n, 0.0);
        for (int i = 0; i < n; ++i) {
            b[i] = rng.generateDouble() * 2.0 - 1.0;
            for (int j = 0; j < n; ++j)
                a[i][j] = rng.generateDouble() * 2.0 - 1.0;
        }
        auto m = makeSystem(a, b);
        mat_solver s;
        QCOMPARE(s.driver(m.get()), 0);
        double worst = 0.0;
        for (int i = 0; i < n; ++i) {
            double r = -b[i];
            for (int j = 0; j < n; ++j)
                r += a[i][j] * m->b[j];
            worst = std::max(worst, std::fabs(r));
        }
        QVERIFY2(worst < 1e-10, qPrintable(QString("n %1 residual %2").arg(n).arg(worst)));
    }
}

void tst_engine_numerics::solverSingular_data()
{
    QTest::addColumn<QList<QList<double>>>("a");
    QTest::addColumn<int>("failedAt");
    QTest::newRow("all zero") << QList<QList<double>> {{0.0, 0.0}, {0.0, 0.0}} << 0;
    QTest::newRow("dependent rows")
        << QList<QList<double>> {{1.0, 2.0, 3.0}, {2.0, 4.0, 6.0}, {1.0, 0.0, 1.0}} << 2;
    QTest::newRow("zero row late")
        << QList<QList<double>> {{2.0, 1.0, 0.0}, {1.0, 3.0, 0.0}, {0.0, 0.0, 0.0}} << 2;
}

void tst_engine_numerics::solverSingular()
{
    QFETCH(QList<QList<double>>, a);
    QFETCH(int, failedAt);
    auto m = makeSystem(a, QList<double>(a.size(), 1.0));
    mat_solver s;
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QString("MS: matrix solver, GJR, diagonal element  %1  "
                                            "failed.")
                                        .arg(failedAt)));
    QCOMPARE(s.driver(m.get()), 1);
    pt_numeric_mat empty(0);
    QCOMPARE(s.driver(&empty), 1);
}

void tst_engine_numerics::solverLuAgreesWithPivoting()
{
    const QList<QList<double>> a {{4.0, -2.0, 1.0}, {-2.0, 4.0, -2.0}, {1.0, -2.0, 4.0}};
    const QList<double> b {11.0, -16.0, 17.0};
    auto m = makeSystem(a, b);
    mat_solver s;
    QCOMPARE(s.driver(m.get()), 0);
    auto lu = makeSystem(a, b);
    int indx[3];
    double d = 0.0, vv[3];
    mat_solver l;
    QCOMPARE(l.ludcmp(lu->rows, 3, indx, &d, vv), 0);
    // lubksb works on the right-hand side of the last driver call
    QCOMPARE(l.driver(lu.get()), 0); // solves the (factored) rows: only sets b
    auto fresh = makeSystem(a, b);
    mat_solver l2;
    QCOMPARE(l2.ludcmp(fresh->rows, 3, indx, &d, vv), 0);
    std::unique_ptr<pt_numeric_mat> rhs = makeSystem({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, b);
    l2.driver(rhs.get()); // identity: b unchanged, held for lubksb
    for (int i = 0; i < 3; ++i)
        rhs->b[i] = b[i];
    double *x = l2.lubksb();
    for (int i = 0; i < 3; ++i)
        QVERIFY(std::fabs(x[i] - m->b[i]) < 1e-12);
}

void tst_engine_numerics::debyeHuckelGrid_data()
{
    QTest::addColumn<double>("T");
    QTest::addColumn<double>("A");
    QTest::addColumn<double>("B");
    QTest::addColumn<double>("Bdot");
    QTest::newRow("0.01 C") << 0.01 << 0.4939 << 0.3253 << 0.0394;
    QTest::newRow("25 C") << 25.0 << 0.5114 << 0.3288 << 0.041;
    QTest::newRow("60 C") << 60.0 << 0.5465 << 0.3346 << 0.0438;
    QTest::newRow("100 C") << 100.0 << 0.5995 << 0.3421 << 0.046;
    QTest::newRow("150 C") << 150.0 << 0.6855 << 0.3525 << 0.047;
    QTest::newRow("200 C") << 200.0 << 0.7994 << 0.3639 << 0.047;
    QTest::newRow("250 C") << 250.0 << 0.9593 << 0.3766 << 0.034;
    QTest::newRow("300 C") << 300.0 << 1.218 << 0.3925 << 0.0;
}

void tst_engine_numerics::debyeHuckelGrid()
{
    QFETCH(double, T);
    QFETCH(double, A);
    QFETCH(double, B);
    QFETCH(double, Bdot);
    thermo th;
    QVERIFY(std::fabs(th.DebyeHuckel_coefA({}, T) - A) < 5e-5);
    QVERIFY(std::fabs(th.DebyeHuckel_coefB({}, T) - B) < 5e-5);
    QVERIFY(std::fabs(th.DebyeHuckel_bDot({}, T) - Bdot) < 5e-5);
    // the list argument never changes the result
    QCOMPARE(th.DebyeHuckel_coefA({9.0, 9.0}, T), th.DebyeHuckel_coefA({}, T));
    QCOMPARE(th.DebyeHuckel_coefA({}, 0.0), 0.493894475990494);
}

void tst_engine_numerics::logK_data()
{
    QTest::addColumn<QList<double>>("coeff");
    QTest::addColumn<QList<double>>("exponent");
    QTest::addColumn<int>("form");
    QTest::addColumn<double>("T");
    QTest::addColumn<double>("log10K");
    QTest::newRow("linear at 25") << QList<double> {1.0, 2.0} << QList<double> {0.0, 1.0} << 0
                                  << 25.0 << 51.0;
    QTest::newRow("single term at any T")
        << QList<double> {-3.5} << QList<double> {0.0} << 0 << 250.0 << -3.5;
    QTest::newRow("quadratic at 100")
        << QList<double> {1.0, -0.01, 1e-4} << QList<double> {0.0, 1.0, 2.0} << 0 << 100.0 << 1.0;
    QTest::newRow("seventh power of an eight-term fit")
        << QList<double> {0.5, 0, 0, 0, 0, 0, 0, 1e-3} << QList<double> {0, 1, 2, 3, 4, 5, 6, 7}
        << 0 << 10.0 << 10000.5;
    QTest::newRow("root and inverse terms")
        << QList<double> {1.0, 2.0, 3.0} << QList<double> {0.0, 0.5, -1.0} << 0 << 4.0 << 5.75;
    QTest::newRow("table form is not evaluated")
        << QList<double> {1.0, 2.0} << QList<double> {0.0, 1.0} << 2 << 25.0 << 0.0;
}

void tst_engine_numerics::logK()
{
    QFETCH(QList<double>, coeff);
    QFETCH(QList<double>, exponent);
    QFETCH(int, form);
    QFETCH(double, T);
    QFETCH(double, log10K);
    one_rxn_eqk eqk;
    eqk.type_eqn = form;
    eqk.coeff = coeff;
    eqk.quotient = exponent;
    thermo th;
    if (form != 0)
        QTest::ignoreMessage(QtDebugMsg, "PR: ####  unknown equilibrium constant equation form");
    QVERIFY(std::fabs(th.eqklog10(&eqk, T) - log10K) < 1e-12);
    if (form == 0) {
        pt_rxn rx;
        rx.nterms = int(coeff.size());
        rx.coeff.assign(coeff.begin(), coeff.end());
        rx.quotient.assign(exponent.begin(), exponent.end());
        QVERIFY(std::fabs(sim_rxn_prop::eqkLog10_polynom(rx, T) - log10K) < 1e-12);
    }
}

void tst_engine_numerics::activityModels_data()
{
    // log10 gamma of a monovalent ion (a = 4) and a neutral species at I = 0.1, 25 C.
    const double A = 0.5114, B = 0.3288, Bd = 0.041, I = 0.1, s = std::sqrt(I);
    QTest::addColumn<int>("method");
    QTest::addColumn<double>("lgIon");
    QTest::addColumn<double>("lgNeutral");
    QTest::newRow("ideal") << 0 << 0.0 << 0.0;
    QTest::newRow("DH limiting") << 1 << -A * s << 0.0;
    QTest::newRow("DH extended") << 2 << -A * s / (1 + B * 4 * s) << 0.0;
    QTest::newRow("Davies") << 3 << -A * (s / (1 + s) - 0.3 * I) << 0.0;
    QTest::newRow("B-dot") << 4 << Bd * I - A * s / (1 + B * 4 * s) << Bd * I;
    QTest::newRow("unknown code runs B-dot") << 7 << Bd * I - A * s / (1 + B * 4 * s) << Bd * I;
}

void tst_engine_numerics::activityModels()
{
    QFETCH(int, method);
    QFETCH(double, lgIon);
    QFETCH(double, lgNeutral);
    sim_model model;
    const std::vector<pt_solute> species {ion("Na+", 1, 4.0), ion("Cl-", -1, 4.0),
                                          ion("SiO2(aq)", 0, 3.0)};
    model.species = shared_list<pt_solute>(species);
    model.nspecies = 3;
    model.results->tempRec = new pt_rxn_res;
    model.results->tempRec->TC = 25.0;
    pt_rxn_C c;
    c.molal = {0.1, 0.1, 0.01};
    sim_ctrl ctrl;
    ctrl.activitymethod = method;
    ctrl.activitywater = 0;
    pt_rxn_DHref ref;
    std::unique_ptr<pt_rxn_DH> dh(
        sim_rxn_prop::ionic_strength_correction_driver(&ctrl, &model, &c, &ref));
    QVERIFY(std::fabs(dh->ionicstrength - 0.1) < 1e-15);
    QVERIFY2(std::fabs(dh->log10gamma[0] - lgIon) < 2e-4,
             qPrintable(QString::number(dh->log10gamma[0])));
    QVERIFY(std::fabs(dh->log10gamma[1] - lgIon) < 2e-4);
    QVERIFY(std::fabs(dh->log10gamma[2] - lgNeutral) < 2e-5);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(std::fabs(std::pow(10.0, dh->log10gamma[i]) - dh->gamma[i]) < 1e-14);
        QVERIFY(std::fabs(std::log(dh->gamma[i]) - dh->lngamma[i]) < 1e-14);
    }
}

// Early Newton steps may pass through absurd states (ionic strength 1e5): gamma
// overflows there, but ln gamma, which the equations use, must stay finite.
void tst_engine_numerics::activityFarFromEquilibrium()
{
    sim_model model;
    const std::vector<pt_solute> species {ion("H2O", 0, 0.0), ion("Na+", 1, 4.0),
                                          ion("Cl-", -1, 4.0), ion("SiO2(aq)", 0, 3.0)};
    model.species = shared_list<pt_solute>(species);
    model.nspecies = 4;
    model.results->tempRec = new pt_rxn_res;
    model.results->tempRec->TC = 25.0;
    pt_rxn_C c;
    c.molal = {1.0, 1e5, 1e5, 0.01};
    sim_ctrl ctrl;
    ctrl.activitymethod = 4;
    ctrl.activitywater = 2;
    ctrl.idxH2O = 0;
    pt_rxn_DHref ref;
    std::unique_ptr<pt_rxn_DH> dh(
        sim_rxn_prop::ionic_strength_correction_driver(&ctrl, &model, &c, &ref));
    QVERIFY(std::isinf(dh->gamma[3]));
    for (int i = 0; i < 4; ++i) {
        QVERIFY(std::isfinite(dh->lngamma[i]));
        QVERIFY(std::fabs(dh->lngamma[i] - dh->log10gamma[i] * std::log(10.0))
                <= 1e-12 * std::fabs(dh->lngamma[i]));
    }
}

void tst_engine_numerics::gasesKeepUnitGamma()
{
    sim_model model;
    pt_solute g = ion("CO2(g)", 0, 0);
    g.gas = true;
    g.type = "gas";
    const std::vector<pt_solute> species {ion("Na+", 1, 4.0), ion("Cl-", -1, 4.0), g};
    model.species = shared_list<pt_solute>(species);
    model.nspecies = 3;
    model.results->tempRec = new pt_rxn_res;
    model.results->tempRec->TC = 25.0;
    pt_rxn_C c;
    c.molal = {0.5, 0.5, 0.1};
    pt_rxn_DHref ref;
    for (int method : {1, 2, 3, 4}) {
        sim_ctrl ctrl;
        ctrl.activitymethod = method;
        std::unique_ptr<pt_rxn_DH> dh(
            sim_rxn_prop::ionic_strength_correction_driver(&ctrl, &model, &c, &ref));
        QCOMPARE(dh->gamma[2], 1.0);
        QVERIFY(dh->gamma[0] < 1.0);
    }
}

void tst_engine_numerics::waterActivity_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("molalNaCl");
    QTest::addColumn<double>("log10aw");
    QTest::addColumn<double>("tol");
    // mole fraction: 55.508 / (55.508 + 2 m)
    QTest::newRow("mole fraction, 0.5 m NaCl")
        << 1 << 0.5 << std::log10(55.50844 / 56.50844) << 1e-9;
    QTest::newRow("mole fraction, pure water") << 1 << 0.0 << 0.0 << 1e-12;
    // EQ3/6 B-dot water activity of 0.5 m NaCl is near -0.0072 (osmotic coefficient ~0.92)
    QTest::newRow("B-dot, 0.5 m NaCl") << 2 << 0.5 << -0.0072 << 4e-4;
    QTest::newRow("ideal") << 0 << 0.5 << 0.0 << 0.0;
}

void tst_engine_numerics::waterActivity()
{
    QFETCH(int, code);
    QFETCH(double, molalNaCl);
    QFETCH(double, log10aw);
    QFETCH(double, tol);
    sim_model model;
    pt_solute w = ion("H2O", 0, 3.0);
    w.mol_wt = 18.0153;
    const std::vector<pt_solute> species {w, ion("Na+", 1, 4.0), ion("Cl-", -1, 3.0)};
    model.species = shared_list<pt_solute>(species);
    model.nspecies = 3;
    model.results->tempRec = new pt_rxn_res;
    model.results->tempRec->TC = 25.0;
    pt_rxn_C c;
    c.molal = {1.0, molalNaCl, molalNaCl};
    sim_ctrl ctrl;
    ctrl.idxH2O = 0;
    ctrl.activitymethod = 4;
    ctrl.activitywater = code;
    pt_rxn_DHref ref;
    std::unique_ptr<pt_rxn_DH> dh(
        sim_rxn_prop::ionic_strength_correction_driver(&ctrl, &model, &c, &ref));
    QVERIFY2(std::fabs(dh->log10gamma[0] - log10aw) <= tol,
             qPrintable(QString::number(dh->log10gamma[0], 'g', 10)));
    QVERIFY(dh->gamma[0] <= 1.0);
    QVERIFY(std::fabs(dh->gamma[0] - std::pow(10.0, dh->log10gamma[0])) < 1e-14);
}

QTEST_GUILESS_MAIN(tst_engine_numerics)
#include "tst_engine_numerics.moc"
