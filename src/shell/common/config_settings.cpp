#include "config_settings.h"
#include "ui_config_settings.h"

#include "copy_struct.h"
#include "global.h"
#include "input_fields.h"
#include "records.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include <cmath>

namespace {
constexpr char groupWaterMgr[] = "WATERMGR";
constexpr char keyGeometry[] = "geometry";
} // namespace

config_settings::config_settings(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::config_settings)
{
    ui->setupUi(this);
    for (QLineEdit *field : {ui->lineEditSpcn_iterationLimit, ui->lineEditSpcn_convergenceLimit,
                             ui->lineEditSpcn_concnHigh, ui->lineEditSpcn_concnLow})
        field->setAlignment(Qt::AlignCenter);
    // A refused text stays as typed, amber, with its reason in a tool tip.
    number_rule iterations
        = number_rule::between(QStringLiteral("iteration limit"), 1, iterationLimitMax);
    iterations.integer = true;
    number_field::attach(ui->lineEditSpcn_iterationLimit, iterations);
    number_field::attach(ui->lineEditSpcn_convergenceLimit,
                         number_rule::above(QStringLiteral("convergence limit"), 0.0));
    number_field::attach(ui->lineEditSpcn_concnHigh,
                         number_rule::above(QStringLiteral("high concentration limit"), 0.0));
    number_field::attach(ui->lineEditSpcn_concnLow,
                         number_rule::above(QStringLiteral("low concentration limit"), 0.0));
    ui->pushButton_cancel->setAutoDefault(false);
    ui->pushButton_save->setAutoDefault(false);
    settings_read();
}

config_settings::~config_settings()
{
    delete working;
    delete ui;
}

void config_settings::settingsSpcn_numerical(one_ctrlset *ctrl)
{
    ctrlset = ctrl;
    delete working;
    working = copy_struct().copy_ctrlset(ctrl);
    populate_fields();
    // A small touch screen gets the whole screen for the dialog.
    if (global().get_OSProductType() == 1) {
        resize(scrInfo.size_width(), scrInfo.size_height());
        move(0, 0);
    }
}

one_ctrlset *config_settings::settingsSpcn_recover()
{
    return ctrlset;
}

void config_settings::settingsSpcn_save()
{
    // While a field shows a refused text the copy may hold an earlier value
    // typed on the way (1000 on the way to 10001); nothing is saved then.
    if (!ui->pushButton_save->isEnabled() || !limitsInOrder())
        return;
    if (ctrlset && working) {
        ctrlset->csolvitmax = working->csolvitmax;
        ctrlset->csolvcvg = working->csolvcvg;
        ctrlset->csolvcmax = working->csolvcmax;
        ctrlset->csolvcmin = working->csolvcmin;
    }
    accept();
}

void config_settings::settingsSpcn_cancel()
{
    reject();
}

void config_settings::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupWaterMgr);
    restoreGeometry(settings.value(keyGeometry).toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
}

void config_settings::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupWaterMgr);
    settings.setValue(keyGeometry, saveGeometry());
    settings.endGroup();
    settings.sync();
}

int config_settings::parseIterationLimit(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return (ok && value >= 1 && value <= iterationLimitMax) ? value : 0;
}

double config_settings::parsePositive(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return (ok && std::isfinite(value) && value > 0.0) ? value : 0.0;
}

void config_settings::populate_fields()
{
    ui->label_properties->setText(
        QStringLiteral("Speciation numerical methods and iteration parameters"));
    ui->label_properties->setMinimumWidth(500);
    if (!working)
        return;
    // Each text set runs its field's handler, so the copy holds what is shown.
    ui->lineEditSpcn_iterationLimit->setText(QString::number(working->csolvitmax));
    ui->lineEditSpcn_convergenceLimit->setText(QString::number(working->csolvcvg, 'g', 6));
    ui->lineEditSpcn_concnHigh->setText(QString::number(working->csolvcmax, 'g', 6));
    ui->lineEditSpcn_concnLow->setText(QString::number(working->csolvcmin, 'g', 6));
}

void config_settings::updateSave()
{
    // Read from the rules, not the marks: a field's own handler may run first.
    bool anyRefused = false;
    for (QLineEdit *f : {ui->lineEditSpcn_iterationLimit, ui->lineEditSpcn_convergenceLimit,
                         ui->lineEditSpcn_concnHigh, ui->lineEditSpcn_concnLow})
        if (const number_field *rule = number_field::of(f))
            anyRefused = anyRefused || !rule->rule().refusal(f->text()).isEmpty();
    ui->pushButton_save->setEnabled(!anyRefused);
}

void config_settings::takeDouble(const QString &text, double *target)
{
    const double value = parsePositive(text);
    if (value > 0.0 && target)
        *target = value;
    updateSave();
}

void config_settings::on_lineEditSpcn_iterationLimit_textChanged(const QString &text)
{
    const int value = parseIterationLimit(text);
    if (value > 0 && working)
        working->csolvitmax = value;
    updateSave();
}

void config_settings::on_lineEditSpcn_convergenceLimit_textChanged(const QString &text)
{
    takeDouble(text, working ? &working->csolvcvg : nullptr);
}

void config_settings::on_lineEditSpcn_concnHigh_textChanged(const QString &text)
{
    takeDouble(text, working ? &working->csolvcmax : nullptr);
}

void config_settings::on_lineEditSpcn_concnLow_textChanged(const QString &text)
{
    takeDouble(text, working ? &working->csolvcmin : nullptr);
}

void config_settings::on_pushButton_cancel_clicked()
{
    settingsSpcn_cancel();
}

bool config_settings::limitsInOrder()
{
    if (!working || working->csolvcmin < working->csolvcmax)
        return true;
    QMessageBox::warning(this, QStringLiteral("Control Parameters"),
                         QStringLiteral("The low concentration limit (%1) must be below the "
                                        "high one (%2).\nNothing was saved.")
                             .arg(QString::number(working->csolvcmin, 'g', 6),
                                  QString::number(working->csolvcmax, 'g', 6)));
    ui->lineEditSpcn_concnLow->setFocus();
    return false;
}

void config_settings::on_pushButton_save_clicked()
{
    if (!ui->pushButton_save->isEnabled() || !limitsInOrder())
        return;
    settings_write();
    settingsSpcn_save();
}
