// The water pages in their least form: the list of waters, the current water, the
// run status line and the entry points the build calls. Composition tables,
// conditions, solution properties and the run fill them out.

#include "setup.h"

#include "sbatch.h"
#include "ui_setup.h"

#include <QDebug>

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

void setup::setup_tables_waters() { }

void setup::accumulate_list_options_water() { }

void setup::accumulate_list_waters()
{
    QComboBox *combo = ui->comboBox_waters;
    const QSignalBlocker block(combo);
    combo->clear();
    if (!batch)
        return;
    for (const one_water *w : std::as_const(batch->sdata->waters))
        combo->addItem(w ? w->name : QString());
    if (current_water())
        combo->setCurrentIndex(batch->sdata->currentWater);
}

void setup::accumulate_list_acSolutes() { }

void setup::accumulate_list_acWater() { }

void setup::populate_stackedWidget_Waters(int index)
{
    if (!water_at(index))
        qDebug().noquote() << "SW: ## no water at index " + QString::number(index);
}

void setup::populate_sW_Waters_solnProperties(int index)
{
    const one_water *w = water_at(index);
    if (!w) {
        qDebug().noquote() << "SW: ## no water at index " + QString::number(index);
        return;
    }
    ui->lineEdit_water_solnProp->setText(w->name);
}

void setup::add_one_water(one_water *water)
{
    if (!batch || !water)
        return;
    batch->sdata->waters.append(water);
    batch->sdata->nwaters = int(batch->sdata->waters.size());
}

void setup::statusDriver_reset()
{
    ui->lineEdit_spcnStat->clear();
    ui->lineEdit_spcnStat->setStyleSheet(QStringLiteral("background-color: #bbb;"));
    flag_statusCleared = true;
    flag_unsaved = true;
}

void setup::on_pushButton_viewResult_clicked()
{
    if (!current_water())
        message(QStringLiteral("##  view result: no water is selected"));
}
