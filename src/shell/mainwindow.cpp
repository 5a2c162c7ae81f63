#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "login_page.h"
#include "setup.h"
#include "simfile.h"
#include "toolbar_menus.h"

#include "dbmanager.h"
#include "dbparse_driver.h"
#include "doc_about.h"
#include "pdfWindow.h"

#include <QCloseEvent>
#include <QDebug>
#include <QLayout>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace {

const char groupWindowMain[] = "WINDOW_MAIN";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    simType = 0;

    ui->pushButton_DBManager->setAutoDefault(false);
    ui->pushButton_Speciation->setAutoDefault(false);
    ui->pushButton_Batch->setAutoDefault(false);

    qDebug().noquote() << "MW: PATH_PROJ_SRC defined [ " + gl.path_proj_src() + " ]";
    qDebug().noquote() << "             home defined [ " + gl.path_user_home() + " ]";
    qDebug().noquote() << "              application [ " + gl.path_user_app() + " ]";
    scrInfo.platformInfo();

    settings_write_defaults();
    settings_read();

    ui->label_vek7->setStyleSheet(
        QStringLiteral("font: regular; font-size: 32px; color: #690900;"));
    ui->label_version->setStyleSheet(QStringLiteral("font: regular; font-size: 16px;"));
    ui->label_version->setText(QStringLiteral("version ") + gl.version_simulator());
    welcome_text();

    ui->pushButton_Batch->setEnabled(true);

    loginPage = new login_page;
    ui->stackedWidget->insertWidget(1, loginPage);
    connect(loginPage, &login_page::signal_login_verified, this, &MainWindow::login_verified);
    connect(loginPage, &login_page::signal_login_failed, this, &MainWindow::login_failed);

    simfileWin = new simfile;
    ui->stackedWidget->insertWidget(2, simfileWin);
    connect(simfileWin, &simfile::signal_simfile_save, this, &MainWindow::simfile_save);
    connect(simfileWin, &simfile::signal_simfile_close, this, &MainWindow::simfile_close);
    connect(simfileWin, &simfile::signal_simfile_setup, this, &MainWindow::simfile_setup);
    connect(simfileWin, &simfile::signal_docAbout_open, this, &MainWindow::docAbout_open);
    connect(simfileWin, &simfile::signal_docAbout_close, this, &MainWindow::docAbout_close);
    connect(simfileWin, &simfile::signal_docUserguide_open, this, &MainWindow::docUserguide_open);
    connect(simfileWin, &simfile::signal_docUserguide_close, this, &MainWindow::docUserguide_close);
    connect(this, &MainWindow::signal_settings_ui_update, simfileWin, &simfile::settings_ui_update);
    connect(this, &MainWindow::signal_update_simfile, simfileWin, &simfile::signal_update_simfile);

    setupWin = new setup;
    ui->stackedWidget->insertWidget(3, setupWin);
    connect(setupWin, &setup::signal_setup_save, this, &MainWindow::setup_save);
    connect(setupWin, &setup::signal_setup_close, this, &MainWindow::setup_close);
    connect(setupWin, &setup::signal_docAbout_open, this, &MainWindow::docAbout_open);
    connect(setupWin, &setup::signal_docUserguide_open, this, &MainWindow::docUserguide_open);

    for (QWidget *page : {static_cast<QWidget *>(loginPage), static_cast<QWidget *>(simfileWin),
                          static_cast<QWidget *>(setupWin)})
        page->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);

    ui->menuBar->hide();
    main_toolBar();
    set_speciationEnabled(true);

    loginPage->setup();
    show_page(loginPage, scrInfo.login_width(), scrInfo.login_height());
}

MainWindow::~MainWindow()
{
    // The viewers have no parent; they go with the program's main window.
    delete docAbout;
    delete docUserguide;
    // The workspace links the configuration-file window's objects: it goes first.
    delete setupWin;
    delete simfileWin;
    delete ui;
}

// ---- settings -------------------------------------------------------------------

void MainWindow::settings_write_defaults()
{
    const QStringList types = gl.dbtypes_list();
    QSettings settings;
    settings.beginGroup(QStringLiteral("DEFAULT"));
    settings.beginWriteArray(QStringLiteral("DBTypes"), int(types.size()));
    for (int i = 0; i < int(types.size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("aDBType"), types.at(i));
    }
    settings.endArray();
    settings.endGroup();

    // Placeholders only where the number of entries does not match the types, so
    // chosen files survive restarts.
    settings.beginGroup(QStringLiteral("DBParser"));
    if (settings.beginReadArray(QStringLiteral("file_types")) != types.size()) {
        settings.endArray();
        settings.remove(QStringLiteral("file_types"));
        settings.beginWriteArray(QStringLiteral("file_types"), int(types.size()));
        for (int i = 0; i < int(types.size()); ++i) {
            settings.setArrayIndex(i);
            settings.setValue(QStringLiteral("file_source"),
                              QStringLiteral("source database file not set"));
            settings.setValue(QStringLiteral("file_target"),
                              QStringLiteral("output database file not set"));
        }
    }
    settings.endArray();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("DB"));
    if (settings.beginReadArray(QStringLiteral("file_DBTypes")) != types.size()) {
        settings.endArray();
        settings.remove(QStringLiteral("file_DBTypes"));
        settings.beginWriteArray(QStringLiteral("file_DBTypes"), int(types.size()));
        for (int i = 0; i < int(types.size()); ++i) {
            settings.setArrayIndex(i);
            settings.setValue(QStringLiteral("file"),
                              QStringLiteral("reference database file not set"));
            settings.setValue(QStringLiteral("user"), QStringLiteral("user database file not set"));
        }
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

void MainWindow::settings_read()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupWindowMain));
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
    scrInfo.keep_onScreen(this);
}

void MainWindow::settings_write()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupWindowMain));
    settings.setValue(QStringLiteral("windowState"), saveState());
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("wx"), x());
    settings.setValue(QStringLiteral("wy"), y());
    settings.setValue(QStringLiteral("width"), geometry().width());
    settings.setValue(QStringLiteral("height"), geometry().height());
    settings.endGroup();
    settings.sync();
}

// ---- form -----------------------------------------------------------------------

void MainWindow::welcome_text()
{
    QTextEdit *pane = ui->textEdit_Messages;
    pane->setStyleSheet(QStringLiteral("font: regular;"));
    const QColor previous = pane->textColor();
    pane->setTextColor(Qt::blue);
    pane->append(QStringLiteral(
        "\nSee user guide and starting instructions from top menu bar 'Help/Docs'."));
    pane->setTextColor(previous);
    pane->append(QStringLiteral("\nMove and re-size the windows as necessary.\nChanges made will "
                                "be saved for future reference."));
    pane->append(QStringLiteral(
        "\n----- Changes since last release :\n* General debugging and user interface "
        "improvements;\n* Redox reactions can be included: check 'Include Redox Reactions' "
        "before loading the database."));
    pane->append(QStringLiteral("\n----- Previous changes (v.1.0.1) :\n* User panels "
                                "modified/debugged per reviews/requests."));
    // The pointer to the user guide opens the text, so it is what the user sees first.
    pane->moveCursor(QTextCursor::Start);
}

void MainWindow::main_toolBar()
{
    QToolBar *bar = ui->toolBar;
    bar->clear();
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setVisible(true);
    bar->setMovable(false);
    bar->setFixedHeight(ff.cell_height());

    auto addMenuButton
        = [this, bar](const QString &text) { return toolbar_menus::add_menu(bar, text, this); };
    auto addEntry = [this](QMenu *menu, const QString &text, auto slot,
                           const QKeySequence &keys = QKeySequence()) {
        return toolbar_menus::add_entry(menu, text, this, slot, keys);
    };

    QMenu *files = addMenuButton(QStringLiteral("Files  "));
    toolBarOpen = addEntry(files, QStringLiteral("Open"), &MainWindow::on_actionOpen_triggered,
                           QKeySequence(Qt::CTRL | Qt::Key_O));
    addEntry(files, QStringLiteral("Exit to Login"), &MainWindow::mainWindow_exit,
             QKeySequence(Qt::CTRL | Qt::Key_W));
    toolbar_menus::add_divider(files);
    addEntry(files, QStringLiteral("Quit"), &MainWindow::on_actionQuit_triggered,
             QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *utilities = addMenuButton(QStringLiteral("Utilities"));
    addEntry(utilities, QStringLiteral("Database Manager"),
             &MainWindow::on_actionDatabase_Manager_triggered);
    addEntry(utilities, QStringLiteral("Database Parser"),
             &MainWindow::on_actionDatabase_Parser_triggered);

    QMenu *settingsMenu = addMenuButton(QStringLiteral("Settings"));
    addEntry(settingsMenu, QStringLiteral("Display"), &MainWindow::menuSetting_Display_triggered)
        ->setEnabled(false);
    addEntry(settingsMenu, QStringLiteral("Control Parameters"),
             &MainWindow::menuSetting_Control_triggered)
        ->setEnabled(false);
    addEntry(settingsMenu, QStringLiteral("Manage Account Settings"),
             &MainWindow::menuSetting_Account_triggered);

    QMenu *help = addMenuButton(QStringLiteral("Help/Docs"));
    addEntry(help, QStringLiteral("About Vek7"), &MainWindow::docAbout_open);
    addEntry(help, QStringLiteral("User Guide"), &MainWindow::docUserguide_open);

    bar->hide();
}

void MainWindow::show_page(QWidget *page, int width, int height)
{
    // Only the page shown may hold the window to its minimum size; hidden pages
    // would otherwise keep every page as large as the largest.
    QStackedWidget *stack = ui->stackedWidget;
    for (int i = 0; i < stack->count(); ++i) {
        QWidget *w = stack->widget(i);
        if (w == page)
            w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
        else
            w->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
    stack->setCurrentWidget(page);
    set_menuBarActions(page);
    stack->updateGeometry();
    if (layout())
        layout()->activate();
    // The page's size is where it starts; on a smaller screen the window takes the
    // available area and the page scrolls.
    resize(width, height);
    scrInfo.keep_onScreen(this);
}

void MainWindow::set_menuBarActions(QWidget *page)
{
    // The menu bar is hidden, but a desktop's global menu bar shows its entries
    // and their shortcuts work: only the page they belong to enables them. The
    // utilities open windows of their own and serve every page past the login.
    const bool mainMenu = page == ui->page_mainWindow;
    const bool files = page == simfileWin;
    const bool loggedIn = page != loginPage;
    ui->actionNew->setEnabled(files);
    ui->actionSave->setEnabled(false);
    ui->actionSave_As->setEnabled(false);
    ui->actionExit_to_Login->setEnabled(mainMenu);
    ui->actionDatabase_Manager->setEnabled(loggedIn);
    ui->actionDatabase_Parser->setEnabled(loggedIn);
    ui->actionQuit->setEnabled(true);
    // Open and Batch Speciation follow the page shown.
    set_speciationEnabled(ui->pushButton_Speciation->isEnabled());
}

void MainWindow::set_speciationEnabled(bool enabled)
{
    // On the main menu Open goes through Speciation: it is offered only when
    // Speciation is. The configuration-file window opens files of its own accord.
    const QWidget *page = currentPage();
    const bool mainMenu = page == ui->page_mainWindow;
    ui->pushButton_Speciation->setEnabled(enabled);
    toolBarOpen->setEnabled(enabled);
    ui->actionOpen->setEnabled((mainMenu && enabled) || page == simfileWin);
    ui->actionBatch_Speciation->setEnabled(mainMenu && enabled);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The window manager's frame is known only once the window is up.
    QTimer::singleShot(0, this, [this] { scrInfo.keep_onScreen(this); });
}

void MainWindow::mainWindow_mainPage()
{
    ui->toolBar->show();
    ui->toolBar->setEnabled(true);
    show_page(ui->page_mainWindow, scrInfo.mainMenu_width(), scrInfo.mainMenu_height());
    verify_dbmgr_status();
    ui->pushButton_DBManager->setToolTip(
        QStringLiteral("Set thermodynamic database types and files"));
    ui->pushButton_Speciation->setToolTip(QStringLiteral("Start speciation modeling"));
    ui->pushButton_Batch->setToolTip(QStringLiteral("Kinetic/batch option not yet available"));
    ui->pushButton_Exit->setToolTip(QStringLiteral("Return to login page"));
    ui->pushButton_MWQuit->setToolTip(QStringLiteral("End this program"));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (setupWin && setupWin->unsaved_changes() && !setupWin->confirm_close()) {
        event->ignore();
        return;
    }
    // Nothing of the program stays open once its main window is gone.
    if (docAbout)
        docAbout->close();
    if (docUserguide)
        docUserguide->close();
    event->accept();
}
