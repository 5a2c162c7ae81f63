#pragma once

#include <QDialog>
#include <QString>

struct one_water;
struct sim_data;

namespace Ui {
class waterComp_subs;
}

/// A dialog offering a substitute for one composition condition of a water: a
/// reaction (kind 1) or a gas (kind 2) in place of an element's amount. It shows
/// its title and the condition it was set up for; its lists are not filled yet.
class waterComp_subs : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form; Save accepts, Cancel rejects.
    explicit waterComp_subs(QWidget *parent = nullptr);
    ~waterComp_subs() override;

    /// Stores the condition's kind (1 reaction, 2 gas), name, water and configuration.
    void compOption_setup(int kind, const QString &name, one_water *water, sim_data *sd);
    /// Fills the common part of the options table (nothing yet).
    void setup_table_common();
    /// Fills the reactions that can replace the amount (nothing yet).
    void setup_table_swapRxn();
    /// Fills the gases that can replace the amount (nothing yet).
    void setup_table_swapGas();
    /// Shows the reaction heading for the O2(g) condition.
    void setup_table_swapO2g();
    /// The chosen reaction's code (10).
    int retrieve_rxnSwap() const { return 10; }
    /// The chosen gas's code (5).
    int retrieve_gasSwap() const { return 5; }

private slots:
    void on_tableWidget_options_cellClicked(int row, int column);

private:
    Ui::waterComp_subs *ui = nullptr; ///< owned: the form
    int kind = 0; ///< 1 reaction, 2 gas
    QString name; ///< the condition's element or gas
    one_water *water = nullptr; ///< link: the water edited
    sim_data *sdata = nullptr; ///< link: the configuration
};
