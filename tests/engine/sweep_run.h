#pragma once

// Random waters of the J-13 element set speciated one after another, each result
// checked against the equations it claims to satisfy, and the outcomes tallied by
// region. Shared by the sweep test (a few hundred waters) and the sweep benchmark
// (ten thousand). Needs support_chemsys.

#include "global.h"
#include "poly_fit.h"
#include "records.h"
#include "sim0D.h"
#include "support_chemsys.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <vector>

/// A mineral or a gas that fixes an element's amount in place of its total.
struct sweep_constraint
{
    QString element; ///< the element whose amount it fixes
    QString phase; ///< the mineral, or "CO2(g)"
    QString kind; ///< "carbonate", "sulfate", "silica", "fluorite" or "CO2(g)"
    double fugacity = 0.0; ///< bar, for the gas
};

/// One random water.
struct sweep_water
{
    int index = 0; ///< position in the sweep; the water is a function of it
    QMap<QString, double> totals; ///< element totals, mol/kg water
    double TC = 25.0; ///< temperature, degrees C
    double pH = -1.0; ///< pH (activity scale); below 0: charge balance on H
    int activity = 4; ///< solute activity model (global::activity_type)
    int activityWater = 2; ///< water activity model (global::activityWater_type)
    double nominalI = 0.0; ///< ionic strength of the totals as free basis ions, mol/kg
    QList<sweep_constraint> constraints; ///< minerals and gases fixing amounts
    QString balance; ///< element whose ion closes the charge balance at the given pH
};

/// What became of one water.
struct sweep_outcome
{
    int rc = 1; ///< driver's return
    bool converged = false; ///< result's converged flag
    QString failure; ///< why it failed (numbers masked), empty when converged
    QStringList messages; ///< the run's messages as given
    QString fault; ///< what a converged result violates, empty when sound
    double worstResidual = 0; ///< largest |residual| of the final state, ln units
    int loops = 0; ///< Newton steps
    double ionicStrength = 0; ///< result's ionic strength, mol/kg
};

/// Counts of waters and of converged waters per region, failures by message.
struct sweep_tally
{
    struct count
    {
        int waters = 0;
        int converged = 0;
    };
    count all;
    std::map<QString, count> byIonicStrength, bypH, byTemperature, byModel;
    /// Solute activity models, over the waters not shown to lack a state.
    std::map<QString, count> byActivityWithState;
    /// Constrained waters not shown to lack a state: by the kind of each constraint,
    /// by their number, by the charge balance.
    std::map<QString, count> byConstraint, byConstraintCount, byBalance;
    std::map<QString, int> failures; ///< failure text -> waters
    int faults = 0; ///< converged results that violate their equations
    int noState = 0; ///< waters the engine showed to have no equilibrium state
    double worstConvergedResidual = 0.0;
    QStringList faultExamples; ///< first few faulty converged results
    std::map<QString, QStringList> failureExamples; ///< failure text -> first few waters
    std::vector<int> failedWaters; ///< indices of the waters that did not converge
    std::vector<int> loops; ///< Newton steps of each converged water

    void add(const sweep_water &w, const sweep_outcome &o);
    /// The tally as text lines, for the log or the console.
    QStringList report() const;
};

class sweep_runner
{
public:
    /// The elements of the J-13 well water besides H and O.
    static QStringList elements()
    {
        return {"Al", "B",  "C", "Ca", "Cl", "F", "Fe", "K", "Li",
                "Mg", "Mn", "N", "Na", "P",  "S", "Si", "Sr"};
    }

    explicit sweep_runner(std::uint64_t seed)
        : seed(seed)
    { }

    /// Loads the data once; false with a message when it cannot.
    bool init(QString *message) { return chemsys_loadDatabase(message); }

    /// The water at position `index`: totals log-uniform in 1e-8 .. 0.5 molal, pH
    /// uniform in 2 .. 12 or charge balance (one in two), temperature uniform in
    /// 1 .. 300 degrees C, and the activity models taken in turn.
    sweep_water make(int index) const;

    /// Speciates the water and checks a converged result.
    sweep_outcome run(const sweep_water &w);

    /// The constrained twin of the water at `index`: one to three minerals or CO2(g)
    /// fix amounts of elements it holds, with or without a charge balance on a
    /// cation or an anion. The choice keeps a state within reach: the plain water is
    /// speciated first, and only a mineral it is saturated with, a CO2(g) fugacity at
    /// most its own, and a balancing ion of the sign in excess whose amount alone
    /// exceeds the excess are taken, so that each fixed amount lies between none and
    /// the plain water's. False when the plain water has no converged state.
    bool makeConstrained(int index, sweep_water *w);

    /// A water as one line, for examples.
    static QString describe(const sweep_water &w);

    /// Newton iteration limit of the runs; 0 keeps the default control set's.
    int iterationLimit = 0;
    /// Lowest concentration of the runs, molal; 0 keeps the default control set's.
    double concentrationFloor = 0.0;

    /// Largest residual a converged result may keep, ln units: the engine's row
    /// tolerance for the default convergence limit.
    static constexpr double tolerance = 1e-4;

private:
    /// What a system of the sweep keeps from one water to the next.
    struct system_parts
    {
        std::unique_ptr<sim_data> sd;
        const one_water *like = nullptr; ///< its first water (owned by sd), for the species lists
        QSet<const one_rxn *> leftOut; ///< reactions the engine leaves out in its stretch
    };
    system_parts &systemFor(double TC, bool withCO2gas = true);

    std::uint64_t seed;
    std::map<int, system_parts> systems; ///< per stretch of the log K grid
};

// ---------------------------------------------------------------------------

namespace sweep_detail {

/// Charge of each element's basis ion, for the nominal ionic strength.
inline double basisCharge(const QString &element)
{
    static const QHash<QString, double> z
        = {{"Al", 3}, {"B", 0},  {"C", -1}, {"Ca", 2}, {"Cl", -1}, {"F", -1},
           {"Fe", 2}, {"K", 1},  {"Li", 1}, {"Mg", 2}, {"Mn", 2},  {"N", -1},
           {"Na", 1}, {"P", -2}, {"S", -2}, {"Si", 0}, {"Sr", 2}};
    return z.value(element);
}

/// The grid temperatures of the log K tables; the species whose data cover a
/// temperature change only at these points.
inline int stretchOf(double TC)
{
    static const double grid[] = {0.01, 25.0, 60.0, 100.0, 150.0, 200.0, 250.0, 300.0};
    for (int i = 0; i < 8; ++i)
        if (TC == grid[i])
            return 100 + i; // exactly on a grid point
    int k = 0;
    while (k < 7 && TC > grid[k + 1])
        ++k;
    return k;
}

inline QString maskNumbers(QString text)
{
    static const QRegularExpression number(QStringLiteral("[-+]?\\d+(\\.\\d+)?([eE][-+]?\\d+)?"));
    return text.replace(number, QStringLiteral("#"));
}

inline QString band(double v, const std::vector<double> &edges, const char *unit)
{
    for (size_t i = 0; i + 1 < edges.size(); ++i)
        if (v < edges[i + 1])
            return QStringLiteral("%1 .. %2 %3").arg(edges[i]).arg(edges[i + 1]).arg(unit);
    return QStringLiteral(">= %1 %2").arg(edges.back()).arg(unit);
}

} // namespace sweep_detail

inline sweep_water sweep_runner::make(int index) const
{
    std::mt19937_64 rng(seed ^ (0x9e3779b97f4a7c15ULL * std::uint64_t(index + 1)));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    sweep_water w;
    w.index = index;
    const double lo = std::log(1e-8), hi = std::log(0.5);
    for (const QString &e : elements()) {
        const double m = std::exp(lo + (hi - lo) * unit(rng));
        w.totals.insert(e, m);
        const double z = sweep_detail::basisCharge(e);
        w.nominalI += 0.5 * m * z * z;
    }
    w.TC = global::TCmin_water + (global::TCmax_water - global::TCmin_water) * unit(rng);
    w.pH = unit(rng) < 0.5 ? -1.0 : 2.0 + 10.0 * unit(rng);
    w.activity = index % 5;
    w.activityWater = (index / 5) % 3;
    return w;
}

inline sweep_runner::system_parts &sweep_runner::systemFor(double TC, bool withCO2gas)
{
    // A gas that fixes an amount stands at its fugacity: no gas species of its own.
    const int key = 2 * sweep_detail::stretchOf(TC) + (withCO2gas ? 0 : 1);
    auto it = systems.find(key);
    if (it != systems.end())
        return it->second;
    chemsys_request req;
    req.elements = elements();
    if (withCO2gas)
        req.gases << "CO2(g)";
    req.TC = TC;
    if (concentrationFloor > 0.0)
        req.csolvcmin = concentrationFloor;
    sim_data *sd = chemsys_build(req);
    if (iterationLimit > 0)
        sd->ctrlset->csolvitmax = iterationLimit;
    system_parts &parts = systems[key];
    parts.sd.reset(sd);
    one_water *first = chemsys_water(sd, {}, TC, 7.0, 0.0);
    sd->waters.removeOne(first); // kept, owned by sd
    sd->nwaters = int(sd->waters.size());
    parts.like = first;
    parts.leftOut = chemsys_leftOut(sd, TC);
    return parts;
}

inline QString sweep_runner::describe(const sweep_water &w)
{
    QStringList fixed;
    for (const sweep_constraint &c : w.constraints)
        fixed << (c.fugacity > 0.0 ? QStringLiteral("%1 by %2 at %3 bar")
                                         .arg(c.element, c.phase)
                                         .arg(c.fugacity, 0, 'g', 3)
                                   : QStringLiteral("%1 by %2").arg(c.element, c.phase));
    if (!w.balance.isEmpty())
        fixed << QStringLiteral("balance on %1").arg(w.balance);
    QStringList totals;
    for (auto it = w.totals.begin(); it != w.totals.end(); ++it)
        totals << QStringLiteral("%1 %2").arg(it.key()).arg(it.value(), 0, 'g', 3);
    return QStringLiteral("#%1 T %2 C, %3, activity %4/%5, nominal I %6; %7")
               .arg(w.index)
               .arg(w.TC, 0, 'f', 2)
               .arg(w.pH < 0 ? QStringLiteral("charge balance")
                             : QStringLiteral("pH %1").arg(w.pH, 0, 'f', 2))
               .arg(w.activity)
               .arg(w.activityWater)
               .arg(w.nominalI, 0, 'g', 3)
               .arg(totals.join(", "))
        + (fixed.isEmpty() ? QString() : QStringLiteral("; ") + fixed.join(", "));
}

inline sweep_outcome sweep_runner::run(const sweep_water &w)
{
    bool gasFixed = false;
    for (const sweep_constraint &c : w.constraints)
        gasFixed = gasFixed || c.fugacity > 0.0;
    system_parts &parts = systemFor(w.TC, !gasFixed);
    sim_data *sd = parts.sd.get();
    one_water *water = chemsys_water(sd, w.totals, w.TC, w.pH, 0.0, parts.like);
    water->activitymethod = w.activity;
    water->activitywater = w.activityWater;
    for (const sweep_constraint &c : w.constraints)
        chemsys_swap(water, c.element, c.phase, c.fugacity > 0.0 ? 6 : 4, c.fugacity);
    if (!w.balance.isEmpty())
        chemsys_chargeBalance(water, w.balance);

    sweep_outcome o;
    sim0D model;
    o.rc = model.driver(sd, water);
    const QStringList errors = *model.listErrorMsgs();
    o.messages = errors;
    std::unique_ptr<one_water_result> result(model.results());
    o.converged = result->converged;
    o.loops = result->loops;
    o.ionicStrength = result->ionicstrength;
    if (o.converged) {
        o.fault = chemsys_checkResult(sd, water, result.get(), tolerance, &o.worstResidual,
                                      &parts.leftOut);
        if (!(result->cvgValue < sd->ctrlset->csolvcvg)) // the value a user is shown
            o.fault += QStringLiteral("converged, yet the convergence value is %1; ")
                           .arg(result->cvgValue);
        if (o.rc != 0 || !errors.isEmpty())
            o.fault += QStringLiteral("converged, yet the driver returned %1 with %2 messages; ")
                           .arg(o.rc)
                           .arg(errors.size());
    } else if (o.rc == 0) {
        o.fault = QStringLiteral("not converged, yet the driver returned 0; ");
    } else if (!errors.isEmpty()) {
        // Group by the iteration count's message (else the first), numbers masked;
        // the reasons the engine gives beside it, which it puts first, by presence
        // (species names of the floor line would split every group).
        const auto has = [&errors](const char *text) {
            return std::any_of(errors.begin(), errors.end(), [text](const QString &e) {
                return e.contains(QLatin1String(text));
            });
        };
        const auto count = std::find_if(errors.begin(), errors.end(), [](const QString &e) {
            return e.contains(QLatin1String("no convergence after"));
        });
        o.failure = sweep_detail::maskNumbers(count != errors.end() ? *count : errors.first());
        if (errors.size() > 1 && has("concentration floor"))
            o.failure += QStringLiteral(" + species held at the concentration floor");
        if (errors.size() > 1 && has("probably no equilibrium"))
            o.failure += QStringLiteral(" + probably no equilibrium state");
        if (errors.size() > 1 && has("cannot be met"))
            o.failure += QStringLiteral(" + the charge balance cannot be met");
    } else {
        o.fault = QStringLiteral("failed without a message; ");
    }

    sd->waters.removeOne(water);
    sd->nwaters = int(sd->waters.size());
    sd->disown(water);
    delete water;
    return o;
}

namespace sweep_detail {

/// The minerals and the gas a constrained water may take, with the element each fixes.
struct phase_choice
{
    const char *phase;
    const char *element;
    const char *kind;
};
inline const std::vector<phase_choice> &phaseChoices()
{
    static const std::vector<phase_choice> all
        = {{"Calcite", "Ca", "carbonate"},       {"Dolomite", "Mg", "carbonate"},
           {"Magnesite", "Mg", "carbonate"},     {"Siderite", "Fe", "carbonate"},
           {"Rhodochrosite", "Mn", "carbonate"}, {"Strontianite", "Sr", "carbonate"},
           {"Gypsum", "Ca", "sulfate"},          {"Anhydrite", "Ca", "sulfate"},
           {"Celestite", "Sr", "sulfate"},       {"Quartz", "Si", "silica"},
           {"Chalcedony", "Si", "silica"},       {"SiO2(am)", "Si", "silica"},
           {"Fluorite", "F", "fluorite"},        {"CO2(g)", "C", "CO2(g)"}};
    return all;
}

/// ln(Q/K) of a mineral's reaction at a result's activities; NaN when a species
/// of it is missing from the result or its log K data do not reach TC.
inline double saturation(const one_rxn *rx, const QHash<QString, double> &lnA, double TC)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (rx == nullptr || rx->composition == nullptr || rx->eqk == nullptr
        || !sim0D::logKCovers(rx, TC))
        return nan;
    double lnQ = 0.0, own = 0.0;
    for (int k = 0; k < rx->composition->solute.size(); ++k) {
        const QString &name = rx->composition->solute.at(k);
        const double nu = rx->composition->stoich.at(k);
        if (name == rx->name) {
            own = nu;
            continue;
        }
        if (!lnA.contains(name))
            return nan;
        lnQ += nu * lnA.value(name);
    }
    const double lnK = poly_fit::evaluate(rx->eqk->coeff, TC) * 2.3025851;
    // Written as the mineral's dissolution when it stands with -1.
    return own < 0.0 ? lnQ - lnK : lnK - lnQ;
}

} // namespace sweep_detail

inline bool sweep_runner::makeConstrained(int index, sweep_water *w)
{
    *w = make(index);
    std::mt19937_64 rng(seed ^ (0xc2b2ae3d27d4eb4fULL * std::uint64_t(index + 1)));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // The plain water's state (its CO2(g) a species, so its fugacity is known).
    system_parts &parts = systemFor(w->TC, true);
    sim_data *sd = parts.sd.get();
    one_water *water = chemsys_water(sd, w->totals, w->TC, w->pH, 0.0, parts.like);
    water->activitymethod = w->activity;
    water->activitywater = w->activityWater;
    sim0D model;
    const int rc = model.driver(sd, water);
    std::unique_ptr<one_water_result> result(model.results());
    sd->waters.removeOne(water);
    sd->nwaters = int(sd->waters.size());
    sd->disown(water);
    delete water;
    if (rc != 0 || !result->converged)
        return false;
    QHash<QString, double> lnA, molal;
    for (const one_waterResult_solute *s : std::as_const(result->soln_aq))
        if (s->cmolal > 0.0 && s->gamma > 0.0) {
            lnA.insert(s->solute, std::log(s->cmolal) + std::log(s->gamma));
            molal.insert(s->solute, s->cmolal);
        }
    double fCO2 = 0.0;
    for (const one_waterResult_solute *g : std::as_const(result->soln_gas))
        if (g->solute == QStringLiteral("CO2(g)"))
            fCO2 = g->cmolal * g->gamma;

    // One to three constraints, each on an element of its own.
    std::vector<sweep_detail::phase_choice> choices = sweep_detail::phaseChoices();
    std::shuffle(choices.begin(), choices.end(), rng);
    const int wanted = 1 + int(unit(rng) * 3.0);
    QStringList fixedElements;
    for (const sweep_detail::phase_choice &c : choices) {
        if (w->constraints.size() >= wanted || fixedElements.contains(c.element))
            continue;
        sweep_constraint sc;
        sc.element = c.element;
        sc.phase = c.phase;
        sc.kind = c.kind;
        if (sc.phase == QStringLiteral("CO2(g)")) {
            if (!(fCO2 > 1e-12))
                continue;
            sc.fugacity = fCO2 * std::pow(10.0, -2.0 * unit(rng));
        } else {
            const double si = sweep_detail::saturation(chemsys_reaction(sc.phase, 4), lnA, w->TC);
            if (!(si >= 0.0))
                continue;
        }
        fixedElements << sc.element;
        w->constraints << sc;
    }
    if (w->constraints.isEmpty())
        return false;

    // A charge balance at the given pH, on an ion of the sign in excess.
    const double pick = unit(rng);
    if (w->pH >= 0.0 && pick < 2.0 / 3.0) {
        const double excess = result->chargebalance; // eq/kg, cations minus anions
        const bool cation = excess > 0.0;
        static const QList<QPair<QString, QString>> ions
            = {{"Na", "Na+"},  {"K", "K+"},   {"Ca", "Ca++"}, {"Mg", "Mg++"}, {"Li", "Li+"},
               {"Sr", "Sr++"}, {"Cl", "Cl-"}, {"F", "F-"},    {"S", "SO4--"}, {"N", "NO3-"}};
        QList<QPair<QString, QString>> fitting;
        for (const auto &[element, ion] : ions) {
            const double z = sweep_detail::basisCharge(element);
            const double m = molal.value(ion, 0.0);
            if ((z > 0.0) == cation && !fixedElements.contains(element)
                && std::fabs(z) * m > std::fabs(excess))
                fitting << QPair<QString, QString>(element, ion);
        }
        if (!fitting.isEmpty())
            w->balance = fitting.at(int(unit(rng) * fitting.size()) % fitting.size()).first;
    }
    return true;
}

inline void sweep_tally::add(const sweep_water &w, const sweep_outcome &o)
{
    const bool ok = o.converged && o.fault.isEmpty();
    auto bump = [ok](count &c) {
        ++c.waters;
        c.converged += ok ? 1 : 0;
    };
    bump(all);
    bump(byIonicStrength[sweep_detail::band(w.nominalI, {0, 0.01, 0.1, 0.5, 1, 2, 4}, "mol/kg")]);
    bump(bypH[w.pH < 0 ? QStringLiteral("charge balance")
                       : sweep_detail::band(w.pH, {2, 4, 6, 8, 10, 12}, "")]);
    bump(byTemperature[sweep_detail::band(w.TC, {0, 25, 60, 100, 150, 200, 250, 300}, "C")]);
    static const char *const models[]
        = {"ideal", "Debye-Hueckel", "extended DH", "Davies", "B-dot"};
    static const char *const waterModels[] = {"aw 1", "aw mole fraction", "aw B-dot"};
    bump(byModel[QStringLiteral("%1, %2").arg(models[w.activity % 5],
                                              waterModels[w.activityWater % 3])]);
    const bool noStateShown = !o.converged && o.fault.isEmpty()
        && (o.failure.startsWith(QStringLiteral("#### error : no equilibrium state"))
            || o.failure.endsWith(QStringLiteral("the charge balance cannot be met")));
    if (!noStateShown)
        bump(byActivityWithState[QString::fromLatin1(models[w.activity % 5])]);
    if (!w.constraints.isEmpty() && !noStateShown) {
        QStringList kinds;
        for (const sweep_constraint &c : w.constraints)
            if (!kinds.contains(c.kind))
                kinds << c.kind;
        for (const QString &kind : kinds)
            bump(byConstraint[kind]);
        bump(byConstraintCount[QString::number(w.constraints.size())]);
        const QString on = w.balance.isEmpty()
            ? (w.pH < 0 ? QStringLiteral("on H+") : QStringLiteral("none"))
            : (sweep_detail::basisCharge(w.balance) > 0 ? QStringLiteral("on a cation")
                                                        : QStringLiteral("on an anion"));
        bump(byBalance[on]);
    }
    if (o.converged && o.fault.isEmpty()) {
        worstConvergedResidual = std::max(worstConvergedResidual, o.worstResidual);
        loops.push_back(o.loops);
    } else {
        failedWaters.push_back(w.index);
    }
    if (!o.fault.isEmpty()) {
        ++faults;
        if (faultExamples.size() < 10)
            faultExamples << sweep_runner::describe(w) + " -> " + o.fault;
    } else if (!o.converged) {
        if (noStateShown)
            ++noState;
        ++failures[o.failure];
        QStringList &examples = failureExamples[o.failure];
        if (examples.size() < 3)
            examples << sweep_runner::describe(w);
    }
}

inline QStringList sweep_tally::report() const
{
    QStringList lines;
    auto share = [](const count &c) {
        return QStringLiteral("%1 / %2 converged (%3 %)")
            .arg(c.converged)
            .arg(c.waters)
            .arg(c.waters ? 100.0 * c.converged / c.waters : 0.0, 0, 'f', 2);
    };
    lines << QStringLiteral("all waters: ") + share(all);
    lines << QStringLiteral("waters not shown to lack an equilibrium state: ")
            + share({all.waters - noState, all.converged});
    std::vector<int> sorted = loops;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty())
        lines << QStringLiteral("Newton steps of the converged waters: median %1, largest %2")
                     .arg(sorted[sorted.size() / 2])
                     .arg(sorted.back());
    lines << QStringLiteral("converged with a residual above %1 or a non-finite value: %2")
                 .arg(sweep_runner::tolerance)
                 .arg(faults);
    lines << QStringLiteral("largest residual of a converged result: %1 (ln units)")
                 .arg(worstConvergedResidual, 0, 'g', 3);
    auto section = [&](const char *title, const std::map<QString, count> &m) {
        lines << QString::fromLatin1(title);
        for (const auto &[key, c] : m)
            lines << QStringLiteral("  %1: %2").arg(key, -32).arg(share(c));
    };
    section("by nominal ionic strength (totals as free basis ions):", byIonicStrength);
    section("by pH given:", bypH);
    section("by temperature:", byTemperature);
    section("by activity model:", byModel);
    section("by solute activity model, waters not shown to lack a state:", byActivityWithState);
    if (!byConstraint.empty()) {
        lines << QStringLiteral("constrained waters not shown to lack a state:");
        section("by constraint kind (a water counts under each of its kinds):", byConstraint);
        section("by number of constraints:", byConstraintCount);
        section("by charge balance:", byBalance);
    }
    lines << QStringLiteral("failures by message, with the first waters of each:");
    for (const auto &[text, n] : failures) {
        lines << QStringLiteral("  %1  %2").arg(n, 6).arg(text);
        for (const QString &example : failureExamples.at(text))
            lines << QStringLiteral("          ") + example;
    }
    QStringList failed;
    for (int index : failedWaters)
        failed << QString::number(index);
    lines << QStringLiteral("waters that did not converge: ") + failed.join(' ');
    if (!faultExamples.isEmpty())
        lines << QStringLiteral("faulty converged results:") << faultExamples;
    return lines;
}
