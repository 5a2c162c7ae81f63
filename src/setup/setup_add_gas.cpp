#include "setup_add_gas.h"
#include "ui_setup_add_gas.h"

#include "dbdata.h"
#include "sbatch.h"

#include <QColor>
#include <QHeaderView>
#include <QSettings>
#include <QTableWidgetItem>

namespace {

const char groupGasesList[] = "GASES_LIST";
const char keyGeometry[] = "geometry";

} // namespace

setup_add_gas::setup_add_gas(sbatch *batch, dbdata *db, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::setup_add_gas)
    , batch(batch)
    , db(db)
{
    ui->setupUi(this);
    sdata = batch ? batch->sdata : nullptr;

    settings_read();
    if (gl.get_OSProductType() == 1) {
        resize(scrInfo.size_width(), scrInfo.size_height());
        move(0, 0);
    }

    ui->pushButton_select->setAutoDefault(false);
    ui->pushButton_cancel->setAutoDefault(false);
    ui->textEdit_description->setReadOnly(true);
    ui->tableWidget_gases->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->lineEdit_element->setAlignment(Qt::AlignCenter);
    ui->lineEdit_molwt->setAlignment(Qt::AlignCenter);
    ui->pushButton_select->setEnabled(false);

    setup_tables();
    accumulate_gasesList();
    populate_table_gases();
}

setup_add_gas::~setup_add_gas()
{
    delete ui;
}

one_gas *setup_add_gas::gas_selected()
{
    return gasSelected;
}

void setup_add_gas::setup_tables()
{
    QTableWidget *t = ui->tableWidget_gases;
    t->setColumnCount(1);
    t->setRowCount(0);
    t->setColumnWidth(0, 120);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setMinimumHeight(fields.cell_height());
    t->verticalHeader()->setVisible(true);
    t->verticalHeader()->setMinimumWidth(20);
}

void setup_add_gas::accumulate_gasesList()
{
    rxnsCandidate.clear();
    rxnsShown.clear();
    if (!db || !db->sdata || !batch)
        return;
    for (one_rxn *r : db->sdata->rxnsGas) {
        if (r && batch->find_idxBatch_gas(r->name) < 0) {
            rxnsCandidate.append(r);
            rxnsShown.append(r);
        }
    }
}

void setup_add_gas::populate_table_gases()
{
    QTableWidget *t = ui->tableWidget_gases;
    t->clearContents();
    t->setHorizontalHeaderLabels({QStringLiteral("gases")});
    t->setRowCount(0);
    for (int i = 0; i < rxnsShown.size(); ++i) {
        t->insertRow(i);
        auto *item = new QTableWidgetItem(rxnsShown.at(i)->name);
        item->setTextAlignment(Qt::AlignCenter);
        t->setItem(i, 0, item);
    }
}

void setup_add_gas::on_lineEdit_search_textChanged(const QString &text)
{
    const QString key = text.toLower();
    rxnsShown.clear();
    for (one_rxn *r : rxnsCandidate)
        if (r->name.toLower().contains(key))
            rxnsShown.append(r);
    populate_table_gases();
}

void setup_add_gas::on_tableWidget_gases_cellClicked(int row, int /*column*/)
{
    if (row < 0 || row >= rxnsShown.size())
        return;
    rxnSelected = rxnsShown.at(row);

    // A gas reaction that also holds O2(g) is worth a note while redox is on.
    bool noteO2g = false;
    const QString nameO2g = sdata ? sdata->nameO2g : QString();
    if (sdata && sdata->ctrlset && sdata->ctrlset->redox && rxnSelected->name != nameO2g
        && rxnSelected->composition)
        noteO2g = rxnSelected->composition->solute.contains(nameO2g);

    const int idx = db ? db->find_idxDB_gas(rxnSelected->name) : -9;
    if (idx < 0) {
        ui->textEdit_description->append(QStringLiteral("## ERROR: gas data for gas rxn [ ")
                                         + rxnSelected->name + QStringLiteral(" ] not found."));
        return;
    }

    gasSelected = db->sdata->gases.at(idx);
    ui->pushButton_select->setEnabled(true);
    ui->lineEdit_element->setText(gasSelected->name);
    ui->lineEdit_molwt->setText(QString::number(gasSelected->mol_wt, 'g', 6));

    QTextEdit *d = ui->textEdit_description;
    d->clear();
    d->append(QStringLiteral("data tag : ") + QString::number(gasSelected->tag));
    d->append(QStringLiteral("molar volume : ")
              + QString::number(gasSelected->molar_volume, 'g', 6));
    d->append(QStringLiteral("fugacity coef. : ") + QString::number(gasSelected->fcoeff, 'g', 6));
    d->append(QString());
    if (noteO2g) {
        const QColor previous = d->textColor();
        d->setTextColor(Qt::red);
        d->append(QStringLiteral("note O2(g) in reaction:"));
        d->setTextColor(previous);
    }
    d->append(rxnSelected->expression);
}

void setup_add_gas::on_pushButton_select_clicked()
{
    settings_write();
    accept();
}

void setup_add_gas::on_pushButton_cancel_clicked()
{
    settings_write();
    reject();
}

void setup_add_gas::settings_read()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupGasesList));
    restoreGeometry(settings.value(QLatin1String(keyGeometry)).toByteArray());
    settings.endGroup();
    scrInfo.scrPosition_center(this);
}

void setup_add_gas::settings_write()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(groupGasesList));
    settings.setValue(QLatin1String(keyGeometry), saveGeometry());
    settings.endGroup();
    settings.sync();
}
