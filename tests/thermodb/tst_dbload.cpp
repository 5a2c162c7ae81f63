// Loading read straight from SQLite: the reader gives every value as Qt's driver
// does, shared texts and lists keep their values, and the loaded image holds
// exactly the rows of the file, also where rows of one name lie apart.
#include "dbdata.h"
#include "list_pool.h"
#include "sqlite_reader.h"
#include "support_fixture.h"
#include "test_env.h"
#include "text_pool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

/// Runs `statements` on the file at `path` (created when missing) through Qt's driver.
bool runSql(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "tst_dbload_w");
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString &s : statements) {
            if (ok && !q.exec(s)) {
                qWarning() << s << q.lastError().text();
                ok = false;
            }
        }
    }
    QSqlDatabase::removeDatabase("tst_dbload_w");
    return ok;
}

/// Every row of `sql` (with `binds`) read through Qt's driver, on a connection kept
/// open per file until closeQtConnections().
QList<QVariantList> qtRows(const QString &path, const QString &sql, const QVariantList &binds = {})
{
    const QString name = QStringLiteral("tst_dbload_") + path;
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid()) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    QList<QVariantList> rows;
    if (!db.isOpen() && !db.open())
        return rows;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds[i]);
    if (q.exec()) {
        while (q.next()) {
            QVariantList row;
            for (int c = 0; c < q.record().count(); ++c)
                row << q.value(c);
            rows << row;
        }
    }
    return rows;
}

void closeQtConnections()
{
    for (const QString &name : QSqlDatabase::connectionNames()) {
        if (!name.startsWith(QLatin1String("tst_dbload_")))
            continue;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

/// One value of every SQLite storage class, stored without column affinity.
const QList<QPair<QString, QString>> storedValues = {
    {"integer", "7"},
    {"negative integer", "-12"},
    {"beyond int", "5000000000"},
    {"real", "2.25"},
    {"real .5 up", "2.5"},
    {"negative real .5", "-3.5"},
    {"whole real", "4.0"},
    {"huge real", "1e300"},
    {"text number", "'12'"},
    {"text real", "'1.5e3'"},
    {"text with blanks", "' 42 '"},
    {"plain text", "'Fe+++'"},
    {"non-ASCII text", "'Ca\u00e4\u00fc \u2212 \u00b0C'"},
    {"empty text", "''"},
    {"NULL", "NULL"},
    {"blob", "x'414243'"},
};

} // namespace

class tst_dbload : public QObject
{
    Q_OBJECT

private:
    QString dir;
    QString valuesDb;

    /// A reference database whose rows of one name lie apart, whose log K
    /// terms come out of order and which repeats a species and a reaction.
    QString writeScatteredDb()
    {
        const QString path = dir + "/scattered.db";
        QFile::remove(path);
        const QString d = QStringLiteral("'d'");
        const bool ok = runSql(
            path,
            {"CREATE TABLE INFO (id int, source varchar(20), version varchar(20), format "
             "varchar(20), time varchar(30), comment text)",
             "INSERT INTO INFO VALUES (1, 's', 'vdb.1.0.1', 'f', 't', NULL)",
             "CREATE TABLE elements (id int, tag int, name varchar(5), mol_wt double, basis_id "
             "int, basis_name varchar(30))",
             "INSERT INTO elements VALUES (1, 0, 'H', 1.0, 1, 'H+'), (2, 0, 'O', 16.0, 2, "
             "'H2O'), (3, 0, 'Fe', 55.8, 3, 'Fe++')",
             "CREATE TABLE solutes (id int, tag int, type varchar(10), name varchar(30), formula "
             "varchar(30), mol_wt double, DHazero double, charge int, date varchar(40), "
             "date_revised varchar(40), comment text)",
             "INSERT INTO solutes VALUES (1, 0, 'basis', 'H2O', 'H2O', 18.0, 3.0, 0, " + d
                 + ", 'r', NULL), (2, 0, 'basis', 'Fe++', 'Fe++', 55.8, 6.0, 2, " + d
                 + ", 'r', ''), (3, 0, 'aqueous', 'FeOH+', 'FeOH+', 72.8, 4.0, 1, " + d
                 + ", 'r', NULL), (4, 0, 'aqueous', 'FeOH+', 'FeOH+', 72.8, 4.0, 1, " + d
                 + ", 'r2', NULL), (5, 0, 'basis', 'H+', 'H+', 1.0, 9.0, 1, " + d + ", 'r', NULL)",
             "CREATE TABLE solids (id int, tag int, name varchar(30), formula varchar(30), mol_wt "
             "double, molar_volume double, date varchar(40), date_revised varchar(40), comment "
             "text)",
             "CREATE TABLE liquids (id int, tag int, name varchar(30), formula varchar(30), mol_wt "
             "double, molar_volume double, date varchar(40), date_revised varchar(40), comment "
             "text)",
             "CREATE TABLE gases (id int, tag int, name varchar(30), formula varchar(30), mol_wt "
             "double, molar_volume double, date varchar(40), date_revised varchar(40), comment "
             "text)",
             "CREATE TABLE reaction (id int, name varchar(30), tag int, type varchar(10), "
             "id_species int, date varchar(40), date_revised varchar(40), comment text)",
             // FeOH+ twice; a type in capitals and a numeric type belong to no type.
             "INSERT INTO reaction VALUES (1, 'FeOH+', 0, 'aqueous', 3, 'd', 'r', NULL), (2, "
             "'FeOH+', 5, 'aqueous', 4, 'd', 'r', NULL), (3, 'FeOH+', 0, 'Aqueous', 3, 'd', 'r', "
             "NULL), (4, 'FeOH+', 0, 3, 3, 'd', 'r', NULL)",
             "CREATE TABLE comp_elements (id int, name varchar(30), type varchar(10), solute_id "
             "int, element varchar(5), element_id int, stoich double, date varchar(40))",
             // The rows of FeOH+ lie apart, with a row of Fe++ between them.
             "INSERT INTO comp_elements VALUES (1, 'H2O', 'basis', 1, 'H', 1, 2.0, NULL), (2, "
             "'H2O', 'basis', 1, 'O', 2, 1.0, NULL), (3, 'FeOH+', 'aqueous', 3, 'Fe', 3, 1.0, "
             "NULL), (4, 'Fe++', 'basis', 2, 'Fe', 3, 1.0, NULL), (5, 'FeOH+', 'aqueous', 3, 'O', "
             "2, 1.0, NULL), (6, 'FeOH+', 'aqueous', 3, 'H', 1, 1.0, NULL), (7, 'H+', 'basis', 5, "
             "'H', 1, 1.0, NULL)",
             "CREATE TABLE rxn_stoich (id int, name varchar(30), type varchar(10), rxn_id int, "
             "solute varchar(30), solute_id int, stoich double, date varchar(40))",
             "INSERT INTO rxn_stoich VALUES (1, 'FeOH+', 'aqueous', 1, 'FeOH+', 3, -1.0, NULL), "
             "(2, 'FeOH+', 'aqueous', 1, 'Fe++', 2, 1.0, NULL), (3, 'H+', 'x', 9, 'H+', 5, -1.0, "
             "NULL), (4, 'FeOH+', 'aqueous', 1, 'H2O', 1, -1.0, NULL), (5, 'FeOH+', 'aqueous', 1, "
             "'H+', 5, 1.0, NULL)",
             "CREATE TABLE eqk (id int, tag int, name varchar(30), type varchar(10), type_eqn "
             "varchar(20), id_reaction int, order_idx int, coeff double, quotient double, "
             "eqkLog10 double, temperature double, date varchar(40))",
             // Terms out of order, two with index 1 kept in row order; id and tag of the first row.
             "INSERT INTO eqk VALUES (11, 7, 'FeOH+', 'aqueous', 'eqkLog10_polynom', 1, 2, 0.3, "
             "2.0, -9.0, 60.0, NULL), (12, 8, 'FeOH+', 'aqueous', 'eqkLog10_polynom', 1, 1, 0.2, "
             "1.0, -9.5, 25.0, NULL), (13, 8, 'FeOH+', 'aqueous', 'eqkLog10_polynom', 1, 0, 0.1, "
             "0.0, -10.0, 0.01, NULL), (14, 8, 'FeOH+', 'aqueous', 'eqkLog10_polynom', 1, 1, "
             "0.25, 1.0, -9.4, 30.0, NULL)",
             "CREATE TABLE thermodata (id int, tag int, type varchar(20), name varchar(30), "
             "id_species int, gibbsFm double, unitGFm varchar(15), enthalpyFm double, unitHFm "
             "varchar(15), entropyFm double, unitSFm varchar(15), date varchar(40), date_revised "
             "varchar(40), comment text)"});
        return ok ? path : QString();
    }

private slots:
    void initTestCase()
    {
        dir = vek7TestScratchDir() + "/dbload";
        QVERIFY(QDir().mkpath(dir));
        valuesDb = dir + "/values.db";
        QStringList sql = {"BEGIN", "CREATE TABLE v (k text, x)"};
        for (const auto &v : storedValues)
            sql << QStringLiteral("INSERT INTO v VALUES ('%1', %2)").arg(v.first, v.second);
        // Repeated and distinct texts for the text pool.
        sql << "CREATE TABLE t (n int, s text)";
        for (int i = 0; i < 3000; ++i)
            sql << QStringLiteral("INSERT INTO t VALUES (%1, '%2')")
                       .arg(i)
                       .arg(i % 3 == 0 ? QStringLiteral("same") : QStringLiteral("name-%1").arg(i));
        sql << "COMMIT";
        QVERIFY(runSql(valuesDb, sql));
    }

    void cleanupTestCase() { closeQtConnections(); }

    void reader_valuesAsQtDriver_data()
    {
        QTest::addColumn<QString>("key");
        for (const auto &v : storedValues)
            QTest::newRow(qPrintable(v.first)) << v.first;
    }
    void reader_valuesAsQtDriver()
    {
        QFETCH(QString, key);
        const QList<QVariantList> qt = qtRows(valuesDb, "SELECT x FROM v WHERE k = ?", {key});
        QCOMPARE(qt.size(), 1);
        const QVariant expected = qt.first().first();

        sqlite_reader file(valuesDb);
        QVERIFY(file.isOpen());
        sqlite_reader::rows q(file, "SELECT x FROM v WHERE k = ?");
        q.bind(1, key);
        QVERIFY2(q.exec(), qPrintable(q.errorText()));
        QVERIFY(q.next());
        QCOMPARE(q.toInt(0), expected.toInt());
        QVERIFY2(sameBits(q.toDouble(0), expected.toDouble()),
                 qPrintable(QString::number(q.toDouble(0), 'g', 17)));
        QCOMPARE(q.toText(0), expected.toString());
        QCOMPARE(q.toText(0).isNull(), expected.toString().isNull());
        // Shared texts are the same texts.
        text_pool pool;
        QCOMPARE(pool.text(q, 0), expected.toString());
        QCOMPARE(pool.text(q, 0).isNull(), expected.toString().isNull());
        QVERIFY(!q.next());
    }

    void reader_columnsByName()
    {
        sqlite_reader file(valuesDb);
        sqlite_reader::rows q(file, "SELECT k AS Name, x AS VALUE FROM v WHERE k = 'integer'");
        QVERIFY(q.exec());
        QCOMPARE(q.column("name"), 0);
        QCOMPARE(q.column("value"), 1);
        QCOMPARE(q.column("missing"), -1);
        QVERIFY(q.next());
        // A column the result lacks reads as 0 and a null text.
        QCOMPARE(q.toInt(-1), 0);
        QCOMPARE(q.toDouble(-1), 0.0);
        QVERIFY(q.toText(-1).isNull());
        QCOMPARE(q.toInt(1), 7);
    }

    void reader_failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("text file") << "text";
        QTest::newRow("missing table") << "table";
        QTest::newRow("bad statement") << "syntax";
    }
    void reader_failures()
    {
        QFETCH(QString, kind);
        QString path = valuesDb;
        QString sql = "SELECT x FROM v";
        if (kind == "missing") {
            path = dir + "/absent.db";
        } else if (kind == "text") {
            path = dir + "/text.db";
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (kind == "table") {
            sql = "SELECT x FROM nowhere";
        } else {
            sql = "SELEC x FROM v";
        }
        {
            sqlite_reader file(path);
            bool ok = true;
            const QStringList tables = file.tableNames(&ok);
            QCOMPARE(ok, kind == "table" || kind == "syntax");
            sqlite_reader::rows q(file, sql);
            QVERIFY(!q.exec());
            QVERIFY(!q.errorText().isEmpty());
            QVERIFY(!q.next());
            if (kind == "table")
                QVERIFY(q.errorText().contains("no such table"));
            if (ok)
                QCOMPARE(tables, QStringList({"v", "t"}));
        }
        // Reading never creates a file.
        if (kind == "missing")
            QVERIFY(!QFileInfo::exists(path));
    }

    void textPool_sharesEqualTexts()
    {
        sqlite_reader file(valuesDb);
        sqlite_reader::rows q(file, "SELECT n, s FROM t ORDER BY n");
        QVERIFY(q.exec());
        text_pool pool;
        QStringList got;
        while (q.next())
            got << pool.text(q, 1);
        QCOMPARE(got.size(), 3000);
        QCOMPARE(pool.size(), 2001);
        for (int i = 0; i < got.size(); ++i) {
            const QString expected
                = i % 3 == 0 ? QStringLiteral("same") : QStringLiteral("name-%1").arg(i);
            QCOMPARE(got[i], expected);
        }
        // Equal texts are one shared copy.
        QCOMPARE(got[0].constData(), got[2997].constData());
        QVERIFY(got[1].constData() != got[2].constData());
        // Numbers read as text through the pool convert as the reader does.
        sqlite_reader::rows n(file, "SELECT n FROM t WHERE n = 42");
        QVERIFY(n.exec() && n.next());
        QCOMPARE(pool.text(n, 0), QString("42"));
        pool.clear();
        QCOMPARE(pool.size(), 0);
    }

    void listPool_data()
    {
        QTest::addColumn<QList<double>>("a");
        QTest::addColumn<QList<double>>("b");
        QTest::addColumn<bool>("shared");
        QTest::newRow("equal") << QList<double> {-1, 2, 0.5} << QList<double> {-1, 2, 0.5} << true;
        QTest::newRow("other order")
            << QList<double> {2, -1, 0.5} << QList<double> {-1, 2, 0.5} << false;
        QTest::newRow("prefix") << QList<double> {-1, 2} << QList<double> {-1, 2, 0.5} << false;
        QTest::newRow("minus zero") << QList<double> {-0.0} << QList<double> {0.0} << false;
        QTest::newRow("last bit") << QList<double> {0.1} << QList<double> {std::nextafter(0.1, 1.0)}
                                  << false;
    }
    void listPool()
    {
        QFETCH(QList<double>, a);
        QFETCH(QList<double>, b);
        QFETCH(bool, shared);
        const QList<double> a0 = a, b0 = b;
        a.detach();
        b.detach();
        list_pool<double> pool;
        pool.share(a);
        pool.share(b);
        QCOMPARE(a.constData() == b.constData(), shared);
        QCOMPARE(pool.size(), shared ? 1 : 2);
        // Values, and the sign of zero, are kept bit for bit.
        QCOMPARE(a.size(), a0.size());
        for (int i = 0; i < a.size(); ++i)
            QVERIFY(sameBits(a[i], a0[i]));
        for (int i = 0; i < b.size(); ++i)
            QVERIFY(sameBits(b[i], b0[i]));
        // Changing one holder's list leaves the other's alone.
        a.append(9.0);
        QCOMPARE(b.size(), b0.size());
    }

    void listPool_texts()
    {
        QStringList a {"Fe", "O", "H"}, b {"Fe", "O", "H"}, c {"Fe", "OH"}, d {QString()},
            e {QLatin1String("")};
        b.detach();
        list_pool<QString> pool;
        for (QStringList *l : {&a, &b, &c, &d, &e})
            pool.share(*l);
        QCOMPARE(a.constData(), b.constData());
        QVERIFY(a.constData() != c.constData());
        // A null text and an empty one stay apart.
        QVERIFY(d.first().isNull());
        QVERIFY(!e.first().isNull());
        QCOMPARE(pool.size(), 4);
    }

    void loader_rowsOfANameApart()
    {
        const QString path = writeScatteredDb();
        QVERIFY(!path.isEmpty());
        dbdata db;
        sim_data c;
        c.dbref = path;
        c.ctrlset = new one_ctrlset;
        c.ctrlset->redox = true;
        c.ctrlset->orgcmpd = true;
        QCOMPARE(db.db_retrieve_data(&c), 0);
        QCOMPARE(db.db_manage_data(&c), 0);
        db.sdata->ctrlset = nullptr;
        sim_data *sd = db.sdata;

        // Both FeOH+ solutes carry every composition row of the name, in table order,
        // each in a record of its own.
        QCOMPARE(sd->solutesDB.size(), 5);
        const one_comp_elements *c1 = sd->solutesDB[2]->composition;
        const one_comp_elements *c2 = sd->solutesDB[3]->composition;
        QVERIFY(c1 && c2 && c1 != c2);
        for (const one_comp_elements *comp : {c1, c2}) {
            QCOMPARE(comp->element, QStringList({"Fe", "O", "H"}));
            QCOMPARE(comp->element_id, QList<int>({3, 2, 1}));
            QCOMPARE(comp->ncomp, 3);
        }
        QCOMPARE(sd->solutesDB[1]->composition->element, QStringList({"Fe"}));

        // Only the two reactions of type "aqueous" are read; each has all rows of the name.
        QCOMPARE(sd->rxnsAqueousDB.size(), 2);
        for (const one_rxn *r : sd->rxnsAqueousDB) {
            QCOMPARE(r->composition->solute, QStringList({"FeOH+", "Fe++", "H2O", "H+"}));
            QCOMPARE(r->composition->ncomp, 4);
            QCOMPARE(r->expression, QString("FeOH+ + H2O = Fe++ + H+"));
            QCOMPARE(r->elements, QStringList({"Fe", "O", "H"}));
            // Terms by index; equal indexes keep their row order; id and tag of the first row.
            QCOMPARE(r->eqk->order_idx, QList<int>({0, 1, 1, 2}));
            QCOMPARE(r->eqk->coeff, QList<double>({0.1, 0.2, 0.25, 0.3}));
            QCOMPARE(r->eqk->temperature, QList<double>({0.01, 25.0, 30.0, 60.0}));
            QCOMPARE(r->eqk->nterms, 4);
            QCOMPARE(r->eqk->id, 11);
            QCOMPARE(r->eqk->tag, 7);
        }
        QVERIFY(sd->rxnsAqueousDB[0]->eqk != sd->rxnsAqueousDB[1]->eqk);
        QCOMPARE(sd->rxnsAqueousDB[1]->tag, 5);
        QCOMPARE(sd->solutesDB[1]->comment, QString(""));
        QVERIFY(!sd->solutesDB[1]->comment.isNull());
        QVERIFY(sd->solutesDB[0]->comment.isNull());
    }

    void readersWithoutOpenFile()
    {
        // Outside a load the table readers find no file: empty results, no crash.
        dbdata db;
        QVERIFY(db.db_retrieve_elements_fmEQ3v1996().isEmpty());
        QVERIFY(db.db_retrieve_solutes_fmEQ3v1996().isEmpty());
        QVERIFY(db.db_retrieve_gases_fmEQ3v1996().isEmpty());
        QVERIFY(db.db_retrieve_rxns_fmEQ3v1996(global::aqueous).isEmpty());
        QVERIFY(!db.db_retrieve_bdot_EQ3v1996());
        std::unique_ptr<one_comp_elements> comp(db.db_comp_elements_fmEQ3v1996("H2O", 1));
        std::unique_ptr<one_comp_solutes> stoich(db.db_comp_solutes_fmEQ3v1996("OH-"));
        std::unique_ptr<one_rxn_eqk> eqk(db.db_rxn_eqk_fmEQ3v1996("OH-"));
        QCOMPARE(comp->ncomp, 0);
        QCOMPARE(stoich->ncomp, 0);
        QCOMPARE(eqk->nterms, 0);
        QCOMPARE(db.verify_versionDatabase(), 0);
        db.db_retrieva_thermodata_fmEQ3v1996();
    }

    void image_matchesFileRowForRow()
    {
        const QString path = copyGeneratedDb(dir + "/full");
        if (path.isEmpty())
            QSKIP("the generated reference database is not built");
        dbdata db;
        sim_data c;
        c.dbref = path;
        c.ctrlset = new one_ctrlset;
        QCOMPARE(db.db_retrieve_data(&c), 0);
        db.sdata->ctrlset = nullptr;
        const sim_data *sd = db.sdata;
        global gl;

        auto sameText = [](const QString &got, const QVariant &v) {
            return got == v.toString() && got.isNull() == v.toString().isNull();
        };
        // Species and their compositions, in table order.
        const QList<QVariantList> solutes
            = qtRows(path,
                     "SELECT id, tag, type, name, formula, mol_wt, DHazero, charge, date, "
                     "date_revised, comment FROM solutes");
        QCOMPARE(sd->solutesDB.size(), solutes.size());
        for (int i = 0; i < solutes.size(); ++i) {
            const QVariantList &r = solutes[i];
            const one_solute *s = sd->solutesDB[i];
            QCOMPARE(s->id, r[0].toInt());
            QCOMPARE(s->tag, r[1].toInt());
            QCOMPARE(s->type, int(gl.speciesType_toEnum(r[2].toString())));
            QVERIFY(sameText(s->name, r[3]) && sameText(s->formula, r[4]));
            QVERIFY(sameBits(s->mol_wt, r[5].toDouble()) && sameBits(s->DHazero, r[6].toDouble()));
            QCOMPARE(s->charge, double(r[7].toInt()));
            QVERIFY(sameText(s->date, r[8]) && sameText(s->date_revised, r[9])
                    && sameText(s->comment, r[10]));
            const QList<QVariantList> comp
                = qtRows(path,
                         "SELECT element, element_id, stoich FROM comp_elements WHERE name = ? AND "
                         "type = ? ORDER BY rowid",
                         {r[3], r[2]});
            QCOMPARE(s->composition->ncomp, comp.size());
            for (int k = 0; k < comp.size(); ++k) {
                QCOMPARE(s->composition->element[k], comp[k][0].toString());
                QCOMPARE(s->composition->element_id[k], comp[k][1].toInt());
                QVERIFY(sameBits(s->composition->stoich[k], comp[k][2].toDouble()));
            }
        }

        // Reactions of every type with their stoichiometry and log K terms.
        struct kind
        {
            const char *type;
            const QList<one_rxn *> &list;
        };
        const QList<kind> kinds = {{"aqueous", sd->rxnsAqueousDB},
                                   {"aux", sd->rxnsAuxDB},
                                   {"solid", sd->rxnsSolidDB},
                                   {"liquid", sd->rxnsLiquidDB},
                                   {"gas", sd->rxnsGasDB}};
        int checked = 0;
        for (const kind &k : kinds) {
            const QList<QVariantList> rxns = qtRows(
                path,
                "SELECT id, tag, name, date, date_revised, comment FROM reaction WHERE type = ?",
                {QString(k.type)});
            QCOMPARE(k.list.size(), rxns.size());
            for (int i = 0; i < rxns.size(); ++i) {
                const QVariantList &r = rxns[i];
                const one_rxn *x = k.list[i];
                QCOMPARE(x->id, r[0].toInt());
                QCOMPARE(x->tag, r[1].toInt());
                QVERIFY(sameText(x->name, r[2]) && sameText(x->date, r[3])
                        && sameText(x->date_revised, r[4]) && sameText(x->comment, r[5]));
                const QList<QVariantList> st = qtRows(
                    path,
                    "SELECT solute, solute_id, stoich FROM rxn_stoich WHERE name = ? ORDER BY "
                    "rowid",
                    {r[2]});
                QCOMPARE(x->composition->ncomp, st.size());
                for (int j = 0; j < st.size(); ++j) {
                    QCOMPARE(x->composition->solute[j], st[j][0].toString());
                    QCOMPARE(x->composition->solute_id[j], st[j][1].toInt());
                    QVERIFY(sameBits(x->composition->stoich[j], st[j][2].toDouble()));
                }
                const QList<QVariantList> terms
                    = qtRows(path,
                             "SELECT id, tag, type_eqn, order_idx, coeff, quotient, eqkLog10, "
                             "temperature FROM eqk WHERE name = ? ORDER BY order_idx, rowid",
                             {r[2]});
                QCOMPARE(x->eqk->nterms, terms.size());
                for (int j = 0; j < terms.size(); ++j) {
                    QCOMPARE(x->eqk->order_idx[j], terms[j][3].toInt());
                    QVERIFY(sameBits(x->eqk->coeff[j], terms[j][4].toDouble()));
                    QVERIFY(sameBits(x->eqk->quotient[j], terms[j][5].toDouble()));
                    QVERIFY(sameBits(x->eqk->eqkLog10[j], terms[j][6].toDouble()));
                    QVERIFY(sameBits(x->eqk->temperature[j], terms[j][7].toDouble()));
                }
                ++checked;
            }
        }
        QVERIFY(checked > 2000);
    }
};

QTEST_GUILESS_MAIN(tst_dbload)
#include "tst_dbload.moc"
