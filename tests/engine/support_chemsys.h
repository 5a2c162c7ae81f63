#pragma once

// Test-side builder of a chemical system and a water from the loaded reference
// database, the way the setup workspace assembles one: the database's working
// lists for the control set's redox and organic switches, then the elements
// asked for, their basis species, and the working reactions (with their species)
// whose elements the system covers, and the gas reactions asked for. The records
// stay the database image's; the batch links them.

#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class sim0D;
struct pt_rxn_DH;
struct sim_data;
struct one_water;
struct one_water_result;
struct one_rxn;

struct chemsys_request
{
    QStringList elements; ///< elements besides H and O
    bool redox = false; ///< redox species and the basis O2(g) take part
    bool organic = false; ///< organic species take part too (only with redox)
    QStringList gases; ///< gas reactions to include
    double TC = 25.0; ///< temperature, degrees C (with onlyTabulated)
    /// Only the reactions whose log K data reach TC (25 C-only constants below 100 C),
    /// chosen here by the builder itself rather than by the engine at run time.
    bool onlyTabulated = false;
    double csolvcmin = 1e-36; ///< the control set's lowest concentration, molal
};

/// Loads the reference database once per program (from a temporary copy of the
/// compiled-in or generated file); false with a message when it cannot.
bool chemsys_loadDatabase(QString *message);

/// A new chemical system; the caller owns it. Its species and reactions link the
/// loaded database's records, which live until the program ends.
sim_data *chemsys_build(const chemsys_request &req);

/// A new water for the system: element totals (molal), temperature, B-dot model.
/// pH < 0 means charge balance on H. fO2 <= 0 means no O2(g) condition.
/// The sim_data owns the water (it is appended to its waters).
/// `like`, when given, is an earlier water of the same system whose species lists
/// are taken instead of being looked up again.
one_water *chemsys_water(sim_data *sd, const QMap<QString, double> &totals, double TC, double pH,
                         double fO2, const one_water *like = nullptr);

/// Replaces the water's amount of `element` by the equilibrium with a solid (type 4)
/// or a gas (type 6) of the database; a gas takes `fugacity` (bar). False when the
/// database has no such reaction.
bool chemsys_swap(one_water *w, const QString &element, const QString &reaction, int type,
                  double fugacity = 0.0);

/// The database's reaction of that name and type (4 solid, 6 gas); null when none.
const one_rxn *chemsys_reaction(const QString &name, int type);

/// Charge balance on the amount of `element` (its basis ion closes the balance).
void chemsys_chargeBalance(one_water *w, const QString &element);

/// The batch's aqueous and gas reactions the engine leaves out at TC.
QSet<const one_rxn *> chemsys_leftOut(const sim_data *sd, double TC);

/// Checks a converged result against the equations it claims, computed from the
/// chemical system itself: mass action of every reaction (the swaps included),
/// each element total that is given, pH when it is given, the charge balance when it
/// is on, every value finite. Empty when all hold within `tolerance` (ln units).
/// `worst`, when given, receives the largest residual met (ln units).
/// `leftOut`, when given, holds the reactions the engine leaves out at the water's
/// temperature (else they are worked out here).
QString chemsys_checkResult(const sim_data *sd, const one_water *w, const one_water_result *r,
                            double tolerance, double *worst = nullptr,
                            const QSet<const one_rxn *> *leftOut = nullptr);

/// A reference case of the independent code, read from its JSON file.
QJsonObject chemsys_readCase(const QString &name);

/// How far the reduced Newton step of a model's current state is from the full
/// system's step, for activity corrections `dh`: the largest |reduced - full| over
/// (1 + largest |full|), and where it lies. `ok` is false when an assembly or a
/// solve fails.
struct chemsys_stepMismatch
{
    bool ok = false;
    double worst = 0.0; ///< relative difference
    int species = -1; ///< index of the species where it lies
    double reduced = 0.0; ///< its reduced-step entry
    double full = 0.0; ///< its full-step entry
};
chemsys_stepMismatch chemsys_compareSteps(sim0D &model, pt_rxn_DH *dh);
