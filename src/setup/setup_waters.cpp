// The water composition pages: the waters list, the layout of the composition and
// results tables, the rebuild of the pages for the current water, the values they
// show and the Solution Properties tab's fields.

#include "setup.h"

#include "dbdata.h"
#include "input_fields.h"
#include "sbatch.h"
#include "ui_setup.h"
#include "viewResult_spcn.h"

#include <QComboBox>
#include <QDebug>
#include <QHeaderView>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyleOptionHeader>
#include <QTableWidget>

#include <cmath>

namespace {

/// The pH the H row takes, and so the [H+] it takes.
constexpr double pHlow = -2.0;
constexpr double pHhigh = 16.0;

/// An item under a cell widget: enabled, selectable only where asked.
QTableWidgetItem *plainItem(const QString &text, bool selectable = false)
{
    auto *it = new QTableWidgetItem(text);
    it->setFlags(selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
    it->setTextAlignment(Qt::AlignCenter);
    return it;
}

/// Makes the item whose text is `text` current, without signals; false when absent.
bool selectText(QComboBox *combo, const QString &text)
{
    if (!combo)
        return false;
    const int k = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (k < 0)
        return false;
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(k);
    return true;
}

/// Gives the row numbers of `tables`, stacked in one column of the page, one width
/// that shows the longest number whole (two digits at least), so their columns stay
/// in line with each other.
void fitRowNumbers(const QList<QTableWidget *> &tables)
{
    int rows = 99;
    for (const QTableWidget *t : tables)
        rows = qMax(rows, t->rowCount());
    for (QTableWidget *t : tables) {
        QHeaderView *h = t->verticalHeader();
        QStyleOptionHeader opt;
        opt.initFrom(h);
        opt.orientation = Qt::Vertical;
        opt.text = QString::number(rows);
        // Measured as the header measures a section: bold, as a highlighted one is drawn.
        QFont bold = h->font();
        bold.setBold(true);
        opt.fontMetrics = QFontMetrics(bold);
        h->setFixedWidth(
            h->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), h).width());
    }
}

} // namespace

one_water *setup::water_at(int index)
{
    if (!batch || index < 0 || index >= batch->sdata->waters.size())
        return nullptr;
    return batch->sdata->waters.at(index);
}

one_water *setup::current_water()
{
    return batch ? water_at(batch->sdata->currentWater) : nullptr;
}

// ---- layout ------------------------------------------------------------------------

void setup::layout_water_table(QTableWidget *t, int columns, bool composition)
{
    const QSignalBlocker block(t);
    clear_water_rows(t);
    t->clear();
    t->setColumnCount(columns);
    // The columns share the room the layout gives the table.
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->horizontalHeader()->setMaximumHeight(ff.cell_height());
    t->verticalHeader()->setVisible(true);
    t->verticalHeader()->setDefaultSectionSize(ff.cell_height());
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (!composition)
        return;
    // Setting a sheet re-polishes the table and every cell widget it still holds.
    const QString sheet = QStringLiteral("text-align: center;");
    if (t->styleSheet() != sheet)
        t->setStyleSheet(sheet);
    t->setColumnHidden(col_compKey, true);
    // Amounts are positive numbers; the H row takes a pH from -2 to 16 instead.
    if (!t->itemDelegateForColumn(col_compAmount)) {
        const bool tableH = t == ui->tableWidgetWaters_element_H;
        const auto ruleOf = [this, t, tableH](const QModelIndex &index) {
            const auto *typeH = qobject_cast<QComboBox *>(t->cellWidget(0, col_compElement));
            if (!tableH || index.row() != 0 || !typeH)
                return rule_amount(amount_name(t, index.row()));
            if (typeH->currentIndex() == 1)
                return rule_pH();
            const one_water *w = current_water();
            const double d = w && element_unit() != global::Molar ? w->densitymass : 1.0;
            return rule_hplus(amount_name(t, 0), d);
        };
        const auto tell = [this](const QString &line) { tell_refusal(line); };
        auto *amounts = new number_delegate(t, ruleOf, tell);
        amounts->setItemEditorFactory(&doubleFactory);
        t->setItemDelegateForColumn(col_compAmount, amounts);
        connect(amounts, &number_delegate::edited, this,
                [this, t](QLineEdit *editor, const QModelIndex &index) {
                    note_cell(t, editor, index);
                });
        connect(amounts, &number_delegate::closing, this,
                [this, t](QLineEdit *, const QModelIndex &index) { cell_closing(t, index); });
    }
}

number_rule setup::rule_amount(const QString &name)
{
    return number_rule::above(name, 0.0);
}

number_rule setup::rule_pH()
{
    return number_rule::between(QStringLiteral("pH"), pHlow, pHhigh);
}

number_rule setup::rule_hplus(const QString &name, double d)
{
    // [H+] takes what a pH takes: its Molar amount is 10^-pH, and a molal amount is
    // that over the density.
    number_rule r
        = number_rule::between(name, std::pow(10.0, -pHhigh) / d, std::pow(10.0, -pHlow) / d);
    r.rangeNote = QStringLiteral("[H+] must give a pH from %1 to %2").arg(pHlow).arg(pHhigh);
    return r;
}

QString setup::amount_name(const QTableWidget *t, int row) const
{
    // What the row shows on its left: the species or H form chosen, or the gas.
    QString name;
    if (const auto *combo = qobject_cast<const QComboBox *>(t->cellWidget(row, col_compElement)))
        name = combo->currentText();
    else if (const QTableWidgetItem *item = t->item(row, col_compElement))
        name = item->text();
    return name.isEmpty() ? QStringLiteral("amount") : name + QStringLiteral(" amount");
}

void setup::setup_tables_waters()
{
    // A results window shows a batch of the previous configuration: drop it.
    delete viewResult;
    viewResult = nullptr;

    layout_water_table(ui->tableWidgetWaters_element_H, 4, true);
    layout_water_table(ui->tableWidgetWaters_elements, 4, true);
    layout_water_table(ui->tableWidgetWaters_solutes_H, 3, false);
    layout_water_table(ui->tableWidgetWaters_solutes, 3, false);
    layout_water_table(ui->tableWidgetWaters_gases, 3, false);
    ui->tableWidgetWaters_element_H->horizontalHeader()->setVisible(false);
    ui->tableWidgetWaters_solutes_H->horizontalHeader()->setVisible(false);
    ui->tableWidgetWaters_gases->horizontalHeader()->setVisible(false);

    ui->lineEdit_spcnStat->setEnabled(false);
}

void setup::accumulate_list_options_water()
{
    const auto fill = [](QComboBox *combo, const QStringList &items) {
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(0);
    };
    fill(ui->comboBox_elementUnits,
         {gl.unitConcn_toString(global::molal), gl.unitConcn_toString(global::Molar),
          gl.unitConcn_toString(global::ppm)});
    fill(ui->comboBox_concnUnits,
         {gl.unitConcn_toString(global::molal), gl.unitConcn_toString(global::Molar)});
    fill(ui->comboBox_concnUnits_gas, {gl.unitConcnGas_toString(global::fugacity)});
}

// ---- the waters list ---------------------------------------------------------------

void setup::keep_copy_of_water(int index)
{
    const one_water *w = water_at(index);
    keptWater.reset(w ? cpyStruct.copy_water(w) : nullptr);
}

void setup::accumulate_list_waters()
{
    QComboBox *combo = ui->comboBox_waters;
    const QSignalBlocker block(combo);
    combo->clear();
    if (!batch)
        return;
    for (const one_water *w : std::as_const(batch->sdata->waters))
        combo->addItem(w ? w->name : QString());
    if (batch->sdata->waters.isEmpty()) {
        message(QStringLiteral("##  no water composition found in this configuration file."));
        keptWater.reset();
        return;
    }
    if (!current_water())
        batch->sdata->currentWater = 0;
    combo->setCurrentIndex(batch->sdata->currentWater);
    keep_copy_of_water(batch->sdata->currentWater);
}

void setup::update_ui_waters()
{
    if (!batch)
        return;
    const QString shown = ui->comboBox_waters->currentText();
    const int k = batch->find_idxBatch_water(shown);
    batch->sdata->currentWater = water_at(k) ? k : 0;
    accumulate_list_waters();
    if (current_water())
        populate_stackedWidget_Waters(batch->sdata->currentWater);
}

void setup::add_one_water(one_water *water)
{
    if (!batch || !water)
        return;
    if (batch->find_idxBatch_water(water->name) >= 0) {
        message(QStringLiteral("water composition [ ") + water->name
                + QStringLiteral(" ] already in use."));
        message(QStringLiteral("  this water is not added to the configuration data."));
        return;
    }
    batch->sdata->waters.append(water);
    batch->sdata->nwaters = int(batch->sdata->waters.size());
}

void setup::rename_duplicate_water(one_water *water)
{
    if (!batch || !water || batch->find_idxBatch_water(water->name) < 0)
        return;
    // Names differ from an earlier water only in letter case: every look-up of the
    // batch ignores case, so the water gets the next free number instead.
    QString name;
    for (int n = 2;; ++n) {
        name = water->name + QStringLiteral(" (%1)").arg(n);
        if (batch->find_idxBatch_water(name) < 0)
            break;
    }
    message(QStringLiteral("##  water [ ") + water->name
            + QStringLiteral(" ] has the name of another water in another letter case; renamed [ ")
            + name + QStringLiteral(" ]"));
    water->name = name;
}

// ---- rebuilding the pages ----------------------------------------------------------

void setup::populate_stackedWidget_Waters(int index)
{
    one_water *w = water_at(index);
    if (!w) {
        qDebug().noquote() << "SW: ## no water at index " + QString::number(index);
        return;
    }
    const bool unsaved = flag_unsaved;
    // The editors go with the rows; what they showed of a refused entry stays recorded
    // and comes back with the Solution Properties fields, where it still fits, and only
    // for this water.
    const QScopedValueRollback<bool> rewriting(flag_rewriting, true);
    sim_data *sd = batch->sdata;
    // The pages always show the current water: every handler edits that one.
    sd->currentWater = index;
    follow_O2g_condition(w);
    ui->pushButton_resetData->setEnabled(sd->ctrlset && sd->ctrlset->dbaccess);
    convert_concnUnits(index);
    populate_sW_consistency_elements(index);
    reset_rxnsSwap_waters(index);
    populate_sW_Waters_element_H(index);
    populate_sW_Waters_elements(index);
    update_stackedWidget_Waters(index);
    fitRowNumbers({ui->tableWidgetWaters_element_H, ui->tableWidgetWaters_elements,
                   ui->tableWidgetWaters_gases});
    fitRowNumbers({ui->tableWidgetWaters_solutes_H, ui->tableWidgetWaters_solutes});
    flag_statusCleared = false;
    flag_unsaved = unsaved;
}

void setup::follow_O2g_condition(one_water *w)
{
    const sim_data *sd = batch->sdata;
    const bool wasUsed = w->stag_O2g;
    w->stag_O2g = batch->find_idxBatch_solute(sd->nameO2g) >= 0;
    // A water read without an O2(g) condition holds a blank one (amounts 0): when
    // O2(g) comes into the system, the condition starts as a new water's does.
    // An amount the file gave the condition it held is kept, and questioned where shown.
    const bool blank = !w->redoxO2g || (!wasUsed && !(w->redoxO2g->molal > 0.0));
    if (w->stag_O2g && blank) {
        delete w->redoxO2g;
        w->redoxO2g = batch->setup_one_elementComp(sd->nameO2g);
    }
}

void setup::convert_concnUnits(int index)
{
    one_water *w = water_at(index);
    if (!w || !w->results)
        return;
    const sim_data *sd = batch->sdata;
    const double d = w->densitymass;
    for (one_waterResult_element *e : std::as_const(w->results->soln_elem)) {
        if (e->element == sd->nameH || e->element == sd->nameO)
            continue;
        e->cMolar = d * e->cmolal;
        if (batch->find_idxBatch_element(e->element) >= 0)
            e->cppm = e->cmolal * ppm_factor(e->element);
    }
    for (one_waterResult_solute *s : std::as_const(w->results->soln_aq)) {
        if (s->solute == sd->nameH2O || s->solute == sd->nameO)
            continue;
        s->cshown = s->cmolal;
        s->cMolar = s->cmolal * d;
    }
    for (one_waterResult_solute *g : std::as_const(w->results->soln_gas)) {
        g->cshown = g->cmolal;
        g->cMolar = g->cmolal * d;
    }
}

void setup::populate_sW_consistency_elements(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    for (const one_element *el : std::as_const(batch->sdata->elements))
        find_idxElement_waterComp(index, el->name);
    for (qsizetype k = w->composition.size() - 1; k >= 0; --k) {
        const one_elementComp *e = w->composition.at(k);
        if (e && batch->find_idxBatch_element(e->element) >= 0)
            continue;
        message(QStringLiteral("removing excess element, water [ ") + w->name
                + QStringLiteral(" ] element ") + (e ? e->element : QString()));
        delete w->composition.takeAt(k);
    }
    w->ncomposition = int(w->composition.size());
    for (one_elementComp *e : std::as_const(w->composition)) {
        if (e->solute.isEmpty())
            e->solute = e->element;
        e->species = batch->solutes_commonElem(e->element);
        e->stoich = batch->solutes_commonElem_stoich(e->element);
    }
}

void setup::sort_elements_water(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    // Exchange sort from the end: equal names never swap, so their order stays.
    QList<one_elementComp *> &list = w->composition;
    const qsizetype n = list.size();
    for (qsizetype i = 0; i + 1 < n; ++i)
        for (qsizetype j = n - 1; j > i; --j)
            if (QString::compare(list.at(j - 1)->element, list.at(j)->element) > 0)
                list.swapItemsAt(j - 1, j);
}

void setup::reset_rxnsSwap_waters(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    // Swap reactions are links into the loaded database: rebuilt from the names
    // the conditions hold, so a reload or a reopened file never leaves stale ones.
    w->rxnsConstraint.clear();
    for (const one_elementComp *e : std::as_const(w->composition))
        if (one_rxn *r = swap_record(e->swaprxn))
            w->rxnsConstraint.append(r);
    if (w->stag_O2g)
        if (one_rxn *r = swap_record(w->redoxO2gSwaprxn))
            w->rxnsConstraint.append(r);
    w->nrxnsConstraint = int(w->rxnsConstraint.size());
}

one_rxn *setup::swap_record(const QString &name) const
{
    if (name.isEmpty() || !batch)
        return nullptr;
    const int k = batch->find_idxBatch_solidRxn(name);
    if (k >= 0)
        return batch->sdata->rxnsSolid.at(k);
    const int j = dbase ? dbase->find_idxDB_rxn(name, global::solid) : -9;
    return j >= 0 ? dbase->sdata->rxnsSolid.at(j) : nullptr;
}

int setup::find_elementsSoluteIdx(const one_elementComp *entry, const QString &name) const
{
    const int k = entry ? int(entry->species.indexOf(name)) : -1;
    return k < 0 ? 0 : k + 1;
}

void setup::populate_sW_Waters_element_H(int index)
{
    one_water *w = water_at(index);
    QTableWidget *t = ui->tableWidgetWaters_element_H;
    const QSignalBlocker block(t);
    clear_water_rows(t);
    t->setRowCount(w && w->stag_O2g ? 2 : 1);
    t->setFixedHeight(t->rowCount() * ff.cell_height() + 2 * t->frameWidth());
    ui->tableWidgetWaters_solutes_H->setFixedHeight(t->height());
    if (!w)
        return;
    const sim_data *sd = batch->sdata;
    t->setItem(0, col_compElement, plainItem(QString(), true));
    t->setCellWidget(0, col_compElement, comboBox_Water_typeH(w->typeHIndex));
    t->setItem(0, col_compKey, plainItem(sd->nameHplus));
    t->setItem(0, col_compOption, plainItem(QString()));
    t->setCellWidget(0, col_compOption, comboBox_Water_elementOptions(sd->nameH));
    if (!w->stag_O2g)
        return;
    t->setItem(1, col_compElement, plainItem(sd->nameO2g, true));
    t->setItem(1, col_compKey, plainItem(sd->nameO2g));
    t->setItem(1, col_compOption, plainItem(QString()));
    t->setCellWidget(1, col_compOption, comboBox_Water_elementOptions_O2g());
}

void setup::populate_sW_Waters_elements(int index)
{
    QTableWidget *t = ui->tableWidgetWaters_elements;
    const QSignalBlocker block(t);
    clear_water_rows(t);
    const QStringList heads = {QStringLiteral("element/solute"), QStringLiteral("concn"),
                               QStringLiteral("option"), QStringLiteral(" ")};
    const QStringList tips
        = {QStringLiteral("Select element or solute for use\nas a composition condition"),
           QStringLiteral("Enter element or solute concentration\nIf selecting a solute do not "
                          "use\nppm as the concentration unit"),
           QStringLiteral("Select from availabe options"), QString()};
    for (int c = 0; c < heads.size(); ++c) {
        auto *h = new QTableWidgetItem(heads.at(c));
        h->setToolTip(tips.at(c));
        t->setHorizontalHeaderItem(c, h);
    }
    one_water *w = water_at(index);
    if (!w)
        return;
    sort_elements_water(index);
    const sim_data *sd = batch->sdata;
    for (const one_elementComp *e : std::as_const(w->composition)) {
        if (e->element == sd->nameH)
            continue;
        const int row = t->rowCount();
        t->insertRow(row);
        t->setItem(row, col_compElement, plainItem(QString()));
        QComboBox *solutes = comboBox_Water_solutesList(e);
        {
            const QSignalBlocker b(solutes);
            // A stored choice beyond the solutes offered stands last.
            solutes->setCurrentIndex(
                std::min(find_elementsSoluteIdx(e, e->solute), solutes->count() - 1));
        }
        t->setCellWidget(row, col_compElement, solutes);
        t->setItem(row, col_compKey, plainItem(e->element));
        t->setItem(row, col_compOption, plainItem(QString()));
        t->setCellWidget(row, col_compOption, comboBox_Water_elementOptions(e->element));
        auto *amount = new QTableWidgetItem;
        amount->setTextAlignment(Qt::AlignCenter);
        amount->setData(Qt::EditRole, e->molal);
        if (e->element == sd->nameO || e->element == sd->nameH2O)
            amount->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        t->setItem(row, col_compAmount, amount);
    }
}

void setup::populate_sW_Waters_solutes(int index)
{
    const one_water *w = water_at(index);
    const sim_data *sd = batch->sdata;
    QTableWidget *th = ui->tableWidgetWaters_solutes_H;
    clear_water_rows(th);
    th->setRowCount(w && w->stag_O2g ? 2 : 1);
    th->setItem(0, col_resName, plainItem(QString(), true));
    QComboBox *typeH = comboBox_Water_typeH(w ? w->resAux[0] : 0);
    disconnect(typeH, nullptr, this, nullptr);
    connect(typeH, &QComboBox::currentIndexChanged, this, &setup::waterSolute_soluteChanged_H);
    th->setCellWidget(0, col_resName, typeH);
    if (th->rowCount() > 1)
        th->setItem(1, col_resName, plainItem(sd->nameO2g, true));

    QTableWidget *t = ui->tableWidgetWaters_solutes;
    t->setRowCount(0);
    const QStringList heads
        = {QStringLiteral("solute"), QStringLiteral("concn"), QStringLiteral("type")};
    const QStringList tips
        = {QStringLiteral("Solutes included in this simulation"),
           QStringLiteral("Concentrations of solutes from the simulation"),
           QStringLiteral("Solute type (AQ: aqueous; B: basis; G: gas; R: redox")};
    for (int c = 0; c < heads.size(); ++c) {
        auto *h = new QTableWidgetItem(heads.at(c));
        h->setToolTip(tips.at(c));
        t->setHorizontalHeaderItem(c, h);
    }
    for (const one_solute *s : std::as_const(sd->solutes)) {
        if (s->name == sd->nameHplus || s->name == sd->nameO2g)
            continue;
        const int row = t->rowCount();
        t->insertRow(row);
        t->setItem(row, col_resName, plainItem(s->name, true));
        t->setItem(row, col_resValue, plainItem(QString(), true));
        t->setItem(row, col_resType, plainItem(typeKey_solute(s), true));
    }
}

void setup::populate_sW_Waters_gases(int)
{
    QTableWidget *t = ui->tableWidgetWaters_gases;
    t->setRowCount(0);
    t->setHorizontalHeaderLabels(
        {QStringLiteral("gas"), QStringLiteral("concn"), QStringLiteral("type")});
    for (const one_gas *g : std::as_const(batch->sdata->gases)) {
        const int row = t->rowCount();
        t->insertRow(row);
        t->setItem(row, col_resName, plainItem(g->name, true));
        t->setItem(row, col_resValue, plainItem(QString(), true));
        t->setItem(row, col_resType, plainItem(typeKey_gas(g), true));
    }
}

// ---- values and selections ---------------------------------------------------------

void setup::update_stackedWidget_Waters(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    show_composition_unit(w);
    ui->tableWidgetWaters_element_H->setEnabled(element_unit() != global::ppm);
    ui->tableWidgetWaters_solutes_H->setEnabled(true);
    populate_sW_Waters_solutes(index);
    populate_sW_Waters_gases(index);
    {
        const QSignalBlocker b1(ui->comboBox_concnUnits);
        const QSignalBlocker b2(ui->comboBox_concnUnits_gas);
        ui->comboBox_concnUnits->setCurrentIndex(0);
        const int g
            = ui->comboBox_concnUnits_gas->findText(gl.unitConcnGas_toString(w->concnunitGas));
        if (g >= 0)
            ui->comboBox_concnUnits_gas->setCurrentIndex(g);
    }
    w->typeHIndex = w->typeH;
    if (auto *typeH = qobject_cast<QComboBox *>(
            ui->tableWidgetWaters_element_H->cellWidget(0, col_compElement))) {
        const QSignalBlocker b(typeH);
        typeH->setCurrentIndex(w->typeH == global::pH ? 1 : 0);
    }
    show_composition_values(index);
    populate_sW_Waters_solnProperties(index);
    populate_sW_Waters_results(index);
}

void setup::show_composition_values(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    const sim_data *sd = batch->sdata;
    const global::units_concn unit = element_unit();
    QTableWidget *th = ui->tableWidgetWaters_element_H;
    const int kH = find_idxElement_waterComp(index, sd->nameH);
    write_amount_cell(th, 0, select_concn_typeH(index, w->typeH));
    if (kH >= 0)
        selectText(qobject_cast<QComboBox *>(th->cellWidget(0, col_compOption)),
                   w->composition.at(kH)->swaprxn);
    if (w->stag_O2g && th->rowCount() > 1) {
        write_amount_cell(th, 1,
                          unit == global::Molar ? w->redoxO2g->Molar
                                                : select_concn_typeO2g(index, global::fugacity));
        selectText(qobject_cast<QComboBox *>(th->cellWidget(1, col_compOption)),
                   w->redoxO2gSwaprxn);
    }
    QTableWidget *t = ui->tableWidgetWaters_elements;
    for (int row = 0; row < t->rowCount(); ++row) {
        auto *solutes = qobject_cast<QComboBox *>(t->cellWidget(row, col_compElement));
        if (!solutes || batch->find_idxBatch_element(solutes->itemText(0)) < 0)
            continue;
        const QString element = solutes->itemText(0);
        const int k = find_idxElement_waterComp(index, element);
        if (k < 0)
            continue;
        const one_elementComp *e = w->composition.at(k);
        selectText(solutes, e->solute);
        write_amount_cell(t, row, select_concn_element(index, unit, element));
        selectText(qobject_cast<QComboBox *>(t->cellWidget(row, col_compOption)), e->swaprxn);
    }
    mark_chargeBalance_row(w);
}

void setup::show_composition_unit(const one_water *w)
{
    // Each water shows the unit it was entered and saved in.
    QComboBox *units = ui->comboBox_elementUnits;
    const int k = units->findText(gl.unitConcn_toString(w->concnunitElem));
    if (k >= 0) {
        const QSignalBlocker block(units);
        units->setCurrentIndex(k);
    }
}

void setup::write_amount_cell(QTableWidget *t, int row, double value)
{
    // Writing from the program never stores amounts: the table stays silent.
    const QSignalBlocker block(t);
    QTableWidgetItem *it = t->item(row, col_compAmount);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        t->setItem(row, col_compAmount, it);
    }
    it->setData(Qt::EditRole, std::isfinite(value) ? QVariant(value) : QVariant());
}

void setup::write_result_cell(QTableWidget *t, int row, double value)
{
    QTableWidgetItem *it = t->item(row, col_resValue);
    if (!it) {
        it = plainItem(QString(), true);
        t->setItem(row, col_resValue, it);
    }
    it->setText(std::isfinite(value) ? QString::number(value, 'g', 6) : QString());
}

void setup::populate_sW_Waters_results(int index)
{
    const one_water *w = water_at(index);
    if (w && w->results && find_idxSolute_Results(w->results, batch->sdata->nameHplus) >= 0)
        show_solute_results(index);
    ui->pushButton_viewResult->setEnabled(true);
}

void setup::show_solute_results(int index)
{
    const one_water *w = water_at(index);
    if (!w)
        return;
    const sim_data *sd = batch->sdata;
    const auto unit = global::units_concn(ui->comboBox_concnUnits->currentIndex() == 1);
    QTableWidget *th = ui->tableWidgetWaters_solutes_H;
    const bool asPH = w->resAux[0] == 1;
    write_result_cell(th, 0,
                      asPH ? (w->results ? w->results->resultpH : std::nan(""))
                           : select_concn_soluteResult(index, unit, sd->nameHplus));
    const int kH = batch->find_idxBatch_solute(sd->nameHplus);
    th->setItem(0, col_resType,
                plainItem(kH >= 0 ? typeKey_solute(sd->solutes.at(kH)) : QString(), true));
    if (w->stag_O2g && th->rowCount() > 1) {
        write_result_cell(th, 1, select_concn_soluteResult(index, unit, sd->nameO2g));
        const int kO = batch->find_idxBatch_solute(sd->nameO2g);
        th->setItem(1, col_resType,
                    plainItem(kO >= 0 ? typeKey_solute(sd->solutes.at(kO)) : QString(), true));
    }
    QTableWidget *t = ui->tableWidgetWaters_solutes;
    for (int row = 0; row < t->rowCount(); ++row)
        write_result_cell(
            t, row, select_concn_soluteResult(index, unit, t->item(row, col_resName)->text()));
    QTableWidget *tg = ui->tableWidgetWaters_gases;
    for (int row = 0; row < tg->rowCount(); ++row)
        write_result_cell(
            tg, row,
            select_concn_gasResult(index, global::fugacity, tg->item(row, col_resName)->text()));
}

// ---- Solution Properties tab -------------------------------------------------------

void setup::populate_sW_Waters_solnProperties(int index)
{
    one_water *w = water_at(index);
    if (!w) {
        qDebug().noquote() << "SW: ## no water at index " + QString::number(index);
        return;
    }
    const sim_data *sd = batch->sdata;
    const QList<QWidget *> quiet
        = {ui->lineEdit_massDensity,     ui->lineEdit_temperature,      ui->comboBox_acSolutes,
           ui->comboBox_acWater,         ui->checkBox_chargeBalance,    ui->comboBox_chargeBalance,
           ui->checkBox_alkalinity,      ui->lineEdit_alkalinity,       ui->comboBox_alkalinityUnit,
           ui->radioButton_alkalinityPH, ui->radioButton_alkalinityCarb};
    QList<std::shared_ptr<QSignalBlocker>> blocks;
    for (QWidget *wdg : quiet)
        blocks.append(std::make_shared<QSignalBlocker>(wdg));

    ui->lineEdit_water_solnProp->setText(w->name);
    ui->lineEdit_water_solnProp->setCursorPosition(0); // a name too long for it shows its start
    ui->lineEdit_water_solnProp->setEnabled(false);
    ui->comboBox_acSolutes->setCurrentIndex(w->activitymethod);
    ui->comboBox_acWater->setCurrentIndex(w->activitywater);
    if (w->activitymethod >= 5 || w->activitywater >= 3)
        qDebug().noquote() << "SW: ## activity correction methods is not set";

    ui->checkBox_chargeBalance->setChecked(w->chargebalance);
    if (w->chargebalance)
        comboBox_chargeBalance_basesList();
    else
        ui->comboBox_chargeBalance->clear();
    ui->comboBox_chargeBalance->setEnabled(w->chargebalance);

    const bool hasC = batch->find_idxBatch_element(sd->nameC) >= 0;
    if (!hasC)
        w->alkSet = false;
    ui->checkBox_alkalinity->setEnabled(hasC);
    ui->checkBox_alkalinity->setChecked(hasC && w->alkSet);
    const bool alk = hasC && w->alkSet;
    ui->radioButton_alkalinityCarb->setChecked(w->alkElem == sd->nameC);
    ui->radioButton_alkalinityPH->setChecked(w->alkElem != sd->nameC);
    ui->comboBox_alkalinityUnit->setCurrentIndex(w->alkUnit == 0 ? 1 : w->alkUnit == 1 ? 2 : 0);
    for (QWidget *wdg : {static_cast<QWidget *>(ui->lineEdit_alkalinity),
                         static_cast<QWidget *>(ui->comboBox_alkalinityUnit),
                         static_cast<QWidget *>(ui->radioButton_alkalinityPH),
                         static_cast<QWidget *>(ui->radioButton_alkalinityCarb)})
        wdg->setEnabled(alk);
    // The fields show the stored values, or a refused entry where one stands.
    show_refused_entries();
}
