#pragma once

#include "global.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class screen_info;

namespace Ui {
class dbmanager;
}

/// The dialog that sets, per thermodynamic database type, the reference and
/// the user database file, shows the reference file's INFO data and installs
/// the default files into the folder "DBSET" under the application folder.
///
/// Its choices live in the settings group "DB" (type index and one file pair
/// per type); `signal_dbmgr_updated` announces a saved or installed choice.
/// Database files are opened read-only on a connection of the dialog's own,
/// so other connections (the loader's) are never disturbed.
class dbmanager : public QDialog
{
    Q_OBJECT

public:
    explicit dbmanager(QWidget *parent = nullptr);
    ~dbmanager() override;

    /// Reads the type list ("DEFAULT"), the geometry, the type index and the
    /// per-type files ("DB"); a stored index outside the type list becomes 0.
    void settings_read();
    /// Writes the geometry, the type index and one file pair per type ("DB").
    void settings_write();
    /// True when the reference file recorded for the stored current type exists.
    bool verify_databaseTypeSet();
    /// Installs the default files; false (with a line in the messages pane)
    /// when the folder cannot be made or the reference file is not in place.
    bool set_DBDefault_locations();
    /// set_DBDefault_locations, then settings_write and signal_dbmgr_updated.
    bool set_DBDefault_locations_extCall();
    /// Opens `path` read-only on the dialog's connection; true when it is an
    /// SQLite file (the connection then stays open).
    bool check_status_DB(const QString &path);
    void set_DBRef_fields(const QString &path); ///< shows the reference file and its folder
    void set_DBUser_fields(const QString &path); ///< shows the user file and its folder
    void getInfo_DBRef(); ///< information pane: INFO data of the open reference file
    void getInfo_DBUser(); ///< information pane: user database text
    /// Creates (or resets) a user database with its USERINFO table at `path`.
    bool initialize_userdb(const QString &path);
    /// settings_write, then signal_dbmgr_updated.
    void save_currentSettings();

    /// Folder under which "DBSET" is installed: the application folder unless
    /// set otherwise (tests point it at a scratch folder).
    QString appFolder() const;
    void set_appFolder(const QString &folder);

    /// Texts of the messages pane, one entry per line.
    QStringList messageLines() const;
    /// Text of the information pane as plain text.
    QString infoText() const;

    QList<QString> list_DBTypes; ///< display names of the database types
    int idx_DBType = 0; ///< index of the current type in list_DBTypes
    QList<QString> file_DBRef; ///< reference database file per type
    QList<QString> file_DBUser; ///< user database file per type

signals:
    /// A choice of files was saved or the default files were installed.
    void signal_dbmgr_updated();

private slots:
    void on_comboBox_DBTypes_currentIndexChanged(int index);
    void on_lineEdit_DBRef_returnPressed();
    void on_lineEdit_DBUser_returnPressed();
    void on_pushButton_DBDefault_clicked();
    void on_comboBox_DBRef_path_activated(int index);
    void on_comboBox_DBUser_path_activated(int index);
    void on_pushButton_DBRef_Select_clicked();
    void on_pushButton_DBUser_Select_clicked();
    void on_pushButton_DBUser_New_clicked();
    void on_pushButton_Save_clicked();
    void on_pushButton_Close_clicked();
    void on_tabWidget_tabBarClicked(int index);

private:
    void message(const QString &line);
    void closeConnection();
    /// Reads the file pairs of "DB"; placeholders when their count differs from the types.
    void readFileLists();
    /// Keeps idx_DBType inside the type list (0 otherwise).
    void checkTypeIndex();
    /// Version in the INFO table (last row) of `path`; empty when unreadable.
    QString installedVersion(const QString &path);
    /// Why Save keeps the stored files: the reference file shown (one Select
    /// could not open, or the one held) does not open, or Select could not open
    /// a user file. The stored file is then held and shown again. Empty when
    /// the files are in order.
    QStringList unopenedFiles();
    /// Entry `key` ("file" or "user") of the current type in the settings; `fallback` when absent.
    QString storedFile(const char *key, const QString &fallback) const;
    /// True when `path` is a file that opens as an SQLite database (no pane lines).
    bool opens(const QString &path);
    /// A free name beside `path` for keeping a replaced file.
    static QString backupName(const QString &path);

    Ui::dbmanager *ui = nullptr; ///< owned: the form
    global gl; ///< folders and the database version text
    /// owned: placement and platform texts; not a child, so it never shows in the dialog
    screen_info *scrInfo = nullptr;
    QString connName; ///< the dialog's own database connection
    QString appFolderPath; ///< see appFolder(); empty for the application folder
    QString rejectedRef; ///< reference file shown after a Select that could not open it
    QString rejectedUser; ///< user file shown after a Select that could not open it
};
