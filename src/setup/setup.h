#pragma once

#include "PreciseDoubleFactory.h"
#include "copy_struct.h"
#include "format_fields.h"
#include "global.h"
#include "properties_water.h"
#include "records.h"
#include "refused_entries.h"
#include "screen_info.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QLineEdit;
class QModelIndex;
class QTableWidget;
class QTableWidgetItem;
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
struct number_rule;

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
/// pickers), setup_waters.cpp (water pages), setup_waterComp.cpp (composition
/// conditions), setup_run.cpp (check and speciation run) and setup_toolbar.cpp (tool
/// bar, files, settings and the other windows).
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
    /// Species of a reaction (its own solid aside) that the system lacks.
    QStringList missing_species(const one_rxn *rxn) const;
    /// Clears in every water each swap reaction, chosen species, charge balance and
    /// alkalinity condition that needs a species the system no longer has, with a
    /// pane line for each.
    void clear_conditions_without_species();
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

    // ---- waters ----------------------------------------------------------------

    /// The current water of the batch, or null when the index is out of range.
    one_water *current_water();
    /// The water at `index` of the batch, or null when out of range.
    one_water *water_at(int index);
    /// Lays out the water tables and forgets the results window of an earlier configuration.
    void setup_tables_waters();
    /// Fills the unit lists of the water pages.
    void accumulate_list_options_water();
    /// Refills the list of waters and renews the kept copy of the selected water.
    void accumulate_list_waters();
    /// Refills the list of waters after it changed and shows the water of the same name.
    void update_ui_waters();
    /// Fills the solute activity-model list.
    void accumulate_list_acSolutes();
    /// Fills the water activity-model list.
    void accumulate_list_acWater();
    /// Makes water `index` current and rebuilds every water page for it.
    void populate_stackedWidget_Waters(int index);
    /// Writes water `index`'s values and selections into the pages built for it.
    void update_stackedWidget_Waters(int index);
    /// Writes the stored result of water `index` into the results tables.
    void populate_sW_Waters_results(int index);
    /// Fills the Solution Properties tab for water `index`.
    void populate_sW_Waters_solnProperties(int index);
    /// Appends a water to the batch unless its name is in use (ignoring case).
    void add_one_water(one_water *water);
    /// Gives a water read from a file whose name another water of the batch has in
    /// another letter case the next free " (n)" suffix, with a pane line.
    void rename_duplicate_water(one_water *water);
    /// 1 + the position of `name` in the entry's species list, 0 when absent.
    int find_elementsSoluteIdx(const one_elementComp *entry, const QString &name) const;
    /// Molar and ppm values of water `index`'s stored result from its molalities.
    void convert_concnUnits(int index);
    /// One composition entry per batch element, with fresh species lists.
    void populate_sW_consistency_elements(int index);
    /// Sorts water `index`'s composition by element name (case-sensitive, stable).
    void sort_elements_water(int index);
    /// Rebuilds water `index`'s swap reactions from the names its conditions hold.
    void reset_rxnsSwap_waters(int index);
    /// The solid reaction a swap condition names: the system's, else the database's;
    /// null when neither has it.
    one_rxn *swap_record(const QString &name) const;
    /// Swap reactions offered for an element other than H.
    QStringList compile_optionSwap_list(const QString &element);
    /// Swap reactions offered for H.
    QStringList compile_optionSwap_list_H(const QString &element);
    /// Swap reactions offered for O2(g).
    QStringList compile_optionSwap_list_O2g(const QString &name);
    /// Reaction names of the batch's redox pairs of `element`.
    QStringList compile_optionRedox_list(const QString &element);
    /// Reaction names of all redox pairs of the batch.
    QStringList compile_optionRedox_list_O2g(const QString &name);
    /// Names of the batch's gases holding `element`.
    QStringList compile_optionGases_list(const QString &element);
    /// H value of water `water` to show in the form `typeH` (pH or [H+] in the
    /// composition unit); NaN when there is nothing to show.
    double select_concn_typeH(int water, int typeH);
    /// O2(g) amount of water `water`, molal (a non-positive amount becomes 1e-8).
    double select_concn_typeO2g(int water, global::units_concn_gas unit);
    /// Stored amount of `element` in water `water` in `unit`; NaN when none.
    double select_concn_element(int water, global::units_concn unit, const QString &element);
    /// Result concentration of `solute` in water `water`; NaN without one.
    double select_concn_soluteResult(int water, global::units_concn unit, const QString &solute);
    /// Result fugacity of `gas` in water `water`; NaN without one.
    double select_concn_gasResult(int water, global::units_concn_gas unit, const QString &gas);
    /// Position of `name` among the result's solutes (exact), or -9.
    int find_idxSolute_Results(const one_water_result *result, const QString &name) const;
    /// Position of `name` among the result's gases (exact), or -9.
    int find_idxGas_Results(const one_water_result *result, const QString &name) const;

    // ---- run -----------------------------------------------------------------

    /// What the temperature field takes (degrees C), and its refusal line.
    static number_rule rule_temperature();
    /// What the mass density field takes (g/cc), and its refusal line.
    static number_rule rule_density();
    /// What the alkalinity field takes, and its refusal line.
    static number_rule rule_alkalinity();
    /// What a composition amount cell takes (an element's, a species', O2(g)'s):
    /// an amount above 0; `name` names it in refusals.
    static number_rule rule_amount(const QString &name);
    /// What the H row takes as a pH.
    static number_rule rule_pH();
    /// What the H row takes as [H+]: the amounts that give a pH the pH form takes,
    /// Molar ones for `d` 1, molal ones over the density `d` (g/cc).
    static number_rule rule_hplus(const QString &name, double d);
    /// Tests water `index` against the chemical system; 0 consistent, 1 with messages
    /// in the pane and "Config ERR" shown.
    int check_dataConsistency(int index);
    /// Messages naming each swap reaction or chosen species of water `w` that needs a
    /// species the system lacks, with what to choose instead; empty when none.
    QStringList check_unservedChoices(const one_water *w) const;
    /// Speciates water `index` and stores the result; 0 converged, 1 otherwise.
    int setup_simulation(int index);
    /// Clears the run status line and marks the configuration modified.
    void statusDriver_reset();
    /// Appends every line to the message pane, shows the first as the reason beside
    /// the status and marks the configuration modified.
    void statusDriver_error(const QStringList *messages);

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
    void on_pushButton_waterMgr_clicked();
    void on_lineEdit_temperature_textEdited(const QString &text);
    void on_lineEdit_temperature_editingFinished();
    void on_lineEdit_massDensity_textEdited(const QString &text);
    void on_lineEdit_massDensity_editingFinished();
    void on_checkBox_chargeBalance_clicked(bool checked);
    void on_comboBox_chargeBalance_currentIndexChanged(int index);
    void on_checkBox_alkalinity_clicked(bool checked);
    void on_radioButton_alkalinityPH_clicked(bool checked);
    void on_radioButton_alkalinityCarb_clicked(bool checked);
    void on_lineEdit_alkalinity_textEdited(const QString &text);
    void on_lineEdit_alkalinity_editingFinished();
    void on_comboBox_alkalinityUnit_currentIndexChanged(int index);
    void on_comboBox_acSolutes_currentIndexChanged(int index);
    void on_comboBox_acWater_currentIndexChanged(int index);
    void on_pushButton_spcn_clicked();
    void on_comboBox_waters_currentIndexChanged(int index);
    void on_comboBox_elementUnits_currentIndexChanged(int index);
    void on_comboBox_concnUnits_currentIndexChanged(int index);
    void on_comboBox_concnUnits_gas_currentIndexChanged(int index);
    void on_tableWidgetWaters_element_H_itemChanged(QTableWidgetItem *item);
    void on_tableWidgetWaters_elements_itemChanged(QTableWidgetItem *item);
    void on_tableWidgetWaters_elements_cellClicked(int row, int column);
    void on_tableWidgetWaters_solutes_cellClicked(int row, int column);
    void on_tableWidgetWaters_gases_cellClicked(int row, int column);
    void waterElement_optionChanged(int index);
    void waterElement_optionChanged_O2g(int index);
    void waterElement_soluteChanged(int index);
    void waterElement_soluteChanged_H(int index);
    void waterSolute_soluteChanged_H(int index);

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
    /// A refused input or run: the line goes to the message pane and, as the reason,
    /// beside the status on the Water Composition and Solution Properties tabs.
    void refuse(const QString &line);
    /// Shows `line` (markers stripped) as the reason beside the status; empty shows
    /// the first entry still refused, or clears the line when there is none.
    void show_reason(const QString &line);
    /// A field or cell refused `line`: pane and reason line, until it is set right.
    void tell_refusal(const QString &line);
    /// A field or cell was set right: a refusal on the reason line gives way to the
    /// next entry still refused, or clears.
    void refusal_answered();
    /// Keeps the message pane on its newest line while it is laid out anew.
    void follow_message_pane();
    /// Starts a configuration with an empty pane, a cleared status and no reason.
    void clear_status_and_pane();
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
    /// An edit of the current water: clears the status line once and marks a change.
    void mark_edit();
    /// Shows one of the status line's looks.
    void set_status(const QString &text, const QString &style);
    /// Shows the amount of the charge-balance element of water `w` in red, the
    /// others in black.
    void mark_chargeBalance_row(const one_water *w);
    /// Shows water `w`'s composition unit in the unit list, signals blocked.
    void show_composition_unit(const one_water *w);
    /// How refusals name the amount of composition row `row` of `table`: the species,
    /// H form or gas the row shows, with " amount" ("Ca amount", "[H+] amount").
    QString amount_name(const QTableWidget *table, int row) const;
    /// What a number typed at `place` (a composition row's key or a field's object
    /// name) of the current water stands for now: the H form and unit of the H row,
    /// the unit of the other rows and of the alkalinity, "off" for an alkalinity unused.
    QString meaning_of(const QString &place);
    /// The user changed the text of `field`: its refused entry is recorded or forgotten.
    void note_field(QLineEdit *field);
    /// The user changed the text of the cell editor of `index` in `table`.
    void note_cell(QTableWidget *table, QLineEdit *editor, const QModelIndex &index);
    /// The user changed the text of `edit`, the field or cell editor at `place`: its
    /// refused entry is recorded, or forgotten when the text is accepted.
    void note_entry(const QString &place, const QLineEdit *edit);
    /// The cell editor of `index` in `table` closes; closed by the user (Escape,
    /// another cell), its entry goes with it.
    void cell_closing(QTableWidget *table, const QModelIndex &index);
    /// Shows the current water's refused entries where their place and meaning still
    /// match and forgets the others, whose places show the stored values; the fields
    /// show their stored values where no entry stands.
    void show_refused_entries();
    /// Shows in `field` the refused entry of water `w` recorded for it, or its stored value.
    void show_field(QLineEdit *field, const one_water *w);
    /// Gives `field` the colour of a field the user is not typing in.
    void show_at_rest(QLineEdit *field);
    /// The stored value of `field` for water `w`, as the field shows it.
    QString stored_text(const QLineEdit *field, const one_water *w) const;
    /// The refusal line of the current water's newest refused entry; empty when none.
    QString refused_line();
    /// Closes the open cell editors of `table` as the program rewrites it: a refused
    /// entry stays recorded, to be shown again.
    void close_cell_editors(QTableWidget *table);
    /// Empties `table`. Its editors are closed and its cell widgets taken out first:
    /// Qt drops the cell widgets of removed rows without forgetting their addresses,
    /// and an editor later made at such an address could then never be closed.
    void clear_water_rows(QTableWidget *table);
    /// Lays out one of the water tables.
    void layout_water_table(QTableWidget *table, int columns, bool composition);
    /// Builds the H row (and the O2(g) row) of the composition page.
    void populate_sW_Waters_element_H(int index);
    /// Builds one row per composition entry except H.
    void populate_sW_Waters_elements(int index);
    /// Builds the rows of the solute results tables.
    void populate_sW_Waters_solutes(int index);
    /// Builds the rows of the gas results table.
    void populate_sW_Waters_gases(int index);
    /// The H form combo ("[H+]", "pH") showing `index`.
    QComboBox *comboBox_Water_typeH(int index);
    /// The combo of an element row: the element, then its species.
    QComboBox *comboBox_Water_solutesList(const one_elementComp *entry);
    /// The swap options of an element.
    QComboBox *comboBox_Water_elementOptions(const QString &element);
    /// The swap options and redox pairs of the O2(g) condition.
    QComboBox *comboBox_Water_elementOptions_O2g();
    /// A combo of the table's own row whose cell widget sent a signal, or null.
    QComboBox *sender_combo() const;
    /// A swap option chosen in `combo`.
    void process_optionChanged(QComboBox *combo, int index);
    /// A redox pair chosen in the O2(g) option combo (logged only).
    void process_optionChanged_Redox(QComboBox *combo, int index);
    /// Writes a composition amount (a double, so the validated editor serves it) or
    /// empties the cell for NaN; the table's signals are blocked meanwhile.
    void write_amount_cell(QTableWidget *table, int row, double value);
    /// Writes a result value ('g', 6) or empties the cell for NaN.
    void write_result_cell(QTableWidget *table, int row, double value);
    /// The typed amount of a cell of `table` when it is a finite number; else the
    /// refusal is written to the pane and false returned.
    bool read_amount_cell(const QTableWidget *table, const QTableWidgetItem *item, double &value);
    /// Rewrites every composition value in the unit shown, signals blocked.
    void show_composition_values(int index);
    /// Rewrites every solute result value in the unit shown.
    void show_solute_results(int index);
    /// Element's molal-to-ppm factor by name, or 0 when the batch lacks it.
    double ppm_factor(const QString &element);
    /// Unit chosen for the composition tables.
    global::units_concn element_unit() const;
    /// The lines of the run's check for the stored numbers of water `w` that their
    /// fields would refuse if typed: temperature, density, amounts, pH, alkalinity.
    QStringList check_storedValues(const one_water *w) const;
    /// Sets whether water `w` has an O2(g) condition (O2(g) is a solute of the system);
    /// one coming into use without an amount of its own gets a new water's amount.
    void follow_O2g_condition(one_water *w);
    /// Prepares water `index` for a run: entries, species lists and swap reactions.
    void prepare_water_for_run(int index);
    model_mixing *show_mixingModel(); ///< the mixing window, made on first use, shown and raised
    /// Gives water `w` the density `d` (g/cc): Molar amounts follow the molal ones,
    /// except a typed pH or [H+] and the typed alkalinity, which stay as typed.
    void apply_density(one_water *w, double d);
    /// Renews the kept copy of water `index`.
    void keep_copy_of_water(int index);

    Ui::setup *ui = nullptr; ///< owned: the form
    global gl; ///< conversions and constants
    screen_info scrInfo; ///< screen geometry (never shown)
    format_fields ff; ///< row and field heights
    copy_struct cpyStruct; ///< deep copies of records
    properties_water propsWater; ///< water properties around a run
    PreciseDoubleFactory doubleFactory; ///< editors of the composition cells' values

    jsdbfile_mgr *jsdbMgr = nullptr; ///< link: the configuration as read
    dbdata *dbase = nullptr; ///< link: the database image
    sbatch *batch = nullptr; ///< link: the batch being edited
    int simType = 0; ///< kind of simulation (global::simulation_type)

    bool flag_unsaved = false; ///< the batch holds unsaved changes
    bool flag_statusCleared = false; ///< the run status line has been cleared
    bool flag_paneAtEnd = true; ///< the message pane shows its newest line
    bool flag_reasonRefusal = false; ///< the reason line shows a refused entry

    setup_add_element *addElement = nullptr; ///< element picker while it runs
    setup_add_gas *addGas = nullptr; ///< gas picker while it runs
    model_mixing *mixingModel = nullptr; ///< mixing and titration window, once made
    config_settings *ctrlSettings = nullptr; ///< control-parameters dialog while it runs
    water_manager *waterMgr = nullptr; ///< water set manager, once made
    viewResult_spcn *viewResult = nullptr; ///< owned: results viewer, once made
    std::unique_ptr<one_water> keptWater; ///< copy of the selected water as it was chosen
    refused_entries refused; ///< the refused entries of the water pages
    bool flag_rewriting = false; ///< the program rewrites the water pages: no user's entry

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
    int col_compElement = 0; ///< composition tables: element (or solute) combo
    int col_compAmount = 1; ///< composition tables: amount
    int col_compOption = 2; ///< composition tables: option combo
    int col_compKey = 3; ///< composition tables: hidden key name of the row
    int col_resName = 0; ///< results tables: name
    int col_resValue = 1; ///< results tables: concentration
    int col_resType = 2; ///< results tables: type key
};
