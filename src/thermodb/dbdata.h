#pragma once

#include "global.h"
#include "records.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

/// A whole thermodynamic reference database in memory.
///
/// Loading (`db_retrieve_data`) reads every table of an SQLite reference file
/// into the object's own `sim_data` (`sdata`), classifies the aqueous and
/// auxiliary reactions as organic, redox or standard, and `db_manage_data`
/// then picks the working lists that a configuration's control set asks for.
/// Every record read is registered with `sdata`, so it lives as long as this
/// object; the batch's lists may link to these records while it lives.
///
/// Operations return 0 on success; failures give a non-zero code and leave
/// readable lines in `messages()` for the window that shows them. Name
/// look-ups compare exactly (case-sensitive) and give -9 when absent.
class dbdata
{
public:
    dbdata();
    ~dbdata();
    dbdata(const dbdata &) = delete;
    dbdata &operator=(const dbdata &) = delete;

    /// owned: the database image. Its `ctrlset` links the control set of the
    /// batch last loaded for (not owned here).
    sim_data *sdata = nullptr;
    global gl; ///< species-type and equation-type texts, database version text

    /// Lines for the user from the last load or list choice: errors and the
    /// version warning. Emptied at the start of db_retrieve_data.
    const QStringList &messages() const { return msgs; }
    /// The warning of the last load when the file's INFO version differs from
    /// the program's (two lines, as the window shows it); empty when they agree.
    const QString &version_mismatch() const { return versionMismatch; }

    // ---- loading -----------------------------------------------------------

    /// Loads the reference file named by `batch->dbref` (type `batch->dbtype`)
    /// and shares the batch's control set. Returns 0 when loaded; 901 for a
    /// database type other than 0; 99 when the file is missing or is not an
    /// SQLite database; 1 when a required table is missing or the file holds
    /// no elements, solutes or reactions. On failure the lists keep what they
    /// held before and nothing is created on disk.
    int db_retrieve_data(sim_data *batch);
    /// Reads every table from the open loading connection; 0, or 1 when the
    /// file lacks a required table or holds no elements, solutes or reactions.
    int db_retrieve_fmEQ3v1996();
    /// Compares the INFO version (of the last row) with the program's; a
    /// mismatch is logged, added to messages() and kept as version_mismatch().
    /// Always 0: the load goes on.
    int verify_versionDatabase();
    /// Debye-Huckel table as read, or null when it cannot be read or is empty
    /// (the built-in record is then kept).
    one_bdot_properties *db_retrieve_bdot_EQ3v1996();
    QList<one_element *> db_retrieve_elements_fmEQ3v1996(); ///< table elements, in row order
    QList<one_solute *> db_retrieve_solutes_fmEQ3v1996(); ///< table solutes, with compositions
    QList<one_solid *> db_retrieve_solids_fmEQ3v1996(); ///< table solids, with compositions
    QList<one_liquid *> db_retrieve_liquids_fmEQ3v1996(); ///< table liquids, with compositions
    QList<one_gas *> db_retrieve_gases_fmEQ3v1996(); ///< table gases, with compositions
    /// Reactions of one species type (global::data_species_type) with their
    /// species, text, elements and log K terms; a reaction without terms is
    /// left out with a message. Species must be loaded first.
    QList<one_rxn *> db_retrieve_rxns_fmEQ3v1996(int type);
    /// Links formation data rows to the loaded species of the same name and type.
    void db_retrieva_thermodata_fmEQ3v1996();
    /// Element composition of the species `name` of species type `type`
    /// (global::data_species_type); never null, the caller owns it.
    one_comp_elements *db_comp_elements_fmEQ3v1996(const QString &name, int type);
    /// Species and coefficients of reaction `name`; never null, the caller owns it.
    one_comp_solutes *db_comp_solutes_fmEQ3v1996(const QString &name);
    /// Log K terms of reaction `name`, ordered by their index; never null, the caller owns it.
    one_rxn_eqk *db_rxn_eqk_fmEQ3v1996(const QString &name);
    /// The reaction written out, e.g. "A + 2 B = D + 0.5 E".
    QString rxn_build_expression(const one_comp_solutes *comp) const;
    /// Elements of the reaction's species (solutes, liquids, gases, solids), first-seen order.
    QStringList rxn_compile_list_elements(const one_comp_solutes *comp);

    // ---- look-ups (exact names; -9 when absent) ----------------------------

    int find_idxDB_element(const QString &name) const; ///< in `elements`
    int find_idxDB_solute(const QString &name) const; ///< in the working `solutes`
    int find_idxSD_solute(const QString &name) const; ///< same as find_idxDB_solute
    int find_idxDB_solute_orgCmpd(const QString &name) const; ///< in `solutesOrganic`
    int find_idxDB_solid(const QString &name) const; ///< in `solids`
    int find_idxDB_liquid(const QString &name) const; ///< in `liquids`
    int find_idxSD_liquid(const QString &name) const; ///< same as find_idxDB_liquid
    int find_idxDB_gas(const QString &name) const; ///< in `gases`
    int find_idxSD_gas(const QString &name) const; ///< same as find_idxDB_gas
    /// In the list of the type: aux `rxnsNonOrganic`, aqueous `rxnsAqueous`,
    /// solid `rxnsSolid`, liquid `rxnsLiquid`, gas `rxnsGas`; another type logs and gives -9.
    int find_idxDB_rxn(const QString &name, int type) const;
    /// Integer `column` of the last row of `table` whose name is `name`, read
    /// from the reference file last loaded; -9 when there is no such row, the
    /// file cannot be opened, or table and column are not among the known ones.
    int db_query_idxDB(const QString &table, const QString &column, const QString &name);
    /// Sorts elements, solutes, solids, gases and the working aqueous, non-organic,
    /// solid and gas reactions by name (case-sensitive, stable).
    void db_sortOrder();

    // ---- classification and working lists ----------------------------------

    /// Sets the eight fixed species names and a new built-in Debye-Huckel record.
    void db_essential_prePatch(int type);
    /// Replaces `bdot` by a new built-in record and returns it (owned by sdata).
    one_bdot_properties *set_activityCoefficient_EQ3v1996();
    /// Builds the organic, redox and standard sets from the lists as read; 0.
    int db_organize_fmEQ3v1996();
    /// Sets every element's molal-to-ppm factor, mol_wt x 1000.
    void db_essential_post_patch();
    /// Chooses the working lists for `batch`'s control set: 0, or 901 for a
    /// database type other than 0 (lists unchanged).
    int db_manage_data(sim_data *batch);
    /// Working lists for the switches of `ctrl` (redox, orgcmpd count as on
    /// only when 1) and the counts; 0.
    int db_assign_fmEQ3v1996(const one_ctrlset *ctrl);
    /// Gives every solid the indices of the working solid reactions of its name; 0.
    int db_set_solid_multipleRxns();
    /// Indices in `rxnsSolid`, ascending, of the reactions named `name`.
    QList<int> db_get_solidRxns(const QString &name) const;
    /// True when the list holds C and H and nothing but C, H, N, O.
    bool verify_elements_organicCmpd(const QStringList &elements) const;
    /// True when some non-basis solute among `species` passes the organic element test.
    bool verify_solutes_organicCmpd(const QStringList &species) const;
    /// True for an aux reaction, or one with an aux solute or O2(g) among its species.
    bool verify_rxn_redox(const one_rxn *rxn) const;
    /// True when the working solutes hold an aux solute of that name.
    bool verify_aux_solute(const QString &name) const;

private:
    /// First index of a name in the working solutes, solids, liquids or gases.
    /// While loading and classifying, hash tables built from the lists answer
    /// (the lists do not change meanwhile); otherwise the linear look-ups do.
    int solute_index(const QString &name) const;
    int solid_index(const QString &name) const;
    int liquid_index(const QString &name) const;
    int gas_index(const QString &name) const;
    void build_name_indexes();
    void drop_name_indexes();
    void add_message(const QString &text);
    /// Reads comp_elements, rxn_stoich and eqk ahead, grouped by name; false
    /// when one of them cannot be read.
    bool read_composition_tables();
    bool read_compositions();
    bool read_stoichiometries();
    bool read_eqk_terms();
    bool read_reaction_rows();

    struct load_tables;
    /// Open file and tables read ahead while a load runs; null otherwise.
    std::unique_ptr<load_tables> load;
    QString dbLoadName; ///< connection name of db_query_idxDB, unique to this object
    QString dbrefPath; ///< reference file last opened, for db_query_idxDB
    QStringList msgs; ///< see messages()
    QString versionMismatch; ///< see version_mismatch()
    bool indexesBuilt = false; ///< the four tables below answer the look-ups
    QHash<QString, int> soluteIdx, solidIdx, liquidIdx, gasIdx; ///< first index by name
};
