#pragma once

// Copies of what the results viewer shows and the export dialog writes. The
// workspace replaces a water's result on every run, waters are removed, and a
// whole batch is freed when another configuration is opened, while these windows
// may stay open: they work on a copy taken when they are given the batch.

#include "result_calc.h"

#include <QList>
#include <QString>
#include <QStringList>

class sbatch;
class thermo;
struct one_water;
struct sim_data;

/// One row of a table as text, one entry per column.
using text_row = QStringList;

/// A water's speciation result with the quantities derived from it.
struct result_copy
{
    QString date; ///< date of the run, as text
    double TC = 0.0; ///< temperature, degrees C
    double density = 0.0; ///< density, g/cm3
    double pH = 0.0; ///< -log10 activity of H+
    QString pHscale; ///< the activity model the pH was computed with
    double ionicStrength = 0.0; ///< mol/kg water
    double netCharge = 0.0; ///< eq/kg water
    double alkCarb = 0.0; ///< carbonate alkalinity, eq/kg water
    double tds = 0.0; ///< total dissolved solids, mg/kg water
    double conduct = 0.0; ///< conductivity (0 when not computed)
    double dielectConst = 0.0; ///< dielectric constant (0 when not computed)
    double waterActivity = 0.0; ///< activity of water; 0 when the result has no water entry
    int loops = 0; ///< iterations used
    double cvgValue = 0.0; ///< final convergence sum
    bool converged = false; ///< the run converged
    QList<result_calc::species_value> solutes; ///< aqueous species without water, system order
    QList<result_calc::species_value> gases; ///< gases (molal holds the fugacity, atm)
    QList<text_row> elementTotals; ///< element, molal, Molar, ppm (numbers as text)
    /// Saturation of each solid reaction, in system order.
    QList<result_calc::saturation> solids;
    /// Why `solids` is empty, for the user; empty when it is not.
    QString noSolids;
};

/// One water: its conditions and composition as text, and its result.
struct water_copy
{
    int index = -1; ///< position in the batch's water list; -1 for a model water
    QString name; ///< water name
    double TC = 0.0; ///< temperature, degrees C
    QList<text_row> conditions; ///< item, value, unit
    QList<text_row> composition; ///< element, species, molal, Molar, ppm, swap reaction
    QList<text_row> gasConditions; ///< gas, fugacity (atm)
    bool hasResult = false; ///< `result` holds a result
    result_copy result; ///< the latest result
};

/// The configuration: its setup as text and every water.
struct batch_copy
{
    QList<text_row> setup; ///< item, value
    QList<text_row> elements; ///< element, basis species, molecular weight
    QList<text_row> solutes; ///< solute, charge, molecular weight
    QList<text_row> gases; ///< gas, molecular weight
    QList<text_row> reactions; ///< reaction, kind, log K at 25 C, expression
    QList<water_copy> waters; ///< the waters, in list order
};

namespace result_snapshot {

/// Numbers as the tables and files write them: 'g' with 6 digits.
QString num(double v);

/// A copy of `w` (with its result and the saturation of each solid reaction it
/// names; a water without names takes the batch's solid reactions).
water_copy copy_water(const sim_data *sd, const one_water *w, int index, thermo &th);

/// A copy of the batch: its setup and every water. Empty without a batch.
batch_copy copy_batch(const sbatch *batch, thermo &th);

} // namespace result_snapshot
