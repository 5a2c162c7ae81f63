// Reactions, solutes and solids of the chemical system: which database reactions
// an element brings, adding reactions with the solutes and solids they need, the
// reaction-type selector and the solute and reaction tables.

#include "setup.h"

#include "dbdata.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QDebug>
#include <QHeaderView>

namespace {

/// Role under which an item's flags are read: an item holding false there is disabled.
constexpr int itemFlagsRole = Qt::UserRole - 1;

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

bool setup::is_own_solid(const one_rxn *rxn, const QString &species)
{
    // A solid reaction dissolves its own mineral, which stands among its species
    // under the reaction's name; it is neither a solute nor a reason to refuse.
    return rxn && rxn->type == global::solid && species == rxn->name;
}

// ---- collecting for an element -----------------------------------------------------

QList<one_rxn *> setup::collect_rxnsAqueous_on_element(const QString &element)
{
    QList<one_rxn *> result;
    if (!batch)
        return result;
    const sim_data *db = dbase->sdata;
    for (one_rxn *r : db->rxnsAqueous) {
        if (!r || !r->composition)
            continue;
        bool rejected = false;
        bool holds = false;
        for (const QString &species : r->composition->solute) {
            const int k = dbase->find_idxDB_solute(species);
            if (k < 0) {
                qDebug().noquote() << "SR: ##  collecting rxns, solute " + species + " not in DB.";
                rejected = true;
                break;
            }
            const one_comp_elements *comp = db->solutes.at(k)->composition;
            if (!comp)
                continue;
            for (const QString &e : comp->element) {
                if (e == element)
                    holds = true;
                else if (batch->find_idxBatch_element(e) < 0) {
                    rejected = true;
                    break;
                }
            }
            if (rejected)
                break;
        }
        if (!rejected && holds)
            result.append(r);
    }
    if (batch->sdata->ctrlset->redox)
        return screen_rxnsRedox_supplements(element, result);
    return screen_rxnsRedox(result);
}

QList<one_rxn *> setup::collect_rxnsSolids_on_element(const QString &element)
{
    QList<one_rxn *> result;
    if (!batch)
        return result;
    const sim_data *db = dbase->sdata;
    const sim_data *sd = batch->sdata;
    for (one_rxn *r : db->rxnsSolid) {
        if (!r)
            continue;
        const int k = dbase->find_idxDB_solid(r->name);
        if (k < 0)
            continue;
        const one_comp_elements *comp = db->solids.at(k)->composition;
        if (!comp || !comp->element.contains(element))
            continue;
        bool allIn = true;
        for (const QString &e : comp->element) {
            bool inSystem = false;
            for (const one_element *el : sd->elements)
                inSystem = inSystem || el->name == e;
            allIn = allIn && inSystem;
        }
        if (allIn)
            result.append(r);
    }
    return screen_rxnsRedox(result);
}

void setup::collect_rxnsAqueous_on_elements_list(one_element *element)
{
    sim_data *sd = batch->sdata;
    for (one_rxn *r : collect_rxnsAqueous_on_element(element->name)) {
        bool listed = false;
        for (const one_rxn *have : std::as_const(sd->rxnsAqueous))
            listed = listed || have->name == r->name;
        if (!listed)
            add_one_rxnAqueous(r, false);
    }
    sync_counts();
}

void setup::collect_rxnsSolids_on_elements_list(one_element *element)
{
    sim_data *sd = batch->sdata;
    for (one_rxn *r : collect_rxnsSolids_on_element(element->name)) {
        bool listed = false;
        for (const one_rxn *have : std::as_const(sd->rxnsSolid))
            listed = listed || have->name == r->name;
        if (!listed)
            add_one_rxnSolid(r, false);
    }
    sync_counts();
}

void setup::collect_rxnsSolid()
{
    const sim_data *sd = batch->sdata;
    const QList<one_element *> elements = sd->elements;
    for (one_element *el : elements)
        if (el->name != sd->nameH && el->name != sd->nameO)
            collect_rxnsSolids_on_elements_list(el);
}

// ---- adding ----------------------------------------------------------------------

void setup::add_one_rxnAqueous(one_rxn *rxn, bool)
{
    if (!batch || !rxn || batch->find_idxBatch_rxn(rxn->name, rxn->type) >= 0)
        return;
    const QList<one_solute *> missing = collect_solutes_on_reactions(rxn);
    if (dbase->find_idxDB_rxn(rxn->name, rxn->type) < 0)
        return;
    // The solutes first: a gas of the system counts as present under its name, and
    // O2(g) names both the gas and the solute its reaction needs.
    for (one_solute *s : missing)
        add_one_solute(s, false);
    sim_data *sd = batch->sdata;
    if (rxn->type == global::aux || rxn->type == global::aqueous)
        sd->rxnsAqueous.append(rxn);
    else if (rxn->type == global::gas)
        sd->rxnsGas.append(rxn);
    sync_counts();
}

void setup::add_one_rxnSolid(one_rxn *rxn, bool flag)
{
    if (!batch || !rxn || rxn->type != global::solid
        || dbase->find_idxDB_rxn(rxn->name, rxn->type) < 0)
        return;
    if (batch->find_idxBatch_solidRxn(rxn->name) >= 0)
        return;
    sim_data *sd = batch->sdata;
    if (rxn->composition && rxn->composition->solute.contains(sd->nameO2g))
        return;
    rxn->flagAux = flag;
    sd->rxnsSolid.append(rxn);
    locate_solid_rxnSolid(rxn);
    for (one_solute *s : collect_solutes_on_reactions(rxn))
        add_one_solute(s, false);
    sync_counts();
}

void setup::locate_solid_rxnSolid(one_rxn *rxn)
{
    if (batch->find_idxBatch_solid(rxn->name) >= 0)
        return;
    const int k = dbase->find_idxDB_solid(rxn->name);
    if (k >= 0) {
        batch->sdata->solids.append(dbase->sdata->solids.at(k));
        sync_counts();
    } else {
        message(
            QStringLiteral("##  solid reaction %1 could not be found in database").arg(rxn->name));
    }
}

void setup::add_one_solid(one_solid *solid)
{
    if (!batch || !solid || batch->find_idxBatch_solid(solid->name) >= 0)
        return;
    batch->sdata->solids.append(solid);
    sync_counts();
}

QList<one_solute *> setup::collect_solutes_on_reactions(one_rxn *rxn)
{
    QList<one_solute *> result;
    if (!rxn || !rxn->composition)
        return result;
    const sim_data *db = dbase->sdata;
    for (const QString &species : rxn->composition->solute) {
        if (is_own_solid(rxn, species) || batch->verify_solute_inBatch(species))
            continue;
        bool pending = false;
        for (const one_solute *s : std::as_const(result))
            pending = pending || s->name == species;
        if (pending)
            continue;
        const int k = dbase->find_idxDB_solute(species);
        if (k >= 0)
            result.append(db->solutes.at(k));
        else if (dbase->find_idxDB_gas(species) >= 0)
            message(
                QStringLiteral("SS: >  gas species %1 treated as a solute species").arg(species));
        else
            message(QStringLiteral("SS: ## solute [ %1 ] in reaction [ %2 ] not found in database")
                        .arg(species, rxn->name));
    }
    return result;
}

void setup::add_one_solute(one_solute *solute, bool)
{
    if (!batch || !solute || batch->verify_solute_inBatch(solute->name))
        return;
    batch->sdata->solutes.append(solute);
    sync_counts();
}

// ---- the reaction-type selector ----------------------------------------------------

void setup::accumulate_list_rxns()
{
    QComboBox *combo = ui->comboBox_rxnsList;
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems({QStringLiteral("select reaction type"),
                     QStringLiteral("default (aqueous + gas; equilibrium)"),
                     QStringLiteral("aqueous (equilibrium)"), QStringLiteral("gas (equlibrium)"),
                     QStringLiteral("solids (saturation evaluation)"),
                     QStringLiteral("solids (kinetic)")});
    combo->setMinimumWidth(160);
    combo->setItemData(5, false, itemFlagsRole);
    combo->setCurrentIndex(0);
    rxnsListIdx = 0;
}

void setup::on_comboBox_rxnsList_currentIndexChanged(int index)
{
    if (!batch)
        return;
    switch (index) {
    case 1:
        updateTable_rxnsList(global::basis);
        rxnsListIdx = 1;
        break;
    case 2:
        updateTable_rxnsList(global::aqueous);
        rxnsListIdx = 2;
        break;
    case 3:
        updateTable_rxnsList(global::gas);
        rxnsListIdx = 3;
        break;
    case 4:
        if (batch->sdata->rxnsSolid.isEmpty())
            collect_rxnsSolid();
        updateTable_rxnsList(global::solid);
        rxnsListIdx = 4;
        break;
    default:
        // The heading and the disabled kinetic item show nothing of their own.
        if (rxnsListIdx != index)
            ui->comboBox_rxnsList->setCurrentIndex(rxnsListIdx);
        break;
    }
}

void setup::fill_rxn_row(int row, const one_rxn *rxn)
{
    QTableWidget *t = ui->tableWidget_rxns;
    t->insertRow(row);
    t->setRowHeight(row, ff.cell_height());
    t->setItem(row, 0, centredItem(rxn->name));
    auto *expr = new QTableWidgetItem(rxn->expression);
    expr->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    t->setItem(row, 1, expr);
    t->setItem(row, col_rxnType, centredItem(typeKey_rxn(rxn)));
    QTableWidgetItem *last = centredItem(QStringLiteral("--"));
    QFont f = last->font();
    f.setWeight(QFont::Normal);
    last->setFont(f);
    t->setItem(row, col_rxnLast, last);
}

namespace {
void resetRxnTable(QTableWidget *t, int headerHeight)
{
    t->clear();
    t->setRowCount(0);
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels({QStringLiteral("reaction"), QStringLiteral("reaction expression"),
                                  QStringLiteral("type"), QStringLiteral(" ")});
    const char *tips[]
        = {"Reactions included in this chemical system\nthis list is generated automatically",
           "Equlibrium Reaction expression\nthis list is generated automatically",
           "Reaction type\n(AQ: solute-solute;\n S: mineral-solute;\n G: gas-solute)",
           "This option not in use"};
    for (int c = 0; c < 4; ++c)
        t->horizontalHeaderItem(c)->setToolTip(QString::fromUtf8(tips[c]));
    t->horizontalHeader()->setMinimumHeight(headerHeight);
    t->verticalHeader()->setMinimumWidth(20);
}
/// Widens the name column to the longest reaction name shown, never below its
/// share of the table; the stretching expression column gives up the room (down to
/// half its own share). A table not yet laid out counts at its minimum width.
void fitNameColumn(QTableWidget *t)
{
    const int h = (qMax(t->width(), t->minimumWidth()) - 130) / 2;
    const int nameWidth = int(0.4 * h);
    const int exprWidth = int(1.5 * h);
    int widest = 0;
    for (int row = 0; row < t->rowCount(); ++row)
        if (const QTableWidgetItem *item = t->item(row, 0))
            widest = qMax(widest, t->fontMetrics().horizontalAdvance(item->text()) + 16);
    const int extra = qBound(0, widest - nameWidth, exprWidth / 2);
    t->setColumnWidth(0, nameWidth + extra);
}
} // namespace

void setup::updateTable_rxnsList(int type)
{
    const sim_data *sd = batch->sdata;
    QList<one_rxn *> list;
    switch (type) {
    case global::basis:
        list = sd->rxnsAqueous + sd->rxnsGas;
        break;
    case global::aqueous:
        list = sd->rxnsAqueous;
        break;
    case global::solid:
        list = sd->rxnsSolid;
        break;
    case global::gas:
        list = sd->rxnsGas;
        break;
    default:
        message(QStringLiteral("updating rxns table, incorrect reaction type [ ")
                + gl.speciesType_toString(type));
        break;
    }
    resetRxnTable(ui->tableWidget_rxns, ff.cell_height());
    for (int i = 0; i < list.size(); ++i)
        fill_rxn_row(i, list.at(i));
    fitNameColumn(ui->tableWidget_rxns);
}

void setup::populateTable_rxns(const QList<one_rxn *> &rxns)
{
    populateTable_rxns(rxns, {});
}

void setup::populateTable_rxns(const QList<one_rxn *> &rxns, const QList<one_rxn *> &more)
{
    // Copies first: choosing the item below may refill the lists' table from the
    // batch, and the callers pass the batch's own lists.
    const QList<one_rxn *> list = rxns + more;
    ui->comboBox_rxnsList->setCurrentIndex(1);
    resetRxnTable(ui->tableWidget_rxns, ff.cell_height());
    for (int i = 0; i < list.size(); ++i)
        fill_rxn_row(i, list.at(i));
    fitNameColumn(ui->tableWidget_rxns);
}

void setup::populateTable_solutes()
{
    QTableWidget *t = ui->tableWidget_solutes;
    t->clear();
    t->setRowCount(0);
    t->setColumnCount(2);
    t->setHorizontalHeaderLabels({QStringLiteral("solute"), QStringLiteral("type")});
    t->horizontalHeaderItem(0)->setToolTip(QStringLiteral(
        "Solutes included in this chemical system\nthis list is generated automatically"));
    t->horizontalHeaderItem(col_soluteType)
        ->setToolTip(QStringLiteral("Solute type (AQ: aqueous; B: basis)"));
    t->horizontalHeader()->setMinimumHeight(ff.cell_height());
    t->verticalHeader()->setMinimumWidth(20);
    if (!batch)
        return;
    const QList<one_solute *> &solutes = batch->sdata->solutes;
    for (int i = 0; i < solutes.size(); ++i) {
        t->insertRow(i);
        t->setRowHeight(i, ff.cell_height());
        t->setItem(i, 0, centredItem(solutes.at(i)->name));
        t->setItem(i, col_soluteType, centredItem(typeKey_solute(solutes.at(i))));
    }
}

void setup::setup_waterResults_list_solids()
{
    if (!batch || !batch->sdata->ctrlset->dbaccess)
        return;
    const sim_data *sd = batch->sdata;
    for (one_water *w : sd->waters) {
        if (!w || !w->results)
            continue;
        // The result owns its entries: the previous list is freed as it is replaced.
        qDeleteAll(w->results->solids);
        w->results->solids.clear();
        for (const one_rxn *r : sd->rxnsSolid) {
            auto *entry = new one_waterResult_rxn;
            entry->name = r->name;
            w->results->solids.append(entry);
        }
    }
}
