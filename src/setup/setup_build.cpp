// Building the chemical system of a configuration: the entry from the main window,
// the layout of the chemical-system tables, the build from the configuration and the
// database, the type keys and the Reset of reactions and solutes.

#include "setup.h"

#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidgetItem>

void setup::set_simType(int type, jsdbfile_mgr *reader, dbdata *image, sbatch *b)
{
    settings_read();
    simType = type;
    jsdbMgr = reader;
    dbase = image;
    batch = b;
    flag_unsaved = false;
    // Nothing of the configuration shown before speaks for this one.
    refused.clear();
    clear_status_and_pane();
    if (!jsdbMgr || !dbase || !batch || !batch->sdata->ctrlset) {
        message(QStringLiteral("##  setup: no configuration or database was handed over"));
        batch = nullptr;
        return;
    }
    propsWater.setup_properties(batch, dbase);

    if (batch->sdata->ctrlset->dbaccess) {
        const sim_data *db = dbase->sdata;
        message(QStringLiteral("SF > database content summary:"));
        message(QStringLiteral("      no. elements %1;  solutes %2;  solids %3;  gases %4")
                    .arg(db->elements.size())
                    .arg(db->solutes.size())
                    .arg(db->solids.size())
                    .arg(db->gases.size()));
        message(QStringLiteral("      no. reactions, (aqueous) equil. %1;  solids %2;  gas %3")
                    .arg(db->rxnsAqueous.size())
                    .arg(db->rxnsSolid.size())
                    .arg(db->rxnsGas.size()));
    }
    setup_tables_waters();
    accumulate_list_acSolutes();
    accumulate_list_acWater();
    enable_solutionProperties(false);
}

void setup::setup_system()
{
    if (!batch)
        return;
    sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;
    sd->nameH = db->nameH;
    sd->nameO = db->nameO;
    sd->nameC = db->nameC;
    sd->nameHplus = db->nameHplus;
    sd->nameH2O = db->nameH2O;
    sd->nameCl = db->nameCl;
    sd->nameO2g = db->nameO2g;
    sd->nameOH = db->nameOH;

    // The batch keeps its own Debye-Hueckel record: the image frees its own when
    // it is reloaded or deleted, and the batch may outlive it.
    if (db->bdot) {
        if (!sd->isOwned(sd->bdot))
            delete sd->bdot;
        sd->bdot = new one_bdot_properties(*db->bdot);
    }

    set_jsdbFile_fields(sd->file);
    const QString highlight = QStringLiteral("QCheckBox::indicator {background-color: #37f;};");
    ui->checkBox_redox->setStyleSheet(sd->ctrlset->redox ? highlight : QString());
    ui->checkBox_orgCmpd->setStyleSheet(sd->ctrlset->orgcmpd ? highlight : QString());

    accumulate_list_rxns();
    accumulate_list_options_water();
    setup_tables();
    setup_simulation_data();
    if (sd->ctrlset->redox)
        compile_redoxRxnsList();
    accumulate_list_waters();
    ui->textEdit_Notes->setPlainText(sd->description);

    show_tab(0);
    ui->pushButton_SUMixing->setChecked(false);
    ui->pushButton_SUTitration->setChecked(false);
    // Reset collects from the database: the state the configuration before left does
    // not hold for this one.
    ui->pushButton_resetData->setEnabled(sd->ctrlset && sd->ctrlset->dbaccess);
    flag_unsaved = false;
    enable_solutionProperties(false);
}

void setup::setup_tables()
{
    const int h28 = ff.cell_height();

    QTreeWidget *tree = ui->treeWidget_elements;
    tree->clear();
    tree->setColumnCount(4);
    tree->setHeaderLabels({QStringLiteral("element"), QStringLiteral(" "), QString(), QString()});
    tree->setColumnHidden(col_elementAux, true);
    tree->setColumnHidden(col_elementName, true);
    // The name columns take the room the layout gives the tables.
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tree->setColumnWidth(col_elementDelete, 30);
    tree->header()->setMinimumHeight(h28);
    tree->header()->setDefaultAlignment(Qt::AlignCenter);
    tree->setRootIsDecorated(false);
    QTreeWidgetItem *th = tree->headerItem();
    th->setToolTip(0, QStringLiteral("Elements included in this chemical system"));
    th->setToolTip(col_elementDelete,
                   QStringLiteral("Click on trash can to remove the element\nfrom this chemical "
                                  "system\nElements O and H cannot be removed"));

    QTableWidget *gases = ui->tableWidget_gases;
    gases->clear();
    gases->setRowCount(0);
    gases->setColumnCount(2);
    gases->setHorizontalHeaderLabels({QStringLiteral("gas"), QStringLiteral(" ")});
    gases->horizontalHeader()->setStretchLastSection(false);
    gases->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    gases->setColumnWidth(col_gasDelete, 20);
    gases->horizontalHeader()->setMinimumHeight(h28);
    gases->horizontalHeaderItem(0)->setToolTip(
        QStringLiteral("Gas included in this chemical system"));
    gases->horizontalHeaderItem(col_gasDelete)
        ->setToolTip(QStringLiteral("Click on 'x' to remove the gas\nfrom this chemical system"));

    QTableWidget *solutes = ui->tableWidget_solutes;
    solutes->setColumnCount(2);
    solutes->horizontalHeader()->setStretchLastSection(false);
    solutes->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    solutes->setColumnWidth(col_soluteType, 50);
    populateTable_solutes();

    QTableWidget *rxns = ui->tableWidget_rxns;
    rxns->setColumnCount(4);
    // The expression column takes the room left by the name, type and last columns.
    rxns->horizontalHeader()->setStretchLastSection(false);
    rxns->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    rxns->setColumnWidth(0, int(0.4 * ((qMax(rxns->width(), rxns->minimumWidth()) - 130) / 2)));
    rxns->setColumnWidth(col_rxnType, 60);
    rxns->setColumnWidth(col_rxnLast, 20);
    rxns->clear();
    rxns->setRowCount(0);
    rxns->setHorizontalHeaderLabels({QStringLiteral("reaction"),
                                     QStringLiteral("reaction expression"), QStringLiteral("type"),
                                     QStringLiteral(" ")});
    rxns->horizontalHeader()->setMinimumHeight(h28);
}

int setup::setup_simulation_data()
{
    sim_data *sd = batch->sdata;
    const sim_data *cfg = jsdbMgr->sdata;
    const sim_data *db = dbase->sdata;

    sd->description = cfg->description;
    {
        const QSignalBlocker block(ui->textEdit_Notes);
        ui->textEdit_Notes->setPlainText(sd->description);
    }

    ui->treeWidget_elements->clear();
    sd->elements.clear();
    bool hasH = false;
    bool hasO = false;
    for (one_element *el : cfg->elements) {
        if (!el)
            continue;
        const bool isH = el->name == sd->nameH;
        const bool isO = el->name == sd->nameO || el->name == sd->nameH2O;
        hasH = hasH || isH;
        hasO = hasO || isO;
        add_one_element(el, isH || isO, global::chemElement);
    }
    if (!hasH) {
        const int k = dbase->find_idxDB_element(sd->nameH);
        if (k >= 0) {
            add_one_element(db->elements.at(k), true, global::chemElement);
            message(QStringLiteral("Added element H during initial setup"));
        }
    }
    if (!hasO) {
        const int k = dbase->find_idxDB_element(sd->nameO);
        if (k >= 0) {
            add_one_element(db->elements.at(k), true, global::chemElement);
            message(QStringLiteral("Added element O during initial setup"));
        }
    }

    sd->solutes.clear();
    for (one_solute *s : cfg->solutes)
        if (s)
            add_one_solute(s, false);

    sd->gases.clear();
    ui->tableWidget_gases->setRowCount(0);
    for (one_gas *g : cfg->gases)
        if (g)
            add_one_gas(g, false);

    sd->rxnsAqueous.clear();
    bool hasOH = false;
    for (one_rxn *r : cfg->rxnsAqueous) {
        if (!r)
            continue;
        r->flagAux = r->name == sd->nameOH;
        hasOH = hasOH || r->flagAux;
        sd->rxnsAqueous.append(r);
    }

    sd->solids.clear();
    for (one_solid *s : cfg->solids)
        if (s)
            add_one_solid(s);

    if (!hasOH) {
        const int k = dbase->find_idxDB_rxn(sd->nameOH, global::aqueous);
        if (k >= 0) {
            db->rxnsAqueous.at(k)->flagAux = true;
            add_one_rxnAqueous(db->rxnsAqueous.at(k), true);
            message(QStringLiteral("Added hydration reaction during initial setup"));
        }
    }

    sd->rxnsGas.clear();
    for (one_rxn *r : cfg->rxnsGas) {
        if (!r)
            continue;
        r->flagAux = false;
        sd->rxnsGas.append(r);
    }
    sync_counts();

    collect_redoxRxns();

    populateTable_solutes();
    populateTable_rxns(sd->rxnsAqueous, sd->rxnsGas);
    ui->comboBox_rxnsList->setCurrentIndex(0);

    // Solid reactions are not stored in a configuration: they are collected anew.
    sd->rxnsSolid.clear();
    const QList<one_element *> elements = sd->elements;
    for (one_element *el : elements)
        if (el->name != sd->nameH && el->name != sd->nameO)
            collect_rxnsSolids_on_elements_list(el);

    sd->waters.clear();
    for (one_water *w : cfg->waters)
        if (w) {
            rename_duplicate_water(w);
            add_one_water(w);
        }
    if (sd->waters.isEmpty()) {
        add_one_water(sd->own(batch->simData_init_water()));
        message(QStringLiteral("Added default water during initial setup"));
    }
    if (sd->currentWater < 0 || sd->currentWater >= sd->waters.size())
        sd->currentWater = 0;
    sync_counts();
    return 0;
}

void setup::set_jsdbFile_fields(const QString &path)
{
    const QFileInfo info(path);
    ui->lineEdit_configFile->setText(info.fileName());
    ui->comboBox_simFilePath->clear();
    ui->comboBox_simFilePath->addItems({QStringLiteral("Path"), info.path()});
    ui->comboBox_simFilePath->view()->setMinimumWidth(
        ui->comboBox_simFilePath->minimumSizeHint().width() + 10);
}

int setup::setup_initial_patch()
{
    accumulate_list_waters();
    if (batch)
        ui->textEdit_Notes->setPlainText(batch->sdata->description);
    return 0;
}

// ---- type keys -------------------------------------------------------------------

QString setup::typeKey_solute(const one_solute *solute) const
{
    switch (solute ? solute->type : -1) {
    case global::basis:
        return QStringLiteral("AQ,B");
    case global::aux:
        return QStringLiteral("AQ,R");
    case global::aqueous:
        return QStringLiteral("AQ");
    case global::liquid:
        return QStringLiteral("L");
    case global::gas:
        return QStringLiteral("G");
    default:
        return QStringLiteral("n/a");
    }
}

QString setup::typeKey_rxn(const one_rxn *rxn) const
{
    switch (rxn ? rxn->type : -1) {
    case global::basis:
        return QStringLiteral("AQ,B");
    case global::aux:
        return QStringLiteral("AQ,R");
    case global::aqueous:
        return QStringLiteral("AQ");
    case global::solid:
        return QStringLiteral("S");
    case global::liquid:
        return QStringLiteral("L");
    case global::gas:
        return QStringLiteral("G");
    default:
        return QStringLiteral("n/a");
    }
}

QString setup::typeKey_gas(const one_gas *gas) const
{
    return gas && gas->type == global::gas ? QStringLiteral("G") : QStringLiteral("n/a");
}

// ---- Reset -----------------------------------------------------------------------

void setup::on_pushButton_resetData_clicked()
{
    if (!batch)
        return;
    sim_data *sd = batch->sdata;
    if (!sd->ctrlset->dbaccess) {
        // Without the database nothing could be collected again: a reset would
        // only empty the system's reactions and solutes.
        message(QStringLiteral("##  Reset: this configuration does not use the database; "
                               "reactions and solutes are left as they are"));
        return;
    }
    const sim_data *db = dbase->sdata;

    sd->rxnsAqueous.clear();
    ui->tableWidget_rxns->setRowCount(0);
    {
        const QSignalBlocker block(ui->comboBox_sortRxns);
        ui->comboBox_sortRxns->setCurrentIndex(0);
    }
    sd->solutes.clear();
    ui->tableWidget_solutes->setRowCount(0);

    const int k = dbase->find_idxDB_rxn(sd->nameOH, global::aqueous);
    if (k >= 0) {
        db->rxnsAqueous.at(k)->flagAux = true;
        add_one_rxnAqueous(db->rxnsAqueous.at(k), true);
    }

    const QList<one_element *> elements = sd->elements;
    for (one_element *el : elements)
        if (el->name != sd->nameH && el->name != sd->nameO)
            collect_rxnsAqueous_on_elements_list(el);

    sd->rxnsGas.clear();
    for (one_gas *g : std::as_const(sd->gases)) {
        const int kg = dbase->find_idxDB_rxn(g->name, global::gas);
        if (kg >= 0)
            add_one_rxnAqueous(db->rxnsGas.at(kg), false);
    }

    sd->rxnsSolid.clear();
    for (one_element *el : elements)
        if (el->name != sd->nameH && el->name != sd->nameO)
            collect_rxnsSolids_on_elements_list(el);
    sync_counts();

    populateTable_solutes();
    populateTable_rxns(sd->rxnsAqueous, sd->rxnsGas);
    ui->comboBox_rxnsList->setCurrentIndex(0);
    clear_conditions_without_species();
    mark_edit();
}
