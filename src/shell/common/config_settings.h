#pragma once

#include "screen_info.h"

#include <QDialog>
#include <QString>

struct one_ctrlset;
class QLineEdit;

namespace Ui {
class config_settings;
}

/// The dialog in which the user edits the Newton-Raphson control parameters of
/// the open configuration: iteration limit, convergence criterion and the high
/// and low concentration limits.
///
/// The dialog works on its own copy of the caller's control set. Save copies the
/// four values into the caller's record (the same object, so a control set shared
/// with the configuration reader stays shared); Cancel leaves it untouched. A
/// field whose text is not an accepted value keeps it as typed, turns amber with the
/// reason as its tool tip, and keeps Save disabled.
class config_settings : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form and restores the geometry (settings group "WATERMGR").
    explicit config_settings(QWidget *parent = nullptr);
    ~config_settings() override;

    /// Largest iteration limit accepted.
    static constexpr int iterationLimitMax = 10000;

    /// Attaches the caller's control set and shows its values; call before exec().
    void settingsSpcn_numerical(one_ctrlset *ctrl);
    /// The caller's control set (after Save it holds the values shown).
    one_ctrlset *settingsSpcn_recover();
    /// Copies the values into the caller's record and accepts the dialog; does
    /// nothing while a field is refused or the low concentration limit is not
    /// below the high one (the user is told why).
    void settingsSpcn_save();
    /// Rejects the dialog; the caller's record keeps its values.
    void settingsSpcn_cancel();
    /// Restores the geometry from "WATERMGR" and centres the dialog when off screen.
    void settings_read();
    /// Stores the geometry in "WATERMGR".
    void settings_write();

    /// The iteration limit `text` stands for, or 0 when it is no integer from 1 to 10000.
    static int parseIterationLimit(const QString &text);
    /// The value `text` stands for, or 0.0 when it is no finite number greater than zero.
    static double parsePositive(const QString &text);

private slots:
    void on_lineEditSpcn_iterationLimit_textChanged(const QString &text);
    void on_lineEditSpcn_convergenceLimit_textChanged(const QString &text);
    void on_lineEditSpcn_concnHigh_textChanged(const QString &text);
    void on_lineEditSpcn_concnLow_textChanged(const QString &text);
    void on_pushButton_cancel_clicked();
    void on_pushButton_save_clicked();

private:
    void populate_fields();
    /// Stores a parsed double into `target` when accepted.
    void takeDouble(const QString &text, double *target);
    /// Enables Save while every field's text is accepted.
    void updateSave();
    /// True when the low concentration limit lies below the high one; otherwise
    /// says so in a message box and returns false.
    bool limitsInOrder();

    Ui::config_settings *ui = nullptr; ///< owned: the form
    screen_info scrInfo; ///< screen geometry used for centring
    one_ctrlset *ctrlset = nullptr; ///< link: the caller's control set
    one_ctrlset *working = nullptr; ///< owned: the copy the fields edit
};
