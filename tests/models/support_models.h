#pragma once

// The two waters of the reference mixing case (a seawater and a J-13 water) in a
// batch built from the reference database with every solid reaction its species
// cover, both speciated and their results completed. The waters take the case's
// totals as they stand (Cl as the other code balanced it) and its pH, so both codes
// mix the same waters; what charge this engine finds in them is mixed with them.

#include <QJsonObject>
#include <QString>

#include <memory>

class sbatch;

/// The batch (waters "seawater-lite" and "J13-lite", densities 1, 25 C); null with
/// a message when the database cannot be loaded or a source does not converge.
std::unique_ptr<sbatch> referenceSourcesBatch(QString *message);

/// The reference mixing case as read from its JSON file (empty when absent).
QJsonObject mixingReference();
