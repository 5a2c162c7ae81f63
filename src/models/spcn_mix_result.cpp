#include "spcn_mix_result.h"
#include "ui_spcn_mix_result.h"

#include <QSettings>

namespace {
const char groupNaming[] = "spcn_mix_result"; ///< settings group of the dialog
} // namespace

spcn_mix_result::spcn_mix_result(const QStringList &taken, const QString &proposed, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::spcn_mix_result)
    , names(taken)
{
    ui->setupUi(this);
    ui->lineEdit_name->setText(proposed);
    ui->lineEdit_name->selectAll();
    settings_read();
}

spcn_mix_result::~spcn_mix_result()
{
    delete ui;
}

QString spcn_mix_result::name() const
{
    return ui->lineEdit_name->text().trimmed();
}

void spcn_mix_result::on_pushButton_save_clicked()
{
    const QString n = name();
    if (n.isEmpty()) {
        ui->label_warning->setText(QStringLiteral("Enter a name for the new water."));
        return;
    }
    for (const QString &existing : names)
        if (existing.compare(n, Qt::CaseInsensitive) == 0) {
            // The water in the way is named as the list shows it, whatever case was typed.
            ui->label_warning->setText(QStringLiteral("A water named \"%1\" exists already "
                                                      "(names are compared ignoring case).")
                                           .arg(existing));
            return;
        }
    settings_write();
    accept();
}

void spcn_mix_result::on_pushButton_cancel_clicked()
{
    settings_write();
    reject();
}

void spcn_mix_result::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupNaming);
    restoreGeometry(settings.value("geometry").toByteArray());
    settings.endGroup();
}

void spcn_mix_result::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupNaming);
    settings.setValue("geometry", saveGeometry());
    settings.endGroup();
    settings.sync();
}
