// The Solution Properties tab: temperature, density, charge balance, alkalinity and
// the activity models of the current water, and the lists of activity models.

#include "setup.h"

#include "sbatch.h"
#include "ui_setup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>

#include <cmath>

namespace {

const char styleEditing[] = "background: #e6f7ff;";
const char styleEdited[] = "background: #f6f6f6;";

/// Solute activity models, index = stored code (global::activity_type).
const QStringList acSolutesItems
    = {QStringLiteral("ideal solution"), QStringLiteral("Debye-Huckel (I << 0.1 m)"),
       QStringLiteral("Extended Debye-Huckel (I < 0.1 m)"),
       QStringLiteral("Davies (Debye-Huckel; I < 0.5 m)"),
       QStringLiteral("EQ36 B-dot (Extended Debye-Huckel; I < 1.0+)")};

/// Water activity models, index = stored code (global::activityWater_type).
const QStringList acWaterItems
    = {QStringLiteral("ideal solution"), QStringLiteral("mole fraction of water"),
       QStringLiteral("EQ36 B-dot (Extended Debye-Huckel)")};

/// The field's text as a number, 0 when it is not one. Editing finishes only on a text
/// the field's rule accepts, or on the stored value as shown, which the callers skip.
double fieldValue(const QLineEdit *field)
{
    bool ok = false;
    const double v = field->text().trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

/// Fills an activity-model combo without signals, disables the items listed
/// and makes `code` current.
void fillActivityCombo(QComboBox *combo, const QStringList &items, const QList<int> &disabled,
                       int code)
{
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    combo->view()->setMinimumWidth(combo->sizeHint().width() + 10);
    if (auto *model = qobject_cast<QStandardItemModel *>(combo->model()))
        for (int k : disabled)
            if (QStandardItem *item = model->item(k))
                item->setEnabled(false);
    combo->setCurrentIndex(code >= 0 && code < items.size() ? code : -1);
}

} // namespace

// ---- activity-model lists ------------------------------------------------------------

void setup::accumulate_list_acSolutes()
{
    const one_water *w = current_water();
    QList<int> disabled = {global::ac_dh_ext};
    if (batch && batch->sdata->dbtype != 0)
        disabled << global::ac_dh_bdot;
    fillActivityCombo(ui->comboBox_acSolutes, acSolutesItems, disabled, w ? w->activitymethod : 0);
}

void setup::accumulate_list_acWater()
{
    const one_water *w = current_water();
    QList<int> disabled;
    if (batch && batch->sdata->dbtype != 0)
        disabled << global::acw_dh_bdot;
    fillActivityCombo(ui->comboBox_acWater, acWaterItems, disabled, w ? w->activitywater : 0);
}

void setup::on_comboBox_acSolutes_currentIndexChanged(int index)
{
    one_water *w = current_water();
    if (!w || index < 0 || index >= acSolutesItems.size() || w->activitymethod == index)
        return;
    w->activitymethod = index;
    mark_edit();
}

void setup::on_comboBox_acWater_currentIndexChanged(int index)
{
    one_water *w = current_water();
    if (!w || index < 0 || index >= acWaterItems.size() || w->activitywater == index)
        return;
    w->activitywater = index;
    mark_edit();
}

// ---- temperature and density ---------------------------------------------------------

void setup::show_at_rest(QLineEdit *field)
{
    if (field->styleSheet() != QLatin1String(styleEdited))
        field->setStyleSheet(QLatin1String(styleEdited));
}

void setup::on_lineEdit_temperature_textEdited(const QString &)
{
    ui->lineEdit_temperature->setStyleSheet(QLatin1String(styleEditing));
}

void setup::on_lineEdit_temperature_editingFinished()
{
    QLineEdit *field = ui->lineEdit_temperature;
    show_at_rest(field);
    one_water *w = current_water();
    if (!w)
        return;
    // Leaving the field as it was shown is no edit: a result stays current. A text
    // the field's rule refuses never gets here.
    if (field->text().trimmed() == stored_text(field, w))
        return;
    w->TC = fieldValue(field);
    mark_edit();
}

void setup::on_lineEdit_massDensity_textEdited(const QString &)
{
    ui->lineEdit_massDensity->setStyleSheet(QLatin1String(styleEditing));
}

void setup::on_lineEdit_massDensity_editingFinished()
{
    QLineEdit *field = ui->lineEdit_massDensity;
    show_at_rest(field);
    one_water *w = current_water();
    if (!w)
        return;
    if (field->text().trimmed() == stored_text(field, w))
        return;
    apply_density(w, fieldValue(field));
    update_stackedWidget_Waters(batch->sdata->currentWater);
    mark_edit();
}

void setup::apply_density(one_water *w, double d)
{
    const sim_data *sd = batch->sdata;
    w->densitymass = d;
    // Molality is what a water holds; Molar follows the density. What the user typed
    // for H and the alkalinity stays as typed instead.
    for (one_elementComp *e : std::as_const(w->composition)) {
        if (!e || e->element == sd->nameH2O || e->element == sd->nameO)
            continue;
        if (e->element == sd->nameH) {
            // A pH fixes the Molar amount (10^-pH), as does [H+] typed in Molar.
            if (w->typeH == global::pH || element_unit() == global::Molar) {
                e->molal = e->Molar / d;
            } else {
                e->Molar = e->molal * d;
            }
        } else {
            e->Molar = e->molal * d;
        }
        if (batch->find_idxBatch_element(e->element) >= 0)
            e->ppm = e->molal * ppm_factor(e->element);
    }
    if (w->redoxO2g)
        w->redoxO2g->Molar = w->redoxO2g->molal * d;
    if (w->alkUnit == global::Molar)
        w->alkmolal = w->alkMolar / d;
    else
        w->alkMolar = w->alkmolal * d;

    if (!w->results)
        return;
    for (one_waterResult_solute *s : std::as_const(w->results->soln_aq))
        if (s->solute != sd->nameH2O && s->solute != sd->nameO)
            s->cMolar = s->cmolal * d;
    for (one_waterResult_solute *g : std::as_const(w->results->soln_gas))
        g->cMolar = g->cmolal * d;
}

// ---- charge balance ------------------------------------------------------------------

void setup::on_checkBox_chargeBalance_clicked(bool checked)
{
    one_water *w = current_water();
    if (!w)
        return;
    w->chargebalance = checked;
    ui->comboBox_chargeBalance->setEnabled(checked);
    if (checked && ui->comboBox_chargeBalance->count() < 2)
        comboBox_chargeBalance_basesList();
    mark_chargeBalance_row(w);
    mark_edit();
}

void setup::on_comboBox_chargeBalance_currentIndexChanged(int index)
{
    one_water *w = current_water();
    if (!w || index <= 0)
        return;
    const QString solute = ui->comboBox_chargeBalance->itemText(index);
    const int k = batch->find_idxBatch_elementBasis(solute);
    w->chargebalanceSolute = solute;
    w->chargebalanceElem = k >= 0 ? batch->sdata->elements.at(k)->name : QString();

    mark_chargeBalance_row(w);
    mark_edit();
}

void setup::mark_chargeBalance_row(const one_water *w)
{
    // The amount typed for the balancing element no longer counts: it shows red.
    QTableWidget *t = ui->tableWidgetWaters_elements;
    const QSignalBlocker block(t);
    for (int row = 0; row < t->rowCount(); ++row) {
        const auto *combo = qobject_cast<QComboBox *>(t->cellWidget(row, col_compElement));
        QTableWidgetItem *amount = t->item(row, col_compAmount);
        if (!combo || !amount)
            continue;
        const bool balancing = w && w->chargebalance && !w->chargebalanceElem.isEmpty()
            && combo->count() > 0 && combo->itemText(0) == w->chargebalanceElem;
        amount->setForeground(balancing ? Qt::red : Qt::black);
    }
}

// ---- alkalinity ----------------------------------------------------------------------

void setup::on_checkBox_alkalinity_clicked(bool checked)
{
    one_water *w = current_water();
    if (!w)
        return;
    w->alkSet = checked;
    for (QWidget *wdg : {static_cast<QWidget *>(ui->lineEdit_alkalinity),
                         static_cast<QWidget *>(ui->comboBox_alkalinityUnit),
                         static_cast<QWidget *>(ui->radioButton_alkalinityPH),
                         static_cast<QWidget *>(ui->radioButton_alkalinityCarb)})
        wdg->setEnabled(checked);
    // A greyed field holds no entry: a refused text gives way to the stored value.
    show_refused_entries();
    mark_edit();
}

void setup::on_radioButton_alkalinityPH_clicked(bool)
{
    if (one_water *w = current_water()) {
        w->alkElem = batch->sdata->nameH;
        mark_edit();
    }
}

void setup::on_radioButton_alkalinityCarb_clicked(bool)
{
    if (one_water *w = current_water()) {
        w->alkElem = batch->sdata->nameC;
        mark_edit();
    }
}

void setup::on_lineEdit_alkalinity_textEdited(const QString &)
{
    ui->lineEdit_alkalinity->setStyleSheet(QLatin1String(styleEditing));
}

void setup::on_lineEdit_alkalinity_editingFinished()
{
    QLineEdit *field = ui->lineEdit_alkalinity;
    show_at_rest(field);
    one_water *w = current_water();
    if (!w)
        return;
    if (field->text().trimmed() == stored_text(field, w))
        return;
    const bool asMolar = w->alkUnit == global::Molar;
    const double v = fieldValue(field);
    // Molar = molal x density, as for the composition amounts.
    const double d = w->densitymass;
    w->alkmolal = asMolar ? v / d : v;
    w->alkMolar = asMolar ? v : v * d;
    mark_edit();
}

void setup::on_comboBox_alkalinityUnit_currentIndexChanged(int index)
{
    one_water *w = current_water();
    if (!w || index == 0)
        return;
    w->alkUnit = index == 2 ? global::Molar : global::molal;
    // The field shows the stored value in the unit chosen; a refused text, typed in
    // the other unit, goes with it.
    show_refused_entries();
    set_modified();
}
