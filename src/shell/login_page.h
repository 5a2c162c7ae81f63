#pragma once

#include "global.h"
#include "screen_info.h"

#include <QString>
#include <QWidget>

namespace Ui {
class login_page;
}

/// The first page of the main window: it guards the program with one optional
/// local account kept in the settings group "LOGIN".
///
/// Three sub-pages: log in (or Start when login is off), create the account, and
/// answer the security question to set a replacement password or reset every
/// setting. Only the SHA-256 digest of a password is stored. The outcome of a
/// Login press goes to the main window through `signal_login_verified` and
/// `signal_login_failed`; the main window calls `setup` before each showing.
class login_page : public QWidget
{
    Q_OBJECT

public:
    /// Builds the form and brings the page to its starting state (`setup`).
    explicit login_page(QWidget *parent = nullptr);
    ~login_page() override;

    /// Failed Login presses after which the clue is shown.
    static constexpr int attemptsBeforeClue = 4;
    /// Failed Login presses after which the verification sub-page opens.
    static constexpr int attemptsBeforeVerify = 6;
    /// Wrong security answers after which "Reset Login" is offered.
    static constexpr int answersBeforeReset = 6;

    /// Resets the page and its counters and re-reads the account; shows nothing itself.
    void setup();
    /// Reads the whole account of group "LOGIN" and restores the page geometry.
    void settings_read();
    /// Writes "geometry" and, only as false, "saveinfo" (see writeSaveInfo).
    void settings_write();
    /// Writes the whole account record; false when the settings store refused it.
    bool settings_login_write();
    /// Removes every setting of the application, all groups; false when the
    /// settings store refused it.
    bool settings_reset();
    /// Lower-case hexadecimal SHA-256 of the UTF-8 bytes of `password`.
    static QString hashPassword(const QString &password);

signals:
    /// Login (with a matching account) or Start (login off) succeeded.
    void signal_login_verified();
    /// A Login press did not match the account.
    void signal_login_failed();

private slots:
    void on_lineEdit_username_textChanged(const QString &text);
    void on_lineEdit_password_textChanged(const QString &text);
    void on_lineEdit_password_returnPressed();
    void on_pushButton_Login_clicked();
    void on_checkBox_saveInfo_stateChanged(int state);
    void on_pushButton_Quit_clicked();
    void on_pushButton_loginCreate_clicked();
    void on_checkBox_loginEnabled_clicked(bool checked);
    void on_lineEdit_createUsername_textChanged(const QString &text);
    void on_lineEdit_createPassword_textChanged(const QString &text);
    void on_lineEdit_createPassword_verify_textChanged(const QString &text);
    void on_textEdit_passwordClue_textChanged();
    void on_lineEdit_securityQuestion_textChanged(const QString &text);
    void on_lineEdit_securityQAnswer_textChanged(const QString &text);
    void on_pushButton_createSave_clicked();
    void on_pushButton_createCancel_clicked();
    void on_lineEdit_responseA_editingFinished();
    void on_lineEdit_verifyPassword_textChanged(const QString &text);
    void on_lineEdit_verifyPassword_verify_textChanged(const QString &text);
    void on_textEdit_verifyClue_textChanged();
    void on_pushButton_resetLogin_clicked();
    void on_pushButton_verifyExit_clicked();
    void on_pushButton_verifySave_clicked();

private:
    /// Writes "saveinfo" and "geometry". Only a successful Login may store true;
    /// otherwise a ticked box writes nothing, so ticking it and failing never
    /// opens the next start without the password.
    void writeSaveInfo(bool loginSucceeded);
    /// Applies the create sub-page's login switch: fields enabled and filled when on.
    void createSwitch(bool on);
    /// Compares the entered and repeated digests on the create sub-page.
    void createCompare();
    /// Enables the create sub-page's Save from its completeness flags.
    void createSaveState();
    /// Enables the verification sub-page's Save from its replacement and repetition.
    void verifySaveState();
    /// Empties the answer and closes what it opened, so the next visit asks again.
    void verifyCloseAnswer();
    /// Login handler shared by the button and Return in the password field.
    void login();

    Ui::login_page *ui = nullptr; ///< owned: the form
    global gl; ///< program constants (version text)
    screen_info scrInfo; ///< screen geometry used for centring

    // Stored account, as last read from the settings.
    bool loginEnabled = false; ///< login required (the create sub-page's switch edits it)
    QString storedUsername; ///< user name
    QString storedHash; ///< password digest
    QString storedClue; ///< password clue
    QString storedQuestion; ///< security question
    QString storedAnswer; ///< security answer, as typed
    bool storedLoginLock = false; ///< carried unchanged
    bool storedSaveInfo = false; ///< "saveinfo": pre-fill the login fields
    bool saveInfo = false; ///< state of the "Save Login Info" box

    bool createLoginEnabledBefore = false; ///< login flag when the create sub-page opened

    // Working values of the login and create sub-pages.
    QString enteredUsername; ///< user name typed (or stored)
    QString enteredHash; ///< digest of the password typed
    QString repeatedHash; ///< digest of the repeated password (create sub-page)
    QString workingClue; ///< clue to store
    QString workingQuestion; ///< question to store
    QString workingAnswer; ///< answer to store
    bool createPasswordValid = false; ///< the create password satisfies the rule
    bool passwordsVerified = false; ///< valid password repeated equally
    bool clueSet = false; ///< the clue is not empty
    bool questionAnswerSet = false; ///< question and answer are not empty

    // Verification sub-page: its own replacement, never the login sub-page's digest.
    QString verifyHash; ///< digest of a valid replacement password, else empty
    QString verifyRepeatHash; ///< digest of the repetition
    QString verifyClue; ///< replacement clue
    bool verifyReady = false; ///< valid replacement repeated equally

    int attempts = 0; ///< Login presses since the last setup
    int wrongAnswers = 0; ///< wrong security answers since setup or a correct answer
};
