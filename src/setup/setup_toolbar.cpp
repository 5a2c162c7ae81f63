// The workspace's tool bar, its settings, Save, Save As, Close and Quit, and the
// launchers of the other windows. Each keeps to its least safe form for now: the
// signals that hand the batch back to the main window are emitted, the windows
// that do not exist yet are not opened.

#include "setup.h"

#include "sbatch.h"
#include "ui_setup.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QSettings>

namespace {
const char groupSetup[] = "SETUP"; ///< settings group of the workspace
}

void setup::setup_toolBar() { }

void setup::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupSetup);
    restoreGeometry(settings.value("geometry").toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
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

void setup::on_pushButton_Save_clicked()
{
    flag_unsaved = false;
    emit signal_setup_save();
}

void setup::on_pushButton_SaveAs_clicked()
{
    qDebug() << "SU: Save As is not available yet.";
}

void setup::on_pushButton_Close_clicked()
{
    if (flag_unsaved) {
        QMessageBox box(this);
        QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
        QPushButton *close = box.addButton(QStringLiteral("Close"), QMessageBox::ActionRole);
        box.setDefaultButton(close);
        box.setText(QStringLiteral("Be sure to <i><font color=\"red\">SAVE</font></i> any changes "
                                   "made before closing.\nClose this window?"));
        box.move(mapToGlobal(QPoint(0, 0)) + QPoint(500, 100));
        box.exec();
        if (box.clickedButton() == cancel || box.clickedButton() == nullptr)
            return;
    }
    flag_unsaved = false;
    settings_write();
    emit signal_setup_close();
}

void setup::setup_quit()
{
    flag_unsaved = false;
    close();
    QCoreApplication::quit();
}

void setup::on_pushButton_SUMixing_clicked()
{
    ui->pushButton_SUMixing->setChecked(false);
}

void setup::on_pushButton_SUTitration_clicked()
{
    ui->pushButton_SUTitration->setChecked(false);
}

void setup::function_exportData() { }

void setup::menuSetting_Display_triggered() { }

void setup::menuSetting_Control_triggered() { }

void setup::docAbout_open()
{
    emit signal_docAbout_open();
}

void setup::docUserguide_open()
{
    emit signal_docUserguide_open();
}
