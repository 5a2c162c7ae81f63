// Writing a reference database straight through SQLite: every value is stored as
// Qt's driver stores a bound value, failures are reported, and a conversion is
// repeatable to the byte apart from its time stamp.
#include "dbparse_writer.h"
#include "sqlite_writer.h"
#include "support_sql.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString miniFile = QStringLiteral(VEK7_TEST_DATA_DIR "/mini.data0");

const char *const createValues = "CREATE TABLE v (k int, i int, d double, s varchar(30), t text)";

/// Writes the row (k, x, x, x, x) through Qt's driver with `x` bound in every column.
bool writeWithQt(const QString &path, int k, const QVariant &x)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "tst_dbwrite");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare("INSERT INTO v (k, i, d, s, t) VALUES (?, ?, ?, ?, ?)");
            q.addBindValue(k);
            for (int c = 0; c < 4; ++c)
                q.addBindValue(x);
            ok = q.exec();
        }
    }
    QSqlDatabase::removeDatabase("tst_dbwrite");
    return ok;
}

/// Qt's text dates, e.g. "Mon Dec  7 10:55:14 2026".
const QRegularExpression &timeStamp()
{
    static const QRegularExpression stamp(QStringLiteral(
        "(Mon|Tue|Wed|Thu|Fri|Sat|Sun) [A-Z][a-z]{2} +\\d+ \\d\\d:\\d\\d:\\d\\d \\d{4}"));
    return stamp;
}

QByteArray withoutTimeStamps(QByteArray bytes)
{
    // Time stamps blanked to the same length.
    const QString latin = QString::fromLatin1(bytes);
    QRegularExpressionMatchIterator it = timeStamp().globalMatch(latin);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        bytes.replace(m.capturedStart(), m.capturedLength(), QByteArray(m.capturedLength(), 'X'));
    }
    return bytes;
}

/// The time stamps of `bytes`, as read back.
QList<QDateTime> timeStamps(const QByteArray &bytes)
{
    QList<QDateTime> found;
    QRegularExpressionMatchIterator it = timeStamp().globalMatch(QString::fromLatin1(bytes));
    while (it.hasNext())
        found << QDateTime::fromString(it.next().captured(), Qt::TextDate);
    return found;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_dbwrite : public QObject
{
    Q_OBJECT

private slots:
    void valuesStoredAsQtBindsThem_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("int") << QVariant(42);
        QTest::newRow("negative int") << QVariant(-7);
        QTest::newRow("double") << QVariant(0.1);
        QTest::newRow("whole double") << QVariant(3.0);
        QTest::newRow("minus zero") << QVariant(-0.0);
        QTest::newRow("tiny double") << QVariant(5e-324);
        QTest::newRow("ASCII text") << QVariant(QString("Fe+++"));
        QTest::newRow("numeric text") << QVariant(QString("12"));
        QTest::newRow("empty text") << QVariant(QString(""));
        QTest::newRow("null text") << QVariant(QString());
        QTest::newRow("non-ASCII text") << QVariant(QString::fromUtf8("\xc2\xb0"
                                                                      "C \xe2\x88\x92 Ca\xc3\xa4"));
        QTest::newRow("beyond the BMP") << QVariant(QString::fromUtf8("\xf0\x9f\x98\x80 x"));
    }
    void valuesStoredAsQtBindsThem()
    {
        QFETCH(QVariant, value);
        QTemporaryDir dir;
        const QString path = dir.filePath("values.db");
        {
            sqlite_writer db(path);
            QVERIFY2(db.isOpen(), qPrintable(db.errorText()));
            QVERIFY(db.exec(createValues));
            sqlite_writer::statement q(db, "INSERT INTO v (k, i, d, s, t) VALUES (?, ?, ?, ?, ?)");
            QVERIFY2(q.isValid(), qPrintable(q.errorText()));
            bool ok = false;
            if (value.typeId() == QMetaType::Int) {
                const int x = value.toInt();
                ok = q.run({1, x, x, x, x});
            } else if (value.typeId() == QMetaType::Double) {
                const double x = value.toDouble();
                ok = q.run({1, x, x, x, x});
            } else {
                const QString x = value.toString();
                ok = q.run({1, x, x, x, x});
            }
            QVERIFY2(ok, qPrintable(q.errorText()));
        }
        QVERIFY(writeWithQt(path, 2, value));
        sql_file db(path);
        const QString each = "SELECT typeof(i), quote(i), typeof(d), quote(d), typeof(s), "
                             "quote(s), typeof(t), quote(t) FROM v WHERE k = ?";
        const QList<QVariantList> mine = db.rows(each, {1});
        const QList<QVariantList> qt = db.rows(each, {2});
        QCOMPARE(mine.size(), 1);
        QCOMPARE(qt.size(), 1);
        for (int c = 0; c < mine.first().size(); ++c)
            QCOMPARE(mine.first()[c].toString(), qt.first()[c].toString());
        // The text read back is the text written.
        if (value.typeId() == QMetaType::QString) {
            const QVariant back = db.value("SELECT t FROM v WHERE k = 1");
            QCOMPARE(back.toString(), value.toString());
        }
    }

    void failuresReported()
    {
        QTemporaryDir dir;
        {
            sqlite_writer nowhere(dir.filePath("missing/folder.db"));
            QVERIFY(!nowhere.isOpen());
            QVERIFY(!nowhere.errorText().isEmpty());
            QVERIFY(!nowhere.exec("CREATE TABLE x (a int)"));
            sqlite_writer::statement q(nowhere, "INSERT INTO x VALUES (?)");
            QVERIFY(!q.isValid());
            QVERIFY(!q.run({1}));
        }
        QVERIFY(!QFile::exists(dir.filePath("missing/folder.db")));

        sqlite_writer db(dir.filePath("fail.db"));
        QVERIFY(db.isOpen());
        QVERIFY(!db.exec("CREATE TABLE broken ("));
        QVERIFY(!db.errorText().isEmpty());
        sqlite_writer::statement none(db, "INSERT INTO absent VALUES (?)");
        QVERIFY(!none.isValid());
        QVERIFY(none.errorText().contains("no such table"));
        QVERIFY(!none.run({1}));

        QVERIFY(db.exec("CREATE TABLE u (a int UNIQUE, b text)"));
        sqlite_writer::statement q(db, "INSERT INTO u VALUES (?, ?)");
        QVERIFY(q.run({1, QString("one")}));
        QVERIFY(!q.run({1, QString("again")}));
        QVERIFY(q.errorText().contains("UNIQUE"));
        // The statement goes on after a refused row.
        QVERIFY(q.run({2, QString("two")}));
    }

    void conversionRepeatable()
    {
        // Two conversions of one source differ in their time stamps only, and
        // only in the place each stamp takes; each stamp is the time of its own
        // conversion, whether or not the two fall in the same second.
        QTemporaryDir dir;
        const QString a = dir.filePath("a.db"), b = dir.filePath("b.db");
        QStringList messages;
        const QDateTime startA = QDateTime::currentDateTime();
        QCOMPARE(dbparse_convert(miniFile, a, nullptr, &messages), 0);
        const QDateTime startB = QDateTime::currentDateTime();
        QCOMPARE(dbparse_convert(miniFile, b, nullptr, &messages), 0);
        const QDateTime end = QDateTime::currentDateTime();
        const QByteArray x = readAll(a), y = readAll(b);
        QVERIFY(!x.isEmpty());
        QCOMPARE(withoutTimeStamps(x), withoutTimeStamps(y));
        const auto within = [](const QByteArray &bytes, QDateTime from, QDateTime to) {
            from = from.addMSecs(-from.time().msec());
            const QList<QDateTime> found = timeStamps(bytes);
            bool ok = !found.isEmpty();
            for (const QDateTime &t : found)
                ok = ok && t >= from && t <= to;
            return ok;
        };
        QVERIFY(within(x, startA, startB));
        QVERIFY(within(y, startB, end));
    }
};

QTEST_GUILESS_MAIN(tst_dbwrite)
#include "tst_dbwrite.moc"
