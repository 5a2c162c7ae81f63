// The workspace window and the build of a chemical system from a configuration.

#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "setup.h"
#include "setup_add_element.h"
#include "setup_add_gas.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_ui.h"
#include "waterComp_subs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

class tst_setup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void construction_connectsEverySlot();
    void newConfiguration_addsHydrogenOxygenAndHydration();
    void configuration_withWaterAsOxygen_getsNoOxygen();
    void configuration_withHydration_keepsIt();
    void configuration_withoutWater_getsDefaultWater();
    void summary_onlyWithDatabase();
    void withoutDatabase_everythingFixedAndResetRefused();
    void debyeHueckel_batchKeepsOwnCopy();
    void typeKeys_data();
    void typeKeys();
    void solutionPropertiesTab_enabledOnceWaterShown();
    void notes_editMarksChange();
    void rxnSelector_headingAndKineticReturnToPrevious();
    void reset_onHydrogenOxygen_leavesHydrationOnly();
    void navigateWaterComposition_opensSolutionProperties();
    void texts_fitTheirWidgets();
};

void tst_setup::construction_connectsEverySlot()
{
    SlotWarningGuard guard;
    {
        setup w;
        waterComp_subs substitute;
    }
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
}

void tst_setup::newConfiguration_addsHydrogenOxygenAndHydration()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("new.jsdb")));

    QCOMPARE(f.elementNames(), QStringList({"H", "O"}));
    QCOMPARE(f.elementDeleteTexts(), QStringList({"--", "--"}));
    const QString msgs = f.messages();
    const qsizetype h = msgs.indexOf("Added element H during initial setup");
    const qsizetype o = msgs.indexOf("Added element O during initial setup");
    const qsizetype oh = msgs.indexOf("Added hydration reaction during initial setup");
    QVERIFY(h >= 0 && o > h && oh > o);
    QVERIFY(!msgs.contains("Added default water"));

    QCOMPARE(f.rxnNames(), QStringList({"OH-"}));
    QCOMPARE(f.rxnTypes(), QStringList({"AQ"}));
    QVERIFY(f.sd()->rxnsAqueous.first()->flagAux);
    QCOMPARE(f.soluteNames().size(), 3);
    for (const char *s : {"OH-", "H+", "H2O"})
        QVERIFY2(f.soluteNames().contains(s), s);
    QCOMPARE(f.sd()->waters.size(), 1);
    QVERIFY(!f.w->unsaved_changes());
    QVERIFY2(countsMismatch(f.sd()).isEmpty(), qPrintable(countsMismatch(f.sd())));
}

void tst_setup::configuration_withWaterAsOxygen_getsNoOxygen()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("h2o.jsdb"), false, true, [](sim_data *cfg) {
        auto *el = cfg->own(new one_element);
        el->name = "H2O";
        cfg->elements.append(el);
    }));
    QCOMPARE(f.elementNames(), QStringList({"H2O", "H"}));
    QCOMPARE(f.elementDeleteTexts(), QStringList({"--", "--"}));
    QVERIFY(!f.messages().contains("Added element O"));
}

void tst_setup::configuration_withHydration_keepsIt()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("oh.jsdb"), false, true, [](sim_data *cfg) {
        auto *r = cfg->own(new one_rxn);
        r->name = "OH-";
        r->type = 3;
        cfg->rxnsAqueous.append(r);
    }));
    QVERIFY(!f.messages().contains("Added hydration reaction"));
    QCOMPARE(f.sd()->rxnsAqueous.size(), 1);
    QVERIFY(f.sd()->rxnsAqueous.first()->flagAux);
    QVERIFY(f.sd()->rxnsAqueous.first()
            != f.db->sdata->rxnsAqueous.value(f.db->find_idxDB_rxn("OH-", 3)));
}

void tst_setup::configuration_withoutWater_getsDefaultWater()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("nowater.jsdb"), false, true,
                       [](sim_data *cfg) { cfg->waters.clear(); }));
    QVERIFY(f.messages().contains("Added default water during initial setup"));
    QCOMPARE(f.sd()->waters.size(), 1);
    QCOMPARE(f.sd()->waters.first()->name, QString("water-default"));
    QCOMPARE(f.sd()->currentWater, 0);
    QVERIFY(f.w->current_water() != nullptr);
    QVERIFY(countsMismatch(f.sd()).isEmpty());

    // Out of range, the current water is absent instead of a stray record.
    f.sd()->currentWater = 5;
    QVERIFY(f.w->current_water() == nullptr);
    QCOMPARE(f.w->find_idxElement_waterComp(5, "Ca"), -9);
}

void tst_setup::summary_onlyWithDatabase()
{
    workspace_fixture with;
    QVERIFY(with.enterNew(scratch("sum1.jsdb")));
    QVERIFY(with.messages().contains("SF > database content summary:"));
    QVERIFY(with.messages().contains(
        QString("      no. elements %1;").arg(with.db->sdata->elements.size())));

    workspace_fixture without;
    QVERIFY(without.enterNew(scratch("sum2.jsdb"), false, false));
    QVERIFY(!without.messages().contains("database content summary"));
}

void tst_setup::withoutDatabase_everythingFixedAndResetRefused()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("nodb.jsdb"), false, false, [](sim_data *cfg) {
        for (const char *name : {"H", "O", "Ca"}) {
            auto *el = cfg->own(new one_element);
            el->name = name;
            cfg->elements.append(el);
        }
        auto *s = cfg->own(new one_solute);
        s->name = "Ca++";
        cfg->solutes.append(s);
    }));
    QCOMPARE(f.elementDeleteTexts(), QStringList({"--", "--", "--"}));
    QVERIFY(f.clickDeleteElement("Ca"));
    QVERIFY(f.messages().contains("##  element [ Ca ] is fixed, cannot be removed"));
    QCOMPARE(f.elementNames().size(), 3);
    QVERIFY(!f.w->unsaved_changes());

    // Nothing to collect from: Reset is greyed from the start, even in a workspace
    // that held a configuration using the database before.
    for (bool again : {false, true}) {
        auto *reset = f.w->findChild<QPushButton *>("pushButton_resetData");
        QVERIFY(!reset->isEnabled());
        const QStringList solutes = f.soluteNames();
        QTest::mouseClick(reset, Qt::LeftButton);
        QCOMPARE(f.soluteNames(), solutes);
        QVERIFY(!f.w->unsaved_changes());
        if (!again) {
            QVERIFY(f.enterAgain(scratch("withdb.jsdb"), false));
            QVERIFY(f.w->findChild<QPushButton *>("pushButton_resetData")->isEnabled());
            QVERIFY(f.enterAgain(scratch("nodb.jsdb"), true));
        }
    }
}

void tst_setup::debyeHueckel_batchKeepsOwnCopy()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("bdot.jsdb")));
    QVERIFY(f.sd()->bdot != nullptr);
    QVERIFY(f.sd()->bdot != f.db->sdata->bdot);
    QCOMPARE(f.sd()->bdot->adh, f.db->sdata->bdot->adh);
    QCOMPARE(f.sd()->bdot->bdot, f.db->sdata->bdot->bdot);
    // The image may go (a reload replaces it); the batch's record stays readable.
    const QList<double> adh = f.db->sdata->bdot->adh;
    delete f.db;
    f.db = nullptr;
    QCOMPARE(f.sd()->bdot->adh, adh);
}

void tst_setup::typeKeys_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("solute");
    QTest::addColumn<QString>("rxn");
    QTest::addColumn<QString>("gas");
    QTest::newRow("element") << 0 << "n/a"
                             << "n/a"
                             << "n/a";
    QTest::newRow("basis") << 1 << "AQ,B"
                           << "AQ,B"
                           << "n/a";
    QTest::newRow("aux") << 2 << "AQ,R"
                         << "AQ,R"
                         << "n/a";
    QTest::newRow("aqueous") << 3 << "AQ"
                             << "AQ"
                             << "n/a";
    QTest::newRow("solid") << 4 << "n/a"
                           << "S"
                           << "n/a";
    QTest::newRow("liquid") << 5 << "L"
                            << "L"
                            << "n/a";
    QTest::newRow("gas") << 6 << "G"
                         << "G"
                         << "G";
    QTest::newRow("unknown") << 42 << "n/a"
                             << "n/a"
                             << "n/a";
}

void tst_setup::typeKeys()
{
    QFETCH(int, type);
    setup w;
    one_solute s;
    s.type = type;
    one_rxn r;
    r.type = type;
    one_gas g;
    g.type = type;
    QTEST(w.typeKey_solute(&s), "solute");
    QTEST(w.typeKey_rxn(&r), "rxn");
    QTEST(w.typeKey_gas(&g), "gas");
}

void tst_setup::solutionPropertiesTab_enabledOnceWaterShown()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("tabs.jsdb")));
    auto *tabs = f.w->findChild<QTabWidget *>("tabWidget_Setup");
    QCOMPARE(tabs->tabText(0), QString("Chemical System"));
    QCOMPARE(tabs->tabText(1), QString("Water Composition"));
    QCOMPARE(tabs->tabText(2), QString("Solution Properties"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!tabs->isTabEnabled(2));

    tabs->setCurrentIndex(1);
    QVERIFY(tabs->isTabEnabled(2));
    auto *waters = f.w->findChild<QComboBox *>("comboBox_waters");
    QCOMPARE(waters->count(), 1);
    QCOMPARE(waters->currentText(), QString("water-default"));

    tabs->setCurrentIndex(2);
    auto *name = f.w->findChild<QLineEdit *>("lineEdit_water_solnProp");
    QCOMPARE(name->text(), QString("water-default"));
    QCOMPARE(name->cursorPosition(), 0); // shown from its start, as a long name must be
    tabs->setCurrentIndex(0);
    QVERIFY(!f.w->findChild<QPushButton *>("pushButton_SUMixing")->isChecked());

    // A new configuration locks the tab again.
    workspace_fixture g;
    QVERIFY(g.enterNew(scratch("tabs2.jsdb")));
    QVERIFY(!g.w->findChild<QTabWidget *>("tabWidget_Setup")->isTabEnabled(2));
}

void tst_setup::notes_editMarksChange()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("notes.jsdb")));
    QVERIFY(!f.w->unsaved_changes());
    auto *notes = f.w->findChild<QTextEdit *>("textEdit_Notes");
    notes->setFocus();
    QTest::keyClicks(notes, "spring 12");
    QCOMPARE(f.sd()->description, QString("spring 12"));
    QVERIFY(f.w->unsaved_changes());
}

void tst_setup::rxnSelector_headingAndKineticReturnToPrevious()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("selector.jsdb")));
    f.addElementDirect("Ca");
    auto *combo = f.w->findChild<QComboBox *>("comboBox_rxnsList");
    QCOMPARE(combo->count(), 6);
    QCOMPARE(combo->itemText(4), QString("solids (saturation evaluation)"));

    f.chooseRxnList(4);
    QVERIFY(f.rxnNames().contains("Lime"));
    QVERIFY(f.rxnTypes().contains("S"));
    f.chooseRxnList(0);
    QCOMPARE(combo->currentIndex(), 4);
    f.chooseRxnList(5);
    QCOMPARE(combo->currentIndex(), 4);
    QVERIFY(f.rxnNames().contains("Lime"));

    f.chooseRxnList(3);
    QVERIFY(f.rxnNames().isEmpty());
    f.chooseRxnList(2);
    QCOMPARE(f.rxnNames().size(), f.sd()->rxnsAqueous.size());
}

void tst_setup::reset_onHydrogenOxygen_leavesHydrationOnly()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("reset.jsdb")));
    showWaterPage(f);
    QCOMPARE(pressRun(f), QString("     DONE"));
    QTest::mouseClick(f.w->findChild<QPushButton *>("pushButton_resetData"), Qt::LeftButton);
    // The system was built anew: the earlier run's status goes with it.
    QCOMPARE(f.w->findChild<QLineEdit *>("lineEdit_spcnStat")->text(), QString());
    QCOMPARE(f.rxnNames(), QStringList({"OH-"}));
    QVERIFY(f.sd()->rxnsGas.isEmpty());
    QVERIFY(f.sd()->rxnsSolid.isEmpty());
    QVERIFY(f.w->unsaved_changes());
    QVERIFY(countsMismatch(f.sd()).isEmpty());
}

void tst_setup::navigateWaterComposition_opensSolutionProperties()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("navigate.jsdb")));
    QAction *water = nullptr;
    QAction *props = nullptr;
    for (QAction *a : f.w->findChildren<QAction *>()) {
        if (a->text() == "Water Composition")
            water = a;
        else if (a->text() == "Solution Properties")
            props = a;
    }
    QVERIFY(water && props);
    QVERIFY(!props->isEnabled());
    water->trigger();
    auto *tabs = f.w->findChild<QTabWidget *>("tabWidget_Setup");
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(tabs->isTabEnabled(2));
    QVERIFY(props->isEnabled());
    props->trigger();
    QCOMPARE(tabs->currentIndex(), 2);
}

void tst_setup::texts_fitTheirWidgets()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("layout.jsdb"), true));
    f.addElementDirect("Ca");
    f.addGasDirect("CO2(g)");
    f.w->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.w));
    QVERIFY2(cutOffTexts(f.w).isEmpty(), qPrintable(cutOffTexts(f.w).join(", ")));

    // Mineral names are read in full; the table keeps its width.
    f.chooseRxnList(4);
    auto *rxns = f.w->findChild<QTableWidget *>("tableWidget_rxns");
    QVERIFY(f.rxnNames().contains("Monohydrocalcite"));
    for (const QString &name : f.rxnNames())
        QVERIFY2(rxns->fontMetrics().horizontalAdvance(name) < rxns->columnWidth(0),
                 qPrintable(name));
    // Every column lies within the table: none is pushed out of sight.
    QVERIFY(rxns->horizontalHeader()->length() <= rxns->viewport()->width());

    for (const bool redox : {false, true}) {
        f.sd()->ctrlset->redox = redox;
        setup_add_element elements(f.batch, f.db);
        elements.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elements));
        QVERIFY2(cutOffTexts(&elements).isEmpty(), qPrintable(cutOffTexts(&elements).join(", ")));
    }
    setup_add_gas gases(f.batch, f.db);
    gases.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gases));
    QVERIFY2(cutOffTexts(&gases).isEmpty(), qPrintable(cutOffTexts(&gases).join(", ")));
}

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
