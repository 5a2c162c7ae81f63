#pragma once

#include "copy_struct.h"
#include "format_fields.h"
#include "global.h"
#include "properties_water.h"
#include "records.h"
#include "screen_info.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QTreeWidgetItem;
class dbdata;
class jsdbfile_mgr;
class sbatch;
class setup_add_element;
class setup_add_gas;
class model_mixing;
class config_settings;
class water_manager;
class viewResult_spcn;

namespace Ui {
class setup;
}

/// The setup workspace: the page in which one loaded configuration is edited and
/// speciated. It builds the chemical system (elements, gases, and the solutes,
/// reactions, solids and redox pairs the database supplies for them) into the
/// batch it was handed, and edits the waters and their solution properties.
///
/// The workspace owns none of the batch, the configuration reader or the database
/// image; the batch's lists link records of the reader and of the image. Records
/// the workspace creates itself (redox records, placeholders, the default water)
/// are registered with the batch's `sim_data::own()`.
///
/// The operations are spread over several files by topic: setup.cpp (window,
/// navigation, sorting), setup_build.cpp (building the system), setup_elements.cpp
/// (elements and gases), setup_rxns.cpp (reactions, solutes, solids),
/// setup_redox.cpp (redox pairs and gases), setup_pickers.cpp (the element and gas
/// pickers), setup_waters.cpp (water pages) and setup_toolbar.cpp (tool bar, files,
/// settings and the other windows).
class setup : public QWidget
{
    Q_OBJECT

public:
    /// Builds the form, reads the settings and the tool bar; no batch yet.
    explicit setup(QWidget *parent = nullptr);
    /// Deletes the form; the batch, reader and image are not owned.
    ~setup() override;

    // ---- entry from the main window ------------------------------------------

    /// First entry for a configuration: stores the reader, image and batch, clears
    /// the unsaved-changes flag, writes the database summary and prepares the water
    /// tables and activity lists.
    void set_simType(int type, jsdbfile_mgr *reader, dbdata *image, sbatch *batch);
    /// Restores the window geometry (settings group "SETUP").
    void settings_read();
    /// Writes geometry, position, size and the current water index ("SETUP").
    void settings_write();
    /// Builds the chemical system and waters from the configuration and the database.
    void setup_system();
    /// The batch being edited (null before set_simType).
    sbatch *retrieve_sbatch();
    /// True while the batch holds changes not yet saved.
    bool unsaved_changes() const { return flag_unsaved; }
    /// Asks whether to leave the workspace with its unsaved changes; true for "Close".
    bool confirm_close();
    /// The save just requested failed: the changes count as unsaved again (a
    /// Save As goes back to the file name it replaced).
    void save_failed();

    // ---- building the system -------------------------------------------------

    /// Lays out the four chemical-system tables and their headers.
    void setup_tables();
    /// Fills the batch's chemical system and waters from the configuration; 0.
    int setup_simulation_data();
    /// Shows a configuration file's name and folder in the file fields.
    void set_jsdbFile_fields(const QString &path);
    /// Refreshes the water list and shows the batch's notes; 0.
    int setup_initial_patch();
    /// Short type key of a solute for the tables ("AQ,B", "AQ,R", "AQ", "L", "G", "n/a").
    QString typeKey_solute(const one_solute *solute) const;
    /// Short type key of a reaction ("AQ,B", "AQ,R", "AQ", "S", "L", "G", "n/a").
    QString typeKey_rxn(const one_rxn *rxn) const;
    /// Short type key of a gas ("G", else "n/a").
    QString typeKey_gas(const one_gas *gas) const;

    // ---- elements and gases --------------------------------------------------

    /// Adds an element (fixed when asked or when the database is not used) unless listed.
    void add_one_element(one_element *element, bool fixed, int type);
    /// Adds the element's aqueous and solid reactions with their solutes.
    void collect_data_on_element(one_element *element);
    /// Removes the element shown in row `row` of the element tree with its data.
    void delete_one_element(int row);
    /// Takes out the reactions, solutes and gases (with their redox gases) holding the element.
    void remove_data_on_element(one_element *element);
    /// Takes out the O2(g) solute when no reaction of the system names it any more.
    void cleanup_batch_solute_O2g();
    /// Adds a gas (fixed when asked or when the database is not used) unless listed.
    void add_one_gas(one_gas *gas, bool fixed);
    /// Adds the gas's missing elements and its gas reaction.
    void collect_data_on_gas(one_gas *gas);
    /// Records the gas as a redox gas when its reaction holds O2(g).
    void check_redox_gasRxn(one_gas *gas, one_rxn *rxn);
    /// Removes the gas shown in row `row` of the gas table with its reaction.
    void delete_one_gas(int row);
    /// Fills the charge-balance list with the charged basis solutes of the system.
    void comboBox_chargeBalance_basesList();
    bool locate_element_onTable(const QString &name); ///< element tree lists the name
    bool locate_gas_onTable(const QString &name); ///< gas table lists the name
    int find_idx_element_table(const QString &name); ///< element tree row, or -9
    int find_idx_gas_table(const QString &name); ///< gas table row, or -9
    int find_idx_solute_table(const QString &name); ///< solute table row, or -9
    int find_idx_rxn_table(const QString &name); ///< reaction table row, or -9
    /// Index of the element's entry in water `water`'s composition, appended with
    /// default amounts when missing; -9 for an empty name or an unknown water.
    int find_idxElement_waterComp(int water, const QString &element);

    // ---- reactions, solutes, solids ------------------------------------------

    /// Database aqueous and aux reactions that the element brings, screened for redox.
    QList<one_rxn *> collect_rxnsAqueous_on_element(const QString &element);
    /// Database solid reactions that the element brings, screened for redox.
    QList<one_rxn *> collect_rxnsSolids_on_element(const QString &element);
    /// Adds the element's aqueous reactions not yet in the system.
    void collect_rxnsAqueous_on_elements_list(one_element *element);
    /// Adds the element's solid reactions not yet in the system.
    void collect_rxnsSolids_on_elements_list(one_element *element);
    /// Collects the solid reactions of every element but H and O.
    void collect_rxnsSolid();
    /// Adds an aqueous, aux or gas reaction of the database with its missing solutes.
    void add_one_rxnAqueous(one_rxn *rxn, bool flag);
    /// Adds a solid reaction of the database with its solid and missing solutes.
    void add_one_rxnSolid(one_rxn *rxn, bool flag);
    /// Adds the solid of a solid reaction from the database when missing.
    void locate_solid_rxnSolid(one_rxn *rxn);
    /// Adds a solid unless one of its name is listed.
    void add_one_solid(one_solid *solid);
    /// Database solutes of the reaction that the system lacks.
    QList<one_solute *> collect_solutes_on_reactions(one_rxn *rxn);
    /// Adds a solute unless a solute or gas reaction of its name is listed.
    void add_one_solute(one_solute *solute, bool flag);
    /// Fills the reaction-type selector.
    void accumulate_list_rxns();
    /// Shows the reactions of one species type (1 aqueous + gas, 3, 4, 6).
    void updateTable_rxnsList(int type);
    /// Shows the given reactions in the reaction table.
    void populateTable_rxns(const QList<one_rxn *> &rxns);
    /// Shows the first list followed by the second in the reaction table.
    void populateTable_rxns(const QList<one_rxn *> &rxns, const QList<one_rxn *> &more);
    /// Shows the batch's solutes in list order.
    void populateTable_solutes();
    /// Gives every water's result the list of the system's solid reactions.
    void setup_waterResults_list_solids();

    // ---- redox ---------------------------------------------------------------

    /// The solute's redox element, or empty.
    QString evaluate_redoxElement(const one_solute *solute);
    /// A new redox-pair record for a database aux reaction, or null.
    one_redoxRxn *evaluate_redoxRxn(one_rxn *rxn);
    /// Rebuilds the redox pairs the database offers for the configuration.
    void compile_redoxRxnsList();
    /// Links the redox pairs and gases read from the configuration to the batch.
    void collect_redoxRxns();
    /// Adds the redox pairs chosen in the element picker with their reactions; 0.
    int add_redoxComponents(one_element *element, setup_add_element *picker);
    /// Adds the reactions of the chosen pairs and records the pairs; 0.
    int add_redoxComponents_chosen(const QList<one_solute *> &all,
                                   const QList<one_redoxRxn *> &selected,
                                   const QList<one_solute *> &unused);
    /// The non-redox screen: drops aux reactions and those with aux or unknown solutes.
    QList<one_rxn *> screen_rxnsRedox(QList<one_rxn *> rxns);
    /// The redox screen for the reactions collected for one element.
    QList<one_rxn *> screen_rxnsRedox_supplements(const QString &element, QList<one_rxn *> rxns);

    // ---- waters --------------------------------------------------------------

    /// The current water of the batch, or null when the index is out of range.
    one_water *current_water();
    /// The water at `index` of the batch, or null when out of range.
    one_water *water_at(int index);
    /// Lays out the water tables.
    void setup_tables_waters();
    /// Fills the unit lists of the water pages.
    void accumulate_list_options_water();
    /// Refills the list of waters.
    void accumulate_list_waters();
    /// Fills the solute activity-model list.
    void accumulate_list_acSolutes();
    /// Fills the water activity-model list.
    void accumulate_list_acWater();
    /// Rebuilds the water pages for water `index`.
    void populate_stackedWidget_Waters(int index);
    /// Fills the Solution Properties tab for water `index`.
    void populate_sW_Waters_solnProperties(int index);
    /// Appends a water to the batch.
    void add_one_water(one_water *water);
    /// Clears the run status line.
    void statusDriver_reset();

signals:
    /// Save or Save As: the main window writes the batch to its file.
    void signal_setup_save();
    /// Close: the main window shows the configuration-file window again.
    void signal_setup_close();
    /// Help/Docs "About Vek7".
    void signal_docAbout_open();
    /// Help/Docs "User Guide".
    void signal_docUserguide_open();

public slots:
    /// A water was added by the mixing window: marks a change, refreshes the list.
    void newWater_added();
    /// Forwards "About Vek7" to the main window.
    void docAbout_open();
    /// Forwards "User Guide" to the main window.
    void docUserguide_open();

private slots:
    void on_tabWidget_Setup_currentChanged(int index);
    void on_comboBox_simFilePath_activated(int index);
    void on_pushButton_Save_clicked();
    void on_pushButton_SaveAs_clicked();
    void on_pushButton_Close_clicked();
    void on_pushButton_SUMixing_clicked();
    void on_pushButton_SUTitration_clicked();
    void on_textEdit_Notes_textChanged();
    void on_pushButton_addElement_clicked();
    void on_pushButton_addGas_clicked();
    void on_treeWidget_elements_itemClicked(QTreeWidgetItem *item, int column);
    void on_tableWidget_gases_cellClicked(int row, int column);
    void on_comboBox_sortSolutes_currentIndexChanged(int index);
    void on_comboBox_sortRxns_currentIndexChanged(int index);
    void on_comboBox_rxnsList_currentIndexChanged(int index);
    void on_tableWidget_rxns_cellClicked(int row, int column);
    void on_pushButton_resetData_clicked();
    void on_pushButton_viewResult_clicked();

    void setup_quit();
    void process_chemicalSystem();
    void process_waterComposition();
    void process_solutionProperties();
    void function_exportData();
    void menuSetting_Display_triggered();
    void menuSetting_Control_triggered();

private:
    /// Builds the tool bar with its four menus.
    void setup_toolBar();
    /// Sets the tooltips of the form.
    void setup_tooltips();
    /// Shows a tab and does what choosing it does.
    void show_tab(int index);
    /// Enables or disables the Solution Properties tab and its Navigate entry.
    void enable_solutionProperties(bool enable);
    /// Appends one line to the message pane.
    void message(const QString &line);
    /// Sets every count of the batch from its list's length.
    void sync_counts();
    /// Sorts a list by name in place, stable, case-sensitive or not.
    template<class T>
    static void sort_byName(QList<T *> &list, Qt::CaseSensitivity cs);
    void sortTable_solutes_caseSensitive();
    void sortTable_solutes_caseInsensitive();
    void sortTable_rxns_caseSensitive();
    void sortTable_rxns_caseInsensitive();
    void sortTable_rxns(Qt::CaseSensitivity cs);
    /// Takes the gas's redox-gas records out of the batch.
    void remove_redoxGases_of(const one_gas *gas);
    /// True when the species of a solid reaction is that reaction's own solid.
    static bool is_own_solid(const one_rxn *rxn, const QString &species);
    /// Fills one row of the reaction table.
    void fill_rxn_row(int row, const one_rxn *rxn);
    /// Sets the unsaved-changes flag.
    void set_modified() { flag_unsaved = true; }

    Ui::setup *ui = nullptr; ///< owned: the form
    global gl; ///< conversions and constants
    screen_info scrInfo; ///< screen geometry (never shown)
    format_fields ff; ///< row and field heights
    copy_struct cpyStruct; ///< deep copies of records
    properties_water propsWater; ///< water properties around a run

    jsdbfile_mgr *jsdbMgr = nullptr; ///< link: the configuration as read
    dbdata *dbase = nullptr; ///< link: the database image
    sbatch *batch = nullptr; ///< link: the batch being edited
    int simType = 0; ///< kind of simulation (global::simulation_type)

    bool flag_unsaved = false; ///< the batch holds unsaved changes
    bool flag_statusCleared = false; ///< the run status line has been cleared

    setup_add_element *addElement = nullptr; ///< element picker while it runs
    setup_add_gas *addGas = nullptr; ///< gas picker while it runs
    model_mixing *mixingModel = nullptr; ///< mixing and titration window, once made
    config_settings *ctrlSettings = nullptr; ///< control-parameters dialog while it runs
    water_manager *waterMgr = nullptr; ///< water set manager, once made
    viewResult_spcn *viewResult = nullptr; ///< results viewer, once made

    QAction *actNav_chemSystem = nullptr; ///< Navigate "Chemical System"
    QAction *actNav_waterComp = nullptr; ///< Navigate "Water Composition"
    QAction *actNav_solnProps = nullptr; ///< Navigate "Solution Properties"

    int rxnsListIdx = 0; ///< reaction-type selector item last served
    int col_elementDelete = 1; ///< element tree: delete column
    int col_elementAux = 2; ///< element tree: hidden, empty column
    int col_elementName = 3; ///< element tree: hidden column holding the name
    int col_gasDelete = 1; ///< gas table: delete column
    int col_soluteType = 1; ///< solute table: type column
    int col_rxnType = 2; ///< reaction table: type column
    int col_rxnLast = 3; ///< reaction table: last column
};
