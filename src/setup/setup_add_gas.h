#pragma once

#include "format_fields.h"
#include "global.h"
#include "records.h"
#include "screen_info.h"

#include <QDialog>
#include <QList>
#include <QString>

class dbdata;
class sbatch;

namespace Ui {
class setup_add_gas;
}

/// The modal "Gases Browser": lists the gas reactions of the loaded database
/// whose gas is not yet in the batch, filters them by a search text, shows the
/// data of the gas behind a clicked row and returns that gas.
///
/// The dialog changes nothing in the batch; after exec() returned Accepted the
/// caller takes gas_selected(), a record of the database image.
class setup_add_gas : public QDialog
{
    Q_OBJECT

public:
    /// Builds the dialog on the batch and the database image (neither owned)
    /// and lists the candidate gases; the caller sets the window title.
    setup_add_gas(sbatch *batch, dbdata *db, QWidget *parent = nullptr);
    ~setup_add_gas() override;

    /// The gas of the last clicked row that the database holds; null before one.
    one_gas *gas_selected();

private slots:
    void on_tableWidget_gases_cellClicked(int row, int column);
    void on_lineEdit_search_textChanged(const QString &text);
    void on_pushButton_select_clicked();
    void on_pushButton_cancel_clicked();

private:
    /// Restores the geometry (group "GASES_LIST") and centres the dialog when
    /// it lies off the screen's edge.
    void settings_read();
    /// Writes the geometry and syncs.
    void settings_write();
    /// Column, headers and the placement of the widgets around the table.
    void setup_tables();
    /// Candidate and shown lists: the database's gas reactions whose gas the
    /// batch lacks (names compared ignoring case), in database order.
    void accumulate_gasesList();
    /// Refills the table from the shown list.
    void populate_table_gases();

    Ui::setup_add_gas *ui = nullptr; ///< owned: the form
    screen_info scrInfo; ///< centring and screen size; never shown
    sbatch *batch = nullptr; ///< link: the open configuration
    dbdata *db = nullptr; ///< link: the loaded database image
    sim_data *sdata = nullptr; ///< link: the batch's configuration
    QList<one_rxn *> rxnsCandidate; ///< links: gas reactions offered, database order
    QList<one_rxn *> rxnsShown; ///< links: candidates passing the search; row order
    one_rxn *rxnSelected = nullptr; ///< link: reaction of the last clicked row
    one_gas *gasSelected = nullptr; ///< link: database gas of the last valid row clicked
    global gl; ///< platform kind
    format_fields fields; ///< header height
};
