#pragma once

#include "format_fields.h"
#include "global.h"
#include "screen_info.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QCloseEvent;
class QShowEvent;
class sbatch;
class dbmanager;
class dbparse_driver;
class doc_about;
class login_page;
class pdfWindow;
class setup;
class simfile;

namespace Ui {
class MainWindow;
}

/// The program's main window: a stack of pages (login, main menu, configuration
/// file, setup workspace) shown one at a time, each at its own size, with the
/// tool bar of drop-down menus shown on the main menu. It opens the database
/// manager, the parser, the account dialog and the document viewers, relays the
/// pages' save, close and document requests, and checks on every visit of the
/// main menu that the reference database file of the current type exists.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Builds the form and the pages, writes the default settings, restores the
    /// geometry and shows the login page.
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    /// Start-up: the first-run dialog when the first-run record is missing, then
    /// the offer to install the default database when its file is missing.
    void firstInstall_patch();

signals:
    /// The configuration-file window is entered: it re-reads its settings.
    void signal_settings_ui_update();
    /// A save from the setup workspace succeeded: the configuration-file window
    /// shows the saved file.
    void signal_update_simfile();

public slots:
    void login_verified(); ///< login or start succeeded: the main menu
    void login_failed(); ///< nothing: the login page reports failures itself
    void simfile_save(); ///< writes the configuration-file window's batch
    void simfile_close(); ///< back to the main menu
    void simfile_setup(); ///< hands the loaded configuration to the workspace
    void setup_save(); ///< writes the workspace's batch
    void setup_close(); ///< back to the configuration-file window
    void docAbout_open(); ///< shows (or raises) the about box
    void docAbout_close(); ///< closes the about box
    void docUserguide_open(); ///< shows (or raises) the user guide
    void docUserguide_close(); ///< closes the user guide
    /// Enables Speciation when the reference database file exists; otherwise
    /// offers to reinstall the default files.
    void verify_dbmgr_status();

protected:
    /// The close box: asks first while the workspace holds unsaved changes.
    void closeEvent(QCloseEvent *event) override;
    /// Once shown (its frame known), the window is kept wholly on the screen.
    void showEvent(QShowEvent *event) override;

private slots:
    void on_pushButton_DBManager_clicked();
    void on_pushButton_Speciation_clicked();
    void on_pushButton_Exit_clicked();
    void on_pushButton_MWQuit_clicked();
    void on_actionDatabase_Manager_triggered();
    void on_actionBatch_Speciation_triggered();
    void on_actionDatabase_Parser_triggered();
    void on_actionOpen_triggered();
    void on_actionQuit_triggered();
    void mainWindow_exit();
    void menuSetting_Display_triggered();
    void menuSetting_Control_triggered();
    void menuSetting_Account_triggered();

private:
    void settings_write_defaults();
    void settings_read();
    void settings_write();
    void main_toolBar();
    void mainWindow_mainPage();
    /// Fills the main menu's message pane with the welcome text.
    void welcome_text();
    /// Shows `page` at the given size, or the available screen area when smaller.
    void show_page(QWidget *page, int width, int height);
    /// Enables the (hidden) menu bar's entries of `page` only: Open and Batch
    /// Speciation on the main menu (while Speciation is enabled), New and Open on
    /// the configuration-file window, the utilities past the login page, Quit
    /// everywhere.
    void set_menuBarActions(QWidget *page);
    /// Enables or disables Speciation and the entries that stand for it on the
    /// main menu: the tool bar's Open, the menu bar's Open and Batch Speciation.
    void set_speciationEnabled(bool enabled);
    /// The page the window shows.
    QWidget *currentPage() const;
    /// Installs the default database files with a temporary manager; true when the
    /// reference file is then in place, else the manager's reasons are shown.
    bool install_defaultDatabase();
    /// Writes the batch `batch` with the configuration's reader; on failure a
    /// critical box names the file and the reasons. True when written.
    bool write_batch(sbatch *batch);

    Ui::MainWindow *ui = nullptr; ///< owned: the form
    global gl; ///< versions and paths
    screen_info scrInfo; ///< never shown: page sizes, centring, platform texts
    format_fields ff; ///< tool-bar height
    int simType = 0; ///< simulation type of the configuration-file window
    QAction *toolBarOpen = nullptr; ///< link: the tool bar's Files > Open entry

    login_page *loginPage = nullptr; ///< page of the stack (owned by it)
    simfile *simfileWin = nullptr; ///< page of the stack (owned by it)
    setup *setupWin = nullptr; ///< page of the stack (owned by it)
    QPointer<dbparse_driver> dbParser; ///< child window, made on first use
    QPointer<dbmanager> dbManager; ///< child window, made on first use
    QPointer<doc_about> docAbout; ///< top-level window, deletes itself when closed
    QPointer<pdfWindow> docUserguide; ///< top-level window, deletes itself when closed
};
