#pragma once

#include "copy_struct.h"
#include "format_fields.h"
#include "global.h"
#include "records.h"
#include "screen_info.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QString>

class sbatch;

namespace Ui {
class water_manager;
}

/// The modal "Water Set Manager": adds, duplicates, renames, removes, annotates
/// and reorders the waters of the open configuration.
///
/// The dialog edits a working copy of the batch's water list. The water records
/// are shared with the batch, so a rename or a note changes the batch's water at
/// once; additions, removals and the order stay in the working list until the
/// caller takes results() after Save. Waters made here by Add or Duplicate are
/// owned by the dialog until hand_over() gives those still listed to a sim_data;
/// the destructor frees the others.
///
/// duplicate_water() is also used on its own, without showing the dialog.
class water_manager : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form on the batch (not owned), restores the geometry and takes
    /// the working list from the batch's waters.
    explicit water_manager(sbatch *batch, QWidget *parent = nullptr);
    /// Frees the waters made here that were not handed over.
    ~water_manager() override;

    /// Fills the waters table from the working list and renews the name completer.
    void populate_water_manager();
    /// The working list, in the order shown.
    QList<one_water *> results() const { return working; }
    /// Registers with `sd` every water made here that the working list holds;
    /// the dialog no longer frees them.
    void hand_over(sim_data *sd);
    /// True while the list holds additions, removals, a new order or notes not
    /// yet saved.
    bool list_changed() const { return flag_listChanged; }
    /// True once a name or a note was changed here; those changes are in the
    /// batch's records at once, whether the dialog is saved or cancelled.
    bool records_edited() const { return flag_recordsEdited; }

    /// A deep copy of `src` named src's name + " dupl" + the smallest N from 1
    /// that no listed water has (ignoring case; copy_struct::duplicate_water);
    /// the caller owns it.
    one_water *duplicate_water(const one_water *src);
    /// A new water with the default conditions and no composition, or null without a
    /// batch; the caller owns it.
    one_water *initialize_one_water();
    /// Inserts `water` into the working list and the table at `row`, selects it
    /// and shows its properties.
    void add_one_water(one_water *water, int row);
    /// Position of `name` in the working list (ignoring case), or -9.
    int find_idx_water(const QString &name) const;
    /// Every position of `name` in the working list (ignoring case).
    QList<int> findAll_idxBatch_water(const QString &name) const;
    /// Shows the properties of the water of table row `row`.
    void display_selected_water(int row);
    /// Appends one key-value row to the properties table.
    void addRow_table_properties(const QString &key, const QString &value);
    /// Writes the geometry (group "CTRLSETTINGS") and syncs.
    void settings_write();

private slots:
    void on_tableWidget_waters_cellClicked(int row, int column);
    void on_pushButton_add_clicked();
    void on_pushButton_duplicate_clicked();
    void on_lineEdit_waterName_textChanged(const QString &text);
    void on_lineEdit_waterName_editingFinished();
    void on_lineEdit_waterName_returnPressed();
    void on_pushButton_saveName_clicked();
    void on_pushButton_remove_clicked();
    void on_textEdit_description_textChanged();
    void on_comboBox_sort_currentIndexChanged(int index);
    void on_pushButton_save_clicked();
    void on_pushButton_cancel_clicked();

private:
    /// Restores the geometry (group "CTRLSETTINGS") and centres the dialog.
    void settings_read();
    /// Offers every listed name, ignoring case, in the name field.
    void set_completer_waterName();
    /// True when `name` is not blank, differs from the selected water's name and no
    /// other water, listed here or in the batch, has it in any letter case. When it
    /// is refused, `why` gets the reason for the user (empty for an unchanged name).
    bool name_is_free(const QString &name, QString *why = nullptr) const;
    /// Enables "save name" for an acceptable `typed` name and shows why one is refused.
    void check_name(const QString &typed);
    /// Sets the Molar and ppm amounts of `w`'s entries from their molal amounts.
    void derive_amounts(one_water *w) const;
    /// Forgets the selection: empty, disabled name field and no properties shown.
    void clear_selection();
    /// Sorts the working list in place (stable): 1 by name ignoring case,
    /// 2 most recent first, 3 oldest first.
    void sort_waters(int order);
    /// The water of table row `row`, or null.
    one_water *water_of_row(int row) const;

    Ui::water_manager *ui = nullptr; ///< owned: the form
    global gl; ///< platform kind
    screen_info scrInfo; ///< centring; never shown
    format_fields ff; ///< row heights
    copy_struct cpyStruct; ///< deep copies of waters
    sbatch *batch = nullptr; ///< link: the open configuration
    QList<one_water *> working; ///< links: the working list, in table order
    QSet<one_water *> madeHere; ///< owned: waters made by Add or Duplicate
    bool flag_listChanged = false; ///< the working list differs from the batch's
    bool flag_recordsEdited = false; ///< a shared water record was renamed or annotated
    int currentRow = -1; ///< table row last clicked, -1 when none
    int shownRow = -1; ///< row whose properties are shown, -1 when none
    int selectedIdx = -1; ///< working-list index of the selected water, -1 when none
};
