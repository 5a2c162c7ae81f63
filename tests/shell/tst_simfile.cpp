// The configuration-file window on its own: Open, New, Save, Save As, the
// recent-files list, the backup copy, and the guards around them.
#include "support_shell.h"

#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "simfile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

/// Runs New on `win`; `script` answers its file dialog (and what follows).
void newFile(simfile *win, ModalScript &script)
{
    win->findChild<QPushButton *>(QStringLiteral("pushButton_New"))->click();
    QVERIFY(waitFor([&] { return script.done(); }));
}

/// Opens `path` through the Open button.
void openFile(simfile *win, const QString &path)
{
    ModalScript script;
    script.file(path);
    win->findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    QVERIFY(script.done());
}

QStringList recentFiles()
{
    return QSettings().value(QStringLiteral("Files/recentFiles")).toStringList();
}

QString prevDir()
{
    return QSettings().value(QStringLiteral("jsdbPath/prevDir")).toString();
}

/// A configuration file written by the program itself, with redox switched on.
QString writeConfiguration(const QString &path, bool redox = false)
{
    sbatch batch;
    batch.simData_init(batch.sdata);
    batch.sdata->ctrlset->redox = redox;
    batch.sdata->file = path;
    jsdbfile_mgr writer;
    writer.jsdbfile_json_new(&batch);
    return path;
}

} // namespace

class tst_simfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void construction_connectsEverySlot();
    void newFile_namesAndFiles_data();
    void newFile_namesAndFiles();
    void newFile_existingAppendedName_asksFirst_data();
    void newFile_existingAppendedName_asksFirst();
    void newFile_failedWrite_keepsWhatWasOpen();
    void open_setsControlsAndKeepsBackup();
    void open_failure_keepsWhatWasOpen_data();
    void open_failure_keepsWhatWasOpen();
    void open_missingSections_opensAndNamesThem();
    void menuEntries_withoutConfiguration_doNothing();
    void recentFiles_orderAndLimit();
    void recentFiles_deletedFile_keepsConfiguration_data();
    void recentFiles_deletedFile_keepsConfiguration();
    void saveAs_failure_restoresName();
    void checkBoxes_followControlSet();
    void settingsIndexOutOfRange_usesFirstType();
    void updateSimfile_reportsTypeMismatch();
};

void tst_simfile::init()
{
    QSettings().clear();
    setDatabaseSettings(generatedDatabase());
}

void tst_simfile::construction_connectsEverySlot()
{
    SlotWarningGuard guard;
    auto win = openWindow();
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));

    QVERIFY(paneLines(win.get()).contains(QStringLiteral("----- Starting Speciation")));
    QVERIFY(!win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"))->isEnabled());
    QVERIFY(!win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"))->isEnabled());
    QVERIFY(!findAction(win.get(), QStringLiteral("Load"))->isEnabled());
    QVERIFY(!findAction(win.get(), QStringLiteral("Save"))->isEnabled());
    QVERIFY(!findAction(win.get(), QStringLiteral("Save As"))->isEnabled());
    QVERIFY(findAction(win.get(), QStringLiteral("Open"))->isEnabled());
    QVERIFY(!findAction(win.get(), QStringLiteral("Database Parser"))->isEnabled());
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_DBRef"))->text(),
             QFileInfo(generatedDatabase()).fileName());
}

void tst_simfile::newFile_namesAndFiles_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "test1"
                                  << "test1.jsdb";
    QTest::newRow("extension") << "test2.jsdb"
                               << "test2.jsdb";
    QTest::newRow("extension in capitals") << "test3.JSDB"
                                           << "test3.JSDB.jsdb";
}

void tst_simfile::newFile_namesAndFiles()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    const QString dir = freshFolder(QStringLiteral("new"));
    auto win = openWindow();
    QSignalSpy saves(win.get(), &simfile::signal_simfile_save);

    ModalScript script;
    script.file(dir + '/' + typed);
    newFile(win.get(), script);
    QVERIFY(script.done());

    const QString path = dir + '/' + written;
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(fileBytes(path + "-bk"), fileBytes(path));
    QVERIFY(paneLines(win.get()).contains("SF >> New simulation configuration file [ " + path
                                          + " ] created."));
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_configFile"))->text(), written);
    QCOMPARE(recentFiles().value(0), path);
    QCOMPARE(prevDir(), QFileInfo(path).absolutePath());
    QVERIFY(findAction(win.get(), QStringLiteral("Save"))->isEnabled());
    QVERIFY(findAction(win.get(), QStringLiteral("Load"))->isEnabled());
    QCOMPARE(win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"))->text(),
             QStringLiteral("Load Database"));
    QCOMPARE(win->retrieve_sbatch()->sdata->file, path);
    QCOMPARE(saves.count(), 0);

    // Reading the new file back gives the default configuration.
    jsdbfile_mgr reader;
    QCOMPARE(reader.jsdbfile_json_read(path), 0);
    QCOMPARE(reader.sdata->waters.value(0)->name, QStringLiteral("water-default"));
}

void tst_simfile::newFile_existingAppendedName_asksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("No keeps the file") << "No" << false;
    QTest::newRow("Yes replaces it") << "Yes" << true;
}

void tst_simfile::newFile_existingAppendedName_asksFirst()
{
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    const QString dir = freshFolder(QStringLiteral("ask"));
    const QString path = dir + "/kept.jsdb";
    const QByteArray before("{ \"not\": \"a configuration of this run\" }\n");
    QVERIFY(writeBytes(path, before));

    auto win = openWindow();
    ModalScript script;
    script.file(dir + "/kept").box(answer);
    // New runs its dialog and boxes within the press: once it returns, it is done.
    newFile(win.get(), script);
    QVERIFY(script.done());

    QCOMPARE(script.texts.value(0), "[ " + path + " ] already exists.\nReplace it?");
    QCOMPARE(fileBytes(path) == before, !replaced);
    QCOMPARE(QFileInfo::exists(path + "-bk"), replaced);
    QCOMPARE(paneLines(win.get()).join('\n').contains("created."), replaced);
}

void tst_simfile::newFile_failedWrite_keepsWhatWasOpen()
{
    const QString dir = freshFolder(QStringLiteral("blocked"));
    auto win = openWindow();
    ModalScript first;
    first.file(dir + "/first");
    newFile(win.get(), first);
    QVERIFY(first.done());
    sbatch *batch = win->retrieve_sbatch();
    jsdbfile_mgr *reader = win->retrieve_jsdb();
    const QByteArray firstBytes = fileBytes(dir + "/first.jsdb");

    // A folder stands where the new file should go.
    QVERIFY(QDir().mkpath(dir + "/second.jsdb"));
    ModalScript script;
    script.file(dir + "/second").box("Yes").box("OK");
    // New runs its dialog and boxes within the press: once it returns, it is done.
    newFile(win.get(), script);
    QVERIFY(script.done());

    QCOMPARE(script.texts.size(), 2);
    QVERIFY(script.texts.at(1).contains(dir + "/second.jsdb"));
    QVERIFY(!paneLines(win.get()).join('\n').contains("second.jsdb ] created."));
    QCOMPARE(win->retrieve_sbatch(), batch);
    QCOMPARE(win->retrieve_jsdb(), reader);
    QCOMPARE(batch->sdata->file, dir + "/first.jsdb");
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_configFile"))->text(),
             QStringLiteral("first.jsdb"));
    QCOMPARE(recentFiles(), QStringList {dir + "/first.jsdb"});
    QCOMPARE(fileBytes(dir + "/first.jsdb"), firstBytes);
    QVERIFY(!QFileInfo::exists(dir + "/second.jsdb-bk"));
}

void tst_simfile::open_setsControlsAndKeepsBackup()
{
    const QString dir = freshFolder(QStringLiteral("open"));
    const QString path = writeConfiguration(dir + "/redox.jsdb", true);
    const QByteArray oldBackup("an earlier backup\n");
    QVERIFY(writeBytes(path + "-bk", oldBackup));

    auto win = openWindow();
    openFile(win.get(), path);

    QVERIFY(paneLines(win.get()).contains("SF: simulation config file located "));
    QCOMPARE(fileBytes(path + "-bk"), oldBackup);
    auto *access = win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"));
    auto *redox = win->findChild<QCheckBox *>(QStringLiteral("checkBox_redox"));
    auto *organic = win->findChild<QCheckBox *>(QStringLiteral("checkBox_organicCmpd"));
    QVERIFY(access->isEnabled() && access->isChecked());
    QVERIFY(redox->isEnabled() && redox->isChecked());
    QVERIFY(organic->isEnabled() && !organic->isChecked());
    QVERIFY(win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBReload"))->isEnabled());
    QVERIFY(win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"))->isEnabled());
    QVERIFY(findAction(win.get(), QStringLiteral("Load"))->isEnabled());
    QVERIFY(!findAction(win.get(), QStringLiteral("Save"))->isEnabled());

    // The batch and the reader share one control set: the boxes change both.
    sbatch *batch = win->retrieve_sbatch();
    QCOMPARE(batch->sdata->ctrlset, win->retrieve_jsdb()->sdata->ctrlset);
    QCOMPARE(batch->sdata->fileBackup, path + "-bk");
    redox->click();
    QCOMPARE(win->retrieve_jsdb()->sdata->ctrlset->redox, false);
    QVERIFY(!organic->isEnabled());
}

void tst_simfile::open_failure_keepsWhatWasOpen_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << QByteArray("this is not a configuration\n")
                              << "SF: cannot read simulation config file ";
    QTest::newRow("JSON array") << QByteArray("[1, 2, 3]\n")
                                << "SF: cannot read simulation config file ";
    QTest::newRow("empty file") << QByteArray() << "SF: cannot read simulation config file ";
    QTest::newRow("JSON of something else")
        << QByteArray("{\"foo\": 1}\n") << "SF: cannot read simulation config file ";
    QTest::newRow("empty JSON object")
        << QByteArray("{}") << "SF: cannot read simulation config file ";
}

void tst_simfile::open_failure_keepsWhatWasOpen()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString dir = freshFolder(QStringLiteral("fail"));
    const QString good = writeConfiguration(dir + "/good.jsdb");
    const QString bad = dir + "/sub/bad.jsdb";
    QVERIFY(QDir().mkpath(dir + "/sub"));
    QVERIFY(writeBytes(bad, content));

    auto win = openWindow();
    openFile(win.get(), good);
    sbatch *batch = win->retrieve_sbatch();
    jsdbfile_mgr *reader = win->retrieve_jsdb();
    const QStringList recentBefore = recentFiles();
    const QString dirBefore = prevDir();

    openFile(win.get(), bad);

    QVERIFY(paneLines(win.get()).contains(reason));
    QCOMPARE(win->retrieve_sbatch(), batch);
    QCOMPARE(win->retrieve_jsdb(), reader);
    QCOMPARE(batch->sdata->ctrlset, reader->sdata->ctrlset);
    QCOMPARE(batch->sdata->file, good);
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_configFile"))->text(),
             QStringLiteral("good.jsdb"));
    QVERIFY(win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"))->isEnabled());
    QCOMPARE(recentFiles(), recentBefore);
    QCOMPARE(prevDir(), dirBefore);
    QVERIFY(!QFileInfo::exists(bad + "-bk"));
    QCOMPARE(fileBytes(bad), content);
}

void tst_simfile::open_missingSections_opensAndNamesThem()
{
    const QString dir = freshFolder(QStringLiteral("partial"));
    const QString full = writeConfiguration(dir + "/full.jsdb");
    // An older file: the same document without its redox and waters sections.
    QByteArray text = fileBytes(full);
    QJsonParseError error;
    QJsonObject top = QJsonDocument::fromJson(text, &error).object();
    QVERIFY(!top.isEmpty());
    top.remove(QStringLiteral("waters"));
    top.remove(QStringLiteral("gases"));
    top["control parameters"] = QJsonObject {{"csolvitmax", "many"}};
    QJsonObject header = top["header"].toObject();
    header["compTag"] = "%1";
    top["header"] = header;
    const QString partial = dir + "/partial.jsdb";
    QVERIFY(writeBytes(partial, QJsonDocument(top).toJson()));

    auto win = openWindow();
    openFile(win.get(), partial);

    const QString pane = paneLines(win.get()).join('\n');
    QVERIFY2(pane.contains("sections missing from the file"), qPrintable(pane));
    QVERIFY(pane.contains("gases"));
    QVERIFY(pane.contains("waters"));
    QVERIFY2(pane.contains(R"(SF ## control parameters: "csolvitmax" is "many", not a whole )"
                           "number; 31 was used"),
             qPrintable(pane));
    QVERIFY2(pane.contains(R"(SF ## header: "compTag" is "%1", not a whole number; 0 was used)"),
             qPrintable(pane));
    QCOMPARE(win->retrieve_sbatch()->sdata->file, partial);
    QVERIFY(win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"))->isEnabled());
}

void tst_simfile::menuEntries_withoutConfiguration_doNothing()
{
    const QString dir = freshFolder(QStringLiteral("guard"));
    auto win = openWindow();
    ModalScript script;
    script.file(dir + "/kept");
    newFile(win.get(), script);
    QVERIFY(script.done());
    const QByteArray before = fileBytes(dir + "/kept.jsdb");

    // A new visit of the page: a new, empty batch.
    win->settings_ui_update();
    win->set_simType(0);
    QSignalSpy saves(win.get(), &simfile::signal_simfile_save);
    QSignalSpy setups(win.get(), &simfile::signal_simfile_setup);
    for (const char *entry : {"Load", "Save", "Save As"}) {
        QAction *act = findAction(win.get(), QLatin1String(entry));
        QVERIFY(!act->isEnabled());
        // Shortcuts and stale menus reach the slots even so.
        QMetaObject::invokeMethod(win.get(),
                                  entry == QLatin1String("Load") ? "on_pushButton_Load_clicked"
                                      : entry == QLatin1String("Save")
                                      ? "configFile_Save_clicked"
                                      : "configFile_SaveAs_clicked");
    }
    QCOMPARE(saves.count(), 0);
    QCOMPARE(setups.count(), 0);
    QCOMPARE(paneLines(win.get()).count("SF ## open or create a configuration file first"), 3);
    QCOMPARE(fileBytes(dir + "/kept.jsdb"), before);
}

void tst_simfile::recentFiles_orderAndLimit()
{
    const QString dir = freshFolder(QStringLiteral("recent"));
    QStringList paths;
    for (int i = 0; i < 11; ++i)
        paths << writeConfiguration(dir + QStringLiteral("/c%1.jsdb").arg(i));

    auto win = openWindow();
    openFile(win.get(), paths.at(0));
    openFile(win.get(), paths.at(1));
    openFile(win.get(), paths.at(0));
    QCOMPARE(recentFiles(), (QStringList {paths.at(0), paths.at(1)}));

    for (int i = 1; i < 11; ++i)
        openFile(win.get(), paths.at(i));
    const QStringList recent = recentFiles();
    QCOMPARE(recent.size(), 10);
    QCOMPARE(recent.first(), paths.at(10));
    QVERIFY(!recent.contains(paths.at(0)));

    QAction *entry = findAction(win.get(), QStringLiteral("c10.jsdb"));
    QVERIFY(entry && entry->isVisible());
    QCOMPARE(entry->data().toString(), paths.at(10));
    QVERIFY(!findAction(win.get(), QStringLiteral("c0.jsdb")));
}

void tst_simfile::recentFiles_deletedFile_keepsConfiguration_data()
{
    QTest::addColumn<bool>("folder"); // a folder took the file's name
    QTest::addColumn<QString>("reason");
    QTest::newRow("deleted") << false << "    file does not exist.";
    QTest::newRow("a folder now") << true << "    file exists.";
}

void tst_simfile::recentFiles_deletedFile_keepsConfiguration()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    const QString dir = freshFolder(QStringLiteral("gone"));
    const QString gone = writeConfiguration(dir + "/gone.jsdb");
    const QString kept = writeConfiguration(dir + "/kept.jsdb");
    auto win = openWindow();
    openFile(win.get(), gone);
    openFile(win.get(), kept);
    QVERIFY(QFile::remove(gone));
    QVERIFY(!folder || QDir().mkpath(gone));
    sbatch *batch = win->retrieve_sbatch();

    findAction(win.get(), QStringLiteral("gone.jsdb"))->trigger();

    const QStringList pane = paneLines(win.get());
    QVERIFY(pane.contains("    [ " + gone + " ],"));
    QCOMPARE(pane.last(), reason);
    QCOMPARE(win->retrieve_sbatch(), batch);
    QCOMPARE(batch->sdata->file, kept);
    QVERIFY(recentFiles().contains(gone));
}

void tst_simfile::saveAs_failure_restoresName()
{
    const QString dir = freshFolder(QStringLiteral("saveas"));
    auto win = openWindow();
    ModalScript first;
    first.file(dir + "/first");
    newFile(win.get(), first);
    QVERIFY(first.done());

    // Stands in for the main window: the write fails, the window is told.
    connect(win.get(), &simfile::signal_simfile_save, win.get(), [&] { win->save_failed(); });
    ModalScript script;
    script.file(dir + "/other");
    findAction(win.get(), QStringLiteral("Save As"))->trigger();
    QVERIFY(waitFor([&] { return script.done(); }));

    QCOMPARE(win->retrieve_sbatch()->sdata->file, dir + "/first.jsdb");
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_configFile"))->text(),
             QStringLiteral("first.jsdb"));
}

void tst_simfile::checkBoxes_followControlSet()
{
    const QString dir = freshFolder(QStringLiteral("boxes"));
    auto win = openWindow();
    openFile(win.get(), writeConfiguration(dir + "/boxes.jsdb", true));
    one_ctrlset *ctrl = win->retrieve_sbatch()->sdata->ctrlset;
    auto *access = win->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"));
    auto *redox = win->findChild<QCheckBox *>(QStringLiteral("checkBox_redox"));
    auto *organic = win->findChild<QCheckBox *>(QStringLiteral("checkBox_organicCmpd"));
    auto *load = win->findChild<QPushButton *>(QStringLiteral("pushButton_Load"));
    auto *types = win->findChild<QComboBox *>(QStringLiteral("comboBox_DBTypes"));

    organic->click();
    QVERIFY(ctrl->orgcmpd);
    redox->click();
    QVERIFY(!ctrl->redox);
    QVERIFY(!organic->isEnabled());
    QVERIFY(organic->isChecked() && ctrl->orgcmpd);
    redox->click();
    QVERIFY(organic->isEnabled());
    organic->click();
    QVERIFY(!ctrl->orgcmpd);
    QVERIFY(!organic->isEnabled());

    access->click();
    QVERIFY(!ctrl->dbaccess);
    QCOMPARE(load->text(), QStringLiteral("Continue"));
    QVERIFY(!types->isEnabled());
    access->click();
    QCOMPARE(load->text(), QStringLiteral("Load Database"));
    QVERIFY(types->isEnabled());
}

void tst_simfile::settingsIndexOutOfRange_usesFirstType()
{
    QSettings settings;
    settings.setValue(QStringLiteral("DB/dbtype_index"), 5);
    settings.setValue(QStringLiteral("SPCN/dbtype_index"), 7);
    settings.sync();

    auto win = openWindow();
    QCOMPARE(win->findChild<QComboBox *>(QStringLiteral("comboBox_DBTypes"))->currentIndex(), 0);
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_DBRef"))->text(),
             QFileInfo(generatedDatabase()).fileName());

    // No file pairs at all: every type shows " file not set".
    settings.remove(QStringLiteral("DB"));
    settings.sync();
    win->settings_ui_update();
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("lineEdit_DBRef"))->text(),
             QStringLiteral(" file not set"));
}

void tst_simfile::updateSimfile_reportsTypeMismatch()
{
    const QString dir = freshFolder(QStringLiteral("mismatch"));
    auto win = openWindow();
    ModalScript script;
    script.file(dir + "/m");
    newFile(win.get(), script);
    QVERIFY(script.done());

    win->signal_update_simfile();
    QVERIFY(!paneLines(win.get()).join('\n').contains("inconsistent"));
    win->retrieve_sbatch()->sdata->dbtype = 1;
    win->signal_update_simfile();
    QVERIFY(paneLines(win.get()).contains("SF ## batch->dbtype 1 inconsistent with list idx 0"));
}

QTEST_MAIN(tst_simfile)
#include "tst_simfile.moc"
