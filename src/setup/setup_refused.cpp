// The refused entries of the water pages. What the user typed and the program
// refused is recorded with the water and the meaning it was typed for; the pages
// show it again from that record whenever they are rewritten, and only where both
// still match, so a text is never read under another meaning or on another water.

#include "setup.h"

#include "input_fields.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTableWidget>

namespace {

QString num6(double v)
{
    return QString::number(v, 'g', 6);
}

/// The row of `t` whose key column holds `key`, or -1.
int rowOfKey(const QTableWidget *t, int keyColumn, const QString &key)
{
    for (int row = 0; row < t->rowCount(); ++row)
        if (const QTableWidgetItem *item = t->item(row, keyColumn); item && item->text() == key)
            return row;
    return -1;
}

} // namespace

QString setup::meaning_of(const QString &place)
{
    const one_water *w = current_water();
    if (!w)
        return QString();
    const sim_data *sd = batch->sdata;
    if (place == ui->lineEdit_alkalinity->objectName()) {
        const bool used = w->alkSet && batch->find_idxBatch_element(sd->nameC) >= 0;
        return used ? gl.unitConcn_toString(w->alkUnit) : QStringLiteral("off");
    }
    if (place == ui->lineEdit_temperature->objectName()
        || place == ui->lineEdit_massDensity->objectName())
        return QString();
    const QString unit = gl.unitConcn_toString(element_unit());
    if (place == sd->nameHplus)
        return gl.unitH_toString(w->typeH == global::pH ? global::pH : global::H) + QLatin1Char(' ')
            + unit;
    return unit;
}

QString setup::stored_text(const QLineEdit *field, const one_water *w) const
{
    if (field == ui->lineEdit_temperature)
        return num6(w->TC);
    if (field == ui->lineEdit_massDensity)
        return num6(w->densitymass);
    return num6(w->alkUnit == global::Molar ? w->alkMolar : w->alkmolal);
}

void setup::note_field(QLineEdit *field)
{
    note_entry(field->objectName(), field);
}

void setup::note_cell(QTableWidget *t, QLineEdit *editor, const QModelIndex &index)
{
    if (const QTableWidgetItem *key = t->item(index.row(), col_compKey))
        note_entry(key->text(), editor);
}

void setup::note_entry(const QString &place, const QLineEdit *edit)
{
    one_water *w = current_water();
    if (!w || flag_rewriting)
        return;
    const QString line = number_field::of(edit)->line();
    if (line.isEmpty()) {
        refused.drop(w, place);
    } else {
        const refused_entry *had = refused.find(w, place);
        refused.keep(
            {w, place, meaning_of(place), edit->text(), line, had ? had->told : QString()});
    }
    refusal_answered();
}

void setup::cell_closing(QTableWidget *t, const QModelIndex &index)
{
    const QTableWidgetItem *key = t->item(index.row(), col_compKey);
    if (flag_rewriting || !key)
        return;
    refused.drop(current_water(), key->text());
    refusal_answered();
}

void setup::show_field(QLineEdit *field, const one_water *w)
{
    const QString place = field->objectName();
    const refused_entry *e = refused.find(w, place);
    if (e && (e->meaning != meaning_of(place) || !field->isEnabled())) {
        refused.drop(w, place);
        e = nullptr;
    }
    number_field *f = number_field::of(field);
    const QString text = e ? e->text : stored_text(field, w);
    if (field->text() != text || f->typed() != bool(e))
        f->setText(text, e);
    if (e)
        f->setTold(e->told);
    else
        show_at_rest(field);
}

void setup::show_refused_entries()
{
    one_water *w = current_water();
    if (!w)
        return;
    const QScopedValueRollback<bool> rewriting(flag_rewriting, true);
    // A water left takes its entries with it: they never show on another water.
    refused.keepOnly(w);
    for (QLineEdit *field :
         {ui->lineEdit_temperature, ui->lineEdit_massDensity, ui->lineEdit_alkalinity})
        show_field(field, w);

    // A composition table holds one open editor at a time.
    QList<const QTableWidget *> holding;
    for (const refused_entry &e : refused.of(w)) {
        if (e.place.startsWith(QLatin1String("lineEdit_")))
            continue;
        QTableWidget *t = e.place == batch->sdata->nameHplus || e.place == batch->sdata->nameO2g
            ? ui->tableWidgetWaters_element_H
            : ui->tableWidgetWaters_elements;
        const int row = rowOfKey(t, col_compKey, e.place);
        QTableWidgetItem *amount = row >= 0 ? t->item(row, col_compAmount) : nullptr;
        QLineEdit *edit = amount
            ? qobject_cast<QLineEdit *>(t->indexWidget(t->indexFromItem(amount)))
            : nullptr;
        const sim_data *sd = batch->sdata;
        const bool inSystem = e.place == sd->nameHplus || batch->find_idxBatch_element(e.place) >= 0
            || (e.place == sd->nameO2g && batch->find_idxBatch_solute(sd->nameO2g) >= 0);
        const bool shown = inSystem && amount && t->isEnabled()
            && (amount->flags() & Qt::ItemIsEditable) && e.meaning == meaning_of(e.place)
            && !holding.contains(t);
        if (!shown) {
            refused.drop(w, e.place);
            if (auto *cells
                = qobject_cast<number_delegate *>(t->itemDelegateForColumn(col_compAmount));
                cells && edit)
                cells->dropEntry(edit);
            continue;
        }
        holding.append(t);
        if (!edit) {
            // Opened on the current cell, as the user opens one: leaving for another
            // cell then closes it as it would any editor.
            t->setCurrentItem(amount);
            t->editItem(amount);
            edit = qobject_cast<QLineEdit *>(t->indexWidget(t->indexFromItem(amount)));
        }
        if (number_field *f = number_field::of(edit)) {
            if (edit->text() != e.text || !f->typed())
                f->setText(e.text, true);
            f->setTold(e.told);
            // The editor judges the text by the limits of now (those of [H+] follow the
            // density): the record says what it says.
            if (const QString line = f->line(); line.isEmpty())
                refused.drop(w, e.place);
            else
                refused.find(w, e.place)->line = line;
        }
    }
    refusal_answered();
}

QString setup::refused_line()
{
    const QList<refused_entry> mine = refused.of(current_water());
    return mine.isEmpty() ? QString() : mine.last().line;
}

void setup::close_cell_editors(QTableWidget *t)
{
    auto *cells = qobject_cast<number_delegate *>(t->itemDelegateForColumn(col_compAmount));
    const QScopedValueRollback<bool> rewriting(flag_rewriting, true);
    for (int row = 0; cells && row < t->rowCount(); ++row)
        if (auto *edit
            = qobject_cast<QLineEdit *>(t->indexWidget(t->model()->index(row, col_compAmount))))
            cells->dropEntry(edit);
}

void setup::clear_water_rows(QTableWidget *t)
{
    close_cell_editors(t);
    for (int row = 0; row < t->rowCount(); ++row)
        for (int col = 0; col < t->columnCount(); ++col)
            if (t->cellWidget(row, col))
                t->removeCellWidget(row, col);
    t->setRowCount(0);
}
