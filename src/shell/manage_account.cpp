#include "manage_account.h"
#include "ui_manage_account.h"

#include "login_account.h"
#include "message_pane.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>

namespace {
constexpr char groupAcctMgr[] = "ACCTMGR";
constexpr char styleOpen[] = "background:#f6f6f6";
constexpr char styleClosed[] = "background:#eee";
} // namespace

manage_account::manage_account(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::manage_account)
{
    ui->setupUi(this);
    ui->checkBox_setPassword->setChecked(false);
    ui->checkBox_setSecurityQA->setChecked(false);
    for (QLineEdit *field :
         {ui->lineEdit_passwordCurrent, ui->lineEdit_passwordNew, ui->lineEdit_passwordVerify})
        field->setEchoMode(QLineEdit::Password);
    ui->pushButton_save->setEnabled(false);
    for (QWidget *field : std::initializer_list<QWidget *> {
             ui->lineEdit_passwordNew, ui->lineEdit_passwordVerify, ui->textEdit_passwordClue,
             ui->lineEdit_securityQ, ui->lineEdit_securityA}) {
        field->setEnabled(false);
        field->setStyleSheet(styleClosed);
    }
    ui->textEdit_message->setReadOnly(true);
    ui->label_usernameCurrent_msg->clear();
    ui->label_passwordCurrent_msg->clear();
    ui->label_pwNew_msg->clear();
    ui->label_pwVerify_msg->clear();

    settings_readLogin();
    settings_readMain();

    ui->checkBox_loginEnabled->setChecked(storedLoginEnabled);
    usernameSet = !storedUsername.isEmpty();
    if (usernameSet)
        ui->lineEdit_usernameCurrent->setText(storedUsername);
    else
        ui->label_usernameCurrent_msg->setText(QStringLiteral("not set"));
    ui->pushButton_setUsername->setVisible(!usernameSet);

    // A damaged stored value is no password: it could never be typed.
    passwordSet = login_account::isDigest(storedHash);
    showCurrentPassword(false);
}

manage_account::~manage_account()
{
    delete ui;
}

QString manage_account::hashPassword(const QString &password)
{
    return login_account::digest(password);
}

void manage_account::settings_readLogin()
{
    QSettings settings;
    settings.beginGroup(login_account::groupLogin);
    storedLoginEnabled = settings.value(login_account::keyLoginEnabled).toBool();
    storedUsername = settings.value(login_account::keyUsername).toString();
    storedHash = settings.value(login_account::keyPassword).toString();
    storedClue = settings.value(login_account::keyPasswordClue).toString();
    storedQuestion = settings.value(login_account::keySecurityQ).toString();
    storedAnswer = settings.value(login_account::keySecurityA).toString();
    storedLoginLock = settings.value(login_account::keyLoginLock).toBool();
    settings.endGroup();

    workingUsername = storedUsername;
    workingClue = storedClue;
    workingQuestion = storedQuestion;
    workingAnswer = storedAnswer;
    workingLoginEnabled = storedLoginEnabled;
}

void manage_account::settings_readMain()
{
    QSettings settings;
    settings.beginGroup(groupAcctMgr);
    restoreGeometry(settings.value(login_account::keyGeometry).toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
}

void manage_account::settings_writeMain()
{
    QSettings settings;
    settings.beginGroup(groupAcctMgr);
    settings.setValue(login_account::keyGeometry, saveGeometry());
    settings.endGroup();
    settings.sync();
}

bool manage_account::settings_writeLoginEnabled()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    settings.setValue(login_account::keyLoginEnabled, workingLoginEnabled);
    settings.endGroup();
    return login_account::commit(settings, before);
}

bool manage_account::settings_writeUsername()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    settings.setValue(login_account::keyUsername, workingUsername);
    settings.endGroup();
    return login_account::commit(settings, before);
}

bool manage_account::settings_writePassword()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    settings.setValue(login_account::keyPassword, newHash);
    settings.setValue(login_account::keyPasswordClue, workingClue);
    settings.endGroup();
    return login_account::commit(settings, before);
}

bool manage_account::settings_writeSecurityQ()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    settings.setValue(login_account::keySecurityQ, workingQuestion);
    settings.setValue(login_account::keySecurityA, workingAnswer);
    settings.endGroup();
    return login_account::commit(settings, before);
}

void manage_account::message(const QString &text)
{
    message_pane::append(ui->textEdit_message, text);
}

void manage_account::showCurrentPassword(bool show)
{
    ui->label_passwordCurrent->setVisible(show);
    ui->lineEdit_passwordCurrent->setVisible(show);
    ui->label_passwordCurrent_msg->setVisible(show);
}

void manage_account::saveStateAfterUncheck()
{
    if (!loginStateChanged && !passwordChangeOpen && !questionAnswerOpen)
        ui->pushButton_save->setEnabled(false);
}

void manage_account::on_lineEdit_usernameCurrent_textChanged(const QString &text)
{
    ui->label_usernameCurrent_msg->clear();
    if (!text.isEmpty() && !login_account::isAlphanumeric(text)) {
        const QSignalBlocker block(ui->lineEdit_usernameCurrent);
        ui->lineEdit_usernameCurrent->setText(workingUsername);
        ui->label_usernameCurrent_msg->setText(QStringLiteral("alpha-numeric keys only"));
        return;
    }
    workingUsername = text;
}

void manage_account::on_pushButton_setUsername_clicked()
{
    if (ui->lineEdit_usernameCurrent->text().isEmpty())
        return;
    workingUsername = ui->lineEdit_usernameCurrent->text();
    if (!settings_writeUsername()) {
        message(QStringLiteral("##  Username not set: the settings could not be written"));
        return;
    }
    storedUsername = workingUsername;
    ui->label_usernameCurrent_msg->clear();
    usernameSet = true;
    ui->pushButton_save->setEnabled(true);
    message(QStringLiteral(">>  Username set"));
}

void manage_account::on_checkBox_loginEnabled_clicked(bool checked)
{
    ui->lineEdit_usernameCurrent->setText(storedUsername);
    if (storedUsername.isEmpty()) {
        ui->textEdit_message->setPlainText(QStringLiteral(">>  Set username first"));
        ui->checkBox_loginEnabled->setChecked(!checked);
        return;
    }
    if (!passwordSet) {
        message(QStringLiteral(">>  Set password to proceed"));
        // The switch is not recorded, so it must not show a state Save would not store.
        ui->checkBox_loginEnabled->setChecked(!checked);
        ui->checkBox_setPassword->setChecked(true);
        on_checkBox_setPassword_clicked(true);
        ui->pushButton_save->setEnabled(false);
        return;
    }
    ui->pushButton_setUsername->hide();
    showCurrentPassword(true);
    workingLoginEnabled = checked;
    loginStateChanged = true;
    ui->pushButton_save->setEnabled(true);
}

void manage_account::on_lineEdit_passwordCurrent_textChanged(const QString &text)
{
    ui->label_passwordCurrent_msg->clear();
    currentVerified = login_account::digestsMatch(storedHash, hashPassword(text));
    ui->label_passwordCurrent_msg->setText(currentVerified ? QStringLiteral("verified")
                                                           : QStringLiteral("not verified"));
    ui->pushButton_save->setEnabled(currentVerified);
}

void manage_account::on_checkBox_setPassword_clicked(bool checked)
{
    const QList<QWidget *> fields
        = {ui->lineEdit_passwordNew, ui->lineEdit_passwordVerify, ui->textEdit_passwordClue};
    passwordChangeOpen = checked;
    for (QWidget *field : fields) {
        field->setEnabled(checked);
        field->setStyleSheet(checked ? styleOpen : styleClosed);
    }
    if (!checked) {
        saveStateAfterUncheck();
        return;
    }
    if (!passwordSet) {
        message(QStringLiteral(">>  Password was not set"));
        message(QStringLiteral("    Proceed to set"));
    } else {
        message(QStringLiteral(">>  Password is already set"));
        message(QStringLiteral("    Proceed only to replace the current password"));
        showCurrentPassword(true);
    }
    ui->pushButton_save->setEnabled(true);
}

void manage_account::on_lineEdit_passwordNew_textChanged(const QString &text)
{
    for (QChar c : text) {
        if (!login_account::isAllowedChar(c))
            qDebug().noquote() << "LP new password includes non-alphanumeric character [ "
                    + QString(c) + " ]";
    }
    // Only a password the rule accepts can be confirmed; anything else leaves none.
    newHash = login_account::isValidPassword(text) ? hashPassword(text) : QString();
    newVerified
        = !newHash.isEmpty() && hashPassword(ui->lineEdit_passwordVerify->text()) == newHash;
    if (!text.isEmpty())
        ui->pushButton_save->setEnabled(false);
}

void manage_account::on_lineEdit_passwordVerify_textChanged(const QString &text)
{
    newVerified = !newHash.isEmpty() && hashPassword(text) == newHash;
    ui->pushButton_save->setEnabled(newVerified);
}

void manage_account::on_textEdit_passwordClue_textChanged()
{
    const QString clue = ui->textEdit_passwordClue->toPlainText();
    if (clue.isEmpty()) {
        // What was typed and erased is not the user's clue: the stored one stays.
        workingClue = storedClue;
        ui->textEdit_message->setPlainText(QStringLiteral("##  Clue cannot be blank"));
        return;
    }
    workingClue = clue;
}

void manage_account::on_checkBox_setSecurityQA_clicked(bool checked)
{
    questionAnswerOpen = checked;
    if (checked) {
        ui->lineEdit_securityQ->setText(storedQuestion);
        ui->lineEdit_securityA->setText(storedAnswer);
    }
    for (QLineEdit *field : {ui->lineEdit_securityQ, ui->lineEdit_securityA}) {
        field->setEnabled(checked);
        field->setStyleSheet(checked ? styleOpen : styleClosed);
    }
    if (!checked) {
        saveStateAfterUncheck();
        return;
    }
    if (passwordSet)
        showCurrentPassword(true);
    ui->pushButton_save->setEnabled(true);
}

void manage_account::on_lineEdit_securityQ_textChanged(const QString &text)
{
    workingQuestion = text;
    questionAnswerComplete = !workingQuestion.isEmpty() && !workingAnswer.isEmpty();
    ui->pushButton_save->setEnabled(questionAnswerComplete);
}

void manage_account::on_lineEdit_securityA_textChanged(const QString &text)
{
    workingAnswer = text;
    questionAnswerComplete = !workingQuestion.isEmpty() && !workingAnswer.isEmpty();
    ui->pushButton_save->setEnabled(questionAnswerComplete);
}

bool manage_account::saveLoginState()
{
    if (!loginStateChanged)
        return false;
    if (!currentVerified) {
        message(QStringLiteral(" # login status changed, but not saved"));
        message(QStringLiteral("   password verification failed"));
        return false;
    }
    if (!settings_writeLoginEnabled()) {
        message(QStringLiteral(" # login status changed, but not saved"));
        message(QStringLiteral("   the settings could not be written"));
        return false;
    }
    message(workingLoginEnabled ? QStringLiteral(">>  Login enabled")
                                : QStringLiteral(">>  Login disabled"));
    showCurrentPassword(false);
    return true;
}

bool manage_account::saveUsername()
{
    if (workingUsername == storedUsername)
        return false;
    if (workingUsername.isEmpty()) {
        // An account without a name could never be logged into.
        message(QStringLiteral(" #  New username not saved"));
        return false;
    }
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("Manage Account Settings"));
    box.setText(QStringLiteral("Username has changed.\nSave new username [ ") + workingUsername
                + QStringLiteral(" ]?"));
    QPushButton *save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    if (box.clickedButton() != save) {
        message(QStringLiteral(" #  New username not saved"));
        return false;
    }
    if (!settings_writeUsername()) {
        message(QStringLiteral(" #  New username not saved"));
        message(QStringLiteral("   the settings could not be written"));
        return false;
    }
    message(QStringLiteral(">>  New username set"));
    ui->label_usernameCurrent_msg->clear();
    return true;
}

bool manage_account::savePassword()
{
    if (!passwordChangeOpen)
        return false;
    const bool needsCurrent = passwordSet && !currentVerified;
    if (!newVerified || needsCurrent) {
        message(QStringLiteral(" #  New password not saved"));
        if (needsCurrent)
            message(QStringLiteral("   password verification failed"));
        return false;
    }
    if (!settings_writePassword()) {
        message(QStringLiteral(" #  New password not saved"));
        message(QStringLiteral("   the settings could not be written"));
        return false;
    }
    message(QStringLiteral(">>  New password set"));
    return true;
}

bool manage_account::saveSecurityQA()
{
    if (!questionAnswerOpen)
        return false;
    const bool needsCurrent = passwordSet && !currentVerified;
    if (!questionAnswerComplete || needsCurrent) {
        message(QStringLiteral(" #  New security Q&A not saved"));
        if (needsCurrent)
            message(QStringLiteral("   password verification failed"));
        return false;
    }
    if (!settings_writeSecurityQ()) {
        message(QStringLiteral(" #  New security Q&A not saved"));
        message(QStringLiteral("   the settings could not be written"));
        return false;
    }
    message(QStringLiteral(">>  New security Q&A set"));
    return true;
}

void manage_account::on_pushButton_save_clicked()
{
    message(QStringLiteral("----------"));
    bool saved = saveLoginState();
    saved = saveUsername() || saved;
    saved = savePassword() || saved;
    saved = saveSecurityQA() || saved;
    if (!saved)
        message(QStringLiteral(">> Nothing to save"));
    settings_writeMain();
}

void manage_account::on_pushButton_close_clicked()
{
    settings_writeMain();
    close();
}
