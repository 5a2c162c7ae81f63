// Composition conditions of the current water: the combos of the composition rows,
// the swap options offered, the values shown in each unit and what a typed amount
// or a chosen option writes into the water.
//
// Amounts: Molar = molal x density for every row (H included), ppm = molal x the
// element's molal-to-ppm factor. A typed value sets all three; switching the unit
// shown never changes a stored amount.

#include "setup.h"

#include "dbdata.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDebug>
#include <QTableWidget>

#include <cmath>

namespace {

const double none = std::nan("");

/// Reaction name of a redox pair: its linked reaction's, else the name it was read
/// with. A pair built from the element picker holds only the linked records.
QString pairRxnName(const one_redoxRxn *p)
{
    return p->rxn ? p->rxn->name : p->redoxpair;
}

/// Element (or gas) name of a redox pair, linked record first.
QString pairElementName(const one_redoxRxn *p)
{
    const QString linked = p->recName();
    return linked.isEmpty() ? p->element : linked;
}

/// Name of the pair's second solute, linked record first; empty when it has none.
QString pairSecondSolute(const one_redoxRxn *p)
{
    if (p->soluteRecs.size() > 1 && p->soluteRecs.at(1))
        return p->soluteRecs.at(1)->name;
    return p->solutes.value(1);
}

/// A choice the water holds that the system no longer offers stays in the list, so
/// the row shows what is stored and the user can choose something else.
void keepStoredChoice(QComboBox *combo, const QString &stored, const QVariant &data)
{
    if (!stored.isEmpty() && combo->findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        combo->addItem(stored, data);
}

/// Widens a cell combo's list to at least 160 pixels.
void widenList(QComboBox *combo)
{
    combo->view()->setMinimumWidth(qMax(160, combo->sizeHint().width()));
}

} // namespace

// ---- option lists ------------------------------------------------------------------

QStringList setup::compile_optionSwap_list(const QString &element)
{
    QStringList names;
    if (!dbase || !batch)
        return names;
    const sim_data *db = dbase->sdata;
    QList<int> idx;
    for (const one_solid *s : db->solids)
        if (s && s->composition && s->composition->element.contains(element))
            idx += s->rxns;
    for (int k : std::as_const(idx))
        if (k >= 0 && k < db->rxnsSolid.size() && missing_species(db->rxnsSolid.at(k)).isEmpty())
            names << db->rxnsSolid.at(k)->name;
    return names;
}

QStringList setup::compile_optionSwap_list_H(const QString &)
{
    QStringList names;
    if (!dbase || !batch)
        return names;
    const sim_data *db = dbase->sdata;
    for (const one_rxn *r : db->rxnsSolid) {
        if (!r || !r->composition || !missing_species(r).isEmpty())
            continue;
        bool holdsH = false;
        for (const QString &s : r->composition->solute) {
            const int k = dbase->find_idxDB_solute(s);
            if (k >= 0 && db->solutes.at(k)->composition
                && db->solutes.at(k)->composition->element.contains(batch->sdata->nameH))
                holdsH = true;
        }
        if (holdsH)
            names << r->name;
    }
    return names;
}

QStringList setup::compile_optionSwap_list_O2g(const QString &name)
{
    QStringList names;
    if (!dbase || !batch)
        return names;
    for (const one_rxn *r : dbase->sdata->rxnsSolid)
        if (r && r->composition && r->composition->solute.contains(name)
            && missing_species(r).isEmpty())
            names << r->name;
    return names;
}

QStringList setup::compile_optionRedox_list(const QString &element)
{
    QStringList names;
    for (const one_redoxRxn *p : std::as_const(batch->sdata->redoxpairs))
        if (p && pairElementName(p) == element)
            names << pairRxnName(p);
    return names;
}

QStringList setup::compile_optionRedox_list_O2g(const QString &)
{
    QStringList names;
    for (const one_redoxRxn *p : std::as_const(batch->sdata->redoxpairs))
        if (p)
            names << pairRxnName(p);
    return names;
}

QStringList setup::compile_optionGases_list(const QString &element)
{
    QStringList names;
    for (const one_gas *g : std::as_const(batch->sdata->gases))
        if (g && g->composition && g->composition->element.contains(element))
            names << g->name;
    return names;
}

// ---- cell combos -------------------------------------------------------------------
// The wheel over a cell combo always scrolls its table; only the open list of one
// takes the wheel.

QComboBox *setup::comboBox_Water_typeH(int index)
{
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("[H+]"), gl.unitH_toString(global::pH)});
    combo->setCurrentIndex(index == global::pH ? 1 : 0);
    connect(combo, &QComboBox::currentIndexChanged, this, &setup::waterElement_soluteChanged_H);
    return combo;
}

QComboBox *setup::comboBox_Water_solutesList(const one_elementComp *entry)
{
    auto *combo = new QComboBox;
    combo->addItem(entry->element);
    // Gases follow the solutes in the list and carry no amount: they are not offered.
    for (const QString &name : entry->species)
        if (batch->find_idxBatch_solute(name) >= 0)
            combo->addItem(name);
    keepStoredChoice(combo, entry->solute, QVariant());
    widenList(combo);
    connect(combo, &QComboBox::currentIndexChanged, this, &setup::waterElement_soluteChanged);
    return combo;
}

QComboBox *setup::comboBox_Water_elementOptions(const QString &element)
{
    auto *combo = new QComboBox;
    const sim_data *sd = batch->sdata;
    if (element != sd->nameH2O && element != sd->nameO) {
        combo->addItem(QStringLiteral(" swap options"), element);
        const QStringList swaps = element == sd->nameH ? compile_optionSwap_list_H(element)
                                                       : compile_optionSwap_list(element);
        for (const QString &s : swaps)
            combo->addItem(s, QStringLiteral("SWAP"));
        const one_water *w = current_water();
        for (const one_elementComp *e : w ? w->composition : QList<one_elementComp *>())
            if (e->element == element && !e->swaprxn.isEmpty()) {
                keepStoredChoice(combo, e->swaprxn, QStringLiteral("SWAP"));
                const int k
                    = combo->findText(e->swaprxn, Qt::MatchExactly | Qt::MatchCaseSensitive);
                if (k > 0)
                    combo->setCurrentIndex(k);
            }
    }
    widenList(combo);
    connect(combo, &QComboBox::currentIndexChanged, this, &setup::waterElement_optionChanged);
    return combo;
}

QComboBox *setup::comboBox_Water_elementOptions_O2g()
{
    auto *combo = new QComboBox;
    const sim_data *sd = batch->sdata;
    combo->addItem(QStringLiteral(" swap options"), sd->nameO2g);
    for (const QString &s : compile_optionSwap_list_O2g(sd->nameO2g))
        combo->addItem(s, QStringLiteral("SWAP"));
    for (const one_redoxRxn *p : std::as_const(sd->redoxpairs)) {
        if (!p)
            continue;
        QString text = QStringLiteral("RP: ") + pairRxnName(p);
        const QString second = pairSecondSolute(p);
        if (!second.isEmpty())
            text += QStringLiteral("/") + second;
        combo->addItem(text + QStringLiteral(" "), pairRxnName(p));
    }
    if (const one_water *w = current_water()) {
        keepStoredChoice(combo, w->redoxO2gSwaprxn, QStringLiteral("SWAP"));
        const int k
            = combo->findText(w->redoxO2gSwaprxn, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (k > 0)
            combo->setCurrentIndex(k);
    }
    widenList(combo);
    connect(combo, &QComboBox::currentIndexChanged, this, &setup::waterElement_optionChanged_O2g);
    return combo;
}

QComboBox *setup::sender_combo() const
{
    return qobject_cast<QComboBox *>(sender());
}

// ---- value look-ups ----------------------------------------------------------------

global::units_concn setup::element_unit() const
{
    return gl.unitConcn_toEnum(ui->comboBox_elementUnits->currentText());
}

double setup::ppm_factor(const QString &element)
{
    return batch->element_ppmFactor(element);
}

double setup::select_concn_typeH(int water, int typeH)
{
    one_water *w = water_at(water);
    const int k = w ? find_idxElement_waterComp(water, batch->sdata->nameH) : -9;
    if (k < 0)
        return none;
    const one_elementComp *e = w->composition.at(k);
    if (typeH == global::pH)
        return e->Molar > 0.0 ? -std::log10(e->Molar) : none;
    if (typeH != global::H) {
        message(QStringLiteral("## unknown H concentration type"));
        return none;
    }
    // [H+] is an amount like any other element's, in whichever unit is shown.
    return select_concn_element(water, element_unit(), batch->sdata->nameH);
}

double setup::select_concn_typeO2g(int water, global::units_concn_gas)
{
    one_water *w = water_at(water);
    if (!w || !w->redoxO2g)
        return none;
    // Shown as stored: a fugacity a file gave that the cell would refuse is named by
    // Run's check, as every other amount is, rather than replaced where it is shown.
    return w->redoxO2g->molal;
}

double setup::select_concn_element(int water, global::units_concn unit, const QString &element)
{
    one_water *w = water_at(water);
    const int k = w ? find_idxElement_waterComp(water, element) : -9;
    if (k < 0)
        return none;
    const one_elementComp *e = w->composition.at(k);
    switch (unit) {
    case global::molal:
        return e->molal;
    case global::Molar:
        return e->Molar;
    case global::ppm:
        return e->ppm;
    }
    message(QStringLiteral("cannot process element concn, unit type [ ")
            + gl.unitConcn_toString(unit) + QStringLiteral(" ] in water."));
    return none;
}

double setup::select_concn_soluteResult(int water, global::units_concn unit, const QString &solute)
{
    const one_water *w = water_at(water);
    const int k = w ? find_idxSolute_Results(w->results, solute) : -9;
    if (k < 0)
        return none;
    const one_waterResult_solute *s = w->results->soln_aq.at(k);
    if (unit == global::molal)
        return s->cmolal;
    if (unit == global::Molar)
        return s->cMolar;
    message(QStringLiteral("cannot process solute concn, unit type [ ")
            + gl.unitConcn_toString(unit) + QStringLiteral(" ] in water result."));
    return none;
}

double setup::select_concn_gasResult(int water, global::units_concn_gas unit, const QString &gas)
{
    const one_water *w = water_at(water);
    const int k = w ? find_idxGas_Results(w->results, gas) : -9;
    if (k < 0)
        return none;
    if (unit == global::fugacity)
        return w->results->soln_gas.at(k)->cmolal;
    message(QStringLiteral("cannot process gas concn, unit type [ ")
            + gl.unitConcnGas_toString(unit) + QStringLiteral(" ] in water result."));
    return none;
}

int setup::find_idxSolute_Results(const one_water_result *r, const QString &name) const
{
    for (qsizetype i = 0; r && i < r->soln_aq.size(); ++i)
        if (r->soln_aq.at(i)->solute == name)
            return int(i);
    return -9;
}

int setup::find_idxGas_Results(const one_water_result *r, const QString &name) const
{
    for (qsizetype i = 0; r && i < r->soln_gas.size(); ++i)
        if (r->soln_gas.at(i)->solute == name)
            return int(i);
    return -9;
}

// ---- options chosen ----------------------------------------------------------------

void setup::waterElement_optionChanged(int index)
{
    if (QComboBox *combo = sender_combo())
        process_optionChanged(combo, index);
}

void setup::waterElement_optionChanged_O2g(int index)
{
    QComboBox *combo = sender_combo();
    if (!combo)
        return;
    if (index <= 0 || combo->itemData(index).toString() == QStringLiteral("SWAP"))
        process_optionChanged(combo, index);
    else
        process_optionChanged_Redox(combo, index);
}

void setup::process_optionChanged(QComboBox *combo, int index)
{
    one_water *w = current_water();
    if (!w) {
        refuse(QStringLiteral("##  swap option: no water is selected"));
        return;
    }
    const sim_data *sd = batch->sdata;
    const int cw = sd->currentWater;
    const QString key = combo->itemData(0).toString();
    const QString text = combo->currentText();
    QString *target = nullptr;
    if (key == sd->nameO2g) {
        target = &w->redoxO2gSwaprxn;
    } else {
        const int k = find_idxElement_waterComp(cw, key);
        if (k < 0)
            return;
        target = &w->composition[k]->swaprxn;
    }
    const auto snapBack = [&]() {
        const QSignalBlocker block(combo);
        const int k = combo->findText(*target, Qt::MatchExactly | Qt::MatchCaseSensitive);
        combo->setCurrentIndex(k > 0 ? k : 0);
    };

    if (index > 0) {
        // One reaction can replace only one condition of a water.
        QStringList inUse;
        for (const one_elementComp *e : std::as_const(w->composition))
            inUse << e->swaprxn;
        if (w->stag_O2g)
            inUse << w->redoxO2gSwaprxn;
        if (inUse.contains(text)) {
            refuse(QStringLiteral("for swap option, reaction [ ") + text
                   + QStringLiteral(" ] already in use"));
            snapBack();
            return;
        }
        *target = text;
        if (dbase->find_idxDB_rxn(text, global::solid) < 0
            && batch->find_idxBatch_solidRxn(text) < 0)
            message(QStringLiteral("##  swap reaction [ ") + text
                    + QStringLiteral(" ] not in database."));
    } else {
        target->clear();
        snapBack();
    }
    reset_rxnsSwap_waters(cw);
    mark_edit();
}

void setup::process_optionChanged_Redox(QComboBox *combo, int index)
{
    const QString data = combo->itemData(index).toString();
    qDebug().noquote() << "SWS: optionRedox O2g, idx " + QString::number(index) + ", itemData "
            + data;
    if (!compile_optionRedox_list_O2g(QString()).contains(data))
        qDebug().noquote() << "SWS: ## redox pair [ " + data + " ] not in this system";
}

void setup::waterElement_soluteChanged(int)
{
    QComboBox *combo = sender_combo();
    one_water *w = current_water();
    if (!combo || !w)
        return;
    const int k = find_idxElement_waterComp(batch->sdata->currentWater, combo->itemText(0));
    if (k < 0)
        return;
    w->composition.at(k)->solute = combo->currentText();
    mark_edit();
}

void setup::waterElement_soluteChanged_H(int index)
{
    one_water *w = current_water();
    if (!sender_combo() || !w)
        return;
    const int form = gl.unitH_toEnum(sender_combo()->currentText()) == global::pH ? 1 : 0;
    w->typeH = form;
    w->typeHIndex = form;
    write_amount_cell(ui->tableWidgetWaters_element_H, 0,
                      select_concn_typeH(batch->sdata->currentWater, index < 0 ? 0 : form));
    // A text typed as the other form goes: it would be read as a number it never was.
    show_refused_entries();
    mark_edit();
}

void setup::waterSolute_soluteChanged_H(int)
{
    one_water *w = current_water();
    if (!sender_combo() || !w || !w->results)
        return;
    const int form = gl.unitH_toEnum(sender_combo()->currentText()) == global::pH ? 1 : 0;
    w->resAux[0] = form;
    w->resAux[1] = form;
    show_solute_results(batch->sdata->currentWater);
    mark_edit();
}

// ---- units -------------------------------------------------------------------------

void setup::on_comboBox_elementUnits_currentIndexChanged(int)
{
    one_water *w = current_water();
    if (!w)
        return;
    const global::units_concn u = element_unit();
    ui->tableWidgetWaters_element_H->setEnabled(u != global::ppm);
    // The unit is saved with the water: choosing another is a change to save.
    if (w->concnunitElem != u)
        set_modified();
    w->concnunitElem = u;
    w->unitIndex2 = u;
    if (u == global::ppm && w->stag_O2g)
        message(QStringLiteral("O2g can be set as molal or Molar quantities only."));
    show_composition_values(batch->sdata->currentWater);
    // A refused text was typed in the unit left: it goes, and its cell shows the
    // stored amount in the unit chosen.
    show_refused_entries();
}

void setup::on_comboBox_concnUnits_currentIndexChanged(int)
{
    one_water *w = current_water();
    if (!w)
        return;
    const global::units_concn u = gl.unitConcn_toEnum(ui->comboBox_concnUnits->currentText());
    if (w->concnunit != u)
        set_modified();
    w->concnunit = u;
    w->unitIndex3 = u;
    show_solute_results(batch->sdata->currentWater);
}

void setup::on_comboBox_concnUnits_gas_currentIndexChanged(int)
{
    one_water *w = current_water();
    if (!w)
        return;
    const global::units_concn_gas u
        = gl.unitConcnGas_toEnum(ui->comboBox_concnUnits_gas->currentText());
    w->concnunitGas = u;
    w->unitIndex4 = u;
    show_solute_results(batch->sdata->currentWater);
}

// ---- typed amounts -----------------------------------------------------------------

bool setup::read_amount_cell(const QTableWidget *t, const QTableWidgetItem *item, double &value)
{
    const QVariant v = item->data(Qt::EditRole);
    bool ok = false;
    if (v.typeId() == QMetaType::Double) {
        value = v.toDouble();
        ok = true;
    } else {
        value = QLocale::c().toDouble(v.toString().trimmed(), &ok);
    }
    if (ok && std::isfinite(value))
        return true;
    refuse(QStringLiteral("##  ") + amount_name(t, item->row()) + QStringLiteral(" [ ")
           + v.toString() + QStringLiteral(" ] is not a finite number; the stored value is kept."));
    return false;
}

void setup::on_tableWidgetWaters_elements_itemChanged(QTableWidgetItem *item)
{
    QTableWidget *t = ui->tableWidgetWaters_elements;
    one_water *w = current_water();
    if (!item || item->column() != col_compAmount || !w)
        return;
    const int row = item->row();
    auto *solutes = qobject_cast<QComboBox *>(t->cellWidget(row, col_compElement));
    if (!solutes)
        return;
    const sim_data *sd = batch->sdata;
    const int cw = sd->currentWater;
    const QString element = solutes->itemText(0);
    const global::units_concn unit = element_unit();
    qsizetype k = -1;
    for (qsizetype i = 0; i < w->composition.size(); ++i)
        if (w->composition.at(i)->element == element)
            k = i;
    if (k < 0 || batch->find_idxBatch_element(element) < 0)
        return;
    one_elementComp *e = w->composition.at(k);
    double v = 0.0;
    if (element == sd->nameO || element == sd->nameH2O) {
        e->molal = e->Molar = e->ppm = 1.0;
    } else if (!read_amount_cell(t, item, v)) {
        write_amount_cell(t, row, select_concn_element(cw, unit, element));
        return;
    } else {
        const double d = w->densitymass;
        const double f = ppm_factor(element);
        switch (unit) {
        case global::Molar:
            e->Molar = v;
            e->molal = v / d;
            e->ppm = e->molal * f;
            break;
        case global::ppm:
            e->ppm = v;
            e->molal = f > 0.0 ? v / f : 0.0;
            e->Molar = e->molal * d;
            break;
        default:
            e->molal = v;
            e->Molar = v * d;
            e->ppm = v * f;
            break;
        }
    }
    // The cell keeps a double, so the next edit gets the validated editor again.
    write_amount_cell(t, row, select_concn_element(cw, unit, element));
    mark_edit();
}

void setup::on_tableWidgetWaters_element_H_itemChanged(QTableWidgetItem *item)
{
    QTableWidget *t = ui->tableWidgetWaters_element_H;
    one_water *w = current_water();
    if (!item || item->column() != col_compAmount || !w)
        return;
    const sim_data *sd = batch->sdata;
    const int cw = sd->currentWater;
    const int row = item->row();
    const global::units_concn unit = element_unit();
    const double d = w->densitymass;
    const auto shown = [&]() {
        return row == 1 ? (unit == global::Molar ? w->redoxO2g->Molar : w->redoxO2g->molal)
                        : select_concn_typeH(cw, w->typeH);
    };
    auto *typeH = qobject_cast<QComboBox *>(t->cellWidget(0, col_compElement));
    if ((row == 1 && !w->redoxO2g) || (row == 0 && !typeH) || row > 1)
        return;
    const bool asPH = row == 0 && typeH->currentIndex() == 1;
    double v = 0.0;
    bool ok = read_amount_cell(t, item, v);
    // An amount must be positive; a pH must give a representable [H+].
    const double fromPH = asPH ? std::pow(10.0, -v) : 0.0;
    if (ok && (asPH ? !(fromPH > 0.0 && std::isfinite(fromPH)) : !(v > 0.0))) {
        refuse(QStringLiteral("##  ") + (asPH ? QStringLiteral("pH") : amount_name(t, row))
               + QStringLiteral(" [ ") + QString::number(v, 'g', 6)
               + QStringLiteral(" ] is out of range; the stored value is kept."));
        ok = false;
    }
    if (ok && unit == global::ppm) {
        // Never from ppm: the amount stays as it was.
        if (row == 1)
            refuse(QStringLiteral("O2g can be set as molal or Molar quantities only."));
        ok = false;
    }
    if (!ok) {
        write_amount_cell(t, row, shown());
        return;
    }
    if (row == 1) {
        one_elementComp *o2 = w->redoxO2g;
        o2->molal = unit == global::Molar ? v / d : v;
        o2->Molar = unit == global::Molar ? v : v * d;
    } else {
        const int k = find_idxElement_waterComp(cw, sd->nameH);
        if (k < 0) {
            refuse(QStringLiteral("element H not found in the water."));
            return;
        }
        one_elementComp *e = w->composition.at(k);
        if (asPH) {
            e->Molar = fromPH;
            e->molal = e->Molar / d;
            w->pHcomp = v;
        } else {
            e->Molar = unit == global::Molar ? v : v * d;
            e->molal = unit == global::Molar ? v / d : v;
            w->pHcomp = -std::log10(e->Molar);
        }
        e->ppm = e->molal * ppm_factor(sd->nameH);
    }
    write_amount_cell(t, row, shown());
    mark_edit();
}

void setup::on_tableWidgetWaters_elements_cellClicked(int, int) { }

void setup::on_tableWidgetWaters_solutes_cellClicked(int, int) { }

void setup::on_tableWidgetWaters_gases_cellClicked(int, int) { }

// ---- selecting a water -------------------------------------------------------------

void setup::on_comboBox_waters_currentIndexChanged(int index)
{
    if (!batch || index < 0)
        return;
    const int k = batch->find_idxBatch_water(ui->comboBox_waters->itemText(index));
    if (!water_at(k))
        return;
    // The chosen water becomes the current one before anything is shown, so every
    // handler, the run and View Result work on the water the pages show.
    batch->sdata->currentWater = k;
    keep_copy_of_water(k);
    populate_stackedWidget_Waters(k);
    // The status line spoke of the previous water: grey it without marking a change.
    ui->lineEdit_spcnStat->clear();
    ui->lineEdit_spcnStat->setStyleSheet(QStringLiteral("background-color: #bbb;"));
    show_reason(QString());
    flag_statusCleared = true;
}
