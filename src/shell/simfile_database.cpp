// Database selection and loading of the configuration-file window: the type
// and files set in the database manager, the control-set check boxes, Load.
#include "simfile.h"
#include "ui_simfile.h"

#include "app_folder.h"
#include "dbdata.h"
#include "dbmanager.h"
#include "dbparse_driver.h"
#include "jsdbfile_mgr.h"
#include "return_codes.h"
#include "sbatch.h"

#include <QAbstractItemView>
#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <QSignalBlocker>

namespace {

const char fileNotSet[] = " file not set";

} // namespace

void simfile::settings_read_dbManager()
{
    QSettings settings;
    dbTypesList.clear();
    settings.beginGroup(QStringLiteral("DEFAULT"));
    const int ntypes = settings.beginReadArray(QStringLiteral("DBTypes"));
    for (int i = 0; i < ntypes; ++i) {
        settings.setArrayIndex(i);
        dbTypesList << settings.value(QStringLiteral("aDBType")).toString();
    }
    settings.endArray();
    settings.endGroup();
    if (dbTypesList.isEmpty())
        dbTypesList = gl.dbtypes_list();

    settings.beginGroup(QStringLiteral("DB"));
    dbTypeIndex = settings.value(QStringLiteral("dbtype_index")).toInt();
    dbRefFiles.clear();
    dbUserFiles.clear();
    const int nfiles = settings.beginReadArray(QStringLiteral("file_DBTypes"));
    for (int i = 0; i < nfiles; ++i) {
        settings.setArrayIndex(i);
        dbRefFiles << settings.value(QStringLiteral("file")).toString();
        dbUserFiles << settings.value(QStringLiteral("user")).toString();
    }
    settings.endArray();
    settings.endGroup();

    if (nfiles == 0) {
        for (int i = 0; i < int(gl.dbtypes_list().size()); ++i) {
            dbRefFiles << QLatin1String(fileNotSet);
            dbUserFiles << QLatin1String(fileNotSet);
        }
    }
    // Every type has a file pair, so an index into the type list is one into these.
    while (dbRefFiles.size() < dbTypesList.size())
        dbRefFiles << QLatin1String(fileNotSet);
    while (dbUserFiles.size() < dbTypesList.size())
        dbUserFiles << QLatin1String(fileNotSet);
    if (dbTypeIndex < 0 || dbTypeIndex >= dbTypesList.size()) {
        qDebug() << "SF: ## database type index" << dbTypeIndex << "outside the type list; 0 used";
        dbTypeIndex = 0;
    }
}

void simfile::settings_ui_update()
{
    settings_read();
    settings_read_dbManager();

    QStringList shown;
    for (int i = 0; i < ui->comboBox_DBTypes->count(); ++i)
        shown << ui->comboBox_DBTypes->itemText(i);
    if (shown != dbTypesList) {
        const QSignalBlocker block(ui->comboBox_DBTypes);
        ui->comboBox_DBTypes->clear();
        ui->comboBox_DBTypes->addItems(dbTypesList);
        ui->comboBox_DBTypes->setCurrentIndex(-1);
    }
    const int index = dbTypeIndex;
    ui->comboBox_DBTypes->setCurrentIndex(index);
    select_dbType(index);

    disable_dbControls();
}

int simfile::select_dbType(int index)
{
    if (index < 0 || index >= dbRefFiles.size() || index >= dbUserFiles.size()) {
        qDebug() << "SF: ## database type index" << index << "outside the file lists; 0 used";
        index = 0;
    }
    dbref = dbRefFiles.value(index, QLatin1String(fileNotSet));
    dbuser = dbUserFiles.value(index, QLatin1String(fileNotSet));
    set_fileDBRef_fields(dbref);
    set_fileDBUser_fields(dbuser);
    return index;
}

void simfile::disable_dbControls()
{
    ui->checkBox_DBAccess->setEnabled(false);
    ui->checkBox_DBReload->setEnabled(false);
    ui->checkBox_DBReload->setChecked(false);
    // Until the next Open or New there is nothing here to load or save.
    set_fileActions(false, false);
    ui->comboBox_DBTypes->setEnabled(false);
    ui->checkBox_redox->setEnabled(false);
    ui->checkBox_organicCmpd->setEnabled(false);
}

void simfile::set_fileDBRef_fields(const QString &file)
{
    const QFileInfo info(file);
    ui->lineEdit_DBRef->setText(info.fileName());
    ui->comboBox_pathDBRef->clear();
    ui->comboBox_pathDBRef->addItem(QStringLiteral("Path"));
    ui->comboBox_pathDBRef->addItem(info.path());
    ui->comboBox_pathDBRef->view()->setMinimumWidth(
        ui->comboBox_pathDBRef->minimumSizeHint().width() + 10);
}

void simfile::set_fileDBUser_fields(const QString &file)
{
    const QFileInfo info(file);
    ui->lineEdit_DBUser->setText(info.fileName());
    ui->comboBox_pathDBUser->clear();
    ui->comboBox_pathDBUser->addItem(QStringLiteral("Path"));
    ui->comboBox_pathDBUser->addItem(info.path());
    ui->comboBox_pathDBUser->view()->setMinimumWidth(
        ui->comboBox_pathDBUser->minimumSizeHint().width() + 10);
}

void simfile::on_comboBox_DBTypes_currentIndexChanged(int index)
{
    // An emptied combo reports -1; there is no type to select then.
    if (index < 0 || index >= dbTypesList.size())
        return;
    dbReload = true;
    dbTypeIndex = select_dbType(index);
}

// ---- control-set check boxes ------------------------------------------------------

void simfile::on_checkBox_DBAccess_clicked(bool checked)
{
    if (!simBatch || !simBatch->sdata->ctrlset)
        return;
    simBatch->sdata->ctrlset->dbaccess = checked;
    if (checked) {
        ui->pushButton_Load->setText(QStringLiteral("Load Database"));
        ui->pushButton_Load->setToolTip(
            QStringLiteral("Load data from selected database files\nThis option active only if "
                           "configuration file\nhas been selected"));
        ui->comboBox_DBTypes->setEnabled(true);
    } else {
        ui->pushButton_Load->setText(QStringLiteral("Continue"));
        ui->pushButton_Load->setToolTip(QStringLiteral(
            "Continue to simulation configuration\nwithout loading data from database files"));
        ui->comboBox_DBTypes->setEnabled(false);
    }
    ui->checkBox_redox->setEnabled(true);
    ui->checkBox_organicCmpd->setEnabled(ui->checkBox_redox->isChecked());
}

void simfile::on_checkBox_redox_clicked(bool checked)
{
    if (!simBatch || !simBatch->sdata->ctrlset)
        return;
    simBatch->sdata->ctrlset->redox = checked;
    ui->checkBox_organicCmpd->setEnabled(checked);
}

void simfile::on_checkBox_organicCmpd_clicked(bool checked)
{
    if (!simBatch || !simBatch->sdata->ctrlset)
        return;
    simBatch->sdata->ctrlset->orgcmpd = checked;
    ui->checkBox_organicCmpd->setEnabled(checked);
}

void simfile::on_checkBox_DBReload_clicked(bool checked)
{
    if (checked)
        dbReload = true;
}

// ---- Load -------------------------------------------------------------------------

bool simfile::verify_databaseFiles()
{
    const QFileInfo ref(simBatch->sdata->dbref);
    if (ref.exists() && ref.isFile())
        return true;
    QMessageBox::critical(this, QStringLiteral("Simulation Configuration File"),
                          QStringLiteral("Reference and User database files not set"),
                          QMessageBox::Ok);
    return false;
}

int simfile::database_load(dbdata *image)
{
    QStringList errors;
    if (!verify_databaseFiles()) {
        errors << QStringLiteral("SF: database file verification failed");
    } else {
        const int rc = image->db_retrieve_data(simBatch->sdata);
        if (rc == return_codes::success)
            return 0;
        errors << QStringLiteral("SF: database could not be retrieved");
        // The version warning has its own lines and box (report_versionMismatch).
        for (const QString &line : image->messages())
            if (line != image->version_mismatch())
                errors << line;
    }
    message(QStringLiteral("SF: errors occurring while loading database:"));
    for (const QString &line : errors)
        message(line);
    return -1;
}

void simfile::report_versionMismatch(const dbdata *image)
{
    const QString text = image->version_mismatch();
    if (text.isEmpty())
        return;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        message(QStringLiteral("SF: ## ") + line);
    message(QStringLiteral("SF: the database is loaded all the same; its data may differ from "
                           "what this version of the program expects."));
    // The load goes on once the user has read the warning.
    QMessageBox box;
    box.setText(text);
    box.exec();
}

void simfile::on_pushButton_Load_clicked()
{
    if (!configurationOpen())
        return;
    // The workspace starts from the file as it is now, which a save from an
    // earlier workspace may have changed since it was opened here.
    if (!reread_configuration()) {
        message(QStringLiteral("SF: ####  ERROR while loading the configuration file; open it "
                               "again"));
        return;
    }
    sim_data *sd = simBatch->sdata;
    // The files verified and loaded are those of the type the combo shows now.
    const int index = select_dbType(ui->comboBox_DBTypes->currentIndex());
    dbTypeIndex = index;
    sd->dbref = dbref;
    sd->dbuser = dbuser;
    sd->dbtype = index;

    dbdata *image = nullptr;
    bool ok = true;
    if (sd->ctrlset->dbaccess) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // The held image serves again only for the very file selected now, as it
        // was read: a file written anew since (Reset to Default installs the
        // program's own over it under the same name) is read again.
        const bool reuse = dbLoaded && !dbReload && dbData && dbLoadedFile == sd->dbref
            && QFileInfo(sd->dbref).lastModified() == dbLoadedChange;
        image = reuse ? dbData : new dbdata;
        if (!reuse)
            ok = database_load(image) == 0;
        else // the image links the control set of the configuration it serves now
            image->sdata->ctrlset = sd->ctrlset;
        QGuiApplication::restoreOverrideCursor();
        if (!reuse)
            report_versionMismatch(image);

        if (ok && image->db_manage_data(sd) != return_codes::success) {
            ok = false;
            message(QStringLiteral("SF: errors occurring while choosing the database lists:"));
            for (const QString &line : image->messages())
                message(line);
        }
        if (ok && image->db_set_solid_multipleRxns() != return_codes::success)
            ok = false;
        if (!ok) {
            // A new image that failed goes; the one held before stays held.
            if (image != dbData)
                delete image;
            message(QStringLiteral("SF: ####  ERROR while loading database"));
            return;
        }
        // Only a Load that succeeded as a whole counts as a loaded database.
        dbReload = false;
        dbLoaded = true;
        dbTypeLoaded = image->sdata->dbtype;
        dbLoadedFile = sd->dbref;
        dbLoadedChange = QFileInfo(sd->dbref).lastModified();
    } else {
        image = new dbdata;
        image->db_essential_prePatch(sd->dbtype);
        dbReload = false;
        dbLoaded = false;
    }
    replace_image(image);

    clear_chemicalSystem();
    settings_write();
    emit signal_simfile_setup();
    disable_dbControls();
}

void simfile::clear_chemicalSystem()
{
    // The workspace adds every species and reaction to the batch's lists when it
    // builds the system; a second Load must not find the first build's entries.
    sim_data *sd = simBatch->sdata;
    sd->elements.clear();
    sd->solids.clear();
    sd->liquids.clear();
    sd->gases.clear();
    sd->solutes.clear();
    sd->rxnsAqueous.clear();
    sd->rxnsSolid.clear();
    sd->rxnsLiquid.clear();
    sd->rxnsGas.clear();
    sd->rxnsRedox.clear();
    sd->redoxpairs.clear();
    sd->redoxgases.clear();
    sd->nelements = 0;
    sd->nsolids = 0;
    sd->nliquids = 0;
    sd->ngases = 0;
    sd->nsolutes = 0;
    sd->nrxnsAqueous = 0;
    sd->nrxnsSolid = 0;
    sd->nrxnsLiquid = 0;
    sd->nrxnsGas = 0;
}

// ---- Utilities menu -----------------------------------------------------------------

void simfile::toolBar_menuUtilities_Database_Manager()
{
    if (!dbManager) {
        dbManager = new dbmanager(this);
        app_folder::apply(dbManager);
        connect(dbManager, &dbmanager::signal_dbmgr_updated, this, &simfile::settings_ui_update);
    }
    dbManager->settings_read();
    dbManager->show();
    dbManager->raise();
}

void simfile::toolBar_menuUtilities_Database_Parser()
{
    if (!dbParser) {
        dbParser = new dbparse_driver(this);
        dbParser->show();
    } else {
        if (dbParser->isHidden())
            dbParser->show();
        dbParser->raise();
    }
    dbParser->settings_read();
}

void simfile::hide_utilities()
{
    if (dbManager)
        dbManager->hide();
    if (dbParser)
        dbParser->hide();
}
