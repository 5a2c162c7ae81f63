#pragma once

#include "solver_records.h"

#include <vector>

/// Reaction and solution properties of a run: log10 K of a reaction row, ionic
/// strength, activity coefficients of the solutes and the activity of water.
/// Stateless; every call returns a new record that the caller owns.
class sim_rxn_prop
{
public:
    /// log10 K of a reaction row at T (Celsius).
    static double eqkLog10_polynom(const pt_rxn &rxn, double T);
    /// log10 gamma of one species at ionic strength I (mol/kg) and T (Celsius) by the
    /// activity-coefficient method code of a run (the same formulas as the models below).
    static double log10gamma_at(int activitymethod, const pt_solute &sp, double I, double T);
    /// Species grouped by what the activity models read of them, their charge and ion
    /// size: the species of one group have one activity coefficient.
    struct dh_groups
    {
        std::vector<int> groupOf; ///< species -> its group; -1 for a gas
        std::vector<int> first; ///< group -> its first species
    };
    /// The groups of the first n species.
    static dh_groups dh_groups_of(const std::vector<pt_solute> &sp, int n);
    /// d ln gamma / d ln I of the first n solutes at ionic strength I (mol/kg) and T (C):
    /// 0 for gases and under the ideal model. Worked out once for each of the species'
    /// groups (`groups`, from dh_groups_of), with `groupSlope` as room.
    static void lngamma_slopes(int activitymethod, const std::vector<pt_solute> &sp,
                               const dh_groups &groups, int n, double I, double T,
                               std::vector<double> &slope, std::vector<double> &groupSlope);
    /// Ionic strength of the first n species, mol/kg.
    static double ionic_strength_soln(int n, const pt_rxn_C *conc, const pt_solute *sp);
    /// Activity coefficients of all species by the run's method, with the entry of
    /// water replaced by the activity of water of the run's water method.
    static pt_rxn_DH *ionic_strength_correction_driver(const sim_ctrl *ctrl, const sim_model *model,
                                                       const pt_rxn_C *conc,
                                                       const pt_rxn_DHref *ref);

    /// gamma = 1 for every species.
    static pt_rxn_DH *activityCoef_ideal(int n, const std::vector<pt_solute> &sp,
                                         const pt_rxn_C *conc);
    /// B-dot (Helgeson 1969): log g = -A z^2 sqrt(I) / (1 + B a sqrt(I)) + Bdot I.
    static pt_rxn_DH *activityCoef_bdot(int n, const std::vector<pt_solute> &sp, double T,
                                        const pt_rxn_C *conc, const pt_rxn_DHref *ref);
    /// Davies: log g = -A z^2 (sqrt(I) / (1 + sqrt(I)) - 0.3 I).
    static pt_rxn_DH *activityCoef_Davies(int n, const std::vector<pt_solute> &sp, double T,
                                          const pt_rxn_C *conc, const pt_rxn_DHref *ref);
    /// Debye-Hueckel limiting law: log g = -A z^2 sqrt(I).
    static pt_rxn_DH *activityCoef_DH(int n, const std::vector<pt_solute> &sp, double T,
                                      const pt_rxn_C *conc, const pt_rxn_DHref *ref);
    /// Extended Debye-Hueckel: log g = -A z^2 sqrt(I) / (1 + B a sqrt(I)).
    static pt_rxn_DH *activityCoef_DHext(int n, const std::vector<pt_solute> &sp, double T,
                                         const pt_rxn_C *conc, const pt_rxn_DHref *ref);
    /// Activity of water as its mole fraction among water and all solutes.
    static double activityCoefWater_moleFraction(int n, const std::vector<pt_solute> &sp,
                                                 const pt_rxn_C *conc);
    /// log10 activity of water consistent with the B-dot model (its osmotic
    /// coefficient, as EQ3/6 computes it); iw is the water species.
    static double activityCoefWater_bdot(int n, const std::vector<pt_solute> &sp, int iw, double T,
                                         const pt_rxn_C *conc, const pt_rxn_DH *dh);
};
