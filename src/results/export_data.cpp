#include "export_data.h"
#include "ui_export_data.h"

#include "export_file.h"
#include "return_codes.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace {
const char groupExport[] = "EXPORT"; ///< settings group of the dialog
} // namespace

export_data::export_data(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::export_data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    settings_read();
}

export_data::~export_data()
{
    delete ui;
}

void export_data::setup_water(sbatch *batch, int waterIndex)
{
    copy = result_snapshot::copy_batch(batch, th);
    ui->comboBox_water->clear();
    int current = 0;
    for (int i = 0; i < copy.waters.size(); ++i) {
        ui->comboBox_water->addItem(copy.waters.at(i).name);
        if (copy.waters.at(i).index == waterIndex)
            current = i;
    }
    ui->comboBox_water->setCurrentIndex(copy.waters.isEmpty() ? -1 : current);
    const bool any = !copy.waters.isEmpty();
    ui->pushButton_export->setEnabled(any);
    if (!any)
        message(QStringLiteral("The configuration has no water to export."));
}

void export_data::closeEvent(QCloseEvent *event)
{
    settings_write();
    event->accept();
}

// ---- settings -------------------------------------------------------------------

void export_data::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupExport);
    restoreGeometry(settings.value("geometry").toByteArray());
    folder = settings.value("folder").toString();
    ui->checkBox_setup->setChecked(settings.value("setup", true).toBool());
    ui->checkBox_composition->setChecked(settings.value("composition", true).toBool());
    ui->checkBox_result->setChecked(settings.value("result", true).toBool());
    settings.endGroup();
}

void export_data::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupExport);
    settings.setValue("geometry", saveGeometry());
    settings.setValue("folder", folder);
    settings.setValue("setup", ui->checkBox_setup->isChecked());
    settings.setValue("composition", ui->checkBox_composition->isChecked());
    settings.setValue("result", ui->checkBox_result->isChecked());
    settings.endGroup();
    settings.sync();
}

// ---- actions --------------------------------------------------------------------

QString export_data::ask_file()
{
    const QString start = folder.isEmpty() ? QDir::homePath() : folder;
    return QFileDialog::getSaveFileName(this, QStringLiteral("Export Data"), start,
                                        QStringLiteral("Comma-separated (*.csv);;Tab-separated "
                                                       "(*.txt);;All files (*)"));
}

void export_data::message(const QString &line)
{
    ui->textEdit_messages->append(line);
}

void export_data::on_pushButton_browse_clicked()
{
    const QString name = ask_file();
    if (!name.isEmpty())
        ui->lineEdit_file->setText(name);
    confirmed = name;
}

void export_data::on_pushButton_export_clicked()
{
    const int w = ui->comboBox_water->currentIndex();
    if (w < 0 || w >= copy.waters.size()) {
        message(QStringLiteral("No water is chosen: nothing written."));
        return;
    }
    export_file::contents what;
    what.setup = ui->checkBox_setup->isChecked();
    what.composition = ui->checkBox_composition->isChecked();
    what.result = ui->checkBox_result->isChecked();
    if (!what.setup && !what.composition && !what.result) {
        message(QStringLiteral("Nothing is ticked to write: nothing written."));
        return;
    }
    QString name = ui->lineEdit_file->text().trimmed();
    if (name.isEmpty()) {
        name = confirmed = ask_file();
        if (name.isEmpty()) {
            message(QStringLiteral("Export cancelled: nothing written."));
            return;
        }
    }
    QChar delimiter;
    name = export_file::resolve_name(name, &delimiter);
    ui->lineEdit_file->setText(name);
    // Only the file dialog has asked about replacing a file, and only for its own name.
    if (name != confirmed && QFileInfo::exists(name)
        && QMessageBox::question(this, windowTitle(),
                                 QStringLiteral("[ ") + name
                                     + QStringLiteral(" ] already exists.\nReplace it?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
        message(QStringLiteral("Export cancelled: nothing written."));
        return;
    }
    const water_copy &water = copy.waters.at(w);
    if (what.result && !water.hasResult)
        message(QStringLiteral("[ ") + water.name
                + QStringLiteral(" ] has no speciation result: the result is left out."));
    const QString text = export_file::file_text(copy, water, what, delimiter);
    QString error;
    if (export_file::write(name, text.toUtf8(), &error) != return_codes::success) {
        message(QStringLiteral("Export failed, nothing written to ") + name + QStringLiteral(": ")
                + error);
        return;
    }
    folder = QFileInfo(name).absolutePath();
    confirmed = name;
    message(QStringLiteral("Exported [ ") + water.name + QStringLiteral(" ] to ") + name);
}

void export_data::on_pushButton_close_clicked()
{
    close();
}
