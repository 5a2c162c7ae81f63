// What the main window does for its pages and menus: page changes, saves of the
// configuration, the database checks, and the windows it opens.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "app_folder.h"
#include "install_check.h"
#include "login_page.h"
#include "manage_account.h"
#include "setup.h"
#include "simfile.h"

#include "dbmanager.h"
#include "dbparse_driver.h"
#include "doc_about.h"
#include "jsdbfile_mgr.h"
#include "pdfWindow.h"
#include "return_codes.h"
#include "sbatch.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

namespace {

/// Runs the YES/NO question of the database checks; true for "YES".
bool askInstall(QWidget *near, const QString &text)
{
    QMessageBox box;
    QPushButton *yes = box.addButton(QStringLiteral("YES"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("NO"), QMessageBox::ActionRole);
    box.setText(text);
    box.move(near->pos() + QPoint(120, 150));
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

// ---- login and pages ------------------------------------------------------------

void MainWindow::login_verified()
{
    mainWindow_mainPage();
}

void MainWindow::login_failed() { }

void MainWindow::on_pushButton_Speciation_clicked()
{
    ui->toolBar->hide();
    simType = 0;
    emit signal_settings_ui_update();
    simfileWin->set_simType(simType);
    show_page(simfileWin, scrInfo.simfile_width(), scrInfo.simfile_height());
}

void MainWindow::on_actionBatch_Speciation_triggered()
{
    // Like the button it stands for: only from the main menu, with the database in place.
    if (currentPage() == ui->page_mainWindow && ui->pushButton_Speciation->isEnabled())
        on_pushButton_Speciation_clicked();
}

void MainWindow::on_actionOpen_triggered()
{
    QWidget *page = currentPage();
    if (page != simfileWin
        && !(page == ui->page_mainWindow && ui->pushButton_Speciation->isEnabled()))
        return;
    on_pushButton_Speciation_clicked();
    simfileWin->mainWindow_openConfigFile();
}

QWidget *MainWindow::currentPage() const
{
    return ui->stackedWidget->currentWidget();
}

void MainWindow::simfile_close()
{
    mainWindow_mainPage();
}

void MainWindow::simfile_setup()
{
    setupWin->set_simType(simType, simfileWin->retrieve_jsdb(), simfileWin->retrieve_dbdata(),
                          simfileWin->retrieve_sbatch());
    // The workspace holds the new configuration now; what it held before may go.
    simfileWin->setup_holds_current();
    show_page(setupWin, scrInfo.setup_width(), scrInfo.setup_height());
    setupWin->settings_read();
    setupWin->setup_system();
}

void MainWindow::setup_close()
{
    simfileWin->setup_closed();
    show_page(simfileWin, scrInfo.simfile_width(), scrInfo.simfile_height());
}

void MainWindow::on_pushButton_Exit_clicked()
{
    mainWindow_exit();
}

void MainWindow::mainWindow_exit()
{
    settings_write();
    ui->toolBar->hide();
    ui->toolBar->setEnabled(false);
    // Logged out, nobody may change the database files.
    if (dbManager)
        dbManager->hide();
    if (dbParser)
        dbParser->hide();
    simfileWin->hide_utilities();
    loginPage->setup();
    show_page(loginPage, scrInfo.login_width(), scrInfo.login_height());
}

void MainWindow::on_pushButton_MWQuit_clicked()
{
    settings_write();
    // A close refused (unsaved changes kept) keeps the program running, asked once.
    if (close())
        QCoreApplication::quit();
}

void MainWindow::on_actionQuit_triggered()
{
    if (close())
        QCoreApplication::quit();
}

void MainWindow::menuSetting_Display_triggered() { }

void MainWindow::menuSetting_Control_triggered() { }

void MainWindow::menuSetting_Account_triggered()
{
    manage_account dialog(this);
    dialog.setWindowTitle(QStringLiteral("Manage Account Settings"));
    dialog.exec();
}

// ---- saving -----------------------------------------------------------------------

bool MainWindow::write_batch(sbatch *batch)
{
    jsdbfile_mgr *writer = simfileWin->retrieve_jsdb();
    if (!batch || !writer)
        return false;
    const QString file = batch->sdata->file;
    if (writer->jsdbfile_json_save(batch) == return_codes::success)
        return true;
    QMessageBox::critical(this, QStringLiteral("Save Configuration File"),
                          QStringLiteral("The configuration could not be saved to\n[ ") + file
                              + QStringLiteral(" ]\n\n")
                              + writer->messages().join(QLatin1Char('\n')));
    return false;
}

void MainWindow::simfile_save()
{
    sbatch *batch = simfileWin->retrieve_sbatch();
    if (!write_batch(batch)) {
        simfileWin->save_failed();
        return;
    }
    gl.settings_write_jsdbPath(batch->sdata->file);
}

void MainWindow::setup_save()
{
    sbatch *batch = setupWin->retrieve_sbatch();
    simfileWin->update_batch(batch);
    if (!write_batch(batch)) {
        setupWin->save_failed();
        return;
    }
    const QString file = batch->sdata->file;
    qDebug() << "MW: jsdb filePathName_jsdb : " << file;
    gl.settings_write_jsdbPath(file);
    simfileWin->adjustForCurrentFile(file);
    emit signal_update_simfile();
}

// ---- database checks ----------------------------------------------------------------

bool MainWindow::install_defaultDatabase()
{
    dbmanager manager;
    app_folder::apply(&manager);
    const bool ok = manager.set_DBDefault_locations_extCall() && manager.verify_databaseTypeSet();
    if (!ok) {
        QStringList reasons;
        for (const QString &line : manager.messageLines())
            if (line.contains(QLatin1String("##")))
                reasons << line;
        QMessageBox::warning(
            this, QString(),
            QStringLiteral("The default database files could not be installed.\n\n")
                + reasons.join(QLatin1Char('\n')));
    }
    return ok;
}

void MainWindow::verify_dbmgr_status()
{
    {
        dbmanager manager;
        app_folder::apply(&manager);
        if (manager.verify_databaseTypeSet()) {
            set_speciationEnabled(true);
            return;
        }
    }
    set_speciationEnabled(false);
    bool installed = false;
    if (askInstall(this,
                   QStringLiteral("Thermodynamic database files could not be located.\n"
                                  "Reinstall database ?"))) {
        installed = install_defaultDatabase();
        qDebug() << "MW: DB default locations set.";
    } else {
        QMessageBox::warning(
            this, QString(),
            QStringLiteral(
                "Use Database Manager to set databases and their locations before proceeding."));
    }
    set_speciationEnabled(installed);
}

void MainWindow::firstInstall_patch()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("VEK7.EQ"));
    const QString type = settings.value(QStringLiteral("vek7type")).toString();
    settings.value(QStringLiteral("versionVek7"));
    settings.value(QStringLiteral("tagCompilation"));
    settings.value(QStringLiteral("versionDB"));
    settings.value(QStringLiteral("formatJSDB"));
    if (type.isEmpty()) {
        install_check dialog;
        if (dialog.exec() == QDialog::Accepted) {
            settings.setValue(QStringLiteral("vek7type"), QStringLiteral("vek7.eq"));
            settings.setValue(QStringLiteral("versionVek7"), gl.version_simulator());
            settings.setValue(QStringLiteral("tagCompilation"), gl.tag_compilation());
            settings.setValue(QStringLiteral("versionDB"), gl.version_database());
            settings.setValue(QStringLiteral("formatJSDB"), gl.default_format_jsdb());
        }
    }
    settings.endGroup();
    settings.sync();

    {
        dbmanager manager;
        app_folder::apply(&manager);
        if (manager.verify_databaseTypeSet())
            return;
    }
    set_speciationEnabled(false);
    bool installed = false;
    if (askInstall(this,
                   QStringLiteral("Thermodynamic database files were not found on this "
                                  "computer.\n\nEither this is the first-time installation of "
                                  "this program or it has been moved from its pre-set "
                                  "location.\n\nInstall database ?"))) {
        installed = install_defaultDatabase();
    } else {
        QMessageBox::warning(this, QString(),
                             QStringLiteral("Use Database Manager to set databases and their "
                                            "locations before starting simulations."));
    }
    set_speciationEnabled(installed);
}

// ---- utilities ------------------------------------------------------------------------

void MainWindow::on_pushButton_DBManager_clicked()
{
    on_actionDatabase_Manager_triggered();
}

void MainWindow::on_actionDatabase_Manager_triggered()
{
    if (!dbManager) {
        dbManager = new dbmanager(this);
        app_folder::apply(dbManager);
        connect(dbManager, &dbmanager::signal_dbmgr_updated, this,
                &MainWindow::verify_dbmgr_status);
        dbManager->show();
    } else {
        if (!dbManager->isVisible())
            dbManager->show();
        dbManager->raise();
    }
    dbManager->settings_read();
}

void MainWindow::on_actionDatabase_Parser_triggered()
{
    if (!dbParser) {
        dbParser = new dbparse_driver(this);
        dbParser->show();
    } else {
        if (!dbParser->isVisible())
            dbParser->show();
        dbParser->raise();
    }
    dbParser->settings_read();
}

// ---- document viewers --------------------------------------------------------------------

void MainWindow::docAbout_open()
{
    if (docAbout && !docAbout->isHidden()) {
        docAbout->raise();
    } else {
        delete docAbout;
        docAbout = new doc_about;
        docAbout->setAttribute(Qt::WA_DeleteOnClose);
        connect(docAbout, &doc_about::signal_docAbout_close, this, &MainWindow::docAbout_close);
        docAbout->setup_about();
        docAbout->show();
    }
    docAbout->setWindowTitle(QStringLiteral("Documents Viewer: About Vek7"));
}

void MainWindow::docAbout_close()
{
    if (docAbout)
        docAbout->close();
    docAbout = nullptr;
}

void MainWindow::docUserguide_open()
{
    if (docUserguide && !docUserguide->isHidden()) {
        docUserguide->raise();
        return;
    }
    delete docUserguide;
    docUserguide = new pdfWindow;
    docUserguide->setAttribute(Qt::WA_DeleteOnClose);
    docUserguide->set_identifier(QStringLiteral("userguide"));
    docUserguide->show();
    docUserguide->open(
        QUrl::fromLocalFile(QStringLiteral(":/userguide/vek7-userguide-v1-0-2a.pdf")));
}

void MainWindow::docUserguide_close()
{
    if (docUserguide)
        docUserguide->close();
    docUserguide = nullptr;
}
