// The configuration file's own JSON tree must agree with Qt's JSON classes: the
// same bytes written, the same values parsed, the same numbers read, so files
// stay what the format says and what other readers expect.

#include "jsdbfile_mgr.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using jsdb_codec::jnode;

namespace {

QJsonObject sampleDocument()
{
    QJsonObject inner{{"b", "x"}, {"A", "y"}, {" lead", "blank sorts first"}, {"a", "z"}};
    QJsonArray mixed{"text", true,          false,        QJsonValue(),
                     3,      QJsonObject(), QJsonArray(), QJsonArray{QJsonArray{"deep"}}};
    return QJsonObject{
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
    };
}

} // namespace

class tst_jsdb_codec : public QObject
{
    Q_OBJECT

private slots:
    void writesWhatQtWrites();
    void parsesWhatQtParses_data();
    void parsesWhatQtParses();
    void refusesWhatQtRefuses_data();
    void refusesWhatQtRefuses();
    void deepNestingIsRefusedNotFatal();
    void textToNumberMatchesQt_data();
    void textToNumberMatchesQt();
};

void tst_jsdb_codec::writesWhatQtWrites()
{
    const QJsonObject doc = sampleDocument();
    const QByteArray qt = QJsonDocument(doc).toJson(QJsonDocument::Indented);
    QCOMPARE(jnode::from_qjson(doc).to_json(), qt);

    // Built member by member in any order, the tree still sorts like QJsonObject.
    jnode built;
    built.insert("zeta", jnode("1"));
    built.insert("Zeta", jnode("2"));
    built.insert("alpha", jnode::make_strings({"b", "a"}));
    built.insert("alpha", jnode::make_strings({"c"})); // replaces
    const QJsonObject expected{{"zeta", "1"}, {"Zeta", "2"}, {"alpha", QJsonArray{"c"}}};
    QCOMPARE(built.to_json(), QJsonDocument(expected).toJson(QJsonDocument::Indented));
    QCOMPARE(built.to_qjson().toObject(), expected);
}

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
}

void tst_jsdb_codec::parsesWhatQtParses()
{
    QFETCH(QByteArray, json);
    QJsonParseError qtError;
    const QJsonDocument qt = QJsonDocument::fromJson(QString::fromUtf8(json).toUtf8(), &qtError);
    QCOMPARE(qtError.error, QJsonParseError::NoError);
    QString error;
    qsizetype offset = -1;
    const jnode ours = jnode::parse(json, &error, &offset);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(ours.to_qjson().toObject(), qt.object());
}

void tst_jsdb_codec::refusesWhatQtRefuses_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("blank") << QByteArray("  \n");
    QTest::newRow("truncated object") << QByteArray(R"({"a": "b")");
    QTest::newRow("truncated string") << QByteArray(R"({"a": "b)");
    QTest::newRow("missing colon") << QByteArray(R"({"a" "b"})");
    QTest::newRow("trailing comma") << QByteArray(R"({"a": "b",})");
    QTest::newRow("garbage after") << QByteArray(R"({"a": "b"} x)");
    QTest::newRow("short unicode escape") << QByteArray(R"({"a": "\u12"})");
    QTest::newRow("bare word") << QByteArray(R"({"a": yes})");
    QTest::newRow("sign only") << QByteArray(R"({"a": -})");
    QTest::newRow("exponent without digits") << QByteArray(R"({"a": 1e})");
    QTest::newRow("leading zero") << QByteArray(R"({"a": 01})");
    QTest::newRow("plus sign") << QByteArray(R"({"a": +1})");
    QTest::newRow("unquoted key") << QByteArray(R"({a: 1})");
    QTest::newRow("nul byte") << QByteArray("{\"a\": \0}", 8);
}

void tst_jsdb_codec::refusesWhatQtRefuses()
{
    QFETCH(QByteArray, json);
    QJsonParseError qtError;
    QJsonDocument::fromJson(json, &qtError);
    QVERIFY(qtError.error != QJsonParseError::NoError);
    QString error;
    qsizetype offset = -1;
    const jnode ours = jnode::parse(json, &error, &offset);
    QVERIFY(!error.isEmpty());
    QVERIFY(offset >= 0 && offset <= json.size());
    QCOMPARE(ours.type(), jnode::null_value);
}

void tst_jsdb_codec::deepNestingIsRefusedNotFatal()
{
    const int depth = 200000;
    const QByteArray json = QByteArray(depth, '[') + QByteArray(depth, ']');
    QString error;
    qsizetype offset = 0;
    jnode::parse(json, &error, &offset);
    QVERIFY(!error.isEmpty());
    const QByteArray objects = "{" + QByteArray("\"a\":{").repeated(depth) + "}";
    error.clear();
    jnode::parse(objects, &error, &offset);
    QVERIFY(!error.isEmpty());
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

QTEST_GUILESS_MAIN(tst_jsdb_codec)
#include "tst_jsdb_codec.moc"
