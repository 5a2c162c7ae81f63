#pragma once

// Small hand-made chemical systems for engine tests that need full control over
// every species and log K, without the reference database.

#include <QList>
#include <QPair>
#include <QString>

struct sim_data;
struct one_solute;
struct one_rxn;

/// (name, count) pairs: the elements of a solute or the species of a reaction.
using toy_parts = QList<QPair<QString, double>>;

/// Starts a system: fixed names of H, O, H+, H2O and O2(g), the default control
/// parameters (31 iterations, convergence 1e-6, limits 1e-36 and 35) and the
/// elements with their molecular weights (g/mol), in the order given.
void toy_begin(sim_data *sd, const toy_parts &elements);

/// Adds a solute: charge z, ion size a (angstrom), molecular weight mw (g/mol).
one_solute *toy_solute(sim_data *sd, const QString &name, double z, double a, double mw,
                       const toy_parts &elements);

/// A reaction owned by `sd` (not listed): log K = sum of coeff[i] * T^quotient[i].
one_rxn *toy_reaction(sim_data *sd, const QString &name, int type, const toy_parts &species,
                      const QList<double> &coeff, const QList<double> &quotient);
