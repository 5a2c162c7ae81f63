#pragma once

class sbatch;
class dbdata;
struct sim_data;
struct one_water;
struct one_water_result;

/// Water properties around a speciation run: the carbonate-alkalinity expression
/// before it, and alkalinity and total dissolved solids from its result.
class properties_water
{
public:
    properties_water() = default;

    /// Stores the batch and database used by the caller.
    void setup_properties(sbatch *b, dbdata *db);
    /// Fills the water's alkalinity expression (HCO3- 1, CO3-- or CO32- 2, OH- 1,
    /// H+ -1); 0 when every term was found, 1 otherwise.
    int setup_alkalinityEqn(sbatch *b, one_water &w);
    /// Carbonate alkalinity of a result, eq/kg water.
    double total_carbAlkalinity(one_water *w, one_water_result *r);
    /// Mass of every dissolved species except water, mg/kg water.
    double total_dissolvedSolid(sbatch *b, one_water_result *r);
    /// Completes a new result `r` of water `w` after its run: Molar (molal x density)
    /// and ppm of the element totals, the values shown, alkalinity, TDS, and the
    /// water's pH of record. The water's alkalinity expression must be set up.
    void complete_result(sbatch *b, one_water *w, one_water_result *r);
    /// Not modelled: 0.0.
    double conductivity(one_water_result *r);
    /// Not modelled: 0.0.
    double dielectricConst(one_water_result *r);

private:
    sbatch *batch = nullptr; ///< not owned
    dbdata *dbase = nullptr; ///< not owned
    sim_data *sdata = nullptr; ///< the batch's configuration at setup_properties
};
