#pragma once

#include "format_fields.h"
#include "global.h"
#include "records.h"

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidgetItem;
class dbdata;
class doc_redoxQG;
class sbatch;
class screen_info;

namespace Ui {
class setup_add_element;
}

/// The modal "Elements Browser": the user picks one element of the loaded
/// database to add to the chemical system and, when the configuration includes
/// redox reactions, the redox pairs of that element that come with it.
///
/// The dialog changes nothing in the batch; after exec() returned Accepted the
/// caller reads the choice through the accessors. Every record handed out is a
/// record of the database image or of the batch's `rxnsRedox`, never a copy.
///
/// The layout is chosen once, at construction, by the control set's
/// include-redox flag: the standard layout (element list and fields) or the
/// redox layout (with the tree of the selected element's redox pairs).
class setup_add_element : public QDialog
{
    Q_OBJECT

public:
    /// Builds the dialog on the batch and the database image (neither owned)
    /// and fills the element list; the caller sets the window title.
    setup_add_element(sbatch *batch, dbdata *db, QWidget *parent = nullptr);
    ~setup_add_element() override;

    /// The element of the last clicked row (a database record); null before any click.
    one_element *selectedElement();
    /// Whether "  Use Redox Reaction Pair(s)" is ticked.
    bool usage_redoxPairs();
    /// True while no pairs are listed; otherwise whether "Select All" is not unticked.
    bool selectAllRxns();
    /// The listed pairs whose pair row is ticked, in row order; rebuilt on each call.
    QList<one_redoxRxn *> selectedRedoxPairs();
    /// The distinct solutes (by name, first kept) of the pairs of the last
    /// selectedRedoxPairs() call, in order; rebuilt on each call.
    QList<one_solute *> selectedRedoxSolutes();
    /// The distinct solutes shown in the pair rows of the selected element.
    QList<one_solute *> allRedoxSolutes();
    /// allRedoxSolutes() less those named in the last selectedRedoxSolutes()
    /// result; rebuilt on each call.
    QList<one_solute *> unusedRedoxSolutes();

    /// Reads the position and the geometry of the current layout (group
    /// "ELEMENTS_LIST") and centres the dialog when it lies off the screen's edge.
    void settings_read();
    /// Writes the geometry, position and size of the current layout and syncs.
    void settings_write();

private slots:
    void on_tableWidget_elements_cellClicked(int row, int column);
    void on_lineEdit_search_textChanged(const QString &text);
    void on_checkBox_redox_clicked(bool checked);
    void on_checkBox_redoxAllRxns_clicked(bool checked);
    void on_treeWidget_redoxPairs_itemClicked(QTreeWidgetItem *item, int column);
    void on_pushButton_select_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_redoxQ1_clicked();

private:
    /// Places the widgets of the standard layout and hides the redox section.
    void setup_tables_std();
    /// Places the widgets of the redox layout.
    void setup_tables_redox();
    /// Column titles, widths and header sizes of the element table.
    void setup_table_elements();
    /// Fills the full and the shown element lists from the database image.
    void accumulate_elementsList();
    /// Refills the element table from the shown list; elements already in the
    /// batch are drawn on grey.
    void populate_table_elements();
    /// Lists the selected element's pairs of the batch's `rxnsRedox` in the
    /// tree, every pair and solute ticked.
    void populate_table_redoxRxns(one_element *element);
    /// Empties the tree together with the pair lists that index it.
    void clear_redoxPairs();
    /// True when the include-redox flag of the batch's control set is on.
    bool redoxLayout() const;
    /// True when the batch holds an element of `element`'s name (ignoring case).
    bool inBatch(const one_element *element) const;

    Ui::setup_add_element *ui = nullptr; ///< owned: the form
    sbatch *batch = nullptr; ///< link: the open configuration
    dbdata *db = nullptr; ///< link: the loaded database image
    sim_data *sdata = nullptr; ///< link: the batch's configuration
    screen_info *scrInfo = nullptr; ///< owned: centring and screen size; never shown
    global gl; ///< platform kind
    format_fields fields; ///< header heights
    bool useRedox = false; ///< the redox layout is shown

    QList<one_element *> elementsAll; ///< links: every database element, in its order
    QList<one_element *> elementsShown; ///< links: the elements passing the search; row order
    one_element *elementSelected = nullptr; ///< link: record of the last clicked row
    bool pairsListed = false; ///< the tree shows the pairs of the selected element

    QList<one_redoxRxn *> elementPairs; ///< links: the listed pairs, in tree row order
    QList<one_solute *> redoxSolutesAll; ///< links: distinct solutes of the listed pairs
    QList<one_redoxRxn *> pairsSelected; ///< links: result of the last selectedRedoxPairs()
    QList<one_solute *> solutesSelected; ///< links: result of the last selectedRedoxSolutes()
    QList<one_solute *> solutesUnused; ///< links: result of the last unusedRedoxSolutes()

    doc_redoxQG *quickGuide = nullptr; ///< child window: the redox quick guide, once opened
};
