#pragma once

#include "global.h"
#include "records.h"

#include <QList>
#include <QString>
#include <QStringList>

/// One simulation batch: the configuration being edited, reached by every window.
///
/// The batch owns its `sim_data`; records it creates and puts into the
/// sim_data's lists are registered with `sim_data::own`. Look-ups by name
/// compare lower-cased names and return the first index, or -9.
class sbatch
{
public:
    /// Creates the batch with a new zero-filled sim_data (initCode 2); the
    /// creator sets `simtype`.
    sbatch();
    ~sbatch();
    sbatch(const sbatch &) = delete;
    sbatch &operator=(const sbatch &) = delete;

    /// Resets `sd` for a new configuration: empties its species, reaction,
    /// redox and water lists and counts, gives it a default control set and
    /// the default water. Header texts, database lists and fixed names stay.
    void simData_init(sim_data *sd);
    /// A new control set with the defaults; the caller owns it.
    one_ctrlset *simData_init_ctrlset();
    /// A new default water "water-default"; the caller owns it.
    one_water *simData_init_water();
    /// A new composition entry for an element (or "O2(g)"); the caller owns it.
    one_elementComp *setup_one_elementComp(const QString &name);
    /// A new gas condition with amount 1.0 and the default fugacity; the caller owns it.
    one_gasComp *setup_one_gasComp(const QString &name);

    /// Names of the batch solutes, then gases, containing `element`
    /// (exact names); only the water for O and only the hydrogen ion for H.
    QStringList solutes_commonElem(const QString &element);
    /// Coefficients of `element` in the species of solutes_commonElem, in step with it.
    QList<double> solutes_commonElem_stoich(const QString &element);

    int find_idxBatch_element(const QString &name); ///< index in `elements`, or -9
    /// Factor from mol/kg water to mg/kg of the element `name`; 0 when it is not in the batch.
    double element_ppmFactor(const QString &name);
    int find_idxBatch_elementBasis(const QString &name); ///< element by basis species, or -9
    int find_idxBatch_solute(const QString &name); ///< index in `solutes`, or -9
    int find_idxBatch_solid(const QString &name); ///< index in `solids`, or -9
    int find_idxBatch_gas(const QString &name); ///< index in `gases`, or -9
    int find_idxBatch_solidRxn(const QString &name); ///< index in `rxnsSolid`, or -9
    int find_idxBatch_water(const QString &name); ///< index in `waters`, or -9
    int find_idxBatch_rxnRedox(const QString &name); ///< index in `rxnsRedox` by reaction name
    /// Index in the reaction list of `type` (global::data_species_type: aux and
    /// aqueous share rxnsAqueous; solid, liquid, gas), or -9.
    int find_idxBatch_rxn(const QString &name, int type);
    /// True when `name` (ignoring case) is a working solute or a gas reaction.
    bool verify_solute_inBatch(const QString &name);

    int simtype = 0; ///< kind of simulation (global::simulation_type); set by the creator
    QStringList names; ///< unused names list
    sim_data *sdata = nullptr; ///< owned: the batch's configuration
    global gl; ///< conversions and defaults
};
