// Solution properties of a water: values refused outside their limits, a density
// change that keeps what the user typed, alkalinity, activity models, the charge
// balance, and the run status and unsaved-changes state after each edit.

#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_press.h"
#include "test_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

QString scratch(const QString &name)
{
    return QDir(vek7TestScratchDir()).filePath(name);
}

template<class T>
T *in(const workspace_fixture &f, const QString &name)
{
    return f.w->findChild<T *>(name);
}

/// Brings up the Solution Properties tab with a click on it.
void showPropsTab(workspace_fixture &f)
{
    QTabBar *bar = in<QTabWidget>(f, "tabWidget_Setup")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
}

/// Types over a property field and presses Return.
void typeField(const workspace_fixture &f, const QString &name, const QString &text)
{
    auto *field = in<QLineEdit>(f, name);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QString status(const workspace_fixture &f)
{
    return in<QLineEdit>(f, "lineEdit_spcnStat")->text();
}

one_water *current(const workspace_fixture &f)
{
    return f.sd()->waters.at(f.sd()->currentWater);
}

/// A new configuration holding C and Ca, its water page shown.
void enterSmall(workspace_fixture &f, const QString &file)
{
    QVERIFY(f.enterNew(scratch(file)));
    f.addElementDirect("C");
    f.addElementDirect("Ca");
    showWaterPage(f);
    showPropsTab(f);
}

bool itemEnabled(QComboBox *combo, int k)
{
    return qobject_cast<QStandardItemModel *>(combo->model())->item(k)->isEnabled();
}

} // namespace

class tst_setup_solnprops : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void fields_acceptOnlyValuesWithinLimits_data();
    void fields_acceptOnlyValuesWithinLimits();
    void density_keepsTypedHydrogen_data();
    void density_keepsTypedHydrogen();
    void j13_alkalinityAndDensity();
    void activityModels_everyEnabledOneRuns();
    void chargeBalance_choosesElementRow();
    void editAfterSave_isUnsaved();
    void oxygenGasTypeKey_inItsOwnRow();
};

void tst_setup_solnprops::fields_acceptOnlyValuesWithinLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    const QString tc = "lineEdit_temperature", d = "lineEdit_massDensity",
                  alk = "lineEdit_alkalinity";
    const QString tcBad = "simulation temperature: value [ %1 ] entered is incorrect.";
    const QString dBad = "water mass density: value [ %1 ] entered is incorrect.";
    const QString alkBad = "alkalinity must be a positive real number.";
    QTest::newRow("T 0") << tc << "0" << tcBad.arg(0);
    QTest::newRow("T 300") << tc << "300" << tcBad.arg(300);
    QTest::newRow("T text") << tc << "warm" << tcBad.arg(0);
    QTest::newRow("T inf") << tc << "inf" << tcBad.arg("inf");
    QTest::newRow("T 0.01") << tc << "0.01" << QString();
    QTest::newRow("T 299") << tc << "299" << QString();
    QTest::newRow("d 55") << d << "55" << dBad.arg(55);
    QTest::newRow("d nan") << d << "nan" << dBad.arg("nan");
    QTest::newRow("d -1") << d << "-1" << dBad.arg(-1);
    QTest::newRow("d 54.9") << d << "54.9" << QString();
    QTest::newRow("alk 0") << alk << "0" << alkBad;
    QTest::newRow("alk text") << alk << "lots" << alkBad;
    QTest::newRow("alk inf") << alk << "inf" << alkBad;
    QTest::newRow("alk 2e-3") << alk << "0.002" << QString();
}

void tst_setup_solnprops::fields_acceptOnlyValuesWithinLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    workspace_fixture f;
    enterSmall(f, "limits.jsdb");
    pressIndicator(in<QCheckBox>(f, "checkBox_alkalinity"));
    one_water *w = current(f);
    w->alkmolal = w->alkMolar = 0.001;
    double *stored = field.contains("temp") ? &w->TC
        : field.contains("Density")         ? &w->densitymass
                                            : &w->alkmolal;
    const double before = *stored;
    typeField(f, field, text);
    if (refusal.isEmpty()) {
        QCOMPARE(*stored, text.toDouble());
        QVERIFY(f.w->unsaved_changes());
    } else {
        QCOMPARE(*stored, before);
        QCOMPARE(in<QLineEdit>(f, field)->text(), QString::number(before, 'g', 6));
        QVERIFY2(f.messages().contains(refusal), qPrintable(f.messages()));
    }
}

void tst_setup_solnprops::density_keepsTypedHydrogen_data()
{
    QTest::addColumn<int>("form"); // 1 pH, 0 [H+]
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("typed");
    QTest::newRow("pH") << 1 << "molal"
                        << "7";
    QTest::newRow("[H+] molal") << 0 << "molal"
                                << "2e-07";
    QTest::newRow("[H+] Molar") << 0 << "Molar"
                                << "3e-07";
}

void tst_setup_solnprops::density_keepsTypedHydrogen()
{
    QFETCH(int, form);
    QFETCH(QString, unit);
    QFETCH(QString, typed);
    workspace_fixture f;
    enterSmall(f, "density.jsdb");
    showWaterPage(f);
    QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
    QTableWidget *h = waterTable(f, "tableWidgetWaters_element_H");
    qobject_cast<QComboBox *>(h->cellWidget(0, 0))->setCurrentIndex(form);
    QVERIFY(typeAmount(h, 0, typed));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal"));
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"), "0.001"));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
    const one_elementComp *ca = current(f)->composition.at(f.w->find_idxElement_waterComp(0, "Ca"));
    const double ppm = ca->ppm;
    showPropsTab(f);
    typeField(f, "lineEdit_massDensity", "1.1");
    QCOMPARE(current(f)->densitymass, 1.1);
    QVERIFY2(qAbs(amountShown(h, 0) / typed.toDouble() - 1.0) < 1e-12,
             qPrintable(QString::number(amountShown(h, 0))));
    QCOMPARE(ca->molal, 0.001);
    QVERIFY(qAbs(ca->Molar - 0.0011) < 1e-15);
    QCOMPARE(ca->ppm, ppm);
}

void tst_setup_solnprops::j13_alkalinityAndDensity()
{
    workspace_fixture f;
    enterJ13(f, scratch("alk.jsdb"));
    showPropsTab(f);
    pressIndicator(in<QCheckBox>(f, "checkBox_alkalinity"));
    pressIndicator(in<QRadioButton>(f, "radioButton_alkalinityCarb"));
    QVERIFY(chooseItem(f, "comboBox_alkalinityUnit", "molal"));
    typeField(f, "lineEdit_alkalinity", "0.002136");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    // Every alkalinity edit makes the result stale.
    typeField(f, "lineEdit_alkalinity", "0.002135");
    QCOMPARE(status(f), QString());
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    for (const one_waterResult_element *e : current(f)->results->soln_elem)
        if (e->element == "C")
            QVERIFY2(qAbs(e->cmolal / 0.00230 - 1.0) < 0.03,
                     qPrintable(QString::number(e->cmolal)));

    typeField(f, "lineEdit_massDensity", "1.1");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    QVERIFY(qAbs(current(f)->pHspcn - 7.41) < 1e-6);
    QVERIFY(chooseItem(f, "comboBox_alkalinityUnit", "Molar"));
    QCOMPARE(in<QLineEdit>(f, "lineEdit_alkalinity")->text(),
             QString::number(0.002135 * 1.1, 'g', 6));
}

void tst_setup_solnprops::activityModels_everyEnabledOneRuns()
{
    workspace_fixture f;
    enterJ13(f, scratch("models.jsdb"));
    showPropsTab(f);
    auto *solutes = in<QComboBox>(f, "comboBox_acSolutes");
    auto *water = in<QComboBox>(f, "comboBox_acWater");
    QCOMPARE(solutes->count(), 5);
    QCOMPARE(water->count(), 3);
    QVERIFY(!itemEnabled(solutes, 2));
    for (QComboBox *combo : {solutes, water}) {
        for (int k = combo->count() - 1; k >= 0; --k) {
            if (!itemEnabled(combo, k) || combo->currentIndex() == k)
                continue;
            QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
            combo->setCurrentIndex(k);
            QCOMPARE(status(f), QString());
            QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
        }
    }
    // B-dot belongs to the database type that supplies its data.
    f.sd()->dbtype = 1;
    f.w->accumulate_list_acSolutes();
    f.w->accumulate_list_acWater();
    QVERIFY(!itemEnabled(solutes, 4) && !itemEnabled(water, 2) && itemEnabled(solutes, 3));
}

void tst_setup_solnprops::chargeBalance_choosesElementRow()
{
    workspace_fixture f;
    enterSmall(f, "charge.jsdb");
    auto *box = in<QCheckBox>(f, "checkBox_chargeBalance");
    auto *combo = in<QComboBox>(f, "comboBox_chargeBalance");
    pressIndicator(box);
    QVERIFY(combo->isEnabled() && combo->findText("Ca++") > 0);
    combo->setCurrentIndex(combo->findText("Ca++"));
    QCOMPARE(current(f)->chargebalanceElem, QString("Ca"));
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QCOMPARE(t->item(elementRow(f, "Ca"), 1)->foreground().color(), QColor(Qt::red));
    QCOMPARE(t->item(elementRow(f, "C"), 1)->foreground().color(), QColor(Qt::black));
    pressIndicator(box);
    pressIndicator(box);
    QCOMPARE(combo->currentText(), QString("Ca++"));
    QVERIFY(current(f)->chargebalance);
}

void tst_setup_solnprops::editAfterSave_isUnsaved()
{
    workspace_fixture f;
    enterSmall(f, "saved.jsdb");
    typeField(f, "lineEdit_temperature", "30");
    QTest::mouseClick(in<QPushButton>(f, "pushButton_Save"), Qt::LeftButton);
    QVERIFY(!f.w->unsaved_changes());
    typeField(f, "lineEdit_temperature", "35");
    QVERIFY(f.w->unsaved_changes());
    BoxCatcher boxes;
    QTest::mouseClick(in<QPushButton>(f, "pushButton_Close"), Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 1);
}

void tst_setup_solnprops::oxygenGasTypeKey_inItsOwnRow()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("o2.jsdb"), true));
    pickElement(f, "fe", "Fe", true);
    pickElement(f, "cl", "Cl");
    showWaterPage(f);
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Fe"), "1e-5"));
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Cl"), "2e-5"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    const QStringList names = f.soluteNames(), types = f.soluteTypes();
    const QString o2Key = types.at(names.indexOf("O2(g)"));
    QTableWidget *th = waterTable(f, "tableWidgetWaters_solutes_H");
    QVERIFY(th->rowCount() == 2 && th->item(1, 2));
    QCOMPARE(th->item(1, 0)->text(), QString("O2(g)"));
    QCOMPARE(th->item(1, 2)->text(), o2Key);
    QTableWidget *t = waterTable(f, "tableWidgetWaters_solutes");
    for (int row = 0; row < t->rowCount(); ++row)
        QCOMPARE(t->item(row, 2)->text(), types.at(names.indexOf(t->item(row, 0)->text())));
}

QTEST_MAIN(tst_setup_solnprops)
#include "tst_setup_solnprops.moc"
