#pragma once

// Mixing and titration of two speciated waters, apart from any window.
//
// Element totals mix conservatively by mass: a water's mass is its volume percent
// times its density, and the mixture holds the mass-weighted mean of the totals
// (mol/kg water) of the sources' results. The pH of the mixture is never an average:
// it is the pH at which the mixture, speciated at that fixed pH, carries the
// mass-weighted net charge of its sources. With the other totals fixed this keeps
// total hydrogen, as a mixing of solutions in a reaction-path code does.

#include <QList>
#include <QString>
#include <QStringList>

class sbatch;
struct one_water;
struct one_water_result;

namespace mix_calc {

/// Width of the pH bracket at which the bisection of a mixture stops.
inline constexpr double pHWidth = 1e-7;
/// Distance from the target pH at which a titration stops.
inline constexpr double titrationTolerance = 1e-3;

/// Two waters in given volume percents, mixed at a temperature.
struct mixture
{
    QString name1; ///< first water
    QString name2; ///< second water
    double percent1 = 0.0; ///< volume percent of the first water
    double percent2 = 0.0; ///< volume percent of the second water
    double x1 = 0.0; ///< mass fraction of the first water
    double x2 = 0.0; ///< mass fraction of the second water
    double densitymass = 0.0; ///< density of the mixture, g/cm3
    double TC = 0.0; ///< temperature of the mixture, degrees C
    QStringList elements; ///< elements with a mixed total (H and O not among them)
    QList<double> molal; ///< mixed totals, mol/kg water, in step with `elements`
    double charge = 0.0; ///< net charge the mixture carries, eq/kg water
    double pHlow = 0.0; ///< lower of the sources' pH
    double pHhigh = 0.0; ///< higher of the sources' pH
};

/// The mass-weighted mean temperature of two waters, degrees C.
double mean_TC(const one_water *w1, const one_water *w2, double percent1, double percent2);

/// Mixes `percent1` volume percent of `w1` with `percent2` of `w2` at `TC` (degrees C;
/// NaN takes the mass-weighted mean). 0, or 1 with the reasons in `msgs` when a water
/// has no converged result, a result lacks an element of the system, the percents
/// are not two non-negative numbers adding up to 100 or the temperature is outside
/// the range of a run.
int mix(sbatch *b, const one_water *w1, const one_water *w2, double percent1, double percent2,
        double TC, mixture *m, QStringList *msgs);

/// Makes `model` (a copy of the first water) hold the mixture: one total per element
/// of the system (no swaps; H given as a pH), the temperature and density of the
/// mixture, no charge-balance or alkalinity condition. The O2(g) condition of the
/// copy stays as it was.
void prepare_model(sbatch *b, one_water *model, const mixture &m);

/// Gives `model` hydrogen as the pH `pH` (activity scale).
void set_pH(sbatch *b, one_water *model, double pH);

/// The outcome of a speciation of a model water.
struct speciation
{
    double pH = 0.0; ///< pH found (activity scale)
    int trials = 0; ///< engine runs made
    QStringList messages; ///< why it failed, with the engine's messages
};

/// Finds by bisection the pH at which `model` (prepared with prepare_model) carries
/// the mixture's net charge, every trial converged. 0 with `model` holding the pH
/// found and its completed result, or 1 with the messages and no result.
int speciate(sbatch *b, one_water *model, const mixture &m, speciation *out);

/// What a titration aims at.
struct titration
{
    bool onpH = true; ///< on pH (true) or on an element's total (false)
    double pH = 7.0; ///< target pH
    QString element; ///< element titrated on
    int unit = 0; ///< unit of `value` (global::units_concn)
    double value = 0.0; ///< target total of the element, in `unit`
    double TC = 0.0; ///< temperature, degrees C; NaN for the mass-weighted mean
};

/// Titrates `w1` with `w2`: finds the volume fraction of `w2` that reaches the target
/// (bisection on the pH of the mixture until within titrationTolerance; the closed
/// form of the mass-weighted total for an element) and speciates the mixture in
/// `model`. 0 with the mixture, the outcome and the result in `model`, or 1 with the
/// messages and no result (a target the two waters cannot reach is refused with the
/// range they reach).
int titrate(sbatch *b, const one_water *w1, const one_water *w2, const titration &t,
            one_water *model, mixture *m, speciation *out);

/// Completes a result of `model` as the workspace completes a run's: Molar and ppm
/// values, shown values, pH of the water, carbonate alkalinity and dissolved solids.
void complete_result(sbatch *b, one_water *model, one_water_result *r);

} // namespace mix_calc
