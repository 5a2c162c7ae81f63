// Redox pairs and redox gases: offered, chosen in the element picker, linked on
// reopening, taken out with their element or gas, and the redox screens.

#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

template<class T>
QStringList namesOf(const QList<T *> &list)
{
    QStringList n;
    for (const T *r : list)
        n << (r ? r->name : QString());
    return n;
}

#define CHECK_COUNTS(sd) QVERIFY2(countsMismatch(sd).isEmpty(), qPrintable(countsMismatch(sd)))

/// Adds a second water to a configuration.
void addSecondWater(sim_data *cfg)
{
    sbatch helper;
    one_water *w = cfg->own(helper.simData_init_water());
    w->name = "spring-2";
    cfg->waters.append(w);
}

QJsonObject redoxSection(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object().value("redox").toObject();
}

} // namespace

class tst_setup_redox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void ironPair_offeredAndChosenInPicker();
    void ironPair_notUsed_addsNoPair();
    void ironPair_relinkedOnReopen();
    void ironPair_oxygenOptionsAsAfterReopen();
    void deleteIron_takesPairOxygenAndEveryWaterCondition();
    void deleteIron_redoxSwitchedOff_stillTakesPair();
    void hydrogenGas_oneRedoxGas();
    void deleteElement_takesRedoxGasOfItsGas();
    void unresolvedNames_savedBackUnchanged();
    void redoxElement_data();
    void redoxElement();
    void redoxPair_onlyForDatabaseAuxReactions();
    void screens_dropUnknownSolutesAndUnchosenStates();
    void elementWithoutPairs_bringsNoAuxReactions();
};

void tst_setup_redox::ironPair_offeredAndChosenInPicker()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("fe-pair.jsdb"), true));
    QStringList pairs;
    pickElement(f, "fe", "Fe", true, false, [&pairs](QWidget *picker) {
        auto *tree = picker->findChild<QTreeWidget *>("treeWidget_redoxPairs");
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            pairs << tree->topLevelItem(i)->text(1);
    });
    QVERIFY2(pairs.contains("Fe+++ / Fe++"), qPrintable(pairs.join(", ")));

    QVERIFY(f.soluteNames().contains("Fe++"));
    QVERIFY(f.soluteNames().contains("Fe+++"));
    QVERIFY(f.soluteNames().contains("O2(g)"));
    QVERIFY(f.rxnNames().contains("Fe+++"));
    QCOMPARE(f.sd()->redoxpairs.size(), pairs.size());
    QCOMPARE(f.sd()->redoxpairs.first()->recName(), QString("Fe"));
    const int fe = f.batch->find_idxBatch_element("Fe");
    QVERIFY(f.sd()->elements.at(fe)->redoxelement);
    CHECK_COUNTS(f.sd());
}

void tst_setup_redox::ironPair_notUsed_addsNoPair()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("fe-nopair.jsdb"), true));
    pickElement(f, "fe", "Fe", false);
    QVERIFY(f.sd()->redoxpairs.isEmpty());
    QVERIFY(f.soluteNames().contains("Fe++"));
    QVERIFY(!f.soluteNames().contains("Fe+++"));
    const int fe = f.batch->find_idxBatch_element("Fe");
    QVERIFY(f.sd()->elements.at(fe)->redoxelement);
    // Sulphur's ferric complexes do not bring the left-out state back.
    pickElement(f, "s", "S", false);
    QVERIFY(f.soluteNames().contains("FeSO4(aq)"));
    for (const char *ferric : {"Fe+++", "FeSO4+", "Fe(SO4)2-"})
        QVERIFY2(!f.soluteNames().contains(ferric), ferric);
}

void tst_setup_redox::ironPair_relinkedOnReopen()
{
    const QString path = scratch("fe-reopen.jsdb");
    {
        workspace_fixture f;
        BoxCatcher boxes;
        QVERIFY(f.enterNew(path, true));
        pickElement(f, "fe", "Fe", true);
        QCOMPARE(f.save(), 0);
    }
    workspace_fixture g;
    LogLines log;
    QVERIFY(g.enterOpen(path));
    QVERIFY(!g.sd()->redoxpairs.isEmpty());
    const one_redoxRxn *pair = nullptr;
    for (const one_redoxRxn *p : g.sd()->redoxpairs)
        if (p->rxn && p->rxn->name == "Fe+++")
            pair = p;
    QVERIFY(pair);
    QVERIFY(g.sd()->elements.contains(pair->elementRec));
    QVERIFY(g.sd()->rxnsAqueous.contains(pair->rxn));
    QCOMPARE(namesOf(pair->soluteRecs), QStringList({"Fe+++", "Fe++"}));
    for (one_solute *s : pair->soluteRecs)
        QVERIFY(g.sd()->solutes.contains(s));
    for (const QString &line : log.lines())
        QVERIFY2(!line.contains("redox patch"), qPrintable(line));
    QVERIFY(!g.w->unsaved_changes());
}

void tst_setup_redox::ironPair_oxygenOptionsAsAfterReopen()
{
    // The O2(g) row's option list as the water page shows it: texts and data. The
    // list opened and closed without a choice changes nothing.
    const auto options = [](workspace_fixture &f) {
        showWaterPage(f);
        auto *combo = qobject_cast<QComboBox *>(
            waterTable(f, "tableWidgetWaters_element_H")->cellWidget(1, 2));
        QTest::mouseClick(combo, Qt::LeftButton);
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QStringList items;
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i) + "|" + combo->itemData(i).toString();
        return items;
    };
    const QString path = scratch("fe-o2options.jsdb");
    workspace_fixture f;
    BoxCatcher boxes;
    // New writes the file, and Load Database enters the water as read back from it.
    QVERIFY(f.enterNew(path, true) && f.enterAgain(path, true));
    pickElement(f, "fe", "Fe", true);
    const QStringList picked = options(f);
    QVERIFY2(picked.contains("RP: Fe+++/Fe++ |Fe+++"), qPrintable(picked.join("\n")));
    // The water held no O2(g) amount: it starts as a new water's, not at the blank 0.
    const QStringList amounts = tableColumn(waterTable(f, "tableWidgetWaters_element_H"), 1);
    QVERIFY2(amounts.value(1).toDouble() == 1e-8, qPrintable(amounts.join(", ")));
    QCOMPARE(f.save(), 0);
    QVERIFY(f.enterAgain(path, true));
    QCOMPARE(options(f), picked);
}

void tst_setup_redox::deleteIron_takesPairOxygenAndEveryWaterCondition()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("fe-del.jsdb"), true, true, addSecondWater));
    pickElement(f, "fe", "Fe", true);
    QVERIFY(f.soluteNames().contains("O2(g)"));
    QCOMPARE(f.sd()->waters.size(), 2);
    for (one_water *w : f.sd()->waters)
        w->stag_O2g = true;
    f.sd()->currentWater = 0;

    QVERIFY(f.clickDeleteElement("Fe"));
    QVERIFY(f.sd()->redoxpairs.isEmpty());
    QVERIFY(!f.soluteNames().contains("O2(g)"));
    QVERIFY(!f.soluteNames().contains("Fe+++"));
    for (const one_water *w : f.sd()->waters)
        QVERIFY2(!w->stag_O2g, qPrintable(w->name));
    CHECK_COUNTS(f.sd());
}

void tst_setup_redox::deleteIron_redoxSwitchedOff_stillTakesPair()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("fe-off.jsdb"), true));
    pickElement(f, "fe", "Fe", true);
    QVERIFY(!f.sd()->redoxpairs.isEmpty());
    f.sd()->ctrlset->redox = false;
    QVERIFY(f.clickDeleteElement("Fe"));
    QVERIFY(f.sd()->redoxpairs.isEmpty());
}

void tst_setup_redox::hydrogenGas_oneRedoxGas()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("h2g.jsdb"), true));
    pickGas(f, "h2", "H2(g)");
    QCOMPARE(f.sd()->redoxgases.size(), 1);
    QCOMPARE(f.sd()->redoxgases.first()->recName(), QString("H2(g)"));
    QVERIFY(f.sd()->redoxgases.first()->gasRec == f.sd()->gases.first());

    // The same gas offered again brings no second record.
    const int k = f.db->find_idxDB_gas("H2(g)");
    f.w->collect_data_on_gas(f.db->sdata->gases.at(k));
    QCOMPARE(f.sd()->redoxgases.size(), 1);

    QVERIFY(f.clickDeleteGas("H2(g)"));
    QVERIFY(f.sd()->redoxgases.isEmpty());
    QVERIFY(f.sd()->gases.isEmpty());
    CHECK_COUNTS(f.sd());

    // O2(g) itself is never a redox gas. Added first, it brings its solute and runs.
    workspace_fixture g;
    QVERIFY(g.enterNew(scratch("o2g.jsdb"), true));
    pickGas(g, "o2", "O2(g)");
    QVERIFY(g.sd()->redoxgases.isEmpty() && g.soluteNames().contains("O2(g)"));
    showWaterPage(g);
    QCOMPARE(pressRun(g), QStringLiteral("     DONE"));
}

void tst_setup_redox::deleteElement_takesRedoxGasOfItsGas()
{
    const QString path = scratch("co-gas.jsdb");
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(path, true));
    f.addGasDirect("CO(g)");
    QVERIFY(f.elementNames().contains("C"));
    QCOMPARE(f.sd()->redoxgases.size(), 1);
    QCOMPARE(namesOf(f.sd()->redoxgases.first()->soluteRecs), QStringList({"HCO3-"}));

    QVERIFY(f.clickDeleteElement("C"));
    QVERIFY(f.gasNames().isEmpty());
    QVERIFY(f.sd()->redoxgases.isEmpty());
    QCOMPARE(f.save(), 0);
    QVERIFY(redoxSection(path).value("redoxgases").toArray().isEmpty());
}

void tst_setup_redox::unresolvedNames_savedBackUnchanged()
{
    const QString path = scratch("unresolved.jsdb");
    workspace_fixture f;
    LogLines log;
    QVERIFY(f.enterNew(path, true, true, [](sim_data *cfg) {
        auto *pair = cfg->own(new one_redoxRxn);
        pair->element = "Zz";
        pair->redoxpair = "Zz+++";
        pair->solutes = QStringList({"Zz+++", "Zz++"});
        cfg->redoxpairs.append(pair);
        auto *gas = cfg->own(new one_redoxRxn);
        gas->element = "Qq(g)";
        gas->redoxpair = "Qq(g)";
        gas->solutes = QStringList({"Qq+"});
        cfg->redoxgases.append(gas);
    }));
    const QString lines = log.lines().join('\n');
    QVERIFY(lines.contains("SU: ##  redox patch, element Zz not found"));
    QVERIFY(lines.contains("SU: ##  redox patch, reaction Zz+++ not found"));
    QVERIFY(lines.contains("SU: ##  redox patch, solute Zz++ not found"));
    QVERIFY(lines.contains("SU: ##  redox patch, element Qq(g) not found"));
    QCOMPARE(f.sd()->redoxpairs.size(), 1);
    QCOMPARE(f.sd()->redoxgases.size(), 1);

    QCOMPARE(f.save(), 0);
    const QJsonObject redox = redoxSection(path);
    const QJsonObject pair = redox.value("redoxpairs").toArray().at(0).toObject();
    QCOMPARE(pair.value("element").toString(), QString("Zz"));
    QCOMPARE(pair.value("redoxpair").toString(), QString("Zz+++"));
    QCOMPARE(pair.value("solutes").toArray(), QJsonArray({"Zz+++", "Zz++"}));
    const QJsonObject gas = redox.value("redoxgases").toArray().at(0).toObject();
    QCOMPARE(gas.value("gas").toString(), QString("Qq(g)"));
    QCOMPARE(gas.value("redoxrxn").toString(), QString("Qq(g)"));
    QCOMPARE(gas.value("solutes").toArray(), QJsonArray({"Qq+"}));
}

void tst_setup_redox::redoxElement_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("elements");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hydrogen ion") << "H+" << QStringList({"H"}) << "";
    QTest::newRow("water") << "H2O" << QStringList({"H", "O"}) << "";
    QTest::newRow("oxygen gas") << "O2(g)" << QStringList({"O"}) << "";
    QTest::newRow("carbon and hydrogen") << "CH4(aq)" << QStringList({"C", "H"}) << "";
    QTest::newRow("hydrogen sulphide") << "HS-" << QStringList({"H", "S"}) << "S";
    QTest::newRow("iron sulphide") << "FeS(aq)" << QStringList({"Fe", "S"}) << "";
    QTest::newRow("ferric") << "Fe+++" << QStringList({"Fe"}) << "Fe";
    QTest::newRow("no composition") << "X" << QStringList() << "";
}

void tst_setup_redox::redoxElement()
{
    QFETCH(QString, name);
    QFETCH(QStringList, elements);
    QFETCH(QString, expected);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("redoxel.jsdb"), true));
    one_solute s;
    s.name = name;
    if (!elements.isEmpty()) {
        s.composition = new one_comp_elements;
        s.composition->element = elements;
    }
    QCOMPARE(f.w->evaluate_redoxElement(&s), expected);
}

void tst_setup_redox::redoxPair_onlyForDatabaseAuxReactions()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("pairrule.jsdb"), true));
    const int k = f.db->find_idxDB_rxn("Fe+++", 2);
    QVERIFY(k >= 0);
    one_rxn *aux = f.db->sdata->rxnsNonOrganic.at(k);
    one_redoxRxn *pair = f.w->evaluate_redoxRxn(aux);
    QVERIFY(pair);
    QCOMPARE(pair->recName(), QString("Fe"));
    QCOMPARE(namesOf(pair->soluteRecs), QStringList({"Fe+++", "Fe++"}));
    QVERIFY(pair->rxn == aux);

    // The same reaction as a configuration file gives it: no pair.
    copy_struct cpy;
    std::unique_ptr<one_rxn> fromFile(cpy.copy_rxn(aux));
    fromFile->typeRequested = 0;
    QVERIFY(f.w->evaluate_redoxRxn(fromFile.get()) == nullptr);
    // Both redox solutes on one side: no pair.
    std::unique_ptr<one_rxn> oneSided(cpy.copy_rxn(aux));
    for (double &nu : oneSided->composition->stoich)
        nu = -std::abs(nu);
    QVERIFY(f.w->evaluate_redoxRxn(oneSided.get()) == nullptr);

    bool offered = false;
    for (const one_redoxRxn *p : f.sd()->rxnsRedox)
        offered = offered || (p->recName() == "Fe" && p->rxn == aux);
    QVERIFY(offered);
}

void tst_setup_redox::screens_dropUnknownSolutesAndUnchosenStates()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("screens.jsdb"), true));
    f.addElementDirect("Fe");

    one_rxn unknown;
    unknown.name = "Fe(Zz)+";
    unknown.type = 3;
    unknown.composition = new one_comp_solutes;
    unknown.composition->solute = QStringList({"Fe(Zz)+", "Fe++", "Zz-"});
    unknown.composition->stoich = QList<double>({-1, 1, 1});
    const int k = f.db->find_idxDB_rxn("FeOH+", 3);
    QVERIFY(k >= 0);
    one_rxn *plain = f.db->sdata->rxnsAqueous.at(k);

    const QList<one_rxn *> kept = f.w->screen_rxnsRedox_supplements("Fe", {&unknown, plain});
    QCOMPARE(kept, QList<one_rxn *>({plain}));
    QCOMPARE(f.w->screen_rxnsRedox({&unknown, plain}), QList<one_rxn *>({plain}));

    // With no pair of iron in use, its ferric reactions are screened out.
    const int kf = f.db->find_idxDB_rxn("Fe+++", 2);
    one_rxn *ferric = f.db->sdata->rxnsNonOrganic.at(kf);
    QVERIFY(!f.w->screen_rxnsRedox_supplements("Fe", {ferric}).contains(ferric));
    QVERIFY(f.w->screen_rxnsRedox({ferric}).isEmpty());
}

void tst_setup_redox::elementWithoutPairs_bringsNoAuxReactions()
{
    workspace_fixture f;
    BoxCatcher boxes;
    QVERIFY(f.enterNew(scratch("ca-redox.jsdb"), true));
    pickElement(f, "ca", "Ca", true);
    QVERIFY(f.soluteNames().contains("Ca++"));
    for (const one_rxn *r : f.sd()->rxnsAqueous)
        QVERIFY2(r->type != 2, qPrintable(r->name));
    QVERIFY(f.sd()->redoxpairs.isEmpty());
    CHECK_COUNTS(f.sd());
}

QTEST_MAIN(tst_setup_redox)
#include "tst_setup_redox.moc"
