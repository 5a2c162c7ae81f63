// The workspace's side of the water set manager: running the dialog and taking
// its list of waters back into the batch.

#include "setup.h"

#include "sbatch.h"
#include "ui_setup.h"
#include "water_manager.h"

void setup::on_pushButton_waterMgr_clicked()
{
    if (!batch || waterMgr)
        return;
    sim_data *sd = batch->sdata;
    const one_water *shown = current_water();

    waterMgr = new water_manager(batch, this);
    waterMgr->setWindowTitle(QStringLiteral("Water Set Manager"));
    waterMgr->populate_water_manager();
    const bool accepted = waterMgr->exec() == QDialog::Accepted;
    // A rename or a note is already in the batch's record, even after Cancel.
    if (waterMgr->records_edited())
        set_modified();
    if (accepted) {
        // The waters made in the dialog now belong to the batch; those the dialog
        // dropped are freed with it.
        waterMgr->hand_over(sd);
        sd->waters = waterMgr->results();
        sync_counts();
    }
    // Renames take effect even on Cancel (the records are shared), so the list is
    // always refilled; the water shown stays shown when it is still listed, renamed
    // or not, with its refused entries. Those of a water removed go before its record.
    const int k = int(sd->waters.indexOf(shown));
    sd->currentWater = k >= 0 ? k : 0;
    refused.keepOnly(k >= 0 ? shown : nullptr);
    delete waterMgr;
    waterMgr = nullptr;
    accumulate_list_waters();
    if (current_water())
        populate_stackedWidget_Waters(sd->currentWater);

    if (!accepted) {
        message(QStringLiteral("##  water manager results not saved."));
        return;
    }
    // Marked first, so that a save that fails leaves the change unsaved.
    mark_edit();
    on_pushButton_Save_clicked();
}
