#include "water_manager.h"
#include "ui_water_manager.h"

#include "sbatch.h"

#include <QCompleter>
#include <QDateTime>
#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QStringListModel>
#include <QTableWidgetItem>

#include <cmath>

namespace {

const char groupCtrlSettings[] = "CTRLSETTINGS";
const char keyGeometry[] = "geometry";

/// A centred, selectable table item.
QTableWidgetItem *centredItem(const QString &text, bool selectable)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(selectable ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::ItemIsEnabled);
    return item;
}

/// Shows why a typed name is refused; the line takes no room while there is none.
void showReason(QLabel *label, const QString &why)
{
    label->setText(why);
    label->setVisible(!why.isEmpty());
}

QString num6(double v)
{
    return QString::number(v, 'g', 6);
}

/// The pH a water holds: the pH its last speciation found, or before any run the
/// pH of its hydrogen amount (-log10 of the Molar amount); NaN when it has neither.
double held_pH(const one_water *w, const QString &nameH)
{
    if (w->results)
        return w->pHspcn;
    const double pH = global::pH_ofHydrogen(w, nameH);
    if (!std::isnan(pH))
        return pH;
    return w->pHcomp > 0.0 ? w->pHcomp : std::nan("");
}

} // namespace

water_manager::water_manager(sbatch *batch, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::water_manager)
    , batch(batch)
{
    ui->setupUi(this);
    settings_read();
    if (gl.get_OSProductType() == 1) {
        resize(scrInfo.size_width(), scrInfo.size_height());
        move(0, 0);
    }
    if (batch && batch->sdata)
        working = batch->sdata->waters;

    for (QPushButton *b : {ui->pushButton_saveName, ui->pushButton_add, ui->pushButton_duplicate,
                           ui->pushButton_remove, ui->pushButton_save, ui->pushButton_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    ui->lineEdit_waterName->setEnabled(false);
    ui->pushButton_saveName->setEnabled(false);
    showReason(ui->label_nameRefused, QString());

    QTableWidget *t = ui->tableWidget_waters;
    t->setColumnCount(1);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(ff.cell_height());

    QTableWidget *d = ui->tableWidget_waterData;
    d->setColumnCount(2);
    d->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->horizontalHeader()->setVisible(false);
    d->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    d->verticalHeader()->setVisible(false);

    {
        const QSignalBlocker block(ui->comboBox_sort);
        ui->comboBox_sort->setCurrentIndex(0);
    }
    ui->comboBox_sort->view()->setMinimumWidth(300);
}

water_manager::~water_manager()
{
    qDeleteAll(madeHere);
    delete ui;
}

void water_manager::hand_over(sim_data *sd)
{
    if (!sd)
        return;
    for (one_water *w : std::as_const(working)) {
        if (madeHere.remove(w))
            sd->own(w);
    }
}

// ---- settings ----------------------------------------------------------------------

void water_manager::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupCtrlSettings);
    restoreGeometry(settings.value(keyGeometry).toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
}

void water_manager::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupCtrlSettings);
    settings.setValue(keyGeometry, saveGeometry());
    settings.endGroup();
    settings.sync();
}

// ---- the list ----------------------------------------------------------------------

void water_manager::populate_water_manager()
{
    QTableWidget *t = ui->tableWidget_waters;
    t->setRowCount(0);
    t->setRowCount(int(working.size()));
    for (int row = 0; row < working.size(); ++row)
        t->setItem(row, 0, centredItem(working.at(row) ? working.at(row)->name : QString(), true));
    set_completer_waterName();
}

void water_manager::set_completer_waterName()
{
    QStringList names;
    for (const one_water *w : std::as_const(working))
        if (w)
            names << w->name;
    QCompleter *completer = ui->lineEdit_waterName->completer();
    if (!completer) {
        completer = new QCompleter(new QStringListModel(this), this);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        ui->lineEdit_waterName->setCompleter(completer);
    }
    if (auto *model = qobject_cast<QStringListModel *>(completer->model()))
        model->setStringList(names);
}

int water_manager::find_idx_water(const QString &name) const
{
    for (int k = 0; k < working.size(); ++k)
        if (working.at(k) && working.at(k)->name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -9;
}

QList<int> water_manager::findAll_idxBatch_water(const QString &name) const
{
    QList<int> found;
    for (int k = 0; k < working.size(); ++k)
        if (working.at(k) && working.at(k)->name.compare(name, Qt::CaseInsensitive) == 0)
            found << k;
    return found;
}

one_water *water_manager::water_of_row(int row) const
{
    // The table and the working list are kept in step, row for row.
    return row >= 0 && row < working.size() ? working.at(row) : nullptr;
}

// ---- new waters --------------------------------------------------------------------

one_water *water_manager::initialize_one_water()
{
    // A new water starts as a new configuration's default water does; it is named
    // when it joins the list. Without a batch there is nothing to add it to.
    if (!batch)
        return nullptr;
    one_water *w = batch->simData_init_water();
    w->name.clear();
    w->concnunitElem = global::molal;
    w->unitIndex2 = 0;
    const sim_data *sd = batch->sdata;
    w->alkElem = !sd->nameC.isEmpty() ? sd->nameC : QStringLiteral("C");
    // It uses the redox reactions as the water pages will once it is shown.
    w->stag_O2g = batch->find_idxBatch_solute(sd->nameO2g) >= 0;
    return w;
}

one_water *water_manager::duplicate_water(const one_water *src)
{
    return cpyStruct.duplicate_water(src, working);
}

void water_manager::derive_amounts(one_water *w) const
{
    // As on the water pages: Molar and ppm follow from the molal amount. The
    // solvent's entries (O, H2O) hold 1 in every unit and stay so.
    const sim_data *sd = batch->sdata;
    for (one_elementComp *e : std::as_const(w->composition))
        if (e && e->element != sd->nameO && e->element != sd->nameH2O
            && batch->find_idxBatch_element(e->element) >= 0)
            global::amounts_fromMolal(e, w->densitymass, batch->element_ppmFactor(e->element));
}

void water_manager::add_one_water(one_water *water, int row)
{
    if (!water)
        return;
    row = qBound(0, row, int(working.size()));
    QTableWidget *t = ui->tableWidget_waters;
    t->insertRow(row);
    t->setItem(row, 0, centredItem(water->name, true));
    working.insert(row, water);
    t->setCurrentCell(row, 0);
    currentRow = row;
    display_selected_water(row);
    set_completer_waterName();
    flag_listChanged = true;
}

void water_manager::on_pushButton_add_clicked()
{
    if (!batch)
        return;
    one_water *w = initialize_one_water();
    for (const one_element *el : std::as_const(batch->sdata->elements))
        if (el)
            w->composition.append(batch->setup_one_elementComp(el->name));
    w->ncomposition = int(w->composition.size());
    derive_amounts(w);
    const double pH = held_pH(w, batch->sdata->nameH);
    w->pHcomp = std::isnan(pH) ? 0.0 : pH;
    // Every look-up of a water ignores case, so the number skips names in any case.
    for (int n = 0;; ++n) {
        const QString name = QStringLiteral("new water ") + QString::number(n);
        if (find_idx_water(name) < 0 && batch->find_idxBatch_water(name) < 0) {
            w->name = name;
            break;
        }
    }
    w->description = QStringLiteral("date added: ") + w->date_str;
    madeHere.insert(w);
    add_one_water(w, int(working.size()));
}

void water_manager::on_pushButton_duplicate_clicked()
{
    const int row = ui->tableWidget_waters->currentRow();
    const QTableWidgetItem *item = ui->tableWidget_waters->item(row, 0);
    const QString text = item ? item->text() : QString();
    one_water *src = water_of_row(row);
    if (!src) {
        qDebug().noquote() << "WM: #### water [ " + text + " ] not found in batch data.";
        return;
    }
    one_water *copy = duplicate_water(src);
    if (batch)
        derive_amounts(copy);
    madeHere.insert(copy);
    add_one_water(copy, row + 1);
}

// ---- the selected water ------------------------------------------------------------

void water_manager::addRow_table_properties(const QString &key, const QString &value)
{
    QTableWidget *d = ui->tableWidget_waterData;
    const int row = d->rowCount();
    d->insertRow(row);
    d->setRowHeight(row, ff.cell_height());
    d->setItem(row, 0, centredItem(key, false));
    d->setItem(row, 1, centredItem(value, false));
}

void water_manager::display_selected_water(int row)
{
    if (row == shownRow)
        return;
    one_water *w = water_of_row(row);
    if (!w)
        return;
    shownRow = row;
    selectedIdx = row;
    {
        const QSignalBlocker block(ui->lineEdit_waterName);
        ui->lineEdit_waterName->setText(w->name);
    }
    ui->lineEdit_waterName->setEnabled(true);
    showReason(ui->label_nameRefused, QString());

    ui->tableWidget_waterData->setRowCount(0);
    addRow_table_properties(QStringLiteral("General Info"), w->name);
    addRow_table_properties(QStringLiteral("date created"), w->date_str);
    if (!w->results) {
        addRow_table_properties(QStringLiteral("speciation result"), QStringLiteral("no"));
    } else {
        addRow_table_properties(QStringLiteral("speciation result"), QStringLiteral("yes"));
        addRow_table_properties(QStringLiteral("result produced on"), w->results->date_str);
    }
    addRow_table_properties(QStringLiteral("redox reactions"),
                            w->stag_O2g ? QStringLiteral("used") : QStringLiteral("unused"));
    if (w->statmixing)
        addRow_table_properties(QStringLiteral("mixing model"), QStringLiteral("true"));
    if (w->stattitrate)
        addRow_table_properties(QStringLiteral("titration model"), QStringLiteral("true"));
    addRow_table_properties(QStringLiteral("temperature"), num6(w->TC));
    const double pH = held_pH(w, batch ? batch->sdata->nameH : QStringLiteral("H"));
    addRow_table_properties(QStringLiteral("water pH"),
                            std::isnan(pH) ? QStringLiteral("not given") : num6(pH));
    ui->tableWidget_waterData->resizeRowsToContents();

    // The notes are shown so that an edit extends them instead of replacing them unseen.
    const QSignalBlocker block(ui->textEdit_description);
    ui->textEdit_description->setPlainText(w->description);
}

void water_manager::clear_selection()
{
    QTableWidget *t = ui->tableWidget_waters;
    t->clearSelection();
    t->setCurrentCell(-1, -1);
    currentRow = -1;
    shownRow = -1;
    selectedIdx = -1;
    {
        const QSignalBlocker block(ui->lineEdit_waterName);
        ui->lineEdit_waterName->clear();
    }
    ui->lineEdit_waterName->setEnabled(false);
    ui->pushButton_saveName->setEnabled(false);
    showReason(ui->label_nameRefused, QString());
    ui->tableWidget_waterData->setRowCount(0);
    const QSignalBlocker block(ui->textEdit_description);
    ui->textEdit_description->clear();
}

void water_manager::on_tableWidget_waters_cellClicked(int row, int /*column*/)
{
    currentRow = row;
    display_selected_water(row);
    check_name(ui->lineEdit_waterName->text());
}

// ---- names -------------------------------------------------------------------------

bool water_manager::name_is_free(const QString &typed, QString *why) const
{
    const QString name = typed.trimmed();
    const one_water *self = water_of_row(selectedIdx);
    QString reason;
    if (!self || name == self->name) {
        // nothing to rename, or the name unchanged: nothing to explain either
    } else if (name.isEmpty()) {
        reason = QStringLiteral("A water needs a name.");
    } else {
        const auto holder = [&](const QList<one_water *> &list) -> const one_water * {
            for (const one_water *w : list)
                if (w && w != self && w->name.compare(name, Qt::CaseInsensitive) == 0)
                    return w;
            return nullptr;
        };
        const one_water *other = holder(working);
        if (!other && batch)
            other = holder(batch->sdata->waters);
        if (!other)
            return true;
        reason = QStringLiteral("Water [ ") + other->name
            + QStringLiteral(" ] has this name already (letter case aside): choose another.");
    }
    if (why)
        *why = reason;
    return false;
}

void water_manager::check_name(const QString &typed)
{
    QString why;
    ui->pushButton_saveName->setEnabled(name_is_free(typed, &why));
    showReason(ui->label_nameRefused, why);
}

void water_manager::on_lineEdit_waterName_textChanged(const QString &text)
{
    // The list shows a new name only once it is saved.
    check_name(text);
}

void water_manager::on_lineEdit_waterName_editingFinished()
{
    check_name(ui->lineEdit_waterName->text());
}

void water_manager::on_lineEdit_waterName_returnPressed()
{
    if (ui->pushButton_saveName->isEnabled())
        on_pushButton_saveName_clicked();
}

void water_manager::on_pushButton_saveName_clicked()
{
    one_water *w = water_of_row(selectedIdx);
    const QString name = ui->lineEdit_waterName->text().trimmed();
    if (!w || !name_is_free(name))
        return;
    w->name = name;
    flag_recordsEdited = true;
    if (QTableWidgetItem *item = ui->tableWidget_waters->item(selectedIdx, 0))
        item->setText(name);
    set_completer_waterName();
    // The properties are shown again under the new name.
    shownRow = -1;
    display_selected_water(selectedIdx);
    ui->lineEdit_waterName->setEnabled(false);
    ui->pushButton_saveName->setEnabled(false);
    showReason(ui->label_nameRefused, QString());
}

// ---- remove, notes, sort -----------------------------------------------------------

void water_manager::on_pushButton_remove_clicked()
{
    QTableWidget *t = ui->tableWidget_waters;
    if (t->rowCount() < 2) {
        qDebug().noquote() << "WM: ####  cannot remove the last remaining water.";
        return;
    }
    const int row = t->currentRow();
    if (!water_of_row(row))
        return;
    working.removeAt(row);
    t->removeRow(row);
    clear_selection();
    set_completer_waterName();
    flag_listChanged = true;
}

void water_manager::on_textEdit_description_textChanged()
{
    one_water *w = water_of_row(selectedIdx);
    if (!w)
        return;
    w->description = ui->textEdit_description->toPlainText();
    flag_listChanged = true;
    flag_recordsEdited = true;
}

void water_manager::sort_waters(int order)
{
    const auto before = [order](const one_water *a, const one_water *b) {
        switch (order) {
        case 1:
            return a->name.compare(b->name, Qt::CaseInsensitive) < 0;
        case 2:
            return a->date_utc > b->date_utc;
        case 3:
            return a->date_utc < b->date_utc;
        default:
            return false;
        }
    };
    std::stable_sort(working.begin(), working.end(), before);
}

void water_manager::on_comboBox_sort_currentIndexChanged(int index)
{
    if (index < 1 || index > 3)
        return;
    sort_waters(index);
    populate_water_manager();
    clear_selection();
    flag_listChanged = true;
    const QSignalBlocker block(ui->comboBox_sort);
    ui->comboBox_sort->setCurrentIndex(0);
}

// ---- leaving -----------------------------------------------------------------------

void water_manager::on_pushButton_save_clicked()
{
    settings_write();
    accept();
}

void water_manager::on_pushButton_cancel_clicked()
{
    settings_write();
    reject();
    flag_listChanged = false;
}
