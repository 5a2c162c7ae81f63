#include "simfile.h"
#include "ui_simfile.h"

#include "dbdata.h"
#include "dbmanager.h"
#include "dbparse_driver.h"
#include "jsdbfile_mgr.h"
#include "message_pane.h"
#include "sbatch.h"
#include "toolbar_menus.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char groupSpcn[] = "SPCN";

} // namespace

simfile::simfile(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::simfile)
{
    ui->setupUi(this);
    ui->pushButton_Open->setAutoDefault(false);
    ui->pushButton_New->setAutoDefault(false);
    ui->pushButton_Close->setAutoDefault(false);
    ui->pushButton_Load->setAutoDefault(false);
    ui->checkBox_DBAccess->setEnabled(false);
    ui->checkBox_redox->setEnabled(false);
    ui->checkBox_organicCmpd->setEnabled(false);
    ui->checkBox_DBReload->setEnabled(false);
    ui->checkBox_DBReload->setChecked(false);
    ui->comboBox_DBTypes->setEnabled(false);
    ui->pushButton_Load->setEnabled(false);
    ui->lineEdit_DBUser->setStyleSheet(QStringLiteral("background:#999;"));
    ui->textEdit_Messages->setReadOnly(true);

    settings_read_dbManager();
    {
        const QSignalBlocker block(ui->comboBox_DBTypes);
        ui->comboBox_DBTypes->addItems(dbTypesList);
    }

    dbReload = true;
    dbTypeLoaded = 0;
    dbLoaded = false;
    dbTypeIndex = 0;
    {
        const QSignalBlocker block(ui->comboBox_DBTypes);
        ui->comboBox_DBTypes->setCurrentIndex(0);
    }
    select_dbType(0);
    // The user file's full path, until the first refresh shows its name only.
    ui->lineEdit_DBUser->setText(dbuser);

    ui->checkBox_redox->setChecked(false);
    ui->checkBox_organicCmpd->setChecked(false);
    message(QStringLiteral("----- Starting Speciation"));

    maxRecentFiles = 10;
    simfile_toolBar();
    set_tooltips();
}

simfile::~simfile()
{
    // The workspace is gone or about to go: nothing it held needs keeping.
    setupBatch = nullptr;
    setupReader = nullptr;
    setupImage = nullptr;
    replace_batch(nullptr);
    replace_reader(nullptr);
    replace_image(nullptr);
    delete ui;
}

void simfile::set_simType(int type)
{
    auto *batch = new sbatch;
    batch->simtype = type;
    batch->sdata->dbref = dbref;
    batch->sdata->dbuser = dbuser;
    batch->sdata->file = file_jsdb;
    batch->sdata->filePath_default = filePath_default;
    replace_batch(batch);
    // The new batch has no configuration yet: Load and the saves wait for one.
    set_fileActions(false, false);
    settings_read();
}

void simfile::update_batch(sbatch *batch)
{
    replace_batch(batch);
}

void simfile::setup_closed()
{
    // What the workspace held is saved or discarded by now; either way the file
    // is what counts, and only an Open or New brings a configuration back here.
    auto *batch = new sbatch;
    if (simBatch) {
        batch->simtype = simBatch->simtype;
        batch->sdata->file = simBatch->sdata->file;
        batch->sdata->filePath_default = simBatch->sdata->filePath_default;
    }
    batch->sdata->dbref = dbref;
    batch->sdata->dbuser = dbuser;
    replace_batch(batch);
    disable_dbControls();
}

void simfile::setup_holds_current()
{
    setupBatch = simBatch;
    setupReader = jsdbMgr;
    setupImage = dbData;
    release_unused();
}

void simfile::save_failed()
{
    if (!simBatch || fileBeforeSave.isEmpty())
        return;
    file_jsdb = fileBeforeSave;
    simBatch->sdata->file = fileBeforeSave;
    set_jsdbFile_fields(fileBeforeSave);
}

void simfile::signal_update_simfile()
{
    if (!simBatch)
        return;
    file_jsdb = simBatch->sdata->file;
    settings_write();
    set_jsdbFile_fields(simBatch->sdata->file);
    if (simBatch->sdata->dbtype != dbTypeIndex)
        message(QStringLiteral("SF ## batch->dbtype %1 inconsistent with list idx %2")
                    .arg(simBatch->sdata->dbtype)
                    .arg(dbTypeIndex));
}

// ---- settings -----------------------------------------------------------------

void simfile::settings_read()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupSpcn));
    // The page sits in the main window's stack, which places it; only a
    // free-standing window takes a stored geometry.
    if (isWindow()) {
        restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
        scrInfo.scrPosition_center(this);
    }
    file_jsdb = settings.value(QStringLiteral("file_jsdb")).toString();
    filePath_default = settings.value(QStringLiteral("filePath_default")).toString();
    set_jsdbFile_fields(file_jsdb);

    int index = int(settings.value(QStringLiteral("dbtype_index")).toUInt());
    if (index < 0 || index >= dbTypesList.size()) {
        qDebug() << "SF: ## stored database type index" << index << "outside the type list; 0 used";
        index = 0;
    }
    if (index != dbTypeIndex)
        dbReload = true;
    dbTypeIndex = index;

    const QString ref = settings.value(QStringLiteral("dbref")).toString();
    if (ref != dbref)
        dbReload = true;
    dbref = ref;
    const QString user = settings.value(QStringLiteral("dbuser")).toString();
    if (user != dbuser)
        dbReload = true;
    dbuser = user;
    settings.endGroup();
    updateRecentActionList();
}

void simfile::settings_write()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupSpcn));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("wx"), x());
    settings.setValue(QStringLiteral("wy"), y());
    settings.setValue(QStringLiteral("width"), width());
    settings.setValue(QStringLiteral("height"), height());
    settings.setValue(QStringLiteral("file_jsdb"), file_jsdb);
    settings.setValue(QStringLiteral("filePath_default"), filePath_default);
    settings.setValue(QStringLiteral("dbtype_index"), dbTypeLoaded);
    settings.setValue(QStringLiteral("dbref"), dbref);
    settings.setValue(QStringLiteral("dbuser"), dbuser);
    settings.endGroup();
    settings.sync();
}

// ---- page actions ---------------------------------------------------------------

void simfile::on_pushButton_Close_clicked()
{
    settings_write();
    emit signal_simfile_close();
}

void simfile::toolBar_menuFiles_quit()
{
    window()->close();
    QCoreApplication::quit();
}

void simfile::menuSetting_Display_triggered() { }

void simfile::menuSetting_Control_triggered() { }

void simfile::docAbout_open()
{
    emit signal_docAbout_open();
}

void simfile::docAbout_close()
{
    emit signal_docAbout_close();
}

void simfile::docUserguide_open()
{
    emit signal_docUserguide_open();
}

void simfile::docUserguide_close()
{
    emit signal_docUserguide_close();
}

void simfile::message(const QString &line)
{
    message_pane::append(ui->textEdit_Messages, line);
}

void simfile::set_fileActions(bool load, bool save)
{
    // The menu's Load is the button's twin: neither runs while the other is grey.
    ui->pushButton_Load->setEnabled(load);
    if (actLoad)
        actLoad->setEnabled(load);
    if (actSave)
        actSave->setEnabled(save);
    if (actSaveAs)
        actSaveAs->setEnabled(save);
}

// ---- tool bar -------------------------------------------------------------------

void simfile::simfile_toolBar()
{
    auto *bar = new QToolBar;
    bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->setOrientation(Qt::Horizontal);
    bar->setFixedHeight(ff.cell_height());

    QFile sheet(QStringLiteral(":/styleSheets/qss_toolBar_macOS.qss"));
    if (sheet.exists() && sheet.open(QIODevice::ReadOnly))
        bar->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    else
        qDebug() << "SF: ####  stylesheet for toolbar not found";

    auto addMenuButton
        = [this, bar](const QString &text) { return toolbar_menus::add_menu(bar, text, this); };

    QMenu *files = addMenuButton(QStringLiteral("Files  "));
    QAction *open = files->addAction(QStringLiteral("Open"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &simfile::on_pushButton_Open_clicked);
    QAction *create = files->addAction(QStringLiteral("New"));
    create->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(create, &QAction::triggered, this, &simfile::on_pushButton_New_clicked);
    setupMenu_RecentFiles(files);
    toolbar_menus::add_divider(files);
    actLoad = files->addAction(QStringLiteral("Load"));
    actLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(actLoad, &QAction::triggered, this, &simfile::on_pushButton_Load_clicked);
    actSave = files->addAction(QStringLiteral("Save"));
    connect(actSave, &QAction::triggered, this, &simfile::configFile_Save_clicked);
    actSaveAs = files->addAction(QStringLiteral("Save As"));
    connect(actSaveAs, &QAction::triggered, this, &simfile::configFile_SaveAs_clicked);
    set_fileActions(false, false);
    files->addSeparator();
    QAction *close = files->addAction(QStringLiteral("Close"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(close, &QAction::triggered, this, &simfile::on_pushButton_Close_clicked);
    toolbar_menus::add_divider(files);
    QAction *quit = files->addAction(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &simfile::toolBar_menuFiles_quit);

    QMenu *utilities = addMenuButton(QStringLiteral("Utilities"));
    connect(utilities->addAction(QStringLiteral("Database Manager")), &QAction::triggered, this,
            &simfile::toolBar_menuUtilities_Database_Manager);
    QAction *parser = utilities->addAction(QStringLiteral("Database Parser"));
    connect(parser, &QAction::triggered, this, &simfile::toolBar_menuUtilities_Database_Parser);
    parser->setEnabled(false);

    QMenu *settingsMenu = addMenuButton(QStringLiteral("Settings"));
    QAction *display = settingsMenu->addAction(QStringLiteral("Display"));
    connect(display, &QAction::triggered, this, &simfile::menuSetting_Display_triggered);
    display->setEnabled(false);
    QAction *control = settingsMenu->addAction(QStringLiteral("Control Parameters"));
    connect(control, &QAction::triggered, this, &simfile::menuSetting_Control_triggered);
    control->setEnabled(false);

    QMenu *help = addMenuButton(QStringLiteral("Help/Docs"));
    connect(help->addAction(QStringLiteral("About Vek7")), &QAction::triggered, this,
            &simfile::docAbout_open);
    connect(help->addAction(QStringLiteral("User Guide")), &QAction::triggered, this,
            &simfile::docUserguide_open);

    ui->verticalLayout_main->insertWidget(0, bar, 0, Qt::AlignTop);
}

void simfile::set_tooltips()
{
    ui->lineEdit_configFile->setToolTip(
        QStringLiteral("Simulation configuration file\ncurrently selected"));
    ui->pushButton_Open->setToolTip(QStringLiteral("Open an existing configuration file"));
    ui->pushButton_New->setToolTip(QStringLiteral("Start a new configuration file"));
    ui->pushButton_Close->setToolTip(QStringLiteral("Close this window\nand return to main menu"));
    ui->comboBox_DBTypes->setToolTip(QStringLiteral(
        "Currently set thermodynamic database type\nUse database manager to change"));
    ui->checkBox_DBAccess->setToolTip(QStringLiteral(
        "Do not load data from database files\nUse data found in configuration file only"));
    ui->checkBox_redox->setToolTip(QStringLiteral("Include redox reactions in this simulation"));
    ui->checkBox_organicCmpd->setToolTip(
        QStringLiteral("Include organic acids and compounds in this simulation\nThis option "
                       "available only if 'Include Redox Reactions'\ncheckbox has been checked"));
    ui->lineEdit_DBRef->setToolTip(
        QStringLiteral("Currently set reference database file\nUse database manager to change"));
    ui->lineEdit_DBUser->setToolTip(
        QStringLiteral("Currently set user database file\nUse database manager to change"));
    ui->pushButton_Load->setToolTip(
        QStringLiteral("Load data from selected database files\nThis option active only if "
                       "configuration file\nhas been selected"));
    ui->checkBox_DBReload->setToolTip(
        QStringLiteral("Force this program to load data\nfrom selected database files"));
}

// ---- ownership ------------------------------------------------------------------

void simfile::replace_batch(sbatch *batch)
{
    if (simBatch && simBatch != batch && !oldBatches.contains(simBatch))
        oldBatches.append(simBatch);
    oldBatches.removeAll(batch);
    simBatch = batch;
    release_unused();
}

void simfile::replace_reader(jsdbfile_mgr *reader)
{
    if (jsdbMgr && jsdbMgr != reader && !oldReaders.contains(jsdbMgr))
        oldReaders.append(jsdbMgr);
    oldReaders.removeAll(reader);
    jsdbMgr = reader;
    release_unused();
}

void simfile::replace_image(dbdata *image)
{
    if (dbData && dbData != image && !oldImages.contains(dbData))
        oldImages.append(dbData);
    oldImages.removeAll(image);
    dbData = image;
    release_unused();
}

void simfile::detach_ctrlset(sbatch *batch)
{
    if (!batch || !batch->sdata->ctrlset)
        return;
    QList<jsdbfile_mgr *> readers = oldReaders;
    readers << jsdbMgr << setupReader;
    for (jsdbfile_mgr *reader : readers) {
        if (reader && reader->sdata->ctrlset == batch->sdata->ctrlset) {
            batch->sdata->ctrlset = cs.copy_ctrlset(reader->sdata->ctrlset);
            return;
        }
    }
}

void simfile::release_unused()
{
    for (int i = int(oldBatches.size()) - 1; i >= 0; --i) {
        sbatch *batch = oldBatches.at(i);
        if (batch == simBatch || batch == setupBatch)
            continue;
        oldBatches.removeAt(i);
        detach_ctrlset(batch);
        delete batch;
    }
    for (int i = int(oldReaders.size()) - 1; i >= 0; --i) {
        jsdbfile_mgr *reader = oldReaders.at(i);
        if (reader == jsdbMgr || reader == setupReader)
            continue;
        // A batch still in use that borrows this reader's control set keeps a copy.
        QList<sbatch *> batches = oldBatches;
        batches << simBatch << setupBatch;
        for (sbatch *batch : batches)
            if (batch && batch->sdata->ctrlset == reader->sdata->ctrlset)
                batch->sdata->ctrlset = cs.copy_ctrlset(reader->sdata->ctrlset);
        oldReaders.removeAt(i);
        delete reader;
    }
    for (int i = int(oldImages.size()) - 1; i >= 0; --i) {
        dbdata *image = oldImages.at(i);
        if (image == dbData || image == setupImage)
            continue;
        oldImages.removeAt(i);
        delete image;
    }
}
