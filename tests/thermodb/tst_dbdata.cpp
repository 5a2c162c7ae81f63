// Loading, classification, working lists and look-ups of the database image,
// on a small hand-made reference database and on the full generated one.
#include "dbdata.h"
#include "return_codes.h"
#include "support_fixture.h"
#include "test_env.h"
#include "test_ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

QStringList names(const QList<one_rxn *> &list)
{
    QStringList out;
    for (const one_rxn *r : list)
        out << r->name;
    return out;
}

template<class T>
QStringList speciesNames(const QList<T *> &list)
{
    QStringList out;
    for (const T *s : list)
        out << s->name;
    return out;
}

/// A batch-like configuration that names a reference file.
struct config
{
    sim_data sd;
    config(const QString &path, int type = 0, bool redox = false, bool organic = false)
    {
        sd.dbref = path;
        sd.dbtype = type;
        sd.ctrlset = new one_ctrlset;
        sd.ctrlset->dbaccess = true;
        sd.ctrlset->redox = redox;
        sd.ctrlset->orgcmpd = organic;
    }
};

int tableCount(const QString &path, const QString &sql)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tst_count");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("tst_count");
    return n;
}

} // namespace

class tst_dbdata : public QObject
{
    Q_OBJECT

private:
    QString dir;
    QString fixture;

    std::unique_ptr<dbdata> loadFixture(bool redox = true, bool organic = true)
    {
        auto db = std::make_unique<dbdata>();
        config c(fixture, 0, redox, organic);
        if (db->db_retrieve_data(&c.sd) != 0 || db->db_manage_data(&c.sd) != 0)
            return nullptr;
        db->db_set_solid_multipleRxns();
        db->sdata->ctrlset = nullptr; // the config's control set goes with it
        return db;
    }

private slots:
    void initTestCase()
    {
        dir = vek7TestScratchDir() + "/dbdata";
        QVERIFY(QDir().mkpath(dir));
        fixture = dir + "/fixture.db";
        QVERIFY(writeFixtureDb(fixture));
    }

    void fixture_listsAsRead()
    {
        auto db = loadFixture();
        QVERIFY(db);
        sim_data *sd = db->sdata;
        // Sorted ignoring case; names equal apart from case keep their order.
        QCOMPARE(speciesNames(sd->elements),
                 QStringList({"b", "C", "Ca", "Co", "CO", "Fe", "H", "O"}));
        for (const one_element *e : sd->elements)
            QCOMPARE(e->cvtmtoppm, e->mol_wt * 1000.0);
        QCOMPARE(sd->solutesDB.size(), 13);
        QCOMPARE(sd->solids.size(), 3);
        QCOMPARE(sd->liquids.size(), 0);
        QCOMPARE(sd->gases.size(), 2);
        QCOMPARE(sd->rxnsAqueousDB.size(), 6); // NoK left out: it has no log K terms
        QCOMPARE(sd->rxnsAuxDB.size(), 2);
        QCOMPARE(sd->rxnsSolidDB.size(), 3);
        QCOMPARE(sd->rxnsGasDB.size(), 2);
        QCOMPARE(sd->bdot->TC.size(), 3);
        QCOMPARE(sd->bdot->DHa.at(2), 2.5);
        QCOMPARE(sd->nameO2g, QString("O2(g)"));
        QCOMPARE(sd->nameOH, QString("OH-"));
        const one_solute *s = sd->solutesDB.at(0);
        QCOMPARE(s->name, QString("H2O"));
        QCOMPARE(s->type, int(global::basis));
        QCOMPARE(s->charge, -1.0);
        QCOMPARE(s->DHazero, 4.0);
        QCOMPARE(sd->solids.at(0)->type, int(global::solid));
        QCOMPARE(sd->solids.at(0)->molar_volume, 3.25);
        QCOMPARE(sd->gases.at(0)->type, int(global::gas));
        QCOMPARE(sd->gases.at(0)->molar_volume, 0.0);
    }

    void fixture_leftOutReactionReported()
    {
        dbdata db;
        config c(fixture);
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        QCOMPARE(db.messages().size(), 1);
        QVERIFY(db.messages().first().contains("NoK"));
        db.sdata->ctrlset = nullptr;
    }

    void fixture_compositionBySpeciesType()
    {
        auto db = loadFixture();
        QVERIFY(db);
        // The O2(g) solute and the O2(g) gas each carry their own oxygen once.
        const one_solute *o2aq = db->sdata->solutes.at(db->find_idxDB_solute("O2(g)"));
        const one_gas *o2g = db->sdata->gases.at(db->find_idxDB_gas("O2(g)"));
        QCOMPARE(o2aq->composition->ncomp, 1);
        QCOMPARE(o2g->composition->ncomp, 1);
        QCOMPARE(o2g->composition->stoich, QList<double>({2.0}));
        const one_rxn *co2 = db->sdata->rxnsGas.at(db->find_idxDB_rxn("CO2(g)", global::gas));
        // The gas of a gas reaction gives its elements from the gas record.
        QCOMPARE(co2->elements, QStringList({"C", "O", "H"}));
        QVERIFY(co2->compSpecies);
        QVERIFY(co2->compSpecies != db->sdata->gases.at(1)->composition);
        QCOMPARE(co2->compSpecies->element, QStringList({"C", "O"}));
    }

    void compositionWithoutTypeColumn()
    {
        // An older file whose compositions carry no species type is matched by name.
        fixture_options o;
        o.compTypeColumn = false;
        const QString path = dir + "/notype.db";
        QVERIFY(writeFixtureDb(path, o));
        dbdata db;
        config c(path, 0, true, true);
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        QCOMPARE(db.db_manage_data(&c.sd), 0);
        const one_solute *ch4 = db.sdata->solutes.at(db.find_idxDB_solute("CH4(aq)"));
        QCOMPARE(ch4->composition->element, QStringList({"C", "H"}));
        QCOMPARE(db.sdata->namesOrganic.size(), 3);
    }

    void fixture_eqkTermsOrdered()
    {
        auto db = loadFixture();
        QVERIFY(db);
        const one_rxn *fe3 = db->sdata->rxnsAll.at(names(db->sdata->rxnsAll).indexOf("Fe+++"));
        QCOMPARE(fe3->eqk->nterms, 2);
        QCOMPARE(fe3->eqk->order_idx, QList<int>({0, 1}));
        QCOMPARE(fe3->eqk->quotient, QList<double>({0.0, 1.0}));
        QCOMPARE(fe3->eqk->tag, 7);
        QCOMPARE(fe3->eqk->type_eqn, int(global::eqkLog10_polynom));
        QCOMPARE(fe3->expression, QString("Fe+++ + 0.5 H2O = 0.25 O2(g) + Fe++ + H+"));
        QCOMPARE(fe3->type, int(global::aux));
        QCOMPARE(fe3->typeRequested, int(global::aux));
    }

    void fixture_thermodataLinks()
    {
        auto db = loadFixture();
        QVERIFY(db);
        sim_data *sd = db->sdata;
        const one_solute *fe2 = sd->solutes.at(db->find_idxDB_solute("Fe++"));
        QVERIFY(fe2->thermo);
        QCOMPARE(fe2->thermo->gibbsFm, -1.0);
        QCOMPARE(fe2->thermo->unitGFm, QString("cal/mol"));
        // A later row for the same species replaces the earlier one.
        QCOMPARE(sd->solids.at(db->find_idxDB_solid("Siderite"))->thermo->gibbsFm, -3.0);
        QCOMPARE(sd->gases.at(db->find_idxDB_gas("CO2(g)"))->thermo->gibbsFm, -5.0);
        QVERIFY(!sd->solids.at(db->find_idxDB_solid("Hematite"))->thermo);
    }

    void fixture_classification()
    {
        auto db = loadFixture();
        QVERIFY(db);
        sim_data *sd = db->sdata;
        QCOMPARE(speciesNames(sd->solutesOrganic),
                 QStringList({"H2O", "H+", "Fe++", "HCO3-", "O2(g)", "Fe+++", "CH3COOH", "CH4(aq)",
                              "HCN(aq)"}));
        QCOMPARE(speciesNames(sd->solutesStd),
                 QStringList({"H2O", "H+", "Fe++", "HCO3-", "O2(g)", "OH-", "CO3--", "FeOH++",
                              "CH3Cl(aq)"}));
        QCOMPARE(sd->solutesAll.size(), 13);
        QCOMPARE(sd->namesOrganic, QStringList({"CH4(aq)", "HCN(aq)", "CH3COOH"}));
        QCOMPARE(sd->namesRedox, QStringList({"FeOH++", "CH3Cl(aq)", "Fe+++"}));
        QCOMPARE(sd->namesStd, QStringList({"OH-", "CO3--"}));
        QCOMPARE(names(sd->rxnsNonOrganic),
                 QStringList({"OH-", "CO3--", "FeOH++", "CH3Cl(aq)", "Fe+++"}));
        QCOMPARE(names(sd->rxnsStd), QStringList({"OH-", "CO3--"}));
        QCOMPARE(sd->rxnsAll.size(), 8);
        QCOMPARE(names(sd->rxnsSolidAll), QStringList({"Siderite", "Hematite", "Siderite"}));
        QCOMPARE(names(sd->rxnsSolidNonRedox), QStringList({"Siderite", "Siderite"}));
        QCOMPARE(names(sd->rxnsGasNonRedox), QStringList({"CO2(g)"}));
    }

    void organicElementTest_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<bool>("organic");
        QTest::newRow("C H") << QStringList {"C", "H"} << true;
        QTest::newRow("C H N O") << QStringList {"C", "H", "N", "O"} << true;
        QTest::newRow("C O") << QStringList {"C", "O"} << false;
        QTest::newRow("C H Cl") << QStringList {"C", "H", "Cl"} << false;
        QTest::newRow("Cl first") << QStringList {"Cl", "C", "H"} << false;
        QTest::newRow("empty") << QStringList {} << false;
        QTest::newRow("lower-case c") << QStringList {"c", "H"} << false;
    }
    void organicElementTest()
    {
        QFETCH(QStringList, elements);
        QFETCH(bool, organic);
        dbdata db;
        db.db_essential_prePatch(0);
        QCOMPARE(db.verify_elements_organicCmpd(elements), organic);
    }

    void switches_data()
    {
        QTest::addColumn<bool>("redox");
        QTest::addColumn<bool>("organic");
        QTest::addColumn<QStringList>("aqueous");
        QTest::addColumn<int>("nsolutes");
        QTest::addColumn<QStringList>("solid");
        QTest::addColumn<QList<int>>("sideriteRxns");
        QTest::addColumn<int>("ngasRxns");
        const QStringList std = {"OH-", "CO3--"};
        const QStringList nonOrganic = {"OH-", "CO3--", "FeOH++", "CH3Cl(aq)", "Fe+++"};
        const QStringList all
            = {"OH-", "CO3--", "CH4(aq)", "FeOH++", "HCN(aq)", "CH3Cl(aq)", "Fe+++", "CH3COOH"};
        const QStringList solidAll = {"Siderite", "Hematite", "Siderite"};
        const QStringList solidStd = {"Siderite", "Siderite"};
        QTest::newRow("redox off")
            << false << false << std << 9 << solidStd << QList<int> {0, 1} << 1;
        QTest::newRow("redox off, organic ignored")
            << false << true << std << 9 << solidStd << QList<int> {0, 1} << 1;
        QTest::newRow("redox") << true << false << nonOrganic << 13 << solidAll << QList<int> {0, 2}
                               << 2;
        QTest::newRow("redox and organic")
            << true << true << all << 13 << solidAll << QList<int> {0, 2} << 2;
    }
    void switches()
    {
        QFETCH(bool, redox);
        QFETCH(bool, organic);
        QFETCH(QStringList, aqueous);
        QFETCH(int, nsolutes);
        QFETCH(QStringList, solid);
        QFETCH(QList<int>, sideriteRxns);
        QFETCH(int, ngasRxns);
        // Assign the opposite choice first: only the second choice may remain.
        auto db = loadFixture(!redox, !organic);
        QVERIFY(db);
        config c(fixture, 0, redox, organic);
        QCOMPARE(db->db_manage_data(&c.sd), 0);
        QCOMPARE(db->db_set_solid_multipleRxns(), 0);
        sim_data *sd = db->sdata;
        QCOMPARE(names(sd->rxnsAqueous), aqueous);
        QCOMPARE(sd->nrxnsAqueous, aqueous.size());
        QCOMPARE(sd->solutes.size(), nsolutes);
        QCOMPARE(sd->nsolutes, nsolutes);
        QCOMPARE(names(sd->rxnsSolid), solid);
        QCOMPARE(sd->nrxnsSolid, solid.size());
        QCOMPARE(sd->rxnsGas.size(), ngasRxns);
        QCOMPARE(sd->nelements, 8);
        QCOMPARE(sd->nsolids, 3);
        const one_solid *siderite = sd->solids.at(db->find_idxDB_solid("Siderite"));
        QCOMPARE(siderite->rxns, sideriteRxns);
        QCOMPARE(siderite->nrxns, sideriteRxns.size());
        const one_solid *lone = sd->solids.at(db->find_idxDB_solid("Lone"));
        QCOMPARE(lone->nrxns, 0);
        QVERIFY(lone->rxns.isEmpty());
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("element exact") << "element"
                                       << "Co" << 3;
        QTest::newRow("element other case") << "element"
                                            << "CO" << 4;
        QTest::newRow("element absent") << "element"
                                        << "Zz" << -9;
        QTest::newRow("solute") << "solute"
                                << "H+" << 1;
        QTest::newRow("solute lower case") << "solute"
                                           << "h+" << -9;
        QTest::newRow("solute empty name") << "solute"
                                           << "" << -9;
        QTest::newRow("organic solute") << "organic"
                                        << "CH4(aq)" << 7;
        QTest::newRow("solid first of two") << "solid"
                                            << "Siderite" << 0;
        QTest::newRow("gas") << "gas"
                             << "CO2(g)" << 1;
        QTest::newRow("liquid none") << "liquid"
                                     << "Hg" << -9;
        QTest::newRow("aqueous rxn") << "aqueous"
                                     << "FeOH++" << 3;
        QTest::newRow("aux rxn in non-organic") << "aux"
                                                << "Fe+++" << 4;
        QTest::newRow("aux rxn, organic absent") << "aux"
                                                 << "CH3COOH" << -9;
        QTest::newRow("solid rxn") << "solidRxn"
                                   << "Hematite" << 1;
        QTest::newRow("gas rxn") << "gasRxn"
                                 << "O2(g)" << 0;
    }
    void lookups()
    {
        QFETCH(QString, list);
        QFETCH(QString, name);
        QFETCH(int, index);
        auto db = loadFixture();
        QVERIFY(db);
        int got = 0;
        if (list == "element")
            got = db->find_idxDB_element(name);
        else if (list == "solute")
            got = db->find_idxDB_solute(name);
        else if (list == "organic")
            got = db->find_idxDB_solute_orgCmpd(name);
        else if (list == "solid")
            got = db->find_idxDB_solid(name);
        else if (list == "gas")
            got = db->find_idxDB_gas(name);
        else if (list == "liquid")
            got = db->find_idxDB_liquid(name);
        else if (list == "aqueous")
            got = db->find_idxDB_rxn(name, global::aqueous);
        else if (list == "aux")
            got = db->find_idxDB_rxn(name, global::aux);
        else if (list == "solidRxn")
            got = db->find_idxDB_rxn(name, global::solid);
        else if (list == "gasRxn")
            got = db->find_idxDB_rxn(name, global::gas);
        QCOMPARE(got, index);
    }

    void rxnLookupUnknownType()
    {
        auto db = loadFixture();
        QVERIFY(db);
        QTest::ignoreMessage(QtDebugMsg,
                             "DD : ##### cannot find reaction [  \"OH-\"  ], unknown type [  1  ]");
        QCOMPARE(db->find_idxDB_rxn("OH-", global::basis), -9);
    }

    void expression_data()
    {
        QTest::addColumn<QStringList>("species");
        QTest::addColumn<QList<double>>("stoich");
        QTest::addColumn<QString>("text");
        QTest::newRow("mixed") << QStringList {"A", "B", "D", "E"} << QList<double> {-1, -2, 1, 0.5}
                               << "A + 2 B = D + 0.5 E";
        QTest::newRow("unit") << QStringList {"A", "B"} << QList<double> {-1, 1} << "A = B";
        QTest::newRow("fraction") << QStringList {"A", "B"} << QList<double> {-1.5, 1}
                                  << "1.5 A = B";
        QTest::newRow("zero dropped")
            << QStringList {"A", "B", "C"} << QList<double> {-1, 0, 1} << "A = C";
        QTest::newRow("six digits")
            << QStringList {"A", "B"} << QList<double> {-1, 0.333333333} << "A = 0.333333 B";
        QTest::newRow("empty") << QStringList {} << QList<double> {} << " = ";
        QTest::newRow("short stoich list")
            << QStringList {"A", "B"} << QList<double> {-1} << "A = ";
    }
    void expression()
    {
        QFETCH(QStringList, species);
        QFETCH(QList<double>, stoich);
        QFETCH(QString, text);
        one_comp_solutes comp;
        comp.solute = species;
        comp.stoich = stoich;
        comp.ncomp = species.size();
        dbdata db;
        QCOMPARE(db.rxn_build_expression(&comp), text);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("text file named .db") << "text" << 99;
        QTest::newRow("missing path") << "missing" << 99;
        QTest::newRow("empty path") << "empty" << 99;
        QTest::newRow("folder") << "folder" << 99;
        QTest::newRow("no eqk rows") << "noeqk" << 1;
        QTest::newRow("no reaction table") << "noreaction" << 1;
        QTest::newRow("no elements table") << "noelements" << 1;
        QTest::newRow("database type 1") << "type1" << 901;
    }
    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QString path = dir + "/fail-" + kind + ".db";
        QFile::remove(path);
        int type = 0;
        if (kind == "text") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is not a database\n");
        } else if (kind == "empty") {
            path.clear();
        } else if (kind == "folder") {
            path = dir;
        } else if (kind == "noeqk") {
            fixture_options o;
            o.withEqkRows = false;
            QVERIFY(writeFixtureDb(path, o));
        } else if (kind == "noreaction" || kind == "noelements") {
            fixture_options o;
            o.dropTables << kind.mid(2);
            QVERIFY(writeFixtureDb(path, o));
        } else if (kind == "type1") {
            path = fixture;
            type = 1;
        }
        const bool existed = QFileInfo(path).isFile();
        const qint64 sizeBefore = existed ? QFileInfo(path).size() : -1;
        dbdata db;
        config c(path, type);
        const int rc = db.db_retrieve_data(&c.sd);
        db.sdata->ctrlset = nullptr;
        QCOMPARE(rc, code);
        QVERIFY(!db.messages().isEmpty());
        // Nothing loaded, nothing created, and the essential data are in place.
        QVERIFY(db.sdata->elements.isEmpty());
        QVERIFY(db.sdata->solutes.isEmpty());
        QVERIFY(db.sdata->rxnsAqueous.isEmpty());
        QVERIFY(db.sdata->bdot);
        QCOMPARE(db.sdata->bdot->TC.size(), 8);
        QCOMPARE(db.sdata->nameH, QString("H"));
        if (kind == "missing")
            QVERIFY(!QFileInfo::exists(path));
        if (!path.isEmpty() && kind != "folder") {
            QCOMPARE(QFileInfo(path).isFile(), existed);
            QCOMPARE(existed ? QFileInfo(path).size() : -1, sizeBefore);
        }
        // The named connection is gone.
        for (const QString &n : QSqlDatabase::connectionNames())
            QVERIFY2(!n.startsWith("vek7_dbdata"), qPrintable(n));
    }

    void manageDataUnsupportedType()
    {
        auto db = loadFixture(true, false);
        QVERIFY(db);
        const QStringList before = names(db->sdata->rxnsAqueous);
        config c(fixture, 1, false, false);
        QCOMPARE(db->db_manage_data(&c.sd), 901);
        QCOMPARE(names(db->sdata->rxnsAqueous), before);
    }

    void versionCheck_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("withInfo");
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("same (last row counts)") << "vdb.1.0.1" << true << false;
        QTest::newRow("letter case differs") << "VDB.1.0.1" << true << true;
        QTest::newRow("other version") << "vdb.2.0.0" << true << true;
        QTest::newRow("no INFO table") << "" << false << true;
    }
    void versionCheck()
    {
        QFETCH(QString, version);
        QFETCH(bool, withInfo);
        QFETCH(bool, mismatch);
        fixture_options o;
        o.version = version;
        o.withInfo = withInfo;
        const QString path = dir + "/version.db";
        QVERIFY(writeFixtureDb(path, o));
        dbdata db;
        config c(path);
        // A version mismatch is reported but does not stop the load.
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        db.sdata->ctrlset = nullptr;
        bool reported = false;
        for (const QString &m : db.messages())
            reported = reported || m.startsWith("Database version code " + version + " found");
        QCOMPARE(reported, mismatch);
        QCOMPARE(db.sdata->elements.size(), 8);
    }

    void bdotTableMissingKeepsBuiltIn()
    {
        fixture_options o;
        o.dropTables << "bdot";
        const QString path = dir + "/nobdot.db";
        QVERIFY(writeFixtureDb(path, o));
        dbdata db;
        config c(path);
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        db.sdata->ctrlset = nullptr;
        QVERIFY(db.sdata->bdot);
        QCOMPARE(db.sdata->bdot->TC.size(), 8);
        QCOMPARE(db.sdata->bdot->adh.size(), 8);
    }

    void reloadReplacesLists()
    {
        dbdata db;
        config c(fixture, 0, true, true);
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        const one_element *first = db.sdata->elements.first();
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        db.sdata->ctrlset = nullptr;
        QCOMPARE(db.sdata->elements.size(), 8);
        QCOMPARE(db.sdata->solutesAll.size(), 13);
        QVERIFY(db.sdata->elements.first() != first);
    }

    void otherConnectionsKeepWorking()
    {
        // A connection opened by someone else (here the default one) survives a load.
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE");
            other.setDatabaseName(fixture);
            QVERIFY(other.open());
        }
        auto db = loadFixture();
        QVERIFY(db);
        {
            QSqlQuery q(QSqlDatabase::database());
            QVERIFY(q.exec("SELECT count(*) FROM elements"));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 8);
        }
        QSqlDatabase::database().close();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    }

    void queryIdx_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::newRow("last of several rows") << "reaction"
                                              << "id"
                                              << "Siderite" << 12;
        QTest::newRow("one row") << "elements"
                                 << "basis_id"
                                 << "Fe" << 3;
        QTest::newRow("absent name") << "elements"
                                     << "id"
                                     << "Zz" << -9;
        QTest::newRow("quote in name is data") << "elements"
                                               << "id"
                                               << "x' OR '1'='1" << -9;
        QTest::newRow("unknown table") << "sqlite_master"
                                       << "id"
                                       << "Fe" << -9;
        QTest::newRow("text column refused") << "elements"
                                             << "name"
                                             << "Fe" << -9;
    }
    void queryIdx()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, name);
        QFETCH(int, value);
        auto db = loadFixture();
        QVERIFY(db);
        QCOMPARE(db->db_query_idxDB(table, column, name), value);
    }

    void sortOrderCaseSensitive()
    {
        auto db = loadFixture();
        QVERIFY(db);
        db->db_sortOrder();
        QCOMPARE(speciesNames(db->sdata->elements),
                 QStringList({"C", "CO", "Ca", "Co", "Fe", "H", "O", "b"}));
        QCOMPARE(names(db->sdata->rxnsSolid), QStringList({"Hematite", "Siderite", "Siderite"}));
    }

    void withoutDatabase()
    {
        dbdata db;
        db.db_essential_prePatch(0);
        QCOMPARE(db.sdata->initCode, 2);
        QCOMPARE(db.sdata->nameCl, QString("Cl-"));
        QCOMPARE(db.sdata->nameHplus, QString("H+"));
        QVERIFY(db.sdata->bdot);
        QCOMPARE(db.sdata->bdot->TC.size(), 8);
        QVERIFY(db.sdata->elements.isEmpty());
        QVERIFY(db.sdata->solutes.isEmpty());
        QVERIFY(db.sdata->rxnsAqueous.isEmpty());
    }

    // ---- the full reference database generated from data0 ----------------

    void full_countsAndClassification()
    {
        const QString path = copyGeneratedDb(dir + "/full");
        if (path.isEmpty())
            QSKIP("the generated reference database is not built");
        dbdata db;
        config c(path, 0, true, true);
        MessageCapture log;
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        QVERIFY2(db.messages().isEmpty(), qPrintable(db.messages().join('\n')));
        QCOMPARE(db.db_manage_data(&c.sd), 0);
        QCOMPARE(db.db_set_solid_multipleRxns(), 0);
        db.sdata->ctrlset = nullptr;
        sim_data *sd = db.sdata;
        // A load that succeeds logs no error marker (a solid reaction's own solid included).
        const QStringList errors = log.take().filter("####");
        QVERIFY2(errors.isEmpty(), qPrintable(errors.mid(0, 5).join('\n')));

        auto count = [&path](const QString &sql) { return tableCount(path, sql); };
        QCOMPARE(sd->elements.size(), count("SELECT count(*) FROM elements"));
        QCOMPARE(sd->solutesDB.size(), count("SELECT count(*) FROM solutes"));
        QCOMPARE(sd->solids.size(), count("SELECT count(*) FROM solids"));
        QCOMPARE(sd->liquids.size(), count("SELECT count(*) FROM liquids"));
        QCOMPARE(sd->gases.size(), count("SELECT count(*) FROM gases"));
        const char *rxnCount = "SELECT count(*) FROM reaction WHERE type = '%1'";
        QCOMPARE(sd->rxnsAqueousDB.size(), count(QString(rxnCount).arg("aqueous")));
        QCOMPARE(sd->rxnsAuxDB.size(), count(QString(rxnCount).arg("aux")));
        QCOMPARE(sd->rxnsSolidDB.size(), count(QString(rxnCount).arg("solid")));
        QCOMPARE(sd->rxnsLiquidDB.size(), count(QString(rxnCount).arg("liquid")));
        QCOMPARE(sd->rxnsGasDB.size(), count(QString(rxnCount).arg("gas")));
        QCOMPARE(sd->bdot->TC.size(), count("SELECT count(*) FROM bdot"));
        for (int i = 1; i < sd->elements.size(); ++i)
            QVERIFY(QString::compare(sd->elements[i - 1]->name, sd->elements[i]->name,
                                     Qt::CaseInsensitive)
                    <= 0);

        auto organicOf = [sd](const QList<one_rxn *> &list) {
            int n = 0;
            for (const one_rxn *r : list)
                n += sd->namesOrganic.contains(r->name);
            return n;
        };
        auto redoxOf = [sd](const QList<one_rxn *> &list) {
            int n = 0;
            for (const one_rxn *r : list)
                n += sd->namesRedox.contains(r->name);
            return n;
        };
        QCOMPARE(organicOf(sd->rxnsAqueousDB), 531);
        QCOMPARE(redoxOf(sd->rxnsAqueousDB), 272);
        QCOMPARE(sd->namesStd.size(), 765);
        QCOMPARE(organicOf(sd->rxnsAuxDB), 23);
        QCOMPARE(redoxOf(sd->rxnsAuxDB), 96);
        QCOMPARE(sd->rxnsSolidAll.size(), 1120);
        QCOMPARE(sd->rxnsSolidNonRedox.size(), 693);
        QCOMPARE(sd->rxnsGasAll.size(), 93);
        QCOMPARE(sd->rxnsGasNonRedox.size(), 26);
        QCOMPARE(sd->rxnsAll.size(), 1687);
        QCOMPARE(sd->rxnsNonOrganic.size(), 1133);
        QCOMPARE(sd->rxnsStd.size(), 765);
        QCOMPARE(sd->solutesOrganic.size(), 346);
        QCOMPARE(sd->solutesStd.size(), 1505);
        QCOMPARE(sd->solutesAll.size(), 1769);

        const int fe3 = db.find_idxDB_rxn("Fe+++", global::aux);
        QVERIFY(fe3 >= 0);
        QCOMPARE(sd->rxnsNonOrganic[fe3]->expression,
                 QString("Fe+++ + 0.5 H2O = 0.25 O2(g) + Fe++ + H+"));
        QCOMPARE(db.find_idxDB_rxn("fe+++", global::aux), -9);
        QCOMPARE(db.find_idxDB_solute("Fe+"), -9);
        QVERIFY(db.find_idxDB_solute("Fe++") >= 0);

        // Every solid reaction is recorded with its solid, once.
        int recorded = 0;
        for (const one_solid *s : sd->solids) {
            QCOMPARE(s->nrxns, s->rxns.size());
            for (int i : s->rxns)
                QCOMPARE(sd->rxnsSolid[i]->name, s->name);
            recorded += s->nrxns;
        }
        QCOMPARE(recorded, sd->rxnsSolid.size());
    }

    void full_switches()
    {
        const QString path = copyGeneratedDb(dir + "/full");
        if (path.isEmpty())
            QSKIP("the generated reference database is not built");
        dbdata db;
        config c(path);
        QCOMPARE(db.db_retrieve_data(&c.sd), 0);
        sim_data *sd = db.sdata;
        struct choice
        {
            bool redox, organic;
            const QList<one_solute *> &solutes;
            const QList<one_rxn *> &aqueous, &solid, &liquid, &gas;
        };
        const QList<choice> choices = {
            {false, false, sd->solutesStd, sd->rxnsStd, sd->rxnsSolidNonRedox,
             sd->rxnsLiquidNonRedox, sd->rxnsGasNonRedox},
            {false, true, sd->solutesStd, sd->rxnsStd, sd->rxnsSolidNonRedox,
             sd->rxnsLiquidNonRedox, sd->rxnsGasNonRedox},
            {true, false, sd->solutesAll, sd->rxnsNonOrganic, sd->rxnsSolidAll, sd->rxnsLiquidAll,
             sd->rxnsGasAll},
            {true, true, sd->solutesAll, sd->rxnsAll, sd->rxnsSolidAll, sd->rxnsLiquidAll,
             sd->rxnsGasAll},
        };
        for (const choice &ch : choices) {
            c.sd.ctrlset->redox = ch.redox;
            c.sd.ctrlset->orgcmpd = ch.organic;
            QCOMPARE(db.db_manage_data(&c.sd), 0);
            QVERIFY(sd->solutes == ch.solutes);
            QVERIFY(sd->rxnsAqueous == ch.aqueous);
            QVERIFY(sd->rxnsSolid == ch.solid);
            QVERIFY(sd->rxnsLiquid == ch.liquid);
            QVERIFY(sd->rxnsGas == ch.gas);
            QCOMPARE(sd->nrxnsAqueous, ch.aqueous.size());
            QCOMPARE(sd->nsolutes, ch.solutes.size());
        }
        db.sdata->ctrlset = nullptr;
    }
};

QTEST_GUILESS_MAIN(tst_dbdata)
#include "tst_dbdata.moc"
