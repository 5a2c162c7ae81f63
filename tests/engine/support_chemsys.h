#pragma once

// Test-side builder of a chemical system and a water from the EQ3/6 data0 file,
// the way the setup workspace assembles one: the elements, their basis species,
// the aqueous and auxiliary reactions whose species the elements cover (redox
// species only for the elements asked), and the gas reactions asked for.

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

struct sim_data;
struct one_water;

struct chemsys_request {
    QStringList elements;        ///< elements besides H and O
    QStringList redoxElements;   ///< elements whose redox species take part (adds O2(g))
    QStringList gases;           ///< gas reactions to include
    double TC = 25.0;            ///< temperature, degrees C
};

/// Loads data0 once; false (with a message) when it cannot be read.
bool chemsys_loadData0(QString *message);

/// A new chemical system; the caller owns it (records are registered with own()).
sim_data *chemsys_build(const chemsys_request &req);

/// A new water for the system: element totals (molal), temperature, B-dot model.
/// pH < 0 means charge balance on H. fO2 <= 0 means no O2(g) condition.
/// The sim_data owns the water (it is appended to its waters).
one_water *chemsys_water(sim_data *sd, const QMap<QString, double> &totals, double TC,
                         double pH, double fO2);

/// A reference case of the independent code, read from its JSON file.
QJsonObject chemsys_readCase(const QString &name);
