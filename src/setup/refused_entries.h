#pragma once

// The entries the user typed on a water's pages and the program refused.

#include <QList>
#include <QString>

struct one_water;

/// A text the user typed on the water pages that the program refused. It stands
/// for a number only on the water and under the meaning it was typed for: shown on
/// another water, or under another H form or unit, it would be read as a number the
/// user never meant.
struct refused_entry
{
    const one_water *water = nullptr; ///< link: the water record it was typed for
    QString place; ///< a composition row's key ("Ca", "H+", "O2(g)") or a field's object name
    QString meaning; ///< what a number typed there stands for (H form and unit, a unit, "off")
    QString text; ///< the text as typed
    QString line; ///< the line that tells why it is refused ("##  Ca amount [ 1,5 ] refused: ...")
    QString told; ///< the text last told to the message pane
};

/// The refused entries of the water pages, one a place. The pages show them again
/// from here whenever they are rebuilt or a choice changes what a place means, and
/// the line under Run and the Run button ask here whether an entry is refused.
class refused_entries
{
public:
    /// Records `entry` as the newest, in place of the one of its water and place.
    void keep(const refused_entry &entry);
    /// Forgets the entry of `water` at `place`.
    void drop(const one_water *water, const QString &place);
    /// The entry of `water` at `place`, or null.
    refused_entry *find(const one_water *water, const QString &place);
    /// The entries of `water`, the one typed in last at the end.
    QList<refused_entry> of(const one_water *water) const;
    /// Forgets the entries of every water but `water`.
    void keepOnly(const one_water *water);
    /// Forgets every entry.
    void clear() { entries.clear(); }

private:
    QList<refused_entry> entries;
};
