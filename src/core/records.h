#pragma once

// Plain records of one configuration in memory: the control set, the species
// and reactions taken from a thermodynamic database, and the waters with their
// composition conditions and latest results.
//
// Ownership
// ---------
// Records are created with `new` and passed around by raw pointer.
// - A pointer field marked "owned" is deleted by the record's destructor.
//   Records that own pointers cannot be copied by value (use copy_struct).
// - A pointer field marked "link" refers to a record held elsewhere; it is
//   never deleted through the link.
// - The lists of a `sim_data` never free their records, and several lists may
//   share one record. Whoever creates a record and puts it into a sim_data's
//   lists registers it once with `sd->own(rec)`; the sim_data frees every
//   registered record when it is destroyed. Emptying a list frees nothing.
// - Records made by copy_struct belong to the caller.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

struct one_bdot_properties;
struct one_ctrlset;
struct one_element;
struct one_solute;
struct one_solid;
struct one_liquid;
struct one_gas;
struct one_rxn;
struct one_comp_elements;
struct one_comp_solutes;
struct one_rxn_eqk;
struct one_redoxRxn;
struct one_thermodata;
struct one_water;
struct one_elementComp;
struct one_gasComp;
struct one_water_mixModel;
struct one_water_result;
struct one_waterResult_element;
struct one_waterResult_solute;
struct one_waterResult_rxn;

/// Control parameters of the solver and the limits of accepted input.
struct one_ctrlset
{
    bool dbaccess = false; ///< use the reference database (default true)
    bool redox = false; ///< include redox reactions (default false)
    bool orgcmpd = false; ///< include organic compounds (default false)
    int csolvitmax = 0; ///< Newton-Raphson iteration limit (default 31)
    double csolvcvg = 0.0; ///< convergence limit on the residual sum (default 1e-6)
    double csolvcmax = 0.0; ///< highest concentration limit, molal (default 35.0)
    double csolvcmin = 0.0; ///< lowest concentration limit, molal (default 1e-36)
    double TCmax = 0.0; ///< highest accepted temperature, degrees C (default 350.0)
    double TCmin = 0.0; ///< lowest accepted temperature, degrees C (default 0.1);
                        ///< a temperature T is accepted when TCmin < T <= TCmax
};

/// Debye-Huckel and B-dot data of a database, as ten parallel or coefficient lists.
struct one_bdot_properties
{
    QList<double> TC; ///< grid temperatures, degrees C
    QList<double> pressure; ///< grid pressures, bar
    QList<double> DHa; ///< tabulated Debye-Huckel A, kg^0.5/mol^0.5
    QList<double> DHb; ///< tabulated Debye-Huckel B, kg^0.5/(mol^0.5 cm) x 1e-8
    QList<double> DHbdot; ///< tabulated B-dot, kg/mol
    QList<double> adh; ///< polynomial coefficients of A in temperature (degrees C)
    QList<double> bdh; ///< polynomial coefficients of B in temperature (degrees C)
    QList<double> bdot; ///< polynomial coefficients of B-dot in temperature (degrees C)
    QList<double> cco2; ///< CO2 activity-coefficient coefficients (carried)
    QList<double> ehLogK; ///< log10 K of the Eh reaction on the grid
};

/// Formation data of one species.
struct one_thermodata
{
    int id = 0; ///< identifier
    int tag = 0; ///< data tag of the database
    QString name; ///< species name
    int type = 0; ///< species kind (global::data_species_type)
    int id_species = 0; ///< identifier of the species record
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    double gibbsFm = 0.0; ///< Gibbs energy of formation, in unitGFm
    QString unitGFm; ///< unit of gibbsFm
    double enthalpyFm = 0.0; ///< enthalpy of formation, in unitHFm
    QString unitHFm; ///< unit of enthalpyFm
    double entropyFm = 0.0; ///< entropy of formation, in unitSFm
    QString unitSFm; ///< unit of entropyFm
};

/// Element composition of a species: three parallel lists of ncomp entries.
struct one_comp_elements
{
    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    int ncomp = 0; ///< number of entries in the three lists
    QString infoAux1; ///< carried text
    QString infoAux2; ///< carried text
    QString infoAux3; ///< carried text
    QList<double> stoich; ///< moles of the element per mole of species
    QStringList element; ///< element names
    QList<int> element_id; ///< element indices as read or written
};

/// Species composition of a reaction: coefficients negative on the left side.
struct one_comp_solutes
{
    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    int ncomp = 0; ///< number of entries in the three lists
    QString infoAux1; ///< carried text
    QString infoAux2; ///< carried text
    QString infoAux3; ///< carried text
    QList<double> stoich; ///< reaction coefficients (negative for reactants)
    QStringList solute; ///< species names
    QList<int> solute_id; ///< species indices as read or written
};

/// Equilibrium constant of a reaction: a polynomial in temperature or a table.
struct one_rxn_eqk
{
    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< reaction name
    QString infoAux1; ///< carried text
    QString infoAux2; ///< carried text
    int type_eqn = 0; ///< form of the constant (global::eqk_eqn_type)
    int nterms = 0; ///< number of polynomial terms or table points
    QList<int> order_idx; ///< power of temperature of each term
    QList<double> coeff; ///< polynomial coefficients of log10 K (T in degrees C)
    QList<double> quotient; ///< scale of each term (carried)
    QList<double> eqkLog10; ///< tabulated log10 K
    QList<double> temperature; ///< temperatures of the table, degrees C
};

/// A chemical element of the system.
struct one_element
{
    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< element name, e.g. "Ca"
    QString infoAux1; ///< carried text
    QString infoAux2; ///< carried text
    QString infoAux3; ///< carried text
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double cvtmtoppm = 0.0; ///< molal-to-ppm factor (mol_wt x 1000 when not given)
    int basis_id = 0; ///< index of the basis species
    QString basis_name; ///< basis species of the element, e.g. "Ca++"
    bool flagAux = false; ///< carried flag
    bool redoxelement = false; ///< the element takes part in redox pairs
    bool redoxsolutes = false; ///< the element's redox solutes are in the system
    int nredoxsolutes = 0; ///< number of redox solutes of the element
    bool fixed = false; ///< the element cannot be removed (not stored in files)
};

/// An aqueous species (basis, auxiliary basis or aqueous).
struct one_solute
{
    one_solute() = default;
    ~one_solute();
    one_solute(const one_solute &) = delete;
    one_solute &operator=(const one_solute &) = delete;

    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< species name, e.g. "HCO3-"
    QString formula; ///< chemical formula
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    double charge = 0.0; ///< electric charge, elementary charges
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double DHazero = 0.0; ///< ion-size parameter, Angstrom
    one_thermodata *thermo = nullptr; ///< link: formation data (registered with a sim_data)
    int type = 0; ///< species kind (global::data_species_type)
    int intAux = 0; ///< carried int
    QStringList namesAux; ///< carried names
    QList<double> listAux; ///< carried numbers
    one_comp_elements *composition = nullptr; ///< owned: element composition
};

/// A solid (mineral).
struct one_solid
{
    one_solid() = default;
    ~one_solid();
    one_solid(const one_solid &) = delete;
    one_solid &operator=(const one_solid &) = delete;

    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< mineral name
    QString formula; ///< chemical formula
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    int type = 0; ///< species kind (global::data_species_type), 4
    int intAux = 0; ///< carried int
    one_thermodata *thermo = nullptr; ///< link: formation data (registered with a sim_data)
    int nrxns = 0; ///< number of entries in rxns
    QList<int> rxns; ///< indices of the working solid reactions of this name
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double molar_volume = 0.0; ///< molar volume, cm3/mol
    QList<double> listAux; ///< carried numbers
    one_comp_elements *composition = nullptr; ///< owned: element composition
};

/// A liquid species.
struct one_liquid
{
    one_liquid() = default;
    ~one_liquid();
    one_liquid(const one_liquid &) = delete;
    one_liquid &operator=(const one_liquid &) = delete;

    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< species name
    QString formula; ///< chemical formula
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    int type = 0; ///< species kind (global::data_species_type), 5
    int intAux = 0; ///< carried int
    one_thermodata *thermo = nullptr; ///< link: formation data (registered with a sim_data)
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double molar_volume = 0.0; ///< molar volume, cm3/mol
    one_comp_elements *composition = nullptr; ///< owned: element composition
};

/// A gas species.
struct one_gas
{
    one_gas() = default;
    ~one_gas();
    one_gas(const one_gas &) = delete;
    one_gas &operator=(const one_gas &) = delete;

    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< gas name, e.g. "CO2(g)"
    QString formula; ///< chemical formula
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double dblAux = 0.0; ///< carried number
    int type = 0; ///< species kind (global::data_species_type), 6
    int intAux = 0; ///< carried int
    one_thermodata *thermo = nullptr; ///< link: formation data (registered with a sim_data)
    double fcoeff = 0.0; ///< fugacity coefficient, dimensionless
    double molar_volume = 0.0; ///< molar volume, cm3/mol (not read from the database)
    QList<double> listAux; ///< carried numbers
    bool fixed = false; ///< the gas cannot be removed (not stored in files)
    one_comp_elements *composition = nullptr; ///< owned: element composition
};

/// A reaction (aqueous, auxiliary, solid, liquid or gas) with its constant.
struct one_rxn
{
    one_rxn() = default;
    ~one_rxn();
    one_rxn(const one_rxn &) = delete;
    one_rxn &operator=(const one_rxn &) = delete;

    int id = 0; ///< identifier
    int tag = 0; ///< data tag
    QString name; ///< reaction name (name of the species it forms)
    QString formula; ///< chemical formula of that species
    QString infoAux1; ///< carried text; a solid reaction holds its solid's name
    QString infoAux2; ///< carried text
    QString date; ///< date of entry, as text
    QString date_revised; ///< date of revision, as text
    QString comment; ///< free comment
    int type = 0; ///< kind of the list it belongs to (global::data_species_type)
    int typeRequested = 0; ///< kind the database reader asked for (0 when read from a file)
    QString infoAux3; ///< carried text
    one_thermodata *thermo = nullptr; ///< link: formation data (registered with a sim_data)
    one_comp_elements *compSpecies = nullptr; ///< owned: composition of the species of this name
    one_comp_solutes *composition = nullptr; ///< owned: species and coefficients of the reaction
    QString expression; ///< the reaction written out
    QStringList elements; ///< elements of its species, compiled after loading
    one_rxn_eqk *eqk = nullptr; ///< owned: equilibrium constant
    QList<double> listAux; ///< carried numbers
    bool flagAux = false; ///< carried flag
};

/// A redox pair of an element, or the redox reaction of a gas, with its solutes.
///
/// For an element pair `elementRec` links the element; for a redox gas `gasRec`
/// links the gas and `elementRec` stays null. `recName()` gives whichever name
/// is linked. A record made by copy_struct owns the element (or gas) and the
/// reaction it points to (`ownsLinks`); every other record only links them.
struct one_redoxRxn
{
    one_redoxRxn() = default;
    ~one_redoxRxn();
    one_redoxRxn(const one_redoxRxn &) = delete;
    one_redoxRxn &operator=(const one_redoxRxn &) = delete;

    /// Name of the linked element, else of the linked gas; empty when neither is set.
    QString recName() const;

    int id = 0; ///< identifier
    QString element; ///< element or gas name
    QString redoxpair; ///< reaction name
    QStringList solutes; ///< names of the redox solutes
    one_element *elementRec = nullptr; ///< link (owned when ownsLinks): the element of the pair
    one_gas *gasRec = nullptr; ///< link (owned when ownsLinks): the gas of a redox gas
    one_rxn *rxn = nullptr; ///< link (owned when ownsLinks): the reaction
    QList<one_solute *> soluteRecs; ///< links: the records of `solutes`
    bool ownsLinks = false; ///< elementRec, gasRec and rxn are owned by this record
};

/// Amount of one element, or of O2(g), in a water.
struct one_elementComp
{
    int id = 0; ///< identifier
    QString element; ///< element name (or "O2(g)")
    QStringList namesAux; ///< carried names
    QString solute; ///< species that carries the amount (the element name for a total)
    bool redoxsolute = false; ///< `solute` is a redox species
    double molal = 0.0; ///< amount, mol/kg water
    double Molar = 0.0; ///< amount, mol/L solution
    double ppm = 0.0; ///< amount, mg/kg
    QString swaprxn; ///< swap reaction that replaces the amount (empty when none)
    QStringList species; ///< species of the batch that contain the element
    QList<double> stoich; ///< coefficient of the element in each of `species`
};

/// A gas condition of a water.
struct one_gasComp
{
    int id = 0; ///< identifier
    QString name; ///< gas name
    QStringList namesAux; ///< carried names
    double amount = 0.0; ///< amount (1.0 at creation)
    double fugacity = 0.0; ///< fugacity, atm (1e-4 at creation)
    QString infoAux; ///< carried text
};

/// How a model water was made by mixing or titrating two waters.
struct one_water_mixModel
{
    int idwaterone = 0; ///< index of the first water
    int idwatertwo = 0; ///< index of the second water
    QString namewaterone; ///< name of the first water
    QString namewatertwo; ///< name of the second water
    double volumeone = 0.0; ///< volume percent of the first water
    double volumetwo = 0.0; ///< volume percent of the second water
    double mixAux = 0.0; ///< carried number
    bool titrationph = false; ///< titration on pH (true) or on an element (false)
    int idelement = 0; ///< index of the titrated element
    QString nameelement; ///< name of the titrated element
    double targetTC = 0.0; ///< target temperature, degrees C
    double targetph = 0.0; ///< target pH
    double targetconcn = 0.0; ///< target concentration, in targetcunit
    int targetcunit = 0; ///< unit of targetconcn (global::units_concn)
};

/// Total of one element in a speciation result.
struct one_waterResult_element
{
    int id = 0; ///< identifier
    QString element; ///< element name
    double cMolar = 0.0; ///< total, mol/L
    double cmolal = 0.0; ///< total, mol/kg water
    double cppm = 0.0; ///< total, mg/kg
};

/// One aqueous species or gas in a speciation result.
struct one_waterResult_solute
{
    int id = 0; ///< identifier
    QString solute; ///< species name
    int intAux = 0; ///< carried int
    QList<bool> flagsAux; ///< carried flags
    QList<double> listAux; ///< carried numbers
    double cshown = 0.0; ///< value in the unit chosen for display
    double cMolar = 0.0; ///< concentration, mol/L
    double cmolal = 0.0; ///< concentration, mol/kg water
    double cppm = 0.0; ///< concentration, mg/kg
    double dblAux1 = 0.0; ///< carried number
    double dblAux2 = 0.0; ///< carried number
    double gamma = 0.0; ///< activity coefficient, dimensionless
};

/// One reaction in a speciation result.
struct one_waterResult_rxn
{
    int id = 0; ///< identifier
    QString name; ///< reaction name
    int intAux = 0; ///< carried int
    QList<bool> flagsAux; ///< carried flags
    QList<double> listAux; ///< carried numbers
    double eqkL10 = 0.0; ///< log10 K at the run temperature
    double ratioQK = 0.0; ///< ion-activity product over K (1 at equilibrium)
};

/// Result of one speciation run; owns every entry of its five lists.
struct one_water_result
{
    one_water_result() = default;
    ~one_water_result();
    one_water_result(const one_water_result &) = delete;
    one_water_result &operator=(const one_water_result &) = delete;

    QString date_str; ///< date of the run, local, Qt::TextDate
    qint64 date_utc = 0; ///< time of the run, seconds since 1970-01-01 UTC
    QList<one_waterResult_element *> soln_elem; ///< owned entries: element totals
    QList<one_waterResult_solute *> soln_aq; ///< owned entries: aqueous species
    QList<one_waterResult_solute *> soln_gas; ///< owned entries: gases
    QList<one_waterResult_rxn *> rxns; ///< owned entries: reactions of the model
    QList<one_waterResult_rxn *> solids; ///< owned entries: solid reactions (saturation)
    double TC = 0.0; ///< temperature, degrees C
    double resultpH = 0.0; ///< pH, -log10 of H+ mol/L
    double densitymass = 0.0; ///< density at the run, g/cc (molal-to-Molar factor)
    double ionicstrength = 0.0; ///< ionic strength, mol/kg
    double chargebalance = 0.0; ///< net charge, eq/kg
    double alkCarb = 0.0; ///< carbonate alkalinity, eq/kg
    double conduct = 0.0; ///< conductivity
    double tds = 0.0; ///< total dissolved solids, mg/kg
    double dielectConst = 0.0; ///< dielectric constant of water, dimensionless
    int loops = 0; ///< iterations used
    double cvgValue = 0.0; ///< final convergence sum
    bool converged = false; ///< the run converged
};

/// One water: identity, conditions, options, composition and latest result.
struct one_water
{
    one_water() = default;
    ~one_water();
    one_water(const one_water &) = delete;
    one_water &operator=(const one_water &) = delete;

    int id = 0; ///< identifier
    QString name; ///< water name
    QString description; ///< notes, one line per event
    QString date_str; ///< creation date, local, Qt::TextDate
    qint64 date_utc = 0; ///< creation time, seconds since 1970-01-01 UTC
    QString date_updated; ///< date of the last update, as text
    qint64 date_utcUpdated = 0; ///< time of the last update, seconds since 1970-01-01 UTC
    double densitymass = 0.0; ///< density, g/cc
    double TC = 0.0; ///< temperature, degrees C
    int activitymethod = 0; ///< solute activity model (global::activity_type)
    int activitywater = 0; ///< water activity model (global::activityWater_type)
    bool chargebalance = false; ///< close the charge balance on an ion
    QString chargebalanceSolute; ///< the charge-balance ion
    QString chargebalanceElem; ///< element of that ion
    bool alkSet = false; ///< an alkalinity condition is given
    int alkAux = 0; ///< carried int
    QString alkElem; ///< element constrained by the alkalinity ("H" or "C")
    double alkmolal = 0.0; ///< alkalinity, eq/kg water
    double alkMolar = 0.0; ///< alkalinity, eq/L
    int alkUnit = 0; ///< unit the alkalinity was entered in (global::units_concn)
    QStringList alkSolutes; ///< species of the alkalinity equation
    QList<double> alkCoeffs; ///< their coefficients
    int typeH = 0; ///< hydrogen entered as H or pH (global::units_H)
    int concnunitElem = 0; ///< unit of the element amounts (global::units_concn)
    int concnunit = 0; ///< unit of solute results (global::units_concn)
    int concnunitGas = 0; ///< unit of gas amounts (global::units_concn_gas)
    int typeHIndex = 0; ///< selector carried with the units
    int unitIndex2 = 0; ///< selector carried with the units
    int unitIndex3 = 0; ///< selector carried with the units
    int unitIndex4 = 0; ///< selector carried with the units
    double unitAux1 = 0.0; ///< factor carried with the units
    double unitAux2 = 0.0; ///< factor carried with the units
    double unitAux3 = 0.0; ///< factor carried with the units
    double pHcomp = 0.0; ///< pH given with the composition
    double pHspcn = 0.0; ///< pH found by the last speciation
    int phAux = 0; ///< carried int
    QList<one_elementComp *> composition; ///< owned entries: amount of each element
    int ncomposition = 0; ///< length of `composition` (not stored in files)
    bool stag_O2g = false; ///< the O2(g) condition takes part
    one_elementComp *redoxO2g = nullptr; ///< owned: the O2(g) condition
    QString redoxO2gSwaprxn; ///< swap reaction of the O2(g) condition
    QList<one_gasComp *> gasComp; ///< owned entries: gases of the water
    int ngasComp = 0; ///< length of `gasComp`
    int nrxnsConstraint = 0; ///< length of `rxnsConstraint`
    /// links: the water's swap reactions. They are the solid reactions of the
    /// loaded database; copies of a water share them.
    QList<one_rxn *> rxnsConstraint;
    bool statmixing = false; ///< the water was made by mixing two waters
    bool stattitrate = false; ///< the water was made by titration
    one_water_mixModel *mixdata = nullptr; ///< owned: how it was mixed or titrated (may be null)
    one_water_result *results = nullptr; ///< owned: latest speciation result (may be null)
    /// H form chosen on the results page, both entries alike: 0 "[H+]", 1 "pH".
    int resAux[2] = {0, 0};
};

/// One configuration: header, control set, species, reactions and waters.
///
/// Every list holds links; records put into the lists are freed by the
/// sim_data only when they were registered with own().
struct sim_data
{
    sim_data() = default;
    ~sim_data();
    sim_data(const sim_data &) = delete;
    sim_data &operator=(const sim_data &) = delete;

    /// Registers `rec` to be freed with this sim_data and returns it. Registering
    /// the same record again, or a null pointer, does nothing.
    template<class T>
    T *own(T *rec)
    {
        if (rec && !ownedSet.contains(rec)) {
            ownedSet.insert(rec);
            owned.push_back({rec, [](void *p) { delete static_cast<T *>(p); }});
        }
        return rec;
    }
    /// Forgets a registered record without freeing it: the caller owns it again.
    /// Returns false when it was not registered.
    bool disown(const void *rec);
    /// True when `rec` is registered with own().
    bool isOwned(const void *rec) const { return ownedSet.contains(rec); }

    QString format; ///< configuration-file format tag ("jsdb.240101")
    QString versionSim; ///< program version that wrote the file
    int compTag = 0; ///< build tag of that program
    QString file; ///< path of the configuration file
    QString fileBackup; ///< backup path: `file` + "-bk"
    QString filePath_default; ///< default folder for configuration files
    int initCode = 0; ///< 2 once made by sbatch; nothing reads it
    int dbtype = 0; ///< source database kind (global::thermo_data_type)
    QString versionDB; ///< version of the reference database
    QString dbref; ///< path of the reference database file
    QString dbuser; ///< path of the user database file
    QString description; ///< free description of the configuration
    /// owned: Debye-Huckel data of the loaded database (may be null). Replace it
    /// only after deleting or own()-registering the previous one.
    one_bdot_properties *bdot = nullptr;
    /// owned: control parameters (null until simData_init). Replace it only
    /// after deleting or own()-registering the previous one.
    one_ctrlset *ctrlset = nullptr;
    int nelements = 0; ///< number of elements
    int nsolutes = 0; ///< number of working solutes
    int nsolids = 0; ///< number of solids
    int nliquids = 0; ///< number of liquids
    int ngases = 0; ///< number of gases
    int nrxnsAqueous = 0; ///< number of working aqueous reactions
    int nrxnsSolid = 0; ///< number of working solid reactions
    int nrxnsLiquid = 0; ///< number of working liquid reactions
    int nrxnsGas = 0; ///< number of working gas reactions
    QList<one_element *> elements; ///< links: elements of the batch
    QList<one_solid *> solids; ///< links: solids
    QList<one_liquid *> liquids; ///< links: liquids
    QList<one_gas *> gases; ///< links: gases
    QList<one_solute *> solutesDB; ///< links: every solute read (basis, aux, aqueous)
    QList<one_solute *> solutesAll; ///< links: basis, aux and aqueous solutes
    QList<one_solute *> solutesOrganic; ///< links: basis, aux and organic aqueous solutes
    QList<one_solute *> solutesStd; ///< links: basis and non-organic aqueous solutes
    QList<one_solute *> solutes; ///< links: working list, the solutes of the batch
    QList<one_rxn *> rxnsAqueousDB; ///< links: aqueous reactions as read
    QList<one_rxn *> rxnsAuxDB; ///< links: auxiliary-basis reactions as read
    QList<one_rxn *> rxnsAll; ///< links: all aqueous and aux reactions
    QList<one_rxn *> rxnsNonOrganic; ///< links: aqueous and aux reactions, not organic
    QList<one_rxn *> rxnsStd; ///< links: aqueous and aux, neither organic nor redox
    QList<one_rxn *> rxnsAqueous; ///< links: working aqueous (and aux) reactions
    QList<one_rxn *> rxnsSolidDB; ///< links: solid reactions as read
    QList<one_rxn *> rxnsSolidAll; ///< links: all solid reactions
    QList<one_rxn *> rxnsSolidNonRedox; ///< links: solid reactions without redox species
    QList<one_rxn *> rxnsSolid; ///< links: working solid reactions
    QList<one_rxn *> rxnsGasDB; ///< links: gas reactions as read
    QList<one_rxn *> rxnsGasAll; ///< links: all gas reactions
    QList<one_rxn *> rxnsGasNonRedox; ///< links: gas reactions without redox species
    QList<one_rxn *> rxnsGas; ///< links: working gas reactions
    QList<one_rxn *> rxnsLiquidDB; ///< links: liquid reactions as read
    QList<one_rxn *> rxnsLiquidAll; ///< links: all liquid reactions
    QList<one_rxn *> rxnsLiquidNonRedox; ///< links: liquid reactions without redox species
    QList<one_rxn *> rxnsLiquid; ///< links: working liquid reactions
    QStringList namesOrganic; ///< names of the organic aqueous and aux reactions
    QStringList namesRedox; ///< names of the redox aqueous and aux reactions
    QStringList namesStd; ///< names of the standard aqueous and aux reactions
    QList<one_redoxRxn *> rxnsRedox; ///< links: redox records offered for the configuration
    QList<one_redoxRxn *> redoxpairs; ///< links: redox pairs of elements in the batch
    QList<one_redoxRxn *> redoxgases; ///< links: redox reactions of gases in the batch
    int nwaters = 0; ///< number of waters
    int currentWater = 0; ///< index in `waters` of the water being edited
    QList<one_water *> waters; ///< links: the waters
    QString nameH; ///< fixed name of hydrogen, "H" once a database is loaded
    QString nameO; ///< fixed name of oxygen, "O"
    QString nameC; ///< fixed name of carbon, "C"
    QString nameHplus; ///< fixed name of the hydrogen ion, "H+"
    QString nameH2O; ///< fixed name of water, "H2O"
    QString nameCl; ///< fixed name of chloride, "Cl-"
    QString nameO2g; ///< fixed name of oxygen gas, "O2(g)"
    QString nameOH; ///< fixed name of hydroxide, "OH-"

private:
    struct owned_rec
    {
        void *ptr;
        void (*free)(void *);
    };
    std::vector<owned_rec> owned; ///< registered records, freed last-first
    QSet<const void *> ownedSet; ///< the same records, for quick membership tests
};
