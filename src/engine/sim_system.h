#pragma once

// The chemical system of a batch prepared for speciation: everything a run needs
// that depends on the elements, species and reactions but not on the water. It is
// built once per system and shared, read-only, by every run of that system (each
// water, each mixing trial, each titration step).

#include "sim_rxn_prop.h"
#include "solver_records.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sim_system;

/// What a run leaves out of a batch at a temperature where some reactions' log K data
/// do not reach: worked out once for each set of reactions that take part, and kept
/// by the batch's system.
struct sim_left_out
{
    std::vector<char> takesPart; ///< fast reaction -> 1 when its data cover the temperature
    std::vector<int> solutes; ///< positions of the batch's solutes kept
    std::vector<int> aqueous; ///< positions of the batch's aqueous reactions kept
    std::vector<int> gasRxns; ///< positions of the batch's gas reactions kept
    std::vector<int> gases; ///< positions of the batch's gases kept
    QSet<QString> species; ///< species formed by the reactions left out
    QStringList names; ///< the reactions left out, in batch order
    QString namesText; ///< the same, joined for the run's note
    std::shared_ptr<const sim_system> system; ///< the system without them
};

struct sim_system
{
    sim_system() = default;
    sim_system(const sim_system &) = delete;
    sim_system &operator=(const sim_system &) = delete;

    int32_t nelements = 0; ///< batch elements
    int32_t nsolutes = 0; ///< working solutes (the first species)
    int32_t nspecies = 0; ///< solutes then gas species
    int32_t ngases = 0; ///< gas species, one per gas reaction
    int32_t nsolids = 0; ///< batch solids (carried)
    int32_t naqueous = 0; ///< aqueous reactions (the first fast reactions)
    int32_t nrxnsFast = 0; ///< aqueous then gas reactions
    std::vector<pt_element> elements; ///< batch elements
    std::vector<pt_solute> species; ///< solutes then gases
    std::vector<pt_solid> solids; ///< batch solids
    std::vector<pt_rxn> rxnsFast; ///< aqueous then gas reactions
    pt_rxn_DHref dhRef; ///< the batch's Debye-Hueckel polynomial coefficients
    int32_t idxH2O = -1; ///< position of the solute "H2O"; -1 when absent
    int32_t idxO2g = -1; ///< position of the solute "O2(g)"; -1 when absent
    int32_t idxHplus = -1; ///< position of the solute "H+"; -1 when absent
    int32_t idxOH = -1; ///< position of the solute "OH-"; -1 when absent
    QStringList messages; ///< what the system lacks, reported by every run of it
    QStringList speciesTexts; ///< species -> its name, as the results show it
    QStringList rxnTexts; ///< fast reaction -> its name, as the results show it
    std::vector<double> logKlow; ///< fast reaction -> lowest tabulated T, C (-inf: no table)
    std::vector<double> logKhigh; ///< fast reaction -> highest tabulated T, C (inf: no table)

    // The Newton iteration.
    std::vector<int> definingRxn; ///< species -> fast reaction defining it; -1 for basis species
    std::vector<int> releaseOrder; ///< fast reactions, each after those defining its species
    bool rxnsDefineDistinct = false; ///< every fast reaction defines a species no other does
    bool releaseOrdered = false; ///< releaseOrder puts each reaction after those it needs

    // Elimination of the mass-action rows from a Newton step.
    bool reducible = false; ///< the fast rows can be eliminated
    std::vector<int> primaryOf; ///< species -> primary position, -1 for secondary
    std::vector<int> primarySpecies; ///< primary position -> species
    std::vector<int> redTstart; ///< species s: its entries from redTstart[s] on
    std::vector<int> redTcol; ///< primary position of each entry
    std::vector<double> redTval; ///< d(dx_s)/d(dx_p) of each entry

    /// What runs leave out where the reactions marked in `takesPart` take part; null
    /// when not yet worked out.
    std::shared_ptr<const sim_left_out> leftOut(const std::vector<char> &takesPart) const;
    /// Keeps `entry` for the later runs with its set of reactions.
    void keepLeftOut(std::shared_ptr<const sim_left_out> entry) const;

    /// The fast reactions' log10 K at exactly TC; null when not yet worked out.
    std::shared_ptr<const std::vector<double>> log10KAt(double TC) const;
    /// Keeps the fast reactions' log10 K at TC for the later runs at that temperature.
    void keepLog10K(double TC, std::shared_ptr<const std::vector<double>> values) const;

    /// Where the species `names` of element `e`'s total lie among the species: the
    /// position, -1 for a name the system lacks, -2 for one the run leaves out
    /// (a gas, or a species of `leftOut`), into `found`. Worked out once for each list
    /// of names.
    void setSpecies(int e, const QStringList &names, const QSet<QString> &leftOut,
                    std::vector<int> &found) const;

    /// The species' groups of one activity coefficient (sim_rxn_prop::dh_groups_of),
    /// worked out on the first call.
    const sim_rxn_prop::dh_groups &dhGroups() const;

    /// Position of the first batch element of that name; -9 when none.
    int elementIndex(QStringView name) const;
    /// Position of the first working solute of that name; -9 when none.
    int soluteIndex(QStringView name) const;
    /// Position of the first species (solutes, then gases) of that name; -9 when none.
    int speciesIndex(QStringView name) const;
    /// As above, for a name in UTF-8.
    int speciesIndex(const std::string &name) const;

    /// Room for the names of the look-ups; called once, before any name is added.
    void reserveNames(int elementCount, int speciesCount);
    /// Adds the next batch element's name to the look-ups.
    void addElementName(const QString &name);
    /// Adds the next species' name (in UTF-16 and UTF-8) to the look-ups; `solute`
    /// for the working solutes, which come first.
    void addSpeciesName(const QString &name, const std::string &utf8, bool solute);

private:
    using name_index = std::unordered_map<std::u16string_view, int>;
    static std::u16string_view key(QStringView name);
    static int find(const name_index &index, QStringView name);

    // Names are kept as UTF-16 text so that a run looks them up without converting
    // or hashing QStrings; the views of the indexes point into these lists, which
    // are reserved once and never grow past that.
    std::vector<std::u16string> elementNames;
    std::vector<std::u16string> speciesNames;
    name_index elementByName;
    name_index soluteByName;
    name_index speciesByName;
    std::unordered_map<std::string, int> speciesByUtf8;

    // Worked out by runs of this system after it was prepared, hence mutable.
    mutable std::mutex leftOutLock;
    mutable std::vector<std::shared_ptr<const sim_left_out>> leftOuts;
    mutable std::vector<std::pair<double, std::shared_ptr<const std::vector<double>>>> log10Ks;
    mutable std::vector<std::pair<QStringList, std::vector<int>>> setSpeciesOf; ///< by element

    mutable std::once_flag dhGroupsFound;
    mutable sim_rxn_prop::dh_groups dhGroupsKept;
};
