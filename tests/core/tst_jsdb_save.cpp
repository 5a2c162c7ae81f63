// Saving never destroys the previous file: a save that cannot complete reports
// failure with the path and leaves the old file byte for byte as it was.

#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "support_files.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using support_files::slurp;

/// Makes a file or folder unchangeable for the life of the guard: permission bits
/// for ordinary users, and the immutable attribute where permissions do not bind
/// (the superuser). `ok` is false when neither could be applied.
class ReadOnlyGuard
{
public:
    explicit ReadOnlyGuard(const QString &path, bool folder)
        : path(path)
    {
        QFile::setPermissions(
            path, folder ? QFileDevice::ReadOwner | QFileDevice::ExeOwner : QFileDevice::ReadOwner);
        if (geteuid() != 0) {
            ok = true;
            return;
        }
        immutable = setImmutable(true);
        ok = immutable;
    }
    ~ReadOnlyGuard()
    {
        if (immutable)
            setImmutable(false);
        QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool ok = false;

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }
    QString path;
    bool immutable = false;
};

} // namespace

class tst_jsdb_save : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replacesTheFileOnSuccess();
    void unwritableTargets_data();
    void unwritableTargets();
    void readOnlyFileIsLeftIntact();
    void unwritableFolderGetsNoFile();
    void emptyDocumentTouchesNothing();

private:
    QString dir;
    sbatch batch;
};

void tst_jsdb_save::init()
{
    dir = vek7TestScratchDir() + "/save/" + QTest::currentTestFunction();
    QDir(dir).removeRecursively();
    QVERIFY(QDir().mkpath(dir));
    batch.simData_init(batch.sdata);
    batch.sdata->waters.first()->name = "after";
}

void tst_jsdb_save::replacesTheFileOnSuccess()
{
    const QString path = dir + "/a.jsdb";
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(20000, 'x')); // longer than the new text: nothing may remain
    old.close();

    batch.sdata->file = path;
    jsdbfile_mgr m;
    QCOMPARE(m.jsdbfile_json_save(&batch), 0);
    QVERIFY(m.messages().isEmpty());
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(slurp(path), &err);
    QCOMPARE(err.error, QJsonParseError::NoError);
    const QJsonObject top = doc.object();
    QVERIFY(top["waters"]["allwaters"].toObject().contains("after"));
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList({"a.jsdb"})); // no temporary left
}

void tst_jsdb_save::unwritableTargets_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("folder that does not exist") << "/missing/a.jsdb";
    QTest::newRow("parent is a file") << "/plain.txt/a.jsdb";
    QTest::newRow("target is a folder") << "/folder.jsdb";
    QTest::newRow("no path") << "";
}

void tst_jsdb_save::unwritableTargets()
{
    QFETCH(QString, relative);
    QFile plain(dir + "/plain.txt");
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(QDir().mkpath(dir + "/folder.jsdb"));

    const QString path = relative.isEmpty() ? QString() : dir + relative;
    batch.sdata->file = path;
    jsdbfile_mgr m;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^JM: #### the configuration file"));
    QVERIFY(m.jsdbfile_json_save(&batch) != 0);
    QCOMPARE(m.messages().size(), 1);
    QVERIFY(m.messages().first().contains(path));
    QVERIFY(!QFileInfo(path).isFile());
    QVERIFY(QFileInfo(dir + "/folder.jsdb").isDir());
}

void tst_jsdb_save::readOnlyFileIsLeftIntact()
{
    const QString path = dir + "/user.jsdb";
    const QByteArray before = "{ \"user's\": \"work\" }\n";
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(before);
    old.close();

    batch.sdata->file = path;
    {
        ReadOnlyGuard guard(path, false);
        if (!guard.ok)
            QSKIP("cannot make a file read-only for the superuser on this file system");
        jsdbfile_mgr m;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^JM: #### the configuration file"));
        QVERIFY(m.jsdbfile_json_save(&batch) != 0);
        QVERIFY(m.messages().first().contains(path));
    }
    QCOMPARE(slurp(path), before);
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList({"user.jsdb"}));
}

void tst_jsdb_save::unwritableFolderGetsNoFile()
{
    batch.sdata->file = dir + "/new.jsdb";
    {
        ReadOnlyGuard guard(dir, true);
        if (!guard.ok)
            QSKIP("cannot make a folder read-only for the superuser on this file system");
        jsdbfile_mgr m;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^JM: #### the configuration file"));
        QVERIFY(m.jsdbfile_json_new(&batch) != 0);
    }
    QVERIFY(QDir(dir).entryList(QDir::Files).isEmpty());
}

void tst_jsdb_save::emptyDocumentTouchesNothing()
{
    const QString path = dir + "/keep.jsdb";
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    batch.sdata->file = path;
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_write(&batch, QJsonObject()), 0);
    QCOMPARE(slurp(path), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(tst_jsdb_save)
#include "tst_jsdb_save.moc"
