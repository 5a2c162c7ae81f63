#pragma once

#include <QString>
#include <QStringList>

struct one_elementComp;
struct one_water;

/// Program constants, paths, the remembered configuration folder and the
/// enumerations with their text forms. The text forms are what configuration
/// files and reference databases store, so they are part of those formats.
///
/// `global` has no state; hold or create one wherever it is needed.
/// Conversions take the value as an int, so a record field (which holds the
/// enumeration as an int) can be passed as it is; a value outside the
/// enumeration gives the listed fallback and, for most, a debug line.
class global
{
public:
    /// Source database kind.
    enum thermo_data_type : int { eq36_96 = 0, thermoddem_19 = 1 };
    /// Kind of simulation.
    enum simulation_type : int { batchSpcn = 0 };
    /// Kind of a water component.
    enum component_type : int { chemElement = 0, redoxSolute = 1 };
    /// Activity-coefficient model of the solutes.
    enum activity_type : int {
        ac_ideal = 0,
        ac_dh = 1,
        ac_dh_ext = 2,
        ac_dh_davies = 3,
        ac_dh_bdot = 4,
        unknown_actype = 5
    };
    /// Water-activity model.
    enum activityWater_type : int {
        acw_ideal = 0,
        acw_mol_fr = 1,
        acw_dh_bdot = 2,
        unknown_acwtype = 3
    };
    /// Kind of a database species or reaction.
    enum data_species_type : int {
        element = 0,
        basis = 1,
        aux = 2,
        aqueous = 3,
        solid = 4,
        liquid = 5,
        gas = 6,
        ideal = 7,
        unknown_sptype = 8
    };
    /// Form of an equilibrium constant.
    enum eqk_eqn_type : int { eqkLog10_polynom = 0, eqk_TC_pair = 1, eqkLog10_TC_pair = 2 };
    /// Concentration unit.
    enum units_concn : int { molal = 0, Molar = 1, ppm = 2 };
    /// Gas amount unit.
    enum units_concn_gas : int { atm = 0, fugacity = 1 };
    /// How hydrogen is entered.
    enum units_H : int { H = 0, pH = 1 };
    /// Definition of alkalinity (2 and 3 have no text).
    enum alkalinity_def_type : int { alk_base = 0, alk_total = 1, unknown_alk = 4 };

    /// Configuration-file format tag, "jsdb.240101".
    QString default_format_jsdb() const;
    /// Program version, "v.1.0.2a".
    QString version_simulator() const;
    /// Reference-database version, "vdb.1.0.1".
    QString version_database() const;
    /// Build tag of the program, 20250901.
    int tag_compilation() const;
    /// Folder the program was built from (only logged).
    QString path_proj_src() const;
    /// path_proj_src() + "/src/Resources/".
    QString path_resources() const;
    /// The user's home folder.
    QString path_user_home() const;
    /// Folder of the running program.
    QString path_user_app() const;
    /// The user's documents folder.
    QString path_user_doc() const;
    /// Display names of the database types, in thermo_data_type order.
    QStringList dbtypes_list() const;
    /// Default element concentration, mol/L (1e-4).
    double default_concn_Molar() const;
    /// Default element concentration, mol/kg (1e-4).
    double default_concn_molal() const;
    /// Default gas fugacity, atm (1e-4).
    double default_fugacity() const;

    /// Lowest and highest temperature of a water, degrees C, both accepted: the
    /// field, the check before a run, mixing and the engine all keep to it. The
    /// database's log K fits reach from 0.01 to 300 C; a run starts at 1 C.
    static constexpr double TCmin_water = 1.0;
    static constexpr double TCmax_water = 300.0;
    /// True when `TC` (degrees C) lies within TCmin_water to TCmax_water.
    static bool TC_accepted_water(double TC) { return TC >= TCmin_water && TC <= TCmax_water; }

    /// Sets the Molar and ppm amounts of a composition entry from its molal amount:
    /// Molar = molal x `density` (g/cc), ppm = molal x `ppmFactor` (the element's
    /// molal-to-ppm factor). A new entry takes its amounts this way.
    static void amounts_fromMolal(one_elementComp *entry, double density, double ppmFactor);
    /// The pH the hydrogen entry `nameH` of water `w` gives: -log10 of its Molar
    /// amount, as the pH cell shows it and a run takes it; NaN without such an entry
    /// or amount.
    static double pH_ofHydrogen(const one_water *w, const QString &nameH);

    /// Folder of the last configuration file (settings "jsdbPath"/"prevDir"); empty when never set.
    QString settings_read_jsdbPath() const;
    /// Remembers the absolute folder of `file` as the last configuration folder and syncs.
    void settings_write_jsdbPath(const QString &file) const;

    /// Platform kind of this system: 0 macos, 1 ios, 2 windows, 3 debian, 4 ubuntu, 5 other.
    int get_OSProductType() const;
    /// The same mapping for a given QSysInfo::productType() text (compared exactly).
    static int productType_toInt(const QString &productType);

    QString dbtype_toString(int type) const; ///< thermo_data_type text
    thermo_data_type dbtype_toEnum(const QString &s) const; ///< text to thermo_data_type
    QString simType_toString(int type) const; ///< simulation_type text
    simulation_type simType_toEnum(const QString &s) const; ///< text to simulation_type
    QString componentType_toString(int type) const; ///< component_type text
    component_type componentType_toEnum(const QString &s) const; ///< text to component_type
    QString activityType_toString(int type) const; ///< activity_type text
    activity_type activityType_toEnum(const QString &s) const; ///< text to activity_type
    QString activityType_Translate(int type) const; ///< activity_type display text
    QString activityWaterType_toString(int type) const; ///< activityWater_type text
    activityWater_type activityWaterType_toEnum(const QString &s) const; ///< text to enum
    QString activityWaterType_Translate(int type) const; ///< activityWater_type display text
    QString speciesType_toString(int type) const; ///< data_species_type text
    data_species_type speciesType_toEnum(const QString &s) const; ///< text to data_species_type
    QString eqkType_toString(int type) const; ///< eqk_eqn_type text
    eqk_eqn_type eqkType_toEnum(const QString &s) const; ///< text to eqk_eqn_type
    QString unitConcn_toString(int unit) const; ///< units_concn text
    units_concn unitConcn_toEnum(const QString &s) const; ///< text to units_concn
    QString unitConcnGas_toString(int unit) const; ///< units_concn_gas text
    units_concn_gas unitConcnGas_toEnum(const QString &s) const; ///< text to units_concn_gas
    QString unitH_toString(int unit) const; ///< units_H text
    units_H unitH_toEnum(const QString &s) const; ///< text ("[H+]" too) to units_H
    QString typeAlkalinity_toString(int type) const; ///< alkalinity_def_type text
    alkalinity_def_type typeAlkalinity_toEnum(const QString &s) const; ///< text to enum
};
