// Speciation of reference waters compared with an independent code (EQ3NR 8.0a,
// same data0 file, B-dot model, internal pH scale).

#include "records.h"
#include "sim0D.h"
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
};

void tst_engine_validation::initTestCase()
{
    QString msg;
    QVERIFY2(chemsys_loadData0(&msg), qPrintable(msg));
}

void tst_engine_validation::referenceCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("tolLogM");
    QTest::addColumn<QStringList>("redox");   // elements whose redox species take part
    QTest::addColumn<QStringList>("skipped"); // species whose redox treatment differs

    // Air-saturated waters carry O2(aq) at their O2(g) fugacity.
    QTest::newRow("deionized water") << "deionw" << 0.005 << QStringList{"O"} << QStringList();
    QTest::newRow("HCl 0.02 N") << "hclp02" << 0.005 << QStringList{"O"} << QStringList();
    QTest::newRow("carbonate aquifer") << "co3aqui" << 0.005 << QStringList() << QStringList();
    QTest::newRow("sea water") << "swmaj" << 0.03 << QStringList() << QStringList();
    QTest::newRow("cristobalite 250 C") << "cristoba" << 0.005 << QStringList() << QStringList();
    // The independent run suppressed NH3 and kept O2(aq) out of redox equilibrium.
    QTest::newRow("J-13 well water")
        << "j13w" << 0.005 << QStringList() << QStringList{"Fe", "Mn", "N", "O2(aq)"};
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
    QFETCH(QStringList, redox);
    QFETCH(QStringList, skipped);

    const QJsonObject ref = chemsys_readCase(name);
    QVERIFY2(!ref.isEmpty(), qPrintable("reference case missing: " + name));
    const QJsonObject inputs = ref.value("inputs").toObject();
    const QJsonObject totalsJson = inputs.value("element_totals_molal").toObject();
    const double TC = ref.value("temperature_C").toDouble();
    const QJsonObject res = ref.value("results").toObject();
    const QJsonObject refSpecies = res.value("species").toObject();

    chemsys_request req;
    QMap<QString, double> totals;
    for (auto it = totalsJson.begin(); it != totalsJson.end(); ++it) {
        req.elements << it.key();
        totals.insert(it.key(), it.value().toDouble());
    }
    req.TC = TC;
    req.redoxElements = redox;
    if (req.elements.contains("C"))
        req.gases << "CO2(g)";
    if (!redox.isEmpty())
        req.gases << "O2(g)";
    const double fO2 = redox.isEmpty() ? 0.0 : std::pow(10.0, inputs.value("log_fO2").toDouble());
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    // Charge balance on H+ for the cases that reached their pH that way.
    const bool chargeBalance = inputs.value("charge_balance_species").toString() == "H+";
    const double pH = inputs.value("pH_activity").toDouble();
    one_water *w = chemsys_water(sd.get(), totals, TC, chargeBalance ? -1.0 : pH, fO2);

    sim0D model;
    const int rc = model.driver(sd.get(), w);
    QVERIFY2(rc == 0, qPrintable(model.listErrorMsgs()->join("\n")));
    std::unique_ptr<one_water_result> result(model.results());
    QVERIFY(result->converged);

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
            diff = std::log10(s->cmolal * s->gamma) - r.value("log_activity").toDouble();
        ++compared;
        if (std::fabs(diff) > std::fabs(worst)) {
            worst = diff;
            worstName = s->solute;
        }
    }
    for (auto it = refSpecies.begin(); it != refSpecies.end(); ++it) {
        if (it.value().toObject().value("log_molality").toDouble() <= -10.0 ||
            holdsElement(it.key(), skipped) || it.key() == "H2O")
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
}

QTEST_GUILESS_MAIN(tst_engine_validation)
#include "tst_engine_validation.moc"
