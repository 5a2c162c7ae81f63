#pragma once

#include "data0_records.h"

#include <QString>
#include <QStringList>

#include <functional>

/// Rows written per table of a reference database (and what was skipped).
struct dbparse_counts
{
    int info = 0; ///< INFO rows
    int bdot = 0; ///< Debye-Huckel rows, one per grid temperature
    int elements = 0; ///< elements
    int solutes = 0; ///< basis, aux and aqueous species together
    int basis = 0; ///< basis species among the solutes
    int aux = 0; ///< auxiliary basis species among the solutes
    int aqueous = 0; ///< aqueous species among the solutes
    int solids = 0; ///< solids
    int liquids = 0; ///< liquids
    int gases = 0; ///< gases
    int reactions = 0; ///< reactions (aux, aqueous, solid, liquid, gas)
    int comp_elements = 0; ///< element composition rows of all species
    int rxn_stoich = 0; ///< stoichiometry rows of all reactions
    int eqk = 0; ///< log K polynomial terms of all reactions
    int thermodata = 0; ///< formation data rows
    int solidSolutions = 0; ///< solid solutions of the source, not written

    /// One line per table, "name  count", for display.
    QStringList summary() const;
};

/// Writes the reference database (SQLite) for a data0 file read by `data0_reader`:
/// fits every reaction's log K and the Debye-Huckel parameters as polynomials in T and
/// stores species, compositions, reactions and polynomial terms. The database is built
/// in a temporary file beside the target, in one transaction, and renamed over the
/// target only when complete: on any failure the target is left as it was.
class dbparse_writer
{
public:
    /// Called with the share of the work done, 0 to 100.
    using progress_fn = std::function<void(int percent)>;

    /// Writes `data` to `target`; 0 on success, 1 on failure with `messages` filled.
    int write(const data0_file &data, const QString &target, dbparse_counts *counts,
              QStringList *messages, const progress_fn &progress = {});
};

/// Reads the data0 file `source` and writes its reference database to `target`:
/// 0 on success, 1 when the source is refused or the target cannot be written (the
/// target then stays unchanged). The target may not be the source itself.
int dbparse_convert(const QString &source, const QString &target, dbparse_counts *counts,
                    QStringList *messages, const dbparse_writer::progress_fn &progress = {});
