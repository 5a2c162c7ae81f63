// Elements and gases of the chemical system: adding them with what they bring,
// deleting them with what goes with them, the charge-balance list and the
// look-ups of table rows and water composition entries.

#include "setup.h"

#include "dbdata.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QDebug>
#include <QMessageBox>
#include <QTreeWidgetItem>

namespace {

const char trashIcon[] = ":/icons/trashbin1.png";

/// True when the composition names the element; a missing composition names none.
bool compHolds(const one_comp_elements *comp, const QString &element)
{
    return comp && comp->element.contains(element);
}

/// True when a reaction names the species among its own.
bool rxnHolds(const one_rxn *rxn, const QString &species)
{
    return rxn && rxn->composition && rxn->composition->solute.contains(species);
}

} // namespace

// ---- elements --------------------------------------------------------------------

void setup::add_one_element(one_element *element, bool fixed, int)
{
    if (!batch || !element || locate_element_onTable(element->name))
        return;
    sim_data *sd = batch->sdata;
    element->redoxelement = false;
    element->redoxsolutes = false;
    element->fixed = fixed || !sd->ctrlset->dbaccess;
    sd->elements.append(element);
    sync_counts();

    auto *item = new QTreeWidgetItem;
    item->setText(0, element->name);
    item->setTextAlignment(0, Qt::AlignCenter);
    item->setText(col_elementName, element->name);
    if (element->fixed) {
        item->setText(col_elementDelete, QStringLiteral("--"));
        item->setTextAlignment(col_elementDelete, Qt::AlignCenter);
    } else {
        item->setIcon(col_elementDelete, QIcon(QString::fromLatin1(trashIcon)));
    }
    ui->treeWidget_elements->addTopLevelItem(item);
    set_modified();
}

void setup::collect_data_on_element(one_element *element)
{
    if (!batch || !element)
        return;
    // What was taken counts, not what was found: a mineral whose reaction takes O2(g)
    // is found and then turned away.
    const sim_data *sd = batch->sdata;
    const qsizetype before = sd->rxnsAqueous.size() + sd->rxnsSolid.size();
    const QList<one_rxn *> aqueous = collect_rxnsAqueous_on_element(element->name);
    for (one_rxn *r : aqueous)
        add_one_rxnAqueous(r, false);
    const QList<one_rxn *> solids = collect_rxnsSolids_on_element(element->name);
    for (one_rxn *r : solids)
        add_one_rxnSolid(r, false);
    sync_counts();
    if (sd->rxnsAqueous.size() + sd->rxnsSolid.size() == before) {
        QMessageBox::warning(this, QStringLiteral("Adding Chemical Element"),
                             QStringLiteral("No new reaction or solute added.\nAdd another "
                                            "element that complexes\n  with this element\nor "
                                            "delete this element."),
                             QMessageBox::Ok);
    }
    // The waters now meet an element an earlier run never saw: its status no longer
    // stands for them.
    mark_edit();
}

void setup::delete_one_element(int row)
{
    if (!batch)
        return;
    sim_data *sd = batch->sdata;
    QTreeWidgetItem *item = ui->treeWidget_elements->topLevelItem(row);
    const QString name = item ? item->text(col_elementName) : QString();
    const int k = item ? batch->find_idxBatch_element(name) : -9;
    if (k < 0) {
        message(
            QStringLiteral("##  delete element: search error, row %1 [ %2 ]").arg(row).arg(name));
        return;
    }
    one_element *element = sd->elements.at(k);
    if (element->fixed) {
        message(QStringLiteral("##  element [ %1 ] is fixed, cannot be removed").arg(name));
        return;
    }
    remove_data_on_element(element);
    sd->elements.removeAt(k);
    delete ui->treeWidget_elements->takeTopLevelItem(row);

    // The element's pairs go whatever the redox switch: a pair of an element no
    // longer in the system could never be used and would still be saved.
    for (qsizetype i = sd->redoxpairs.size() - 1; i >= 0; --i) {
        const one_redoxRxn *p = sd->redoxpairs.at(i);
        if (p && p->recName() == element->name)
            sd->redoxpairs.removeAt(i);
    }
    sync_counts();
    clear_conditions_without_species();
    // An entry typed for the element, or for what it served, goes with it.
    show_refused_entries();
    // The waters lost the element's amounts and maybe a swap or the charge balance:
    // an earlier run's status no longer stands for them.
    mark_edit();
}

// ---- conditions that need a species the system no longer has -----------------------

QStringList setup::missing_species(const one_rxn *rxn) const
{
    QStringList missing;
    if (!rxn || !rxn->composition)
        return missing;
    for (const QString &s : rxn->composition->solute)
        if (s != rxn->name && batch->find_idxBatch_solute(s) < 0 && !missing.contains(s))
            missing << s;
    return missing;
}

void setup::clear_conditions_without_species()
{
    sim_data *sd = batch->sdata;
    for (qsizetype i = 0; i < sd->waters.size(); ++i) {
        one_water *w = sd->waters.at(i);
        if (!w)
            continue;
        // One line per cleared choice: which water, which element, what went and why.
        const auto report
            = [this, w](const QString &element, const QString &what, const QStringList &needs) {
                  message(QStringLiteral("##  water [ ") + w->name + QStringLiteral(" ] element ")
                          + element + QStringLiteral(": ") + what
                          + QStringLiteral(" cleared, it needs ") + needs.join(QStringLiteral(", "))
                          + QStringLiteral(" which the system no longer has (unsaved)"));
              };
        for (one_elementComp *e : std::as_const(w->composition)) {
            if (!e)
                continue;
            const QStringList needs = missing_species(swap_record(e->swaprxn));
            if (!e->swaprxn.isEmpty() && !needs.isEmpty()) {
                report(e->element,
                       QStringLiteral("swap reaction [ ") + e->swaprxn + QStringLiteral(" ]"),
                       needs);
                e->swaprxn.clear();
            }
            if (!e->solute.isEmpty() && e->solute != e->element
                && batch->find_idxBatch_solute(e->solute) < 0) {
                report(e->element, QStringLiteral("species [ ") + e->solute + QStringLiteral(" ]"),
                       {e->solute});
                e->solute = e->element;
            }
        }
        const QStringList needsO2g = missing_species(swap_record(w->redoxO2gSwaprxn));
        if (!w->redoxO2gSwaprxn.isEmpty() && !needsO2g.isEmpty()) {
            report(sd->nameO2g,
                   QStringLiteral("swap reaction [ ") + w->redoxO2gSwaprxn + QStringLiteral(" ]"),
                   needsO2g);
            w->redoxO2gSwaprxn.clear();
        }
        if (!w->chargebalanceSolute.isEmpty()
            && batch->find_idxBatch_solute(w->chargebalanceSolute) < 0) {
            report(w->chargebalanceElem,
                   QStringLiteral("charge balance on [ ") + w->chargebalanceSolute
                       + QStringLiteral(" ]"),
                   {w->chargebalanceSolute});
            w->chargebalance = false;
            w->chargebalanceSolute.clear();
            w->chargebalanceElem.clear();
        }
        if (w->alkSet && batch->find_idxBatch_element(sd->nameC) < 0) {
            report(sd->nameC, QStringLiteral("alkalinity condition"), {sd->nameC});
            w->alkSet = false;
        }
        reset_rxnsSwap_waters(int(i));
    }
}

void setup::remove_data_on_element(one_element *element)
{
    sim_data *sd = batch->sdata;
    const QString name = element->name;

    auto holding = [&name](const QList<one_rxn *> &rxns) {
        QStringList names;
        for (const one_rxn *r : rxns)
            if (r && r->elements.contains(name))
                names << r->name;
        return names;
    };
    const QStringList aqueous = holding(sd->rxnsAqueous);
    const QStringList solids = holding(sd->rxnsSolid);
    const QStringList gasRxns = holding(sd->rxnsGas);

    auto takeOut = [this](QList<one_rxn *> &list, const QStringList &names) {
        for (const QString &n : names) {
            for (qsizetype i = 0; i < list.size(); ++i) {
                if (list.at(i)->name != n)
                    continue;
                const int row = find_idx_rxn_table(n);
                if (row >= 0)
                    ui->tableWidget_rxns->removeRow(row);
                list.removeAt(i);
                break;
            }
        }
    };
    takeOut(sd->rxnsAqueous, aqueous);
    takeOut(sd->rxnsSolid, solids);
    takeOut(sd->rxnsGas, gasRxns);

    QStringList solutes;
    for (const one_solute *s : std::as_const(sd->solutes))
        if (s && compHolds(s->composition, name))
            solutes << s->name;
    for (const QString &n : solutes) {
        for (qsizetype i = 0; i < sd->solutes.size(); ++i) {
            if (sd->solutes.at(i)->name != n)
                continue;
            if (find_idx_solute_table(n) >= 0 && i < ui->tableWidget_solutes->rowCount())
                ui->tableWidget_solutes->removeRow(int(i));
            sd->solutes.removeAt(i);
            break;
        }
    }

    QStringList gases;
    for (const one_gas *g : std::as_const(sd->gases))
        if (g && compHolds(g->composition, name))
            gases << g->name;
    for (const QString &n : gases) {
        const int k = batch->find_idxBatch_gas(n);
        if (k >= 0) {
            remove_redoxGases_of(sd->gases.at(k));
            sd->gases.removeAt(k);
        }
        const int row = find_idx_gas_table(n);
        if (row >= 0)
            ui->tableWidget_gases->removeRow(row);
    }
    sync_counts();

    cleanup_batch_solute_O2g();
    set_modified();
}

void setup::cleanup_batch_solute_O2g()
{
    sim_data *sd = batch->sdata;
    // Every water loses its O2(g) condition with the solute, not only the one on
    // show: a water left with the condition would ask for a species the system lacks.
    auto dropConditions = [sd] {
        for (one_water *w : std::as_const(sd->waters))
            if (w)
                w->stag_O2g = false;
    };
    const int k = batch->find_idxBatch_solute(sd->nameO2g);
    if (k < 0) {
        dropConditions();
        set_modified();
        return;
    }
    for (const QList<one_rxn *> *list : {&sd->rxnsSolid, &sd->rxnsAqueous, &sd->rxnsGas})
        for (const one_rxn *r : *list)
            if (rxnHolds(r, sd->nameO2g))
                return;

    if (k < ui->tableWidget_solutes->rowCount())
        ui->tableWidget_solutes->removeRow(k);
    sd->solutes.removeAt(k);
    sync_counts();
    dropConditions();
    set_modified();
}

// ---- gases -----------------------------------------------------------------------

void setup::add_one_gas(one_gas *gas, bool fixed)
{
    if (!batch || !gas || locate_gas_onTable(gas->name))
        return;
    sim_data *sd = batch->sdata;
    gas->fixed = fixed || !sd->ctrlset->dbaccess;
    sd->gases.append(gas);
    sync_counts();

    QTableWidget *t = ui->tableWidget_gases;
    const int row = t->rowCount();
    t->insertRow(row);
    t->setRowHeight(row, ff.cell_height());
    auto *nameItem = new QTableWidgetItem(gas->name);
    nameItem->setTextAlignment(Qt::AlignCenter);
    t->setItem(row, 0, nameItem);
    auto *del = new QTableWidgetItem;
    del->setTextAlignment(Qt::AlignCenter);
    if (gas->fixed) {
        del->setText(QStringLiteral("--"));
        QFont f = del->font();
        f.setWeight(QFont::Normal);
        del->setFont(f);
        del->setForeground(Qt::red);
    } else {
        del->setIcon(QIcon(QString::fromLatin1(trashIcon)));
    }
    t->setItem(row, col_gasDelete, del);
    set_modified();
}

void setup::collect_data_on_gas(one_gas *gas)
{
    if (!batch || !gas)
        return;
    sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;

    QStringList missing;
    if (gas->composition) {
        for (const QString &e : gas->composition->element) {
            if (e == sd->nameH || e == sd->nameO || missing.contains(e))
                continue;
            bool inSystem = false;
            for (const one_element *el : std::as_const(sd->elements))
                inSystem = inSystem || el->name == e;
            if (!inSystem)
                missing << e;
        }
    }
    for (const QString &e : missing) {
        const int k = dbase->find_idxDB_element(e);
        if (k < 0 || locate_element_onTable(e))
            continue;
        one_element *el = db->elements.at(k);
        add_one_element(el, false, global::chemElement);
        if (el->name != sd->nameH && el->name != sd->nameO)
            collect_data_on_element(el);
    }

    const int kr = dbase->find_idxDB_rxn(gas->name, global::gas);
    if (kr >= 0) {
        one_rxn *rxn = db->rxnsGas.at(kr);
        add_one_rxnAqueous(rxn, false);
        if (sd->ctrlset->redox && rxn->name != sd->nameO2g)
            check_redox_gasRxn(gas, rxn);
    } else {
        qDebug().noquote() << "SG: #### cannot find a reaction associated with gas " + gas->name;
    }

    populateTable_solutes();
    populateTable_rxns(sd->rxnsAqueous, sd->rxnsGas);
    ui->comboBox_rxnsList->setCurrentIndex(1);
    // With the gas's reaction an earlier run's status no longer stands.
    mark_edit();
}

void setup::check_redox_gasRxn(one_gas *gas, one_rxn *rxn)
{
    sim_data *sd = batch->sdata;
    if (!gas || !rxnHolds(rxn, sd->nameO2g))
        return;
    // One record per gas: adding a gas that is listed already adds no second one.
    for (const one_redoxRxn *r : std::as_const(sd->redoxgases))
        if (r && (r->gasRec == gas || r->recName() == gas->name))
            return;

    auto *rec = sd->own(new one_redoxRxn);
    rec->gasRec = gas;
    rec->rxn = rxn;

    QString redoxElement;
    if (gas->composition) {
        for (const QString &e : gas->composition->element) {
            if (e != sd->nameH && e != sd->nameO) {
                redoxElement = e;
                break;
            }
        }
    }
    for (const QString &species : rxn->composition->solute) {
        const int k = batch->find_idxBatch_solute(species);
        if (k >= 0) {
            one_solute *s = sd->solutes.at(k);
            if (compHolds(s->composition, redoxElement))
                rec->soluteRecs.append(s);
        } else if (batch->find_idxBatch_gas(species) < 0) {
            qDebug().noquote() << "SG: ## gas " + gas->name + " redox reaction " + rxn->name
                    + " could not be identified;";
            qDebug().noquote() << "    not found in solutes nor gases database";
        }
    }
    sd->redoxgases.append(rec);
}

void setup::remove_redoxGases_of(const one_gas *gas)
{
    QList<one_redoxRxn *> &list = batch->sdata->redoxgases;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const one_redoxRxn *r = list.at(i);
        if (r && (r->gasRec == gas || r->recName() == gas->name))
            list.removeAt(i);
    }
}

void setup::delete_one_gas(int row)
{
    if (!batch)
        return;
    sim_data *sd = batch->sdata;
    const QTableWidgetItem *item = ui->tableWidget_gases->item(row, 0);
    const QString name = item ? item->text() : QString();
    const int k = item ? batch->find_idxBatch_gas(name) : -9;
    if (k < 0) {
        message(
            QStringLiteral("## delete gas: data search error, row %1 [ %2 ]").arg(row).arg(name));
        return;
    }
    one_gas *gas = sd->gases.at(k);
    if (gas->fixed) {
        message(QStringLiteral("##  gas [ %1 ] is fixed, cannot be removed").arg(name));
        return;
    }
    for (qsizetype i = 0; i < sd->rxnsGas.size(); ++i) {
        if (sd->rxnsGas.at(i)->name == gas->name) {
            sd->rxnsGas.removeAt(i);
            break;
        }
    }
    const int rxnRow = find_idx_rxn_table(gas->name);
    if (rxnRow >= 0)
        ui->tableWidget_rxns->removeRow(rxnRow);
    remove_redoxGases_of(gas);
    sd->gases.removeAt(k);
    ui->tableWidget_gases->removeRow(row);
    sync_counts();
    show_refused_entries();
    // Without the gas's reaction an earlier run's status no longer stands.
    mark_edit();
}

// ---- charge balance --------------------------------------------------------------

void setup::comboBox_chargeBalance_basesList()
{
    QComboBox *combo = ui->comboBox_chargeBalance;
    combo->clear();
    combo->addItem(QStringLiteral(" options "));
    if (!batch)
        return;
    const sim_data *sd = batch->sdata;
    const one_water *w = current_water();
    for (const one_element *el : sd->elements) {
        if (el->name == sd->nameO)
            continue;
        const int k = batch->find_idxBatch_solute(el->basis_name);
        if (k < 0 || sd->solutes.at(k)->charge == 0.0)
            continue;
        combo->addItem(el->basis_name);
        if (w && el->basis_name == w->chargebalanceSolute)
            combo->setCurrentIndex(combo->count() - 1);
    }
}

// ---- look-ups --------------------------------------------------------------------

bool setup::locate_element_onTable(const QString &name)
{
    return find_idx_element_table(name) >= 0;
}

bool setup::locate_gas_onTable(const QString &name)
{
    return find_idx_gas_table(name) >= 0;
}

int setup::find_idx_element_table(const QString &name)
{
    const QTreeWidget *tree = ui->treeWidget_elements;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(col_elementName) == name)
            return i;
    return -9;
}

namespace {
int findInColumn(const QTableWidget *t, const QString &name)
{
    for (int i = 0; i < t->rowCount(); ++i) {
        const QTableWidgetItem *it = t->item(i, 0);
        if (it && it->text() == name)
            return i;
    }
    return -9;
}
} // namespace

int setup::find_idx_gas_table(const QString &name)
{
    return findInColumn(ui->tableWidget_gases, name);
}

int setup::find_idx_solute_table(const QString &name)
{
    return findInColumn(ui->tableWidget_solutes, name);
}

int setup::find_idx_rxn_table(const QString &name)
{
    return findInColumn(ui->tableWidget_rxns, name);
}

int setup::find_idxElement_waterComp(int water, const QString &element)
{
    one_water *w = water_at(water);
    if (element.isEmpty() || !w)
        return -9;
    for (qsizetype i = 0; i < w->composition.size(); ++i)
        if (w->composition.at(i) && w->composition.at(i)->element == element)
            return int(i);
    one_elementComp *e = batch->setup_one_elementComp(element);
    // A new entry's amounts all follow from its molality.
    const sim_data *sd = batch->sdata;
    if (element != sd->nameO && element != sd->nameH2O)
        global::amounts_fromMolal(e, w->densitymass, batch->element_ppmFactor(element));
    w->composition.append(e);
    w->ncomposition = int(w->composition.size());
    return w->ncomposition - 1;
}
