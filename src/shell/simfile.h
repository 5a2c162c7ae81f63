#pragma once

#include "copy_struct.h"
#include "format_fields.h"
#include "global.h"
#include "screen_info.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QMenu;
class dbdata;
class dbmanager;
class dbparse_driver;
class jsdbfile_mgr;
class sbatch;

namespace Ui {
class simfile;
}

/// The configuration-file window: the page between the main menu and the setup
/// workspace. The user opens or creates a ".jsdb" file, chooses whether and how
/// the thermodynamic database is used, and loads it; the window then hands the
/// configuration to the main window, which opens the setup workspace with it.
///
/// Ownership: the window owns the batch, the configuration reader and the
/// database image it makes. A replaced one is freed as soon as neither this
/// window nor the setup workspace holds it (the main window reports with
/// setup_holds_current() when the workspace has taken the current ones). After
/// an Open the batch borrows the reader's control set; the reader owns it.
class simfile : public QWidget
{
    Q_OBJECT

public:
    /// Builds the window, its tool bar and the database controls.
    explicit simfile(QWidget *parent = nullptr);
    ~simfile() override;

    /// Makes a new batch of simulation type `type` for a new visit of this page
    /// and reads the window settings.
    void set_simType(int type);
    /// Asks for a ".jsdb" file and opens it, exactly as the Open button does.
    void mainWindow_openConfigFile();

    /// The batch of the open configuration (null before set_simType).
    sbatch *retrieve_sbatch() const { return simBatch; }
    /// The reader of the open configuration file (null before an Open or New).
    jsdbfile_mgr *retrieve_jsdb() const { return jsdbMgr; }
    /// The database image of the last Load (null before one).
    dbdata *retrieve_dbdata() const { return dbData; }

    /// Makes `batch` the held batch (the setup workspace's batch before a save).
    void update_batch(sbatch *batch);
    /// Records `file` as the newest recent configuration file.
    void adjustForCurrentFile(const QString &file);
    /// The setup workspace now holds the current batch, reader and image: the
    /// ones it held before are freed unless this window still holds them.
    void setup_holds_current();
    /// The setup workspace was closed: the batch it edited is let go, so no Save
    /// here can write what it held, and the controls wait for an Open or New.
    void setup_closed();
    /// The last save requested by this window failed: a Save As goes back to
    /// the file name it replaced.
    void save_failed();

    /// Hides the database manager and parser windows this window opened.
    void hide_utilities();

    /// Number of entries of the "Open Recent " submenu.
    int maxRecentFiles = 10;

public slots:
    /// Re-reads the window settings and the database manager's files, and
    /// disables the database controls until a file is opened or created.
    void settings_ui_update();
    /// After a save from the setup workspace: shows the batch's file.
    void signal_update_simfile();

signals:
    void signal_simfile_save(); ///< Save or Save As: write the batch to its file
    void signal_simfile_close(); ///< Close: back to the main menu
    void signal_simfile_setup(); ///< a Load succeeded: open the setup workspace
    void signal_docAbout_open(); ///< show the about box
    void signal_docAbout_close(); ///< close the about box
    void signal_docUserguide_open(); ///< show the user guide
    void signal_docUserguide_close(); ///< close the user guide

private slots:
    // Files
    void on_pushButton_Open_clicked();
    void on_pushButton_New_clicked();
    void on_pushButton_Close_clicked();
    void configFile_Save_clicked();
    void configFile_SaveAs_clicked();
    void toolBar_menuFiles_quit();
    void menu_openRecent();
    void menuSetting_Display_triggered();
    void menuSetting_Control_triggered();
    void docAbout_open();
    void docAbout_close();
    void docUserguide_open();
    void docUserguide_close();

    // Database selection and loading
    void on_comboBox_DBTypes_currentIndexChanged(int index);
    void on_checkBox_DBAccess_clicked(bool checked);
    void on_checkBox_redox_clicked(bool checked);
    void on_checkBox_organicCmpd_clicked(bool checked);
    void on_checkBox_DBReload_clicked(bool checked);
    void on_pushButton_Load_clicked();
    void toolBar_menuUtilities_Database_Manager();
    void toolBar_menuUtilities_Database_Parser();

private:
    // ---- files (simfile_files.cpp) ----------------------------------------------
    /// Opens `file` into a new reader; 0 opened, 2 not opened (nothing changed).
    int load_jsdbFile(const QString &file);
    /// A new reader holding `file` as read, or null when it cannot be read as a
    /// configuration (the reasons are in the message pane).
    jsdbfile_mgr *read_configuration(const QString &file);
    /// Reads the batch's file again into a new reader and batch, keeping the
    /// choices of the check boxes; false (nothing changed) when it cannot be read.
    bool reread_configuration();
    /// Controls and backup copy after a file was read or created.
    void postProcess_jsdb();
    /// The file row shows `file`: its name, and its folder in the path combo.
    void set_jsdbFile_fields(const QString &file);
    /// Remembers the absolute folder of `file` as the last configuration folder.
    void settings_write_jsdbPath(const QString &file);
    /// Asks for a name to save under; empty when cancelled or when the user
    /// declines to replace an existing file.
    QString ask_saveName();
    /// True when a configuration is open; otherwise says so in the pane.
    bool configurationOpen();
    void setupMenu_RecentFiles(QMenu *files);
    void updateRecentActionList();

    // ---- window (simfile.cpp) ----------------------------------------------------
    void settings_read();
    void settings_write();
    void simfile_toolBar();
    void set_tooltips();
    /// Appends one line to the message pane.
    void message(const QString &line);
    /// Enables or disables Load (button and Files-menu entry) and the Files-menu
    /// Save and Save As.
    void set_fileActions(bool load, bool save);

    // ---- ownership (simfile.cpp) -------------------------------------------------
    /// Makes `batch` the current batch; the one it replaces is kept only while
    /// the setup workspace holds it.
    void replace_batch(sbatch *batch);
    void replace_reader(jsdbfile_mgr *reader);
    void replace_image(dbdata *image);
    /// Frees every replaced object that neither this window nor the workspace holds.
    void release_unused();
    /// A batch that borrows a reader's control set stops doing so (its own
    /// fresh copy replaces the link) before either is freed or reset.
    void detach_ctrlset(sbatch *batch);

    // ---- database (simfile_database.cpp) -----------------------------------------
    void settings_read_dbManager();
    void set_fileDBRef_fields(const QString &file);
    void set_fileDBUser_fields(const QString &file);
    bool verify_databaseFiles();
    /// Reads the batch's reference database into `image`: 0, or -1 with the
    /// reasons in the message pane.
    int database_load(dbdata *image);
    /// When the last load of `image` found another database version: the
    /// warning in the message pane and in a box the user closes.
    void report_versionMismatch(const dbdata *image);
    /// Shows entry `index` of the per-type files and makes them dbref, dbuser;
    /// an index outside the lists becomes 0 (logged).
    int select_dbType(int index);
    /// The database controls as a Load leaves them, and as a refresh does.
    void disable_dbControls();
    /// Empties the batch's chemical system so the workspace builds it afresh.
    void clear_chemicalSystem();

    Ui::simfile *ui = nullptr; ///< owned: the form
    global gl; ///< paths, versions, database type names
    screen_info scrInfo; ///< never shown: centring of the window
    format_fields ff; ///< tool-bar height
    copy_struct cs; ///< deep copy of the control set

    sbatch *simBatch = nullptr; ///< owned: batch of the open configuration
    jsdbfile_mgr *jsdbMgr = nullptr; ///< owned: reader of the open configuration file
    dbdata *dbData = nullptr; ///< owned: database image handed to the workspace

    QList<sbatch *> oldBatches; ///< owned: replaced batches the workspace may hold
    QList<jsdbfile_mgr *> oldReaders; ///< owned: replaced readers the workspace may hold
    QList<dbdata *> oldImages; ///< owned: replaced images the workspace may hold
    sbatch *setupBatch = nullptr; ///< link: the batch the workspace holds
    jsdbfile_mgr *setupReader = nullptr; ///< link: the reader the workspace holds
    dbdata *setupImage = nullptr; ///< link: the image the workspace holds

    QString file_jsdb; ///< full path of the configuration file of this window
    QString filePath_default; ///< folder of that file
    QString fileBeforeSave; ///< the file name a pending Save As replaced
    QString dbref; ///< reference database file of the selected type
    QString dbuser; ///< user database file of the selected type
    int dbTypeIndex = 0; ///< index of the selected database type
    int dbTypeLoaded = 0; ///< database type of the held image (0 until a load)
    bool dbReload = true; ///< the next Load reads the database files again
    bool dbLoaded = false; ///< the held image was read from the database files
    QString dbLoadedFile; ///< reference database file the held image was read from
    QDateTime dbLoadedChange; ///< last change of that file when the image was read
    QStringList dbTypesList; ///< display texts of the database types
    QStringList dbRefFiles; ///< reference database file per type
    QStringList dbUserFiles; ///< user database file per type

    QPointer<dbmanager> dbManager; ///< child window: database manager, made on first use
    QPointer<dbparse_driver> dbParser; ///< child window: parser, made on first use

    QMenu *recentMenu = nullptr; ///< the "Open Recent " submenu (owned by its menu)
    QList<QAction *> recentFileActs; ///< entries of the submenu (children of the window)
    QAction *actLoad = nullptr; ///< Files-menu "Load"
    QAction *actSave = nullptr; ///< Files-menu "Save"
    QAction *actSaveAs = nullptr; ///< Files-menu "Save As"
};
