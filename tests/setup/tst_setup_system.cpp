// Elements, gases, reactions and solutes of the chemical system, edited through the
// pickers and the delete columns as a user does, and saved and reopened.

#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

QStringList namesOf(const QList<one_rxn *> &list)
{
    QStringList n;
    for (const one_rxn *r : list)
        n << r->name;
    return n;
}

template<class T>
QStringList namesOf(const QList<T *> &list)
{
    QStringList n;
    for (const T *r : list)
        n << r->name;
    return n;
}

/// True when the status line under Run shows the cleared look.
bool statusCleared(const setup *w)
{
    const auto *status = w->findChild<QLineEdit *>(QStringLiteral("lineEdit_spcnStat"));
    return status->text().isEmpty() && status->styleSheet() == "background-color: #bbb;";
}

#define CHECK_COUNTS(sd) QVERIFY2(countsMismatch(sd).isEmpty(), qPrintable(countsMismatch(sd)))

} // namespace

class tst_setup_system : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void addCalcium_bringsSolutesAndMinerals();
    void addCarbonDioxide_bringsCarbonAndCarbonates();
    void elementBringingNothing_saysSo_data();
    void elementBringingNothing_saysSo();
    void pickerCancelled_changesNothing();
    void deleteCalcium_leavesNothingOfIt();
    void deleteFixed_refused_data();
    void deleteFixed_refused();
    void deleteGas_keepsElementsAndSolutes();
    void deleteGas_withoutReaction();
    void delete_rowOutOfRange_data();
    void delete_rowOutOfRange();
    void delete_nullCompositionsCountAsEmpty();
    void addTwice_changesNothing();
    void ironMineral_screenedWithoutPair();
    void saveReopen_sameSystem();
    void sortSolutes_data();
    void sortSolutes();
    void sortRxns_caseInsensitive_reordersTableAndFile();
    void sortRxns_withoutType_changesNothing();
    void chargeBalanceList_offersChargedBases();
    void waterComposition_entryAppendedOnce();
    void resultSolids_replaceOwnedEntries();
};

void tst_setup_system::addCalcium_bringsSolutesAndMinerals()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("ca.jsdb")));
    // A run on the system before the addition no longer stands for it.
    showWaterPage(f);
    QCOMPARE(pressRun(f), QString("     DONE"));
    showTab(f.w, 0);
    pickElement(f, "ca", "Ca");
    QVERIFY(statusCleared(f.w));

    QCOMPARE(f.elementNames(), QStringList({"H", "O", "Ca"}));
    QVERIFY(!f.elementDeleteTexts().at(2).contains("--"));
    for (const char *s : {"Ca++", "CaOH+"})
        QVERIFY2(f.soluteNames().contains(s), s);
    QVERIFY(f.rxnNames().contains("CaOH+"));
    f.chooseRxnList(4);
    QVERIFY(f.rxnNames().contains("Lime"));
    QVERIFY(f.rxnNames().contains("Portlandite"));
    // A mineral's own name among its species is not a missing solute.
    QVERIFY2(!f.messages().contains("SS: ## solute ["), qPrintable(f.messages()));
    QVERIFY(!f.soluteNames().contains("Lime"));
    QVERIFY(f.w->unsaved_changes());
    QVERIFY(boxes.texts.isEmpty());
    CHECK_COUNTS(f.sd());

    // A gas whose reaction names a species the database lacks: the species is named.
    QStringList &species
        = f.db->sdata->rxnsGas.at(f.db->find_idxDB_rxn("CO2(g)", global::gas))->composition->solute;
    species.replace(species.indexOf("H+"), "Hz+");
    pickGas(f, "co2", "CO2(g)");
    QVERIFY2(
        f.messages().contains("SS: ## solute [ Hz+ ] in reaction [ CO2(g) ] not found in database"),
        qPrintable(f.messages().right(400)));
    QVERIFY(!f.soluteNames().contains("Hz+"));
}

void tst_setup_system::addCarbonDioxide_bringsCarbonAndCarbonates()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("co2.jsdb")));
    pickElement(f, "ca", "Ca");
    pickGas(f, "co2", "CO2(g)");

    QCOMPARE(f.elementNames(), QStringList({"H", "O", "Ca", "C"}));
    QCOMPARE(f.gasNames(), QStringList({"CO2(g)"}));
    for (const char *s : {"CaCO3(aq)", "CaHCO3+", "HCO3-"})
        QVERIFY2(f.soluteNames().contains(s), s);
    const qsizetype row = f.rxnNames().indexOf("CO2(g)");
    QVERIFY(row >= 0);
    QCOMPARE(f.rxnTypes().at(row), QString("G"));
    // Aqueous and aux reactions come first, gas reactions last.
    QCOMPARE(row, f.rxnNames().size() - 1);
    f.chooseRxnList(4);
    for (const char *s : {"Calcite", "Aragonite", "Lime"})
        QVERIFY2(f.rxnNames().contains(s), s);
    QVERIFY(!f.messages().contains("SS: ## solute ["));
    QVERIFY(boxes.texts.isEmpty());
    CHECK_COUNTS(f.sd());
    // C's amount can be carried by a solute, never by the gas.
    showWaterPage(f);
    const QComboBox *carrier = elementCombo(f, "C", 0);
    QVERIFY(carrier->findText("HCO3-") > 0 && carrier->findText("CO2(g)") < 0);
}

void tst_setup_system::elementBringingNothing_saysSo_data()
{
    QTest::addColumn<QString>("element");
    QTest::newRow("no reaction at all") << "Ar";
    QTest::newRow("only a mineral whose reaction takes O2(g)") << "Au";
}

void tst_setup_system::elementBringingNothing_saysSo()
{
    QFETCH(QString, element);
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("nothing.jsdb"), true));
    pickElement(f, element.toLower(), element);
    QVERIFY(f.elementNames().contains(element));
    QVERIFY2(boxes.texts.join('\n').startsWith("No new reaction or solute added."),
             qPrintable(boxes.texts.join('\n')));
}

void tst_setup_system::pickerCancelled_changesNothing()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("cancel.jsdb")));
    pickElement(f, "ca", "Ca", false, true);
    QCOMPARE(f.elementNames(), QStringList({"H", "O"}));
    QVERIFY(!f.w->unsaved_changes());
}

void tst_setup_system::deleteCalcium_leavesNothingOfIt()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("delca.jsdb")));
    pickElement(f, "ca", "Ca");
    pickGas(f, "co2", "CO2(g)");
    const qsizetype solids = f.sd()->solids.size();
    // The status of a run on the earlier system goes with it.
    showWaterPage(f);
    QCOMPARE(pressRun(f), QString("     DONE"));
    showTab(f.w, 0);
    QVERIFY(f.clickDeleteElement("Ca"));
    QVERIFY(statusCleared(f.w));

    QCOMPARE(f.elementNames(), QStringList({"H", "O", "C"}));
    for (const QList<one_rxn *> *list :
         {&f.sd()->rxnsAqueous, &f.sd()->rxnsSolid, &f.sd()->rxnsGas})
        for (const one_rxn *r : *list)
            QVERIFY2(!r->elements.contains("Ca"), qPrintable(r->name));
    for (const one_solute *s : f.sd()->solutes)
        QVERIFY2(!s->composition->element.contains("Ca"), qPrintable(s->name));
    QCOMPARE(f.soluteNames(), namesOf(f.sd()->solutes));
    QVERIFY(!f.rxnNames().contains("CaOH+"));
    // Carbon stays with its gas; the system's solids are not touched.
    QCOMPARE(f.gasNames(), QStringList({"CO2(g)"}));
    QCOMPARE(f.sd()->solids.size(), solids);
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::deleteFixed_refused_data()
{
    QTest::addColumn<bool>("dbaccess");
    QTest::addColumn<QString>("gas"); // a gas of the file, pressed to delete; else H
    QTest::addColumn<QString>("line");
    QTest::newRow("element H") << true << ""
                               << "##  element [ H ] is fixed, cannot be removed";
    // Without the database nothing removed could be collected again.
    QTest::newRow("gas without the database") << false << "CO2(g)"
                                              << "##  gas [ CO2(g) ] is fixed, cannot be removed";
}

void tst_setup_system::deleteFixed_refused()
{
    QFETCH(bool, dbaccess);
    QFETCH(QString, gas);
    QFETCH(QString, line);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("fixed.jsdb"), false, dbaccess, [&gas](sim_data *cfg) {
        if (!gas.isEmpty()) {
            cfg->gases.append(cfg->own(new one_gas));
            cfg->gases.last()->name = gas;
        }
    }));
    const QStringList elements = f.elementNames();
    QVERIFY(gas.isEmpty() ? f.clickDeleteElement("H") : f.clickDeleteGas(gas));
    QVERIFY2(f.messages().contains(line), qPrintable(f.messages()));
    QCOMPARE(f.elementNames(), elements);
    QCOMPARE(f.gasNames(), gas.isEmpty() ? QStringList() : QStringList {gas});
    QVERIFY(!f.w->unsaved_changes());
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::deleteGas_keepsElementsAndSolutes()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("delgas.jsdb")));
    pickGas(f, "co2", "CO2(g)");
    const QStringList solutes = f.soluteNames();
    showWaterPage(f);
    QCOMPARE(pressRun(f), QString("     DONE"));
    showTab(f.w, 0);
    QVERIFY(f.clickDeleteGas("CO2(g)"));
    QVERIFY(statusCleared(f.w));
    QVERIFY(f.gasNames().isEmpty());
    QVERIFY(f.sd()->rxnsGas.isEmpty());
    QVERIFY(!f.rxnNames().contains("CO2(g)"));
    QCOMPARE(f.soluteNames(), solutes);
    QVERIFY(f.elementNames().contains("C"));
    CHECK_COUNTS(f.sd());

    // Added back, the gas brings no element: its own reaction greys a new run's status.
    showTab(f.w, 1);
    QCOMPARE(pressRun(f), QString("     DONE"));
    showTab(f.w, 0);
    pickGas(f, "co2", "CO2(g)");
    QVERIFY(statusCleared(f.w));
}

void tst_setup_system::deleteGas_withoutReaction()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("noreaction.jsdb"), false, true, [](sim_data *cfg) {
        auto *g = cfg->own(new one_gas);
        g->name = "Zz(g)";
        cfg->gases.append(g);
    }));
    f.addGasDirect("CO2(g)");
    QCOMPARE(f.sd()->rxnsGas.size(), 1);
    QVERIFY(f.clickDeleteGas("Zz(g)"));
    QCOMPARE(f.gasNames(), QStringList({"CO2(g)"}));
    QCOMPARE(namesOf(f.sd()->rxnsGas), QStringList({"CO2(g)"}));
    QVERIFY(f.rxnNames().contains("CO2(g)"));
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::delete_rowOutOfRange_data()
{
    QTest::addColumn<bool>("element");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("line");
    QTest::newRow("element past end")
        << true << 7 << "##  delete element: search error, row 7 [  ]";
    QTest::newRow("element negative")
        << true << -1 << "##  delete element: search error, row -1 [  ]";
    QTest::newRow("gas past end") << false << 3 << "## delete gas: data search error, row 3 [  ]";
}

void tst_setup_system::delete_rowOutOfRange()
{
    QFETCH(bool, element);
    QFETCH(int, row);
    QFETCH(QString, line);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("range.jsdb")));
    if (element)
        f.w->delete_one_element(row);
    else
        f.w->delete_one_gas(row);
    QVERIFY2(f.messages().contains(line), qPrintable(f.messages()));
    QCOMPARE(f.elementNames(), QStringList({"H", "O"}));
    QVERIFY(!f.w->unsaved_changes());
}

void tst_setup_system::delete_nullCompositionsCountAsEmpty()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("nullcomp.jsdb"), false, true, [](sim_data *cfg) {
        auto *s = cfg->own(new one_solute);
        s->name = "Bare+";
        cfg->solutes.append(s);
        auto *g = cfg->own(new one_gas);
        g->name = "Bare(g)";
        cfg->gases.append(g);
    }));
    f.addElementDirect("Ca");
    QVERIFY(f.clickDeleteElement("Ca"));
    QVERIFY(f.soluteNames().contains("Bare+"));
    QVERIFY(f.gasNames().contains("Bare(g)"));
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::addTwice_changesNothing()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("twice.jsdb")));
    f.addElementDirect("Ca");
    f.addGasDirect("CO2(g)");
    QTest::mouseClick(f.w->findChild<QPushButton *>("pushButton_Save"), Qt::LeftButton);
    QVERIFY(!f.w->unsaved_changes());

    const int ca = f.db->find_idxDB_element("Ca");
    f.w->add_one_element(f.db->sdata->elements.at(ca), false, 0);
    f.w->add_one_gas(f.db->sdata->gases.at(f.db->find_idxDB_gas("CO2(g)")), false);
    QCOMPARE(f.elementNames(), QStringList({"H", "O", "Ca", "C"}));
    QCOMPARE(f.gasNames(), QStringList({"CO2(g)"}));
    QVERIFY(!f.w->unsaved_changes());
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::ironMineral_screenedWithoutPair()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("fe.jsdb")));
    pickElement(f, "fe", "Fe");
    QVERIFY(f.soluteNames().contains("Fe++"));
    QVERIFY(!f.soluteNames().contains("Fe+++"));
    f.chooseRxnList(4);
    QVERIFY(!f.sd()->rxnsSolid.isEmpty());
    QVERIFY(!f.rxnNames().contains("Hematite"));
    for (const one_rxn *r : f.sd()->rxnsSolid)
        QVERIFY2(!r->composition->solute.contains("O2(g)"), qPrintable(r->name));
    for (const one_rxn *r : f.sd()->rxnsAqueous)
        QVERIFY2(r->type != 2, qPrintable(r->name));
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::saveReopen_sameSystem()
{
    // The reader takes the records of each section in name order; from the first
    // reopen on, a save and a reopen give back exactly the same system.
    const QString path = scratch("reopen.jsdb");
    auto sorted = [](QStringList names) {
        names.sort(Qt::CaseSensitive);
        return names;
    };
    QStringList elements, gases, solutes, aqueous, gasRxns;
    {
        workspace_fixture f;
        BoxCatcher boxes;
        QVERIFY(f.enterNew(path));
        pickElement(f, "ca", "Ca");
        pickGas(f, "co2", "CO2(g)");
        QCOMPARE(f.save(), 0);
        elements = sorted(namesOf(f.sd()->elements));
        gases = sorted(namesOf(f.sd()->gases));
        solutes = sorted(namesOf(f.sd()->solutes));
        aqueous = sorted(namesOf(f.sd()->rxnsAqueous));
        gasRxns = sorted(namesOf(f.sd()->rxnsGas));
    }
    for (int round = 0; round < 2; ++round) {
        workspace_fixture g;
        QVERIFY(g.enterOpen(path));
        QCOMPARE(namesOf(g.sd()->elements), elements);
        QCOMPARE(g.elementNames(), elements);
        QCOMPARE(namesOf(g.sd()->gases), gases);
        QCOMPARE(g.gasNames(), gases);
        QCOMPARE(namesOf(g.sd()->solutes), solutes);
        QCOMPARE(g.soluteNames(), solutes);
        QCOMPARE(namesOf(g.sd()->rxnsAqueous), aqueous);
        QCOMPARE(namesOf(g.sd()->rxnsGas), gasRxns);
        QCOMPARE(g.rxnNames(), aqueous + gasRxns);
        QVERIFY(!g.messages().contains("Added"));
        QVERIFY(!g.w->unsaved_changes());
        QVERIFY(!g.sd()->rxnsSolid.isEmpty());
        CHECK_COUNTS(g.sd());
        QCOMPARE(g.save(), 0);
    }
}

void tst_setup_system::sortSolutes_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("expected");
    // Starting order: ca, Cb, cc, Ba, a (names equal but for case cannot both be
    // solutes: the system compares solute names ignoring case).
    QTest::newRow("case sensitive") << 1 << QStringList({"Ba", "Cb", "a", "ca", "cc"});
    QTest::newRow("case insensitive") << 2 << QStringList({"a", "Ba", "ca", "Cb", "cc"});
    QTest::newRow("heading") << 0 << QStringList({"ca", "Cb", "cc", "Ba", "a"});
}

void tst_setup_system::sortSolutes()
{
    QFETCH(int, item);
    QFETCH(QStringList, expected);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("sortsol.jsdb"), false, true, [](sim_data *cfg) {
        for (const char *name : {"ca", "Cb", "cc", "Ba", "a"}) {
            auto *s = cfg->own(new one_solute);
            s->name = name;
            cfg->solutes.append(s);
        }
    }));
    const QStringList mine = {"ca", "Cb", "cc", "Ba", "a"};
    auto onlyMine = [&mine](const QStringList &names) {
        QStringList kept;
        for (const QString &n : names)
            if (mine.contains(n))
                kept << n;
        return kept;
    };
    QCOMPARE(onlyMine(f.soluteNames()), mine);
    auto *combo = f.w->findChild<QComboBox *>("comboBox_sortSolutes");
    combo->setCurrentIndex(item);
    QCOMPARE(onlyMine(f.soluteNames()), expected);
    QCOMPARE(f.soluteNames(), namesOf(f.sd()->solutes));
    if (item > 0) {
        const Qt::CaseSensitivity cs = item == 1 ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const QStringList all = f.soluteNames();
        for (qsizetype i = 1; i < all.size(); ++i)
            QVERIFY2(QString::compare(all.at(i - 1), all.at(i), cs) <= 0, qPrintable(all.at(i)));
    }
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->currentText(), QString("sort order"));
}

void tst_setup_system::sortRxns_caseInsensitive_reordersTableAndFile()
{
    const QString path = scratch("sortrxn.jsdb");
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(path));
    f.addElementDirect("Ca");
    f.addGasDirect("CO2(g)");
    f.chooseRxnList(2);
    QStringList expected = namesOf(f.sd()->rxnsAqueous);
    std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QVERIFY(namesOf(f.sd()->rxnsAqueous) != expected);

    auto *combo = f.w->findChild<QComboBox *>("comboBox_sortRxns");
    combo->setCurrentIndex(2);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(f.rxnNames(), expected);
    QCOMPARE(f.w->findChild<QComboBox *>("comboBox_rxnsList")->currentIndex(), 2);
    QVERIFY(f.w->unsaved_changes());

    QCOMPARE(f.save(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject rxns
        = QJsonDocument::fromJson(file.readAll()).object().value("reactions").toObject();
    QStringList listed;
    for (const QJsonValue v : rxns.value("aqueous").toObject().value("list").toArray())
        listed << v.toString();
    QCOMPARE(listed, expected);
}

void tst_setup_system::sortRxns_withoutType_changesNothing()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("sortnone.jsdb")));
    f.addElementDirect("Ca");
    auto *list = f.w->findChild<QComboBox *>("comboBox_rxnsList");
    {
        const QSignalBlocker block(list);
        list->setCurrentIndex(0);
    }
    const QStringList before = namesOf(f.sd()->rxnsAqueous);
    const QStringList shown = f.rxnNames();
    f.w->findChild<QComboBox *>("comboBox_sortRxns")->setCurrentIndex(1);
    QCOMPARE(namesOf(f.sd()->rxnsAqueous), before);
    QCOMPARE(f.rxnNames(), shown);
}

void tst_setup_system::chargeBalanceList_offersChargedBases()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("cb.jsdb")));
    f.addElementDirect("Ca");
    f.addGasDirect("CO2(g)");
    f.w->current_water()->chargebalanceSolute = "Ca++";
    f.w->comboBox_chargeBalance_basesList();
    auto *combo = f.w->findChild<QComboBox *>("comboBox_chargeBalance");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    // O's basis (H2O) is never offered, nor an uncharged basis (C's HCO3- is charged).
    QCOMPARE(items, QStringList({" options ", "H+", "Ca++", "HCO3-"}));
    QCOMPARE(combo->currentText(), QString("Ca++"));

    f.w->current_water()->chargebalanceSolute = "Na+";
    f.w->comboBox_chargeBalance_basesList();
    QCOMPARE(combo->currentIndex(), 0);
}

void tst_setup_system::waterComposition_entryAppendedOnce()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("comp.jsdb")));
    one_water *w = f.w->current_water();
    const qsizetype before = w->composition.size();
    const int k = f.w->find_idxElement_waterComp(0, "Ca");
    QCOMPARE(k, int(before));
    QCOMPARE(w->composition.at(k)->molal, 1e-4);
    QCOMPARE(f.w->find_idxElement_waterComp(0, "Ca"), k);
    QCOMPARE(w->composition.size(), before + 1);
    QCOMPARE(f.w->find_idxElement_waterComp(0, ""), -9);
    CHECK_COUNTS(f.sd());
}

void tst_setup_system::resultSolids_replaceOwnedEntries()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("solids.jsdb")));
    f.addElementDirect("Ca");
    one_water *w = f.w->current_water();
    w->results = new one_water_result;
    w->results->solids.append(new one_waterResult_rxn);
    f.w->setup_waterResults_list_solids();
    f.w->setup_waterResults_list_solids();
    QStringList names;
    for (const one_waterResult_rxn *r : w->results->solids)
        names << r->name;
    QCOMPARE(names, namesOf(f.sd()->rxnsSolid));
}

QTEST_MAIN(tst_setup_system)
#include "tst_setup_system.moc"
