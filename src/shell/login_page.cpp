#include "login_page.h"
#include "ui_login_page.h"

#include "login_account.h"
#include "message_pane.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>

namespace {
constexpr char styleBrand[] = "font: regular; font-size: 32px; color: #690900;";
constexpr char styleCaption[] = "font: regular; font-size: 16px;";
constexpr char styleMaker[] = "font: regular; font-size: 24px; color: #690900;";
constexpr char styleWeb[] = "font: regular; font-size: 18px;";
constexpr char styleRule[] = "font: regular; font-size: 14px;";
} // namespace

login_page::login_page(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::login_page)
{
    ui->setupUi(this);
    ui->label_vek7->setStyleSheet(styleBrand);
    ui->label_vek7cap->setStyleSheet(styleCaption);
    ui->label_tarlowlabs->setStyleSheet(styleMaker);
    ui->label_www->setStyleSheet(styleWeb);
    ui->label_version->setStyleSheet(styleCaption);
    ui->label_logo->setPixmap(QPixmap(QStringLiteral(":/collection/logo-tarlow.png")));
    ui->label_logo->setScaledContents(true);
    ui->label_installer->hide();
    ui->textEdit_loginMessage->setReadOnly(true);
    ui->pushButton_Login->setEnabled(false);
    ui->pushButton_createSave->setEnabled(false);
    setup();
    ui->stackedWidget->setCurrentWidget(ui->page0_login);
}

login_page::~login_page()
{
    delete ui;
}

QString login_page::hashPassword(const QString &password)
{
    return login_account::digest(password);
}

void login_page::setup()
{
    ui->checkBox_loginEnabled->setEnabled(true);
    ui->label_password_rule->setStyleSheet(styleRule);
    ui->label_password_rule->setText(QStringLiteral("8+ alphanumeric\ncharacters"));

    attempts = 0;
    wrongAnswers = 0;
    storedLoginLock = false;

    // Create sub-page.
    ui->checkBox_password->setEnabled(false);
    ui->checkBox_password->setChecked(false);
    for (QLineEdit *field :
         {ui->lineEdit_password, ui->lineEdit_createPassword, ui->lineEdit_createPassword_verify})
        field->setEchoMode(QLineEdit::Password);
    ui->lineEdit_createUsername->clear();
    ui->lineEdit_createPassword->clear();
    ui->lineEdit_createPassword_verify->clear();
    ui->textEdit_passwordClue->clear();
    ui->lineEdit_securityQuestion->clear();
    ui->lineEdit_securityQAnswer->clear();

    // Verification sub-page.
    ui->checkBox_verifyPassword->setEnabled(false);
    ui->checkBox_verifyPassword->setChecked(false);
    ui->lineEdit_verifyCount->clear();
    ui->lineEdit_verifyPassword->setEchoMode(QLineEdit::Password);
    ui->lineEdit_verifyPassword_verify->setEchoMode(QLineEdit::Password);
    for (QLineEdit *field : {ui->lineEdit_verifyUsername, ui->lineEdit_verifyStatus,
                             ui->lineEdit_verifyCount, ui->lineEdit_recordQ})
        field->setReadOnly(true);
    verifyCloseAnswer();
    ui->pushButton_resetLogin->setEnabled(false);
    ui->pushButton_createSave->setEnabled(false);

    // Login sub-page and the working values.
    ui->checkBox_saveInfo->setChecked(false);
    saveInfo = false;
    ui->lineEdit_username->clear();
    ui->lineEdit_password->clear();
    ui->label_username_set_msg->clear();
    ui->label_passwordVerify_msg->clear();
    enteredUsername.clear();
    enteredHash.clear();
    repeatedHash.clear();
    workingClue.clear();
    workingQuestion.clear();
    workingAnswer.clear();
    createPasswordValid = false;
    passwordsVerified = false;
    clueSet = false;
    questionAnswerSet = false;

    settings_read();
    ui->lineEdit_recordQ->setText(storedQuestion);

    ui->pushButton_loginCreate->show();
    ui->pushButton_loginCreate->setEnabled(true);
    if (!loginEnabled) {
        ui->label_username->setStyleSheet(QStringLiteral("color: #aaa"));
        ui->label_password->setStyleSheet(QStringLiteral("color: #aaa"));
        ui->lineEdit_username->setEnabled(false);
        ui->lineEdit_password->setEnabled(false);
        ui->pushButton_Login->setEnabled(true);
        ui->pushButton_Login->setText(QStringLiteral("Start"));
        ui->textEdit_loginMessage->setPlainText(QStringLiteral("LOGIN DISABLED"));
        message_pane::append(ui->textEdit_loginMessage,
                             QStringLiteral("proceed using the START button"));
        ui->checkBox_saveInfo->setEnabled(false);
        ui->pushButton_loginCreate->setEnabled(storedUsername.isEmpty());
        ui->pushButton_loginCreate->setVisible(storedUsername.isEmpty());
        ui->lineEdit_username->setToolTip(
            QStringLiteral("User account is inactive\nUsername entry is not required"));
        ui->lineEdit_password->setToolTip(
            QStringLiteral("User account is inactive\nPassword entry is not required"));
        ui->pushButton_Login->setToolTip(
            QStringLiteral("User account is inactive\nStart without username and password"));
        ui->checkBox_loginEnabled->setChecked(false);
    } else {
        ui->label_username->setStyleSheet(QStringLiteral("color: #690900"));
        ui->label_password->setStyleSheet(QStringLiteral("color: #690900"));
        ui->lineEdit_username->setEnabled(true);
        ui->lineEdit_password->setEnabled(true);
        ui->pushButton_Login->setEnabled(false);
        ui->pushButton_Login->setText(QStringLiteral("Login"));
        ui->textEdit_loginMessage->setPlainText(QStringLiteral("LOGIN ENABLED"));
        message_pane::append(ui->textEdit_loginMessage,
                             QStringLiteral("enter username and password to proceed"));
        ui->checkBox_saveInfo->setEnabled(true);
        ui->pushButton_loginCreate->setEnabled(false);
        ui->pushButton_loginCreate->hide();
        ui->lineEdit_username->setToolTip(QStringLiteral("Enter user name"));
        ui->lineEdit_password->setToolTip(QStringLiteral("Enter password"));
        ui->pushButton_Login->setToolTip(QStringLiteral("Login with username and password"));
        ui->checkBox_loginEnabled->setChecked(true);
    }

    if (loginEnabled && storedSaveInfo) {
        // The saved login: the fields hold the stored name and digest themselves.
        ui->checkBox_saveInfo->setChecked(true);
        ui->lineEdit_username->setText(storedUsername);
        ui->lineEdit_password->setText(storedHash);
        enteredHash = storedHash;
        ui->pushButton_Login->setEnabled(true);
    }

    createSwitch(loginEnabled);

    ui->pushButton_loginCreate->setToolTip(QStringLiteral("Create or activate user account"));
    ui->label_version->setText(QStringLiteral("version ") + gl.version_simulator());
    ui->stackedWidget->setCurrentWidget(ui->page0_login);
}

void login_page::settings_read()
{
    QSettings settings;
    settings.beginGroup(login_account::groupLogin);
    loginEnabled = settings.value(login_account::keyLoginEnabled).toBool();
    storedUsername = settings.value(login_account::keyUsername).toString();
    storedHash = settings.value(login_account::keyPassword).toString();
    storedClue = settings.value(login_account::keyPasswordClue).toString();
    storedQuestion = settings.value(login_account::keySecurityQ).toString();
    storedAnswer = settings.value(login_account::keySecurityA).toString();
    storedLoginLock = settings.value(login_account::keyLoginLock).toBool();
    storedSaveInfo = settings.value(login_account::keySaveInfo).toBool();
    const QByteArray geometry = settings.value(login_account::keyGeometry).toByteArray();
    settings.endGroup();

    enteredUsername = storedUsername;
    workingClue = storedClue;
    workingQuestion = storedQuestion;
    workingAnswer = storedAnswer;

    // Inside the main window's page stack the layout places the page; moving it
    // there would shift it out of view.
    if (isWindow()) {
        restoreGeometry(geometry);
        scrInfo.scrPosition_center(this);
    }
}

void login_page::writeSaveInfo(bool loginSucceeded)
{
    QSettings settings;
    settings.beginGroup(login_account::groupLogin);
    if (loginSucceeded || !saveInfo)
        settings.setValue(login_account::keySaveInfo, saveInfo);
    settings.setValue(login_account::keyGeometry, saveGeometry());
    settings.endGroup();
    settings.sync();
}

void login_page::settings_write()
{
    writeSaveInfo(false);
}

bool login_page::settings_login_write()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.beginGroup(login_account::groupLogin);
    if (!saveInfo)
        settings.setValue(login_account::keySaveInfo, false);
    settings.setValue(login_account::keyLoginEnabled, loginEnabled);
    settings.setValue(login_account::keyUsername, enteredUsername);
    settings.setValue(login_account::keyPassword, enteredHash);
    settings.setValue(login_account::keyPasswordClue, workingClue);
    settings.setValue(login_account::keyLoginLock, storedLoginLock);
    settings.setValue(login_account::keySecurityQ, workingQuestion);
    settings.setValue(login_account::keySecurityA, workingAnswer);
    settings.endGroup();
    return login_account::commit(settings, before);
}

bool login_page::settings_reset()
{
    QSettings settings;
    const auto before = login_account::values(settings);
    settings.clear();
    return login_account::commit(settings, before);
}

void login_page::on_lineEdit_username_textChanged(const QString &text)
{
    enteredUsername = text;
}

void login_page::on_lineEdit_password_textChanged(const QString &text)
{
    enteredHash = hashPassword(text);
    ui->pushButton_Login->setEnabled(true);
}

void login_page::on_lineEdit_password_returnPressed()
{
    login();
}

void login_page::on_pushButton_Login_clicked()
{
    login();
}

void login_page::login()
{
    ++attempts;
    if (!loginEnabled) {
        writeSaveInfo(true);
        emit signal_login_verified();
        return;
    }

    // The name as typed: an empty field never stands for the stored user.
    const QString typedName = ui->lineEdit_username->text();
    const bool nameOk = !typedName.isEmpty() && typedName == storedUsername;
    const bool passwordOk = login_account::digestsMatch(storedHash, enteredHash);
    if (nameOk && passwordOk) {
        ui->textEdit_loginMessage->setPlainText(QStringLiteral("LOGIN SUCCESSFUL"));
        writeSaveInfo(true);
        emit signal_login_verified();
        return;
    }

    QTextEdit *pane = ui->textEdit_loginMessage;
    pane->setPlainText(QStringLiteral("LOGIN ERROR :"));
    if (!nameOk)
        message_pane::append(pane, QStringLiteral("  incorrect username"));
    if (!passwordOk)
        message_pane::append(pane, QStringLiteral("  incorrect password"));
    message_pane::append(pane, QStringLiteral("  attempt : ") + QString::number(attempts));
    if (attempts >= attemptsBeforeClue) {
        message_pane::append(pane, QStringLiteral(" "));
        message_pane::append(pane, QStringLiteral("LOGIN CLUE : "));
        message_pane::append(pane, QStringLiteral(" ") + storedClue);
    }
    if (attempts >= attemptsBeforeVerify) {
        settings_read();
        ui->lineEdit_recordQ->setText(storedQuestion);
        ui->stackedWidget->setCurrentWidget(ui->page2_verifyQA);
    }
    ui->pushButton_loginCreate->hide();
    settings_write();
    emit signal_login_failed();
}

void login_page::on_checkBox_saveInfo_stateChanged(int state)
{
    saveInfo = state == Qt::Checked;
}

void login_page::on_pushButton_Quit_clicked()
{
    settings_write();
    close();
    QCoreApplication::quit();
}

void login_page::on_pushButton_resetLogin_clicked()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("WINDOW_MAIN"));
    const int wx = settings.value(QStringLiteral("wx")).toInt();
    const int wy = settings.value(QStringLiteral("wy")).toInt();
    settings.endGroup();

    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("Reset Login"));
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral(
        "This will reset all current settings and remove existing database.\n\nReset?"));
    QPushButton *reset = box.addButton(QStringLiteral("Reset"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.move(wx + 100, wy + 150);
    box.exec();
    if (box.clickedButton() != reset) {
        qDebug() << "LP  cancel login account reset";
        return;
    }

    qDebug() << "LP: reset login account";
    if (!settings_reset()) {
        ui->lineEdit_verifyStatus->setText(
            QStringLiteral("reset failed: the settings could not be written"));
        return;
    }
    ui->lineEdit_username->clear();
    ui->lineEdit_password->clear();
    ui->pushButton_loginCreate->show();
    close();
    QCoreApplication::quit();
}
