#pragma once

// Batches with a speciation result for the results viewer and export tests, and
// a reader of the delimited files the export writes.

#include "test_csv.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class sbatch;

/// Seawater of the reference case swmaj (its totals, pH 8.22, B-dot) at `TC` in a
/// batch built from the reference database with every solid reaction whose
/// species the system holds, speciated by the engine, its result stored in the
/// water and its mineral list filled as the workspace does. Null with a message
/// when the database cannot be loaded or the run fails.
std::unique_ptr<sbatch> seawaterBatch(double TC, QString *message);
