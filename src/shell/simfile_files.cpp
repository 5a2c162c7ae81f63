// Configuration files of the configuration-file window: Open, New, Save,
// Save As, the backup copy and the recent-files list.
#include "simfile.h"
#include "ui_simfile.h"

#include "jsdbfile_mgr.h"
#include "return_codes.h"
#include "sbatch.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace {

const char groupFiles[] = "Files";
const char keyRecentFiles[] = "recentFiles";
const char extension[] = ".jsdb";

/// Section names of a configuration file by the code its reader gives when missing.
QString sectionName(int code)
{
    switch (code) {
    case return_codes::missingHeader:
        return QStringLiteral("header");
    case return_codes::missingControl:
        return QStringLiteral("control parameters");
    case return_codes::missingElements:
        return QStringLiteral("elements");
    case return_codes::missingGases:
        return QStringLiteral("gases");
    case return_codes::missingSolutes:
        return QStringLiteral("solutes");
    case return_codes::missingReactions:
        return QStringLiteral("reactions");
    case return_codes::missingRedox:
        return QStringLiteral("redox");
    case return_codes::missingWaters:
        return QStringLiteral("waters");
    default:
        return QString::number(code);
    }
}

/// A new batch for a new configuration, of the same kind and files as `like`.
sbatch *freshBatch(const sbatch *like)
{
    auto *batch = new sbatch;
    if (like) {
        batch->simtype = like->simtype;
        batch->sdata->file = like->sdata->file;
        batch->sdata->filePath_default = like->sdata->filePath_default;
        batch->sdata->dbref = like->sdata->dbref;
        batch->sdata->dbuser = like->sdata->dbuser;
        batch->sdata->dbtype = like->sdata->dbtype;
        batch->sdata->fileBackup = like->sdata->fileBackup;
    }
    batch->simData_init(batch->sdata);
    return batch;
}

} // namespace

// ---- Open -----------------------------------------------------------------------

void simfile::on_pushButton_Open_clicked()
{
    const QString start
        = ui->comboBox_path->itemText(1) + QLatin1Char('/') + ui->lineEdit_configFile->text();
    const QFileInfo startInfo(start);
    message(QStringLiteral("SF: file name : ") + startInfo.fileName());
    message(QStringLiteral("SF: file path : ") + startInfo.filePath());

    QString from;
    if (startInfo.isFile()) {
        message(QStringLiteral("SF: jsdb file found : [ ") + startInfo.fileName()
                + QStringLiteral(" ]"));
        from = start;
    } else {
        message(QStringLiteral("SF: ## jsdb file not found : [ ") + startInfo.fileName()
                + QStringLiteral(" ]"));
        from = gl.settings_read_jsdbPath();
    }

    const QString answer = QFileDialog::getOpenFileName(this, QLatin1String(extension), from,
                                                        QStringLiteral("Text files (*.jsdb)"));
    if (answer.isEmpty())
        return;

    const int rc = load_jsdbFile(answer);
    if (rc == return_codes::success) {
        ui->checkBox_DBAccess->setEnabled(true);
        ui->checkBox_DBReload->setEnabled(true);
    } else {
        // What was open stays open, with its controls as they were.
        qDebug() << "SF: jsdbfile err " << rc;
    }
}

void simfile::mainWindow_openConfigFile()
{
    on_pushButton_Open_clicked();
}

int simfile::load_jsdbFile(const QString &file)
{
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly)) {
        message(QStringLiteral("SF: cannot open simulation config file \n    [ ") + file
                + QStringLiteral(" ],"));
        message(QFileInfo::exists(file) ? QStringLiteral("    file exists.")
                                        : QStringLiteral("    file does not exist."));
        raise();
        return return_codes::fileNotOpened;
    }
    probe.close();

    // Only a file that could be read replaces the configuration held so far.
    jsdbfile_mgr *reader = read_configuration(file);
    if (!reader) {
        message(QStringLiteral("SF ## the configuration open before is kept."));
        raise();
        return return_codes::fileNotOpened;
    }

    gl.settings_write_jsdbPath(file);
    replace_batch(freshBatch(simBatch));
    replace_reader(reader);

    message(QStringLiteral("SF: simulation config file located \n    [ ") + file
            + QStringLiteral(" ]."));
    if (!reader->read_codes().isEmpty()) {
        QStringList missing;
        for (int code : reader->read_codes())
            missing << sectionName(code);
        message(QStringLiteral("SF ## sections missing from the file, defaults used : ")
                + missing.join(QStringLiteral(", ")));
    }
    // Values the reader could not take as they were.
    for (const QString &line : reader->read_notes())
        message(QStringLiteral("SF ## ") + line);
    set_jsdbFile_fields(file);
    file_jsdb = file;
    filePath_default = QFileInfo(file).absolutePath();

    simBatch->sdata->file = file_jsdb;
    postProcess_jsdb();
    if (!reader->read_codes().contains(return_codes::missingHeader))
        simBatch->simtype = reader->simtype;
    settings_write_jsdbPath(file);

    // From here on the batch and the reader share one control set (the reader's),
    // so the check boxes change both.
    delete simBatch->sdata->ctrlset;
    simBatch->sdata->ctrlset = reader->sdata->ctrlset;

    adjustForCurrentFile(file);
    ui->checkBox_redox->setEnabled(true);
    raise();
    return return_codes::success;
}

jsdbfile_mgr *simfile::read_configuration(const QString &file)
{
    auto *reader = new jsdbfile_mgr;
    reader->sdata->initCode = 2;
    sbatch helper;
    helper.simData_init(reader->sdata);
    if (reader->jsdbfile_json_read(file) != return_codes::fileNotOpened)
        return reader;
    message(QStringLiteral("SF: cannot read simulation config file \n    [ ") + file
            + QStringLiteral(" ],"));
    for (const QString &line : reader->messages())
        message(QStringLiteral("    ") + line);
    delete reader;
    return nullptr;
}

bool simfile::reread_configuration()
{
    jsdbfile_mgr *reader = read_configuration(simBatch->sdata->file);
    if (!reader)
        return false;
    // The check boxes of this window decide over what the file says.
    const one_ctrlset *chosen = simBatch->sdata->ctrlset;
    one_ctrlset *ctrl = reader->sdata->ctrlset;
    ctrl->dbaccess = chosen->dbaccess;
    ctrl->redox = chosen->redox;
    ctrl->orgcmpd = chosen->orgcmpd;

    sbatch *batch = freshBatch(simBatch);
    if (!reader->read_codes().contains(return_codes::missingHeader))
        batch->simtype = reader->simtype;
    replace_batch(batch);
    replace_reader(reader);
    delete batch->sdata->ctrlset;
    batch->sdata->ctrlset = ctrl;
    return true;
}

void simfile::postProcess_jsdb()
{
    const one_ctrlset *ctrl = jsdbMgr->sdata->ctrlset;
    ui->checkBox_DBAccess->setEnabled(true);
    ui->comboBox_DBTypes->setEnabled(true);
    ui->pushButton_Load->setText(QStringLiteral("Load Database"));
    ui->pushButton_Load->setToolTip(
        QStringLiteral("Load data from selected database files\nThis option active only if "
                       "configuration file\nhas been selected"));

    ui->checkBox_DBAccess->setChecked(ctrl->dbaccess);
    ui->checkBox_redox->setChecked(ctrl->redox);
    ui->checkBox_organicCmpd->setChecked(ctrl->orgcmpd);

    if (ui->checkBox_DBAccess->isChecked()) {
        ui->comboBox_DBTypes->setEnabled(true);
        ui->checkBox_redox->setEnabled(true);
        ui->checkBox_organicCmpd->setEnabled(ctrl->redox);
    } else {
        ui->pushButton_Load->setText(QStringLiteral("Continue"));
        ui->pushButton_Load->setToolTip(QStringLiteral(
            "Continue to simulation configuration\nwithout loading data from database files"));
        ui->comboBox_DBTypes->setEnabled(false);
    }

    // The batch's previous control set is its own (a fresh batch) or borrowed;
    // only its own is freed.
    detach_ctrlset(simBatch);
    delete simBatch->sdata->ctrlset;
    simBatch->sdata->ctrlset = cs.copy_ctrlset(ctrl);

    simBatch->sdata->fileBackup = simBatch->sdata->file + QStringLiteral("-bk");
    QFile::copy(simBatch->sdata->file, simBatch->sdata->fileBackup);

    set_fileActions(true, false);
    ui->pushButton_Load->setAutoDefault(true);
    settings_write();
}

// ---- New ------------------------------------------------------------------------

QString simfile::ask_saveName()
{
    QString name
        = QFileDialog::getSaveFileName(this, QLatin1String(extension), gl.settings_read_jsdbPath(),
                                       QStringLiteral("Text files (*.jsdb)"));
    if (name.isEmpty())
        return QString();
    if (!name.endsWith(QLatin1String(extension))) {
        name += QLatin1String(extension);
        // The file dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(name)) {
            const auto answer = QMessageBox::question(
                this, QStringLiteral("Simulation Configuration File"),
                QStringLiteral("[ ") + name + QStringLiteral(" ] already exists.\nReplace it?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return QString();
        }
    }
    return name;
}

void simfile::on_pushButton_New_clicked()
{
    const QString name = ask_saveName();
    if (name.isEmpty())
        return;

    auto *reader = new jsdbfile_mgr;
    reader->sdata->initCode = 2;
    sbatch *batch = freshBatch(simBatch);
    batch->simData_init(reader->sdata);
    batch->sdata->file = name;

    // The new file is written first; a failed write leaves everything as it was.
    if (reader->jsdbfile_json_new(batch) != return_codes::success) {
        const QStringList why = reader->messages();
        message(QStringLiteral("SF ## New simulation configuration file [ ") + name
                + QStringLiteral(" ] could not be written."));
        for (const QString &line : why)
            message(QStringLiteral("    ") + line);
        delete batch;
        delete reader;
        QMessageBox::critical(this, QStringLiteral("Simulation Configuration File"),
                              QStringLiteral("Cannot write the configuration file\n[ ") + name
                                  + QStringLiteral(" ]\n\n") + why.join(QLatin1Char('\n')));
        return;
    }

    replace_batch(batch);
    replace_reader(reader);
    message(QStringLiteral("SF >> New simulation configuration file [ ") + name
            + QStringLiteral(" ] created."));
    set_jsdbFile_fields(name);
    file_jsdb = name;
    filePath_default = QFileInfo(name).absolutePath();

    postProcess_jsdb();
    settings_write_jsdbPath(name);
    adjustForCurrentFile(name);

    set_fileActions(true, true);
    raise();
}

// ---- Save, Save As ----------------------------------------------------------------

bool simfile::configurationOpen()
{
    if (simBatch && simBatch->sdata->ctrlset && jsdbMgr)
        return true;
    message(QStringLiteral("SF ## open or create a configuration file first"));
    return false;
}

void simfile::configFile_Save_clicked()
{
    if (!configurationOpen())
        return;
    simBatch->sdata->dbref = dbref;
    simBatch->sdata->dbuser = dbuser;
    simBatch->sdata->file = file_jsdb;
    simBatch->sdata->filePath_default = filePath_default;
    settings_write();
    fileBeforeSave = file_jsdb;
    emit signal_simfile_save();
}

void simfile::configFile_SaveAs_clicked()
{
    if (!configurationOpen())
        return;
    simBatch->sdata->dbref = dbref;
    simBatch->sdata->dbuser = dbuser;
    simBatch->sdata->file = file_jsdb;
    simBatch->sdata->filePath_default = filePath_default;
    settings_write();

    const QString name = ask_saveName();
    if (name.isEmpty())
        return;
    fileBeforeSave = file_jsdb;
    simBatch->sdata->file = name;
    file_jsdb = name;
    emit signal_simfile_save();
    set_jsdbFile_fields(simBatch->sdata->file);
}

// ---- fields and remembered folder -------------------------------------------------

void simfile::set_jsdbFile_fields(const QString &file)
{
    const QFileInfo info(file);
    ui->lineEdit_configFile->setText(info.fileName());
    ui->comboBox_path->clear();
    ui->comboBox_path->addItem(QStringLiteral("Path"));
    ui->comboBox_path->addItem(info.path());
    ui->comboBox_path->view()->setMinimumWidth(ui->comboBox_path->minimumSizeHint().width() + 10);
}

void simfile::settings_write_jsdbPath(const QString &file)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("jsdbPath"));
    settings.setValue(QStringLiteral("prevDir"), QFileInfo(file).absolutePath());
    settings.endGroup();
    settings.sync();
}

// ---- recent files -------------------------------------------------------------------

void simfile::setupMenu_RecentFiles(QMenu *files)
{
    qDeleteAll(recentFileActs);
    recentFileActs.clear();
    for (int i = 0; i < maxRecentFiles; ++i) {
        auto *act = new QAction(this);
        act->setVisible(false);
        connect(act, &QAction::triggered, this, &simfile::menu_openRecent);
        recentFileActs.append(act);
    }
    recentMenu = files->addMenu(QStringLiteral("Open Recent "));
    for (QAction *act : recentFileActs)
        recentMenu->addAction(act);
    updateRecentActionList();
}

void simfile::updateRecentActionList()
{
    QSettings settings;
    const QStringList recent
        = settings
              .value(QLatin1String(groupFiles) + QLatin1Char('/') + QLatin1String(keyRecentFiles))
              .toStringList();
    const int n = std::min(int(recent.size()), int(recentFileActs.size()));
    for (int i = 0; i < int(recentFileActs.size()); ++i) {
        QAction *act = recentFileActs.at(i);
        if (i < n) {
            act->setText(QFileInfo(recent.at(i)).fileName());
            act->setData(recent.at(i));
            act->setVisible(true);
        } else {
            act->setVisible(false);
        }
    }
}

void simfile::adjustForCurrentFile(const QString &file)
{
    setWindowFilePath(file);
    QSettings settings;
    const QString key
        = QLatin1String(groupFiles) + QLatin1Char('/') + QLatin1String(keyRecentFiles);
    QStringList recent = settings.value(key).toStringList();
    recent.removeAll(file);
    recent.prepend(file);
    while (recent.size() > maxRecentFiles)
        recent.removeLast();
    settings.setValue(key, recent);
    settings.sync();
    updateRecentActionList();
}

void simfile::menu_openRecent()
{
    auto *act = qobject_cast<QAction *>(sender());
    if (!act)
        return;
    const QString path = act->data().toString();
    if (!path.isEmpty())
        load_jsdbFile(path);
}
