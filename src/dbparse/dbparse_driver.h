#pragma once

#include "global.h"

#include <QDialog>
#include <QStringList>

class screen_info;

namespace Ui {
class dbparse_driver;
}

/// The "Data Source Parser" dialog: turns an EQ3/6 data0 file into a reference
/// database. One source and one target file per database type are kept in the
/// settings group "DBParser". The reference database in use is never overwritten.
class dbparse_driver : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form and reads the settings.
    explicit dbparse_driver(QWidget *parent = nullptr);
    ~dbparse_driver() override;

    /// Reloads the type list, restores and centres the geometry and reads the
    /// source and target file of every type.
    void settings_read();
    /// Writes the geometry and the source and target file of every type.
    void settings_write();

    /// Parses the source into the target shown; 0 on success, 1 when refused or failed.
    int parse();

private slots:
    void on_comboBox_DBTypes_currentIndexChanged(int index);
    void on_pushButton_sourceSelect_clicked();
    void on_pushButton_targetSelect_clicked();
    void on_pushButton_Parse_clicked();
    void on_pushButton_Close_clicked();

private:
    /// True when `target` is a reference database file registered in the settings.
    bool targetInUse(const QString &target) const;
    /// Keeps the line edits' texts as the files of the current type.
    void storeFields();
    /// Shows the files of the current type.
    void showFields();
    void message(const QString &line);

    Ui::dbparse_driver *ui = nullptr; ///< owned: the form
    global gl; ///< program constants
    screen_info *scrInfo = nullptr; ///< child: window placement
    QStringList list_DBTypes; ///< names of the database types
    QStringList file_source; ///< data0 source file per type
    QStringList file_target; ///< database file written per type
    int idx_DBType = 0; ///< index of the current type
};
