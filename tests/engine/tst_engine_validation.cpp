// Speciation of reference waters compared with an independent code (EQ3NR 8.0a,
// same data0 file, B-dot model, internal pH scale).

#include "records.h"
#include "sim0D.h"
#include "solver_records.h"
#include "support_chemsys.h"

#include <QJsonArray>
#include <QtTest>

#include <cmath>

class tst_engine_validation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void referenceCase_data();
    void referenceCase();
    void chargeBalanceOnMajorIon_data();
    void chargeBalanceOnMajorIon();
    void constraintWithChargeBalance_data();
    void constraintWithChargeBalance();
    void organicSystem_data();
    void organicSystem();
};

/// The water's converged result, or null with the engine's messages in `why`.
static std::unique_ptr<one_water_result> convergedResult(sim_data *sd, one_water *w, QString *why)
{
    sim0D model;
    const int rc = model.driver(sd, w);
    std::unique_ptr<one_water_result> result(model.results());
    if (rc == 0 && result->converged)
        return result;
    *why = model.listErrorMsgs()->join("\n");
    return nullptr;
}

void tst_engine_validation::initTestCase()
{
    QString msg;
    QVERIFY2(chemsys_loadDatabase(&msg), qPrintable(msg));
}

void tst_engine_validation::referenceCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("tolLogM");
    QTest::addColumn<bool>("redox"); // redox species take part
    QTest::addColumn<bool>("ownConstraints"); // minerals and gases fix amounts, as in EQ3NR
    QTest::addColumn<QStringList>("skipped"); // species whose redox treatment differs
    QTest::addColumn<QString>("balance"); // element balancing charge at the given pH

    // Every case runs with the default control parameters (31 iterations, floor
    // 1e-36): the air-saturated waters hold redox species far below the floor
    // (H2(aq) 1e-44, CO(aq) 1e-51), which are released to their mass action.
    QTest::newRow("deionized water")
        << "deionw" << 0.005 << true << false << QStringList() << QString();
    QTest::newRow("HCl 0.02 N") << "hclp02" << 0.005 << true << false << QStringList() << QString();
    QTest::newRow("carbonate aquifer")
        << "co3aqui" << 0.005 << false << false << QStringList() << QString();
    QTest::newRow("sea water") << "swmaj" << 0.03 << false << false << QStringList() << QString();
    QTest::newRow("cristobalite 250 C")
        << "cristoba" << 0.005 << false << false << QStringList() << QString();
    // The independent run suppressed NH3 and kept O2(aq) out of redox equilibrium.
    QTest::newRow("J-13 well water") << "j13w" << 0.005 << false << false
                                     << QStringList {"Fe", "Mn", "N", "O2(aq)"} << QString();
    // The amounts EQ3NR itself was given: CO2(g) fugacities, calcite, dolomite and
    // cristobalite saturation in place of the element totals.
    QTest::newRow("deionized water, CO2(g)")
        << "deionw" << 0.005 << true << true << QStringList() << QString();
    QTest::newRow("HCl 0.02 N, CO2(g)")
        << "hclp02" << 0.005 << true << true << QStringList() << QString();
    QTest::newRow("carbonate aquifer, calcite, dolomite, CO2(g)")
        << "co3aqui" << 0.005 << false << true << QStringList() << QString();
    QTest::newRow("cristobalite 250 C, cristobalite")
        << "cristoba" << 0.005 << false << true << QStringList() << QString();
    // Balanced on chloride at the reference's pH, under EQ3NR's own constraints.
    QTest::newRow("carbonate aquifer on Cl, calcite, dolomite, CO2(g)")
        << "co3aqui" << 0.005 << false << true << QStringList() << "Cl";
    // Calcium fixed by calcite while chloride closes the charge balance: the two rows
    // move the same ions and used to feed each other without end.
    QTest::newRow("Ca-CO3-Cl water, calcite, on Cl")
        << "mcalcl" << 0.005 << false << true << QStringList() << "Cl";
    // Borate buffer: polymeric borates climb from the start values over many decades.
    QTest::newRow("borate buffer")
        << "bo3bufs-2" << 0.005 << true << false << QStringList() << QString();
    // Oxidising sulfuric acid: the polysulfides lie far below the smallest double.
    QTest::newRow("H2SO4 0.02 N, CO2(g)")
        << "h2so4p02" << 0.005 << true << true << QStringList() << QString();
}

static bool holdsElement(const QString &species, const QStringList &elements)
{
    for (const QString &e : elements) {
        if (species == e)
            return true;
        const int at = int(species.indexOf(e));
        if (at >= 0) {
            const int after = at + int(e.size());
            // an element symbol, not the start of a longer one (N, not Na)
            if (after >= species.size() || !species.at(after).isLower())
                return true;
        }
    }
    return false;
}

void tst_engine_validation::referenceCase()
{
    QFETCH(QString, name);
    QFETCH(double, tolLogM);
    QFETCH(bool, redox);
    QFETCH(bool, ownConstraints);
    QFETCH(QStringList, skipped);
    QFETCH(QString, balance);

    const QJsonObject ref = chemsys_readCase(name);
    QVERIFY2(!ref.isEmpty(), qPrintable("reference case missing: " + name));
    const QJsonObject inputs = ref.value("inputs").toObject();
    const QJsonObject totalsJson = inputs.value("element_totals_molal").toObject();
    const double TC = ref.value("temperature_C").toDouble();
    const QJsonObject res = ref.value("results").toObject();
    const QJsonObject refSpecies = res.value("species").toObject();
    const QJsonArray fixedBy = inputs.value("fixed_by_equilibrium").toArray();

    chemsys_request req;
    QMap<QString, double> totals;
    for (auto it = totalsJson.begin(); it != totalsJson.end(); ++it) {
        req.elements << it.key();
        totals.insert(it.key(), it.value().toDouble());
    }
    req.TC = TC;
    req.redox = redox;
    bool gasSwap = false;
    for (const QJsonValue v : fixedBy)
        gasSwap = gasSwap || v.toObject().value("phase").toString().endsWith("(g)");
    // A gas that fixes an amount stands at its fugacity; it is no species then.
    if (req.elements.contains("C") && !(ownConstraints && gasSwap))
        req.gases << "CO2(g)";
    if (redox)
        req.gases << "O2(g)";
    const double fO2 = redox ? std::pow(10.0, inputs.value("log_fO2").toDouble()) : 0.0;
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    // Charge balance on H+ for the cases that reached their pH that way.
    const bool chargeBalance
        = balance.isEmpty() && inputs.value("charge_balance_species").toString() == "H+";
    const double pH = inputs.value("pH_activity").toDouble();
    one_water *w = chemsys_water(sd.get(), totals, TC, chargeBalance ? -1.0 : pH, fO2);
    if (ownConstraints) {
        QVERIFY(!fixedBy.isEmpty());
        for (const QJsonValue v : fixedBy) {
            // the element of the basis species whose amount the phase fixes
            const QString species = v.toObject().value("species").toString();
            const QString phase = v.toObject().value("phase").toString();
            QString element;
            for (const one_solute *s : std::as_const(sd->solutes))
                if (s->name == species)
                    for (const QString &e : s->composition->element)
                        if (e != "H" && e != "O")
                            element = e;
            const bool gas = phase.endsWith("(g)");
            const double value = v.toObject().value("value").toDouble();
            QVERIFY2(
                chemsys_swap(w, element, phase, gas ? 6 : 4, gas ? std::pow(10.0, value) : 0.0),
                qPrintable(phase));
        }
    }

    if (!balance.isEmpty())
        chemsys_chargeBalance(w, balance);

    QString why;
    std::unique_ptr<one_water_result> result = convergedResult(sd.get(), w, &why);
    QVERIFY2(result, qPrintable(why));

    double worst = 0.0;
    QString worstName;
    int compared = 0;
    QStringList missing;
    for (const one_waterResult_solute *s : std::as_const(result->soln_aq)) {
        if (!refSpecies.contains(s->solute) || holdsElement(s->solute, skipped))
            continue;
        const QJsonObject r = refSpecies.value(s->solute).toObject();
        const double refLogM = r.value("log_molality").toDouble();
        if (refLogM <= -10.0)
            continue;
        double diff = std::log10(s->cmolal) - refLogM;
        // The independent code gives these dissolved gases an activity coefficient of
        // its own (salting out); their activities, fixed by equilibrium, are compared.
        if (s->solute == "CO2(aq)" || s->solute == "O2(aq)" || s->solute == "H2(aq)")
            diff = std::log10(s->cmolal) + std::log10(s->gamma) - r.value("log_activity").toDouble();
        ++compared;
        if (std::fabs(diff) > std::fabs(worst)) {
            worst = diff;
            worstName = s->solute;
        }
    }
    for (auto it = refSpecies.begin(); it != refSpecies.end(); ++it) {
        if (it.value().toObject().value("log_molality").toDouble() <= -10.0
            || holdsElement(it.key(), skipped) || it.key() == "H2O")
            continue;
        bool found = false;
        for (const one_waterResult_solute *s : std::as_const(result->soln_aq))
            found = found || s->solute == it.key();
        if (!found)
            missing << it.key();
    }
    const double refI = res.value("ionic_strength").toDouble();
    const double refpH = res.value("pH").toDouble();
    qInfo().noquote() << QString("%1: %2 species compared, largest dlog m %3 (%4); pH %5 vs %6; "
                                 "I %7 vs %8; %9 steps")
                             .arg(name)
                             .arg(compared)
                             .arg(worst, 0, 'f', 4)
                             .arg(worstName)
                             .arg(result->resultpH, 0, 'f', 4)
                             .arg(refpH, 0, 'f', 4)
                             .arg(result->ionicstrength, 0, 'g', 5)
                             .arg(refI, 0, 'g', 5)
                             .arg(result->loops);
    QVERIFY2(missing.isEmpty(), qPrintable("reference species missing: " + missing.join(", ")));
    QVERIFY(compared > 0);
    QVERIFY2(std::fabs(worst) <= tolLogM, qPrintable(worstName));
    QVERIFY(std::fabs(result->resultpH - refpH) <= 0.005);
    QVERIFY(std::fabs(result->ionicstrength - refI) <= 0.01 * refI);
    const QString fault = chemsys_checkResult(sd.get(), w, result.get(), 1e-4);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QVERIFY(result->loops <= 32);
    // What lies below the smallest double is reported as 0, as the reference does.
    for (const one_waterResult_solute *s : std::as_const(result->soln_aq))
        if (refSpecies.value(s->solute).toObject().value("log_molality").toDouble(0) < -320)
            QCOMPARE(s->cmolal, 0.0);

    // The lowest concentration limit changes neither the steps' bound nor the result.
    for (double floor : {1e-100, 1e-300}) {
        sd->ctrlset->csolvcmin = floor;
        std::unique_ptr<one_water_result> lowResult = convergedResult(sd.get(), w, &why);
        QVERIFY2(lowResult, qPrintable(why));
        qInfo().noquote()
            << QString("%1 at %2: %3 steps").arg(name).arg(floor).arg(lowResult->loops);
        QVERIFY(lowResult->loops <= 31);
        QCOMPARE(lowResult->soln_aq.size(), result->soln_aq.size());
        for (int k = 0; k < result->soln_aq.size(); ++k) {
            const double a = result->soln_aq.at(k)->cmolal, b = lowResult->soln_aq.at(k)->cmolal;
            QVERIFY2((a == 0.0 && b == 0.0) || std::fabs(std::log10(a / b)) <= 1e-6,
                     qPrintable(
                         QString("%1: %2 vs %3").arg(result->soln_aq.at(k)->solute).arg(a).arg(b)));
        }
    }
}

void tst_engine_validation::chargeBalanceOnMajorIon_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("element"); // closes the charge balance; empty: none
    QTest::addColumn<int>("activity");

    // Multi-component waters balanced on an anion: the ionic strength used to run away.
    QTest::newRow("sea water on Cl") << "swmaj"
                                     << "Cl" << 4;
    QTest::newRow("sea water on Na") << "swmaj"
                                     << "Na" << 4;
    QTest::newRow("J-13 on Cl") << "j13w"
                                << "Cl" << 4;
    QTest::newRow("carbonate aquifer on Cl") << "co3aqui"
                                             << "Cl" << 4;
    QTest::newRow("sea water, Davies") << "swmaj" << QString() << 3;
    QTest::newRow("sea water on Cl, Davies") << "swmaj"
                                             << "Cl" << 3;
}

// Converged within the default 31 iterations, every equation met.
void tst_engine_validation::chargeBalanceOnMajorIon()
{
    QFETCH(QString, name);
    QFETCH(QString, element);
    QFETCH(int, activity);

    const QJsonObject ref = chemsys_readCase(name);
    QVERIFY(!ref.isEmpty());
    const QJsonObject inputs = ref.value("inputs").toObject();
    const QJsonObject totalsJson = inputs.value("element_totals_molal").toObject();
    chemsys_request req;
    QMap<QString, double> totals;
    for (auto it = totalsJson.begin(); it != totalsJson.end(); ++it) {
        req.elements << it.key();
        totals.insert(it.key(), it.value().toDouble());
    }
    req.TC = ref.value("temperature_C").toDouble();
    req.gases << "CO2(g)";
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    one_water *w
        = chemsys_water(sd.get(), totals, req.TC, inputs.value("pH_activity").toDouble(), 0.0);
    w->activitymethod = activity;
    if (!element.isEmpty())
        chemsys_chargeBalance(w, element);

    QString why;
    std::unique_ptr<one_water_result> result = convergedResult(sd.get(), w, &why);
    QVERIFY2(result, qPrintable(why));
    QVERIFY(result->loops <= 32);
    const QString fault = chemsys_checkResult(sd.get(), w, result.get(), 1e-4);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    qInfo().noquote() << QString("%1: %2 steps, I %3, pH %4")
                             .arg(QTest::currentDataTag())
                             .arg(result->loops)
                             .arg(result->ionicstrength, 0, 'g', 5)
                             .arg(result->resultpH, 0, 'f', 4);
}

void tst_engine_validation::constraintWithChargeBalance_data()
{
    QTest::addColumn<QString>("totals"); // "element molal, ..."
    QTest::addColumn<double>("pH"); // below 0: charge balance on H
    QTest::addColumn<QString>("swaps"); // "element:phase" or "element:gas@fugacity", ...
    QTest::addColumn<QString>("balance"); // element closing the charge balance; empty: none
    QTest::addColumn<int>("maxSteps");

    const QString mcalcl = "Ca 0.00194645, C 0.004, Cl 0.001";
    QTest::newRow("calcite on Ca, balance on Cl") << mcalcl << 7.2 << "Ca:Calcite"
                                                  << "Cl" << 31;
    QTest::newRow("calcite on Ca, CO2(g) on C, balance on Cl")
        << mcalcl << 7.2 << "Ca:Calcite, C:CO2(g)@0.01"
        << "Cl" << 31;
    QTest::newRow("gypsum on Ca, balance on Cl")
        << "Ca 0.00194645, C 0.004, S 0.01, Cl 0.001" << 7.2 << "Ca:Gypsum"
        << "Cl" << 31;
    QTest::newRow("fluorite on F, balance on Na")
        << "Ca 0.001, F 0.0001, Na 0.001, Cl 0.002" << 7.0 << "F:Fluorite"
        << "Na" << 31;
    // Gypsum fixing calcium with chloride balancing: steps blind to the coefficients'
    // change drove the ionic strength out of range.
    QTest::newRow("groundwater, gypsum on Ca, balance on Cl")
        << "Ca 0.0017, C 0.0049, Cl 0.0003, Mg 0.0007, Na 0.0004, S 0.01" << 7.3 << "Ca:Gypsum"
        << "Cl" << 31;
    // The workspace's default water of a C and Ca system with calcite for C at pH 7:
    // the coefficients alone set the ionic strength (its state lies near 5.4 mol/kg).
    QTest::newRow("default water, calcite on C")
        << "Ca 1e-4, C 1e-4" << 7.0 << "C:Calcite" << QString() << 31;
}

// A mineral or a gas fixing an amount, with or without the charge balance on an ion
// of either sign: converged within the default iterations, every equation met.
void tst_engine_validation::constraintWithChargeBalance()
{
    QFETCH(QString, totals);
    QFETCH(double, pH);
    QFETCH(QString, swaps);
    QFETCH(QString, balance);
    QFETCH(int, maxSteps);

    chemsys_request req;
    QMap<QString, double> amounts;
    for (const QString &item : totals.split(", ")) {
        const QStringList parts = item.split(' ');
        req.elements << parts.at(0);
        amounts.insert(parts.at(0), parts.at(1).toDouble());
    }
    if (!swaps.contains("(g)") && amounts.contains("C"))
        req.gases << "CO2(g)";
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    one_water *w = chemsys_water(sd.get(), amounts, 25.0, pH, 0.0);
    for (const QString &swap : swaps.split(", ")) {
        const QString element = swap.section(':', 0, 0);
        const QString phase = swap.section(':', 1).section('@', 0, 0);
        const bool gas = phase.endsWith("(g)");
        const double f = swap.section('@', 1).toDouble();
        QVERIFY2(chemsys_swap(w, element, phase, gas ? 6 : 4, f), qPrintable(phase));
    }
    if (!balance.isEmpty())
        chemsys_chargeBalance(w, balance);

    QString why;
    std::unique_ptr<one_water_result> result = convergedResult(sd.get(), w, &why);
    QVERIFY2(result, qPrintable(why));
    const QString fault = chemsys_checkResult(sd.get(), w, result.get(), 1e-4);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    qInfo().noquote() << QString("%1: %2 steps, I %3")
                             .arg(QTest::currentDataTag())
                             .arg(result->loops)
                             .arg(result->ionicstrength, 0, 'g', 5);
    QVERIFY(result->loops <= maxSteps);
}

void tst_engine_validation::organicSystem_data()
{
    QTest::addColumn<double>("log_fO2");
    QTest::addColumn<double>("floor");
    QTest::addColumn<int>("itmax");
    QTest::addColumn<bool>("converges");

    // In air the organic species belong hundreds of decades below any floor, most of
    // them below the smallest double: released to their equations, they show as 0.
    QTest::newRow("air, default floor") << -0.7 << 1e-36 << 31 << true;
    // Without a floor they sink below the smallest double; ln m carries them on, and
    // their reactions give them their molality once they lie at trace level.
    QTest::newRow("air, no floor") << -0.7 << 0.0 << 200 << true;
    // Reducing, with a floor low enough for every species the system holds.
    QTest::newRow("reducing, low floor") << -70.0 << 1e-300 << 100 << true;
}

// Every carbon species of the database (redox and organic switches on) in deionized
// water: the early steps drive some molalities far above any real water (ionic
// strength near 1e5), where gamma itself overflows; the run must pass through.
void tst_engine_validation::organicSystem()
{
    QFETCH(double, log_fO2);
    QFETCH(double, floor);
    QFETCH(int, itmax);
    QFETCH(bool, converges);

    const QJsonObject ref = chemsys_readCase("deionw");
    QVERIFY(!ref.isEmpty());
    const double totalC = ref.value("inputs")
                              .toObject()
                              .value("element_totals_molal")
                              .toObject()
                              .value("C")
                              .toDouble();
    chemsys_request req;
    req.elements = {"C"};
    req.redox = true;
    req.organic = true;
    req.gases = {"CO2(g)", "O2(g)"};
    req.csolvcmin = floor;
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    sd->ctrlset->csolvitmax = itmax;
    QVERIFY(sd->solutes.size() > 100);
    one_water *w = chemsys_water(sd.get(), {{"C", totalC}}, 25.0, -1.0, std::pow(10.0, log_fO2));

    sim0D model;
    const int rc = model.driver(sd.get(), w);
    const QStringList errors = *model.listErrorMsgs();
    if (converges)
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    else // the only complaint is the iteration limit, never a breakdown
        QVERIFY2(!errors.isEmpty() && errors.first().contains("no convergence after"),
                 qPrintable(errors.join('\n')));
    for (double lnm : model.state()->lnmolal)
        QVERIFY(std::isfinite(lnm));
    QCOMPARE(rc == 0, converges);
    std::unique_ptr<one_water_result> result(model.results());
    QCOMPARE(result->converged, converges);
    // Carbon is where the water puts it, and pH is the reference's (CO2 and HCO3-
    // dominate at both redox states).
    double sumC = 0.0;
    for (const one_waterResult_element *e : std::as_const(result->soln_elem))
        if (e->element == "C")
            sumC = e->cmolal;
    QVERIFY2(std::fabs(sumC / totalC - 1.0) < 1e-6, qPrintable(QString::number(sumC)));
    // Long chains of reactions (each organic formed from others): the reduced step is
    // the full system's step at the final state.
    const int n = model.model()->nspecies;
    pt_rxn_DH dh;
    dh.lngamma.assign(n, 0.0);
    const chemsys_stepMismatch m = chemsys_compareSteps(model, &dh);
    QVERIFY(m.ok);
    QVERIFY2(m.worst <= 1e-9,
             qPrintable(QString("%1: %2 vs %3").arg(m.species).arg(m.reduced).arg(m.full)));
    const double refpH = ref.value("results").toObject().value("pH").toDouble();
    QVERIFY2(std::fabs(result->resultpH - refpH) <= 0.005,
             qPrintable(QString::number(result->resultpH)));
}

QTEST_GUILESS_MAIN(tst_engine_validation)
#include "tst_engine_validation.moc"
