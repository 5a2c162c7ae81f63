#pragma once

#include "result_snapshot.h"
#include "thermo.h"

#include <QList>
#include <QSet>
#include <QWidget>

class QTableWidget;

class sbatch;
struct one_water;

namespace Ui {
class viewResult_spcn;
}

/// The speciation result window: the waters of a batch that have a result, and
/// for the one chosen its properties, solutes, gases and mineral saturation.
///
/// The window shows a copy taken when it is given the batch, so it stays usable
/// after the batch's results are replaced or the batch itself is freed.
class viewResult_spcn : public QWidget
{
    Q_OBJECT

public:
    explicit viewResult_spcn(QWidget *parent = nullptr);
    ~viewResult_spcn() override;

    /// Shows the result of the water at `waterIndex` of `batch`, listing every
    /// water of the batch that has a result; the caller shows and raises the window.
    void update_ui_result(sbatch *batch, int waterIndex);
    /// Shows the result of a model water made from the batch's waters (it is not
    /// in the batch's list); the caller shows and raises the window.
    void update_ui_resultMixedWater(sbatch *batch, one_water *model);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    /// Keeps the Properties tab's values in view as its table changes size.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_tableWidget_waters_currentCellChanged(int row, int column, int previousRow,
                                                  int previousColumn);
    void on_comboBox_unitSolutes_currentIndexChanged(int index);
    void on_comboBox_sortSolutes_currentIndexChanged(int index);
    void on_comboBox_sortGases_currentIndexChanged(int index);
    void on_comboBox_sortMinerals_currentIndexChanged(int index);

private:
    void settings_read();
    void settings_write();
    /// Fills the list of waters and selects the row of `current` (an index of `waters`).
    void populate_waters(int current);
    void show_water(); ///< fills every pane for the selected water
    void populate_properties();
    void populate_solutes();
    void populate_gases();
    void populate_minerals();
    const water_copy *selected() const; ///< the water shown, or null
    /// Fills `t` with `rows`, fitting its columns to the first rows it shows and
    /// widening later any column too narrow for its texts.
    void fill_table(QTableWidget *t, const QList<QStringList> &rows);
    /// Widens the list pane, once per list of waters given, so that every column of
    /// the waters list shows.
    void fit_watersPane();
    /// Narrows the Properties tab's Value column to its view when it is wider, down
    /// to what the values other than the water's name need.
    void keep_valuesInView();
    /// Width the result tabs need to show every column of their tables.
    int resultsNeed() const;

    Ui::viewResult_spcn *ui = nullptr; ///< owned: the form
    thermo th; ///< log K of the solid reactions
    QList<water_copy> waters; ///< copies of the waters that have a result
    int shown = -1; ///< index in `waters` of the water shown
    QSet<QTableWidget *> fitted; ///< links: tables whose columns were fitted to their rows
    bool paneToFit = false; ///< the list pane is still to be sized to the list given
};
