// Replays the fuzzers' inputs through the same calls the fuzz targets make: the
// seed files must still be accepted (otherwise fuzzing starts from nothing useful),
// and every input that once crashed or broke a promise must now pass.

#include "../../fuzz/fuzz_entries.h"
#include "support_files.h"
#include "test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

namespace {

using support_files::slurp;

const QString fuzzDir = QStringLiteral(VEK7_SOURCE_DIR "/fuzz");

int replay(const QString &kind, const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const size_t size = size_t(bytes.size());
    if (kind == QLatin1String("jsdb"))
        return fuzz_entries::jsdb_one(data, size, vek7TestScratchDir() + "/fuzz-input.jsdb");
    return fuzz_entries::data0_one(data, size, vek7TestScratchDir() + "/fuzz-reference.db");
}

// One row per file of fuzz/<folder>/<kind>/; a row with an empty path when there is none.
void addRows(const QString &folder)
{
    int rows = 0;
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    for (const QString &kind : {QStringLiteral("jsdb"), QStringLiteral("data0")}) {
        const QDir dir(fuzzDir + "/" + folder + "/" + kind);
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        for (const QString &file : files)
            QTest::newRow(qPrintable(kind + "/" + QString::number(++rows) + " " + file))
                << kind << dir.filePath(file);
    }
    if (rows == 0)
        QTest::newRow("none") << QString() << QString();
}

} // namespace

class tst_fuzz_inputs : public QObject
{
    Q_OBJECT

private slots:
    void seeds_data();
    void seeds();
    void regressions_data();
    void regressions();
};

void tst_fuzz_inputs::seeds_data()
{
    addRows(QStringLiteral("corpus"));
}

// Seeds named "truncated*" stand for damaged files and must be refused; the
// others are whole files and must be read.
void tst_fuzz_inputs::seeds()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QVERIFY2(!path.isEmpty(), "the seed corpus is missing");
    const QByteArray bytes = slurp(path);
    QVERIFY(!bytes.isEmpty());
    const int rc = replay(kind, bytes);
    if (QFileInfo(path).fileName().startsWith(QLatin1String("truncated")))
        QVERIFY(rc != 0);
    else if (kind == QLatin1String("data0"))
        QCOMPARE(rc, 0);
    else
        QVERIFY2(rc == 0 || rc == 1, qPrintable(QString::number(rc)));
}

void tst_fuzz_inputs::regressions_data()
{
    addRows(QStringLiteral("regressions"));
}

// An input passes when it runs through without a crash, a sanitizer report or a
// broken promise (each of which ends this process).
void tst_fuzz_inputs::regressions()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP("no regression inputs kept");
    replay(kind, slurp(path));
}

QTEST_GUILESS_MAIN(tst_fuzz_inputs)
#include "tst_fuzz_inputs.moc"
