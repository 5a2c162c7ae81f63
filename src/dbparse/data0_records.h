#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// Species kinds of a data0 file, numbered as the program's species types
/// (element 0, basis 1, aux 2, aqueous 3, solid 4, liquid 5, gas 6).
enum data0_kind { d0_element = 0, d0_basis, d0_aux, d0_aqueous, d0_solid, d0_liquid, d0_gas };

/// Number of temperatures of the log K grid of a 1996 data0 file.
constexpr int data0_gridSize = 8;

/// One "coefficient name" entry of a composition or a reaction.
struct data0_entry
{
    double stoich = 0.0; ///< coefficient (negative on the left of a reaction)
    QString name; ///< element symbol or species name
    int line = 0; ///< line of the file that holds the entry (1-based)
};

/// One species block of a data0 file (basis, aux, aqueous, solid, liquid or gas).
struct data0_species
{
    QString name; ///< species name, first word of the block
    QString formula; ///< formula written after the name, or the name when none
    int kind = d0_aqueous; ///< section the block stands in (`data0_kind`)
    QString revised; ///< "revised" date text of the block
    double mol_wt = 0.0; ///< molecular weight, g/mol
    double DHazero = 0.0; ///< ion-size parameter, angstrom
    int charge = 0; ///< electric charge
    double molar_volume = 0.0; ///< V0PrTr, cm3/mol (solids, liquids, gases)
    QList<data0_entry> elements; ///< element composition
    QList<data0_entry> reaction; ///< dissociation reaction, the species itself first
    double logK[data0_gridSize] = {}; ///< log K on the temperature grid
    bool valid[data0_gridSize] = {}; ///< false where the grid holds the no-data marker
    bool hasGrid = false; ///< a log K grid was read
    int line = 0; ///< line of the name (1-based)
};

/// One element of the elements section.
struct data0_element
{
    QString name; ///< element symbol
    double mol_wt = 0.0; ///< atomic weight, g/mol
};

/// One line of the "bdot parameters" section.
struct data0_bdotParam
{
    QString name; ///< species name
    double azero = 0.0; ///< ion-size parameter, angstrom
    int ionType = 0; ///< neutral ion type flag
};

/// Everything the program takes from one data0 file.
struct data0_file
{
    QString source; ///< file name of the source
    QString header; ///< first line, e.g. "data0.com.V8.R6"
    QString format; ///< format tag derived from the header, e.g. "DATA.COM.V8.R6"
    QStringList description; ///< the header lines that follow the first one
    QList<double> tempLimits; ///< lowest and highest temperature, degC
    QList<double> temperatures; ///< temperature grid, degC (8 values)
    QList<double> pressures; ///< pressure on the grid, bar
    QList<double> adh; ///< Debye-Huckel A on the grid
    QList<double> bdh; ///< Debye-Huckel B on the grid
    QList<double> bdot; ///< B-dot on the grid
    QList<double> cco2; ///< coefficients of the CO2 activity polynomial
    QList<double> ehLogK; ///< log K of the Eh reaction on the grid
    QList<data0_bdotParam> bdotParams; ///< the "bdot parameters" section
    QList<data0_element> elements; ///< the elements section, in file order
    QList<data0_species> species; ///< every species block, in file order
    int nSolidSolutions = 0; ///< solid-solution blocks skipped
};
