#include "install_check.h"
#include "ui_install_check.h"

#include "app_folder.h"
#include "message_pane.h"

#include <QDebug>
#include <QPixmap>

install_check::install_check(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::install_check)
{
    ui->setupUi(this);
    app_folder::apply(&dbMgr);

    ui->pushButton_continue->setAutoDefault(false);
    ui->pushButton_setDB->setAutoDefault(false);
    ui->pushButton_setDB_skip->setAutoDefault(false);

    // Skip and OK take turns in one place at the bottom of the dialog.
    ui->gridLayout_buttons->addWidget(ui->pushButton_setDB_skip, 0, 2);
    ui->pushButton_continue->hide();

    ui->label_logoVek7->setPixmap(QPixmap(QStringLiteral(":/collection/logo-vek7eq-icon.png")));
    ui->textEdit_installMsg->setReadOnly(true);
    ui->label_header->setText(QStringLiteral("Vek7.EQ Installer"));
    ui->label_header->setStyleSheet(QStringLiteral("font: bold; font-size: 20px;"));
    ui->label_version->setText(gl.version_simulator());
    ui->label_installerMsg->setText(QStringLiteral("Getting Started"));
    ui->label_installerMsg->setStyleSheet(QStringLiteral("font: bold; font-size: 16px;"));

    // The files recorded in the settings, as they are now: a database installed
    // on an earlier start whose record was not written is not offered again.
    if (dbMgr.verify_databaseTypeSet()) {
        handler_userAccount();
        const QString found = dbMgr.file_DBRef.value(dbMgr.idx_DBType);
        ui->textEdit_installMsg->setPlainText(
            QStringLiteral("Initializing this program ...\n\nThermodynamic database files were "
                           "found on this computer:\n%1\n\n")
                .arg(found)
            + ui->textEdit_installMsg->toPlainText());
        return;
    }

    ui->pushButton_setDB->setEnabled(true);
    ui->pushButton_setDB_skip->setEnabled(true);
    ui->pushButton_setDB_skip->show();
    ui->textEdit_installMsg->setText(
        QStringLiteral("Initializing this program ...\n\nThermodynamic database files were not "
                       "found on this computer.\n\nEither this is the first-time installation of "
                       "this program or it has been moved from its pre-set location.\n\nInstall "
                       "database ?"));
}

install_check::~install_check()
{
    delete ui;
}

void install_check::on_pushButton_setDB_clicked()
{
    installed = dbMgr.set_DBDefault_locations_extCall() && dbMgr.verify_databaseTypeSet();
    qDebug() << "MW: DB default locations set.";
    handler_userAccount();
    if (!installed) {
        // The account hint follows either way; a failed installation must not
        // pass for a done one.
        message_pane::append(
            ui->textEdit_installMsg,
            QStringLiteral("\nThe default database files could not be installed:"));
        QStringList reasons;
        for (const QString &line : dbMgr.messageLines())
            if (line.contains(QLatin1String("##")))
                reasons << line;
        for (const QString &line : reasons.isEmpty() ? dbMgr.messageLines() : reasons)
            message_pane::append(ui->textEdit_installMsg, line);
    }
}

void install_check::on_pushButton_setDB_skip_clicked()
{
    handler_userAccount();
}

void install_check::on_pushButton_continue_clicked()
{
    accept();
}

void install_check::handler_userAccount()
{
    ui->pushButton_continue->setEnabled(true);
    ui->pushButton_continue->show();
    ui->pushButton_setDB->setEnabled(false);
    ui->pushButton_setDB->hide();
    ui->pushButton_setDB_skip->setEnabled(false);
    ui->pushButton_setDB_skip->hide();
    ui->textEdit_installMsg->setText(QStringLiteral(
        "It is not necessary to set up a user account to use this program. Setting up a user "
        "account will prevent unauthorized access.\n\nTo create a single-user account use the "
        "'Create Account' button on the login page.\n\nOtherwise, proceed by selecting the "
        "'Login' or  'Start' button.\n\nYou can move and resize any of the windows. The new "
        "location and size will be saved."));
}
