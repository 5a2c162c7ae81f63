// The database manager dialog, offscreen: settings, installing the default
// files into DBSET under a scratch application folder, and failure paths.
#include "dbmanager.h"
#include "dbviewer.h"
#include "support_fixture.h"
#include "test_env.h"
#include "test_ui.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

bool execOn(const QString &path, const QString &sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tst_exec");
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase("tst_exec");
    return ok;
}

/// The rows `sql` selects from the database at `path` (opened read-only), each
/// row's values joined by '|'.
QStringList queryRows(const QString &path, const QString &sql)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tst_query");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery q(db);
        if (db.open() && q.exec(sql))
            while (q.next()) {
                QStringList values;
                for (int i = 0; i < q.record().count(); ++i)
                    values << q.value(i).toString();
                rows << values.join('|');
            }
    }
    QSqlDatabase::removeDatabase("tst_query");
    return rows;
}

QString versionOf(const QString &path)
{
    return queryRows(path, "SELECT version FROM INFO").value(0);
}

void storeTypes(int index, const QStringList &refs = {}, const QStringList &users = {})
{
    QSettings s;
    s.beginGroup("DEFAULT");
    s.beginWriteArray("DBTypes", 1);
    s.setArrayIndex(0);
    s.setValue("aDBType", "EQ36 1996: data0.cmp - data0.com.V8.R6");
    s.endArray();
    s.endGroup();
    s.beginGroup("DB");
    s.setValue("dbtype_index", index);
    if (!refs.isEmpty()) {
        s.beginWriteArray("file_DBTypes", refs.size());
        for (int i = 0; i < refs.size(); ++i) {
            s.setArrayIndex(i);
            s.setValue("file", refs[i]);
            s.setValue("user", users.value(i));
        }
        s.endArray();
    }
    s.endGroup();
}

/// Answers the next message box with Yes (or OK), keeping its text in `seen`.
void answerBox(QStringList *seen)
{
    onNextModal([seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        *seen << box->text();
        QAbstractButton *yes = box->button(QMessageBox::Yes);
        QMetaObject::invokeMethod(yes ? yes : box->button(QMessageBox::Ok), "click",
                                  Qt::QueuedConnection);
    });
}

/// Chooses `path` in the next file dialog; `confirm` answers its question to replace.
void chooseFile(const QString &path, QStringList *confirm = nullptr)
{
    onNextModal([=](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        dialog->selectFile(path);
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        if (confirm)
            answerBox(confirm);
    });
}

} // namespace

class tst_dbmanager : public QObject
{
    Q_OBJECT

private:
    QString appDir;

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Tarlow");
        QCoreApplication::setApplicationName("vek7");
        if (!QFileInfo::exists(":/thermo/db-EQ3v1996.db"))
            QSKIP("the compiled-in reference database is not linked");
    }

    void init()
    {
        QSettings().clear();
        appDir = vek7TestScratchDir() + "/app-" + QTest::currentTestFunction();
        QDir(appDir).removeRecursively();
        QVERIFY(QDir().mkpath(appDir));
        storeTypes(0);
    }

    void constructsWithEveryNamedSlotConnected()
    {
        QTest::failOnWarning(QRegularExpression("connectSlotsByName"));
        dbmanager dm;
        dm.show();
        QCOMPARE(dm.windowTitle(), QString("Database Manager"));
        QVERIFY(!dm.findChild<QWidget *>("pushButton_DBUser_New")->isEnabled());
        dbviewer viewer;
        QCOMPARE(viewer.windowTitle(), QString("Dialog"));
        QCOMPARE(viewer.size(), QSize(400, 300));
        QVERIFY(viewer.findChildren<QWidget *>().isEmpty());
    }

    void userNew_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("info");
        QTest::newRow("new file") << "new"
                                  << QStringList {"DM>> DB file located [ %1 ]",
                                                  "DM > user DB opened successfully"}
                                  << "Existing user database file opened";
        QTest::newRow("existing file")
            << "existing" << QStringList {"DM>> New DB file opened [ %1 ]"}
            << "Initialized a user database file";
    }
    void userNew()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, lines);
        QFETCH(QString, info);
        const QString path = appDir + "/u.db";
        if (kind == "existing")
            QVERIFY(execOn(path, "CREATE TABLE other (id int)"));
        storeTypes(0, {"ref.db"}, {"before.db"});
        dbmanager dm;
        const int before = dm.messageLines().size();
        // The New button waits disabled for the user database; its slot is what it would run.
        // An existing file is replaced only after the file dialog's question.
        QStringList asked;
        chooseFile(path, kind == "existing" ? &asked : nullptr);
        QMetaObject::invokeMethod(&dm, "on_pushButton_DBUser_New_clicked");

        QStringList expected;
        for (const QString &line : lines)
            expected << QString(line).replace("%1", path);
        QCOMPARE(dm.messageLines().mid(before), expected);
        QCOMPARE(asked.size(), kind == "existing" ? 1 : 0);
        QCOMPARE(dm.file_DBUser.value(0), path);
        QCOMPARE(queryRows(path, "SELECT name, comment FROM USERINFO"),
                 QStringList {"xqv|new user file"});
        QVERIFY2(dm.infoText().endsWith(info), qPrintable(dm.infoText()));
    }

    void saveUnopenableReference_keepsStored_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("reason");
        QTest::newRow("Select of a text file") << true << "The stored file";
        QTest::newRow("stored file gone") << false << "Choose another file";
    }
    void saveUnopenableReference_keepsStored()
    {
        QFETCH(bool, selected);
        QFETCH(QString, reason);
        const QString ref = appDir + "/ref.db";
        const QString text = appDir + "/text.db";
        QVERIFY(writeFixtureDb(ref));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("plain text") == 10);
        f.close();
        storeTypes(0, {ref}, {"user.db"});
        dbmanager dm;
        if (selected) {
            chooseFile(text);
            dm.findChild<QPushButton *>("pushButton_DBRef_Select")->click();
            QCOMPARE(dm.findChild<QLineEdit *>("lineEdit_DBRef")->text(), QString("text.db"));
        } else {
            QVERIFY(QFile::remove(ref));
        }

        QStringList seen;
        answerBox(&seen);
        dm.findChild<QPushButton *>("pushButton_Save")->click();
        const QString said = seen.value(0);
        QVERIFY2(said.contains("cannot be opened") && said.contains(reason), qPrintable(said));
        QVERIFY(dm.messageLines().last().startsWith("DM ## The reference database file"));
        QCOMPARE(dm.findChild<QLineEdit *>("lineEdit_DBRef")->text(), QString("ref.db"));
        QSettings s;
        QCOMPARE(s.value("DB/file_DBTypes/1/file").toString(), ref);
    }

    void nothingChosenYet()
    {
        dbmanager dm;
        dm.set_appFolder(appDir);
        QCOMPARE(dm.file_DBRef, QList<QString> {"Reference database file not set"});
        QCOMPARE(dm.findChild<QLineEdit *>("lineEdit_DBRef")->text(),
                 QString("Reference database file not set"));
        for (const QString &line : dm.messageLines())
            QVERIFY2(!line.contains("opened successfully"), qPrintable(line));
        QVERIFY(!dm.verify_databaseTypeSet());
        QVERIFY(!QFileInfo::exists(appDir + "/DBSET"));
    }

    void installDefaults()
    {
        dbmanager dm;
        dm.set_appFolder(appDir);
        QSignalSpy spy(&dm, &dbmanager::signal_dbmgr_updated);
        QVERIFY(dm.set_DBDefault_locations_extCall());
        QCOMPARE(spy.count(), 1);
        const QString ref = appDir + "/DBSET/db-EQ3v1996.db";
        const QString user = appDir + "/DBSET/db_UserLocal.db";
        QVERIFY(QFileInfo(ref).isFile());
        QCOMPARE(QFileInfo(ref).size(), QFileInfo(":/thermo/db-EQ3v1996.db").size());
        QVERIFY(QFileInfo(user).isFile());
        QSettings s;
        QCOMPARE(s.value("DB/dbtype_index").toInt(), 0);
        QCOMPARE(s.beginReadArray("DB/file_DBTypes"), 1);
        s.setArrayIndex(0);
        QCOMPARE(s.value("file").toString(), ref);
        QCOMPARE(s.value("user").toString(), user);
        s.endArray();
        QVERIFY(dbmanager().verify_databaseTypeSet());
        // Reopening shows the reference information, then the user text.
        dbmanager again;
        QVERIFY(again.infoText().contains("USER DATABASE"));
        QVERIFY(again.check_status_DB(ref));
        again.getInfo_DBRef();
        QVERIFY(again.infoText().contains("vdb.1.0.1"));
    }

    void installTwiceLeavesFileUntouched()
    {
        dbmanager dm;
        dm.set_appFolder(appDir);
        QVERIFY(dm.set_DBDefault_locations());
        const QString ref = appDir + "/DBSET/db-EQ3v1996.db";
        const QByteArray digest = fileDigest(ref);
        const QDateTime modified = QFileInfo(ref).lastModified();
        QVERIFY(dm.set_DBDefault_locations());
        QCOMPARE(fileDigest(ref), digest);
        QCOMPARE(QFileInfo(ref).lastModified(), modified);
        QVERIFY(!QFileInfo::exists(ref + ".old"));
    }

    void installReplacesOtherVersion()
    {
        dbmanager dm;
        dm.set_appFolder(appDir);
        QVERIFY(dm.set_DBDefault_locations());
        const QString ref = appDir + "/DBSET/db-EQ3v1996.db";
        QVERIFY(execOn(ref, "UPDATE INFO SET version = 'vdb.0.9'"));
        QVERIFY(dm.set_DBDefault_locations());
        QCOMPARE(versionOf(ref), QString("vdb.1.0.1"));
        QCOMPARE(versionOf(ref + ".old"), QString("vdb.0.9"));
        // A second stale file does not overwrite the first one kept.
        QVERIFY(execOn(ref, "UPDATE INFO SET version = 'vdb.0.8'"));
        QVERIFY(dm.set_DBDefault_locations());
        QCOMPARE(versionOf(ref + ".old"), QString("vdb.0.9"));
        QCOMPARE(versionOf(ref + ".old1"), QString("vdb.0.8"));
    }

    void unwritableApplicationFolder_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::newRow("application folder is a file") << "";
        QTest::newRow("DBSET is a file") << "/DBSET";
    }
    void unwritableApplicationFolder()
    {
        QFETCH(QString, blocker);
        // A plain file where a folder must be made cannot be written into,
        // whatever the user's rights.
        QString app = appDir;
        if (blocker.isEmpty())
            app = appDir + "/not-a-folder";
        QFile f(app + blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        dbmanager dm;
        dm.set_appFolder(app);
        QSignalSpy spy(&dm, &dbmanager::signal_dbmgr_updated);
        QVERIFY(!dm.set_DBDefault_locations_extCall());
        QCOMPARE(spy.count(), 1);
        QVERIFY(dm.messageLines().last().startsWith("DM ##"));
        QCOMPARE(dm.file_DBRef, QList<QString> {"Reference database file not set"});
        QVERIFY(!dbmanager().verify_databaseTypeSet());
    }

    void storedIndexOutOfRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("past the list") << 3;
        QTest::newRow("negative") << -1;
    }
    void storedIndexOutOfRange()
    {
        QFETCH(int, index);
        const QString ref = appDir + "/ref.db";
        QVERIFY(writeFixtureDb(ref));
        storeTypes(index, {ref}, {"none"});
        dbmanager dm;
        QCOMPARE(dm.idx_DBType, 0);
        bool reported = false;
        for (const QString &line : dm.messageLines())
            reported = reported || line.contains(QString("[ %1 ]").arg(index));
        QVERIFY(reported);
        // The stored index names no type: the check fails instead of reading past the list.
        QVERIFY(!dm.verify_databaseTypeSet());
        storeTypes(0, {ref}, {"none"});
        QVERIFY(dm.verify_databaseTypeSet());
    }

    void mismatchedFileListGivesPlaceholders()
    {
        storeTypes(0, {"a.db", "b.db"}, {"u.db", "v.db"});
        dbmanager dm;
        QCOMPARE(dm.file_DBRef, QList<QString> {"Reference database file not set"});
        QCOMPARE(dm.file_DBUser, QList<QString> {"User database file not set"});
    }

    void openingNeverCreatesFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("text file") << "text";
    }
    void openingNeverCreatesFiles()
    {
        QFETCH(QString, kind);
        const QString path = appDir + "/x.db";
        if (kind == "text") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("plain text");
        }
        dbmanager dm;
        QVERIFY(!dm.check_status_DB(path));
        QCOMPARE(dm.messageLines().last(), "DM > cannot open database " + path);
        QCOMPARE(QFileInfo::exists(path), kind == "text");
        if (kind == "text")
            QCOMPARE(QFileInfo(path).size(), 10);
    }

    void infoWithoutColumnShowsEmptyLine()
    {
        const QString path = appDir + "/info.db";
        QVERIFY(execOn(path, "CREATE TABLE INFO (id int, source text, version text)"));
        QVERIFY(execOn(path, "INSERT INTO INFO VALUES (1, 'src', 'vdb.1.0.1')"));
        dbmanager dm;
        QVERIFY(dm.check_status_DB(path));
        dm.getInfo_DBRef();
        const QStringList lines = dm.infoText().split('\n');
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines.at(lines.size() - 2), QString("note/comment :"));
        QVERIFY(lines.contains("src"));
    }

    void saveEmitsCloseDoesNot()
    {
        dbmanager dm;
        QSignalSpy spy(&dm, &dbmanager::signal_dbmgr_updated);
        dm.file_DBRef[0] = "/somewhere/ref.db";
        QMetaObject::invokeMethod(&dm, "on_pushButton_Close_clicked");
        QCOMPARE(spy.count(), 0);
        QSettings s;
        QCOMPARE(s.beginReadArray("DB/file_DBTypes"), 1);
        s.setArrayIndex(0);
        QCOMPARE(s.value("file").toString(), QString("/somewhere/ref.db"));
        s.endArray();
        // Save says that the file cannot be opened before it writes and announces.
        QStringList said;
        answerBox(&said);
        QMetaObject::invokeMethod(&dm, "on_pushButton_Save_clicked");
        QVERIFY(said.value(0).contains("/somewhere/ref.db"));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(tst_dbmanager)
#include "tst_dbmanager.moc"
