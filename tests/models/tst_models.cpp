// Mixing and titration: the chemistry against the reference mixing case (totals,
// pH, saturation), a water mixed with itself, titrations; then the window as a user
// works it from the workspace, the naming dialog, the saved water and its file.

#include "copy_struct.h"
#include "input_fields.h"
#include "mix_calc.h"
#include "records.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_press.h"
#include "test_ui.h"
#include "viewResult_spcn.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <cmath>

namespace {

template<class T>
T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

void click(QWidget *w, const char *button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

void typeInto(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    // A typed value counts once the entry is finished, as a user does with Return.
    QTest::keyClick(field, Qt::Key_Return);
}

QString shown(QWidget *win)
{
    return child<QTextEdit>(win, "textEdit_messages")->toPlainText();
}

/// A new configuration with the reference case's two waters typed in and run: its
/// totals as they stand (Cl as the other code balanced it) and its pH, so both codes
/// mix the same waters.
void enterSources(workspace_fixture &f, const QString &name)
{
    QVERIFY(f.enterNew(QDir(vek7TestScratchDir()).filePath(name), false, true, [](sim_data *cfg) {
        one_water *b = cfg->own(copy_struct().copy_water(cfg->waters.first()));
        cfg->waters.first()->name = QStringLiteral("seawater");
        b->name = QStringLiteral("J13");
        cfg->waters.append(b);
        cfg->nwaters = 2;
    }));
    const QJsonObject sources = referenceCase("phreeqc/mixing").value("sources").toObject();
    const QStringList elements = sources.value("J13-lite")["totals"].toObject().keys();
    for (const QString &e : elements)
        f.addElementDirect(e);
    showWaterPage(f);
    const QStringList keys {"seawater-lite", "J13-lite"}, names {"seawater", "J13"};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject src = sources.value(keys.at(i)).toObject();
        QVERIFY(chooseItem(f, QStringLiteral("comboBox_waters"), names.at(i)));
        QVERIFY(chooseItem(f, QStringLiteral("comboBox_elementUnits"), QStringLiteral("molal")));
        QVERIFY(typeAmount(waterTable(f, QStringLiteral("tableWidgetWaters_element_H")), 0,
                           QString::number(src.value("pH").toDouble())));
        QTableWidget *t = waterTable(f, QStringLiteral("tableWidgetWaters_elements"));
        for (const QString &e : elements)
            QVERIFY(typeAmount(t, elementRow(f, e),
                               QString::number(src["totals"][e].toDouble(), 'e', 8)));
        QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    }
}

/// Presses a launcher of the workspace; the mixing window it shows.
QWidget *openWindow(workspace_fixture &f, const char *button)
{
    click(f.w, button);
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("model_mixing") && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class tst_models : public QObject
{
    Q_OBJECT

    std::unique_ptr<workspace_fixture> sources;
    sbatch *batch = nullptr;
    one_water *sea = nullptr;
    one_water *j13 = nullptr;

    /// A model water started from a copy of `w1`.
    std::unique_ptr<one_water> modelOf(const one_water *w1)
    {
        return std::unique_ptr<one_water>(copy_struct().copy_water(w1));
    }

private slots:
    void initTestCase()
    {
        quietDebug();
        sources = std::make_unique<workspace_fixture>();
        enterSources(*sources, "sources.jsdb");
        QVERIFY(!QTest::currentTestFailed());
        batch = sources->batch;
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
        const QJsonObject ref
            = referenceCase("phreeqc/mixing").value("mixes").toArray().at(row).toObject();
        const double p1 = ref["percent_seawater"].toDouble(), p2 = ref["percent_J13"].toDouble();
        mix_calc::mixture m;
        mix_calc::speciation out;
        auto model = modelOf(sea);
        QCOMPARE(mix_calc::mix(batch, sea, j13, p1, p2, ref["TC"].toDouble(), &m, &out.messages),
                 0);
        mix_calc::prepare_model(batch, model.get(), m);
        QVERIFY2(mix_calc::speciate(batch, model.get(), m, &out) == 0,
                 qPrintable(out.messages.join('\n')));
        QVERIFY(model->results && model->results->converged);
        QVERIFY(std::fabs(model->results->resultpH - out.pH) < 1e-9);

        QStringList figures;
        const double x1 = p1 * sea->densitymass / (p1 * sea->densitymass + p2 * j13->densitymass);
        for (const char *e : {"Ca", "Mg", "Na", "K", "Cl", "S", "C"}) {
            const double mean = x1 * totalOf(sea->results, e) + (1 - x1) * totalOf(j13->results, e);
            double given = std::nan("");
            for (const one_elementComp *c : model->composition)
                given = c->element == e ? c->molal : given;
            QVERIFY2(std::fabs(given / mean - 1.0) <= 1e-9, e);
            QVERIFY2(std::fabs(totalOf(model->results, e) / given - 1.0) <= 1e-6, e);
            if (const double printed = ref["totals"][e].toDouble(); printed > 0.0) {
                // within the last of the 5 printed digits
                const double digit = std::pow(10.0, std::floor(std::log10(printed)) - 4);
                figures << QStringLiteral("%1 %2 (%3)").arg(e).arg(given, 0, 'g', 6).arg(printed);
                QVERIFY2(std::fabs(given - printed) <= 0.5001 * digit, e);
            }
        }
        const double dpH = out.pH - ref["pH"].toDouble();
        figures << QStringLiteral("pH %1 (%2, %3 runs)")
                       .arg(out.pH, 0, 'f', 4)
                       .arg(dpH, 0, 'f', 4)
                       .arg(out.trials);
        viewResult_spcn v;
        v.update_ui_resultMixedWater(batch, model.get());
        auto *t = child<QTableWidget>(&v, "tableWidget_minerals");
        const QStringList names = tableColumn(t, 0);
        QStringList beyond;
        for (const char *mineral : {"Calcite", "Dolomite", "Gypsum", "Halite"}) {
            const int r = int(names.indexOf(mineral));
            QVERIFY2(r >= 0, mineral);
            const double d
                = t->item(r, 3)->text().toDouble() - ref["saturation"][mineral].toDouble();
            figures << QStringLiteral("%1 SI %2 (%3)")
                           .arg(mineral, t->item(r, 3)->text())
                           .arg(d, 0, 'f', 3);
            if (!(std::fabs(d) <= 0.06))
                beyond << mineral;
        }
        qInfo().noquote() << QTest::currentDataTag() << figures.join("; ");
        QVERIFY2(std::fabs(dpH) <= pHTolerance, qPrintable(QString::number(dpH)));
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond.join(", ")));
    }

    void selfMixing_keepsPH()
    {
        for (const one_water *w : {sea, j13})
            for (double percent : {0.0, 12.5, 50.0, 73.7, 100.0}) {
                mix_calc::mixture m;
                mix_calc::speciation out;
                auto model = modelOf(w);
                QCOMPARE(mix_calc::mix(batch, w, w, percent, 100 - percent, std::nan(""), &m,
                                       &out.messages),
                         0);
                QCOMPARE(m.TC, w->TC);
                mix_calc::prepare_model(batch, model.get(), m);
                QVERIFY(mix_calc::speciate(batch, model.get(), m, &out) == 0);
                QVERIFY2(std::fabs(out.pH - w->results->resultpH) <= 1e-4,
                         qPrintable(w->name + QString::number(percent)));
            }
    }

    void titration_data()
    {
        QTest::addColumn<bool>("onpH");
        QTest::addColumn<double>("target");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("pH 7.5") << true << 7.5 << 0 << QString();
        QTest::newRow("pH 9 out of reach") << true << 9.0 << 0 << "gives pH 7.410 to 8.220";
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
        const mix_calc::titration t {onpH, target, QStringLiteral("Cl"),
                                     unit, target, std::nan("")};
        auto model = modelOf(sea);
        mix_calc::mixture m;
        mix_calc::speciation out;
        const int rc = mix_calc::titrate(batch, sea, j13, t, model.get(), &m, &out);
        qInfo().noquote() << QTest::currentDataTag() << out.messages.join(' ') << m.percent2
                          << "% water 2, pH" << out.pH;
        if (!refusal.isEmpty()) {
            QVERIFY(rc == 1 && !model->results);
            QVERIFY2(out.messages.join('\n').contains(refusal),
                     qPrintable(out.messages.join('\n')));
            return;
        }
        QVERIFY2(rc == 0 && model->results, qPrintable(out.messages.join('\n')));
        if (onpH)
            QVERIFY(std::fabs(out.pH - target) <= 0.005);
        for (const one_waterResult_element *e : model->results->soln_elem)
            if (e->element == "Cl" && !onpH)
                QCOMPARE(QString::number(unit == 1       ? e->cMolar
                                             : unit == 2 ? e->cppm
                                                         : e->cmolal,
                                         'g', 6),
                         QString::number(target, 'g', 6));
    }

    void window_mixingSavesAWaterKeptInTheFile()
    {
        SlotWarningGuard guard;
        QSettings().setValue("MIXMODEL/volume1", 33.398); // percents an older version kept
        QString path;
        {
            workspace_fixture f;
            enterSources(f, "mix.jsdb");
            path = f.sd()->file;
            QWidget *win = openWindow(f, "pushButton_SUMixing");
            QVERIFY(win);
            QCOMPARE(win->windowTitle(), QStringLiteral("Water Mixing Model"));
            QCOMPARE(openWindow(f, "pushButton_SUMixing"), win); // one window, set up again
            QVERIFY2(cutOffTexts(win).isEmpty(), qPrintable(cutOffTexts(win).join(", ")));
            QVERIFY(win->width() <= 1366 && win->height() <= 740
                    && unreachableControls(win).isEmpty());
            child<QComboBox>(win, "comboBox_water1")->setCurrentText("seawater");
            child<QComboBox>(win, "comboBox_water2")->setCurrentText("J13");
            // The percents start empty: passing through them refuses nothing, Run asks.
            win->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(win));
            for (const char *name : {"doubleSpinBox_volume1", "doubleSpinBox_volume2"}) {
                auto *box = child<QDoubleSpinBox>(win, name);
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Tab);
                QVERIFY(box->text().isEmpty() && !box->hasFocus() && !number_field::isRefused(box));
            }
            click(win, "pushButton_run");
            QVERIFY2(shown(win).contains("## volume %: enter the percent of water 1 or of water 2")
                         && !shown(win).contains("refused") && !shown(win).contains(">> model"),
                     qPrintable(shown(win)));
            typeInto(child<QDoubleSpinBox>(win, "doubleSpinBox_volume1"), "20");
            QCOMPARE(child<QDoubleSpinBox>(win, "doubleSpinBox_volume2")->value(), 80.0);
            click(win, "pushButton_run");
            QVERIFY2(shown(win).contains(">> model water: 20 % [ seawater ] + 80 % [ J13 ]"),
                     qPrintable(shown(win)));
            click(win, "pushButton_viewResult");

            // the name dialog refuses a name in use in another case, then takes a new one
            QString warned;
            onNextModal([&](QWidget *dialog) {
                warned = cutOffTexts(dialog).join(", ");
                typeInto(child<QLineEdit>(dialog, "lineEdit_name"), "SEAWATER");
                click(dialog, "pushButton_save");
                warned += dialog->isVisible() ? child<QLabel>(dialog, "label_warning")->text() : "";
                typeInto(child<QLineEdit>(dialog, "lineEdit_name"), "mix 20/80");
                click(dialog, "pushButton_save");
            });
            click(win, "pushButton_save");
            QVERIFY2(warned.startsWith("A water named \"seawater\" exists already"),
                     qPrintable(warned));
            QVERIFY(f.sd()->nwaters == 3 && f.w->unsaved_changes());
            QVERIFY(chooseItem(f, QStringLiteral("comboBox_waters"), "mix 20/80"));
            const one_water *model = f.sd()->waters.at(2);
            QVERIFY(model->statmixing && !model->stattitrate && model->mixdata);
            const double pH = model->pHspcn;
            // the workspace's own run of the saved water gives its pH
            QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
            QVERIFY(std::fabs(f.sd()->waters.at(2)->pHspcn - pH) <= 0.001);

            QStringList properties; // the water set manager lists it as a mixing model
            onNextModal([&](QWidget *mgr) {
                auto *t = child<QTableWidget>(mgr, "tableWidget_waters");
                const auto *item = t->item(int(tableColumn(t, 0).indexOf("mix 20/80")), 0);
                QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                                  t->visualItemRect(item).center());
                auto *data = child<QTableWidget>(mgr, "tableWidget_waterData");
                for (int r = 0; r < data->rowCount(); ++r)
                    properties << data->item(r, 0)->text() + "=" + data->item(r, 1)->text();
                click(mgr, "pushButton_cancel");
            });
            click(f.w, "pushButton_waterMgr");
            QVERIFY2(properties.contains("mixing model=true"), qPrintable(properties.join("; ")));

            BoxCatcher boxes;
            click(f.w, "pushButton_Save"); // the main window writes the file on this signal
            QCOMPARE(f.save(), 0);
            click(f.w, "pushButton_Close");
            QVERIFY(!win->isVisible() && boxes.texts.isEmpty());
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonValue doc = QJsonDocument::fromJson(file.readAll()).object();
        const QJsonObject mix = doc["waters"]["allwaters"]["mix 20/80"]["mix"].toObject();
        QCOMPARE(mix["statmixing"].toString(), QStringLiteral("1"));
        const QStringList expected {"namewaterone=seawater", "namewatertwo=J13", "volumeone=20",
                                    "volumetwo=80",          "targetTC=25",      "titrationph=0"};
        for (const QString &pair : expected)
            QCOMPARE(pair.section('=', 0, 0) + "="
                         + mix["mixdata"][pair.section('=', 0, 0)].toString(),
                     pair);
        workspace_fixture g;
        QVERIFY(g.enterOpen(path));
        const int k = g.batch->find_idxBatch_water("mix 20/80");
        QVERIFY(k >= 0 && g.sd()->waters.at(k)->mixdata);
        QCOMPARE(g.sd()->waters.at(k)->mixdata->namewatertwo, QStringLiteral("J13"));
        QCOMPARE(g.sd()->waters.at(k)->mixdata->volumeone, 20.0);
        QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
    }

    void window_titrationRefusalsAndVanishedWaters()
    {
        workspace_fixture f;
        enterSources(f, "titration.jsdb");
        QWidget *win = openWindow(f, "pushButton_SUTitration");
        QVERIFY(win);
        QCOMPARE(win->windowTitle(), QStringLiteral("Titration Model"));
        QCOMPARE(child<QLabel>(win, "label_heading")->text(),
                 QStringLiteral("Water Titration Model"));
        QVERIFY2(cutOffTexts(win).isEmpty(), qPrintable(cutOffTexts(win).join(", ")));
        QVERIFY(unreachableControls(win).isEmpty());
        QCOMPARE(child<QDoubleSpinBox>(win, "doubleSpinBox_volume2")->text(), QString());
        typeInto(child<QDoubleSpinBox>(win, "doubleSpinBox_targetpH"), "9");
        click(win, "pushButton_run");
        QVERIFY2(shown(win).contains("gives pH 7.410 to 8.220"), qPrintable(shown(win)));
        QVERIFY(!child<QPushButton>(win, "pushButton_save")->isEnabled() && f.sd()->nwaters == 2);

        pressIndicator(child<QRadioButton>(win, "radioButton_element"));
        child<QComboBox>(win, "comboBox_element")->setCurrentText("Cl");
        typeInto(child<QLineEdit>(win, "lineEdit_targetConcn"), "0.1097");
        click(win, "pushButton_run");
        QVERIFY(child<QPushButton>(win, "pushButton_save")->isEnabled());
        // the volumes found are shown where the user reads a mixture's volumes
        QVERIFY(qAbs(child<QDoubleSpinBox>(win, "doubleSpinBox_volume2")->text().toDouble() - 80.0)
                < 0.01);
        onNextModal([&](QWidget *dialog) { click(dialog, "pushButton_save"); });
        click(win, "pushButton_save");
        QCOMPARE(f.sd()->nwaters, 3);
        const one_water *model = f.sd()->waters.at(2);
        QCOMPARE(model->name, QStringLiteral("seawater dupl1"));
        QVERIFY(model->stattitrate && !model->mixdata->titrationph);
        QCOMPARE(QString::number(totalOf(model->results, "Cl"), 'g', 6), QStringLiteral("0.1097"));

        // a water that leaves the configuration after the run: nothing is saved
        click(win, "pushButton_run");
        f.sd()->waters.removeAt(1);
        f.sd()->nwaters = 2;
        click(win, "pushButton_save");
        QVERIFY(shown(win).contains("Nothing was saved") && f.sd()->nwaters == 2);
        click(win, "pushButton_run");
        QVERIFY(shown(win).contains("[ J13 ] is no longer in the configuration"));
        QVERIFY(!child<QPushButton>(win, "pushButton_save")->isEnabled());

        // Mixing asks for its percents anew; 0, what an empty box holds, still counts.
        QCOMPARE(openWindow(f, "pushButton_SUMixing"), win);
        typeInto(child<QDoubleSpinBox>(win, "doubleSpinBox_volume2"), "0");
        QCOMPARE(child<QDoubleSpinBox>(win, "doubleSpinBox_volume1")->text(), "100.000");
        click(win, "pushButton_close");
        QVERIFY(!win->isVisible());
    }
};

QTEST_MAIN(tst_models)
#include "tst_models.moc"
