// The workspace window: construction, tab navigation, notes, the delete clicks of
// the element tree and gas table, and the sorting of the solute and reaction tables.

#include "setup.h"

#include "input_fields.h"
#include "message_pane.h"
#include "model_mixing.h"
#include "sbatch.h"
#include "ui_setup.h"
#include "viewResult_spcn.h"

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidgetItem>

namespace {

/// Items of the two sort combos, in order.
const QStringList sortItems
    = {QStringLiteral("sort order"), QStringLiteral("alphabetical, case sensitive"),
       QStringLiteral("     \"           case insensitive")};

/// Widens a combo's pop-up list to the combo's minimum size hint plus 10 pixels.
void widenPopup(QComboBox *combo)
{
    combo->view()->setMinimumWidth(combo->minimumSizeHint().width() + 10);
}

} // namespace

setup::setup(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::setup)
{
    ui->setupUi(this);
    settings_read();

    for (QPushButton *b :
         {ui->pushButton_waterMgr, ui->pushButton_resetData, ui->pushButton_Save,
          ui->pushButton_SaveAs, ui->pushButton_Close, ui->pushButton_SUMixing,
          ui->pushButton_SUTitration, ui->pushButton_spcn, ui->pushButton_viewResult})
        b->setAutoDefault(false);
    ui->lineEdit_configFile->setEnabled(false);
    ui->pushButton_viewResult->setEnabled(false);
    ui->textEdit_Messages->setReadOnly(true);
    ui->lineEdit_massDensity->setAlignment(Qt::AlignCenter);
    ui->lineEdit_temperature->setAlignment(Qt::AlignCenter);
    ui->checkBox_redox->setEnabled(false);
    ui->checkBox_orgCmpd->setEnabled(false);
    ui->pushButton_SUMixing->setCheckable(true);
    ui->pushButton_SUTitration->setCheckable(true);

    ui->treeWidget_elements->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QTableWidget *t : {ui->tableWidget_gases, ui->tableWidget_solutes, ui->tableWidget_rxns,
                            ui->tableWidgetWaters_solutes_H, ui->tableWidgetWaters_solutes,
                            ui->tableWidgetWaters_gases})
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->treeWidget_elements->setSortingEnabled(false);
    for (QTableWidget *t : {ui->tableWidget_gases, ui->tableWidget_solutes, ui->tableWidget_rxns,
                            ui->tableWidgetWaters_elements, ui->tableWidgetWaters_gases,
                            ui->tableWidgetWaters_solutes})
        t->setSortingEnabled(false);

    ui->tabWidget_Setup->setCurrentWidget(ui->tabWidget_chemSystem);

    // Filling the combos must not run their sort slots: no batch exists yet.
    for (QComboBox *c : {ui->comboBox_sortSolutes, ui->comboBox_sortRxns}) {
        const QSignalBlocker block(c);
        c->clear();
        c->addItems(sortItems);
        c->setCurrentIndex(0);
        widenPopup(c);
    }

    ui->comboBox_alkalinityUnit->clear();
    ui->comboBox_alkalinityUnit->addItems(
        {QStringLiteral("unit"), QStringLiteral("molal"), QStringLiteral("Molar")});
    ui->radioButton_alkalinityPH->setChecked(true);
    ui->radioButton_alkalinityCarb->setChecked(false);
    for (QWidget *wdg : {static_cast<QWidget *>(ui->lineEdit_alkalinity),
                         static_cast<QWidget *>(ui->comboBox_alkalinityUnit),
                         static_cast<QWidget *>(ui->radioButton_alkalinityPH),
                         static_cast<QWidget *>(ui->radioButton_alkalinityCarb)})
        wdg->setEnabled(false);

    ui->tabWidget_Setup->setTabText(0, QStringLiteral("Chemical System"));
    ui->tabWidget_Setup->setTabText(1, QStringLiteral("Water Composition"));
    ui->tabWidget_Setup->setTabText(2, QStringLiteral("Solution Properties"));

    // A refusal reads dark red beside the status, well above 4.5:1 on the page.
    for (QLabel *label : {ui->label_spcnReason, ui->label_solnPropsReason})
        label->setStyleSheet(QStringLiteral("color: #a40000;"));
    show_reason(QString());
    follow_message_pane();

    setup_toolBar();
    enable_solutionProperties(false);
    setup_tooltips();

    // Refused entries stay as typed and say why; the wheel scrolls the page.
    const auto tell = [this](const QString &line) { tell_refusal(line); };
    number_field::attach(ui->lineEdit_temperature, rule_temperature(), tell);
    number_field::attach(ui->lineEdit_massDensity, rule_density(), tell);
    number_field::attach(ui->lineEdit_alkalinity, rule_alkalinity(), tell);
    // A stored value the user has not touched is no entry of the user's: a file's
    // value out of range is explained by Run instead.
    for (QLineEdit *field :
         {ui->lineEdit_temperature, ui->lineEdit_massDensity, ui->lineEdit_alkalinity}) {
        number_field::of(field)->setJudgeTypedOnly(true);
        connect(field, &QLineEdit::textEdited, this, [this, field] { note_field(field); });
    }
}

number_rule setup::rule_temperature()
{
    number_rule r = number_rule::between(QStringLiteral("temperature"), global::TCmin_water,
                                         global::TCmax_water);
    r.line = QStringLiteral("simulation temperature: value [ %1 ] entered is incorrect.");
    return r;
}

number_rule setup::rule_density()
{
    number_rule r = number_rule::between(QStringLiteral("mass density"), 0.0, 55.0);
    r.aboveLow = r.belowHigh = true;
    r.line = QStringLiteral("water mass density: value [ %1 ] entered is incorrect.");
    return r;
}

number_rule setup::rule_alkalinity()
{
    number_rule r = number_rule::above(QStringLiteral("alkalinity"), 0.0);
    r.line = QStringLiteral("alkalinity: value [ %1 ] entered is incorrect.");
    return r;
}

setup::~setup()
{
    // Editors closing with the tables are no entries to forget any more.
    for (QTableWidget *t : {ui->tableWidgetWaters_element_H, ui->tableWidgetWaters_elements})
        if (QAbstractItemDelegate *cells = t->itemDelegateForColumn(col_compAmount))
            disconnect(cells, nullptr, this, nullptr);
    // The results viewer is a top-level window of its own; the workspace made it.
    delete viewResult;
    delete mixingModel;
    delete ui;
}

sbatch *setup::retrieve_sbatch()
{
    return batch;
}

void setup::setup_tooltips()
{
    QTabWidget *tabs = ui->tabWidget_Setup;
    tabs->setTabToolTip(0, QStringLiteral("Set up chemical reaction system\nfor this simulation"));
    tabs->setTabToolTip(
        1, QStringLiteral("Set water composition and\ncarry out speciation simulation"));
    tabs->setTabToolTip(2,
                        QStringLiteral("Set water and simulation properties\nThis page is "
                                       "accessible from\n'Water Composition' page"));
    const QList<QPair<QWidget *, const char *>> tips = {
        {ui->lineEdit_configFile, "Simulation configuration file\ncurrently selected"},
        {ui->pushButton_Save, "Save current configuration"},
        {ui->pushButton_SaveAs, "Save current configurationin a new configuration file"},
        {ui->pushButton_Close,
         "Exit this simulation and return to\nconfiguration file browser window"},
        {ui->pushButton_SUMixing, "Carry out water mixing scenario"},
        {ui->pushButton_SUTitration, "Carry out titration scenario"},
        {ui->textEdit_Notes,
         "Enter comments or notes for\nthis configuration file\nThis content will be saved"},
        {ui->textEdit_Messages, "Messages from this program"},
        {ui->pushButton_addElement, "Add an element to this chemical system"},
        {ui->pushButton_addGas, "Add a gas to this chemical system"},
        {ui->comboBox_sortSolutes, "Sort solutes in a chosen order"},
        {ui->comboBox_sortRxns, "Sort reactions in a chosen order"},
        {ui->comboBox_rxnsList, "Select types of reactions to be displayed"},
        {ui->pushButton_resetData,
         "Reprocess elements and gases list:\nreset all solutes and reactions data"},
        {ui->checkBox_redox,
         "Indicates if redox reactions are available for use\nThis is set "
         "from configuration file browser page"},
        {ui->checkBox_orgCmpd,
         "Indicates if organic acids and compounds\nare available for use\nThis is set from "
         "configuration file browser page"},
        {ui->comboBox_waters, "Select a water from the list"},
        {ui->pushButton_waterMgr, "Add, copy, or delete waters\nfrom this configuration data"},
        {ui->comboBox_elementUnits, "Select unit for elemental composition"},
        {ui->comboBox_concnUnits, "Select unit for solute concentration"},
        {ui->comboBox_concnUnits_gas, "Select unit for gas concentration"},
        {ui->checkBox_chargeBalance, "Use charge balance condition\nin speciation simulation"},
        {ui->comboBox_chargeBalance,
         "Select a solute for charge balancing\nTypically Cl- in saline solution and\nH+ in "
         "dilute CO2 charged waters are used\n\nThis condition replaces the orresponding\n"
         "elemental composition condition above"},
        {ui->checkBox_alkalinity, "Use alkalinity in speciation simulaiton"},
        {ui->lineEdit_alkalinity, "Enter total carbonate alkalinity"},
        {ui->comboBox_alkalinityUnit, "Select alkalinity concentration unit"},
        {ui->radioButton_alkalinityPH,
         "Use alkalinity to set water pH\n\nThis option replaces "
         "the pH\ncomposition condition above"},
        {ui->radioButton_alkalinityCarb,
         "Use alkalinity to set\ndissolved carbon concentration\n\nThis option replaces the "
         "carbon\ncomposition condition above"},
        {ui->pushButton_spcn, "Start a speciation simulation"},
        {ui->lineEdit_spcnStat, "Shows status of speciation simulation"},
        {ui->pushButton_viewResult,
         "View speciation results in a new window\nThis option is active only if there is "
         "a\nthere is a speciation result for this water"},
        {ui->lineEdit_water_solnProp, "Water currently selected"},
        {ui->lineEdit_massDensity, "Water bulk mass density"},
        {ui->lineEdit_temperature, "Temperature set for simulation"},
        {ui->comboBox_acSolutes, "Activity correction method for solutes"},
        {ui->comboBox_acWater, "Activity correction method for water"},
    };
    for (const auto &tip : tips)
        tip.first->setToolTip(QString::fromUtf8(tip.second));
}

void setup::message(const QString &line)
{
    message_pane::append(ui->textEdit_Messages, line);
}

void setup::follow_message_pane()
{
    // Lines written while the page is away (a configuration is built before the page
    // shows) are laid out again when it shows, and the range grows under the view:
    // a pane that showed its newest line keeps showing it whenever its range changes.
    QScrollBar *bar = ui->textEdit_Messages->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { flag_paneAtEnd = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int max) {
        if (flag_paneAtEnd)
            bar->setValue(max);
    });
}

void setup::sync_counts()
{
    if (!batch)
        return;
    sim_data *sd = batch->sdata;
    sd->nelements = int(sd->elements.size());
    sd->nsolutes = int(sd->solutes.size());
    sd->nsolids = int(sd->solids.size());
    sd->nliquids = int(sd->liquids.size());
    sd->ngases = int(sd->gases.size());
    sd->nrxnsAqueous = int(sd->rxnsAqueous.size());
    sd->nrxnsSolid = int(sd->rxnsSolid.size());
    sd->nrxnsLiquid = int(sd->rxnsLiquid.size());
    sd->nrxnsGas = int(sd->rxnsGas.size());
    sd->nwaters = int(sd->waters.size());
}

// ---- tabs ---------------------------------------------------------------------

void setup::enable_solutionProperties(bool enable)
{
    ui->tabWidget_Setup->setTabEnabled(2, enable);
    if (actNav_solnProps)
        actNav_solnProps->setEnabled(enable);
}

void setup::show_tab(int index)
{
    // Showing a tab from the code runs the tab slot again; that second run finds
    // the tab shown already and only repeats what it would do anyway, so block it.
    const QSignalBlocker block(ui->tabWidget_Setup);
    switch (index) {
    case 1:
        ui->tabWidget_Setup->setCurrentWidget(ui->tabWidget_waterComp);
        if (batch) {
            accumulate_list_waters();
            populate_stackedWidget_Waters(batch->sdata->currentWater);
        }
        ui->pushButton_SUMixing->setChecked(false);
        ui->pushButton_SUTitration->setChecked(false);
        enable_solutionProperties(true);
        break;
    case 2:
        ui->tabWidget_Setup->setCurrentWidget(ui->tabWidget_solutionProps);
        if (batch)
            populate_sW_Waters_solnProperties(batch->sdata->currentWater);
        break;
    default:
        ui->tabWidget_Setup->setCurrentWidget(ui->tabWidget_chemSystem);
        ui->pushButton_SUMixing->setChecked(false);
        ui->pushButton_SUTitration->setChecked(false);
        break;
    }
}

void setup::on_tabWidget_Setup_currentChanged(int index)
{
    if (index < 0 || index > 2) {
        qDebug().noquote() << "SU: tabWidget selection " + QString::number(index) + " unknown.";
        index = 0;
    }
    show_tab(index);
}

void setup::process_chemicalSystem()
{
    show_tab(0);
}

void setup::process_waterComposition()
{
    // Reaching the Water Composition tab through the menu shows it as a click on
    // its tab does, so the Solution Properties tab opens up the same way.
    show_tab(1);
}

void setup::process_solutionProperties()
{
    show_tab(2);
}

void setup::on_comboBox_simFilePath_activated(int) { }

// ---- notes and waters from elsewhere ------------------------------------------

void setup::on_textEdit_Notes_textChanged()
{
    if (!batch)
        return;
    batch->sdata->description = ui->textEdit_Notes->toPlainText();
    set_modified();
}

void setup::newWater_added()
{
    set_modified();
    accumulate_list_waters();
}

// ---- delete clicks --------------------------------------------------------------

void setup::on_treeWidget_elements_itemClicked(QTreeWidgetItem *item, int column)
{
    if (!item || column != col_elementDelete || !batch)
        return;
    // The clicked item's own row: the tree's current index may still point
    // elsewhere when the click lands on an item that was not selected.
    delete_one_element(ui->treeWidget_elements->indexOfTopLevelItem(item));
}

void setup::on_tableWidget_gases_cellClicked(int row, int column)
{
    if (column != col_gasDelete || !batch)
        return;
    delete_one_gas(row);
}

void setup::on_tableWidget_rxns_cellClicked(int, int) { }

// ---- sorting --------------------------------------------------------------------

template<class T>
void setup::sort_byName(QList<T *> &list, Qt::CaseSensitivity cs)
{
    // Exchange sort from the end: equal names never swap, so their order stays.
    const qsizetype n = list.size();
    for (qsizetype i = 1; i < n; ++i) {
        for (qsizetype j = n - 1; j >= i; --j) {
            if (QString::compare(list.at(j)->name, list.at(j - 1)->name, cs) < 0)
                list.swapItemsAt(j, j - 1);
        }
    }
}

void setup::sortTable_solutes_caseSensitive()
{
    sort_byName(batch->sdata->solutes, Qt::CaseSensitive);
    populateTable_solutes();
}

void setup::sortTable_solutes_caseInsensitive()
{
    sort_byName(batch->sdata->solutes, Qt::CaseInsensitive);
    populateTable_solutes();
}

void setup::on_comboBox_sortSolutes_currentIndexChanged(int index)
{
    if (!batch)
        return;
    if (index == 1)
        sortTable_solutes_caseSensitive();
    else if (index == 2)
        sortTable_solutes_caseInsensitive();
    if (index == 1 || index == 2)
        set_modified();
    const QSignalBlocker block(ui->comboBox_sortSolutes);
    ui->comboBox_sortSolutes->setCurrentIndex(0);
}

void setup::sortTable_rxns(Qt::CaseSensitivity cs)
{
    // The table is refilled for the type on show, so the selector keeps naming
    // what the table lists.
    sim_data *sd = batch->sdata;
    switch (ui->comboBox_rxnsList->currentIndex()) {
    case 1:
        sort_byName(sd->rxnsAqueous, cs);
        updateTable_rxnsList(global::basis);
        break;
    case 2:
        sort_byName(sd->rxnsAqueous, cs);
        updateTable_rxnsList(global::aqueous);
        break;
    case 3:
        sort_byName(sd->rxnsGas, cs);
        updateTable_rxnsList(global::gas);
        break;
    case 4:
        sort_byName(sd->rxnsSolid, cs);
        updateTable_rxnsList(global::solid);
        break;
    default:
        return;
    }
    set_modified();
}

void setup::sortTable_rxns_caseSensitive()
{
    sortTable_rxns(Qt::CaseSensitive);
}

void setup::sortTable_rxns_caseInsensitive()
{
    sortTable_rxns(Qt::CaseInsensitive);
}

void setup::on_comboBox_sortRxns_currentIndexChanged(int index)
{
    if (!batch)
        return;
    if (index == 1)
        sortTable_rxns_caseSensitive();
    else if (index == 2)
        sortTable_rxns_caseInsensitive();
    const QSignalBlocker block(ui->comboBox_sortRxns);
    ui->comboBox_sortRxns->setCurrentIndex(0);
}
