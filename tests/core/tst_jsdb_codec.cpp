// The configuration file's own JSON tree must agree with Qt's JSON classes: the
// same bytes written, the same values parsed, the same numbers read, so files
// stay what the format says and what other readers expect.

#include "jsdbfile_mgr.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

using jsdb_codec::jdocument;
using jsdb_codec::jvalue;

namespace {

QJsonObject sampleDocument()
{
    QJsonObject inner {{"b", "x"}, {"A", "y"}, {" lead", "blank sorts first"}, {"a", "z"}};
    QJsonArray mixed {"text", true,          false,        QJsonValue(),
                      3,      QJsonObject(), QJsonArray(), QJsonArray {QJsonArray {"deep"}}};
    return QJsonObject {
        {"escapes", QString::fromUtf8("quote\" back\\ slash/ \b\f\n\r\t ctrl\x01\x1f del\x7f")},
        {"unicode", QString::fromUtf8("µ Å 中文 \xf0\x9f\x98\x80 end")},
        {"lone surrogate", QString(QChar(0xd800)) + "x" + QChar(0xdc00)},
        {"empty text", ""},
        {"compTag", 20250901},
        {"negative", -42},
        {"inner", inner},
        {"mixed", mixed},
        {"empty object", QJsonObject()},
        {"empty array", QJsonArray()},
        {"Upper", "before lower"},
        {QString::fromUtf8("cl\u00e9 \"quoted\"\tkey"), "key escaped and encoded"},
        {QString(300, QLatin1Char('k')), "key longer than a line buffer"},
    };
}

// The same value with every object built by insertion. Qt's parser orders keys
// beyond the basic plane by code point; QJsonObject and QString order UTF-16 code
// units, and so do configuration files and their reader.
QJsonValue inKeyOrder(const QJsonValue &v)
{
    if (v.isArray()) {
        QJsonArray a;
        for (const QJsonValue &e : v.toArray())
            a.append(inKeyOrder(e));
        return a;
    }
    if (v.isObject()) {
        const QJsonObject parsed = v.toObject();
        QJsonObject o;
        for (auto it = parsed.constBegin(); it != parsed.constEnd(); ++it)
            o.insert(it.key(), inKeyOrder(it.value()));
        return o;
    }
    return v;
}

// Where `ours` differs from `qt`, walking both in their own order (an empty text
// when they agree): types, every scalar accessor, member keys in key order and
// array elements.
QString difference(const jvalue &ours, const QJsonValue &qt, const QString &path = "top")
{
    static const QJsonValue::Type types[]
        = {QJsonValue::Null,   QJsonValue::Bool,  QJsonValue::Double,
           QJsonValue::String, QJsonValue::Array, QJsonValue::Object};
    if (types[ours.type()] != qt.type())
        return path + ": type " + QString::number(ours.type());
    if (ours.to_string() != qt.toString() || ours.to_bool() != qt.toBool()
        || ours.to_int() != qt.toInt()
        || !(ours.to_double() == qt.toDouble()
             || (std::isnan(ours.to_double()) && std::isnan(qt.toDouble()))))
        return path + ": scalar value";
    if (qt.isArray()) {
        const QJsonArray a = qt.toArray();
        if (ours.elements().size() != a.size())
            return path + ": element count";
        qsizetype i = 0;
        for (const jvalue e : ours.elements()) {
            const QString d = difference(e, a.at(i), path + "[" + QString::number(i) + "]");
            if (!d.isEmpty())
                return d;
            ++i;
        }
    } else if (!ours.elements().empty()) {
        return path + ": elements of a non-array";
    }
    if (qt.isObject()) {
        const QJsonObject o = qt.toObject();
        if (ours.member_count() != o.size() || ours.members().size() != o.size())
            return path + ": member count";
        qsizetype i = 0;
        for (const jvalue m : ours.members()) {
            const QString key = (o.constBegin() + i).key();
            if (m.key() != key)
                return path + ": key " + m.key() + " where Qt has " + key;
            const QString d = difference(m, o.value(key), path + "." + key);
            if (!d.isEmpty())
                return d;
            if (!difference(ours.member(i), o.value(key), path).isEmpty())
                return path + ": member " + key + " by position";
            // Look-ups take Latin-1 keys.
            const QByteArray latin1 = key.toLatin1();
            if (QString::fromLatin1(latin1) == key
                && !difference(ours.value(latin1.toStdString()), o.value(key), path).isEmpty())
                return path + ": member " + key + " by key";
            ++i;
        }
    } else if (ours.member_count() != 0 || !ours.members().empty() || !ours.empty_object()
               || ours.value("a").type() != jvalue::null_value || ours.contains("a")) {
        return path + ": members of a non-object";
    }
    return QString();
}

} // namespace

class tst_jsdb_codec : public QObject
{
    Q_OBJECT

private slots:
    void parsesWhatQtParses_data();
    void parsesWhatQtParses();
    void refusesWhatQtRefuses_data();
    void refusesWhatQtRefuses();
    void everyTruncationIsRefused();
    void deepNestingIsRefusedNotFatal();
    void memberLookUpLikeQt_data();
    void memberLookUpLikeQt();
    void textToNumberMatchesQt_data();
    void textToNumberMatchesQt();
    void shortTextsLikeLongTexts_data();
    void shortTextsLikeLongTexts();
    void numberToTextMatchesQt_data();
    void numberToTextMatchesQt();
};

void tst_jsdb_codec::parsesWhatQtParses_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("sample") << QJsonDocument(sampleDocument()).toJson();
    QTest::newRow("compact sample")
        << QJsonDocument(sampleDocument()).toJson(QJsonDocument::Compact);
    QTest::newRow("escapes and surrogate pairs")
        << QByteArray(R"({"s": "\u00e9\u4e2d\ud83d\ude00 \/ \" \\", "t": "\u0041"})");
    QTest::newRow("numbers") << QByteArray(
        R"({"a": 0, "b": -0.5, "c": 1e-300, "d": 2.5E+3, "e": 12345678901234567890, "f": -7})");
    QTest::newRow("repeated keys, last wins") << QByteArray(R"({"k": "1", "j": 0, "k": "2"})");
    QTest::newRow("unsorted keys and blanks")
        << QByteArray(" \r\n\t{ \"b\" : [ 1 , 2 ] , \"a\":{}}\n");
    QTest::newRow("lenient like Qt: escapes, control characters, numbers")
        << QByteArray("{\"e\": \"x\\qy\", \"c\": \"x\ny\tz\x01\", \"n\": [1., .5, 1.e5]}");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf{\"a\": \"b\"}");
    QTest::newRow("text that is not UTF-8") << QByteArray("{\"a\": \"x\xff\xfey\"}");
    QTest::newRow("empty containers, nested")
        << QByteArray(R"({"": {}, "a": [], "b": [[], {}, [{}]], "c": {"d": {}}})");
    // UTF-8 orders U+FFFF after U+1F600; UTF-16 (and Qt) before.
    QTest::newRow("keys beyond the basic plane, raw and escaped")
        << QByteArray("{\"\xef\xbf\xbf\": 1, \"\xf0\x9f\x98\x80\": 2, \"\\ud83d\\ude01\": 3, "
                      "\"\\uffff\\u0000\": 4}");
    QTest::newRow("the same key escaped and plain, last wins")
        << QByteArray(R"({"b": 1, "a": 2, "\u0061": 3, "c": 4, "a": 5, "\u0062": 6})");
    QTest::newRow("duplicates in a sorted run")
        << QByteArray(R"({"a": 1, "b": 2, "b": 3, "c": 4})");
    QTest::newRow("scalars at the top") << QByteArray("[\"x\", 1, true, null]");
}

void tst_jsdb_codec::parsesWhatQtParses()
{
    QFETCH(QByteArray, json);
    QJsonParseError qtError;
    const QJsonDocument qt = QJsonDocument::fromJson(QString::fromUtf8(json).toUtf8(), &qtError);
    QCOMPARE(qtError.error, QJsonParseError::NoError);
    jdocument ours;
    QString error;
    qsizetype offset = -1;
    QVERIFY(ours.parse(json, &error, &offset));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(offset, qsizetype(-1));
    const QJsonValue top = inKeyOrder(qt.isArray() ? QJsonValue(qt.array()) : qt.object());
    const QString d = difference(ours.root(), top);
    QVERIFY2(d.isEmpty(), qPrintable(d));
}

void tst_jsdb_codec::refusesWhatQtRefuses_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qsizetype>("offset"); // where the message says the text went wrong
    QTest::newRow("empty") << QByteArray("") << qsizetype(0);
    QTest::newRow("blank") << QByteArray("  \n") << qsizetype(3);
    QTest::newRow("truncated object") << QByteArray(R"({"a": "b")") << qsizetype(9);
    QTest::newRow("truncated string") << QByteArray(R"({"a": "b)") << qsizetype(8);
    QTest::newRow("truncated escape") << QByteArray(R"({"a": "b\)") << qsizetype(9);
    QTest::newRow("truncated key with escape") << QByteArray(R"({"a\"b)") << qsizetype(6);
    QTest::newRow("missing colon") << QByteArray(R"({"a" "b"})") << qsizetype(5);
    QTest::newRow("trailing comma") << QByteArray(R"({"a": "b",})") << qsizetype(10);
    QTest::newRow("trailing comma in array") << QByteArray(R"({"a": [1,]})") << qsizetype(9);
    QTest::newRow("garbage after") << QByteArray(R"({"a": "b"} x)") << qsizetype(11);
    QTest::newRow("short unicode escape") << QByteArray(R"({"a": "\u12"})") << qsizetype(9);
    QTest::newRow("unicode escape at the end") << QByteArray(R"({"a": "\u12)") << qsizetype(9);
    QTest::newRow("bare word") << QByteArray(R"({"a": yes})") << qsizetype(6);
    QTest::newRow("sign only") << QByteArray(R"({"a": -})") << qsizetype(7);
    QTest::newRow("exponent without digits") << QByteArray(R"({"a": 1e})") << qsizetype(8);
    QTest::newRow("leading zero") << QByteArray(R"({"a": 01})") << qsizetype(7);
    QTest::newRow("plus sign") << QByteArray(R"({"a": +1})") << qsizetype(6);
    QTest::newRow("unquoted key") << QByteArray(R"({a: 1})") << qsizetype(1);
    QTest::newRow("nul byte") << QByteArray("{\"a\": \0}", 8) << qsizetype(6);
    QTest::newRow("unclosed array") << QByteArray(R"([1, 2)") << qsizetype(5);
}

void tst_jsdb_codec::refusesWhatQtRefuses()
{
    QFETCH(QByteArray, json);
    QFETCH(qsizetype, offset);
    QJsonParseError qtError;
    QJsonDocument::fromJson(json, &qtError);
    QVERIFY(qtError.error != QJsonParseError::NoError);
    // A copy without spare bytes after the end, so reading past it is caught.
    const QByteArray exact(json.constData(), json.size());
    jdocument ours;
    QString error;
    qsizetype at = -1;
    QVERIFY(!ours.parse(exact, &error, &at));
    QVERIFY(!error.isEmpty());
    QCOMPARE(at, offset);
    QCOMPARE(ours.root().type(), jvalue::null_value);
}

// Files cut short by a full disk or a crash: every prefix is refused, never read
// past its end.
void tst_jsdb_codec::everyTruncationIsRefused()
{
    const QByteArray whole = QJsonDocument(sampleDocument()).toJson().trimmed();
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const QByteArray part(whole.constData(), n);
        jdocument ours;
        QString error;
        qsizetype at = -1;
        QVERIFY2(!ours.parse(part, &error, &at), qPrintable(QString::number(n)));
        QVERIFY(at >= 0 && at <= n);
    }
}

void tst_jsdb_codec::deepNestingIsRefusedNotFatal()
{
    const int depth = 200000;
    const QByteArray json = QByteArray(depth, '[') + QByteArray(depth, ']');
    jdocument ours;
    QString error;
    qsizetype offset = 0;
    QVERIFY(!ours.parse(json, &error, &offset));
    QCOMPARE(offset, qsizetype(256));
    const QByteArray objects = "{" + QByteArray("\"a\":{").repeated(depth) + "}";
    QVERIFY(!ours.parse(objects, &error, &offset));
    QVERIFY(!error.isEmpty());

    // 256 levels are read; one more is refused.
    const QByteArray deepest = QByteArray(256, '[') + QByteArray(256, ']');
    QVERIFY(ours.parse(deepest));
    jvalue v = ours.root();
    for (int i = 1; i < 256; ++i)
        v = *v.elements().begin();
    QCOMPARE(v.type(), jvalue::array);
    QVERIFY(v.elements().empty());
    QVERIFY(!ours.parse("[" + deepest + "]"));
}

// What the readers rely on: the last of equal keys, members in key order also
// when written unsorted, and null values for what is not there.
void tst_jsdb_codec::memberLookUpLikeQt_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("keys"); // in Qt's order
    QTest::addColumn<QString>("values"); // to_string of each member, joined
    QTest::newRow("sorted") << QByteArray(R"({"A": "1", "a": "2", "b": "3"})")
                            << QStringList {"A", "a", "b"} << "123";
    QTest::newRow("unsorted") << QByteArray(R"({"b": "3", "a": "2", "A": "1"})")
                              << QStringList {"A", "a", "b"} << "123";
    QTest::newRow("duplicates, last wins")
        << QByteArray(R"({"x": "1", "y": "2", "x": "3", "y": "4", "x": "5"})")
        << QStringList {"x", "y"} << "54";
    QTest::newRow("prefix keys") << QByteArray(R"({"ab": "2", "a": "1", "abc": "3", "": "0"})")
                                 << QStringList {"", "a", "ab", "abc"} << "0123";
    QTest::newRow("empty") << QByteArray("{}") << QStringList {} << "";
}

void tst_jsdb_codec::memberLookUpLikeQt()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, keys);
    QFETCH(QString, values);
    jdocument doc;
    QVERIFY(doc.parse(json));
    const jvalue top = doc.root();
    QStringList seen;
    QString texts;
    for (const jvalue m : top.members()) {
        seen << m.key();
        texts += m.to_string();
    }
    QCOMPARE(seen, keys);
    QCOMPARE(texts, values);
    QCOMPARE(top.member_count(), keys.size());
    QCOMPARE(top.empty_object(), keys.isEmpty());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const std::string key = keys.at(i).toStdString();
        QCOMPARE(top.value(key).to_string(), QString(values.at(i)));
        QVERIFY(top.contains(key));
        QCOMPARE(top.member(i).key(), keys.at(i));
    }
    QVERIFY(!top.contains("z"));
    QCOMPARE(top.value("z").type(), jvalue::null_value);
    QCOMPARE(top.member(keys.size()).type(), jvalue::null_value);
    QCOMPARE(top.member(-1).type(), jvalue::null_value);
    QVERIFY(top.elements().empty());
    QCOMPARE(top.key(), QString());

    // Values that are not objects or arrays, and values that are not there, have
    // no members and no elements; chains of look-ups stay null.
    QVERIFY(doc.parse(R"({"s": "x", "n": 1, "t": true, "z": null, "l": ["a"]})"));
    for (const char *key : {"s", "n", "t", "z", "l", "missing"}) {
        const jvalue v = doc.root().value(key);
        QVERIFY(v.value("s").is_null());
        QVERIFY(!v.contains("a"));
        QVERIFY(v.empty_object());
        QCOMPARE(v.member_count(), 0);
        QVERIFY(v.members().empty());
        QVERIFY(v.member(0).is_null());
        QVERIFY(v.value("x").value("y").elements().empty());
        if (qstrcmp(key, "l") != 0)
            QVERIFY(v.elements().empty());
    }
    QVERIFY(doc.root().contains("z")); // a member whose value is null is still there

    // Array elements have no key, also right after a member of an inner object.
    QVERIFY(doc.parse(R"({"l": ["x", {"k": "v"}, "y"]})"));
    QStringList elementKeys;
    for (const jvalue e : doc.root().value("l").elements())
        elementKeys << e.key();
    QCOMPARE(elementKeys, QStringList({"", "", ""}));
    QCOMPARE(doc.root().value("l").key(), QString("l"));
    QCOMPARE(jvalue().to_string(), QString());
    QCOMPARE(jvalue().text_to_double(), 0.0);
}

void tst_jsdb_codec::textToNumberMatchesQt_data()
{
    QTest::addColumn<QString>("text");
    for (const char *t : {"0",
                          "-0",
                          "31",
                          "-4",
                          "2147483647",
                          "2147483648",
                          "-2147483649",
                          "007",
                          "12.5",
                          "1e-06",
                          "1E5",
                          ".5",
                          "5.",
                          "-.5",
                          "+3",
                          " 7",
                          "7 ",
                          "1e400",
                          "-1e400",
                          "1e-400",
                          "nan",
                          "inf",
                          "abc",
                          "",
                          "1,5",
                          "0x10",
                          "1e",
                          "--1",
                          "4294967296",
                          "9223372036854775807",
                          "9223372036854775808",
                          "22.98977",
                          "1.7976931348623157e308"})
        QTest::newRow(*t ? t : "(empty)") << QString::fromLatin1(t);
}

void tst_jsdb_codec::textToNumberMatchesQt()
{
    QFETCH(QString, text);
    QCOMPARE(jsdb_codec::to_int(text), text.toInt());
    QCOMPARE(jsdb_codec::to_int64(text), text.toLongLong());
    const double ours = jsdb_codec::to_double(text);
    const double qt = text.toDouble();
    QVERIFY2((std::isnan(ours) && std::isnan(qt)) || ours == qt,
             qPrintable(QString("%1 vs Qt %2").arg(ours).arg(qt)));
}

// Plain texts are converted straight from the file's bytes; texts with escapes or
// non-ASCII characters are decoded first. Both must read and convert alike.
void tst_jsdb_codec::shortTextsLikeLongTexts_data()
{
    QTest::addColumn<QByteArray>("text"); // as it stands between the quotes
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("number") << QByteArray("1.23457e-06");
    QTest::newRow("24 bytes") << QByteArray("-1.2345678901234567e-308");
    QTest::newRow("25 bytes") << QByteArray("-1.23456789012345678e-308");
    QTest::newRow("blank and plus") << QByteArray(" +7");
    QTest::newRow("words") << QByteArray("nan");
    QTest::newRow("control characters") << QByteArray("1	2");
    QTest::newRow("escape") << QByteArray("1\\n2");
    QTest::newRow("not ASCII") << QByteArray("5\xc2\xb5");
    QTest::newRow("integer beyond 32 bits") << QByteArray("4294967296");
}

void tst_jsdb_codec::shortTextsLikeLongTexts()
{
    QFETCH(QByteArray, text);
    const QByteArray json = "{\"v\": \"" + text + "\"}";
    jdocument ours;
    QString error;
    QVERIFY(ours.parse(json, &error, nullptr));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QJsonObject qt = QJsonDocument::fromJson(json).object();
    const QString expected = qt.value("v").toString();

    const jvalue v = ours.root().value("v");
    QCOMPARE(v.to_string(), expected);
    QCOMPARE(v.text_to_int(), jsdb_codec::to_int(expected));
    QCOMPARE(v.text_to_int64(), jsdb_codec::to_int64(expected));
    const double d = v.text_to_double();
    QVERIFY(d == jsdb_codec::to_double(expected)
            || (std::isnan(d) && std::isnan(expected.toDouble())));
    // The key beside it reads alike whatever the value holds.
    QCOMPARE(v.key(), QString("v"));
}

void tst_jsdb_codec::numberToTextMatchesQt_data()
{
    QTest::addColumn<QList<double>>("values");
    const double denormMin = std::numeric_limits<double>::denorm_min();
    QTest::newRow("zeros and integers") << QList<double> {0.0,
                                                          -0.0,
                                                          1,
                                                          -1,
                                                          7,
                                                          10,
                                                          100,
                                                          99999,
                                                          100000,
                                                          999999,
                                                          1000000,
                                                          1234567,
                                                          -2147483648.0,
                                                          4294967296.0,
                                                          9007199254740993.0,
                                                          1e15,
                                                          1e16,
                                                          1e17,
                                                          1e21};
    QTest::newRow("rounding at the last digit") << QList<double> {
        0.1,       0.123456789,  1.2345649999,   1.2345650001,       1.234565, 2.5e-5,
        9.9999949, 9.9999951,    0.000099999951, 999999.5,           9999995,  0.5,
        1e-4,      0.0001234565, 1.0000005,      12.345678901234567, 22.98977, 1.0 / 3.0,
        2.0 / 3.0, -8.41e-10};
    // Exactly halfway between two texts: Qt rounds away from zero.
    QTest::newRow("exact halves") << QList<double> {100000.5,
                                                    -100000.5,
                                                    1234565,
                                                    9999995,
                                                    999999.5,
                                                    0.0009999995,
                                                    99999.95,
                                                    603948255255838.125,
                                                    -603948255255838.125,
                                                    0.1000005,
                                                    4503599627370497.5,
                                                    9999999999999999.5,
                                                    1.25e-6};
    QTest::newRow("exponent bounds") << QList<double> {
        DBL_MAX,  -DBL_MAX, DBL_MIN, denormMin, -denormMin, 4.9e-324, 2.2e-308, 1e-310,
        1.5e-323, 1e300,    1e-300,  1e100,     1e-100,     1e99,     1e-99,    123456e300};
    QList<double> random;
    QRandomGenerator gen(20261207);
    for (int i = 0; i < 20000; ++i) {
        // Any bit pattern: every exponent, denormals included.
        const quint64 bits = gen.generate64();
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v))
            random << v;
        // Values of the size a speciation result holds.
        random << std::ldexp(gen.generateDouble() - 0.5, int(gen.bounded(-90, 40)));
    }
    QTest::newRow("random") << random;
}

void tst_jsdb_codec::numberToTextMatchesQt()
{
    QFETCH(QList<double>, values);
    for (const double v : std::as_const(values)) {
        for (const int precision : {jsdb_codec::digits, jsdb_codec::digitsCoeff}) {
            char buf[32];
            const size_t n = jsdb_codec::format_g(v, precision, buf);
            const QString ours = QString::fromLatin1(buf, qsizetype(n));
            const QString qt = QString::number(v, 'g', precision);
            if (ours != qt)
                QFAIL(qPrintable(QString("%1 digits of %2: %3, Qt %4")
                                     .arg(precision)
                                     .arg(v, 0, 'g', 17)
                                     .arg(ours, qt)));
        }
    }
    // Left to Qt: infinities, NaN and more digits than a double holds.
    char buf[32];
    QCOMPARE(jsdb_codec::format_g(0.1, 20, buf), size_t(0));
    for (const double v :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        QCOMPARE(jsdb_codec::format_g(v, jsdb_codec::digits, buf), size_t(0));
    }
    for (const qint64 i :
         {qint64(0), qint64(-1), qint64(42), qint64(INT_MIN), qint64(INT_MAX),
          std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()}) {
        char digits[24];
        QCOMPARE(QLatin1String(digits, qsizetype(jsdb_codec::format_int(i, digits))),
                 QString::number(i));
    }
}

QTEST_GUILESS_MAIN(tst_jsdb_codec)
#include "tst_jsdb_codec.moc"
