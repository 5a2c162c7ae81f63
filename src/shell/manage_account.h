#pragma once

#include "screen_info.h"

#include <QDialog>
#include <QString>

namespace Ui {
class manage_account;
}

/// The modal dialog in which the logged-in user changes the local account of
/// the settings group "LOGIN": login on or off, user name, password with its
/// clue, and the security question and answer.
///
/// Every item is staged and written by Save, except "Set Username", which writes
/// at once. While a password is stored, switching login, replacing the password
/// and changing the question and answer all need the current password.
class manage_account : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form and reads the stored account and the dialog geometry.
    explicit manage_account(QWidget *parent = nullptr);
    ~manage_account() override;

    /// Restores the geometry from "ACCTMGR" and centres the dialog when off screen.
    void settings_readMain();
    /// Stores the geometry in "ACCTMGR".
    void settings_writeMain();
    /// Writes "loginEnabled"; false when the settings store refused it.
    bool settings_writeLoginEnabled();
    /// Writes "username"; false when the settings store refused it.
    bool settings_writeUsername();
    /// Writes "password" and "passwordClue"; false when the settings store refused them.
    bool settings_writePassword();
    /// Writes "securityQ" and "securityA"; false when the settings store refused them.
    bool settings_writeSecurityQ();
    /// Lower-case hexadecimal SHA-256 of the UTF-8 bytes of `password`.
    static QString hashPassword(const QString &password);

private slots:
    void on_pushButton_setUsername_clicked();
    void on_checkBox_loginEnabled_clicked(bool checked);
    void on_checkBox_setPassword_clicked(bool checked);
    void on_checkBox_setSecurityQA_clicked(bool checked);
    void on_lineEdit_usernameCurrent_textChanged(const QString &text);
    void on_lineEdit_passwordCurrent_textChanged(const QString &text);
    void on_lineEdit_passwordNew_textChanged(const QString &text);
    void on_lineEdit_passwordVerify_textChanged(const QString &text);
    void on_textEdit_passwordClue_textChanged();
    void on_lineEdit_securityQ_textChanged(const QString &text);
    void on_lineEdit_securityA_textChanged(const QString &text);
    void on_pushButton_save_clicked();
    void on_pushButton_close_clicked();

private:
    /// Reads group "LOGIN" into the stored account and the working values.
    void settings_readLogin();
    /// Shows or hides the current-password row.
    void showCurrentPassword(bool show);
    /// Disables Save when no change is open after a change box was unchecked.
    void saveStateAfterUncheck();
    /// Appends `text` to the message pane.
    void message(const QString &text);
    /// Save step for the login switch; true when it was written.
    bool saveLoginState();
    /// Save step for the user name; true when it was written.
    bool saveUsername();
    /// Save step for the password; true when it was written.
    bool savePassword();
    /// Save step for the question and answer; true when they were written.
    bool saveSecurityQA();

    Ui::manage_account *ui = nullptr; ///< owned: the form
    screen_info scrInfo; ///< screen geometry used for centring

    // Stored account, as read at construction ("Set Username" updates the name).
    bool storedLoginEnabled = false; ///< login required
    QString storedUsername; ///< user name
    QString storedHash; ///< password digest
    QString storedClue; ///< password clue
    QString storedQuestion; ///< security question
    QString storedAnswer; ///< security answer
    bool storedLoginLock = false; ///< read, not used

    // Working values.
    QString workingUsername; ///< user name in the field
    QString newHash; ///< digest of a new password the rule accepts, else empty
    QString workingClue; ///< clue to store
    QString workingQuestion; ///< question to store
    QString workingAnswer; ///< answer to store
    bool workingLoginEnabled = false; ///< login state to store

    bool usernameSet = false; ///< a user name is stored
    bool passwordSet = false; ///< a password digest is stored
    bool loginStateChanged = false; ///< the login switch was used
    bool currentVerified = false; ///< the current password was typed correctly
    bool newVerified = false; ///< a valid new password was repeated equally
    bool questionAnswerComplete = false; ///< question and answer both typed
    bool passwordChangeOpen = false; ///< "Set new password" is ticked
    bool questionAnswerOpen = false; ///< "Set security question and answer" is ticked
};
