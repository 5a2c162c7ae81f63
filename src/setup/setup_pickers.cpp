// The element and gas pickers: running them and adding what they return.

#include "setup.h"

#include "sbatch.h"
#include "setup_add_element.h"
#include "setup_add_gas.h"
#include "ui_setup.h"

void setup::on_pushButton_addElement_clicked()
{
    if (!batch)
        return;
    addElement = new setup_add_element(batch, dbase, this);
    addElement->setWindowTitle(QStringLiteral("Elements Browser"));
    if (addElement->exec() != QDialog::Accepted) {
        delete addElement;
        addElement = nullptr;
        return;
    }
    one_element *element = addElement->selectedElement();
    if (element) {
        add_one_element(element, false, global::chemElement);
        collect_data_on_element(element);
        if (batch->sdata->ctrlset->redox) {
            if (addElement->usage_redoxPairs())
                add_redoxComponents(element, addElement);
            element->redoxelement = true;
        }
    }
    addElement->close();
    delete addElement;
    addElement = nullptr;
    populateTable_solutes();
    populateTable_rxns(batch->sdata->rxnsAqueous, batch->sdata->rxnsGas);
    ui->comboBox_rxnsList->setCurrentIndex(0);
    set_modified();
}

void setup::on_pushButton_addGas_clicked()
{
    if (!batch)
        return;
    addGas = new setup_add_gas(batch, dbase, this);
    addGas->setWindowTitle(QStringLiteral("Gases Browser"));
    if (addGas->exec() == QDialog::Accepted) {
        if (one_gas *gas = addGas->gas_selected()) {
            add_one_gas(gas, false);
            collect_data_on_gas(gas);
        }
        addGas->close();
        set_modified();
    }
    delete addGas;
    addGas = nullptr;
}

int setup::add_redoxComponents(one_element *, setup_add_element *picker)
{
    if (!picker)
        return 0;
    // Each accessor fills the list the next one reads: keep this order.
    const QList<one_solute *> all = picker->allRedoxSolutes();
    const QList<one_redoxRxn *> selected = picker->selectedRedoxPairs();
    picker->selectedRedoxSolutes();
    const QList<one_solute *> unused = picker->unusedRedoxSolutes();
    return add_redoxComponents_chosen(all, selected, unused);
}
