#pragma once

// Quantities derived from a speciation result for display and export: log K of
// the solid reactions at the water's temperature and their saturation, species
// concentrations in the units offered, and the sort orders of the tables.
// Nothing here touches a window.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class thermo;
struct one_rxn;
struct one_rxn_eqk;

namespace result_calc {

/// Concentration units of the solute table, in the order of its unit selector.
enum unit : int {
    unit_molal = 0, ///< mol per kg of water
    unit_Molar = 1, ///< mol per litre of solution
    unit_ppm = 2 ///< mg per kg of water
};

/// Orders of the solute and gas tables, in the order of their sort selectors.
enum species_order : int {
    order_system = 0, ///< as the chemical system lists them
    order_alphabetical = 1, ///< by name, ignoring case
    order_concentration = 2 ///< largest concentration (or fugacity) first
};

/// Orders of the mineral table, in the order of its sort selector.
enum mineral_order : int {
    mineral_system = 0, ///< as the chemical system lists the reactions
    mineral_name = 1, ///< by mineral name, ignoring case
    mineral_SI = 2 ///< largest saturation index first; minerals without one last
};

/// Unit names as the unit selector shows them ("molal", "Molar", "ppm").
QStringList unit_names();

/// One species (or gas) of a result.
struct species_value
{
    QString name; ///< species name
    double molal = 0.0; ///< molality, mol/kg water (a gas: fugacity, atm)
    double gamma = 0.0; ///< activity coefficient (water: its activity)
    double molWt = 0.0; ///< formula mass, g/mol; 0 when the system no longer knows the species
};

/// The concentration of `s` in `u`: molal; Molar = molal x density (g/cm3);
/// ppm = molal x formula mass x 1000 (mg/kg water). NaN when ppm is asked of a
/// species without a formula mass.
double convert(const species_value &s, int u, double density);

/// Row indices of `list` in the order `order` (species_order) for unit `u`.
/// Equal keys keep their system order; values that are not numbers go last.
QList<int> sort_species(const QList<species_value> &list, int order, int u, double density);

/// log10 K of a reaction's constant at T (degrees C), under the rule the engine
/// applies to database constants: a constant tabulated at 25 C only holds below
/// 100 C (with its 25 C value); any other tabulated constant holds between its
/// lowest and highest tabulated points (data0's 500 marks a gap); a constant
/// without a table holds at any temperature. False when it does not hold at T.
bool eqkLog10_at(thermo &th, const one_rxn_eqk *eqk, double T, double *logK);

/// Saturation of the water with one solid, from its reaction.
struct saturation
{
    QString mineral; ///< mineral (reaction) name
    QString expression; ///< the reaction written out
    bool hasLogK = false; ///< log K is known at the water's temperature
    double logK = 0.0; ///< log10 K of the dissolution reaction at the temperature
    QStringList missing; ///< reaction species the result does not hold
    double logIAP = 0.0; ///< log10 of the ion-activity product
    double SI = 0.0; ///< saturation index, log IAP - log K
    double ratio = 0.0; ///< IAP / K
    /// The figures that need both the result and log K can be given.
    bool complete() const { return hasLogK && missing.isEmpty(); }
};

/// log10 of the activity molal x gamma, taken as the sum of the logs: a species far
/// below the doubles under a small gamma (a highly charged ion at high ionic
/// strength) has an activity no double can hold, yet a finite log. NaN when either
/// is not a positive finite number.
double log10_activity(double molal, double gamma);

/// log10 activities of a result's species: log10(molal x gamma), water by its
/// activity (the gamma of `waterName`), gases by their fugacity.
QHash<QString, double> log10_activities(const QList<species_value> &solutes,
                                        const QList<species_value> &gases,
                                        const QString &waterName);

/// Saturation for reaction `r` at T: log IAP sums nu x log10 a over the
/// reaction's species except the solid itself.
saturation solid_saturation(thermo &th, const one_rxn *r, const QHash<QString, double> &log10a,
                            double T);

/// Row indices of `list` in the order `order` (mineral_order).
QList<int> sort_minerals(const QList<saturation> &list, int order);

} // namespace result_calc
