#include "waterComp_subs.h"

#include "ui_waterComp_subs.h"

waterComp_subs::waterComp_subs(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::waterComp_subs)
{
    ui->setupUi(this);
    connect(ui->pushButton_Save, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

waterComp_subs::~waterComp_subs()
{
    delete ui;
}

void waterComp_subs::compOption_setup(int k, const QString &n, one_water *w, sim_data *sd)
{
    kind = k;
    name = n;
    water = w;
    sdata = sd;
    if (kind == 1)
        ui->label_type->setText(QStringLiteral("reaction for ") + name);
    else if (kind == 2)
        ui->label_type->setText(QStringLiteral("gas for ") + name);
}

void waterComp_subs::setup_table_common() { }

void waterComp_subs::setup_table_swapRxn() { }

void waterComp_subs::setup_table_swapGas() { }

void waterComp_subs::setup_table_swapO2g()
{
    ui->label_type->setText(QStringLiteral("reaction for ") + name);
}

void waterComp_subs::on_tableWidget_options_cellClicked(int, int) { }
