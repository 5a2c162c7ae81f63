#pragma once

#include <QString>
#include <QStringList>

/// How a small reference database written by writeFixtureDb differs from a
/// sound one.
struct fixture_options
{
    QString version = QStringLiteral("vdb.1.0.1"); ///< INFO version of the (last) row
    bool withInfo = true; ///< write table INFO
    bool withBdot = true; ///< write table bdot (with rows)
    bool withEqkRows = true; ///< fill table eqk
    QStringList dropTables; ///< tables left out entirely
    bool compTypeColumn = true; ///< comp_elements has its type column
};

/// Writes a small reference database at `path` (replacing any file there):
/// elements H O C Fe Co CO b Ca; basis H2O H+ Fe++ HCO3- O2(g); aux Fe+++ and
/// CH3COOH (aux, organic); aqueous OH- CO3-- CH4(aq) FeOH++ HCN(aq) CH3Cl(aq);
/// a reaction NoK without log K terms; solids Siderite (two reactions),
/// Hematite, Lone (no reaction); gases O2(g), CO2(g); no liquids. Returns false when it cannot be
/// written.
bool writeFixtureDb(const QString &path, const fixture_options &opt = fixture_options());
