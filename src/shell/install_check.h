#pragma once

#include "dbmanager.h"
#include "global.h"

#include <QDialog>
#include <QStringList>

namespace Ui {
class install_check;
}

/// The first-run dialog: offers to install the default thermodynamic database
/// files, then points out the optional user account. Accepting it (OK) lets the
/// caller write the first-run record; it stores no settings of its own.
class install_check : public QDialog
{
    Q_OBJECT

public:
    /// Builds the dialog in its first state: Set Database and Skip offered; when
    /// the recorded reference database file is in place, says so and offers OK.
    explicit install_check(QWidget *parent = nullptr);
    ~install_check() override;

    /// True when Set Database ran and the default files are in place.
    bool databaseInstalled() const { return installed; }

private slots:
    void on_pushButton_setDB_clicked();
    void on_pushButton_setDB_skip_clicked();
    void on_pushButton_continue_clicked();

private:
    /// Second state: only OK, and the account hint in the message pane.
    void handler_userAccount();

    Ui::install_check *ui = nullptr; ///< owned: the form
    global gl; ///< version text
    dbmanager dbMgr; ///< never shown: checks and installs the database files
    bool installed = false; ///< see databaseInstalled()
};
