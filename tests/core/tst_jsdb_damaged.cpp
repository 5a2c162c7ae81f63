// Damaged, partial and odd configuration files: each gives its code and messages
// and a usable configuration, never a crash; the repairs after reading.

#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(VEK7_TEST_DATA_DIR "/") + name;
}

QString writeScratch(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(vek7TestScratchDir() + "/damaged");
    const QString path = vek7TestScratchDir() + "/damaged/" + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

/// A manager prepared as the configuration-file window prepares it.
struct Reader
{
    sbatch batch;
    jsdbfile_mgr mgr;
    Reader() { batch.simData_init(mgr.sdata); }
    int read(const QString &path) { return mgr.jsdbfile_json_read(path); }
    int readText(const QByteArray &json) { return read(writeScratch("doc.jsdb", json)); }
};

const QList<int> allCodes = {1101, 1201, 1301, 1401, 1501, 1601, 1801};

} // namespace

class tst_jsdb_damaged : public QObject
{
    Q_OBJECT

private slots:
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void partialFilesGiveSectionCodes_data();
    void partialFilesGiveSectionCodes();
    void sampleWithWrongTypesAndUnknownTexts();
    void controlParameters_data();
    void controlParameters();
    void headerValues();
    void countMismatchKeepsRecords();
    void watersCountFollowsList_data();
    void watersCountFollowsList();
    void waterValuesOfOtherKinds_data();
    void waterValuesOfOtherKinds();
    void sectionValuesOfOtherKinds_data();
    void sectionValuesOfOtherKinds();
    void repairsAfterReading();
    void reactionElementsAndLookups();
};

void tst_jsdb_damaged::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << vek7TestScratchDir() + "/no/such.jsdb"
                                  << "Cannot open";
    QTest::newRow("a folder") << vek7TestScratchDir() << "";
    QTest::newRow("empty file") << writeScratch("empty.jsdb", "") << "offset 0";
    QTest::newRow("array") << writeScratch("array.jsdb", "[]") << "does not hold a JSON object";
    QTest::newRow("number") << writeScratch("number.jsdb", "42") << "";
    QTest::newRow("truncated") << dataFile("truncated.jsdb") << "at offset";
    QTest::newRow("a % in the name") << writeScratch("100%1.jsdb", "{") << "at offset 1";
    QTest::newRow("binary") << writeScratch("binary.jsdb", QByteArray("\x00\xff\xfe{", 4)) << "";
    QTest::newRow("empty object") << writeScratch("emptyobj.jsdb", "{}") << "none of the sections";
    QTest::newRow("other JSON object")
        << writeScratch("other.jsdb", R"({"foo": 1, "Header": {}})") << "none of the sections";
}

// Such a file is not an empty configuration: the caller must be able to refuse it
// rather than open defaults that a later save would write over the user's file.
void tst_jsdb_damaged::unreadableFilesAreRefused()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    Reader r;
    r.mgr.sdata->description = "kept";
    QCOMPARE(r.read(path), 2);
    QVERIFY(r.mgr.read_codes().isEmpty());
    QCOMPARE(r.mgr.messages().size(), 1);
    QVERIFY2(r.mgr.messages().first().contains(path), qPrintable(r.mgr.messages().first()));
    QVERIFY2(r.mgr.messages().first().contains(reason), qPrintable(r.mgr.messages().first()));
    // Nothing was touched: the default water and the description stay.
    QCOMPARE(r.mgr.sdata->description, QString("kept"));
    QCOMPARE(r.mgr.sdata->nwaters, 1);
    QCOMPARE(r.mgr.sdata->ctrlset->csolvcmax, 35.0);
}

void tst_jsdb_damaged::partialFilesGiveSectionCodes_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("sections of wrong JSON types")
        << QByteArray(R"({"header": "x", "control parameters": [], "elements": 3,
                          "gases": null, "solutes": true, "reactions": "r", "redox": 1,
                          "waters": []})")
        << allCodes;
    QTest::newRow("empty sections")
        << QByteArray(R"({"header": {}, "control parameters": {}, "elements": {}, "gases": {},
                          "solutes": {}, "reactions": {}, "redox": {}, "waters": {}})")
        << allCodes;
    QTest::newRow("no reactions, no waters") << QByteArray(R"({
        "header": {"format": "jsdb.240101"}, "control parameters": {"redox": "0"},
        "elements": {"nelements": "0"}, "gases": {"ngases": "0"},
        "solutes": {"nsolutes": "0"}, "redox": {"redoxpairs": []}})")
                                             << QList<int>({1601, 1801});
}

void tst_jsdb_damaged::partialFilesGiveSectionCodes()
{
    QFETCH(QByteArray, json);
    QFETCH(QList<int>, codes);
    Reader r;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^JM: errors :"));
    QCOMPARE(r.readText(json), 1);
    QCOMPARE(r.mgr.read_codes(), codes);
    QCOMPARE(r.mgr.messages().size(), codes.size());
    QVERIFY(r.mgr.messages().last().contains("\"waters\""));
    // Always a complete control set and a water count that describes the list.
    QVERIFY(r.mgr.sdata->ctrlset);
    QCOMPARE(r.mgr.sdata->ctrlset->csolvitmax, 31);
    QCOMPARE(r.mgr.sdata->nwaters, int(r.mgr.sdata->waters.size()));
}

void tst_jsdb_damaged::sampleWithWrongTypesAndUnknownTexts()
{
    Reader r;
    QCOMPARE(r.read(dataFile("odd_values.jsdb")), 0);
    const sim_data *sd = r.mgr.sdata;

    // Unknown database and simulation types take the first value.
    QCOMPARE(sd->dbtype, 0);
    QCOMPARE(r.mgr.simtype, 0);
    QCOMPARE(sd->compTag, 0); // stored as a string

    QCOMPARE(sd->nelements, 1);
    const one_element *el = sd->elements.first();
    QCOMPARE(el->mol_wt, 0.0); // a JSON number, not a string
    QCOMPARE(el->basis_id, 0); // "12.5" is not an integer
    QCOMPARE(el->cvtmtoppm, 0.0); // molwt 0, so the repair gives 0 too
    QCOMPARE(el->redoxelement, false); // JSON true is not a string

    QCOMPARE(sd->nsolutes, 1);
    const one_solute *s = sd->solutes.first();
    QCOMPARE(s->type, 8); // unknown species type
    QCOMPARE(s->composition->ncomp, 2);
    QCOMPARE(s->composition->element, QStringList({"Ca", ""}));
    QCOMPARE(s->composition->element_id, QList<int>({0, 0}));
    QCOMPARE(s->composition->stoich, QList<double>({1.0, 0.0}));

    QCOMPARE(sd->nrxnsAqueous, 1);
    const one_rxn *rx = sd->rxnsAqueous.first();
    QCOMPARE(rx->eqk->type_eqn, 0); // unknown equation type
    QCOMPARE(rx->eqk->nterms, 2); // the terms present, whatever "nterms" says
    QCOMPARE(rx->eqk->coeff, QList<double>({1.5, 0.0}));
    QCOMPARE(rx->composition->ncomp, 0);
    QCOMPARE(sd->nrxnsGas, 0);

    QCOMPARE(sd->nwaters, 1);
    const one_water *w = sd->waters.first();
    QCOMPARE(w->activitymethod, 4); // unknown, then repaired
    QCOMPARE(w->activitywater, 1);
    QCOMPARE(w->alkUnit, 0);
    QCOMPARE(w->typeH, 0); // "[H+]"
    QCOMPARE(w->concnunitGas, 1);
    QCOMPARE(w->TC, 0.0); // a JSON number
    QCOMPARE(w->alkElem, QString("H"));
    QCOMPARE(w->composition.size(), 2); // the entry without an element is dropped
    QCOMPARE(w->composition[0]->solute, QString("Ca")); // no solute: the element
    QCOMPARE(w->composition[0]->redoxsolute, true); // the string "1"
    QCOMPARE(w->composition[1]->redoxsolute, false); // missing
    QVERIFY(!w->stag_O2g);
    QVERIFY(w->statmixing);
    QVERIFY(!w->mixdata);
    QVERIFY(w->results);
    QCOMPARE(w->results->converged, true); // "0.5"
    QCOMPARE(w->results->soln_aq.size(), 1);
    QCOMPARE(w->results->soln_aq[0]->cppm, 0.0);
    QCOMPARE(w->results->soln_gas.size(), 0);
}

void tst_jsdb_damaged::controlParameters_data()
{
    QTest::addColumn<QByteArray>("ctrl");
    QTest::addColumn<bool>("dbaccess");
    QTest::addColumn<bool>("redox");
    QTest::addColumn<int>("itmax");
    QTest::addColumn<double>("cvg");
    QTest::addColumn<double>("cmax");
    QTest::addColumn<double>("cmin");
    QTest::addColumn<QStringList>("notes"); // after "control parameters: "
    QTest::newRow("missing section")
        << QByteArray() << true << false << 31 << 1e-6 << 25.0 << 1e-36 << QStringList();
    QTest::newRow("values as written")
        << QByteArray(R"("csolvcmax": "30", "csolvcmin": "1e-30", "csolvcvg": "1e-08",
                         "csolvitmax": "99", "dbaccess": "0", "redox": "1", "orgcmpd": "0")")
        << false << true << 99 << 1e-8 << 30.0 << 1e-30 << QStringList();
    QTest::newRow("zero, negative and words corrected")
        << QByteArray(R"("csolvitmax": "-4", "csolvcvg": "-1", "csolvcmax": "0",
                         "csolvcmin": "abc", "dbaccess": "2", "redox": "true")")
        << true << false << 31 << 1e-6 << 25.0 << 1e-36
        << QStringList({R"("redox" is "true", not 0 or 1; 0 was used)",
                        R"("csolvcmin" is "abc", not a number; 1e-36 was used)",
                        R"("csolvitmax" is "-4", at least 1; 31 was used)",
                        R"("csolvcvg" is "-1", must be greater than 0; 1e-06 was used)",
                        R"("csolvcmax" is "0", must be greater than 0; 25 was used)"});
    QTest::newRow("non-finite limits corrected")
        << QByteArray(R"("csolvcvg": "inf", "csolvcmax": "nan", "csolvcmin": "-inf")") << false
        << false << 31 << 1e-6 << 25.0 << 1e-36
        << QStringList({R"("csolvcvg" is "inf", not a finite number; 1e-06 was used)",
                        R"("csolvcmax" is "nan", not a finite number; 25 was used)",
                        R"("csolvcmin" is "-inf", not a finite number; 1e-36 was used)"});
    QTest::newRow("largest iteration limit")
        << QByteArray(R"("csolvitmax": "10000")") << false << false << 10000 << 1e-6 << 25.0
        << 1e-36 << QStringList();
    QTest::newRow("iteration limit above the largest corrected")
        << QByteArray(R"("csolvitmax": "10001")") << false << false << 31 << 1e-6 << 25.0 << 1e-36
        << QStringList(R"("csolvitmax" is "10001", at most 10000; 31 was used)");
    QTest::newRow("iteration limit beyond a whole number's reach")
        << QByteArray(R"("csolvitmax": "3000000000")") << false << false << 31 << 1e-6 << 25.0
        << 1e-36
        << QStringList(R"("csolvitmax" is "3000000000", a whole number too large to )"
                       "hold; 31 was used");
    QTest::newRow("flags of other JSON types, missing keys")
        << QByteArray(R"("redox": true, "csolvitmax": "letters")") << false << false << 31 << 1e-6
        << 25.0 << 1e-36
        << QStringList({R"("redox" is true, not 0 or 1; 0 was used)",
                        R"("csolvitmax" is "letters", not a whole number; 31 was used)"});
}

void tst_jsdb_damaged::controlParameters()
{
    QFETCH(QByteArray, ctrl);
    Reader r;
    r.mgr.sdata->ctrlset->redox = true;
    const QByteArray section
        = ctrl.isNull() ? QByteArray() : R"("control parameters": {)" + ctrl + "},";
    r.readText("{" + section + R"("header": {"format": "x"}})");
    const one_ctrlset *cs = r.mgr.sdata->ctrlset;
    QTEST(cs->dbaccess, "dbaccess");
    QTEST(cs->redox, "redox");
    QCOMPARE(cs->orgcmpd, false);
    QTEST(cs->csolvitmax, "itmax");
    QTEST(cs->csolvcvg, "cvg");
    QTEST(cs->csolvcmax, "cmax");
    QTEST(cs->csolvcmin, "cmin");
    QCOMPARE(cs->TCmax, 350.0);
    QCOMPARE(cs->TCmin, 0.1);
    QCOMPARE(r.mgr.read_codes().contains(1201), ctrl.isNull());
    QFETCH(QStringList, notes);
    for (QString &note : notes)
        note.prepend("control parameters: ");
    QCOMPARE(r.mgr.read_notes(), notes);
}

void tst_jsdb_damaged::headerValues()
{
    Reader without;
    without.readText(R"({"elements": {"nelements": "0"}})");
    const sim_data *sd = without.mgr.sdata;
    QCOMPARE(sd->format, QString("jsdb.240101"));
    QCOMPARE(sd->versionSim, QString("v.1.0.2a"));
    QCOMPARE(sd->compTag, 20250901);
    QCOMPARE(sd->dbtype, 2);
    QVERIFY(sd->dbref.isEmpty());

    Reader older;
    older.readText(R"({"header": {"compTag": 20230101, "dbtype": "thermoddem_19",
                                  "versionSim": "v.0.9", "dbref": "/x.db"}})");
    QCOMPARE(older.mgr.sdata->compTag, 20230101);
    QCOMPARE(older.mgr.sdata->dbtype, 1);
    QCOMPARE(older.mgr.sdata->versionSim, QString("v.0.9"));
    QCOMPARE(older.mgr.sdata->dbref, QString("/x.db"));
    QVERIFY(older.mgr.sdata->format.isEmpty()); // no "format": empty, not this program's
}

void tst_jsdb_damaged::countMismatchKeepsRecords()
{
    Reader r;
    QTest::ignoreMessage(QtDebugMsg,
                         "JR ##### incorrect no. of elements data blocks found,  3  /  0 .");
    r.readText(R"j({"elements": {"list": [], "properties": {
                      "O": {"name": "O"}, "H": {"name": "H"}, "Na": {"name": "Na"}}},
                   "gases": {"ngases": "2", "list": ["CO2(g)", "O2(g)"]}})j");
    QCOMPARE(r.mgr.sdata->nelements, 3);
    QCOMPARE(r.mgr.sdata->elements[0]->name, QString("H"));
    QCOMPARE(r.mgr.sdata->ngases, 0);
}

void tst_jsdb_damaged::watersCountFollowsList_data()
{
    QTest::addColumn<QByteArray>("waters");
    QTest::addColumn<int>("count");
    QTest::newRow("missing") << QByteArray() << 0;
    QTest::newRow("empty object") << QByteArray(R"("waters": {},)") << 0;
    QTest::newRow("no water blocks")
        << QByteArray(R"("waters": {"nwaters": "0", "list": [], "allwaters": {}},)") << 0;
    QTest::newRow("count not a number")
        << QByteArray(R"("waters": {"nwaters": "x", "allwaters": {"a": {"name": "a"}}},)") << 1;
    QTest::newRow("block not an object")
        << QByteArray(R"("waters": {"nwaters": "2", "allwaters": {"a": 5, "b": {"name": "b"}}},)")
        << 2;
}

void tst_jsdb_damaged::watersCountFollowsList()
{
    QFETCH(QByteArray, waters);
    QFETCH(int, count);
    Reader r;
    QCOMPARE(r.mgr.sdata->nwaters, 1); // the default water before reading
    r.readText("{" + waters + R"("header": {"format": "x"}})");
    QCOMPARE(r.mgr.sdata->waters.size(), count);
    QCOMPARE(r.mgr.sdata->nwaters, count);
    for (const one_water *w : r.mgr.sdata->waters) {
        QVERIFY(w->redoxO2g);
        QCOMPARE(w->alkElem, QString("H"));
    }
}

// Read as ever; each value of another kind named with its water and what was used.
void tst_jsdb_damaged::waterValuesOfOtherKinds_data()
{
    QTest::addColumn<QByteArray>("waters");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<double>("TC"); // of the first water
    QTest::addColumn<double>("molal"); // of its first element, NaN when none
    QTest::newRow("list, object, true")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1",
        "TC": [1, 2], "densitymass": true, "alkmolal": "0", "composition": [
        {"element": "Ca", "molal": {}, "Molar": "-0.0"}]}}})")
        << QStringList(
               {R"(water "w1": "densitymass" is true, not a number; 0 was used)",
                R"(water "w1": "TC" is [1,2], not a number; 0 was used)",
                R"(water "w1": "molal" of Ca in "composition" is {}, not a number; 0 was used)"})
        << 0.0 << 0.0;
    QTest::newRow("words, unquoted and not finite")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1", "TC": "1e400", "alkSet": "yes",
        "pHcomp": 7, "composition": [{"element": "Na", "molal": "0.002"}]}}})")
        << QStringList({R"(water "w1": "TC" is "1e400", not a finite number; inf was used)",
                        R"(water "w1": "alkSet" is "yes", not 0 or 1; 0 was used)",
                        R"(water "w1": "pHcomp" is 7, a number not written as text; 0 was used)"})
        << qInf() << 0.002;
    QTest::newRow("composition a text")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1",
        "TC": "25", "composition": "Ca 1 mmol"}}})")
        << QStringList(R"(water "w1": "composition" is "Ca 1 mmol", not a list; no amount )"
                       "was read, so each element is given a new water's amount when the water "
                       "is shown or run")
        << 25.0 << qQNaN();
    QTest::newRow("count unlike the waters")
        << QByteArray(R"({"nwaters": "1e12", "allwaters":
        {"w1": {"name": "w1", "composition": [{"element": "Ca", "molal": "0"}]}, "w2": {}}})")
        << QStringList(R"(waters: "nwaters" is "1e12", but 2 waters were found; 2 was used)") << 0.0
        << 0.0;
    QTest::newRow("numbers too small to hold, a decimal comma")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1", "TC": "1e-400", "densitymass":
        "1e-320", "alkmolal": "1,5", "composition": [{"element": "Ca", "molal": "4.9e-324"}]}}})")
        << QStringList({R"(water "w1": "densitymass" is "1e-320", too small to hold all its )"
                        "digits: nearer to 0 than 2.2250738585072014e-308; "
                        "9.9998886718268301e-321 was used",
                        R"(water "w1": "TC" is "1e-400", too small to hold: it would be 0; 0 )"
                        "was used",
                        R"(water "w1": "alkmolal" is "1,5", use a point as decimal separator; )"
                        "0 was used",
                        R"(water "w1": "molal" of Ca in "composition" is "4.9e-324", too small )"
                        "to hold all its digits: nearer to 0 than 2.2250738585072014e-308; "
                        "4.9406564584124654e-324 was used"})
        << 0.0 << 4.9406564584124654e-324;
    QTest::newRow("records of other kinds")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1", "TC": "25", "redoxO2g": {},
        "mix": {"statmixing": "1", "mixdata": [2]}, "results": "none"}, "w2": {"name": "w2",
        "redoxO2g": [1], "mix": 3}}})")
        << QStringList({R"(water "w1": "mixdata" in "mix" is [2], not an object; no mixing )"
                        "record was read",
                        R"(water "w1": "results" is "none", not an object; no result was read)",
                        R"(water "w2": "redoxO2g" is [1], not an object; no O2(g) condition )"
                        "was read",
                        R"(water "w2": "mix" is 3, not an object; no mixing record was read)"})
        << 25.0 << qQNaN();
    QTest::newRow("count written as a number")
        << QByteArray(R"({"nwaters": 1, "allwaters": {"w1": {"name": "w1", "TC": "25"}}})")
        << QStringList() << 25.0 << qQNaN();
    QTest::newRow("place not taken from the water before")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1", "mix": {"statmixing": "1"}},
        "w2": {"name": "w2", "TC": 25}}})")
        << QStringList(R"(water "w2": "TC" is 25, a number not written as text; 0 was used)") << 0.0
        << qQNaN();
    QTest::newRow("texts quoted as they stand, long ones cut")
        << QByteArray(R"({"nwaters": "%3", "allwaters": {"w1": {"name": "w1",
        "TC": "a \"very\" long text of far more than forty characters"}, "w2": {}}})")
        << QStringList({R"(water "w1": "TC" is "a \"very\" long text of far more than f..., )"
                        "not a number; 0 was used",
                        R"(waters: "nwaters" is "%3", but 2 waters were found; 2 was used)"})
        << 0.0 << qQNaN();
    QTest::newRow("texts of other kinds")
        << QByteArray(R"({"allwaters": {"w1": {"name": "w1", "alkElem": false, "concnunit": 3,
        "description": ["a"], "chargebalanceElem": 0, "composition": [{"element": ["Ca"]},
        {"element": "Na", "solute": 11, "molal": "0.5", "swaprxn": {}}]}}})")
        << QStringList(
               {R"(water "w1": "alkElem" is false, not a text; "H" was used)",
                R"(water "w1": "concnunit" is 3, not a text; "molal" was used)",
                R"(water "w1": "description" is ["a"], not a text; an empty text was )"
                "used",
                R"(water "w1": "element" of entry 1 in "composition" is ["Ca"], not a )"
                "text; the entry was left out",
                R"(water "w1": "solute" of Na in "composition" is 11, not a text; "Na" )"
                "was used",
                R"(water "w1": "swaprxn" of Na in "composition" is {}, not a text; no )"
                "swap reaction was used",
                R"(water "w1": "chargebalanceElem" is 0, not a text; an empty name was used)"})
        << 0.0 << 0.5;
    QTest::newRow("name and model of other kinds")
        << QByteArray(R"({"allwaters": {"w1": {"name": 5, "activitymethod": 2, "mix": {
        "mixdata": {"targetcunit": [1]}}, "results": {"soln_aq": [{"solute": 7}]}}}})")
        << QStringList({R"(water "": "name" is 5, not a text; an empty name was used)",
                        R"(water "": "activitymethod" is 2, not a text; "ac_dh_bdot" was used)",
                        R"(water "": "targetcunit" in "mixdata" is [1], not a text; "molal" )"
                        "was used",
                        R"(water "": "solute" of entry 1 in "soln_aq" is 7, not a text; an )"
                        "empty name was used"})
        << 0.0 << qQNaN();
}

void tst_jsdb_damaged::waterValuesOfOtherKinds()
{
    QFETCH(QByteArray, waters);
    Reader r;
    r.readText(R"({"header": {"format": "x"}, "waters": )" + waters + "}");
    QTEST(r.mgr.read_notes(), "notes");
    const one_water *w = r.mgr.sdata->waters.first();
    QTEST(w->TC, "TC");
    QTEST(w->composition.isEmpty() ? qQNaN() : w->composition.first()->molal, "molal");
}

// Every section notes its values as the waters do, each named with its record.
void tst_jsdb_damaged::sectionValuesOfOtherKinds_data()
{
    QTest::addColumn<QByteArray>("sections");
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("header") << QByteArray(R"("header": {"compTag": "20250901"})")
                            << QStringList(R"(header: "compTag" is "20250901", a number )"
                                           "written as text; 0 was used");
    QTest::newRow("elements") << QByteArray(R"("elements": {"nelements": "3", "properties": {
        "Ca": {"name": "Ca", "molwt": "40", "cvtmtoppm": [], "tag": "x"}}})")
                              << QStringList({R"(element "Ca": "cvtmtoppm" is [], not a )"
                                              "number; 40000 was used",
                                              R"(element "Ca": "tag" is "x", not a whole )"
                                              "number; 0 was used",
                                              R"(elements: "nelements" is "3", but 1 element )"
                                              "was found; 1 was used"});
    QTest::newRow("gases and solutes") << QByteArray(R"j(
        "gases": {"properties": {"CO2(g)": {"name": "CO2(g)", "composition": {"C": 1}}}},
        "solutes": {"allsolutes": {"Ca++": {"name": "Ca++", "charge": true,
            "composition": [{"name": "Ca", "stoich": "one"}]}}})j")
                                       << QStringList({R"j(gas "CO2(g)": "composition" is )j"
                                                       R"({"C":1}, not a list; an empty list )"
                                                       "was used",
                                                       R"(solute "Ca++": "charge" is true, )"
                                                       "not a number; 0 was used",
                                                       R"(solute "Ca++": "stoich" of Ca in )"
                                                       R"("composition" is "one", not a )"
                                                       "number; 0 was used"});
    QTest::newRow("reactions and redox") << QByteArray(R"(
        "reactions": {"gas": {"allrxns": {"R": {"name": "R", "eqk": {"equation": [
            {"coeff": "1"}, {"coeff": "1.5", "eqkTC": "hot"}]}}}}},
        "redox": {"redoxpairs": [{"element": "Fe", "solutes": "Fe++"}], "redoxgases": 3})")
                                         << QStringList({R"(gas reaction "R": "eqkTC" of )"
                                                         R"(entry 2 in "equation" is "hot", )"
                                                         "not a number; 0 was used",
                                                         R"(redox: "solutes" of Fe in )"
                                                         R"("redoxpairs" is "Fe++", not a )"
                                                         "list; an empty list was used",
                                                         R"(redox: "redoxgases" is 3, not a )"
                                                         "list; an empty list was used"});
    QTest::newRow("records listed, not keyed by name")
        << QByteArray(R"("elements": {"properties": [{"name": "Ca"}]},
        "reactions": {"aqueous": {"allrxns": [{"name": "R"}]}},
        "waters": {"nwaters": "1", "allwaters": {"a": 5}})")
        << QStringList({R"(elements: "properties" is [{"name":"Ca"}], not an object; no )"
                        "element was read",
                        R"(aqueous reactions: "allrxns" is [{"name":"R"}], not an object; no )"
                        "reaction was read",
                        R"(waters: "a" in "allwaters" is 5, not an object; a record of no )"
                        "values was read"});
    QTest::newRow("names and flags of other kinds")
        << QByteArray(R"("redox": {"redoxpairs": [{"element": "Fe",
            "solutes": ["Fe++", 1, {"a": 2}]}]},
        "waters": {"allwaters": {"w1": {"name": "w1", "composition": [
            {"element": "Ca", "redoxsolute": [1]}]}}})")
        << QStringList({R"(redox: entry 2 of "solutes" of Fe in "redoxpairs" is 1, not a name; )"
                        "an empty name was used",
                        R"(redox: entry 3 of "solutes" of Fe in "redoxpairs" is {"a":2}, not a )"
                        "name; an empty name was used",
                        R"(water "w1": "redoxsolute" of Ca in "composition" is [1], not true or )"
                        "false; false was used"});
    QTest::newRow("stored result") << QByteArray(R"("waters": {"allwaters": {"w1": {
        "name": "w1", "results": {"resultpH": "8", "loops": "12.5", "soln_gas": {},
            "soln_aq": [{"solute": "Na+", "cmolal": "0.4", "gamma": "n/a"}]}}}})")
                                   << QStringList({R"(water "w1": "loops" in "results" is )"
                                                   R"("12.5", not a whole number; 0 was used)",
                                                   R"(water "w1": "soln_gas" in "results" is )"
                                                   "{}, not a list; an empty list was used",
                                                   R"(water "w1": "gamma" of Na+ in )"
                                                   R"("soln_aq" is "n/a", not a number; 0 )"
                                                   "was used"});
    QTest::newRow("texts of other kinds")
        << QByteArray(R"("header": {"dbtype": 2, "description": {"a": 1}},
        "elements": {"properties": {"Ca": {"name": "Ca", "basis": ["Ca++"]}}},
        "solutes": {"allsolutes": {"Ca++": {"name": "Ca++", "type": 3,
            "composition": [{"name": ["Ca"]}]}}},
        "reactions": {"aqueous": {"allrxns": {"R": {"name": "R", "formula": 1,
            "composition": [{"name": 2}], "eqk": {"eqntype": true}}}}},
        "redox": {"redoxpairs": [{"element": 26, "redoxpair": ["Fe+++"]}]})")
        << QStringList(
               {R"(header: "dbtype" is 2, not a text; "eq36_96" was used)",
                R"(header: "description" is {"a":1}, not a text; an empty text was used)",
                R"(element "Ca": "basis" is ["Ca++"], not a text; an empty name was used)",
                R"(solute "Ca++": "name" of entry 1 in "composition" is ["Ca"], not a text; an )"
                "empty name was used",
                R"(solute "Ca++": "type" is 3, not a text; the type is unknown)",
                R"(aqueous reaction "R": "formula" is 1, not a text; an empty text was used)",
                R"(aqueous reaction "R": "name" of entry 1 in "composition" is 2, not a text; )"
                "an empty name was used",
                R"(aqueous reaction "R": "eqntype" in "eqk" is true, not a text; )"
                R"("eqkLog10_polynom" was used)",
                R"(redox: "element" of entry 1 in "redoxpairs" is 26, not a text; an empty )"
                "name was used",
                R"(redox: "redoxpair" of entry 1 in "redoxpairs" is ["Fe+++"], not a text; an )"
                "empty name was used"});
}

void tst_jsdb_damaged::sectionValuesOfOtherKinds()
{
    QFETCH(QByteArray, sections);
    Reader r;
    r.readText("{" + sections + "}");
    QTEST(r.mgr.read_notes(), "notes");
    QCOMPARE(r.mgr.messages().size(), r.mgr.read_codes().size());
}

void tst_jsdb_damaged::repairsAfterReading()
{
    Reader r;
    QTest::ignoreMessage(QtDebugMsg,
                         "JFM: ## solute activity correction method for water  0 "
                         "\"w1\"  not set.");
    QTest::ignoreMessage(QtDebugMsg,
                         "JFM: ## water activity correction method for water  0 "
                         "\"w1\"  not set.");
    QCOMPARE(r.readText(R"({"header": {"format": "x"}, "control parameters": {"redox": "0"},
        "elements": {"nelements": "3", "properties": {
            "A": {"name": "A", "molwt": "10", "cvtmtoppm": "0"},
            "B": {"name": "B", "molwt": "20", "cvtmtoppm": "-5"},
            "C": {"name": "C", "molwt": "30", "cvtmtoppm": "123"}}},
        "gases": {"ngases": "0", "properties": {}}, "solutes": {"nsolutes": "0", "allsolutes": {}},
        "reactions": {"aqueous": {}, "gas": {}}, "redox": {"redoxpairs": []},
        "waters": {"nwaters": "2", "allwaters": {
            "w1": {"name": "w1", "activitymethod": "ac_dh_bdot_x", "activitywater": "acw"},
            "w2": {"name": "w2", "activitymethod": "ac_dh", "activitywater": "acw_ideal"}}}})"),
             0);
    const sim_data *sd = r.mgr.sdata;
    QCOMPARE(sd->elements[0]->cvtmtoppm, 10000.0);
    QCOMPARE(sd->elements[1]->cvtmtoppm, 20000.0);
    QCOMPARE(sd->elements[2]->cvtmtoppm, 123.0);
    QCOMPARE(sd->waters[0]->activitymethod, 4);
    QCOMPARE(sd->waters[0]->activitywater, 1);
    QCOMPARE(sd->waters[1]->activitymethod, 1);
    QCOMPARE(sd->waters[1]->activitywater, 0);

    // Only too-high codes are known to be wrong; a negative one is kept.
    sd->waters[1]->activitymethod = -1;
    r.mgr.json_read_patch();
    QCOMPARE(sd->waters[1]->activitymethod, -1);
}

void tst_jsdb_damaged::reactionElementsAndLookups()
{
    Reader r;
    r.readText(R"j({"gases": {"properties": {"CO2(g)": {"name": "CO2(g)", "composition": [
                        {"name": "C", "stoich": "1"}, {"name": "O", "stoich": "2"}]}}},
        "solutes": {"allsolutes": {
            "H2O": {"name": "H2O", "composition": [{"name": "H"}, {"name": "O"}]},
            "HCO3-": {"name": "HCO3-", "composition": [{"name": "H"}, {"name": "C"},
                                                       {"name": "O"}]}}},
        "reactions": {"gas": {"allrxns": {"CO2(g)": {"name": "CO2(g)", "composition": [
            {"name": "co2(G)"}, {"name": "H2O"}, {"name": "Zz"}, {"name": "HCO3-"}]}}}}})j");
    QCOMPARE(r.mgr.find_idxSD_solute("h2o"), 0);
    QCOMPARE(r.mgr.find_idxSD_solute("H2O2"), -9);
    QCOMPARE(r.mgr.find_idxSD_liquid("H2O"), -9);
    QCOMPARE(r.mgr.find_idxSD_gas("CO2(G)"), 0);
    QCOMPARE(r.mgr.sdata->rxnsGas.size(), 1);
    QCOMPARE(r.mgr.sdata->rxnsGas[0]->elements, QStringList({"C", "O", "H"}));
    QCOMPARE(r.mgr.rxn_compile_list_elements(nullptr), QStringList());
}

QTEST_GUILESS_MAIN(tst_jsdb_damaged)
#include "tst_jsdb_damaged.moc"
