#include "setup_add_element.h"
#include "ui_setup_add_element.h"

#include "dbdata.h"
#include "doc_redoxQG.h"
#include "sbatch.h"
#include "screen_info.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QIcon>
#include <QSettings>
#include <QTableWidgetItem>
#include <QTreeWidgetItem>

namespace {

const char groupElementsList[] = "ELEMENTS_LIST";

// Columns of the pair tree.
constexpr int colNumber = 0;
constexpr int colPair = 1;
constexpr int colTick = 2;
constexpr int colReaction = 3;

/// Appends `s` unless a solute of the same name (case-sensitive) is already listed.
void appendDistinct(QList<one_solute *> &list, one_solute *s)
{
    if (!s)
        return;
    for (const one_solute *t : list)
        if (t->name == s->name)
            return;
    list.append(s);
}

/// The first two solutes of a pair, the one of negative coefficient first; nulls left out.
QList<one_solute *> shownSolutes(const one_redoxRxn *pair)
{
    QList<one_solute *> out;
    for (int i = 0; i < pair->soluteRecs.size() && i < 2; ++i)
        if (pair->soluteRecs.at(i))
            out.append(pair->soluteRecs.at(i));
    return out;
}

} // namespace

setup_add_element::setup_add_element(sbatch *batch, dbdata *db, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::setup_add_element)
    , batch(batch)
    , db(db)
    , scrInfo(new screen_info)
{
    ui->setupUi(this);
    sdata = batch ? batch->sdata : nullptr;
    useRedox = redoxLayout();

    settings_read();
    if (gl.get_OSProductType() == 1) {
        resize(scrInfo->size_width(), scrInfo->size_height());
        move(0, 0);
    }

    ui->pushButton_select->setAutoDefault(false);
    ui->pushButton_cancel->setAutoDefault(false);
    ui->textEdit_description->setReadOnly(true);
    ui->textEdit_redoxSetup->setReadOnly(true);
    ui->tableWidget_elements->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->lineEdit_element->setAlignment(Qt::AlignCenter);
    ui->lineEdit_basis->setAlignment(Qt::AlignCenter);
    ui->lineEdit_molwt->setAlignment(Qt::AlignCenter);
    ui->checkBox_redox->setEnabled(false);
    ui->groupBox_redox->setEnabled(false);
    ui->pushButton_select->setEnabled(false);
    // The quick guide is reachable only through its slot; the button stays hidden.
    ui->pushButton_redoxQ1->setText(QString());
    ui->pushButton_redoxQ1->setStyleSheet(QStringLiteral("font-size: 10; background-color: #ccc;"));
    ui->pushButton_redoxQ1->hide();

    if (useRedox) {
        setup_tables_redox();
        accumulate_elementsList();
        populate_table_elements();
        ui->pushButton_redoxQ1->setIcon(QIcon(QStringLiteral(":/icons/Q-icon.png")));
        ui->pushButton_redoxQ1->setText(QStringLiteral(" redox pairs"));
    } else {
        setup_tables_std();
        accumulate_elementsList();
        populate_table_elements();
    }
}

setup_add_element::~setup_add_element()
{
    delete scrInfo;
    delete ui;
}

bool setup_add_element::redoxLayout() const
{
    return sdata && sdata->ctrlset && sdata->ctrlset->redox;
}

bool setup_add_element::inBatch(const one_element *element) const
{
    return batch && element && batch->find_idxBatch_element(element->name) >= 0;
}

// ---------------------------------------------------------------- layouts

void setup_add_element::setup_table_elements()
{
    QTableWidget *t = ui->tableWidget_elements;
    t->setColumnCount(2);
    t->setHorizontalHeaderLabels({QStringLiteral("elem."), QStringLiteral("basis")});
    t->setColumnWidth(0, 60);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setMinimumHeight(fields.cell_height());
    t->verticalHeader()->setVisible(true);
    t->verticalHeader()->setMinimumWidth(20);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void setup_add_element::setup_tables_std()
{
    setup_table_elements();
    ui->groupBox_redox->hide();
    ui->checkBox_redox->hide();
    ui->treeWidget_redoxPairs->hide();
    ui->pushButton_redoxQ1->hide();

    // Without the pairs the element fields stand one under another, and the
    // additional data under them takes the rest of the height.
    QGridLayout *grid = ui->gridLayout_fields;
    grid->addWidget(ui->label_basis, 1, 0);
    grid->addWidget(ui->lineEdit_basis, 1, 1);
    grid->addWidget(ui->label_molwt, 2, 0);
    grid->addWidget(ui->lineEdit_molwt, 2, 1);
    grid->addWidget(ui->label_molwtUnit, 2, 2);
    ui->label_description->setText(QStringLiteral("Additional Data"));
    ui->label_description->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui->horizontalLayout_description->setDirection(QBoxLayout::TopToBottom);
    ui->verticalLayout_right->setStretchFactor(ui->horizontalLayout_description, 1);
}

void setup_add_element::setup_tables_redox()
{
    setup_table_elements();
    ui->label_description->setText(QStringLiteral("Additional\nData"));

    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    tree->setColumnCount(4);
    tree->setHeaderLabels({QStringLiteral("elem."), QStringLiteral("pairs"), QString(),
                           QStringLiteral("reaction expression")});
    tree->header()->setDefaultAlignment(Qt::AlignCenter);
    tree->header()->setMinimumSectionSize(20);
    tree->setColumnWidth(colNumber, 60);
    tree->setColumnWidth(colPair, 120);
    tree->setColumnWidth(colTick, 28);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// ---------------------------------------------------------------- element list

void setup_add_element::accumulate_elementsList()
{
    elementsAll.clear();
    if (db && db->sdata)
        for (one_element *e : db->sdata->elements)
            if (e)
                elementsAll.append(e);
    elementsShown = elementsAll;
}

void setup_add_element::populate_table_elements()
{
    QTableWidget *t = ui->tableWidget_elements;
    t->clearContents();
    t->setRowCount(0);
    t->setHorizontalHeaderLabels({QStringLiteral("elem."), QStringLiteral("basis")});
    const QBrush grey(QColor(225, 225, 225));
    for (int row = 0; row < elementsShown.size(); ++row) {
        const one_element *e = elementsShown.at(row);
        t->insertRow(row);
        auto *name = new QTableWidgetItem(e->name);
        auto *basis = new QTableWidgetItem(e->basis_name);
        name->setTextAlignment(Qt::AlignCenter);
        basis->setTextAlignment(Qt::AlignCenter);
        if (inBatch(e)) {
            name->setBackground(grey);
            basis->setBackground(grey);
        }
        t->setItem(row, 0, name);
        t->setItem(row, 1, basis);
    }
}

void setup_add_element::on_lineEdit_search_textChanged(const QString &text)
{
    const QString key = text.toLower();
    elementsShown.clear();
    for (one_element *e : elementsAll)
        if (e->name.toLower().contains(key))
            elementsShown.append(e);
    populate_table_elements();
}

void setup_add_element::on_tableWidget_elements_cellClicked(int row, int /*column*/)
{
    if (row < 0 || row >= elementsShown.size())
        return;
    elementSelected = elementsShown.at(row);
    ui->textEdit_redoxSetup->clear();
    ui->lineEdit_element->setText(elementSelected->name);
    ui->lineEdit_basis->setText(elementSelected->basis_name);
    ui->lineEdit_molwt->setText(QString::number(elementSelected->mol_wt, 'g', 6));

    if (inBatch(elementSelected)) {
        ui->textEdit_description->setText(QStringLiteral("This element was already selected.\n"));
        // An element already in the system can be neither selected nor given
        // pairs, so nothing may re-enable Select for it.
        clear_redoxPairs();
        ui->checkBox_redoxAllRxns->setEnabled(false);
        ui->pushButton_select->setEnabled(false);
        return;
    }

    ui->pushButton_select->setEnabled(true);
    ui->checkBox_redox->setEnabled(false);
    ui->checkBox_redoxAllRxns->setEnabled(false);
    pairsListed = false;
    ui->textEdit_description->setText(QStringLiteral("data tag : ")
                                      + QString::number(elementSelected->tag));
    if (!useRedox)
        return;

    ui->checkBox_redoxAllRxns->setChecked(false);
    bool hasPairs = false;
    for (const one_redoxRxn *r : sdata->rxnsRedox)
        hasPairs = hasPairs || (r && r->elementRec && r->elementRec->name == elementSelected->name);
    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    if (hasPairs) {
        pairsListed = true;
        tree->setEnabled(true);
        tree->setStyleSheet(QStringLiteral("background-color: #f6f6f6"));
        populate_table_redoxRxns(elementSelected);
    } else {
        clear_redoxPairs();
        tree->setEnabled(false);
        tree->setStyleSheet(QStringLiteral("background-color: #ddd;"));
    }
}

// ---------------------------------------------------------------- pair tree

void setup_add_element::clear_redoxPairs()
{
    ui->treeWidget_redoxPairs->clear();
    elementPairs.clear();
    redoxSolutesAll.clear();
    pairsSelected.clear();
    solutesSelected.clear();
    solutesUnused.clear();
    pairsListed = false;
}

void setup_add_element::populate_table_redoxRxns(one_element *element)
{
    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    ui->checkBox_redoxAllRxns->setChecked(false);
    ui->checkBox_redoxAllRxns->setEnabled(true);
    clear_redoxPairs();
    pairsListed = true;
    tree->setColumnCount(4);
    tree->header()->setMinimumSectionSize(20);
    tree->setHeaderLabels({QStringLiteral("  "), QStringLiteral("pairs"), QString(),
                           QStringLiteral("reaction expression")});
    for (int c = 0; c < 4; ++c)
        tree->headerItem()->setTextAlignment(c, Qt::AlignCenter);

    int count = 0;
    for (one_redoxRxn *pair : sdata->rxnsRedox) {
        if (!pair || !pair->elementRec || pair->elementRec->name != element->name)
            continue;
        ++count;
        elementPairs.append(pair);
        const QList<one_solute *> solutes = shownSolutes(pair);
        QStringList names;
        for (const one_solute *s : solutes)
            names << s->name;

        auto *pairRow = new QTreeWidgetItem(tree);
        pairRow->setText(colNumber, QString::number(count));
        pairRow->setText(colPair, names.join(QStringLiteral(" / ")));
        pairRow->setText(colReaction, pair->rxn ? pair->rxn->expression : QString());
        for (int c = colNumber; c <= colTick; ++c)
            pairRow->setTextAlignment(c, Qt::AlignCenter);
        pairRow->setCheckState(colTick, Qt::Unchecked);
        for (one_solute *s : solutes) {
            auto *soluteRow = new QTreeWidgetItem(pairRow);
            soluteRow->setText(colPair, s->name);
            soluteRow->setTextAlignment(colPair, Qt::AlignCenter);
            soluteRow->setTextAlignment(colTick, Qt::AlignCenter);
            soluteRow->setCheckState(colTick, Qt::Unchecked);
            appendDistinct(redoxSolutesAll, s);
        }
    }
    tree->expandAll();
    // The pair column keeps its width unless a pair's names need more room.
    tree->resizeColumnToContents(colPair);
    tree->setColumnWidth(colPair, qMax(tree->columnWidth(colPair), 120));

    if (count >= 1)
        ui->checkBox_redox->setEnabled(true);
    // Every pair starts selected; a lone pair cannot be unselected through Select All.
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *pairRow = tree->topLevelItem(i);
        pairRow->setCheckState(colTick, Qt::Checked);
        for (int k = 0; k < pairRow->childCount(); ++k)
            pairRow->child(k)->setCheckState(colTick, Qt::Checked);
    }
    ui->checkBox_redoxAllRxns->setChecked(true);
    ui->checkBox_redoxAllRxns->setEnabled(count != 1);
    ui->textEdit_redoxSetup->clear();
}

void setup_add_element::on_checkBox_redox_clicked(bool checked)
{
    ui->groupBox_redox->setEnabled(checked);
    if (checked) {
        ui->textEdit_redoxSetup->append(QString());
        ui->textEdit_redoxSetup->append(QStringLiteral("Redox reactions enabled:"));
        ui->textEdit_redoxSetup->append(QStringLiteral("Select from available reactions"));
    } else {
        ui->textEdit_redoxSetup->append(QString());
        ui->textEdit_redoxSetup->append(QStringLiteral("Redox reactions disabled"));
    }
}

void setup_add_element::on_checkBox_redoxAllRxns_clicked(bool checked)
{
    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    const Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *pairRow = tree->topLevelItem(i);
        pairRow->setCheckState(colTick, state);
        for (int k = 0; k < pairRow->childCount(); ++k)
            pairRow->child(k)->setCheckState(colTick, state);
    }
    ui->pushButton_select->setEnabled(checked && elementSelected && !inBatch(elementSelected));
}

void setup_add_element::on_treeWidget_redoxPairs_itemClicked(QTreeWidgetItem *item, int column)
{
    if (!item || column != colTick)
        return;
    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    tree->clearSelection();
    item->setSelected(true);

    const bool manyPairs = tree->topLevelItemCount() >= 2;
    // Gives every solute row named `name` (in any pair) the tick `state`.
    auto tickEverywhere = [tree](const QString &name, Qt::CheckState state) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *pairRow = tree->topLevelItem(i);
            for (int k = 0; k < pairRow->childCount(); ++k)
                if (pairRow->child(k)->text(colPair) == name)
                    pairRow->child(k)->setCheckState(colTick, state);
        }
    };

    const Qt::CheckState state = item->checkState(colTick);
    QTreeWidgetItem *parentRow = item->parent();
    if (!parentRow) {
        for (int k = 0; k < item->childCount(); ++k)
            item->child(k)->setCheckState(colTick, state);
        if (state == Qt::Unchecked)
            ui->checkBox_redoxAllRxns->setChecked(false);
        if (manyPairs)
            for (int k = 0; k < item->childCount(); ++k)
                tickEverywhere(item->child(k)->text(colPair), state);
    } else {
        if (state == Qt::Unchecked) {
            parentRow->setCheckState(colTick, Qt::Unchecked);
            ui->checkBox_redoxAllRxns->setChecked(false);
        }
        if (manyPairs)
            tickEverywhere(item->text(colPair), state);
    }

    // A pair stays ticked only while all its solutes are; Select needs at least one solute.
    ui->checkBox_redoxAllRxns->setChecked(true);
    bool someUnticked = false;
    bool anySolute = false;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *pairRow = tree->topLevelItem(i);
        const bool wasTicked = pairRow->checkState(colTick) == Qt::Checked;
        someUnticked = someUnticked || !wasTicked;
        bool soluteTicked = pairRow->childCount() == 0;
        for (int k = 0; k < pairRow->childCount(); ++k) {
            if (pairRow->child(k)->checkState(colTick) == Qt::Checked) {
                soluteTicked = true;
            } else {
                pairRow->setCheckState(colTick, Qt::Unchecked);
                ui->checkBox_redoxAllRxns->setChecked(false);
            }
        }
        anySolute = anySolute || soluteTicked;
    }
    ui->pushButton_select->setEnabled(anySolute);
    if (someUnticked)
        ui->checkBox_redoxAllRxns->setChecked(false);
}

// ---------------------------------------------------------------- accessors

one_element *setup_add_element::selectedElement()
{
    return elementSelected;
}

bool setup_add_element::usage_redoxPairs()
{
    return ui->checkBox_redox->isChecked();
}

bool setup_add_element::selectAllRxns()
{
    if (!pairsListed)
        return true;
    return ui->checkBox_redoxAllRxns->checkState() != Qt::Unchecked;
}

QList<one_redoxRxn *> setup_add_element::selectedRedoxPairs()
{
    pairsSelected.clear();
    QTreeWidget *tree = ui->treeWidget_redoxPairs;
    for (int i = 0; i < tree->topLevelItemCount() && i < elementPairs.size(); ++i)
        if (tree->topLevelItem(i)->checkState(colTick) == Qt::Checked)
            pairsSelected.append(elementPairs.at(i));
    return pairsSelected;
}

QList<one_solute *> setup_add_element::selectedRedoxSolutes()
{
    solutesSelected.clear();
    for (const one_redoxRxn *pair : pairsSelected)
        for (one_solute *s : pair->soluteRecs)
            appendDistinct(solutesSelected, s);
    return solutesSelected;
}

QList<one_solute *> setup_add_element::allRedoxSolutes()
{
    return redoxSolutesAll;
}

QList<one_solute *> setup_add_element::unusedRedoxSolutes()
{
    solutesUnused.clear();
    for (one_solute *s : redoxSolutesAll) {
        bool used = false;
        for (const one_solute *t : solutesSelected)
            used = used || t->name == s->name;
        if (!used)
            solutesUnused.append(s);
    }
    return solutesUnused;
}

// ---------------------------------------------------------------- buttons and settings

void setup_add_element::on_pushButton_select_clicked()
{
    settings_write();
    accept();
}

void setup_add_element::on_pushButton_cancel_clicked()
{
    settings_write();
    reject();
}

void setup_add_element::on_pushButton_redoxQ1_clicked()
{
    if (quickGuide && !quickGuide->isHidden()) {
        quickGuide->raise();
    } else {
        if (!quickGuide)
            quickGuide = new doc_redoxQG(this);
        quickGuide->setup_about();
        quickGuide->show();
        quickGuide->activateWindow();
    }
    quickGuide->setWindowTitle(QStringLiteral("Quick Guide: Redox Reaction Pairs"));
}

void setup_add_element::settings_read()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupElementsList));
    move(settings.value(QStringLiteral("wx")).toInt(),
         settings.value(QStringLiteral("wy")).toInt());
    restoreGeometry(
        settings.value(useRedox ? QStringLiteral("redox_geometry") : QStringLiteral("std_geometry"))
            .toByteArray());
    settings.endGroup();
    scrInfo->scrPosition_center(this);
}

void setup_add_element::settings_write()
{
    const QString prefix = useRedox ? QStringLiteral("redox_") : QStringLiteral("std_");
    QSettings settings;
    settings.beginGroup(QLatin1String(groupElementsList));
    settings.setValue(prefix + QStringLiteral("geometry"), saveGeometry());
    settings.setValue(prefix + QStringLiteral("wx"), x());
    settings.setValue(prefix + QStringLiteral("wy"), y());
    settings.setValue(prefix + QStringLiteral("width"), width());
    settings.setValue(prefix + QStringLiteral("height"), height());
    settings.endGroup();
    settings.sync();
}
