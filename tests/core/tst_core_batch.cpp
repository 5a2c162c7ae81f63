// The simulation batch: fresh records, reset and defaults, composition entries,
// species holding an element, look-ups by name, and record ownership.
#include "records.h"
#include "sbatch.h"
#include "test_ui.h"

#include <QDateTime>
#include <QtTest>

namespace {

one_comp_elements *comp(const QStringList &elements, const QList<double> &stoich)
{
    auto *c = new one_comp_elements;
    c->element = elements;
    c->stoich = stoich;
    c->ncomp = int(elements.size());
    return c;
}

one_solute *addSolute(sim_data *sd, const QString &name, const QStringList &elements,
                      const QList<double> &stoich)
{
    auto *s = sd->own(new one_solute);
    s->name = name;
    s->composition = comp(elements, stoich);
    sd->solutes.append(s);
    return s;
}

one_gas *addGas(sim_data *sd, const QString &name, const QStringList &elements,
                const QList<double> &stoich)
{
    auto *g = sd->own(new one_gas);
    g->name = name;
    g->composition = comp(elements, stoich);
    sd->gases.append(g);
    return g;
}

one_rxn *rxnNamed(sim_data *sd, const QString &name)
{
    auto *r = sd->own(new one_rxn);
    r->name = name;
    return r;
}

void setFixedNames(sim_data *sd)
{
    sd->nameH = "H";
    sd->nameO = "O";
    sd->nameC = "C";
    sd->nameHplus = "H+";
    sd->nameH2O = "H2O";
    sd->nameCl = "Cl-";
    sd->nameO2g = "O2(g)";
    sd->nameOH = "OH-";
}

/// A batch whose solutes and gases hold Ca, C, O and H.
void fillSpecies(sbatch &b)
{
    sim_data *sd = b.sdata;
    addSolute(sd, "H2O", {"H", "O"}, {2, 1});
    addSolute(sd, "H+", {"H"}, {1});
    addSolute(sd, "Ca++", {"Ca"}, {1});
    addSolute(sd, "HCO3-", {"C", "H", "O"}, {1, 1, 3});
    addSolute(sd, "CaCO3", {"Ca", "C", "O"}, {1, 1, 3});
    one_solute *bare = addSolute(sd, "NoComp", {}, {});
    delete bare->composition;
    bare->composition = nullptr;
    sd->solutes.append(nullptr); // a hole in a list is skipped, not followed
    addGas(sd, "CO2(g)", {"C", "O"}, {1, 2});
    addGas(sd, "Ca(g)", {"Ca"}, {0.5});
}

} // namespace

class tst_core_batch : public QObject
{
    Q_OBJECT

private slots:
    void freshBatch();
    void resetGivesDefaults();
    void resetKeepsFileAndDatabaseFields();
    void resetAgainKeepsOldControlSetAlive();
    void defaultWater();
    void defaultWaterBeforeDatabase();
    void otherSimDataUsesBatchNames();
    void elementComp_data();
    void elementComp();
    void commonElem_data();
    void commonElem();
    void lookups_data();
    void lookups();
    void lookupsOnEmptyLists();
    void rxnByType_data();
    void rxnByType();
    void rxnRedoxWithoutReaction();
    void verifySolute();
    void ownRegistersOnce();
    void disownHandsBack();
    void waterFreesItsRecords();
};

void tst_core_batch::freshBatch()
{
    sbatch b;
    const sim_data *sd = b.sdata;
    QVERIFY(sd);
    QCOMPARE(sd->initCode, 2);
    QVERIFY(!sd->ctrlset);
    QVERIFY(!sd->bdot);
    QVERIFY(sd->waters.isEmpty());
    QCOMPARE(sd->nwaters, 0);
    const int counts[]
        = {sd->nelements,    sd->nsolutes,   sd->nsolids,     sd->nliquids, sd->ngases,
           sd->nrxnsAqueous, sd->nrxnsSolid, sd->nrxnsLiquid, sd->nrxnsGas};
    for (int c : counts)
        QCOMPARE(c, 0);
    const QString names[] = {sd->nameH,   sd->nameO,  sd->nameC,   sd->nameHplus,
                             sd->nameH2O, sd->nameCl, sd->nameO2g, sd->nameOH};
    for (const QString &n : names)
        QVERIFY(n.isEmpty());
    QVERIFY(b.names.isEmpty());
}

void tst_core_batch::resetGivesDefaults()
{
    sbatch b;
    fillSpecies(b);
    sim_data *sd = b.sdata;
    sd->elements.append(sd->own(new one_element));
    sd->nelements = 1;
    sd->nsolutes = 7;
    sd->rxnsAqueous.append(rxnNamed(sd, "x"));
    sd->rxnsNonOrganic.append(rxnNamed(sd, "y"));
    sd->rxnsAll.append(sd->rxnsAqueous.first());
    sd->redoxpairs.append(sd->own(new one_redoxRxn));
    sd->nrxnsAqueous = 1;

    b.simData_init(sd);

    const one_ctrlset *cs = sd->ctrlset;
    QVERIFY(cs);
    QCOMPARE(cs->dbaccess, true);
    QCOMPARE(cs->redox, false);
    QCOMPARE(cs->orgcmpd, false);
    QCOMPARE(cs->csolvitmax, 31);
    QCOMPARE(cs->csolvcvg, 1e-6);
    QCOMPARE(cs->csolvcmax, 35.0);
    QCOMPARE(cs->csolvcmin, 1e-36);
    QCOMPARE(cs->TCmax, 350.0);
    QCOMPARE(cs->TCmin, 0.1);

    QCOMPARE(sd->waters.size(), 1);
    QCOMPARE(sd->waters.first()->name, QString("water-default"));
    QCOMPARE(sd->nwaters, 1);
    QCOMPARE(sd->currentWater, 0);
    QVERIFY(sd->isOwned(sd->waters.first()));

    QVERIFY(sd->elements.isEmpty() && sd->solutes.isEmpty() && sd->gases.isEmpty());
    QVERIFY(sd->rxnsAqueous.isEmpty() && sd->rxnsNonOrganic.isEmpty());
    QVERIFY(sd->redoxpairs.isEmpty());
    QCOMPARE(sd->nelements + sd->nsolutes + sd->nrxnsAqueous, 0);
    // The database list it does not name stays, with its record.
    QCOMPARE(sd->rxnsAll.size(), 1);
    QCOMPARE(sd->rxnsAll.first()->name, QString("x"));
}

void tst_core_batch::resetKeepsFileAndDatabaseFields()
{
    sbatch b;
    sim_data *sd = b.sdata;
    sd->file = "/tmp/a.jsdb";
    sd->fileBackup = "/tmp/a.jsdb-bk";
    sd->filePath_default = "/tmp";
    sd->dbref = "ref.db";
    sd->dbuser = "user.db";
    sd->dbtype = 1;
    sd->description = "notes";
    setFixedNames(sd);
    b.simData_init(sd);
    QCOMPARE(sd->file, QString("/tmp/a.jsdb"));
    QCOMPARE(sd->fileBackup, QString("/tmp/a.jsdb-bk"));
    QCOMPARE(sd->filePath_default, QString("/tmp"));
    QCOMPARE(sd->dbref, QString("ref.db"));
    QCOMPARE(sd->dbuser, QString("user.db"));
    QCOMPARE(sd->dbtype, 1);
    QCOMPARE(sd->description, QString("notes"));
    QCOMPARE(sd->nameO2g, QString("O2(g)"));
}

void tst_core_batch::resetAgainKeepsOldControlSetAlive()
{
    sbatch b;
    b.simData_init(b.sdata);
    one_ctrlset *first = b.sdata->ctrlset;
    first->csolvitmax = 77;
    one_water *firstWater = b.sdata->waters.first();
    b.simData_init(b.sdata);
    QVERIFY(b.sdata->ctrlset != first);
    QCOMPARE(b.sdata->ctrlset->csolvitmax, 31);
    // Holders of the old records may still read them; they are freed with
    // the sim_data (the sanitizer build checks both the reads and the freeing).
    QCOMPARE(first->csolvitmax, 77);
    QCOMPARE(firstWater->name, QString("water-default"));
    QCOMPARE(b.sdata->waters.size(), 1);

    // A control set installed after freeing the previous one is freed once too.
    delete b.sdata->ctrlset;
    b.sdata->ctrlset = b.simData_init_ctrlset();
}

void tst_core_batch::defaultWater()
{
    sbatch b;
    setFixedNames(b.sdata);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    one_water *w = b.simData_init_water();
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    QCOMPARE(w->id, 0);
    QCOMPARE(w->name, QString("water-default"));
    QVERIFY(w->date_utc >= before && w->date_utc <= after);
    QVERIFY(!w->date_str.isEmpty());
    QCOMPARE(w->description, "----- water data started on " + w->date_str);
    QCOMPARE(w->densitymass, 1.0);
    QCOMPARE(w->TC, 25.0);
    QCOMPARE(w->activitymethod, 4);
    QCOMPARE(w->activitywater, 1);
    QCOMPARE(w->typeH, 1);
    QCOMPARE(w->typeHIndex, 1);
    QCOMPARE(w->concnunit, 0);
    QCOMPARE(w->concnunitElem, 0);
    QCOMPARE(w->unitIndex2, 0);
    QCOMPARE(w->unitIndex3, 0);
    QCOMPARE(w->concnunitGas, 1);
    QCOMPARE(w->unitIndex4, 1);
    QCOMPARE(w->unitAux1, 1.0);
    QCOMPARE(w->unitAux2, 1000.0);
    QCOMPARE(w->unitAux3, 0.0);
    QVERIFY(!w->chargebalance && !w->alkSet && !w->stag_O2g);
    QVERIFY(!w->statmixing && !w->stattitrate);
    QVERIFY(!w->mixdata && !w->results);
    QVERIFY(w->composition.isEmpty());
    QCOMPARE(w->resAux[0], 0);
    QVERIFY(w->redoxO2g);
    QCOMPARE(w->redoxO2g->element, QString("O2(g)"));
    QCOMPARE(w->redoxO2g->molal, 1e-8);
    delete w;
}

void tst_core_batch::defaultWaterBeforeDatabase()
{
    // Before a database sets the fixed names the O2(g) entry still gets the
    // O2(g) amounts, not those of oxygen.
    sbatch b;
    b.simData_init(b.sdata);
    const one_elementComp *o2 = b.sdata->waters.first()->redoxO2g;
    QVERIFY(o2);
    QCOMPARE(o2->element, QString("O2(g)"));
    QCOMPARE(o2->solute, QString("O2(g)"));
    QCOMPARE(o2->molal, 1e-8);
    QCOMPARE(o2->Molar, 1e-8);
    QCOMPARE(o2->ppm, 1e-8);
}

void tst_core_batch::otherSimDataUsesBatchNames()
{
    sbatch b;
    b.sdata->nameO2g = "O2,g";
    sim_data other;
    other.nameO2g = "O2(g)";
    b.simData_init(&other);
    QCOMPARE(other.waters.size(), 1);
    QCOMPARE(other.waters.first()->redoxO2g->element, QString("O2,g"));
    QCOMPARE(other.waters.first()->redoxO2g->molal, 1e-8);
    QVERIFY(!b.sdata->ctrlset);
}

void tst_core_batch::elementComp_data()
{
    QTest::addColumn<bool>("namesSet");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("molal");
    QTest::addColumn<double>("Molar");
    QTest::addColumn<double>("ppm");
    QTest::addColumn<QStringList>("species");
    QTest::addColumn<QList<double>>("stoich");

    for (bool set : {false, true}) {
        const char *when = set ? "database" : "no database";
        QTest::addRow("H, %s", when)
            << set << "H" << 1e-7 << 1e-7 << 1e-7 << QStringList {"H+"} << QList<double> {1.0};
        QTest::addRow("O, %s", when)
            << set << "O" << 1.0 << 1.0 << 1.0 << QStringList {"H2O"} << QList<double> {1.0};
        QTest::addRow("H2O, %s", when)
            << set << "H2O" << 1.0 << 1.0 << 1.0 << QStringList() << QList<double>();
        QTest::addRow("O2(g), %s", when)
            << set << "O2(g)" << 1e-8 << 1e-8 << 1e-8 << QStringList() << QList<double>();
        QTest::addRow("Ca, %s", when)
            << set << "Ca" << 1e-4 << 1e-4 << 1.0 << QStringList {"Ca++", "CaCO3", "Ca(g)"}
            << QList<double> {1.0, 1.0, 0.5};
        QTest::addRow("empty, %s", when)
            << set << "" << 1e-4 << 1e-4 << 1.0 << QStringList() << QList<double>();
        // Fixed names compare case-sensitively: "o" is not oxygen.
        QTest::addRow("o, %s", when)
            << set << "o" << 1e-4 << 1e-4 << 1.0 << QStringList() << QList<double>();
    }
}

void tst_core_batch::elementComp()
{
    QFETCH(bool, namesSet);
    QFETCH(QString, name);
    QFETCH(double, molal);
    QFETCH(double, Molar);
    QFETCH(double, ppm);
    QFETCH(QStringList, species);
    QFETCH(QList<double>, stoich);

    sbatch b;
    fillSpecies(b);
    if (namesSet)
        setFixedNames(b.sdata);
    one_elementComp *ec = b.setup_one_elementComp(name);
    QCOMPARE(ec->element, name);
    QCOMPARE(ec->solute, name);
    QCOMPARE(ec->molal, molal);
    QCOMPARE(ec->Molar, Molar);
    QCOMPARE(ec->ppm, ppm);
    QCOMPARE(ec->species, species);
    QCOMPARE(ec->stoich, stoich);
    QCOMPARE(ec->stoich.size(), ec->species.size());
    QVERIFY(ec->swaprxn.isEmpty());
    QVERIFY(!ec->redoxsolute);
    delete ec;
}

void tst_core_batch::commonElem_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QStringList>("species");
    QTest::addColumn<QList<double>>("stoich");
    QTest::newRow("C in solutes then gases")
        << "C" << QStringList {"HCO3-", "CaCO3", "CO2(g)"} << QList<double> {1, 1, 1};
    QTest::newRow("O, water only") << "O" << QStringList {"H2O"} << QList<double> {1};
    QTest::newRow("H, hydrogen ion only") << "H" << QStringList {"H+"} << QList<double> {1};
    QTest::newRow("exact case") << "ca" << QStringList() << QList<double>();
    QTest::newRow("absent") << "Na" << QStringList() << QList<double>();
}

void tst_core_batch::commonElem()
{
    QFETCH(QString, element);
    QFETCH(QStringList, species);
    QFETCH(QList<double>, stoich);
    sbatch b;
    fillSpecies(b);
    setFixedNames(b.sdata);
    QCOMPARE(b.solutes_commonElem(element), species);
    QCOMPARE(b.solutes_commonElem_stoich(element), stoich);
}

void tst_core_batch::lookups_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("element CA") << "element"
                                << "CA" << 1;
    QTest::newRow("element first of two") << "element"
                                          << "na" << 2;
    QTest::newRow("element absent") << "element"
                                    << "Mg" << -9;
    QTest::newRow("element empty") << "element"
                                   << "" << -9;
    QTest::newRow("basis") << "elementBasis"
                           << "ca++" << 1;
    QTest::newRow("basis absent") << "elementBasis"
                                  << "Ca" << -9;
    QTest::newRow("solute h+") << "solute"
                               << "h+" << 1;
    QTest::newRow("solute HCO3-") << "solute"
                                  << "hco3-" << 3;
    QTest::newRow("solute absent") << "solute"
                                   << "OH-" << -9;
    QTest::newRow("solid") << "solid"
                           << "CALCITE" << 0;
    QTest::newRow("gas") << "gas"
                         << "co2(G)" << 0;
    QTest::newRow("solid rxn") << "solidRxn"
                               << "gypsum" << 1;
    QTest::newRow("water") << "water"
                           << "WATER-DEFAULT" << 0;
    QTest::newRow("water second") << "water"
                                  << "seawater" << 1;
    QTest::newRow("redox rxn") << "rxnRedox"
                               << "FE+++" << 1;
}

void tst_core_batch::lookups()
{
    QFETCH(QString, which);
    QFETCH(QString, name);
    QFETCH(int, index);

    sbatch b;
    b.simData_init(b.sdata);
    fillSpecies(b);
    sim_data *sd = b.sdata;
    for (const char *n : {"H", "Ca", "Na", "NA"}) {
        auto *e = sd->own(new one_element);
        e->name = n;
        e->basis_name = QString(n) + "++";
        sd->elements.append(e);
    }
    auto *calcite = sd->own(new one_solid);
    calcite->name = "Calcite";
    sd->solids.append(calcite);
    sd->rxnsSolid = {rxnNamed(sd, "Calcite"), rxnNamed(sd, "Gypsum")};
    auto *sea = sd->own(new one_water);
    sea->name = "Seawater";
    sd->waters.append(sea);
    for (const char *n : {"Fe++", "Fe+++"}) {
        auto *rr = sd->own(new one_redoxRxn);
        rr->rxn = rxnNamed(sd, n);
        sd->rxnsRedox.append(rr);
    }

    int found = -100;
    if (which == "element")
        found = b.find_idxBatch_element(name);
    else if (which == "elementBasis")
        found = b.find_idxBatch_elementBasis(name);
    else if (which == "solute")
        found = b.find_idxBatch_solute(name);
    else if (which == "solid")
        found = b.find_idxBatch_solid(name);
    else if (which == "gas")
        found = b.find_idxBatch_gas(name);
    else if (which == "solidRxn")
        found = b.find_idxBatch_solidRxn(name);
    else if (which == "water")
        found = b.find_idxBatch_water(name);
    else if (which == "rxnRedox")
        found = b.find_idxBatch_rxnRedox(name);
    QCOMPARE(found, index);
}

void tst_core_batch::lookupsOnEmptyLists()
{
    sbatch b;
    MessageCapture log;
    QCOMPARE(b.find_idxBatch_element("H"), -9);
    QCOMPARE(b.find_idxBatch_elementBasis("H+"), -9);
    QCOMPARE(b.find_idxBatch_solute("H+"), -9);
    QCOMPARE(b.find_idxBatch_solid("Calcite"), -9);
    QCOMPARE(b.find_idxBatch_gas("CO2(g)"), -9);
    QCOMPARE(b.find_idxBatch_solidRxn("Calcite"), -9);
    QCOMPARE(b.find_idxBatch_water("water-default"), -9);
    QCOMPARE(b.find_idxBatch_rxnRedox("Fe+++"), -9);
    for (int type = 2; type <= 6; ++type)
        QCOMPARE(b.find_idxBatch_rxn("x", type), -9);
    QVERIFY(!b.verify_solute_inBatch("H+"));
    QCOMPARE(log.take(), QStringList());
}

void tst_core_batch::rxnByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("aux") << 2 << "co3--" << 1 << QStringList();
    QTest::newRow("aqueous") << 3 << "OH-" << 0 << QStringList();
    QTest::newRow("solid") << 4 << "calcite" << 0 << QStringList();
    QTest::newRow("liquid") << 5 << "HG" << 0 << QStringList();
    QTest::newRow("gas") << 6 << "o2(g)" << 1 << QStringList();
    QTest::newRow("gas name in solid list") << 4 << "O2(g)" << -9 << QStringList();
    QTest::newRow("element")
        << 0 << "Calcite" << -9
        << QStringList {"DD : ##### cannot find reaction [ \"Calcite\" ], unknown type [ 0 ]"};
    QTest::newRow("basis") << 1 << "OH-" << -9
                           << QStringList {"DD : ##### cannot find reaction [ \"OH-\" ], "
                                           "unknown type [ 1 ]"};
    QTest::newRow("ideal") << 7 << "x" << -9
                           << QStringList {"DD : ##### cannot find reaction [ \"x\" ], "
                                           "unknown type [ 7 ]"};
}

void tst_core_batch::rxnByType()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QStringList, lines);
    sbatch b;
    sim_data *sd = b.sdata;
    sd->rxnsAqueous = {rxnNamed(sd, "OH-"), rxnNamed(sd, "CO3--")};
    sd->rxnsSolid = {rxnNamed(sd, "Calcite")};
    sd->rxnsLiquid = {rxnNamed(sd, "Hg")};
    sd->rxnsGas = {rxnNamed(sd, "CO2(g)"), rxnNamed(sd, "O2(g)")};
    MessageCapture log;
    QCOMPARE(b.find_idxBatch_rxn(name, type), index);
    QCOMPARE(log.take(), lines);
}

void tst_core_batch::rxnRedoxWithoutReaction()
{
    // Redox records read from a file carry names only until they are linked.
    sbatch b;
    auto *unlinked = b.sdata->own(new one_redoxRxn);
    unlinked->redoxpair = "Fe+++";
    b.sdata->rxnsRedox.append(unlinked);
    QCOMPARE(b.find_idxBatch_rxnRedox("Fe+++"), -9);
    QCOMPARE(b.find_idxBatch_rxnRedox(""), -9);
}

void tst_core_batch::verifySolute()
{
    sbatch b;
    fillSpecies(b);
    b.sdata->rxnsGas.append(rxnNamed(b.sdata, "O2(g)"));
    QVERIFY(b.verify_solute_inBatch("hco3-"));
    QVERIFY(b.verify_solute_inBatch("O2(G)"));
    // Gases of the species list are not reactions of the batch.
    QVERIFY(!b.verify_solute_inBatch("CO2(g)"));
    QVERIFY(!b.verify_solute_inBatch("Mg++"));
}

void tst_core_batch::ownRegistersOnce()
{
    auto *sd = new sim_data;
    auto *s = new one_solute;
    s->composition = new one_comp_elements;
    QCOMPARE(sd->own(s), s);
    QCOMPARE(sd->own(s), s); // registering twice must not free twice
    sd->solutes.append(s);
    sd->solutesAll.append(s); // lists share the record
    QCOMPARE(sd->own(static_cast<one_rxn *>(nullptr)), static_cast<one_rxn *>(nullptr));
    QVERIFY(sd->isOwned(s));
    // A control set that was also registered is freed once.
    sd->ctrlset = sd->own(new one_ctrlset);
    sd->bdot = new one_bdot_properties;
    delete sd; // the sanitizer build reports a double free or a leak
}

void tst_core_batch::disownHandsBack()
{
    one_water *w = nullptr;
    {
        sim_data sd;
        w = sd.own(new one_water);
        QVERIFY(sd.disown(w));
        QVERIFY(!sd.isOwned(w));
        QVERIFY(!sd.disown(w));
        QVERIFY(!sd.disown(nullptr));
    }
    w->name = "still alive";
    QCOMPARE(w->name, QString("still alive"));
    delete w;
}

void tst_core_batch::waterFreesItsRecords()
{
    // Every owned part of a water and its result is freed with it; its swap
    // reactions are links to records held elsewhere and stay alive.
    sbatch b;
    auto *swap = rxnNamed(b.sdata, "Calcite");
    swap->composition = new one_comp_solutes;
    swap->eqk = new one_rxn_eqk;
    swap->compSpecies = new one_comp_elements;

    auto *w = new one_water;
    w->composition.append(b.setup_one_elementComp("Ca"));
    w->redoxO2g = b.setup_one_elementComp("O2(g)");
    w->gasComp.append(b.setup_one_gasComp("CO2(g)"));
    w->rxnsConstraint.append(swap);
    w->mixdata = new one_water_mixModel;
    w->results = new one_water_result;
    w->results->soln_elem.append(new one_waterResult_element);
    w->results->soln_aq.append(new one_waterResult_solute);
    w->results->soln_gas.append(new one_waterResult_solute);
    w->results->rxns.append(new one_waterResult_rxn);
    w->results->solids.append(new one_waterResult_rxn);
    delete w;
    QCOMPARE(swap->name, QString("Calcite"));

    // A redox record links its element, reaction and solutes unless it owns them.
    auto *el = new one_element;
    auto *pair = new one_redoxRxn;
    pair->elementRec = el;
    pair->rxn = swap;
    delete pair;
    QCOMPARE(swap->name, QString("Calcite"));
    delete el;

    auto *gasPair = new one_redoxRxn;
    gasPair->gasRec = new one_gas;
    gasPair->gasRec->name = "O2(g)";
    gasPair->gasRec->composition = new one_comp_elements;
    gasPair->rxn = new one_rxn;
    gasPair->ownsLinks = true;
    QCOMPARE(gasPair->recName(), QString("O2(g)"));
    delete gasPair;
}

QTEST_GUILESS_MAIN(tst_core_batch)
#include "tst_core_batch.moc"
