// The main window: its pages and sizes, the tool bar, the main menu's database
// check, the utility and document windows, logging out, quitting, the close
// box, and saves that fail.
#include "support_shell.h"

#include "app_folder.h"
#include "dbmanager.h"
#include "dbparse_driver.h"
#include "doc_about.h"
#include "mainwindow.h"
#include "pdfWindow.h"
#include "program_run.h"
#include "sbatch.h"
#include "setup.h"
#include "simfile.h"
#include "test_press.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <memory>

namespace {

const QString reinstallQuestion
    = QStringLiteral("Thermodynamic database files could not be located.\nReinstall database ?");

/// A started program past its login, on the main menu.
std::unique_ptr<MainWindow> mainMenu()
{
    auto win = std::make_unique<MainWindow>();
    win->show();
    pressStart(win.get());
    return win;
}

/// The main menu, then Speciation -> New `name` in `dir` -> Load: the workspace.
setup *workspace(MainWindow *win, const QString &dir, const QString &name)
{
    button(win, "pushButton_Speciation")->click();
    simfile *sf = simfilePage(win);
    ModalScript script;
    script.file(dir + '/' + name);
    button(sf, "pushButton_New")->click();
    waitFor([&] { return script.done(); });
    button(sf, "pushButton_Load")->click();
    return setupPage(win);
}

/// Types into the workspace's notes: an edit that marks the configuration changed.
void editNotes(setup *su)
{
    auto *notes = su->findChild<QTextEdit *>(QStringLiteral("textEdit_Notes"));
    notes->setFocus();
    QTest::keyClicks(notes, "changed");
}

QToolBar *mainToolBar(MainWindow *win)
{
    return win->findChild<QToolBar *>(QStringLiteral("toolBar"));
}

/// The entry `text` of the main window's own tool-bar menus.
QAction *toolBarEntry(MainWindow *win, const QString &text)
{
    for (QToolButton *b : mainToolBar(win)->findChildren<QToolButton *>())
        if (b->menu())
            for (QAction *act : b->menu()->actions())
                if (act->text() == text)
                    return act;
    return nullptr;
}

/// The top-level windows of type T, only the visible ones when `shown`.
template<class T>
QList<T *> topLevels(bool shown = false)
{
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && (!shown || w->isVisible()))
            found << t;
    return found;
}

/// The direct children of type T of the main window (not those of its pages).
template<class T>
QList<T *> ownWindows(MainWindow *win)
{
    return win->findChildren<T *>(Qt::FindDirectChildrenOnly);
}

} // namespace

class tst_main : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void construction_loginPageAndDefaults();
    void laterStart_keepsChosenFiles();
    void mainMenu_databaseCheck_data();
    void mainMenu_databaseCheck();
    void pages_takeTheirSizes();
    void toolBar_entries();
    void toolBarOpen_opensIntoFreshBatch();
    void menuBar_actsOnlyOnItsPages_data();
    void menuBar_actsOnlyOnItsPages();
    void accountDialog_fromToolBar();
    void dialogs_reopenWhereClosed_data();
    void dialogs_reopenWhereClosed();
    void databaseManager_oneWindow_rechecks();
    void exitToLogin_hidesDatabaseWindows();
    void quit_endsTheProcessPromptly();
    void quitEntries_settingsWritten_data();
    void quitEntries_settingsWritten();
    void viewers_oneEach_deletedWhenClosed();
    void closeBox_asksWhileUnsaved_data();
    void closeBox_asksWhileUnsaved();
    void setupSave_failure_keepsUnsavedState();
    void setupSaveAs_failure_keepsOldFile();
    void setupSaveAs_success_newFileEverywhere();
    void simfileSaveAs_failure_keepsOldFile();
    void controlParameters_fromWorkspace();
    void closedWorkspace_loadsOnlyTheFile_data();
    void closedWorkspace_loadsOnlyTheFile();
    void messagePane_showsNewestLine();
};

void tst_main::initTestCase()
{
    shellTestIdentity();
}

void tst_main::init()
{
    QSettings().clear();
    app_folder::set_path(freshFolder(QStringLiteral("app")));
    installedProgram();
}

void tst_main::construction_loginPageAndDefaults()
{
    QSettings().clear();
    SlotWarningGuard guard;
    MainWindow win;
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
    win.show();

    QCOMPARE(win.windowTitle(), QStringLiteral("Vek.7 Main Window"));
    QCOMPARE(currentPage(&win)->metaObject()->className(), "login_page");
    // The login page fits its size without the style sheet's smaller font too.
    QCOMPARE(win.size(), QSize(580, 680));
    QVERIFY(win.minimumSizeHint().width() <= 580);
    QVERIFY(!mainToolBar(&win)->isVisible());
    QVERIFY(!win.findChild<QMenuBar *>("menuBar")->isVisible());
    QCOMPARE(win.findChild<QLabel *>("label_version")->text(), QStringLiteral("version v.1.0.2a"));
    const QString notes = win.findChild<QWidget *>("page_mainWindow")
                              ->findChild<QTextEdit *>("textEdit_Messages")
                              ->toPlainText();
    QVERIFY(
        notes.contains("See user guide and starting instructions from top menu bar 'Help/Docs'."));
    QVERIFY(notes.contains("Redox reactions can be included"));
    for (const char *stale : {"implementatin", "options disabled"})
        QVERIFY2(!notes.contains(stale, Qt::CaseInsensitive), stale);

    QSettings settings;
    QCOMPARE(settings.value("DEFAULT/DBTypes/size").toInt(), 1);
    QCOMPARE(settings.value("DEFAULT/DBTypes/1/aDBType").toString(),
             QStringLiteral("EQ36 1996: data0.cmp - data0.com.V8.R6"));
    QCOMPARE(settings.value("DB/file_DBTypes/size").toInt(), 1);
    QCOMPARE(settings.value("DB/file_DBTypes/1/file").toString(),
             QStringLiteral("reference database file not set"));
    QCOMPARE(settings.value("DB/file_DBTypes/1/user").toString(),
             QStringLiteral("user database file not set"));
    QCOMPARE(settings.value("DBParser/file_types/1/file_source").toString(),
             QStringLiteral("source database file not set"));
    QCOMPARE(settings.value("DBParser/file_types/1/file_target").toString(),
             QStringLiteral("output database file not set"));
}

void tst_main::laterStart_keepsChosenFiles()
{
    MainWindow win;
    QCOMPARE(QSettings().value("DB/file_DBTypes/1/file").toString(), generatedDatabase());
}

void tst_main::mainMenu_databaseCheck_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("enabled");
    const QString noWarning = QStringLiteral(
        "Use Database Manager to set databases and their locations before proceeding.");
    QTest::newRow("file there") << true << "" << false << QStringList() << true;
    QTest::newRow("missing, NO") << false << "NO" << false
                                 << QStringList {reinstallQuestion, noWarning} << false;
    QTest::newRow("missing, YES") << false << "YES" << false << QStringList {reinstallQuestion}
                                  << true;
    QTest::newRow("missing, YES, install fails")
        << false << "YES" << true
        << QStringList {reinstallQuestion, "The default database files could not be installed."}
        << false;
}

void tst_main::mainMenu_databaseCheck()
{
    QFETCH(bool, present);
    QFETCH(QString, answer);
    QFETCH(bool, blocked);
    QFETCH(QStringList, boxes);
    QFETCH(bool, enabled);
    if (!present)
        setDatabaseSettings(app_folder::path() + "/missing.db");
    if (blocked)
        QVERIFY(writeBytes(app_folder::path() + "/DBSET", "a file, not a folder\n"));

    MainWindow win;
    win.show();
    ModalScript script;
    if (!answer.isEmpty())
        script.box(answer);
    if (boxes.size() > 1)
        script.box("OK");
    // Start runs the check within the press; any further box is closed and named.
    script.closeAny();
    pressStart(&win);
    QCOMPARE(script.unexpected, QStringList());

    QCOMPARE(currentPage(&win)->objectName(), QStringLiteral("page_mainWindow"));
    QCOMPARE(script.texts.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(script.texts.at(i).startsWith(boxes.at(i)), qPrintable(script.texts.at(i)));
    QCOMPARE(button(&win, "pushButton_Speciation")->isEnabled(), enabled);
    if (answer == QLatin1String("YES") && !blocked)
        QVERIFY(QFileInfo(app_folder::path() + "/DBSET/db-EQ3v1996.db").isFile());

    // Open and Batch Speciation stand for Speciation, in the tool bar and a global menu bar.
    const auto offered = [&win] {
        return QList<bool> {toolBarEntry(&win, "Open")->isEnabled(),
                            win.findChild<QAction *>("actionOpen")->isEnabled(),
                            win.findChild<QAction *>("actionBatch_Speciation")->isEnabled()};
    };
    QCOMPARE(offered(), QList<bool>(3, enabled));
    if (enabled)
        return;
    win.activateWindow(); // shortcuts reach the window the user works in
    QVERIFY(QTest::qWaitForWindowActive(&win));
    QTest::keyClick(&win, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(currentPage(&win)->objectName() == "page_mainWindow" && script.unexpected.isEmpty());
    // The database manager saves files that are there.
    setDatabaseSettings(generatedDatabase());
    button(&win, "pushButton_DBManager")->click();
    emit ownWindows<dbmanager>(&win).first()->signal_dbmgr_updated();
    QCOMPARE(offered(), QList<bool>(3, true));
}

void tst_main::pages_takeTheirSizes()
{
    auto win = mainMenu();
    // Each page starts at its own size, or as much of it as the screen has room for.
    const QRect room = win->screen()->availableGeometry();
    const auto startedAt = [&](QSize size) {
        const auto near = [](int got, int wanted, int limit) {
            return got == wanted || (got < wanted && got > limit - 60);
        };
        return room.contains(win->frameGeometry()) && near(win->width(), size.width(), room.width())
            && near(win->height(), size.height(), room.height());
    };
    QVERIFY(startedAt(QSize(700, 540)));
    QVERIFY(mainToolBar(win.get())->isVisible());

    setup *su = workspace(win.get(), freshFolder("sizes"), "sizes");
    QCOMPARE(currentPage(win.get()), su);
    QVERIFY(startedAt(QSize(1000, 1000)));
    QVERIFY(!mainToolBar(win.get())->isVisible());

    button(su, "pushButton_Close")->click();
    QCOMPARE(currentPage(win.get()), simfilePage(win.get()));
    QVERIFY(startedAt(QSize(850, 600)));
    button(simfilePage(win.get()), "pushButton_Close")->click();
    QVERIFY(startedAt(QSize(700, 540)));
}

void tst_main::toolBar_entries()
{
    auto win = mainMenu();
    QStringList texts;
    for (QAction *act : mainToolBar(win.get())->actions())
        if (auto *w = mainToolBar(win.get())->widgetForAction(act))
            texts << w->property("text").toString();
    QCOMPARE(texts, (QStringList {"Files  ", "Utilities", "Settings", "Help/Docs"}));
    QVERIFY(!toolBarEntry(win.get(), "Display")->isEnabled());
    QVERIFY(!toolBarEntry(win.get(), "Control Parameters")->isEnabled());
    QVERIFY(toolBarEntry(win.get(), "Manage Account Settings")->isEnabled());
    QVERIFY(!toolBarEntry(win.get(), "-----------------")->isEnabled());
    QCOMPARE(toolBarEntry(win.get(), "Exit to Login")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_W));
    QCOMPARE(toolBarEntry(win.get(), "Open")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

void tst_main::toolBarOpen_opensIntoFreshBatch()
{
    const QString dir = freshFolder("open");
    auto win = mainMenu();
    setup *su = workspace(win.get(), dir, "first");
    sbatch *used = su->retrieve_sbatch();
    button(su, "pushButton_Close")->click();
    button(simfilePage(win.get()), "pushButton_Close")->click();

    ModalScript script;
    script.file(dir + "/first.jsdb");
    toolBarEntry(win.get(), "Open")->trigger();
    QVERIFY(script.done());
    simfile *sf = simfilePage(win.get());
    QCOMPARE(currentPage(win.get()), sf);
    QVERIFY(sf->retrieve_sbatch() != used);
    QCOMPARE(sf->retrieve_sbatch()->sdata->file, dir + "/first.jsdb");
    QVERIFY(button(sf, "pushButton_Load")->isEnabled());
}

void tst_main::menuBar_actsOnlyOnItsPages_data()
{
    QTest::addColumn<bool>("inWorkspace");
    QTest::newRow("login page") << false;
    QTest::newRow("setup workspace") << true;
}

void tst_main::menuBar_actsOnlyOnItsPages()
{
    QFETCH(bool, inWorkspace);
    auto win = std::make_unique<MainWindow>();
    win->show();
    if (inWorkspace) {
        pressStart(win.get());
        workspace(win.get(), freshFolder("menubar"), "menubar");
    }
    QWidget *page = currentPage(win.get());
    // Whatever would open still gets an answer, so that a fault fails instead of hanging.
    ModalScript script;
    script.cancelFile().cancelFile();

    // Shortcuts reach only an active window.
    win->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(win.get()));
    QTest::keyClick(win.get(), Qt::Key_O, Qt::ControlModifier);
    // A desktop's global menu bar shows these entries and triggers them.
    for (QMenu *menu : win->findChild<QMenuBar *>("menuBar")->findChildren<QMenu *>())
        for (QAction *act : menu->actions())
            if (act->objectName() != QLatin1String("actionQuit"))
                act->trigger();
    QCoreApplication::processEvents();

    QCOMPARE(currentPage(win.get()), page);
    // Logged out, not even the utilities open.
    if (!inWorkspace)
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(w == win.get() || !w->isVisible(), qPrintable(w->objectName()));
}

void tst_main::accountDialog_fromToolBar()
{
    auto win = mainMenu();
    QString title;
    QString className;
    ModalScript script;
    script.modal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        className = dialog->metaObject()->className();
        button(dialog, "pushButton_close")->click();
    });
    toolBarEntry(win.get(), "Manage Account Settings")->trigger();
    QVERIFY(script.done());
    QCOMPARE(className, QStringLiteral("manage_account"));
    QCOMPARE(title, QStringLiteral("Manage Account Settings"));
    QCOMPARE(currentPage(win.get())->objectName(), QStringLiteral("page_mainWindow"));
}

void tst_main::dialogs_reopenWhereClosed_data()
{
    QTest::addColumn<QString>("entry"); // tool-bar entry that opens the dialog
    QTest::addColumn<bool>("modal");
    QTest::addColumn<QString>("close"); // its Close button
    QTest::newRow("account settings") << "Manage Account Settings" << true << "pushButton_close";
    QTest::newRow("database manager") << "Database Manager" << false << "pushButton_Close";
    // The configuration page reads the place before showing its manager again.
    QTest::newRow("database manager, file page") << "file page" << false << "pushButton_Close";
}

void tst_main::dialogs_reopenWhereClosed()
{
    QFETCH(QString, entry);
    QFETCH(bool, modal);
    QFETCH(QString, close);
    auto win = mainMenu();
    QList<QPoint> places;
    // On its first opening the user moves the dialog near the screen's lower right
    // corner, where its frame only just fits; then only closes it.
    const auto closeIt = [&places, &close](QWidget *dlg) {
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        const QRect room = dlg->screen()->availableGeometry();
        if (places.isEmpty())
            dlg->move(room.bottomRight() - QPoint(5, 5) - dlg->frameGeometry().bottomRight()
                      + dlg->pos());
        places << dlg->pos();
        QTest::mouseClick(button(dlg, close), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
    };
    simfile *sf = nullptr;
    if (entry == "file page") {
        button(win.get(), "pushButton_Speciation")->click();
        sf = simfilePage(win.get());
    }
    for (int i = 0; i < 5; ++i) {
        ModalScript script;
        if (modal)
            script.modal(closeIt);
        if (sf)
            findAction(sf, "Database Manager")->trigger();
        else
            toolBarEntry(win.get(), entry)->trigger();
        if (modal)
            QVERIFY(script.done());
        else
            closeIt(sf ? sf->findChild<dbmanager *>() : ownWindows<dbmanager>(win.get()).first());
    }
    QCOMPARE(places, QList<QPoint>(5, places.first()));
}

void tst_main::databaseManager_oneWindow_rechecks()
{
    auto win = mainMenu();
    button(win.get(), "pushButton_DBManager")->click();
    toolBarEntry(win.get(), "Database Manager")->trigger();
    QCOMPARE(ownWindows<dbmanager>(win.get()).size(), 1);
    dbmanager *manager = ownWindows<dbmanager>(win.get()).first();
    QVERIFY(manager->isVisible());
    manager->hide();
    button(win.get(), "pushButton_DBManager")->click();
    QVERIFY(manager->isVisible());
    QCOMPARE(ownWindows<dbmanager>(win.get()).size(), 1);

    // A saved choice naming a missing file: the main menu checks again at once.
    setDatabaseSettings(app_folder::path() + "/gone.db");
    ModalScript script;
    script.box("NO").box("OK");
    emit manager->signal_dbmgr_updated();
    QVERIFY(script.done());
    QCOMPARE(script.texts.value(0), reinstallQuestion);
    QVERIFY(!button(win.get(), "pushButton_Speciation")->isEnabled());
}

void tst_main::exitToLogin_hidesDatabaseWindows()
{
    auto win = mainMenu();
    toolBarEntry(win.get(), "Database Manager")->trigger();
    toolBarEntry(win.get(), "Database Parser")->trigger();
    button(win.get(), "pushButton_Speciation")->click();
    simfile *sf = simfilePage(win.get());
    findAction(sf, "Database Manager")->trigger();
    button(sf, "pushButton_Close")->click();

    QList<QWidget *> windows;
    for (auto *m : win->findChildren<dbmanager *>())
        windows << m;
    for (auto *p : win->findChildren<dbparse_driver *>())
        windows << p;
    QCOMPARE(windows.size(), 3);
    for (QWidget *w : windows)
        QVERIFY(w->isVisible());

    button(win.get(), "pushButton_Exit")->click();

    for (QWidget *w : windows)
        QVERIFY(!w->isVisible());
    QCOMPARE(currentPage(win.get())->metaObject()->className(), "login_page");
    QCOMPARE(win->size(), QSize(580, 680));
    QVERIFY(!mainToolBar(win.get())->isVisible());
    QVERIFY(QSettings().contains("WINDOW_MAIN/geometry"));
}

void tst_main::quit_endsTheProcessPromptly()
{
    // The program runs in a process of its own; it says what the wheel left in a list
    // made after the start, and when Quit is pressed.
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEK7_TEST_QUIT_PROGRAM"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(program.waitForFinished(60000));
    const qint64 ended = QDateTime::currentMSecsSinceEpoch();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromLatin1(program.readAllStandardOutput());
    QVERIFY2(out.contains(QLatin1String("WHEEL LEFT one\n")), qPrintable(out));
    const qint64 pressed = out.section(QStringLiteral("QUIT PRESSED "), 1).trimmed().toLongLong();
    QVERIFY2(pressed > 0, qPrintable(out));
    QVERIFY2(ended - pressed < 500, qPrintable(QString::number(ended - pressed) + " ms"));
}

void tst_main::quitEntries_settingsWritten_data()
{
    QTest::addColumn<bool>("menuQuit");
    QTest::newRow("main menu Quit writes") << false;
    QTest::newRow("tool-bar Quit writes nothing") << true;
}

void tst_main::quitEntries_settingsWritten()
{
    QFETCH(bool, menuQuit);
    auto win = mainMenu();
    if (menuQuit)
        toolBarEntry(win.get(), "Quit")->trigger();
    else
        button(win.get(), "pushButton_MWQuit")->click();
    QVERIFY(!win->isVisible());
    QCOMPARE(QSettings().contains("WINDOW_MAIN/geometry"), !menuQuit);
}

void tst_main::viewers_oneEach_deletedWhenClosed()
{
    auto win = mainMenu();
    QAction *about = toolBarEntry(win.get(), "About Vek7");
    about->trigger();
    about->trigger();
    QList<QPointer<doc_about>> aboutBoxes;
    for (doc_about *d : topLevels<doc_about>())
        aboutBoxes << d;
    QCOMPARE(aboutBoxes.size(), 1);
    QCOMPARE(aboutBoxes.first()->windowTitle(), QStringLiteral("Documents Viewer: About Vek7"));
    aboutBoxes.first()->close();
    QVERIFY(waitFor([&] { return aboutBoxes.first().isNull(); }));
    about->trigger();
    QCOMPARE(topLevels<doc_about>(true).size(), 1);

    QAction *guide = toolBarEntry(win.get(), "User Guide");
    guide->trigger();
    guide->trigger();
    QList<QPointer<pdfWindow>> guides;
    for (pdfWindow *p : topLevels<pdfWindow>())
        guides << p;
    QCOMPARE(guides.size(), 1);
    QVERIFY(guides.first()->isVisible());
    guides.first()->close();
    QVERIFY(waitFor([&] { return guides.first().isNull(); }));
    guide->trigger();
    QCOMPARE(topLevels<pdfWindow>().size(), 1);

    // Closing the main window leaves no viewer behind to keep the program running.
    win->close();
    QVERIFY(waitFor([] {
        return topLevels<pdfWindow>(true).isEmpty() && topLevels<doc_about>(true).isEmpty();
    }));
}

void tst_main::closeBox_asksWhileUnsaved_data()
{
    QTest::addColumn<bool>("viaQuit");
    QTest::addColumn<QString>("answer");
    QTest::newRow("close box, Cancel") << false << "Cancel";
    QTest::newRow("close box, Close") << false << "Close";
    QTest::newRow("workspace Quit, Cancel") << true << "Cancel";
    QTest::newRow("workspace Quit, Close") << true << "Close";
}

void tst_main::closeBox_asksWhileUnsaved()
{
    QFETCH(bool, viaQuit);
    QFETCH(QString, answer);
    auto win = mainMenu();
    setup *su = workspace(win.get(), freshFolder("unsaved"), "unsaved");
    editNotes(su);
    QVERIFY(su->unsaved_changes());

    ModalScript script;
    script.box(answer);
    if (viaQuit)
        findAction(su, "Quit")->trigger();
    else
        win->close();
    QVERIFY(script.done());
    QVERIFY(script.texts.value(0).contains("Close this window?"));
    const bool kept = answer == QLatin1String("Cancel");
    QCOMPARE(win->isVisible(), kept);
    if (kept || viaQuit)
        QCOMPARE(su->unsaved_changes(), kept);
    if (kept)
        QCOMPARE(currentPage(win.get()), su);
}

void tst_main::setupSave_failure_keepsUnsavedState()
{
    const QString dir = freshFolder("savefail");
    auto win = mainMenu();
    setup *su = workspace(win.get(), dir, "saved");
    const QString file = dir + "/saved.jsdb";
    const QStringList recent = QSettings().value("Files/recentFiles").toStringList();
    QSettings().setValue("jsdbPath/prevDir", "/somewhere/else");
    editNotes(su);
    // A folder now stands where the file was.
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));

    ModalScript script;
    script.box("OK");
    button(su, "pushButton_Save")->click();
    QVERIFY(script.done());
    QVERIFY(script.texts.value(0).contains(file));
    QVERIFY(su->unsaved_changes());
    QCOMPARE(QSettings().value("Files/recentFiles").toStringList(), recent);
    QCOMPARE(QSettings().value("jsdbPath/prevDir").toString(), QStringLiteral("/somewhere/else"));

    // Close asks, since the changes were not saved.
    ModalScript close;
    close.box("Cancel");
    button(su, "pushButton_Close")->click();
    QVERIFY(close.done());
    QCOMPARE(currentPage(win.get()), su);
}

void tst_main::setupSaveAs_failure_keepsOldFile()
{
    const QString dir = freshFolder("saveasfail");
    auto win = mainMenu();
    setup *su = workspace(win.get(), dir, "old");
    const QString old = dir + "/old.jsdb";
    const QByteArray before = fileBytes(old);
    editNotes(su);
    QVERIFY(QDir().mkpath(dir + "/blocked.jsdb"));

    ModalScript script;
    script.file(dir + "/blocked").box("Yes").box("OK");
    button(su, "pushButton_SaveAs")->click();
    QVERIFY(waitFor([&] { return script.done(); }));

    QCOMPARE(script.texts.value(0), "[ " + dir + "/blocked.jsdb ] already exists.\nReplace it?");
    QVERIFY(script.texts.value(1).contains(dir + "/blocked.jsdb"));
    QCOMPARE(su->retrieve_sbatch()->sdata->file, old);
    QCOMPARE(su->findChild<QLineEdit *>("lineEdit_configFile")->text(), QStringLiteral("old.jsdb"));
    QVERIFY(su->unsaved_changes());
    QCOMPARE(fileBytes(old), before);
    QVERIFY(!QSettings().value("Files/recentFiles").toStringList().contains(dir + "/blocked.jsdb"));
}

void tst_main::setupSaveAs_success_newFileEverywhere()
{
    const QString dir = freshFolder("saveas");
    auto win = mainMenu();
    setup *su = workspace(win.get(), dir, "old");
    const QByteArray before = fileBytes(dir + "/old.jsdb");
    addElement(su, "Ca");

    ModalScript script;
    script.file(dir + "/new");
    button(su, "pushButton_SaveAs")->click();
    QVERIFY(waitFor([&] { return script.done(); }));

    const QString file = dir + "/new.jsdb";
    QVERIFY(QFileInfo(file).isFile());
    QCOMPARE(fileBytes(dir + "/old.jsdb"), before);
    QVERIFY(!su->unsaved_changes());
    QCOMPARE(QSettings().value("Files/recentFiles").toStringList().value(0), file);
    QCOMPARE(QSettings().value("SETUP/idx_water").toInt(), 0);
    button(su, "pushButton_Close")->click();
    QCOMPARE(simfilePage(win.get())->findChild<QLineEdit *>("lineEdit_configFile")->text(),
             QStringLiteral("new.jsdb"));
}

void tst_main::simfileSaveAs_failure_keepsOldFile()
{
    const QString dir = freshFolder("sfsaveas");
    auto win = mainMenu();
    button(win.get(), "pushButton_Speciation")->click();
    simfile *sf = simfilePage(win.get());
    ModalScript create;
    create.file(dir + "/kept");
    button(sf, "pushButton_New")->click();
    QVERIFY(waitFor([&] { return create.done(); }));
    const QByteArray before = fileBytes(dir + "/kept.jsdb");
    QVERIFY(QDir().mkpath(dir + "/wall.jsdb"));

    ModalScript script;
    script.file(dir + "/wall").box("Yes").box("OK");
    findAction(sf, "Save As")->trigger();
    QVERIFY(waitFor([&] { return script.done(); }));

    QVERIFY(script.texts.value(1).contains(dir + "/wall.jsdb"));
    QCOMPARE(sf->retrieve_sbatch()->sdata->file, dir + "/kept.jsdb");
    QCOMPARE(sf->findChild<QLineEdit *>("lineEdit_configFile")->text(),
             QStringLiteral("kept.jsdb"));
    QCOMPARE(fileBytes(dir + "/kept.jsdb"), before);

    // A Save that works writes the file the fields show.
    findAction(sf, "Save")->trigger();
    QVERIFY(QFileInfo(dir + "/kept.jsdb").isFile());
    QCOMPARE(QSettings().value("jsdbPath/prevDir").toString(), dir);
}

void tst_main::controlParameters_fromWorkspace()
{
    auto win = mainMenu();
    setup *su = workspace(win.get(), freshFolder("ctrl"), "ctrl");
    QVERIFY(!su->unsaved_changes());
    QString title;
    ModalScript script;
    script.modal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        button(dialog, "pushButton_save")->click();
    });
    findAction(su, "Control Parameters")->trigger();
    QVERIFY(script.done());
    QCOMPARE(title, QStringLiteral("Control Parameters Manager"));
    QVERIFY(su->unsaved_changes());
    QVERIFY(findAction(su, "Export Data")->isEnabled());
    QVERIFY(findAction(su, "Water Mixing Model")->isEnabled());
    QVERIFY(findAction(su, "Result Viewer")->isEnabled());
}

void tst_main::closedWorkspace_loadsOnlyTheFile_data()
{
    QTest::addColumn<bool>("saveAs"); // K saved as t5, else discarded at Close
    QTest::addColumn<bool>("replaced"); // test1 replaced by t5 between its Open and Load
    QTest::newRow("discarded") << false << false;
    QTest::newRow("saved as another file") << true << false;
    QTest::newRow("file replaced after its Open") << true << true;
}

void tst_main::closedWorkspace_loadsOnlyTheFile()
{
    QFETCH(bool, saveAs);
    QFETCH(bool, replaced);
    const QString dir = freshFolder("closed"), test1 = dir + "/test1.jsdb", t5 = dir + "/t5.jsdb";
    auto win = mainMenu();
    setup *su = workspace(win.get(), dir, "test1");
    simfile *sf = simfilePage(win.get());
    const QByteArray before = fileBytes(test1);
    addElement(su, "K");
    ModalScript close;
    saveAs ? close.file(t5) : close.box("Close");
    if (saveAs)
        button(su, "pushButton_SaveAs")->click();
    button(su, "pushButton_Close")->click();
    QVERIFY(waitFor([&] { return close.done(); }));

    // Nothing of the closed workspace can be loaded or saved from here.
    QVERIFY(!button(sf, "pushButton_Load")->isEnabled());
    for (const char *entry : {"Load", "Save", "Save As"}) {
        QVERIFY2(!findAction(sf, entry)->isEnabled(), entry);
        findAction(sf, entry)->trigger();
    }
    QCOMPARE(fileBytes(test1), before);

    // Load builds the workspace from the file as it is at that moment.
    const QString file = saveAs && !replaced ? t5 : test1;
    ModalScript open;
    open.file(file);
    button(sf, "pushButton_Open")->click();
    QVERIFY(waitFor([&] { return open.done(); }));
    if (replaced)
        QVERIFY(writeBytes(test1, fileBytes(t5)));
    button(sf, "pushButton_Load")->click();
    QCOMPARE(elementTree(su).contains("K"), saveAs);
    button(su, "pushButton_Save")->click();
    QCOMPARE(fileBytes(file).contains("\"K\""), saveAs);
}

// A recent file moved away, chosen again and again, also after the window was
// made larger and smaller: the pane shows the newest report.
void tst_main::messagePane_showsNewestLine()
{
    const QString dir = freshFolder("panes");
    auto win = mainMenu();
    button(workspace(win.get(), dir, "moved"), "pushButton_Close")->click();
    QVERIFY(QFile::rename(dir + "/moved.jsdb", dir + "/away.jsdb"));
    simfile *sf = simfilePage(win.get());
    for (int i = 0; i < 13; ++i) {
        if (i == 12) {
            win->resize(win->size() * 2);
            win->resize(win->size() / 2);
        }
        findAction(sf, "moved.jsdb")->trigger();
    }
    const QScrollBar *bar = sf->findChild<QTextEdit *>("textEdit_Messages")->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

namespace {

/// The program as main() runs it, installed, driven from its event loop: Start, the
/// wheel over a list of its own window, then the main menu's Quit; the list's item
/// and the moment of the press go to standard output.
int quitProgram(QApplication &app)
{
    shellTestIdentity();
    installedProgram();
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&driver] {
        MainWindow *win = topLevels<MainWindow>(true).value(0);
        if (!win || QApplication::activeModalWidget())
            return;
        if (currentPage(win)->objectName() != QLatin1String("page_mainWindow")) {
            pressStart(win);
            return;
        }
        driver.stop();
        {
            QComboBox list;
            list.addItems({"one", "two", "three"});
            list.show();
            turnWheel(&list);
            std::printf("WHEEL LEFT %s\n", qPrintable(list.currentText()));
        }
        std::printf("QUIT PRESSED %lld\n", QDateTime::currentMSecsSinceEpoch());
        std::fflush(stdout);
        button(win, QStringLiteral("pushButton_MWQuit"))->click();
    });
    driver.start();
    return program_run(app);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("VEK7_TEST_QUIT_PROGRAM"))
        return quitProgram(app);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_main tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_main.moc"
