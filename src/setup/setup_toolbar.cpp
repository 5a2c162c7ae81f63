// The workspace's tool bar, its settings, Save, Save As, Close and Quit, and the
// launchers of the other windows. The mixing and titration window is not part of
// the program yet: its entries and buttons stay disabled.

#include "setup.h"

#include "config_settings.h"
#include "export_data.h"
#include "model_mixing.h"
#include "sbatch.h"
#include "toolbar_menus.h"
#include "ui_setup.h"
#include "viewResult_spcn.h"
#include "water_manager.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QToolBar>

namespace {
const char groupSetup[] = "SETUP"; ///< settings group of the workspace
const char extension[] = ".jsdb";
} // namespace

void setup::setup_toolBar()
{
    // The bar stays above the scrolled content, so its menus are always at hand.
    auto *bar = new QToolBar;
    bar->setFixedHeight(ff.cell_height());
    ui->verticalLayout_setup->insertWidget(0, bar);

    auto addMenuButton
        = [this, bar](const QString &text) { return toolbar_menus::add_menu(bar, text, this); };
    auto addEntry = [this](QMenu *menu, const QString &text, auto slot,
                           const QKeySequence &keys = QKeySequence()) {
        return toolbar_menus::add_entry(menu, text, this, slot, keys);
    };

    QMenu *files = addMenuButton(QStringLiteral("Files"));
    addEntry(files, QStringLiteral("Save"), &setup::on_pushButton_Save_clicked,
             QKeySequence(Qt::CTRL | Qt::Key_S));
    addEntry(files, QStringLiteral("Save As"), &setup::on_pushButton_SaveAs_clicked,
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    files->addSeparator();
    addEntry(files, QStringLiteral("Close"), &setup::on_pushButton_Close_clicked,
             QKeySequence(Qt::CTRL | Qt::Key_W));
    toolbar_menus::add_divider(files);
    addEntry(files, QStringLiteral("Quit"), &setup::setup_quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *navigate = addMenuButton(QStringLiteral("Navigate"));
    actNav_chemSystem
        = addEntry(navigate, QStringLiteral("Chemical System"), &setup::process_chemicalSystem);
    actNav_waterComp
        = addEntry(navigate, QStringLiteral("Water Composition"), &setup::process_waterComposition);
    actNav_solnProps = addEntry(navigate, QStringLiteral("Solution Properties"),
                                &setup::process_solutionProperties);
    actNav_solnProps->setEnabled(ui->tabWidget_Setup->isTabEnabled(2));
    toolbar_menus::add_divider(navigate);
    addEntry(navigate, QStringLiteral("Water Mixing Model"),
             &setup::on_pushButton_SUMixing_clicked);
    addEntry(navigate, QStringLiteral("Water Titration Model"),
             &setup::on_pushButton_SUTitration_clicked);
    toolbar_menus::add_divider(navigate);
    addEntry(navigate, QStringLiteral("Result Viewer"), &setup::on_pushButton_viewResult_clicked);
    toolbar_menus::add_divider(navigate);
    addEntry(navigate, QStringLiteral("Export Data"), &setup::function_exportData);

    QMenu *settingsMenu = addMenuButton(QStringLiteral("Settings"));
    addEntry(settingsMenu, QStringLiteral("Display"), &setup::menuSetting_Display_triggered)
        ->setEnabled(false);
    addEntry(settingsMenu, QStringLiteral("Control Parameters"),
             &setup::menuSetting_Control_triggered);

    QMenu *help = addMenuButton(QStringLiteral("Help/Docs"));
    addEntry(help, QStringLiteral("About Vek7"), &setup::docAbout_open);
    addEntry(help, QStringLiteral("User Guide"), &setup::docUserguide_open);
}

// ---- settings -------------------------------------------------------------------

void setup::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupSetup);
    // The page sits in the main window's stack, which places it; only a
    // free-standing workspace takes its stored geometry.
    if (isWindow()) {
        restoreGeometry(settings.value("geometry").toByteArray());
        scrInfo.scrPosition_center(this);
    }
    settings.endGroup();
}

void setup::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupSetup);
    settings.setValue("geometry", saveGeometry());
    settings.setValue("wx", x());
    settings.setValue("wy", y());
    settings.setValue("width", width());
    settings.setValue("height", height());
    settings.setValue("idx_water", batch ? batch->sdata->currentWater : 0);
    settings.endGroup();
    settings.sync();
}

// ---- files ----------------------------------------------------------------------

void setup::on_pushButton_Save_clicked()
{
    if (!batch)
        return;
    flag_unsaved = false;
    emit signal_setup_save();
}

void setup::on_pushButton_SaveAs_clicked()
{
    if (!batch)
        return;
    settings_write();
    QString name
        = QFileDialog::getSaveFileName(this, tr("newfile.jsdb"), gl.settings_read_jsdbPath());
    if (name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(extension))) {
        name += QLatin1String(extension);
        // The file dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(name)) {
            const auto answer = QMessageBox::question(
                this, QStringLiteral("Save As"),
                QStringLiteral("[ ") + name + QStringLiteral(" ] already exists.\nReplace it?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
        }
    }
    const QString previous = batch->sdata->file;
    batch->sdata->file = name;
    flag_unsaved = false;
    emit signal_setup_save();
    // A failed write sets the flag again: the configuration stays with its old file.
    if (flag_unsaved)
        batch->sdata->file = previous;
    set_jsdbFile_fields(batch->sdata->file);
}

void setup::save_failed()
{
    flag_unsaved = true;
}

bool setup::confirm_close()
{
    QMessageBox box(this);
    box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
    QPushButton *close = box.addButton(QStringLiteral("Close"), QMessageBox::ActionRole);
    box.setDefaultButton(close);
    box.setText(QStringLiteral("Be sure to <i><font color=\"red\">SAVE</font></i> any changes "
                               "made before closing.\nClose this window?"));
    box.move(mapToGlobal(QPoint(0, 0)) + QPoint(500, 100));
    box.exec();
    return box.clickedButton() == close;
}

void setup::on_pushButton_Close_clicked()
{
    // The water set manager's list is not in the batch yet: leaving drops it too.
    const bool unsaved
        = flag_unsaved || (waterMgr && (waterMgr->list_changed() || waterMgr->records_edited()));
    if (unsaved && !confirm_close())
        return;
    flag_unsaved = false;
    settings_write();
    if (waterMgr)
        waterMgr->reject();
    if (viewResult)
        viewResult->close();
    if (mixingModel)
        mixingModel->close();
    emit signal_setup_close();
}

void setup::setup_quit()
{
    if (flag_unsaved && !confirm_close())
        return;
    flag_unsaved = false;
    window()->close();
    QCoreApplication::quit();
}

// ---- launchers --------------------------------------------------------------------

void setup::function_exportData()
{
    if (!batch)
        return;
    // Each use gets its own dialog, which deletes itself when closed.
    auto *dialog = new export_data;
    dialog->setWindowTitle(QStringLiteral("Export Data Manager"));
    if (gl.get_OSProductType() == 1) {
        qDebug() << "MW: resizing display";
        screen_info screen;
        dialog->resize(screen.size_width(), screen.size_height());
        dialog->move(0, 0);
    }
    dialog->show();
    dialog->setup_water(batch, batch->sdata->currentWater);
}

void setup::menuSetting_Display_triggered() { }

void setup::menuSetting_Control_triggered()
{
    if (!batch || !batch->sdata->ctrlset)
        return;
    ctrlSettings = new config_settings;
    ctrlSettings->setWindowTitle(QStringLiteral("Control Parameters Manager"));
    ctrlSettings->settingsSpcn_numerical(batch->sdata->ctrlset);
    if (gl.get_OSProductType() == 1) {
        qDebug() << "MW: resizing display";
        screen_info screen;
        ctrlSettings->resize(screen.size_width(), screen.size_height());
        ctrlSettings->move(0, 0);
    }
    const bool accepted = ctrlSettings->exec() == QDialog::Accepted;
    if (accepted) {
        // The dialog hands back the batch's own record; another one is copied in.
        one_ctrlset *edited = ctrlSettings->settingsSpcn_recover();
        if (edited && edited != batch->sdata->ctrlset)
            *batch->sdata->ctrlset = *edited;
        set_modified();
    }
    delete ctrlSettings;
    ctrlSettings = nullptr;
}

void setup::docAbout_open()
{
    emit signal_docAbout_open();
}

void setup::docUserguide_open()
{
    emit signal_docUserguide_open();
}
