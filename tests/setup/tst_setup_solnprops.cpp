// Solution properties and the water set manager: values refused outside their
// limits, a density change that keeps what the user typed, alkalinity, activity
// models, the charge balance, the run status and unsaved-changes state after edits;
// copies of waters, and the manager as a user works it from the workspace.

#include "copy_struct.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_press.h"
#include "test_ui.h"
#include "water_manager.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <cmath>
#include <memory>

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
    void duplicate_namesCopy_data();
    void duplicate_namesCopy();
    void duplicate_editCopyAndRun_sourceKept();
    void rename_add_cancel();
    void newWater_amountsFollowMolal_data();
    void newWater_amountsFollowMolal();
    void sortOrRemove_clearsSelection_data();
    void sortOrRemove_clearsSelection();
    void close_withManagerOpen();
    void status_readableWithReasonWhereTyped_data();
    void status_readableWithReasonWhereTyped();

private:
    template<class T>
    static T *in(const QObject *o, const char *name)
    {
        return o->findChild<T *>(name);
    }
    static void press(QWidget *dlg, const char *name)
    {
        QTest::mouseClick(in<QPushButton>(dlg, name), Qt::LeftButton);
    }
    static QStringList rows(QWidget *dlg)
    {
        return tableColumn(in<QTableWidget>(dlg, "tableWidget_waters"), 0);
    }
    /// The value the manager's properties table shows beside `key`.
    static QString shown(QWidget *dlg, const QString &key)
    {
        auto *t = in<QTableWidget>(dlg, "tableWidget_waterData");
        return tableColumn(t, 1).value(tableColumn(t, 0).indexOf(key));
    }
    static bool itemEnabled(QComboBox *c, int k)
    {
        return qobject_cast<QStandardItemModel *>(c->model())->item(k)->isEnabled();
    }

    /// Brings up the Solution Properties tab with a click on it.
    static void showPropsTab(workspace_fixture &f) { showTab(f.w, 2); }
    /// Types into a field of the tab it sits on, then returns to the water page;
    /// the text the field showed before leaving.
    static QString typeField(workspace_fixture &f, const char *name, const QString &text)
    {
        auto *field = in<QLineEdit>(f.w, name);
        if (!field->isVisible())
            showPropsTab(f);
        typeOver(field, text);
        const QString shown = field->text();
        showWaterPage(f);
        return shown;
    }
    /// Chooses a model on the Solution Properties tab, then returns to the water page.
    static void chooseModel(workspace_fixture &f, QComboBox *combo, int k)
    {
        showPropsTab(f);
        combo->setCurrentIndex(k);
        showWaterPage(f);
    }
    /// A new configuration holding C and Ca, its water page shown.
    static void enterSmall(workspace_fixture &f, const QString &file)
    {
        QVERIFY(f.enterNew(scratch(file)));
        f.addElementDirect("C");
        f.addElementDirect("Ca");
        showWaterPage(f);
    }
    /// The waters the workspace lists.
    static QStringList listed(const workspace_fixture &f)
    {
        QStringList names;
        for (int i = 0; i < in<QComboBox>(f.w, "comboBox_waters")->count(); ++i)
            names << in<QComboBox>(f.w, "comboBox_waters")->itemText(i);
        return names;
    }
};

void tst_setup_solnprops::fields_acceptOnlyValuesWithinLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    const QString tc = "lineEdit_temperature", d = "lineEdit_massDensity",
                  alk = "lineEdit_alkalinity";
    const QString tcBad = "##  simulation temperature: value [ %1 ] entered is incorrect.";
    const QString dBad = "##  water mass density: value [ %1 ] entered is incorrect.";
    const QString alkBad = "##  alkalinity: value [ %1 ] entered is incorrect.";
    QTest::newRow("T 0.99") << tc << "0.99" << tcBad.arg(0.99);
    QTest::newRow("T 300.01") << tc << "300.01" << tcBad.arg(300.01);
    QTest::newRow("T text") << tc << "warm" << tcBad.arg("warm");
    QTest::newRow("T inf") << tc << "inf" << tcBad.arg("inf");
    QTest::newRow("T 1") << tc << "1" << QString();
    QTest::newRow("T 300") << tc << "300" << QString();
    QTest::newRow("d 55") << d << "55" << dBad.arg(55);
    QTest::newRow("d nan") << d << "nan" << dBad.arg("nan");
    QTest::newRow("d -1") << d << "-1" << dBad.arg(-1);
    QTest::newRow("d 54.9") << d << "54.9" << QString();
    QTest::newRow("alk 0") << alk << "0" << alkBad.arg(0);
    QTest::newRow("alk text") << alk << "lots" << alkBad.arg("lots");
    QTest::newRow("alk inf") << alk << "inf" << alkBad.arg("inf");
    QTest::newRow("alk 2e-3") << alk << "0.002" << QString();
    // Typed again as stored, a value is no edit: a result stays current.
    QTest::newRow("T as stored") << tc << "25"
                                 << "no edit";
    QTest::newRow("d as stored") << d << "1"
                                 << "no edit";
    QTest::newRow("alk as stored") << alk << "0.001"
                                   << "no edit";
    QTest::newRow("alk untouched, Return") << alk << QString() << "no edit";
}

void tst_setup_solnprops::fields_acceptOnlyValuesWithinLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    workspace_fixture f;
    enterSmall(f, "limits.jsdb");
    pressIndicator(in<QCheckBox>(f.w, "checkBox_alkalinity"));
    one_water *w = currentWater(f);
    w->alkmolal = w->alkMolar = 0.001;
    double *stored = field.contains("temp") ? &w->TC
        : field.contains("Density")         ? &w->densitymass
                                            : &w->alkmolal;
    const double before = *stored;
    connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
    QVERIFY(refusal != "no edit" || (takeStep(f, "save") && !f.w->unsaved_changes()));
    QVERIFY(!text.isEmpty() || takeStep(f, "tabs")); // the field shows the value stored
    // Nothing moves under the pointer where nothing changed.
    const QWidget *view = in<QWidget>(f.w, "pushButton_viewResult");
    QApplication::processEvents(); // the layout, asked anew
    const QPoint placed = view->mapTo(f.w, QPoint());
    if (auto *edit = in<QLineEdit>(f.w, qPrintable(field)); text.isEmpty()) {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    const QString shown = text.isEmpty() ? text : typeField(f, qPrintable(field), text);
    if (refusal == "no edit") {
        QVERIFY(!f.w->unsaved_changes() && *stored == before);
        QApplication::processEvents();
        QCOMPARE(view->mapTo(f.w, QPoint()), placed);
    } else if (refusal.isEmpty()) {
        QCOMPARE(*stored, text.toDouble());
        QVERIFY(f.w->unsaved_changes());
    } else {
        QCOMPARE(*stored, before);
        // The refused text stays as typed, for the user to correct.
        QCOMPARE(shown, text);
        QVERIFY2(f.messages().contains(refusal), qPrintable(f.messages()));
    }
}

void tst_setup_solnprops::density_keepsTypedHydrogen_data()
{
    QTest::addColumn<int>("form"); // 1 pH, 0 [H+]
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("typed");
    QTest::addColumn<QString>("pH"); // -log10 of the Molar amount at 1.1 g/cc
    QTest::newRow("pH") << 1 << "molal" << 6.5 << "6.5";
    QTest::newRow("[H+] molal") << 0 << "molal" << 2e-7 << "6.65758";
    QTest::newRow("[H+] Molar") << 0 << "Molar" << 3e-7 << "6.52288";
}

void tst_setup_solnprops::density_keepsTypedHydrogen()
{
    QFETCH(int, form);
    QFETCH(QString, unit);
    QFETCH(double, typed);
    QFETCH(QString, pH);
    workspace_fixture f;
    enterSmall(f, "density.jsdb");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
    QTableWidget *h = waterTable(f, "tableWidgetWaters_element_H");
    qobject_cast<QComboBox *>(h->cellWidget(0, 0))->setCurrentIndex(form);
    QVERIFY(typeAmount(h, 0, QString::number(typed)));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal"));
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"), "0.001"));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
    const one_elementComp *ca = entryOf(f, "Ca");
    const double ppm = ca->ppm;
    typeField(f, "lineEdit_massDensity", "1.1");
    QCOMPARE(currentWater(f)->densitymass, 1.1);
    QVERIFY(qAbs(amountShown(h, 0) / typed - 1.0) < 1e-12);
    QCOMPARE(ca->molal, 0.001);
    QVERIFY(qAbs(ca->Molar - 0.0011) < 1e-15);
    QCOMPARE(ca->ppm, ppm);
    // Before a run the water set manager gives the pH of the hydrogen amount.
    QString managerpH;
    runWaterManager(f.w, [&managerpH](QWidget *dlg) {
        clickWaterRow(dlg, "water-default");
        managerpH = shown(dlg, "water pH");
        press(dlg, "pushButton_cancel");
    });
    QCOMPARE(managerpH, pH);
}

void tst_setup_solnprops::j13_alkalinityAndDensity()
{
    workspace_fixture f;
    enterJ13(f, scratch("alk.jsdb"));
    pressIndicator(in<QCheckBox>(f.w, "checkBox_alkalinity"));
    pressIndicator(in<QRadioButton>(f.w, "radioButton_alkalinityCarb"));
    QVERIFY(chooseItem(f, "comboBox_alkalinityUnit", "molal"));
    typeField(f, "lineEdit_alkalinity", "0.002136");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    // Every alkalinity edit makes the result stale.
    typeField(f, "lineEdit_alkalinity", "0.002135");
    QVERIFY(in<QLineEdit>(f.w, "lineEdit_spcnStat")->text().isEmpty());
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    for (const one_waterResult_element *e : currentWater(f)->results->soln_elem)
        if (e->element == "C")
            QVERIFY2(qAbs(e->cmolal / 0.00230 - 1.0) < 0.03,
                     qPrintable(QString::number(e->cmolal)));

    typeField(f, "lineEdit_massDensity", "1.1");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    QVERIFY(qAbs(currentWater(f)->pHspcn - 7.41) < 1e-6);
    QVERIFY(chooseItem(f, "comboBox_alkalinityUnit", "Molar"));
    QCOMPARE(in<QLineEdit>(f.w, "lineEdit_alkalinity")->text(),
             QString::number(0.002135 * 1.1, 'g', 6));
}

void tst_setup_solnprops::activityModels_everyEnabledOneRuns()
{
    workspace_fixture f;
    enterJ13(f, scratch("models.jsdb"));
    auto *solutes = in<QComboBox>(f.w, "comboBox_acSolutes");
    auto *water = in<QComboBox>(f.w, "comboBox_acWater");
    QVERIFY(solutes->count() == 5 && water->count() == 3 && !itemEnabled(solutes, 2));
    for (QComboBox *combo : {solutes, water}) {
        for (int k = combo->count() - 1; k >= 0; --k) {
            if (!itemEnabled(combo, k) || combo->currentIndex() == k)
                continue;
            QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
            chooseModel(f, combo, k);
            QVERIFY(in<QLineEdit>(f.w, "lineEdit_spcnStat")->text().isEmpty());
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
    auto *box = in<QCheckBox>(f.w, "checkBox_chargeBalance");
    auto *combo = in<QComboBox>(f.w, "comboBox_chargeBalance");
    pressIndicator(box);
    QVERIFY(combo->isEnabled() && combo->findText("Ca++") > 0);
    combo->setCurrentIndex(combo->findText("Ca++"));
    QCOMPARE(currentWater(f)->chargebalanceElem, QString("Ca"));
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QCOMPARE(t->item(elementRow(f, "Ca"), 1)->foreground().color(), QColor(Qt::red));
    QCOMPARE(t->item(elementRow(f, "C"), 1)->foreground().color(), QColor(Qt::black));
    pressIndicator(box);
    pressIndicator(box);
    QVERIFY(combo->currentText() == "Ca++" && currentWater(f)->chargebalance);
}

void tst_setup_solnprops::editAfterSave_isUnsaved()
{
    workspace_fixture f;
    enterSmall(f, "saved.jsdb");
    typeField(f, "lineEdit_temperature", "30");
    press(f.w, "pushButton_Save");
    QVERIFY(!f.w->unsaved_changes());
    typeField(f, "lineEdit_temperature", "35");
    QVERIFY(f.w->unsaved_changes());
    // A unit chosen is saved with the water, so choosing one is a change too.
    for (const char *list : {"comboBox_elementUnits", "comboBox_concnUnits"}) {
        press(f.w, "pushButton_Save");
        QComboBox *units = in<QComboBox>(f.w, list);
        QVERIFY(chooseItem(units, units->itemText((units->currentIndex() + 1) % units->count())));
        QVERIFY2(f.w->unsaved_changes(), list);
    }
    BoxCatcher boxes;
    press(f.w, "pushButton_Close");
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
    QTableWidget *th = waterTable(f, "tableWidgetWaters_solutes_H");
    QVERIFY(th->rowCount() == 2 && th->item(1, 2) && th->item(1, 0)->text() == "O2(g)");
    QCOMPARE(th->item(1, 2)->text(), types.at(names.indexOf("O2(g)")));
    QTableWidget *t = waterTable(f, "tableWidgetWaters_solutes");
    for (int row = 0; row < t->rowCount(); ++row)
        QCOMPARE(t->item(row, 2)->text(), types.at(names.indexOf(t->item(row, 0)->text())));
    // A water just added uses the redox reactions as soon as it is listed.
    QString redox;
    runWaterManager(f.w, [&redox](QWidget *dlg) {
        press(dlg, "pushButton_add");
        clickWaterRow(dlg, "new water 0");
        redox = shown(dlg, "redox reactions");
        press(dlg, "pushButton_cancel");
    });
    QCOMPARE(redox, QStringLiteral("used"));
}

void tst_setup_solnprops::duplicate_namesCopy_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("copy");
    QTest::newRow("first") << QStringList {"brine"} << 0 << "brine dupl1";
    QTest::newRow("second") << QStringList {"brine", "brine dupl1"} << 0 << "brine dupl2";
    QTest::newRow("of a copy") << QStringList {"brine", "brine dupl1"} << 1 << "brine dupl1 dupl1";
    QTest::newRow("other case") << QStringList {"brine", "BRINE DUPL1"} << 0 << "brine dupl2";
}

void tst_setup_solnprops::duplicate_namesCopy()
{
    QFETCH(QStringList, names);
    QFETCH(int, source);
    QFETCH(QString, copy);
    sbatch b;
    for (const QString &name : names) {
        one_water *w = b.sdata->own(b.simData_init_water());
        w->name = name;
        w->description = "first note";
        w->composition << b.setup_one_elementComp("Ca");
        b.sdata->waters << w;
    }
    // Used without being shown, as the mixing window does.
    SlotWarningGuard guard;
    water_manager mgr(&b);
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join("\n")));
    const one_water *src = b.sdata->waters.at(source);
    std::unique_ptr<one_water> dup(mgr.duplicate_water(src));
    QCOMPARE(dup->name, copy);
    QVERIFY(dup->description.startsWith("-----"));
    QVERIFY(dup->description.contains("duplicated from " + src->name + "\nfirst note"));
    QVERIFY(qAbs(dup->date_utc - QDateTime::currentSecsSinceEpoch()) < 60);
    QVERIFY(dup->composition.first() != src->composition.first());
}

void tst_setup_solnprops::duplicate_editCopyAndRun_sourceKept()
{
    workspace_fixture f;
    const QString path = scratch("dupl.jsdb");
    enterJ13(f, path, "J-13");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
    runWaterManager(f.w, [](QWidget *dlg) {
        clickWaterRow(dlg, "J-13");
        press(dlg, "pushButton_duplicate");
        QCOMPARE(rows(dlg), QStringList({"J-13", "J-13 dupl1", "B"}));
        press(dlg, "pushButton_save");
    });
    QCOMPARE(listed(f), QStringList({"J-13", "J-13 dupl1", "B"}));
    QVERIFY(countsMismatch(f.sd()).isEmpty() && !f.w->unsaved_changes());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("\"J-13 dupl1\""));

    one_water *a = f.sd()->waters.at(0);
    const one_water_result *result = a->results;
    const double pH = a->pHspcn;
    QVERIFY(chooseItem(f, "comboBox_waters", "J-13 dupl1"));
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"), "20"));
    typeField(f, "lineEdit_temperature", "40");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    const one_water *dup = f.sd()->waters.at(1);
    QCOMPARE(dup->results->TC, 40.0);
    QCOMPARE(dup->composition.at(f.w->find_idxElement_waterComp(1, "Ca"))->ppm, 20.0);
    QCOMPARE(a->TC, 25.0);
    QCOMPARE(a->composition.at(f.w->find_idxElement_waterComp(0, "Ca"))->ppm, 13.0);
    QVERIFY(a->results == result && a->pHspcn == pH);
}

void tst_setup_solnprops::rename_add_cancel()
{
    workspace_fixture f;
    enterJ13(f, scratch("names.jsdb"), "J-13");
    runWaterManager(f.w, [](QWidget *dlg) {
        auto *save = in<QPushButton>(dlg, "pushButton_saveName");
        auto *name = in<QLineEdit>(dlg, "lineEdit_waterName");
        QVERIFY2(cutOffTexts(dlg).isEmpty(), qPrintable(cutOffTexts(dlg).join(", ")));
        QVERIFY(dlg->frameGeometry().width() <= 1366 && dlg->frameGeometry().height() <= 768);
        clickWaterRow(dlg, "B");
        const QList<QPair<QString, QString>> refused {{"j-13", "Water [ J-13 ] has this name"},
                                                      {"J-13 ", "Water [ J-13 ] has this name"},
                                                      {"   ", "A water needs a name."},
                                                      {"B", ""}}; // its own name: no reason
        for (const auto &[taken, why] : refused) {
            typeOver(name, taken);
            QVERIFY2(!save->isEnabled(), qPrintable(taken));
            // The list keeps the name until a rename is accepted; a refusal says why.
            QCOMPARE(rows(dlg), QStringList({"J-13", "B"}));
            auto *reason = in<QLabel>(dlg, "label_nameRefused");
            QVERIFY2(reason
                         && (why.isEmpty() ? !reason->isVisible()
                                           : reason->isVisible() && reason->text().startsWith(why)),
                     qPrintable(taken));
        }
        typeOver(name, "Brine", false);
        QVERIFY(save->isEnabled());
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(!save->isEnabled());
        QCOMPARE(shown(dlg, "General Info"), QString("Brine"));
        press(dlg, "pushButton_add");
        QCOMPARE(shown(dlg, "water pH"), QString("7")); // of its hydrogen amount, 1e-7
        press(dlg, "pushButton_add");
        QCOMPARE(rows(dlg), QStringList({"J-13", "Brine", "new water 0", "new water 1"}));
        press(dlg, "pushButton_cancel");
    });
    // The rename stays (the record is shared); the added waters are dropped.
    QCOMPARE(listed(f), QStringList({"J-13", "Brine"}));
    QVERIFY(f.messages().contains("##  water manager results not saved."));
    QVERIFY(f.w->unsaved_changes()); // the rename is not in the file yet
    QVERIFY(!QSettings().value("CTRLSETTINGS/geometry").toByteArray().isEmpty());
    for (const QString &name : listed(f)) {
        QVERIFY(chooseItem(f, "comboBox_waters", name));
        QCOMPARE(currentWater(f)->name, name);
        QVERIFY2(!pressRun(f).isEmpty(), qPrintable(name));
    }
}

void tst_setup_solnprops::newWater_amountsFollowMolal_data()
{
    addTextRows({"button", "made"},
                {{"Add", "pushButton_add", "new water 0"},
                 {"Duplicate", "pushButton_duplicate", "water-default dupl1"}});
}

void tst_setup_solnprops::newWater_amountsFollowMolal()
{
    QFETCH(QString, button);
    QFETCH(QString, made);
    workspace_fixture f;
    enterSmall(f, "amounts.jsdb");
    connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
    // The source holds 1e-4 molal Ca with the 1 ppm files saved by the fault carry.
    one_elementComp *ca = entryOf(f, "Ca");
    QCOMPARE(ca->molal, 1e-4);
    ca->ppm = 1.0;
    runWaterManager(f.w, [&button](QWidget *dlg) {
        clickWaterRow(dlg, "water-default");
        press(dlg, qPrintable(button));
        press(dlg, "pushButton_save");
    });
    QVERIFY(chooseItem(f, "comboBox_waters", made));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
    const double ppm
        = amountShown(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"));
    QVERIFY2(qAbs(ppm - 4.0078) < 1e-9, qPrintable(QString::number(ppm, 'g', 12)));
    QFile file(f.sd()->file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonValue doc = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue e : doc["waters"]["allwaters"][made]["composition"].toArray())
        if (e["element"] == "Ca") // numbers are written as texts
            QCOMPARE(e["ppm"].toString().toDouble(), ppm);
}

void tst_setup_solnprops::sortOrRemove_clearsSelection_data()
{
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("sort") << true << QStringList {"B", "water-default"};
    QTest::newRow("remove") << false << QStringList {"water-default"};
}

void tst_setup_solnprops::sortOrRemove_clearsSelection()
{
    QFETCH(bool, sort);
    QFETCH(QStringList, after);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("sort.jsdb"), false, true, [](sim_data *cfg) {
        one_water *b = cfg->own(copy_struct().copy_water(cfg->waters.first()));
        b->name = "B";
        cfg->waters << b;
    }));
    runWaterManager(f.w, [sort, after](QWidget *dlg) {
        clickWaterRow(dlg, "B");
        typeOver(in<QLineEdit>(dlg, "lineEdit_waterName"), "C", false);
        if (sort)
            in<QComboBox>(dlg, "comboBox_sort")->setCurrentIndex(1);
        else
            press(dlg, "pushButton_remove");
        QCOMPARE(rows(dlg), after);
        QCOMPARE(in<QComboBox>(dlg, "comboBox_sort")->currentIndex(), 0);
        QCOMPARE(in<QLineEdit>(dlg, "lineEdit_waterName")->text(), QString());
        QVERIFY(!in<QLineEdit>(dlg, "lineEdit_waterName")->isEnabled());
        QVERIFY(!in<QPushButton>(dlg, "pushButton_saveName")->isEnabled());
        if (!sort) { // the last water is never removed
            clickWaterRow(dlg, "water-default");
            press(dlg, "pushButton_remove");
            QCOMPARE(rows(dlg), after);
        }
        press(dlg, "pushButton_cancel");
    });
    QCOMPARE(listed(f), QStringList({"water-default", "B"}));
    runWaterManager(f.w, [](QWidget *dlg) {
        in<QComboBox>(dlg, "comboBox_sort")->setCurrentIndex(1);
        press(dlg, "pushButton_save");
    });
    QCOMPARE(listed(f), QStringList({"B", "water-default"}));
}

void tst_setup_solnprops::close_withManagerOpen()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("close.jsdb")));
    QSignalSpy closed(f.w, &setup::signal_setup_close);
    BoxCatcher boxes;
    runWaterManager(f.w, [&f](QWidget *dlg) {
        press(dlg, "pushButton_add");
        for (QAction *act : f.w->findChildren<QAction *>())
            if (act->text() == "Close")
                act->trigger();
    });
    QVERIFY(closed.count() == 1 && boxes.texts.size() == 1 && boxes.texts.first().contains("SAVE"));
    QCOMPARE(f.w->findChild<water_manager *>(), nullptr);
    QCOMPARE(listed(f), QStringList({"water-default"}));
}

namespace {

/// WCAG 2 contrast of two sRGB colours.
double contrast(const QColor &a, const QColor &b)
{
    const auto lum = [](const QColor &c) {
        const auto lin = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

} // namespace

void tst_setup_solnprops::status_readableWithReasonWhereTyped_data()
{
    // "props": what the Solution Properties line shows: its newest refused field, else
    // nothing while another tab's entry is refused, else what the line under Run shows.
    const QString hot = "simulation temperature: value [ 400 ] entered is incorrect.";
    const QString dense = "water mass density: value [ 60 ] entered is incorrect.";
    // clang-format off
    addTextRows({"act", "status", "reason", "props"}, {
        {"T refused", "T", "", hot, hot},
        {"T refused, then a cell", "T cell", "", hot, hot},
        {"T, then the density refused", "T D", "", dense, dense},
        {"a cell refused", "cell", "", "correct the refused entry first: Ca amount [ 1,5 ]", ""},
        {"check", "check", "Config ERR", "temperature: current value is less than 1 degrees C", "temperature: current value is less than 1 degrees C"},
        {"engine", "engine", "   CVG ERR", "error : speciation model, no convergence after", "error : speciation model, no convergence after"},
        {"swap in use", "swap", "", "for swap option, reaction [ Calcite ] already", "for swap option, reaction [ Calcite ] already"},
        {"done", "run", "     DONE", "", ""}});
    // clang-format on
}

void tst_setup_solnprops::status_readableWithReasonWhereTyped()
{
    QFETCH(QString, act);
    QFETCH(QString, status);
    QFETCH(QString, reason);
    QFETCH(QString, props);
    // The program's own style sheet, as it applies it at start.
    QFile sheet(QStringLiteral(":/styleSheets/qss_primary_std.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    const auto plain = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    workspace_fixture f;
    enterSmall(f, "reason.jsdb");
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    if (act.startsWith("T")) {
        showPropsTab(f);
        typeOver(in<QLineEdit>(f.w, "lineEdit_temperature"), "400");
    }
    if (act == "T D")
        typeOver(in<QLineEdit>(f.w, "lineEdit_massDensity"), "60");
    if (act == "T cell") { // refused on the other tab, named there only
        showWaterPage(f);
        QVERIFY(typeAmount(t, elementRow(f, "Ca"), "1,5"));
        showPropsTab(f);
    } else if (act == "swap") {
        QVERIFY(chooseItem(elementCombo(f, "Ca", 2), "Calcite"));
        QVERIFY(chooseItem(elementCombo(f, "C", 2), "Calcite"));
    } else if (!act.startsWith("T")) {
        // The field refuses 0.5 C; a water read from a file can still hold it.
        if (act == "check")
            f.sd()->waters[f.sd()->currentWater]->TC = 0.5;
        // One Newton step cannot solve the water: the engine reports no convergence.
        if (act == "engine")
            f.sd()->ctrlset->csolvitmax = 1;
        QVERIFY(typeAmount(t, elementRow(f, "C"), "1e-3"));
        QVERIFY(act != "cell" || typeAmount(t, elementRow(f, "Ca"), "1,5"));
        pressRun(f);
    }
    auto *line = in<QLineEdit>(f.w, "lineEdit_spcnStat");
    QCOMPARE(line->text(), status);
    // The status line is a disabled field: its text takes the disabled colour.
    const auto readable = [line] {
        const QRegularExpression hex(QStringLiteral("background-color:\\s*(#[0-9a-fA-F]+)"));
        const QColor back(hex.match(line->styleSheet()).captured(1));
        const QColor text = line->palette().color(QPalette::Disabled, QPalette::Text);
        return back.isValid() && contrast(text, back) >= 4.5;
    };
    QVERIFY2(readable(), qPrintable(line->styleSheet()));
    // The reason stands on the tab in use, not only in the pane of another tab.
    auto *shown
        = in<QLabel>(f.w, act.startsWith("T") ? "label_solnPropsReason" : "label_spcnReason");
    QVERIFY(shown && shown->isVisible() && shown->text().isEmpty() == reason.isEmpty());
    QVERIFY2(shown->text().left(reason.size()) == reason
                 && f.messages().contains(reason.isEmpty() ? "Speciation completed" : reason),
             qPrintable(shown->text()));
    const QString propsShown = reasonRead(in<QLabel>(f.w, "label_solnPropsReason"));
    QVERIFY2(propsShown.left(props.size()) == props && propsShown.isEmpty() == props.isEmpty(),
             qPrintable(propsShown));
    QVERIFY(contrast(shown->palette().color(QPalette::WindowText),
                     f.w->palette().color(QPalette::Window))
            >= 4.5);
    // An accepted edit answers it and clears the status line.
    typeField(f, "lineEdit_temperature", "26");
    QVERIFY(act.endsWith("cell") || act == "T D"
            || in<QLabel>(f.w, "label_spcnReason")->text().isEmpty());
    QVERIFY(line->text().isEmpty() && readable());
}

QTEST_MAIN(tst_setup_solnprops)
#include "tst_setup_solnprops.moc"
