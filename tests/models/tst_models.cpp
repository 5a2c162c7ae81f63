// Mixing and titration against the reference mixing case: conservative totals,
// the pH that keeps the sources' charge, saturation indices, a water mixed with
// itself, and titrations on pH and on an element.

#include "copy_struct.h"
#include "mix_calc.h"
#include "records.h"
#include "sbatch.h"
#include "support_models.h"
#include "support_setup.h"
#include "test_env.h"
#include "viewResult_spcn.h"

#include <QJsonArray>
#include <QTableWidget>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

/// Within the last printed digit of a value given to `digits` significant digits.
bool withinPrinted(double value, double printed, int digits)
{
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(printed))) - digits + 1);
    return std::fabs(value - printed) <= 0.5 * unit * 1.0001;
}

double totalOf(const one_water_result *r, const QString &element)
{
    for (const one_waterResult_element *e : r->soln_elem)
        if (e->element == element)
            return e->cmolal;
    return std::nan("");
}

double amountOf(const one_water *w, const QString &element)
{
    for (const one_elementComp *e : w->composition)
        if (e->element == element)
            return e->molal;
    return std::nan("");
}

} // namespace

class tst_models : public QObject
{
    Q_OBJECT

    std::unique_ptr<sbatch> batch;
    one_water *sea = nullptr;
    one_water *j13 = nullptr;

    /// A model water made from a copy of `w1`, the caller owns it.
    std::unique_ptr<one_water> modelOf(const one_water *w1)
    {
        copy_struct cpy;
        return std::unique_ptr<one_water>(cpy.copy_water(w1));
    }

private slots:
    void initTestCase()
    {
        quietDebug();
        QString msg;
        batch = referenceSourcesBatch(&msg);
        QVERIFY2(batch, qPrintable(msg));
        sea = batch->sdata->waters.at(0);
        j13 = batch->sdata->waters.at(1);
    }

    void referenceMixtures_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("pHTolerance");
        QTest::newRow("50/50 at 25 C") << 0 << 0.03;
        QTest::newRow("50/50 at 60 C") << 1 << 0.05;
        QTest::newRow("20/80 at 25 C") << 2 << 0.03;
    }

    void referenceMixtures()
    {
        QFETCH(int, row);
        QFETCH(double, pHTolerance);
        const QJsonObject ref = mixingReference().value("mixes").toArray().at(row).toObject();
        const double p1 = ref.value("percent_seawater").toDouble();
        const double p2 = ref.value("percent_J13").toDouble();
        mix_calc::mixture m;
        QStringList msgs;
        QCOMPARE(
            mix_calc::mix(batch.get(), sea, j13, p1, p2, ref.value("TC").toDouble(), &m, &msgs), 0);
        auto model = modelOf(sea);
        mix_calc::prepare_model(batch.get(), model.get(), m);
        mix_calc::speciation out;
        QVERIFY2(mix_calc::speciate(batch.get(), model.get(), m, &out) == 0,
                 qPrintable(out.messages.join('\n')));
        QVERIFY(model->results && model->results->converged);

        QStringList figures;
        const double x1 = p1 * sea->densitymass / (p1 * sea->densitymass + p2 * j13->densitymass);
        const QJsonObject printed = ref.value("totals").toObject();
        for (const char *e : {"Ca", "Mg", "Na", "K", "Cl", "S", "C"}) {
            const double mean
                = x1 * totalOf(sea->results, e) + (1.0 - x1) * totalOf(j13->results, e);
            const double given = amountOf(model.get(), e);
            QVERIFY2(std::fabs(given / mean - 1.0) <= 1e-9, qPrintable(e));
            // the run holds the totals it was given
            QVERIFY2(std::fabs(totalOf(model->results, e) / given - 1.0) <= 1e-6, qPrintable(e));
            if (printed.contains(e)) {
                figures << QStringLiteral("%1 %2 (%3)")
                               .arg(e)
                               .arg(given, 0, 'g', 6)
                               .arg(printed.value(e).toDouble());
                QVERIFY2(withinPrinted(given, printed.value(e).toDouble(), 5), qPrintable(e));
            }
        }
        const double dpH = out.pH - ref.value("pH").toDouble();
        figures << QStringLiteral("pH %1 (%2, %3 trials)")
                       .arg(out.pH, 0, 'f', 4)
                       .arg(dpH, 0, 'f', 4)
                       .arg(out.trials);
        QVERIFY(std::fabs(model->results->resultpH - out.pH) < 1e-9);

        viewResult_spcn v;
        v.update_ui_resultMixedWater(batch.get(), model.get());
        auto *t = v.findChild<QTableWidget *>("tableWidget_minerals");
        QVERIFY(t);
        const QJsonObject si = ref.value("saturation").toObject();
        QStringList beyond;
        for (const char *mineral : {"Calcite", "Dolomite", "Gypsum", "Halite"}) {
            int r = 0;
            while (r < t->rowCount() && t->item(r, 0)->text() != mineral)
                ++r;
            QVERIFY2(r < t->rowCount(), mineral);
            bool ok = false;
            const double value = t->item(r, 3)->text().toDouble(&ok);
            QVERIFY2(ok, qPrintable(mineral));
            const double d = value - si.value(mineral).toDouble();
            figures << QStringLiteral("%1 SI %2 (%3)")
                           .arg(mineral)
                           .arg(value, 0, 'f', 3)
                           .arg(d, 0, 'f', 3);
            if (!(std::fabs(d) <= 0.06))
                beyond << mineral;
        }
        qInfo().noquote() << QTest::currentDataTag() << figures.join("; ");
        QVERIFY2(std::fabs(dpH) <= pHTolerance, qPrintable(QString::number(dpH)));
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond.join(", ")));
    }

    void selfMixing_keepsPH_data()
    {
        QTest::addColumn<int>("water");
        QTest::addColumn<double>("percent");
        for (int w = 0; w < 2; ++w)
            for (double p : {0.0, 12.5, 50.0, 73.7, 100.0})
                QTest::addRow("%s %g %%", w ? "J-13" : "seawater", p) << w << p;
    }

    void selfMixing_keepsPH()
    {
        QFETCH(int, water);
        QFETCH(double, percent);
        const one_water *w = batch->sdata->waters.at(water);
        mix_calc::mixture m;
        QStringList msgs;
        QCOMPARE(
            mix_calc::mix(batch.get(), w, w, percent, 100.0 - percent, std::nan(""), &m, &msgs), 0);
        QCOMPARE(m.TC, w->TC);
        auto model = modelOf(w);
        mix_calc::prepare_model(batch.get(), model.get(), m);
        mix_calc::speciation out;
        QVERIFY2(mix_calc::speciate(batch.get(), model.get(), m, &out) == 0,
                 qPrintable(out.messages.join('\n')));
        QVERIFY2(std::fabs(out.pH - w->results->resultpH) <= 1e-4,
                 qPrintable(QString::number(out.pH - w->results->resultpH)));
    }

    void titration_data()
    {
        QTest::addColumn<bool>("onpH");
        QTest::addColumn<double>("target");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("pH 7.5") << true << 7.5 << 0 << QString();
        QTest::newRow("pH 9 out of reach") << true << 9.0 << 0 << "cannot be reached";
        QTest::newRow("Cl 0.1097 molal") << false << 0.1097 << 0 << QString();
        QTest::newRow("Cl 0.1097 Molar") << false << 0.1097 << 1 << QString();
        QTest::newRow("Cl 2000 ppm") << false << 2000.0 << 2 << QString();
        QTest::newRow("Cl 1 molal out of reach") << false << 1.0 << 0 << "cannot be reached";
    }

    void titration()
    {
        QFETCH(bool, onpH);
        QFETCH(double, target);
        QFETCH(int, unit);
        QFETCH(QString, refusal);
        mix_calc::titration t;
        t.onpH = onpH;
        t.pH = target;
        t.element = QStringLiteral("Cl");
        t.unit = unit;
        t.value = target;
        t.TC = std::nan("");
        auto model = modelOf(sea);
        mix_calc::mixture m;
        mix_calc::speciation out;
        const int rc = mix_calc::titrate(batch.get(), sea, j13, t, model.get(), &m, &out);
        if (!refusal.isEmpty()) {
            QCOMPARE(rc, 1);
            QVERIFY(!model->results);
            QVERIFY2(out.messages.join('\n').contains(refusal),
                     qPrintable(out.messages.join('\n')));
            qInfo().noquote() << out.messages.join(' ');
            return;
        }
        QVERIFY2(rc == 0, qPrintable(out.messages.join('\n')));
        QVERIFY(model->results && m.percent2 > 0.0 && m.percent2 < 100.0);
        qInfo().noquote() << QTest::currentDataTag() << "water 2 at" << m.percent2 << "% , pH"
                          << out.pH;
        if (onpH) {
            QVERIFY(std::fabs(out.pH - target) <= 0.005);
            return;
        }
        const one_waterResult_element *cl = nullptr;
        for (const one_waterResult_element *e : model->results->soln_elem)
            if (e->element == "Cl")
                cl = e;
        QVERIFY(cl);
        const double shown = unit == 1 ? cl->cMolar : unit == 2 ? cl->cppm : cl->cmolal;
        QVERIFY2(std::fabs(shown / target - 1.0) < 5e-7,
                 qPrintable(QString::number(shown, 'g', 10)));
    }
};

QTEST_MAIN(tst_models)
#include "tst_models.moc"
