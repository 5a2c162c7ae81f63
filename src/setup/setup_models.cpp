// The mixing and titration window: one window, made on the first request and kept,
// connected once; each launcher sets it up again on the batch.

#include "setup.h"

#include "model_mixing.h"
#include "ui_setup.h"

model_mixing *setup::show_mixingModel()
{
    if (!mixingModel) {
        mixingModel = new model_mixing;
        connect(mixingModel, &model_mixing::signal_newWater_added, this, &setup::newWater_added);
    }
    if (!mixingModel->isVisible())
        mixingModel->show();
    mixingModel->raise();
    mixingModel->activateWindow();
    return mixingModel;
}

void setup::on_pushButton_SUMixing_clicked()
{
    ui->pushButton_SUMixing->setChecked(false);
    if (batch)
        show_mixingModel()->setup_modelData_mixing(batch);
}

void setup::on_pushButton_SUTitration_clicked()
{
    ui->pushButton_SUTitration->setChecked(false);
    if (batch)
        show_mixingModel()->setup_modelData_titration(batch);
}
