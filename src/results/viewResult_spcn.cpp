#include "viewResult_spcn.h"
#include "ui_viewResult_spcn.h"

#include "records.h"
#include "sbatch.h"

viewResult_spcn::viewResult_spcn(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::viewResult_spcn)
{
    ui->setupUi(this);
}

viewResult_spcn::~viewResult_spcn()
{
    delete ui;
}

void viewResult_spcn::update_ui_result(sbatch *batch, int waterIndex)
{
    ui->tableWidget_solutes->setRowCount(0);
    if (!batch || !batch->sdata || waterIndex < 0 || waterIndex >= batch->sdata->waters.size())
        return;
    const one_water *w = batch->sdata->waters.at(waterIndex);
    if (!w || !w->results)
        return;
    const auto &solutes = w->results->soln_aq;
    ui->tableWidget_solutes->setRowCount(int(solutes.size()));
    for (int i = 0; i < solutes.size(); ++i) {
        const one_waterResult_solute *s = solutes.at(i);
        ui->tableWidget_solutes->setItem(i, 0, new QTableWidgetItem(s->solute));
        ui->tableWidget_solutes->setItem(i, 1,
                                         new QTableWidgetItem(QString::number(s->cmolal, 'g', 6)));
    }
}
