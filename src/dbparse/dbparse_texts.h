#pragma once

#include <QString>

// Texts that the reference database stores for species types, equation forms and its
// version; they must equal the program's own text forms, which the loader converts back.
namespace dbparse_texts {

/// Version code written into INFO; the loader compares it with the program's version.
inline QString version_database()
{
    return QStringLiteral("vdb.1.0.1");
}

/// Equation form of a log K polynomial in T (degC).
inline QString eqk_polynomial()
{
    return QStringLiteral("eqkLog10_polynom");
}

/// Species-type text of a `data0_kind`.
inline QString species_type(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("element");
    case 1:
        return QStringLiteral("basis");
    case 2:
        return QStringLiteral("aux");
    case 3:
        return QStringLiteral("aqueous");
    case 4:
        return QStringLiteral("solid");
    case 5:
        return QStringLiteral("liquid");
    case 6:
        return QStringLiteral("gas");
    default:
        return QStringLiteral("unknown_sptype");
    }
}

} // namespace dbparse_texts
