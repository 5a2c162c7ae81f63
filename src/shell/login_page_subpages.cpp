// The create and verification sub-pages of the login page.
#include "login_page.h"
#include "ui_login_page.h"

#include "login_account.h"

#include <QDebug>
#include <QSettings>
#include <QSignalBlocker>

namespace {
constexpr char ruleText[] = "8+ alphanumeric\ncharacters";
constexpr char ruleBroken[] = "non-alphanumeric\ncharacter";
} // namespace

void login_page::on_pushButton_loginCreate_clicked()
{
    settings_read();
    createLoginEnabledBefore = loginEnabled;
    ui->stackedWidget->setCurrentWidget(ui->page1_createUser);
}

void login_page::on_checkBox_loginEnabled_clicked(bool checked)
{
    createSwitch(checked);
}

void login_page::createSwitch(bool on)
{
    const QList<QLineEdit *> lines = {ui->lineEdit_createUsername, ui->lineEdit_createPassword,
                                      ui->lineEdit_createPassword_verify,
                                      ui->lineEdit_securityQuestion, ui->lineEdit_securityQAnswer};
    if (on) {
        // Filling the fields runs their handlers, which take the stored values in.
        ui->lineEdit_createUsername->setText(storedUsername);
        ui->lineEdit_securityQuestion->setText(storedQuestion);
        ui->lineEdit_securityQAnswer->setText(storedAnswer);
        ui->textEdit_passwordClue->setPlainText(storedClue);
    }
    loginEnabled = on;
    for (QLineEdit *field : lines) {
        field->setEnabled(on);
        field->setStyleSheet(on ? QStringLiteral("background:#f6f6f6;")
                                : QStringLiteral("background:#eee;"));
    }
    ui->textEdit_passwordClue->setEnabled(on);
    ui->textEdit_passwordClue->setStyleSheet(on ? QStringLiteral("background:#f6f6f6")
                                                : QStringLiteral("background:#eee"));
    createSaveState();
}

void login_page::createSaveState()
{
    // Save is offered only for a press that would store the account.
    ui->pushButton_createSave->setEnabled(loginEnabled && passwordsVerified && clueSet
                                          && questionAnswerSet && !enteredUsername.isEmpty());
}

void login_page::on_lineEdit_createUsername_textChanged(const QString &text)
{
    ui->label_username_set_msg->clear();
    if (!text.isEmpty() && !login_account::isAlphanumeric(text)) {
        const QSignalBlocker block(ui->lineEdit_createUsername);
        ui->lineEdit_createUsername->setText(enteredUsername);
        ui->label_username_set_msg->setText(QStringLiteral("alpha-numeric keys only"));
    } else {
        enteredUsername = text;
    }
    createSaveState();
}

void login_page::on_lineEdit_createPassword_textChanged(const QString &text)
{
    ui->label_password_rule->setText(ruleText);
    if (!login_account::isAlphanumeric(text))
        ui->label_password_rule->setText(ruleBroken);
    enteredHash = hashPassword(text);
    createPasswordValid = login_account::isValidPassword(text);
    ui->checkBox_password->setChecked(createPasswordValid);
    createCompare();
}

void login_page::on_lineEdit_createPassword_verify_textChanged(const QString &text)
{
    repeatedHash = hashPassword(text);
    createCompare();
}

void login_page::createCompare()
{
    // The account's password must satisfy the rule here as everywhere else.
    passwordsVerified = createPasswordValid && enteredHash == repeatedHash;
    ui->label_passwordVerify_msg->setText(passwordsVerified ? QStringLiteral("verified")
                                                            : QStringLiteral("not verified"));
    createSaveState();
}

void login_page::on_textEdit_passwordClue_textChanged()
{
    workingClue = ui->textEdit_passwordClue->toPlainText();
    clueSet = !workingClue.isEmpty();
    createSaveState();
}

void login_page::on_lineEdit_securityQuestion_textChanged(const QString &text)
{
    workingQuestion = text;
    questionAnswerSet = !workingQuestion.isEmpty() && !workingAnswer.isEmpty();
    createSaveState();
}

void login_page::on_lineEdit_securityQAnswer_textChanged(const QString &text)
{
    workingAnswer = text;
    questionAnswerSet = !workingQuestion.isEmpty() && !workingAnswer.isEmpty();
    createSaveState();
}

void login_page::on_pushButton_createSave_clicked()
{
    if (!loginEnabled) {
        qDebug() << "LP: Incomplete entries: LOGIN details not saved";
        return;
    }
    if (!(passwordsVerified && clueSet && questionAnswerSet) || enteredUsername.isEmpty()) {
        createSaveState();
        qDebug() << "LP: #### Incomplete entries: LOGIN details not saved";
        return;
    }
    if (!settings_login_write()) {
        ui->label_saveCheck->setText(
            QStringLiteral("Account not saved: the settings could not be written"));
        return;
    }
    ui->label_saveCheck->setText(QStringLiteral("All fields must be set"));
    setup();
    ui->stackedWidget->setCurrentWidget(ui->page0_login);
}

void login_page::on_pushButton_createCancel_clicked()
{
    if (!createLoginEnabledBefore) {
        ui->checkBox_loginEnabled->setChecked(false);
        createSwitch(false);
        ui->lineEdit_createUsername->clear();
        ui->lineEdit_createPassword->clear();
        ui->lineEdit_createPassword_verify->clear();
        ui->textEdit_passwordClue->clear();
        ui->lineEdit_securityQuestion->clear();
        ui->lineEdit_securityQAnswer->clear();
        createPasswordValid = false;
        passwordsVerified = false;
        clueSet = false;
        questionAnswerSet = false;
        createSaveState();
    } else {
        ui->checkBox_loginEnabled->setChecked(true);
        createSwitch(true);
    }
    ui->stackedWidget->setCurrentWidget(ui->page0_login);
}

void login_page::on_lineEdit_responseA_editingFinished()
{
    const bool on = login_account::answersMatch(storedAnswer, ui->lineEdit_responseA->text());
    if (!on) {
        ++wrongAnswers;
        ui->lineEdit_verifyStatus->setText(QStringLiteral("incorrect"));
        ui->lineEdit_verifyCount->setText(QString::number(wrongAnswers));
        if (wrongAnswers >= answersBeforeReset)
            ui->pushButton_resetLogin->setEnabled(true);
    } else {
        ui->lineEdit_verifyStatus->clear();
        ui->lineEdit_verifyCount->clear();
        wrongAnswers = 0;
        ui->lineEdit_verifyUsername->setText(storedUsername);
    }
    ui->lineEdit_verifyPassword->setEnabled(on);
    ui->lineEdit_verifyPassword_verify->setEnabled(on);
    ui->textEdit_verifyClue->setEnabled(on);
    verifySaveState();
}

void login_page::on_lineEdit_verifyPassword_textChanged(const QString &text)
{
    ui->label_password_rule_2->setText(ruleText);
    if (!login_account::isAlphanumeric(text))
        ui->label_password_rule_2->setText(ruleBroken);
    // Only a replacement the rule accepts may be stored; anything else forgets
    // the last one, so Save never stores a password other than the one shown.
    const bool valid = login_account::isValidPassword(text);
    verifyHash = valid ? hashPassword(text) : QString();
    ui->checkBox_verifyPassword->setChecked(valid);
    verifySaveState();
}

void login_page::on_lineEdit_verifyPassword_verify_textChanged(const QString &text)
{
    verifyRepeatHash = hashPassword(text);
    verifySaveState();
    ui->label_passwordVerify_msg_2->setText(verifyReady ? QStringLiteral("verified")
                                                        : QStringLiteral("not verified"));
}

void login_page::verifySaveState()
{
    verifyReady = !verifyHash.isEmpty() && verifyHash == verifyRepeatHash;
    ui->pushButton_verifySave->setEnabled(verifyReady && ui->lineEdit_verifyPassword->isEnabled());
}

void login_page::on_textEdit_verifyClue_textChanged()
{
    verifyClue = ui->textEdit_verifyClue->toPlainText();
}

void login_page::on_pushButton_verifySave_clicked()
{
    if (!verifyReady || !ui->lineEdit_verifyPassword->isEnabled())
        return;
    // An untouched clue field keeps the clue on record.
    const QString clue = verifyClue.isEmpty() ? storedClue : verifyClue;
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    settings.setValue(login_account::keyPassword, verifyHash);
    settings.setValue(login_account::keyPasswordClue, clue);
    settings.endGroup();
    if (!login_account::commit(settings, before)) {
        ui->lineEdit_verifyStatus->setText(
            QStringLiteral("not saved: the settings could not be written"));
        return;
    }
    storedHash = verifyHash;
    storedClue = clue;
    workingClue = clue;
    ui->lineEdit_verifyStatus->setText(QStringLiteral("new password saved"));
}

void login_page::on_pushButton_verifyExit_clicked()
{
    // A correct answer opens the page for this visit only.
    verifyCloseAnswer();
    ui->stackedWidget->setCurrentWidget(ui->page0_login);
}

void login_page::verifyCloseAnswer()
{
    for (QLineEdit *field : {ui->lineEdit_responseA, ui->lineEdit_verifyUsername,
                             ui->lineEdit_verifyStatus, ui->lineEdit_verifyPassword,
                             ui->lineEdit_verifyPassword_verify})
        field->clear();
    ui->textEdit_verifyClue->clear();
    for (QWidget *opened : {static_cast<QWidget *>(ui->lineEdit_verifyPassword),
                            static_cast<QWidget *>(ui->lineEdit_verifyPassword_verify),
                            static_cast<QWidget *>(ui->textEdit_verifyClue),
                            static_cast<QWidget *>(ui->pushButton_verifySave)})
        opened->setEnabled(false);
    verifyHash.clear();
    verifyRepeatHash.clear();
    verifyClue.clear();
    verifyReady = false;
}
