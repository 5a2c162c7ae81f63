// The streaming JSON writer must give exactly what QJsonDocument::toJson(Indented)
// gives for the same document, whatever order members arrive in, and a saved
// configuration must be a file Qt itself would write byte for byte.

#include "jsdb_writer.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "support_files.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <limits>

using jsdb_codec::jsdb_writer;

namespace {

using support_files::slurp;
using support_files::withoutDate;

// The order in which write_value() hands an object's members to the writer.
enum class member_order {
    sorted, // as QJsonObject iterates: the writer's quick path
    reversed,
    // Reversed, and each member first written with a stand-in value that the real
    // one, written later under the same key, must replace.
    reversed_with_stand_ins,
};

void write_value(jsdb_writer &w, const QJsonValue &v, member_order order)
{
    switch (v.type()) {
    case QJsonValue::Bool:
        w.boolean(v.toBool());
        break;
    case QJsonValue::Double:
        w.integer(v.toInteger());
        break;
    case QJsonValue::String:
        w.string(v.toString());
        break;
    case QJsonValue::Array:
        w.begin_array();
        for (const QJsonValue &e : v.toArray())
            write_value(w, e, order);
        w.end_array();
        break;
    case QJsonValue::Object: {
        const QJsonObject o = v.toObject();
        QStringList keys = o.keys();
        if (order != member_order::sorted)
            std::reverse(keys.begin(), keys.end());
        w.begin_object();
        if (order == member_order::reversed_with_stand_ins)
            for (const QString &k : std::as_const(keys)) {
                w.key(k);
                w.string(QStringLiteral("stand-in, longer than the value that replaces it"));
            }
        for (const QString &k : std::as_const(keys)) {
            w.key(k);
            write_value(w, o.value(k), order);
        }
        w.end_object();
        break;
    }
    default:
        QFAIL("no JSON null in configuration files");
    }
}

QByteArray written(const QJsonValue &doc, member_order order)
{
    jsdb_writer w;
    write_value(w, doc, order);
    return w.finish();
}

QByteArray qtText(const QJsonValue &doc)
{
    return doc.isArray() ? QJsonDocument(doc.toArray()).toJson(QJsonDocument::Indented)
                         : QJsonDocument(doc.toObject()).toJson(QJsonDocument::Indented);
}

QJsonObject sampleDocument()
{
    QJsonObject inner {{"b", "x"}, {"A", "y"}, {" lead", "blank sorts first"}, {"a", "z"}};
    QJsonArray mixed {"text", true, false, 3, QJsonObject(), QJsonArray(), QJsonArray {"deep"}};
    return QJsonObject {
        {"escapes", QString::fromUtf8("quote\" back\\ slash/ \b\f\n\r\t ctrl\x01\x1f del\x7f")},
        {"unicode", QString::fromUtf8("µ Å 中文 \xf0\x9f\x98\x80 end")},
        {"lone surrogates", QString(QChar(0xd800)) + "x" + QChar(0xdc00) + QChar(0xdbff)},
        {"empty text", ""},
        {"numbers", QJsonArray {0, -42, 20250901, qint64(1) << 53, -(qint64(1) << 53)}},
        {"inner", inner},
        {"mixed", mixed},
        {"empty object", QJsonObject()},
        {"empty array", QJsonArray()},
        {"Upper", "before lower"},
        {QString::fromUtf8("cl\u00e9 \"quoted\"\tkey"), "key escaped and encoded"},
        {QString(300, QLatin1Char('k')), "key longer than a line"},
        // UTF-16 order: a surrogate pair (U+1F600) sorts before U+FFFD, as in any
        // QJsonObject (only Qt's parser sorts by code point).
        {QString::fromUtf8("\xf0\x9f\x98\x80"), "pair"},
        {QString(QChar(0xfffd)), "replacement character"},
    };
}

QJsonValue nested(int depth)
{
    QJsonValue v = QStringLiteral("bottom");
    for (int i = 0; i < depth; ++i)
        v = i % 2 ? QJsonValue(QJsonArray {v, i}) : QJsonValue(QJsonObject {{"z", i}, {"d", v}});
    return v;
}

// ---- configurations ------------------------------------------------------------------

QString scratch(const QString &name)
{
    return support_files::scratch(QStringLiteral("writer"), name);
}

one_comp_elements *elementsOf(const QStringList &names)
{
    auto *c = new one_comp_elements;
    c->element = names;
    for (int i = 0; i < names.size(); ++i) {
        c->stoich << 1.0 + i;
        c->element_id << i + 1;
    }
    c->ncomp = int(names.size());
    return c;
}

one_rxn *reaction(sim_data *sd, QList<one_rxn *> &list, const QString &name, int type)
{
    auto *r = sd->own(new one_rxn);
    r->name = name;
    r->formula = name;
    r->expression = name + " = H+";
    r->type = type;
    r->composition = new one_comp_solutes;
    r->composition->solute = {name, "H+"};
    r->composition->stoich = {-1, 1};
    r->composition->solute_id = {1, 2};
    r->composition->ncomp = 2;
    r->eqk = new one_rxn_eqk;
    r->eqk->type_eqn = global::eqkLog10_polynom;
    for (int i = 0; i < 8; ++i) {
        r->eqk->order_idx << i;
        r->eqk->coeff << (i % 2 ? -1 : 1) * 14.938612345678901 / std::pow(37.0, i);
        r->eqk->quotient << i;
        r->eqk->eqkLog10 << -14.9 + i * 0.25;
        r->eqk->temperature << 25.0 * i;
    }
    r->eqk->nterms = 8;
    list << r;
    return r;
}

/// Every part of the file: species, reactions of both kinds, linked redox records,
/// a water with an O2(g) and a charge-balance condition and a result, a mixed water,
/// and names that need escapes, are not ASCII, repeat, or sort differently in UTF-16.
void populate(sbatch &b)
{
    sim_data *sd = b.sdata;
    b.simData_init(sd);
    sd->file = scratch("populated.jsdb");
    sd->description = QString::fromUtf8("Na-Cl \"sea\" \\ système\tµ");
    sd->nameO2g = "O2(g)";
    const QStringList elements = {"O", "H", "Na", "Cl", QString::fromUtf8("Ω"), "na"};
    for (const QString &name : elements) {
        auto *el = sd->own(new one_element);
        el->name = name;
        el->mol_wt = 22.98977 + el->name.size();
        el->basis_name = name + "+";
        sd->elements << el;
    }
    const QStringList solutes = {"H+", "Na+", "Cl-", QString::fromUtf8("Fe²⁺"), "Na+", "OH-"};
    QList<one_solute *> sol;
    for (const QString &name : solutes) {
        auto *s = sd->own(new one_solute);
        s->name = name;
        s->charge = name.endsWith('-') ? -1 : 1;
        s->composition = elementsOf({"Na", "O"});
        sd->solutes << s;
        sol << s;
    }
    auto *gas = sd->own(new one_gas);
    gas->name = "O2(g)";
    gas->composition = elementsOf({"O"});
    sd->gases << gas;

    one_rxn *oh = reaction(sd, sd->rxnsAqueous, "OH-", global::aqueous);
    reaction(sd, sd->rxnsAqueous, QString::fromUtf8("\xf0\x9f\x98\x80"), global::aqueous);
    // Not a name from U+E000 on beside it: Qt's parser sorts keys by code point, so
    // fromJson(text).toJson() would move such a name before the pair, while Qt's
    // objects, the file and its readers keep UTF-16 order (see sampleDocument()).
    reaction(sd, sd->rxnsAqueous, QString::fromUtf8("é"), global::aux);
    one_rxn *o2 = reaction(sd, sd->rxnsGas, "O2(g)", global::gas);

    auto *pair = sd->own(new one_redoxRxn);
    pair->elementRec = sd->elements.at(0);
    pair->rxn = oh;
    pair->soluteRecs = {sol.at(0), sol.at(5)};
    sd->redoxpairs << pair;
    auto *rgas = sd->own(new one_redoxRxn);
    rgas->gasRec = gas;
    rgas->rxn = o2;
    rgas->solutes = {"O2(aq)"};
    sd->redoxgases << rgas;

    one_water *w = sd->waters.first();
    w->name = QString::fromUtf8("Meerwasser Ü");
    w->chargebalance = true;
    w->chargebalanceSolute = "Cl-";
    w->chargebalanceElem = "Cl";
    w->stag_O2g = true;
    w->redoxO2g->molal = 2.5e-4;
    w->redoxO2gSwaprxn = "O2(g)";
    for (const char *e : {"Na", "Cl"}) {
        auto *c = new one_elementComp;
        c->element = e;
        c->solute = QString(e) + "+";
        c->molal = 0.469;
        c->redoxsolute = e[0] == 'C';
        w->composition << c;
    }
    auto *res = new one_water_result;
    res->date_utc = 1741082700;
    res->converged = true;
    for (const QString &s : solutes) {
        auto *rs = new one_waterResult_solute;
        rs->solute = s;
        rs->cmolal = 1.2345678e-6;
        rs->gamma = 0.68;
        res->soln_aq << rs;
    }
    auto *re = new one_waterResult_element;
    re->element = "Na";
    res->soln_elem << re;
    auto *rg = new one_waterResult_solute;
    rg->solute = "O2(g)";
    res->soln_gas << rg;
    w->results = res;

    one_water *mixed = sd->own(b.simData_init_water());
    mixed->name = QString(QChar(0xd800)) + " lone surrogate";
    mixed->statmixing = true;
    mixed->mixdata = new one_water_mixModel;
    mixed->mixdata->namewaterone = w->name;
    mixed->mixdata->volumeone = 50;
    sd->waters << mixed;
    one_water *again = sd->own(b.simData_init_water());
    again->name = w->name; // stored under a unique key
    sd->waters << again;
    sd->nwaters = int(sd->waters.size());
}

/// The benchmark's shape, smaller: many waters with long results, many reactions.
void populateLarge(sbatch &b)
{
    populate(b);
    sim_data *sd = b.sdata;
    sd->file = scratch("large.jsdb");
    for (int i = 0; i < 120; ++i)
        reaction(sd, sd->rxnsAqueous, QStringLiteral("S%1").arg(119 - i), global::aqueous);
    for (int k = 0; k < 6; ++k) {
        one_water *w = sd->own(b.simData_init_water());
        w->name = QStringLiteral("water %1").arg(5 - k);
        w->results = new one_water_result;
        for (int i = 0; i < 300; ++i) {
            auto *s = new one_waterResult_solute;
            s->solute = QStringLiteral("S%1").arg(i);
            s->cmolal = 1.2345678e-6 * (i + 1);
            s->cMolar = -1e-300 * i;
            s->gamma = 1.0 / (i + 3);
            w->results->soln_aq << s;
        }
        sd->waters << w;
    }
    sd->nwaters = int(sd->waters.size());
}

} // namespace

Q_DECLARE_METATYPE(member_order)

class tst_jsdb_writer : public QObject
{
    Q_OBJECT

private slots:
    void writesWhatQtWrites_data();
    void writesWhatQtWrites();
    void repeatedKeysKeepTheLast_data();
    void repeatedKeysKeepTheLast();
    void latin1KeysSortAndEscapeLikeOthers_data();
    void latin1KeysSortAndEscapeLikeOthers();
    void valueEncodingMatchesQtTexts();
    void numbersMatchQtAtEveryPrecision_data();
    void numbersMatchQtAtEveryPrecision();
    void reusedBufferStartsEmpty();
    void savedFileIsWhatQtWrites_data();
    void savedFileIsWhatQtWrites();
    void sectionObjectsMatchTheFile();
    void repeatedSavesWriteTheSameFile();
};

void tst_jsdb_writer::writesWhatQtWrites_data()
{
    QTest::addColumn<QJsonValue>("doc");
    QTest::addColumn<member_order>("order");
    const QList<std::pair<const char *, QJsonValue>> docs = {
        {"sample", sampleDocument()},
        {"empty object", QJsonObject()},
        {"empty array", QJsonArray()},
        {"array of containers", QJsonArray {QJsonObject(), QJsonArray(), "x", 1}},
        {"nested 300 deep", QJsonObject {{"top", nested(300)}}},
    };
    const QList<std::pair<const char *, member_order>> orders = {
        {"in order", member_order::sorted},
        {"reversed", member_order::reversed},
        {"with stand-ins", member_order::reversed_with_stand_ins},
    };
    for (const auto &doc : docs)
        for (const auto &order : orders)
            QTest::addRow("%s, %s", doc.first, order.first) << doc.second << order.second;
}

void tst_jsdb_writer::writesWhatQtWrites()
{
    QFETCH(QJsonValue, doc);
    QFETCH(member_order, order);
    QCOMPARE(written(doc, order), qtText(doc));
}

void tst_jsdb_writer::repeatedKeysKeepTheLast_data()
{
    // Keys and values as they are written; Qt inserts them one by one.
    QTest::addColumn<QStringList>("sequence");
    QTest::newRow("repeat after others") << QStringList {"k", "1", "j", "2", "k", "3"};
    QTest::newRow("repeat in order") << QStringList {"a", "1", "b", "2", "b", "3", "c", "4"};
    QTest::newRow("three of one key") << QStringList {"x", "1", "x", "2", "x", "3"};
    QTest::newRow("case and prefixes")
        << QStringList {"ab", "1", "a b", "2", "a", "3", "B", "4", "_", "5", "A", "6", "a", "7"};
    QTest::newRow("only the first is out of order")
        << QStringList {"z", "1", "a", "2", "b", "3", "c", "4"};
}

void tst_jsdb_writer::repeatedKeysKeepTheLast()
{
    QFETCH(QStringList, sequence);
    QJsonObject expected;
    jsdb_writer w;
    w.begin_object();
    w.key("before");
    w.begin_array();
    w.begin_object(); // an object inside an array, out of order too
    for (qsizetype i = 0; i + 1 < sequence.size(); i += 2) {
        expected.insert(sequence.at(i), sequence.at(i + 1));
        w.key(sequence.at(i));
        w.string(sequence.at(i + 1));
    }
    w.end_object();
    w.end_array();
    w.key("after");
    w.boolean(true);
    w.end_object();
    const QJsonObject doc {{"before", QJsonArray {expected}}, {"after", true}};
    QCOMPARE(w.finish(), QJsonDocument(doc).toJson(QJsonDocument::Indented));
}

void tst_jsdb_writer::latin1KeysSortAndEscapeLikeOthers_data()
{
    // Keys given as Latin-1 (literals in the section writers) are neither copied
    // nor converted: they must be escaped, encoded and ordered as QString keys,
    // also beside them in one object.
    QTest::addColumn<QByteArrayList>("keys");
    QTest::newRow("plain, in order") << QByteArrayList {"alpha", "beta", "gamma"};
    QTest::newRow("out of order, long and short")
        << QByteArrayList {"zeta_long_key_name", "Zeta", "a", "abcdefghij", "abcdefgh"};
    // Keys are checked eight bytes at a time: escapes in the first and later runs
    // of eight, in the rest, and in keys shorter than eight bytes.
    QTest::newRow("escapes") << QByteArrayList {"a\"bcdefghij",
                                                "a\\bcdefghij",
                                                "abcdefg\x01xyz",
                                                "1234567\ttab",
                                                "12345678\\back123",
                                                "12345678\"quoted\"",
                                                "\x01",
                                                "x\\",
                                                "ab\"cd",
                                                "abcd\\e",
                                                "\tbcdefg",
                                                "abcdefghi\""};
    QTest::newRow("Latin-1 beyond ASCII")
        << QByteArrayList {"caf\xe9", "cafe", "\xff", "\x7f", "na\xefve name"};
    QTest::newRow("repeated") << QByteArrayList {"k", "j", "k", "k"};
}

void tst_jsdb_writer::latin1KeysSortAndEscapeLikeOthers()
{
    QFETCH(QByteArrayList, keys);
    QJsonObject expected;
    jsdb_writer w;
    w.begin_object();
    // Each key twice, once as Latin-1 and once as QString, in both orders: the
    // second member of a key replaces the first.
    for (int round = 0; round < 2; ++round) {
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QString name = QString::fromLatin1(keys.at(i));
            const QString value = QStringLiteral("%1.%2").arg(round).arg(i);
            expected.insert(name, value);
            if ((i + round) % 2 == 0)
                w.key(QLatin1String(keys.at(i)));
            else
                w.key(name);
            w.string(value);
        }
    }
    w.end_object();
    QCOMPARE(w.finish(), QJsonDocument(expected).toJson(QJsonDocument::Indented));
}

void tst_jsdb_writer::valueEncodingMatchesQtTexts()
{
    const double inf = std::numeric_limits<double>::infinity();
    const QList<double> reals = {0.0,
                                 -0.0,
                                 1.0,
                                 -2.5,
                                 1e-300,
                                 123456.5,
                                 1234565,
                                 1.23e22,
                                 0.1,
                                 1.0 / 3.0,
                                 inf,
                                 -inf,
                                 std::numeric_limits<double>::quiet_NaN(),
                                 5e-324};
    const QList<qint64> integers
        = {0, -1, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    jsdb_writer w;
    QJsonArray expected;
    w.begin_array();
    for (const double v : reals) {
        for (const int precision : {jsdb_codec::digits, jsdb_codec::digitsCoeff, 20}) {
            w.num(v, precision);
            expected.append(QString::number(v, 'g', precision));
        }
    }
    for (const qint64 v : integers) {
        w.num(v);
        expected.append(QString::number(v));
        w.integer(v);
        expected.append(v);
    }
    for (const bool v : {true, false}) {
        w.flag(v);
        expected.append(v ? "1" : "0");
        w.boolean(v);
        expected.append(v);
    }
    const char ascii[] = "tab\t\"quote\" back\\ \x01 latin \xe9";
    w.ascii(ascii, sizeof ascii - 1);
    expected.append(QString::fromLatin1(ascii));
    w.strings({"a", "", QString::fromUtf8("é")});
    expected.append(QJsonArray {"a", "", QString::fromUtf8("é")});
    w.end_array();
    QCOMPARE(w.finish(), QJsonDocument(expected).toJson(QJsonDocument::Indented));
}

void tst_jsdb_writer::numbersMatchQtAtEveryPrecision_data()
{
    // Doubles are formatted by exact integer arithmetic within a range of
    // magnitudes and by the general path outside it: both sides of its bounds,
    // powers of ten and their neighbours, halves, and magnitudes at random.
    QTest::addColumn<QList<double>>("values");
    QList<double> powers;
    for (int e = -30; e <= 40; ++e) {
        const double p = std::pow(10.0, e);
        powers << p << std::nextafter(p, 0.0) << std::nextafter(p, 2 * p) << -p;
    }
    QTest::newRow("powers of ten and neighbours") << powers;
    QTest::newRow("halves and nines") << QList<double> {
        0.5,      1.5,         2.5,         0.25,           0.125,         1e6 + 0.5,
        99999.95, 9.999999995, 99999999.95, 999999999999.5, 0.00012344995, 4503599627370495.5};
    QList<double> random;
    QRandomGenerator gen(7);
    for (int i = 0; i < 3000; ++i)
        random << std::ldexp(gen.generateDouble() + 0.5, int(gen.bounded(-75, 130)))
                * (i % 2 ? -1 : 1);
    QTest::newRow("magnitudes 1e-23 to 1e39") << random;
}

void tst_jsdb_writer::numbersMatchQtAtEveryPrecision()
{
    QFETCH(QList<double>, values);
    for (int precision = 1; precision <= 17; ++precision) {
        for (const double v : std::as_const(values)) {
            char buf[32];
            const size_t n = jsdb_codec::format_g(v, precision, buf);
            const QString qt = QString::number(v, 'g', precision);
            if (QLatin1String(buf, qsizetype(n)) != qt)
                QFAIL(qPrintable(QStringLiteral("%1 digits of %2: %3, Qt %4")
                                     .arg(precision)
                                     .arg(v, 0, 'g', 17)
                                     .arg(QLatin1String(buf, qsizetype(n)), qt)));
        }
    }
}

void tst_jsdb_writer::reusedBufferStartsEmpty()
{
    // A buffer longer than the new text, and an object reordered past the first
    // growth of a fresh buffer.
    QByteArray old(200000, 'x');
    QJsonObject big;
    for (int i = 0; i < 3000; ++i)
        big.insert(QStringLiteral("key %1").arg(i), QStringLiteral("value %1").arg(i));
    for (const QByteArray &buffer : {old, QByteArray()}) {
        jsdb_writer w(buffer);
        write_value(w, big, member_order::reversed_with_stand_ins);
        const QByteArray text = w.finish();
        QCOMPARE(text, qtText(big));
        jsdb_writer again(text);
        write_value(again, QJsonObject {{"a", "b"}}, member_order::sorted);
        QCOMPARE(again.finish(), QByteArray("{\n    \"a\": \"b\"\n}\n"));
    }
}

void tst_jsdb_writer::savedFileIsWhatQtWrites_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("new configuration") << 0;
    QTest::newRow("populated") << 1;
    QTest::newRow("large") << 2;
    QTest::newRow("missing links and uneven lists") << 3;
}

void tst_jsdb_writer::savedFileIsWhatQtWrites()
{
    QFETCH(int, kind);
    sbatch b;
    switch (kind) {
    case 0:
        b.simData_init(b.sdata);
        b.sdata->file = scratch("new.jsdb");
        break;
    case 1:
        populate(b);
        break;
    case 2:
        populateLarge(b);
        break;
    case 3: {
        populate(b);
        sim_data *sd = b.sdata;
        sd->file = scratch("uneven.jsdb");
        sd->solutes.first()->composition->stoich.removeLast();
        sd->rxnsAqueous.first()->eqk->temperature.removeLast();
        delete sd->rxnsGas.first()->eqk;
        sd->rxnsGas.first()->eqk = nullptr;
        sd->waters.first()->stattitrate = true;
        delete sd->waters.first()->redoxO2g;
        sd->waters.first()->redoxO2g = nullptr;
        sd->redoxpairs.first()->rxn = nullptr;
        sd->redoxpairs.first()->elementRec = nullptr;
        sd->redoxpairs.first()->soluteRecs.append(nullptr);
        sd->solutes.insert(1, nullptr);
        sd->waters.insert(1, nullptr);
        break;
    }
    }
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    const QByteArray file = slurp(b.sdata->file);
    QJsonParseError error;
    const QJsonDocument qt = QJsonDocument::fromJson(file, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    // Line lists name the first line that differs.
    QCOMPARE(file.split('\n'), qt.toJson(QJsonDocument::Indented).split('\n'));
    QCOMPARE(qt.object().keys(),
             QStringList({"control parameters", "elements", "gases", "header", "reactions", "redox",
                          "solutes", "waters"}));
}

void tst_jsdb_writer::sectionObjectsMatchTheFile()
{
    sbatch b;
    populate(b);
    b.sdata->file = scratch("sections.jsdb");
    jsdbfile_mgr m;
    QCOMPARE(m.jsdbfile_json_save(&b), 0);
    const QJsonObject file = QJsonDocument::fromJson(slurp(b.sdata->file)).object();
    QCOMPARE(m.json_write_ctrlparameters(&b), file["control parameters"].toObject());
    QCOMPARE(m.json_write_elements(&b), file["elements"].toObject());
    QCOMPARE(m.json_write_gases(&b), file["gases"].toObject());
    QCOMPARE(m.json_write_solutes(&b), file["solutes"].toObject());
    QCOMPARE(m.json_write_rxns(&b), file["reactions"].toObject());
    QCOMPARE(m.json_write_rxnstype(b.sdata->rxnsGas), file["reactions"]["gas"].toObject());
    QCOMPARE(m.json_write_redox(&b), file["redox"].toObject());
    QCOMPARE(m.json_write_waters(&b), file["waters"].toObject());
    QJsonObject header = m.json_write_header(&b);
    QVERIFY(!header["date"].toString().isEmpty());
    header.remove("date");
    QJsonObject fileHeader = file["header"].toObject();
    fileHeader.remove("date");
    QCOMPARE(header, fileHeader);
}

void tst_jsdb_writer::repeatedSavesWriteTheSameFile()
{
    // One manager saves a large configuration, then a small one, then the large
    // one again: its reused buffer must leave nothing of an earlier text behind.
    sbatch large;
    populateLarge(large);
    sbatch small;
    small.simData_init(small.sdata);
    small.sdata->file = large.sdata->file;

    jsdbfile_mgr fresh;
    QCOMPARE(fresh.jsdbfile_json_save(&small), 0);
    const QByteArray smallText = withoutDate(slurp(small.sdata->file));
    QCOMPARE(fresh.jsdbfile_json_save(&large), 0);
    const QByteArray largeText = withoutDate(slurp(large.sdata->file));

    jsdbfile_mgr reused;
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(reused.jsdbfile_json_save(&large), 0);
        QCOMPARE(withoutDate(slurp(large.sdata->file)), largeText);
        QCOMPARE(reused.jsdbfile_json_save(&small), 0);
        QCOMPARE(withoutDate(slurp(small.sdata->file)), smallText);
    }
}

QTEST_GUILESS_MAIN(tst_jsdb_writer)
#include "tst_jsdb_writer.moc"
