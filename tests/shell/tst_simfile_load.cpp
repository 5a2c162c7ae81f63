// Loading the thermodynamic database from the configuration-file window: the
// held image, reloads, failures that keep what was held, loading without the
// database, and the database manager opened from the window.
#include "support_shell.h"

#include "dbdata.h"
#include "dbmanager.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "simfile.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

/// Creates `name` in `dir` through New.
void newConfiguration(simfile *win, const QString &dir, const QString &name)
{
    ModalScript script;
    script.file(dir + '/' + name);
    win->findChild<QPushButton *>(QStringLiteral("pushButton_New"))->click();
    QVERIFY(waitFor([&] { return script.done(); }));
}

QPushButton *loadButton(simfile *win)
{
    return win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"));
}

/// Opens `path` again through the Open button.
void reopen(simfile *win, const QString &path)
{
    ModalScript script;
    script.file(path);
    win->findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    QVERIFY(waitFor([&] { return script.done(); }));
}

} // namespace

class tst_simfile_load : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void load_readsDatabaseAndHandsOver();
    void load_again_keepsImageUnlessReloadAsked();
    void load_versionMismatch_warnsAndLoads();
    void load_failure_keepsHeldImage_data();
    void load_failure_keepsHeldImage();
    void load_usesSelectedTypeFiles();
    void load_unsupportedType_fails();
    void continue_withoutDatabase();
    void load_again_startsFromEmptySystem();
    void databaseManager_oneWindow_updatesFields();
};

void tst_simfile_load::init()
{
    QSettings().clear();
    setDatabaseSettings(generatedDatabase());
}

void tst_simfile_load::load_readsDatabaseAndHandsOver()
{
    const QString dir = freshFolder(QStringLiteral("load"));
    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("db"));
    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);

    loadButton(win.get())->click();

    QCOMPARE(setups.count(), 1);
    dbdata *image = win->retrieve_dbdata();
    QVERIFY(image);
    QVERIFY(image->find_idxDB_element(QStringLiteral("Ca")) >= 0);
    QVERIFY(!image->sdata->rxnsAqueous.isEmpty());
    QCOMPARE(win->retrieve_sbatch()->sdata->dbref, generatedDatabase());
    QVERIFY(!loadButton(win.get())->isEnabled());
    QVERIFY(!win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"))->isEnabled());
    // The menu entry follows the button: the configuration went to the workspace.
    for (const char *entry : {"Load", "Save", "Save As"})
        QVERIFY2(!findAction(win.get(), QString::fromLatin1(entry))->isEnabled(), entry);
    QCOMPARE(QSettings().value(QStringLiteral("SPCN/dbref")).toString(), generatedDatabase());
}

void tst_simfile_load::load_again_keepsImageUnlessReloadAsked()
{
    const QString dir = freshFolder(QStringLiteral("again"));
    const QString ref = dir + "/db.db";
    QVERIFY(QFile::copy(generatedDatabase(), ref));
    setDatabaseSettings(ref);
    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("again"));
    loadButton(win.get())->click();
    dbdata *first = win->retrieve_dbdata();

    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    reopen(win.get(), dir + "/again.jsdb");
    findAction(win.get(), QStringLiteral("Load"))->trigger();
    QCOMPARE(setups.count(), 1);
    QCOMPARE(win->retrieve_dbdata(), first);

    // A database file written anew under the same name is read anew.
    QFile file(ref);
    QVERIFY(file.open(QIODevice::ReadWrite)
            && file.setFileTime(QFileInfo(ref).lastModified().addSecs(1),
                                QFileDevice::FileModificationTime));
    reopen(win.get(), dir + "/again.jsdb");
    loadButton(win.get())->click();
    QVERIFY(win->retrieve_dbdata() != first);
    first = win->retrieve_dbdata();

    // Opening the file again enables "Force DB Reload"; ticking it reads the files anew.
    reopen(win.get(), dir + "/again.jsdb");
    win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBReload"))->click();
    loadButton(win.get())->click();
    QCOMPARE(setups.count(), 3);
    QVERIFY(win->retrieve_dbdata() != first);
    QVERIFY(win->retrieve_dbdata()->find_idxDB_element(QStringLiteral("Ca")) >= 0);
}

void tst_simfile_load::load_versionMismatch_warnsAndLoads()
{
    const QString dir = freshFolder(QStringLiteral("version"));
    const QString copy = dir + "/older.db";
    QVERIFY(QFile::copy(generatedDatabase(), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "older");
        db.setDatabaseName(copy);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE INFO SET version = 'vdb.0.9'")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
    setDatabaseSettings(copy);

    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("older"));
    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    ModalScript script;
    script.box(QStringLiteral("OK"));
    loadButton(win.get())->click();
    QVERIFY(waitFor([&] { return script.done(); }));

    QCOMPARE(script.texts.value(0),
             QStringLiteral("Database version code vdb.0.9 found in INFO table\ndoes not match "
                            "current system version code vdb.1.0.1.\n"));
    QVERIFY(paneLines(win.get()).contains(
        QStringLiteral("SF: ## does not match current system version code vdb.1.0.1.")));
    // The load goes on: the workspace gets the database of the older file.
    QCOMPARE(setups.count(), 1);
    QVERIFY(win->retrieve_dbdata()->find_idxDB_element(QStringLiteral("Ca")) >= 0);
}

void tst_simfile_load::load_failure_keepsHeldImage_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("box");
    QTest::newRow("missing file") << "missing.db"
                                  << "SF: database file verification failed" << true;
    QTest::newRow("folder") << "folder.db"
                            << "SF: database file verification failed" << true;
    QTest::newRow("not SQLite") << "text.db"
                                << "SF: database could not be retrieved" << false;
}

void tst_simfile_load::load_failure_keepsHeldImage()
{
    QFETCH(QString, reference);
    QFETCH(QString, reason);
    QFETCH(bool, box);
    const QString dir = freshFolder(QStringLiteral("bad"));
    QVERIFY(QDir().mkpath(dir + "/folder.db"));
    QVERIFY(writeBytes(dir + "/text.db", "not a database\n"));

    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("bad"));
    loadButton(win.get())->click();
    dbdata *held = win->retrieve_dbdata();
    QVERIFY(held);

    // The manager now names a file that cannot be loaded.
    setDatabaseSettings(dir + '/' + reference);
    win->settings_ui_update();
    ModalScript reopen;
    reopen.file(dir + "/bad.jsdb");
    win->findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    QVERIFY(waitFor([&] { return reopen.done(); }));

    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    ModalScript script;
    if (box)
        script.box(QStringLiteral("OK"));
    loadButton(win.get())->click();
    QVERIFY(waitFor([&] { return script.done(); }));

    if (box) {
        QCOMPARE(script.titles.value(0), QStringLiteral("Simulation Configuration File"));
        QCOMPARE(script.texts.value(0),
                 QStringLiteral("Reference and User database files not set"));
    }
    const QStringList pane = paneLines(win.get());
    QVERIFY(pane.contains(QStringLiteral("SF: errors occurring while loading database:")));
    QVERIFY(pane.contains(reason));
    QCOMPARE(pane.last(), QStringLiteral("SF: ####  ERROR while loading database"));
    QCOMPARE(setups.count(), 0);
    QCOMPARE(win->retrieve_dbdata(), held);
    QVERIFY(loadButton(win.get())->isEnabled());

    // A configuration file gone since it was opened is not loaded either.
    QVERIFY(QFile::remove(dir + "/bad.jsdb"));
    loadButton(win.get())->click();
    QCOMPARE(paneLines(win.get()).last(),
             QStringLiteral("SF: ####  ERROR while loading the configuration file; open it again"));
    QCOMPARE(setups.count(), 0);
    QCOMPARE(win->retrieve_dbdata(), held);
}

void tst_simfile_load::load_usesSelectedTypeFiles()
{
    const QString dir = freshFolder(QStringLiteral("selected"));
    // The window's own settings remember a file that is gone; the manager's is current.
    QSettings settings;
    settings.setValue(QStringLiteral("SPCN/dbref"), dir + "/gone.db");
    settings.sync();

    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("selected"));
    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    loadButton(win.get())->click();

    QCOMPARE(setups.count(), 1);
    QCOMPARE(win->retrieve_sbatch()->sdata->dbref, generatedDatabase());
    QCOMPARE(win->retrieve_sbatch()->sdata->dbtype, 0);
}

void tst_simfile_load::load_unsupportedType_fails()
{
    const QString dir = freshFolder(QStringLiteral("type"));
    QSettings settings;
    settings.beginGroup(QStringLiteral("DEFAULT"));
    settings.beginWriteArray(QStringLiteral("DBTypes"), 2);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("aDBType"), QStringLiteral("first"));
    settings.setArrayIndex(1);
    settings.setValue(QStringLiteral("aDBType"), QStringLiteral("second"));
    settings.endArray();
    settings.endGroup();
    settings.beginGroup(QStringLiteral("DB"));
    settings.setValue(QStringLiteral("dbtype_index"), 1);
    settings.beginWriteArray(QStringLiteral("file_DBTypes"), 2);
    for (int i = 0; i < 2; ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("file"), generatedDatabase());
        settings.setValue(QStringLiteral("user"), dir + "/user.db");
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();

    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("type"));
    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    loadButton(win.get())->click();

    QCOMPARE(setups.count(), 0);
    QVERIFY(!win->retrieve_dbdata());
    QCOMPARE(paneLines(win.get()).last(), QStringLiteral("SF: ####  ERROR while loading database"));
}

void tst_simfile_load::continue_withoutDatabase()
{
    const QString dir = freshFolder(QStringLiteral("continue"));
    setDatabaseSettings(dir + "/missing.db");
    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("plain"));
    win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"))->click();
    QCOMPARE(loadButton(win.get())->text(), QStringLiteral("Continue"));

    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    loadButton(win.get())->click();

    QCOMPARE(setups.count(), 1);
    dbdata *image = win->retrieve_dbdata();
    QVERIFY(image);
    QCOMPARE(image->sdata->nameH, QStringLiteral("H"));
    QVERIFY(image->sdata->elements.isEmpty());
}

void tst_simfile_load::load_again_startsFromEmptySystem()
{
    const QString dir = freshFolder(QStringLiteral("empty"));
    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("empty"));
    // Stands in for the workspace, which adds the system to the batch's lists.
    connect(win.get(), &simfile::signal_simfile_setup, win.get(), [&] {
        sim_data *sd = win->retrieve_sbatch()->sdata;
        QVERIFY(sd->elements.isEmpty());
        QVERIFY(sd->rxnsAqueous.isEmpty());
        dbdata *image = win->retrieve_dbdata();
        sd->elements.append(image->sdata->elements.first());
        sd->rxnsAqueous.append(image->sdata->rxnsAqueous.first());
        sd->nelements = 1;
        sd->nrxnsAqueous = 1;
    });
    loadButton(win.get())->click();
    reopen(win.get(), dir + "/empty.jsdb");
    findAction(win.get(), QStringLiteral("Load"))->trigger();
    QCOMPARE(win->retrieve_sbatch()->sdata->elements.size(), 1);
    QCOMPARE(win->retrieve_sbatch()->sdata->nelements, 1);
}

void tst_simfile_load::databaseManager_oneWindow_updatesFields()
{
    const QString dir = freshFolder(QStringLiteral("manager"));
    auto win = openWindow();
    newConfiguration(win.get(), dir, QStringLiteral("manager"));
    QVERIFY(loadButton(win.get())->isEnabled());

    QAction *entry = findAction(win.get(), QStringLiteral("Database Manager"));
    entry->trigger();
    entry->trigger();
    const auto managers = win->findChildren<dbmanager *>();
    QCOMPARE(managers.size(), 1);
    QVERIFY(managers.first()->isVisible());

    // A saved choice in the manager shows at once and waits for the next Open or New.
    const QString other = dir + "/other.db";
    QVERIFY(QFile::copy(generatedDatabase(), other));
    setDatabaseSettings(other);
    emit managers.first()->signal_dbmgr_updated();
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_DBRef"))->text(),
             QStringLiteral("other.db"));
    QVERIFY(!loadButton(win.get())->isEnabled());
}

QTEST_MAIN(tst_simfile_load)
#include "tst_simfile_load.moc"
