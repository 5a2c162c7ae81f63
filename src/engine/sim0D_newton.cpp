// The Newton iteration of a run: the step rules, the bounds the water's amounts
// set, the convergence test with the release of held species, when the run ends,
// and the messages of a run that found no state.

#include "sim0D.h"

#include "records.h"
#include "sim_rxn_prop.h"
#include "sim_system.h"

#include <QStringList>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VEK7_X86_AVX_STATE 1
#endif

namespace {

/// A step raising any species by more than this (ln units) is scaled down to it.
const double riseLimit = 20.0;
/// A correction larger than this (ln units) is cut ...
const double stepLimit = 10.0;
/// ... to this size, keeping its sign: d / (|d| x 0.2).
const double stepCutFactor = 0.2;
/// Rows count as met below this residual (ln units), or below the convergence limit
/// when that is larger.
const double rowToleranceFloor = 1e-4;
/// Past the iteration limit a run goes on while the best residual of the last
/// progressWindow steps is below progressFactor x the best before them ...
const int progressWindow = 5;
const double progressFactor = 0.9;
/// Relative swing of the ionic strength (ln units) below which it counts as settled.
const double swingTolerance = 1e-12;
/// A state reached with coefficients this close to its own (ln units of I) may count as converged.
const double swingConverged = 1e-7;
/// Larger swings (ln units) belong to the search, not to the feedback; they are left alone.
const double swingLargest = 3.0;
/// The search of the first steps moves the ionic strength at will; only later swings
/// are the feedback's.
const int dampFrom = 10;
/// ... but never beyond this many steps in all.
const int extendedStepCap = 200;
/// The search along the ionic strength (solve_along_ionic_strength): its range,
/// mol/kg, the grid step in ln I, the bisections and the steps of one frozen solve.
const double frozenIlow = 1e-7;
const double frozenIhigh = 1e3;
const double frozenGrid = 0.5 * 2.302585092994046;
const int frozenBisections = 25;
const int frozenSteps = 100;
/// The search takes at most this many times the iteration limit in steps.
const int frozenBudget = 10;
/// The carrying over from the entered water (solve_from_entered_water) gives up when
/// its steps would have to be smaller than this part of the way.
const double continuationStrideMin = 1.0 / 256.0;
/// The search for the amounts the constraints fix (solve_for_fixed_amounts): its
/// iterations, the largest change of a ln amount in one, the difference taken for the
/// slopes, and the misses (ln units) at which the constrained rows take over.
const int amountIterations = 40;
const double amountStepLimit = 5.0;
const double amountDelta = 1e-5;
const double amountTolerance = 1e-6;
/// ... and how far (ln units) below its entered value an amount may fall, and its
/// steps: this many times the iteration limit.
const double amountFall = 46.0;
const int amountBudget = 20;
/// The search for the amount a charge balance asks for (balance_by_amount): its first,
/// smallest and largest widening steps (ln units), the largest amount it tries
/// (mol/kg), and its regula falsi iterations.
const double balanceStride = 1.0;
const double balanceStrideMin = 1.0 / 64.0;
const double balanceStrideMax = 8.0;
const double balanceAmountMax = 100.0;
const int balanceIterations = 60;
/// The amount (mol/kg) of an element fixed by a gas when the failed run gives none.
const double gasAmountGuess = 1e-3;
/// A species a reaction defines that lies below this molality (mol/kg), before and
/// after a step, carries too little of any element to shape the step: it takes the
/// molality its reaction gives at once instead of climbing or sinking a few ln units
/// a step, so how far down the concentration limit lies no longer sets the steps.
const double traceMolal = 1e-20;

const double infinity = std::numeric_limits<double>::infinity();

/// A state the equations can be checked at: every ln molality finite. A molality
/// below the smallest normal double is still a state (the result shows it as 0).
std::string toStdName(const QString &s)
{
    return s.toStdString();
}

/// Solves the k x k system J d = d (row-major J, k = d.size()) in place by elimination
/// with partial pivoting; false when J is singular.
bool solveSmall(std::vector<double> J, std::vector<double> &d)
{
    const size_t k = d.size();
    for (size_t c = 0; c < k; ++c) {
        size_t p = c;
        for (size_t r = c + 1; r < k; ++r)
            if (std::fabs(J[r * k + c]) > std::fabs(J[p * k + c]))
                p = r;
        if (!(std::fabs(J[p * k + c]) > 1e-300))
            return false;
        if (p != c) {
            for (size_t j = 0; j < k; ++j)
                std::swap(J[p * k + j], J[c * k + j]);
            std::swap(d[p], d[c]);
        }
        for (size_t r = c + 1; r < k; ++r) {
            const double f = J[r * k + c] / J[c * k + c];
            for (size_t j = c; j < k; ++j)
                J[r * k + j] -= f * J[c * k + j];
            d[r] -= f * d[c];
        }
    }
    for (size_t c = k; c-- > 0;) {
        double v = d[c];
        for (size_t j = c + 1; j < k; ++j)
            v -= J[c * k + j] * d[j];
        d[c] = v / J[c * k + c];
    }
    return std::all_of(d.begin(), d.end(), [](double v) { return std::isfinite(v); });
}

bool finiteState(const std::vector<double> &lnm)
{
    return std::all_of(lnm.begin(), lnm.end(), [](double v) { return std::isfinite(v); });
}

#ifdef VEK7_X86_AVX_STATE
__attribute__((target("avx"))) void zeroUpperHalves()
{
    _mm256_zeroupper();
}

bool cpuHasAvx()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}
#endif

QString modelName(int activitymethod)
{
    switch (activitymethod) {
    case 0:
        return QStringLiteral("ideal");
    case 1:
        return QStringLiteral("Debye-Hueckel limiting law");
    case 2:
        return QStringLiteral("extended Debye-Hueckel");
    case 3:
        return QStringLiteral("Davies");
    default:
        return QStringLiteral("B-dot");
    }
}

} // namespace

// Library code run before the iteration (Qt's string hashing among it) may leave
// the upper halves of the 256-bit vector registers in use. On many x86 processors
// every later SSE instruction then pays for merging them, and the iteration is
// made of such instructions (exp and log of libm among them): clearing the state
// before it takes a quarter off a run. Processors without AVX have no such state,
// and the instruction would fault there, hence the check.
void sim0D::clear_vector_upper_state()
{
#ifdef VEK7_X86_AVX_STATE
    static const bool avx = cpuHasAvx();
    if (avx)
        zeroUpperHalves();
#endif
}

// What the iteration needs of the chemical system besides the rows: which species a
// reaction defines (only those may be held at the concentration floor; a basis
// species held there would leave its element's balance unmet), the order in which
// held species are released, and the map that eliminates the mass-action rows from
// a step.
void sim0D::prepare_system()
{
    sim_system &s = *building;
    const int n = s.nspecies;
    const int nf = s.nrxnsFast;
    s.definingRxn.assign(n, -1);
    s.rxnsDefineDistinct = true;
    for (int i = 0; i < nf; ++i) {
        const pt_rxn &rx = s.rxnsFast[i];
        const int own = rx.ownIdx;
        if (own >= 0 && own < n && rx.stoich[own] != 0.0 && s.definingRxn[own] < 0)
            s.definingRxn[own] = i;
        else
            s.rxnsDefineDistinct = false;
    }
    s.releaseOrdered = order_fast_reactions(s.definingRxn, s.releaseOrder);
    if (!s.releaseOrdered) {
        // Reactions that define each other have no order; list order releases them.
        s.releaseOrder.resize(nf);
        for (int i = 0; i < nf; ++i)
            s.releaseOrder[i] = i;
    }
    build_reduction_map();
}

// What the iteration needs of the water: the largest molality of each species that
// the water's amounts allow, and the run's record of held species.
void sim0D::prepare_iteration()
{
    const int n = simmodel->nspecies;
    held.assign(n, 0);
    nHeld = 0;
    lnPrev.assign(n, 0.0);

    // A species never holds more of an element than the water has: the bound keeps
    // early steps from driving the ionic strength out of every real range. Only true
    // amounts bound; a set that fixes an activity, a swap, the charge balance or the
    // alkalinity says nothing about its species' amounts. H+, OH- and the gases are
    // set by pH, water and fugacities, not by an element amount.
    lnUpper.assign(n, infinity);
    const int iHplus = sys().idxHplus;
    const int iOH = sys().idxOH;
    for (int s = 0; s < simwater->nsets; ++s) {
        const pt_compset &set = simwater->compsets[s];
        if (set.swapOn || set.activityRow || !(set.molal > 0.0)
            || (water->chargebalance && s == cbSetIdx) || (water->alkSet && s == alkSetIdx))
            continue;
        const double lnTotal = std::log(set.molal);
        for (int m = 0; m < set.nsp; ++m) {
            const int j = set.spIdx[m];
            const double nu = set.stoich[m];
            if (j < 0 || j >= n || !(nu > 0.0))
                continue;
            if (simmodel->species[j].gas || j == iHplus || j == iOH)
                continue;
            lnUpper[j] = std::min(lnUpper[j], lnTotal - std::log(nu));
        }
    }
}

bool sim0D::any_swap() const
{
    return std::any_of(simwater->compsets.begin(), simwater->compsets.end(),
                       [](const pt_compset &set) { return set.swapOn; });
}

// A mineral or a gas that fixes an amount couples the ions of its reaction with no
// total to hold them, and a charge balance closed on one of them adds a second such
// row. From the common start every species formed by a reaction lies far from its
// equation (CaCl+ as abundant as Ca++ and Cl-); the first steps then read the charge
// balance through those species and drive the balancing ion up without end. Such a
// water starts with each formed species at the molality its reaction gives (activity
// coefficients of 1) from the species before it, never above the common start nor
// its bound, and never below the trace level, where the step takes over.
void sim0D::start_from_mass_action()
{
    const sim_system &s = sys();
    if (!s.releaseOrdered || !s.rxnsDefineDistinct)
        return;
    std::vector<double> &lnm = rxnC->lnmolal;
    const double lnStart = std::log(rxnC->molal.empty() ? 1.0 : rxnC->molal[0]);
    const double lnTrace = std::log(traceMolal);
    for (int i : s.releaseOrder) {
        const pt_rxn &rx = simmodel->rxnsFast[i];
        const int k = rx.ownIdx;
        if (k < 0 || s.definingRxn[k] != i)
            continue;
        double r = rx.fixedLnActivity - simmodel->results->rxnsFastRes[i].lnK;
        for (int j : rx.nonzero)
            if (j != k)
                r += rx.stoich[j] * lnm[j];
        const double v = -r / rx.stoich[k];
        if (!std::isfinite(v))
            continue;
        lnm[k] = std::max(lnTrace, std::min({v, lnStart, lnUpper[k]}));
        rxnC->molal[k] = std::exp(lnm[k]);
        rxnC->molalPrev[k] = rxnC->molal[k];
    }
}

// Species a reaction defines that lay below the trace level before the step and
// would lie there after it take their reaction's molality at the step's activity
// coefficients, in reaction order (each after the species it is formed from).
// Returns the change to the step's sum.
double sim0D::settle_trace_species(const std::vector<double> &lng)
{
    const sim_system &s = sys();
    if (!s.releaseOrdered || !s.rxnsDefineDistinct)
        return 0.0;
    const double lnTrace = std::log(traceMolal);
    if (std::none_of(lnPrev.begin(), lnPrev.end(), [lnTrace](double v) { return v < lnTrace; }))
        return 0.0; // the common state: nothing at trace level
    double *const lnm = rxnC->lnmolal.data();
    double *const m = rxnC->molal.data();
    double *const last = simmodel->dxLast;
    double change = 0.0;
    for (int i : s.releaseOrder) {
        const pt_rxn &rx = simmodel->rxnsFast[i];
        const int k = rx.ownIdx;
        if (k < 0 || s.definingRxn[k] != i || !(lnPrev[k] < lnTrace))
            continue;
        double r = rx.fixedLnActivity - simmodel->results->rxnsFastRes[i].lnK;
        for (int j : rx.nonzero)
            if (j != k)
                r += rx.stoich[j] * (lnm[j] + lng[j]);
        const double next = std::min(-r / rx.stoich[k] - lng[k], lnUpper[k]);
        if (!std::isfinite(next) || !(next < lnTrace))
            continue;
        const double d = lnPrev[k] - next;
        change += std::fabs(d) - std::fabs(last[k]);
        last[k] = d;
        lnm[k] = next;
        m[k] = std::exp(next);
        if (held[k]) {
            held[k] = 0;
            --nHeld;
        }
    }
    return change;
}

// The step rules, in order: a species that a reaction defines and that lies below the
// concentration floor is held there when the step would lower it further; a
// correction above 10 ln units is cut to 5; then no species may exceed its bound;
// last, when `lng` is given, species at trace level take their reaction's molality
// (settle_trace_species) with those activity coefficients.
// Returns the sum of the corrections taken, or NaN, with the state unchanged, when a
// correction is not finite.
double sim0D::apply_step(const std::vector<double> &dx, const std::vector<double> *lng)
{
    const int n = simmodel->nspecies;
    double *const lnm = rxnC->lnmolal.data();
    double *const m = rxnC->molal.data();
    double *const prev = rxnC->molalPrev.data();
    double *const last = simmodel->dxLast;
    const double *const upper = lnUpper.data();
    const int *const defined = sys().definingRxn.data();
    char *const hold = held.data();
    const double floor = csolvcmin;
    if (nHeld > 0)
        std::fill(held.begin(), held.end(), char(0));
    std::copy(lnm, lnm + n, lnPrev.begin());
    double sum = 0.0;
    int nh = 0;
    // A step that raises a species by more than riseLimit is scaled down as a whole.
    // Scaling keeps the step's direction, and with it the part of every row that is
    // linear in ln m (mass action, swaps, a given pH); cutting the species one by one
    // would break those rows, and an ion whose amount only the charge balance sets
    // could then climb without end.
    double rise = 0.0;
    for (int k = 0; k < n; ++k)
        rise = std::max(rise, -dx[k]);
    const double alpha = rise > riseLimit ? riseLimit / rise : 1.0;
    for (int k = 0; k < n; ++k) {
        double d = dx[k] * alpha;
        const double mk = m[k];
        prev[k] = mk;
        if (mk < floor && d > 0.0 && defined[k] >= 0 && d <= DBL_MAX) {
            d = 0.0;
            hold[k] = 1;
            ++nh;
        } else if (std::fabs(d) > stepLimit) {
            d = d / (std::fabs(d) * stepCutFactor); // an infinite d gives NaN
        }
        // ln m is the variable: it stays finite where m itself underflows to 0.
        double next = lnm[k] - d;
        if (next > upper[k]) {
            next = upper[k];
            d = lnm[k] - next;
        }
        last[k] = d;
        lnm[k] = next;
        m[k] = std::exp(next);
        sum += std::fabs(d);
    }
    nHeld = nh;
    if (std::isfinite(sum) && lng != nullptr)
        sum += settle_trace_species(*lng);
    if (!std::isfinite(sum)) { // a NaN correction reaches the sum; undo the step
        std::copy(lnPrev.begin(), lnPrev.end(), lnm);
        std::copy(prev, prev + n, m);
    }
    return sum;
}

// The largest residual of the last assembly, leaving out the mass-action rows of the
// species held in the last step and of the species formed from them: a held species
// cannot meet its row, nor can what its step would have carried along. All of them
// are released to their rows once everything else holds.
double sim0D::residual_outside_held() const
{
    if (nHeld == 0)
        return maxResidual;
    double worst = maxSetResidual;
    const std::vector<int> &definingRxn = sys().definingRxn;
    std::vector<char> &moved = heldChain;
    moved.assign(held.begin(), held.end());
    for (int i : sys().releaseOrder) {
        const pt_rxn &rx = simmodel->rxnsFast[i];
        const int own = rx.ownIdx;
        bool touched = own >= 0 && definingRxn[own] == i && moved[own];
        if (own >= 0 && definingRxn[own] == i && !touched) {
            for (int j : rx.nonzero)
                touched = touched || (j != own && moved[j]);
            moved[own] = touched ? 1 : 0;
        }
        if (!touched)
            worst = std::max(worst, std::fabs(simmodel->results->rxnsFastRes[i].residual));
    }
    return worst;
}

// Held species, and the species formed from them, take the molality their own
// reaction gives, in reaction order; then every row is checked at that state. When a
// row fails or a molality cannot be represented, the state before the release is
// restored and the iteration goes on.
bool sim0D::release_held(double rowTol)
{
    std::vector<double> &lnm = rxnC->lnmolal;
    std::vector<double> &m = rxnC->molal;
    if (nHeld == 0)
        return finiteState(lnm);

    const std::vector<double> savedLn = lnm;
    const std::vector<double> savedM = m;
    const std::vector<double> &lng = lastDH->lngamma;
    std::vector<char> moved(held);
    const std::vector<int> &definingRxn = sys().definingRxn;
    for (int i : sys().releaseOrder) {
        const pt_rxn &rx = simmodel->rxnsFast[i];
        const int s = rx.ownIdx;
        if (s < 0 || definingRxn[s] != i)
            continue;
        bool touched = moved[s] != 0;
        for (int j : rx.nonzero)
            touched = touched || (j != s && moved[j]);
        if (!touched)
            continue;
        double r = rx.fixedLnActivity - simmodel->results->rxnsFastRes[i].lnK;
        for (int j : rx.nonzero)
            if (j != s)
                r += rx.stoich[j] * (lnm[j] + lng[j]);
        lnm[s] = -r / rx.stoich[s] - lng[s];
        m[s] = std::exp(lnm[s]);
        moved[s] = 1;
    }
    bool ok = finiteState(lnm);
    if (ok) {
        pt_rxn_DH *dh
            = sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref);
        delete lastDH;
        lastDH = dh;
        ok = sim0D_spcn_jacobianMatrix(dh) == 0 && maxResidual < rowTol;
    }
    if (!ok && !std::all_of(lnm.begin(), lnm.end(), [](double v) { return std::isfinite(v); })) {
        lnm = savedLn;
        m = savedM;
    }
    return ok;
}

// With the activity coefficients taken from the last state, a fixed activity (H+ at
// a given pH, and OH- with it) makes the ionic strength feed on itself: more ions,
// smaller gamma, more molality for the same activity. Where that feedback is about as
// strong as the change it answers, the ionic strength swings up and down from step to
// step and settles slowly or never. When it swings after the first steps, by less
// than a factor of 20, this step's coefficients are those of the mean of the last two
// ionic strengths. Returns the swing (ln units) when the coefficients were replaced,
// else 0: a state counts as converged only with coefficients of its own, or so close
// to them that no row can tell.
double sim0D::damp_ionic_strength(pt_rxn_DH *dh, std::vector<double> &history) const
{
    history.push_back(dh->ionicstrength);
    const size_t k = history.size();
    if (k < size_t(dampFrom) || simctrl->activitymethod == 0)
        return 0.0;
    const double i0 = history[k - 3], i1 = history[k - 2], i2 = history[k - 1];
    if (!(i0 > 0.0 && i1 > 0.0 && i2 > 0.0) || (i2 - i1) * (i1 - i0) >= 0.0
        || std::fabs(std::log(i2 / i1)) < swingTolerance
        || std::fabs(std::log(i2 / i1)) > swingLargest)
        return 0.0;
    const double I = std::sqrt(i1 * i2);
    history.back() = I;
    solute_coefficients_at(dh, I);
    return std::fabs(std::log(i2 / i1));
}

// The solutes' activity coefficients of the run's model at ionic strength I; water
// keeps the coefficient it has.
void sim0D::solute_coefficients_at(pt_rxn_DH *dh, double I) const
{
    const double T = simwater->TC;
    for (int j = 0; j < simmodel->nspecies; ++j) {
        if (j == simctrl->idxH2O)
            continue;
        const double lg = sim_rxn_prop::log10gamma_at(simctrl->activitymethod,
                                                      simmodel->species[size_t(j)], I, T);
        dh->log10gamma[size_t(j)] = lg;
        dh->gamma[size_t(j)] = std::pow(10.0, lg);
        dh->lngamma[size_t(j)] = std::log(dh->gamma[size_t(j)]);
    }
}

// Up to the iteration limit the run goes on; past it only while it still makes
// progress, and never beyond extendedStepCap steps (or the limit, when larger).
bool sim0D::keep_going(const std::vector<double> &history) const
{
    const int k = simmodel->loops;
    if (k <= csolvitmax)
        return true;
    if (k >= std::max(extendedStepCap, csolvitmax + 1) || k <= progressWindow)
        return false;
    const auto recentFrom = history.end() - progressWindow;
    const double recent = *std::min_element(recentFrom, history.end());
    const double before = *std::min_element(history.begin(), recentFrom);
    return recent < progressFactor * before;
}

void sim0D::newton_loop()
{
    simmodel->converged = false;
    simmodel->loops = 0;
    std::vector<double> dx;
    std::vector<double> history; // residual outside held rows, per step
    history.reserve(size_t(std::min(csolvitmax + 1, extendedStepCap)));
    std::vector<double> ionicHistory; // ionic strength of each step
    ionicHistory.reserve(history.capacity());
    const double rowTol = std::max(csolvcvg, rowToleranceFloor);
    clear_vector_upper_state();
    while (true) {
        simmodel->loops += 1;
        pt_rxn_DH *dh
            = sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref);
        delete lastDH;
        lastDH = dh;
        const double swing = damp_ionic_strength(dh, ionicHistory);
        if (sim0D_spcn_jacobianMatrix(dh) != 0) {
            refuse("#### error : speciation model, Jacobian setup " + QString::number(1));
            return;
        }
        const int solved = solve_step_with_coefficients(dh, dx);
        if (solved != 0) {
            refuse("#### error : matrix solver " + QString::number(1));
            return;
        }
        double sum = apply_step(dx, &dh->lngamma);
        if (!std::isfinite(sum)) {
            refuse("#### error : speciation model, the Newton step is not finite");
            return;
        }
        simmodel->cvgValue = sum;
        const double residual = residual_outside_held();
        history.push_back(residual);
        // Converged when the step is small, every row outside the held species'
        // mass action holds, and the released state meets every row.
        if (swing < swingConverged && sum < csolvcvg && residual < rowTol && release_held(rowTol)) {
            simmodel->converged = true;
            return;
        }
        if (!keep_going(history))
            return;
    }
}

// Activity coefficients read from the last state can make the ionic strength feed on
// itself so strongly that the steps never settle: a mineral fixing an ion's activity
// with the ion's total given leaves the ionic strength to be set by the coefficients
// alone (calcite in a water of little calcium at a given pH). Such a run is taken up
// again along the ionic strength: with the coefficients frozen at a value I, the
// water's equilibrium follows from the plain steps, and its own ionic strength I'
// is compared with I (a frozen solve that finds nothing counts as an I' beyond every
// value). Where I' - I changes sign on a grid of ln I, bisection finds the I of the
// state, which is accepted only when every row holds with the coefficients of its
// own ionic strength. The steps of every solve are counted, and the search stops at
// ten times the iteration limit.
bool sim0D::solve_along_ionic_strength()
{
    // Without coefficients nothing to search; under the limiting law a water shown
    // to have no state is not searched either.
    if (simctrl->activitymethod == 0
        || (simctrl->activitymethod == 1 && !limiting_law_without_state(true).isEmpty()))
        return false;
    const int n = simmodel->nspecies;
    const double rowTol = std::max(csolvcvg, rowToleranceFloor);
    const run_state failed = save_state();
    // From the start of a constrained water: where the failed run ended says little.
    setup_pt_rxn_C();
    start_from_mass_action();
    std::vector<double> goodLn = rxnC->lnmolal, goodM = rxnC->molal;
    std::vector<double> dx;
    int steps = 0;
    const int budget = frozenBudget * csolvitmax;
    double lastSum = 0.0; // the last step of the latest state found
    // ln I' - ln I at I = exp(lnI).
    auto gap = [&](double lnI) {
        rxnC->lnmolal = goodLn;
        rxnC->molal = goodM;
        std::unique_ptr<pt_rxn_DH> dh(
            sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref));
        solute_coefficients_at(dh.get(), std::exp(lnI));
        bool solved = false;
        for (int k = 0; k < frozenSteps && !solved && steps < budget; ++k, ++steps) {
            if (sim0D_spcn_jacobianMatrix(dh.get()) != 0 || solve_step(dx) != 0)
                break;
            const double sum = apply_step(dx, &dh->lngamma);
            if (!std::isfinite(sum))
                break;
            solved = sum < csolvcvg && residual_outside_held() < rowTol;
            lastSum = sum;
        }
        // No state at these coefficients: the molalities run off, as if I' were
        // beyond every value.
        if (!solved)
            return infinity;
        goodLn = rxnC->lnmolal;
        goodM = rxnC->molal;
        double Iout = 0.0;
        for (int k = 0; k < n; ++k)
            if (!simmodel->species[k].gas)
                Iout += 0.5 * rxnC->molal[k] * simmodel->species[k].charge
                    * simmodel->species[k].charge;
        return std::log(Iout) - lnI;
    };
    bool found = false;
    double lo = std::log(frozenIlow), glo = gap(lo);
    for (double hi = lo + frozenGrid;
         hi <= std::log(frozenIhigh) + 1e-9 && !found && steps < budget; hi += frozenGrid) {
        const double ghi = gap(hi);
        if (glo > 0.0 && ghi <= 0.0) {
            for (int b = 0; b < frozenBisections; ++b) {
                const double mid = 0.5 * (lo + hi);
                (gap(mid) > 0.0 ? lo : hi) = mid;
            }
            found = std::isfinite(gap(hi)) && steps < budget;
        } else {
            lo = hi;
            glo = ghi;
        }
    }
    simmodel->loops += steps;
    if (found) {
        pt_rxn_DH *dh
            = sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref);
        delete lastDH;
        lastDH = dh;
        found = sim0D_spcn_jacobianMatrix(dh) == 0 && maxResidual < rowTol && release_held(rowTol);
    }
    if (found)
        simmodel->cvgValue = lastSum; // the state's own, not the failed run's
    else
        restore_state(failed); // the messages speak of the failed run
    simmodel->converged = found;
    return found;
}

// A mineral that fixes an amount, or a charge balance closed on an element's ion,
// leaves that amount to the other rows; from the common start the coupled rows can
// feed each other (an ion raised by the balance lowers the mineral-fixed one, whose
// fall the balance answers again) until the steps break down. The water as entered,
// each such amount taken as the user gave it, has plain mass balances and converges
// where the constrained water does not. Its state is then carried over to the
// constrained one: each constraint row is first shifted by what it misses at that
// state, so that the state meets it, and the shift is taken back in steps, each
// solved from the state before it (a smaller step where one fails). Where that
// path breaks off, the amounts themselves are sought (solve_for_fixed_amounts).
// Only the final rows, unshifted, decide convergence. Gas fugacities and the
// alkalinity stay as given.
bool sim0D::solve_from_entered_water()
{
    std::vector<int> released; // sets whose constraint gives way to the entered amount
    std::vector<std::pair<int, double>> fugacities; // gas sets: their fugacity, kept
    for (int s = 0; s < simwater->nsets; ++s) {
        pt_compset &set = simwater->compsets[s];
        if (!set.swapOn || simmodel->rxnsConstraint[set.swapIdx].ownIdx >= 0)
            continue;
        if (setFixedByGas[size_t(s)]) {
            // The set's amount is the gas's fugacity: the element's amount is taken
            // from where the failed run ended, or a common one.
            double amount = 0.0;
            for (int m = 0; m < set.nsp; ++m)
                if (set.spIdx[m] >= 0)
                    amount += set.stoich[m] * rxnC->molal[set.spIdx[m]];
            fugacities.emplace_back(s, set.molal);
            set.molal
                = std::isfinite(amount) && amount > 1e-12 ? std::min(amount, 10.0) : gasAmountGuess;
        }
        if (set.molal > 0.0)
            released.push_back(s);
    }
    const int balanced = cbSetIdx;
    if (water->chargebalance && balanced >= 0 && !simwater->compsets[balanced].activityRow
        && !simwater->compsets[balanced].spIdx.empty()
        && simwater->compsets[balanced].spIdx.front() != sys().idxHplus
        && simwater->compsets[balanced].molal > 0.0)
        released.push_back(balanced);
    auto keepFugacities = [&] {
        for (const auto &[s, f] : fugacities)
            simwater->compsets[s].molal = f;
    };
    if (released.empty()) {
        keepFugacities();
        return false;
    }

    const run_state failed = save_state();
    const int loopsBefore = simmodel->loops;
    continuation cont {errorMsgs->size(), 0, frozenBudget * csolvitmax, balanced};
    auto constrain = [&](bool on) {
        for (int s : released)
            if (s == balanced)
                cbSetIdx = on ? balanced : -1;
            else
                simwater->compsets[s].swapOn = on;
        prepare_iteration(); // the bounds follow the rows
        prepare_reduction();
    };
    // The water as entered, from the start.
    constrain(false);
    setup_pt_rxn_C();
    if (any_swap())
        start_from_mass_action();
    bool found = false, unmet = false;
    if (solve_counted(cont)) {
        const run_state entered = save_state();
        constrain(true);
        found = carry_over(released, cont);
        if (!found && cont.balanced >= 0
            && std::find(released.begin(), released.end(), cont.balanced) != released.end()) {
            restore_state(entered);
            cont.budget = cont.steps + amountBudget * csolvitmax;
            const int balance = balance_by_amount(released, entered, cont);
            found = balance > 0;
            unmet = balance < 0;
        }
        if (!found && !unmet) {
            restore_state(entered);
            constrain(false);
            cont.budget = cont.steps + amountBudget * csolvitmax;
            const bool amounts = solve_for_fixed_amounts(released, cont);
            constrain(true);
            found = amounts && solve_counted(cont);
        }
    } else {
        constrain(true);
    }
    keepFugacities();
    simmodel->loops = loopsBefore + cont.steps;
    simmodel->converged = found;
    // The messages speak of the failed run, or of the water that shows the balance
    // cannot be met.
    if (!found && !unmet)
        restore_state(failed);
    return found;
}

// One Newton solve from the present state, its steps counted; its messages are no
// error of the run.
bool sim0D::solve_counted(continuation &cont)
{
    newton_loop();
    cont.steps += simmodel->loops;
    while (errorMsgs->size() > cont.messages)
        errorMsgs->removeLast();
    return simmodel->converged;
}

// What each released set's constraint row misses at the present state (ln units):
// its mineral's mass action, or the charge balance.
std::vector<double> sim0D::constraint_misses(const std::vector<int> &released, int balanced)
{
    std::unique_ptr<pt_rxn_DH> dh(
        sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref));
    const std::vector<double> &lnm = rxnC->lnmolal;
    const std::vector<double> &lng = dh->lngamma;
    std::vector<double> miss;
    for (int s : released) {
        const pt_compset &set = simwater->compsets[s];
        double r = 0.0;
        if (s == balanced) {
            double A = 0.0, P = 0.0;
            for (int j = 0; j < simmodel->nspecies; ++j)
                (chargeZ[j] < 0.0 ? A : P) += std::fabs(chargeZ[j]) * rxnC->molal[j];
            r = std::log(A) - std::log(P);
        } else {
            const pt_rxn &rx = simmodel->rxnsConstraint[set.swapIdx];
            r = rx.fixedLnActivity - simmodel->results->rxnsConstraintRes[set.swapIdx].lnK;
            for (int j : rx.nonzero)
                r += rx.stoich[j] * (lnm[j] + lng[j]);
        }
        miss.push_back(r);
    }
    return miss;
}

// The shifted rows taken back in steps from the entered water's state.
bool sim0D::carry_over(const std::vector<int> &released, continuation &cont)
{
    std::vector<double> lnK(size_t(simmodel->nrxnsConstraint));
    for (int q = 0; q < simmodel->nrxnsConstraint; ++q)
        lnK[size_t(q)] = simmodel->results->rxnsConstraintRes[q].lnK;
    const std::vector<double> missed = constraint_misses(released, cont.balanced);
    auto shiftTo = [&](double left) { // left: the part of the shift still taken
        cbShift = 0.0;
        for (size_t i = 0; i < released.size(); ++i) {
            const pt_compset &set = simwater->compsets[released[i]];
            if (released[i] == cont.balanced) {
                cbShift = left * missed[i];
            } else {
                const int q = set.swapIdx;
                simmodel->results->rxnsConstraintRes[q].lnK
                    = left == 0.0 ? lnK[size_t(q)] : lnK[size_t(q)] + left * missed[i];
            }
        }
    };
    run_state good = save_state();
    double done = 0.0, stride = 1.0;
    bool found = false;
    while (cont.steps < cont.budget && stride >= continuationStrideMin) {
        const double next = std::min(1.0, done + stride);
        shiftTo(1.0 - next);
        if (solve_counted(cont)) {
            done = next;
            if (done >= 1.0) {
                found = true;
                break;
            }
            good = save_state();
            stride = std::min(1.0 - done, 2.0 * stride);
        } else {
            restore_state(good);
            stride *= 0.25;
        }
    }
    shiftTo(0.0);
    return found;
}

// A charge balance closed on an element's ion, sought through that element's amount:
// each amount gives a water with every other constraint in force, whose charge
// misses the balance by some ln(anions / cations); the amount that meets it lies
// where that miss changes sign, found by widening steps, then by regula falsi. Each
// water is solved from the one before it, the first from the entered water by
// carrying over its other constraints. When the amount falls to nothing and the
// water still carries the ion's own sign of charge, the balance cannot be met: the
// run is left at that water, which its messages then show. Returns 1 found, 0 not
// found, -1 shown unmet.
int sim0D::balance_by_amount(const std::vector<int> &released, const run_state &entered,
                             continuation &cont)
{
    const int b = cont.balanced;
    pt_compset &set = simwater->compsets[b];
    const int sign = balancing_sign(set, true);
    if (sign == 0 || sign == 2)
        return 0;
    const double enteredAmount = set.molal;
    std::vector<int> others;
    for (int s : released)
        if (s != b)
            others.push_back(s);
    // The water with the balance's amount given and every other constraint on.
    cbSetIdx = -1;
    prepare_iteration();
    prepare_reduction();
    auto missAt = [&](double x, double *g) {
        set.molal = std::exp(x);
        prepare_iteration();
        if (!solve_counted(cont))
            return false;
        *g = constraint_misses({b}, b).front();
        return std::isfinite(*g);
    };
    int result = 0;
    double x0 = std::log(enteredAmount), g0 = 0.0;
    bool ok = false;
    if (others.empty()) {
        ok = missAt(x0, &g0);
    } else {
        // carry_over shifts the other rows from the entered water's state.
        restore_state(entered);
        ok = carry_over(others, cont);
        if (ok) {
            g0 = constraint_misses({b}, b).front();
            ok = std::isfinite(g0);
        }
    }
    // Raising a cation's amount lowers ln(anions / cations); an anion's raises it.
    const double up = g0 * sign > 0.0 ? 1.0 : -1.0;
    double x1 = x0, g1 = g0, stride = balanceStride;
    run_state at0 = save_state(), at1 = at0;
    bool bracketed = ok && g0 == 0.0;
    while (ok && !bracketed && cont.steps < cont.budget) {
        x1 = x0 + up * stride;
        if (x1 < std::log(enteredAmount) - amountFall) {
            restore_state(at0);
            result = -1; // nothing of the ion, and still its own sign of charge
            balanceShownUnmet = true;
            break;
        }
        if (x1 > std::log(balanceAmountMax)) {
            ok = false;
            break;
        }
        restore_state(at0);
        if (!missAt(x1, &g1)) {
            stride *= 0.5;
            ok = stride > balanceStrideMin;
            continue;
        }
        at1 = save_state();
        if ((g1 > 0.0) != (g0 > 0.0)) {
            bracketed = true;
        } else {
            x0 = x1;
            g0 = g1;
            at0 = at1;
            stride = std::min(2.0 * stride, balanceStrideMax);
        }
    }
    // Regula falsi (Illinois) between x0 and x1.
    for (int iter = 0;
         ok && bracketed && result == 0 && iter < balanceIterations && cont.steps < cont.budget;
         ++iter) {
        if (std::fabs(g0) < amountTolerance || std::fabs(g1) < amountTolerance) {
            if (std::fabs(g0) < std::fabs(g1))
                restore_state(at0);
            else
                restore_state(at1);
            result = 1;
            break;
        }
        const double x = x1 - g1 * (x1 - x0) / (g1 - g0);
        restore_state(std::fabs(x - x0) < std::fabs(x - x1) ? at0 : at1);
        double g = 0.0;
        if (!missAt(x, &g))
            ok = false;
        else if ((g > 0.0) == (g1 > 0.0)) {
            x1 = x;
            g1 = g;
            at1 = save_state();
            g0 *= 0.5;
        } else {
            x0 = x1;
            g0 = g1;
            at0 = at1;
            x1 = x;
            g1 = g;
            at1 = save_state();
        }
    }
    set.molal = enteredAmount;
    cbSetIdx = b;
    prepare_iteration();
    prepare_reduction();
    if (result == 1 && !solve_counted(cont))
        result = 0;
    return result;
}

// The released amounts as unknowns: each value of them gives a plain water, whose
// state misses the constraint rows by some amount; Newton's method on the logs of
// the amounts (differences for the slopes, halved steps until the misses shrink)
// finds the amounts whose water meets them. Each plain water is solved from the
// state before it. Ends with the amounts as entered and the state found.
bool sim0D::solve_for_fixed_amounts(const std::vector<int> &released, continuation &cont)
{
    const size_t k = released.size();
    std::vector<double> entered(k), x(k);
    for (size_t i = 0; i < k; ++i) {
        entered[i] = simwater->compsets[released[i]].molal;
        x[i] = std::log(entered[i]);
    }
    auto evaluate = [&](const std::vector<double> &at, std::vector<double> &miss) {
        for (size_t i = 0; i < k; ++i)
            simwater->compsets[released[i]].molal = std::exp(at[i]);
        prepare_iteration();
        if (!solve_counted(cont))
            return false;
        miss = constraint_misses(released, cont.balanced);
        return std::all_of(miss.begin(), miss.end(), [](double v) { return std::isfinite(v); });
    };
    auto norm = [](const std::vector<double> &v) {
        double m = 0.0;
        for (double e : v)
            m = std::max(m, std::fabs(e));
        return m;
    };
    std::vector<double> F;
    bool found = evaluate(x, F);
    run_state base = save_state();
    for (int iter = 0; found && iter < amountIterations && cont.steps < cont.budget; ++iter) {
        if (norm(F) < amountTolerance)
            break;
        // Slopes by forward differences, each from the base state.
        std::vector<double> J(k * k), Fj;
        for (size_t j = 0; j < k && found; ++j) {
            std::vector<double> xj = x;
            xj[j] += amountDelta;
            restore_state(base);
            found = evaluate(xj, Fj);
            for (size_t i = 0; i < k && found; ++i)
                J[i * k + j] = (Fj[i] - F[i]) / amountDelta;
        }
        std::vector<double> d(k);
        for (size_t i = 0; i < k; ++i)
            d[i] = -F[i];
        found = found && solveSmall(J, d);
        if (!found)
            break;
        const double longest = norm(d);
        const double scale = longest > amountStepLimit ? amountStepLimit / longest : 1.0;
        found = false;
        for (double t = scale; t > scale / 256.0 && !found; t *= 0.5) {
            std::vector<double> xt(k), Ft;
            for (size_t i = 0; i < k; ++i)
                xt[i] = x[i] + t * d[i];
            restore_state(base);
            if (evaluate(xt, Ft) && norm(Ft) < norm(F)) {
                x = xt;
                F = Ft;
                found = true;
            }
        }
        base = save_state();
        // An amount falling without end: the constraint asks for less than nothing.
        for (size_t i = 0; i < k; ++i)
            found = found && x[i] > std::log(entered[i]) - amountFall;
    }
    found = found && norm(F) < amountTolerance;
    restore_state(base);
    for (size_t i = 0; i < k; ++i)
        simwater->compsets[released[i]].molal = entered[i];
    return found;
}

// Some waters have no equilibrium state at all under the chosen activity model, and
// no iteration can find one. Under the Debye-Hueckel limiting law gamma falls without
// end as the ionic strength rises; a species whose activity the water fixes (H+ at a
// given pH, OH- through the water reaction) then needs more molality the more ions
// there are, and past some temperature and pH no ionic strength is high enough. The
// other Debye-Hueckel forms keep gamma above a floor (or let it rise), so every
// molality stays bounded and a state exists. Proven only with a water activity of 1:
// with another water model the fixed activities move with the solution.
bool sim0D::report_no_equilibrium_state()
{
    if (simctrl->activitywater == 1 || simctrl->activitywater == 2)
        return false;
    const QString why = limiting_law_without_state(false);
    if (why.isEmpty())
        return false;
    refuse("#### error : no equilibrium state: " + why);
    return true;
}

// The same question after a failed run, now for the whole water (see
// ionic_strength_exceeds_every_value). With another water model than unit activity
// the answer is likely, not proven, and follows the usual messages.
bool sim0D::report_no_equilibrium_state_after_run()
{
    if (simctrl->activitymethod != 1)
        return false;
    const bool unitWater = simctrl->activitywater != 1 && simctrl->activitywater != 2;
    const QString why = limiting_law_without_state(true);
    if (why.isEmpty())
        return false;
    if (unitWater) {
        refuse("#### error : no equilibrium state: " + why);
        return true;
    }
    report_nonconvergence();
    refuse("#### error : probably no equilibrium state: with the activity of water taken "
           "as 1, "
           + why);
    return true;
}

// Why the limiting law leaves this water without a state when water has unit
// activity, or an empty text when a state may exist. First the ions whose activity
// the water fixes, alone; then, when `wholeWater`, the whole water.
QString sim0D::limiting_law_without_state(bool wholeWater)
{
    if (simctrl->activitymethod != 1)
        return QString();
    // The whole water's answer does not depend on the run's state: worked out once.
    if (wholeWater && wholeWaterAnswered)
        return wholeWaterAnswer;
    if (wholeWater) {
        wholeWaterAnswer = limiting_law_answer(true);
        wholeWaterAnswered = true;
        return wholeWaterAnswer;
    }
    return limiting_law_answer(false);
}

QString sim0D::limiting_law_answer(bool wholeWater)
{
    const int n = simmodel->nspecies;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> fixedLnA(n, nan);
    double pH = nan;
    for (int s = 0; s < simwater->nsets; ++s) {
        const pt_compset &set = simwater->compsets[s];
        if (set.swapOn || set.nsp != 1 || set.spIdx[0] < 0 || !(set.molal > 0.0)
            || (water->chargebalance && s == cbSetIdx) || (water->alkSet && s == alkSetIdx))
            continue;
        if (set.activityRow) {
            fixedLnA[set.spIdx[0]] = std::log(set.molal);
            pH = -std::log10(set.molal);
        } else if (set.spIdx[0] == simctrl->idxH2O) {
            // water at a fixed molality and an activity coefficient of 1
            fixedLnA[set.spIdx[0]] = std::log(set.molal);
        }
    }
    if (std::isnan(pH))
        return QString();
    for (int i : sys().releaseOrder) {
        const pt_rxn &rx = simmodel->rxnsFast[i];
        const int s = rx.ownIdx;
        if (s < 0 || sys().definingRxn[s] != i || !std::isnan(fixedLnA[s]))
            continue;
        double r = rx.fixedLnActivity - simmodel->results->rxnsFastRes[i].lnK;
        bool fixed = true;
        for (int j : rx.nonzero)
            if (j != s) {
                fixed = fixed && !std::isnan(fixedLnA[j]);
                r += rx.stoich[j] * fixedLnA[j];
            }
        if (fixed)
            fixedLnA[s] = -r / rx.stoich[s];
    }
    std::vector<int> ions;
    for (int k = 0; k < n; ++k)
        if (!std::isnan(fixedLnA[k]) && simmodel->species[k].charge != 0.0
            && !simmodel->species[k].gas)
            ions.push_back(k);
    if (ions.empty())
        return QString();

    const double T = simwater->TC;
    QStringList names;
    for (int k : ions)
        names << QString::fromStdString(simmodel->species[k].name);
    const QString ionList = names.size() == 1
        ? names.first()
        : names.mid(0, names.size() - 1).join(", ") + " and " + names.last();
    const QString head
        = QStringLiteral("under the %1 this water has none at pH %2 and %3 C. The pH fixes "
                         "the activity of %4, ")
              .arg(modelName(1))
              .arg(pH, 0, 'f', 2)
              .arg(T, 0, 'f', 1)
              .arg(ionList);
    // The extended Debye-Hueckel model has a state too, but its list item is greyed:
    // the advice names only the models a user can choose.
    const QString advice
        = QStringLiteral("; the %1 and %2 models have one").arg(modelName(3), modelName(4));

    // Ionic strength the fixed-activity ions alone bring at ionic strength I.
    auto needed = [&](double I) {
        double sum = 0.0;
        for (int k : ions) {
            const pt_solute &sp = simmodel->species[k];
            const double lnGamma = sim_rxn_prop::log10gamma_at(1, sp, I, T) * std::log(10.0);
            sum += 0.5 * sp.charge * sp.charge * std::exp(fixedLnA[k] - lnGamma);
        }
        return sum;
    };
    // Grid of ionic strengths 0, 1e-12 ... 1e6 mol/kg, 50 to a decade. The need rises
    // with I, so on [a, b] it is at least its value at a: no I of the interval can
    // hold the ions when that exceeds b. Past 1e6 mol/kg its growth,
    // exp(A ln10 sqrt(I)), outruns I itself.
    std::vector<double> grid {0.0};
    for (int e = -600; e <= 300; ++e)
        grid.push_back(std::pow(10.0, e / 50.0));
    bool ionsAlone = needed(grid.back()) > grid.back();
    for (size_t g = 0; g + 1 < grid.size() && ionsAlone; ++g)
        ionsAlone = needed(grid[g]) > grid[g + 1];
    if (ionsAlone)
        return head
            + "and the molality that activity needs at any ionic strength adds up to a "
              "higher ionic strength"
            + advice;
    if (wholeWater && ionic_strength_exceeds_every_value())
        return head
            + "and at any ionic strength the water's equilibrium at that ionic strength has "
              "a higher one"
            + advice;
    return QString();
}

// With gamma frozen at the limiting law's value for an ionic strength I (water at
// unit activity), the water's equilibrium is found as in a run; its ionic strength
// I' is compared with I. A state is a fixed point I' = I; when I' exceeds I at every
// I of the grid (1e-6 to 1e4 mol/kg, 10 to a decade) there is none. Any solve that
// fails leaves the question open (false). The run's state is restored afterwards.
bool sim0D::ionic_strength_exceeds_every_value()
{
    const int n = simmodel->nspecies;
    const run_state saved = save_state();
    const double rowTol = std::max(csolvcvg, rowToleranceFloor);
    const double T = simwater->TC;
    const int stepsPerPoint = 100;
    clear_vector_upper_state(); // the messages of the failed run came before
    // From the common start: where the failed run ended says nothing of a state.
    setup_pt_rxn_C();

    pt_rxn_DH dh;
    dh.gamma.assign(n, 1.0);
    dh.lngamma.assign(n, 0.0);
    dh.log10gamma.assign(n, 0.0);
    std::vector<double> dx;
    bool exceeds = true;
    for (int e = -60; e <= 40 && exceeds; ++e) {
        const double I = std::pow(10.0, e / 10.0);
        for (int k = 0; k < n; ++k) {
            if (k == simctrl->idxH2O)
                continue;
            const double lg = sim_rxn_prop::log10gamma_at(1, simmodel->species[k], I, T);
            dh.log10gamma[k] = lg;
            dh.lngamma[k] = lg * std::log(10.0);
            dh.gamma[k] = std::exp(dh.lngamma[k]);
        }
        bool solved = false;
        for (int step = 0; step < stepsPerPoint && !solved; ++step) {
            if (sim0D_spcn_jacobianMatrix(&dh) != 0 || solve_step(dx) != 0)
                break;
            const double sum = apply_step(dx, nullptr); // the plain steps, as the proof was made
            if (!std::isfinite(sum))
                break;
            solved = sum < csolvcvg && residual_outside_held() < rowTol;
        }
        double Iout = 0.0;
        for (int k = 0; k < n; ++k)
            if (!simmodel->species[k].gas)
                Iout += 0.5 * rxnC->molal[k] * simmodel->species[k].charge
                    * simmodel->species[k].charge;
        exceeds = solved && Iout > I;
    }
    restore_state(saved);
    return exceeds;
}

// The state of the run and what the messages of a failed run read of it.
sim0D::run_state sim0D::save_state() const
{
    run_state s;
    s.lnm = rxnC->lnmolal;
    s.m = rxnC->molal;
    s.prev = rxnC->molalPrev;
    s.dx.assign(simmodel->dxLast, simmodel->dxLast + simmodel->nspecies);
    s.held = held;
    s.nHeld = nHeld;
    for (const pt_rxn_res &r : simmodel->results->rxnsFastRes)
        s.residual.push_back(r.residual);
    s.maxResidual = maxResidual;
    s.maxSetResidual = maxSetResidual;
    return s;
}

void sim0D::restore_state(const run_state &s)
{
    rxnC->lnmolal = s.lnm;
    rxnC->molal = s.m;
    rxnC->molalPrev = s.prev;
    std::copy(s.dx.begin(), s.dx.end(), simmodel->dxLast);
    held = s.held;
    nHeld = s.nHeld;
    for (size_t i = 0; i < s.residual.size(); ++i)
        simmodel->results->rxnsFastRes[i].residual = s.residual[i];
    maxResidual = s.maxResidual;
    maxSetResidual = s.maxSetResidual;
}

// A run that used up its iterations must still say why it failed: the user sees
// the engine's messages, and species stuck at the concentration floor are the
// usual cause (their equilibrium amount lies below it).
void sim0D::report_nonconvergence()
{
    countFrom = errorMsgs->size();
    // Past the limit, the count holds the steps a run takes while still improving and
    // those of the searches that take a failed water up again: said, so that it does
    // not read as a limit ignored.
    const QString searches = simmodel->loops > csolvitmax
        ? QString("; the count passes the limit of %1 as it includes the searches that "
                  "took the water up again")
              .arg(csolvitmax)
        : QString();
    refuse(QString("#### error : speciation model, no convergence after %1 iterations "
                   "(convergence sum %2, largest residual %3%4)")
               .arg(simmodel->loops)
               .arg(simmodel->cvgValue, 0, 'g', 6)
               .arg(maxResidual, 0, 'g', 6)
               .arg(searches));
    QStringList atFloor;
    for (int k = 0; k < simmodel->nspecies; ++k)
        if (held.size() == size_t(simmodel->nspecies) && held[k])
            atFloor << QString::fromStdString(simmodel->species[k].name);
    if (!atFloor.isEmpty())
        refuse(QString("#### error : %1 species held at the concentration floor %2 molal: %3")
                   .arg(atFloor.size())
                   .arg(csolvcmin, 0, 'g', 6)
                   .arg(atFloor.join(", ")));
    countTo = errorMsgs->size();
}

// The sign of charge an element's amount brings to a water: that of all its species
// when they agree; when `basisDecides`, that of its basis ion, which its complexes
// with ions of the other sign (CaCl+ for chloride) do not turn. 0 when none is
// charged, 2 when the signs disagree.
int sim0D::balancing_sign(const pt_compset &set, bool basisDecides) const
{
    int sign = 0;
    bool mixed = false;
    for (int m = 0; m < set.nsp; ++m) {
        const int j = set.spIdx[m];
        if (j < 0)
            continue;
        const double z = simmodel->species[j].charge;
        const int s = z > 0.0 ? 1 : (z < 0.0 ? -1 : 0);
        if (basisDecides && s != 0 && sys().definingRxn[j] < 0)
            return s;
        if (s != 0 && sign != 0 && s != sign)
            mixed = true;
        if (s != 0)
            sign = s;
    }
    return mixed ? 2 : sign;
}

// A charge balance closed on an element whose ions all carry one sign cannot be met
// when the rest of the water already has an excess of that sign: say so by name.
void sim0D::report_charge_balance_unmet()
{
    if (!water->chargebalance || cbSetIdx < 0)
        return;
    const pt_compset &set = simwater->compsets[cbSetIdx];
    // H+ is balanced by OH- through water itself: the rest depends on it.
    if (set.element == toStdName(sdata->nameH))
        return;
    std::vector<char> balancing(size_t(simmodel->nspecies), 0);
    for (int m = 0; m < set.nsp; ++m)
        if (set.spIdx[m] >= 0)
            balancing[set.spIdx[m]] = 1;
    // A failed run's last state proves nothing unless every species of the element
    // brings one sign; the search by amount shows it with its basis ion's sign.
    const int sign = balancing_sign(set, balanceShownUnmet);
    if (sign == 2)
        return;
    double rest = 0.0;
    for (int k = 0; k < simmodel->nspecies; ++k)
        if (!balancing[k] && !simmodel->species[k].gas)
            rest += simmodel->species[k].charge * rxnC->molal[k];
    const QString ion = QString::fromStdString(set.element);
    if (sign == 0)
        refuse("#### error : the charge balance cannot be met on [ " + ion
               + " ]: none of its species carries a charge");
    else if (rest * sign > 0.0)
        refuse(QString("#### error : the charge balance cannot be met on [ %1 ]: its ions are "
                       "%2 and the rest of the water already carries %3 charge")
                   .arg(ion, sign > 0 ? "cations" : "anions", sign > 0 ? "positive" : "negative"));
}
