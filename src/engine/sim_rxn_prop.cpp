#include "sim_rxn_prop.h"

#include "sim_system.h"
#include "thermo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

const double ln10 = 2.302585092994046;
/// Moles of water in one kilogram (1000 / 18.0153 g/mol).
const double molesWaterPerKg = 55.50844;
/// Ion-size parameter EQ3/6 uses in the osmotic coefficient of the B-dot model, Angstrom.
const double azeroWater = 4.0;

enum class dh_form { limiting, extended, bdot, davies };

/// The built-in EQ3/6 polynomials of A, B and B-dot, built once and only read:
/// every state of every run evaluates them.
thermo &builtInDebyeHuckel()
{
    static thermo th;
    return th;
}

/// A, B and B-dot at T (Celsius). A run asks for them at one temperature at every
/// state and step, so the last temperature's values are kept (per thread: runs of a
/// sweep may go in parallel).
struct dh_coefs
{
    double A, B, Bdot;
};

dh_coefs coefficientsAt(double T)
{
    thread_local double lastT = std::nan("");
    thread_local dh_coefs last {0.0, 0.0, 0.0};
    if (T != lastT) {
        thermo &th = builtInDebyeHuckel();
        last = {th.DebyeHuckel_coefA({}, T), th.DebyeHuckel_coefB({}, T),
                th.DebyeHuckel_bDot({}, T)};
        lastT = T;
    }
    return last;
}

double ionicStrength(int n, const std::vector<pt_solute> &sp, const pt_rxn_C *conc)
{
    double I = 0.0;
    for (int i = 0; i < n; ++i)
        I += 0.5 * conc->molal[i] * sp[i].charge * sp[i].charge;
    return I;
}

/// log10 gamma of one solute at ionic strength I (mol/kg) by one Debye-Hueckel form;
/// A, B, Bdot at the water temperature.
inline double log10Gamma(dh_form form, const pt_solute &sp, double A, double B, double Bdot,
                         double I, double sqrtI)
{
    const double z2 = sp.charge * sp.charge;
    switch (form) {
    case dh_form::limiting:
        return -A * z2 * sqrtI;
    case dh_form::extended:
        return -A * z2 * sqrtI / (1.0 + B * sp.DHazero * sqrtI);
    case dh_form::bdot:
        return Bdot * I - A * z2 * sqrtI / (1.0 + B * sp.DHazero * sqrtI);
    case dh_form::davies:
        return -A * z2 * (sqrtI / (1.0 + sqrtI) - 0.3 * I);
    }
    return 0.0;
}

// One rule for the four Debye-Hueckel forms; gases are fugacities and keep gamma 1.
// Given the species' groups of equal charge and ion size, each group's coefficient is
// worked out once and taken by its species: the same numbers, far fewer exponentials.
pt_rxn_DH *debyeHuckel(dh_form form, int n, const std::vector<pt_solute> &sp, double T,
                       const pt_rxn_C *conc, const sim_rxn_prop::dh_groups *groups = nullptr)
{
    auto *dh = new pt_rxn_DH;
    if (n < 1)
        return dh;
    const double I = ionicStrength(n, sp, conc);
    dh->ionicstrength = I;
    const dh_coefs coefs = coefficientsAt(T);
    const double A = coefs.A;
    const double B = coefs.B;
    const double Bdot = coefs.Bdot;
    dh->DHa = A;
    if (form == dh_form::bdot || form == dh_form::extended)
        dh->DHb = B;
    if (form == dh_form::bdot)
        dh->DHbdot = Bdot;
    const double sqrtI = std::sqrt(I);
    dh->gamma.resize(n);
    dh->lngamma.resize(n);
    dh->log10gamma.resize(n);
    double *gamma = dh->gamma.data(), *lngamma = dh->lngamma.data();
    double *log10gamma = dh->log10gamma.data();
    if (groups != nullptr && groups->groupOf.size() >= size_t(n)) {
        const size_t ng = groups->first.size();
        // A system holds a few dozen groups: room on the stack, else on the heap.
        double onStack[3 * 64];
        std::vector<double> onHeap(ng > 64 ? 3 * ng : 0);
        double *groupLg = ng > 64 ? onHeap.data() : onStack;
        double *groupLng = groupLg + ng;
        double *groupGamma = groupLng + ng;
        for (size_t c = 0; c < ng; ++c) {
            const double lg = log10Gamma(form, sp[size_t(groups->first[c])], A, B, Bdot, I, sqrtI);
            const double lng = lg * ln10;
            groupLg[c] = lg;
            groupLng[c] = lng;
            groupGamma[c] = std::exp(lng);
        }
        const int *groupOf = groups->groupOf.data();
        for (int i = 0; i < n; ++i) {
            const int c = groupOf[i];
            log10gamma[i] = c < 0 ? 0.0 : groupLg[size_t(c)];
            gamma[i] = c < 0 ? 1.0 : groupGamma[size_t(c)]; // a gas: exp(0)
            lngamma[i] = c < 0 ? 0.0 : groupLng[size_t(c)];
        }
        return dh;
    }
    for (int i = 0; i < n; ++i) {
        const double lg = sp[i].gas ? 0.0 : log10Gamma(form, sp[i], A, B, Bdot, I, sqrtI);
        // ln gamma straight from log10 gamma: far from equilibrium gamma itself may
        // overflow, while its logarithm, which the equations use, stays finite.
        const double lng = lg * ln10;
        log10gamma[i] = lg;
        gamma[i] = std::exp(lng);
        lngamma[i] = lng;
    }
    return dh;
}

} // namespace

double sim_rxn_prop::eqkLog10_polynom(const pt_rxn &rxn, double T)
{
    if (rxn.coeff.empty())
        return 0.0;
    if (rxn.nterms < 2)
        return rxn.coeff[0];
    // The fits use whole powers of T; those are products, not pow() calls. A run asks
    // for every reaction at one temperature: its powers are kept, each the product
    // of the one below and T, as the product term by term gives them.
    const int highest = 16;
    thread_local double lastT = std::nan("");
    thread_local double power[highest + 1];
    if (!(T == lastT)) {
        power[0] = 1.0;
        for (int k = 1; k <= highest; ++k)
            power[k] = power[k - 1] * T;
        lastT = T;
    }
    double s = rxn.coeff[0];
    for (int i = 1; i < rxn.nterms; ++i) {
        const double q = rxn.quotient[i];
        // A whole q in 0 .. 16 (its integer part is itself there).
        const double Tq = q >= 0.0 && q <= double(highest) && q == double(int(q)) ? power[int(q)]
                                                                                  : std::pow(T, q);
        s += rxn.coeff[i] * Tq;
    }
    return s;
}

namespace {

/// The Debye-Hueckel form of an activity model (1 to 4) and its parameters at T (C).
struct dh_params
{
    dh_form form;
    double A, B, Bdot;
};

dh_params paramsAt(int activitymethod, double T)
{
    const dh_coefs coefs = coefficientsAt(T);
    const dh_form form = activitymethod == 1 ? dh_form::limiting
        : activitymethod == 2                ? dh_form::extended
        : activitymethod == 3                ? dh_form::davies
                                             : dh_form::bdot;
    return {form, coefs.A, coefs.B, coefs.Bdot};
}

} // namespace

double sim_rxn_prop::log10gamma_at(int activitymethod, const pt_solute &sp, double I, double T)
{
    if (activitymethod == 0 || sp.gas)
        return 0.0;
    const dh_params p = paramsAt(activitymethod, T);
    return log10Gamma(p.form, sp, p.A, p.B, p.Bdot, I, std::sqrt(I));
}

sim_rxn_prop::dh_groups sim_rxn_prop::dh_groups_of(const std::vector<pt_solute> &sp, int n)
{
    dh_groups g;
    g.groupOf.assign(size_t(std::max(n, 0)), -1);
    // Compared as bit patterns: a group's species give the very same numbers.
    auto bits = [](double v) {
        std::uint64_t w;
        std::memcpy(&w, &v, sizeof w);
        return w;
    };
    std::vector<std::pair<std::uint64_t, std::uint64_t>> keys;
    for (int i = 0; i < n; ++i) {
        if (sp[size_t(i)].gas)
            continue;
        const std::pair<std::uint64_t, std::uint64_t> key {bits(sp[size_t(i)].charge),
                                                           bits(sp[size_t(i)].DHazero)};
        const auto at = std::find(keys.begin(), keys.end(), key);
        if (at == keys.end()) {
            g.groupOf[size_t(i)] = int(keys.size());
            keys.push_back(key);
            g.first.push_back(i);
        } else {
            g.groupOf[size_t(i)] = int(at - keys.begin());
        }
    }
    return g;
}

void sim_rxn_prop::lngamma_slopes(int activitymethod, const std::vector<pt_solute> &sp,
                                  const dh_groups &groups, int n, double I, double T,
                                  std::vector<double> &slope, std::vector<double> &groupSlope)
{
    slope.assign(size_t(n), 0.0);
    if (activitymethod == 0 || !(I > 0.0) || !std::isfinite(I))
        return;
    const dh_params p = paramsAt(activitymethod, T);
    // Central difference in ln I: every form is smooth for I > 0.
    const double h = 1e-4;
    const double Ilo = I * std::exp(-h), Ihi = I * std::exp(h);
    const double sLo = std::sqrt(Ilo), sHi = std::sqrt(Ihi);
    groupSlope.resize(groups.first.size());
    for (size_t c = 0; c < groups.first.size(); ++c) {
        const pt_solute &s = sp[size_t(groups.first[c])];
        groupSlope[c] = (log10Gamma(p.form, s, p.A, p.B, p.Bdot, Ihi, sHi)
                         - log10Gamma(p.form, s, p.A, p.B, p.Bdot, Ilo, sLo))
            * ln10 / (2.0 * h);
    }
    for (int i = 0; i < n && size_t(i) < groups.groupOf.size(); ++i)
        if (groups.groupOf[size_t(i)] >= 0)
            slope[size_t(i)] = groupSlope[size_t(groups.groupOf[size_t(i)])];
}

double sim_rxn_prop::ionic_strength_soln(int n, const pt_rxn_C *conc, const pt_solute *sp)
{
    double I = 0.0;
    for (int i = 0; i < n; ++i)
        I += 0.5 * conc->molal[i] * sp[i].charge * sp[i].charge;
    return I;
}

pt_rxn_DH *sim_rxn_prop::ionic_strength_correction_driver(const sim_ctrl *ctrl,
                                                          const sim_model *model,
                                                          const pt_rxn_C *conc,
                                                          const pt_rxn_DHref *)
{
    const int n = model->nspecies;
    const double T = model->results->tempRec ? model->results->tempRec->TC : 25.0;
    const std::vector<pt_solute> &sp = model->species;

    // A run's model has its prepared system, which knows the species' groups.
    const dh_groups *groups = model->system != nullptr ? &model->system->dhGroups() : nullptr;
    pt_rxn_DH *dh = nullptr;
    switch (ctrl->activitymethod) {
    case 0:
        dh = activityCoef_ideal(n, sp, conc);
        break;
    case 1:
        dh = debyeHuckel(dh_form::limiting, n, sp, T, conc, groups);
        break;
    case 2:
        dh = debyeHuckel(dh_form::extended, n, sp, T, conc, groups);
        break;
    case 3:
        dh = debyeHuckel(dh_form::davies, n, sp, T, conc, groups);
        break;
    default:
        dh = debyeHuckel(dh_form::bdot, n, sp, T, conc, groups);
        break;
    }

    const int w = ctrl->idxH2O;
    if (w < 0 || w >= int(dh->gamma.size()))
        return dh;
    double log10aw = 0.0;
    if (ctrl->activitywater == 1)
        log10aw = std::log10(activityCoefWater_moleFraction(n, sp, conc));
    else if (ctrl->activitywater == 2)
        log10aw = activityCoefWater_bdot(n, sp, w, T, conc, dh);
    dh->log10gamma[w] = log10aw;
    dh->gamma[w] = std::pow(10.0, log10aw);
    dh->lngamma[w] = log10aw * ln10;
    return dh;
}

pt_rxn_DH *sim_rxn_prop::activityCoef_ideal(int n, const std::vector<pt_solute> &sp,
                                            const pt_rxn_C *conc)
{
    auto *dh = new pt_rxn_DH;
    if (n < 1)
        return dh;
    dh->ionicstrength = ionicStrength(n, sp, conc);
    dh->gamma.assign(n, 1.0);
    dh->lngamma.assign(n, 0.0);
    dh->log10gamma.assign(n, 0.0);
    return dh;
}

pt_rxn_DH *sim_rxn_prop::activityCoef_bdot(int n, const std::vector<pt_solute> &sp, double T,
                                           const pt_rxn_C *conc, const pt_rxn_DHref *)
{
    return debyeHuckel(dh_form::bdot, n, sp, T, conc);
}

pt_rxn_DH *sim_rxn_prop::activityCoef_Davies(int n, const std::vector<pt_solute> &sp, double T,
                                             const pt_rxn_C *conc, const pt_rxn_DHref *)
{
    return debyeHuckel(dh_form::davies, n, sp, T, conc);
}

pt_rxn_DH *sim_rxn_prop::activityCoef_DH(int n, const std::vector<pt_solute> &sp, double T,
                                         const pt_rxn_C *conc, const pt_rxn_DHref *)
{
    return debyeHuckel(dh_form::limiting, n, sp, T, conc);
}

pt_rxn_DH *sim_rxn_prop::activityCoef_DHext(int n, const std::vector<pt_solute> &sp, double T,
                                            const pt_rxn_C *conc, const pt_rxn_DHref *)
{
    return debyeHuckel(dh_form::extended, n, sp, T, conc);
}

// The name "H2O", compared inline: every state of a run asks for each species.
static bool namedWater(const std::string &name)
{
    return name.size() == 3 && std::memcmp(name.data(), "H2O", 3) == 0;
}

// Sum of the molalities of every solute except water itself (at position iH2O, or
// found by name when that is -1) and the gases.
static double soluteMolalities(int n, const std::vector<pt_solute> &sp, const pt_rxn_C *conc,
                               int iH2O = -1)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        if (sp[i].gas || i == iH2O || (iH2O < 0 && namedWater(sp[i].name)))
            continue;
        sum += conc->molal[i];
    }
    return sum;
}

double sim_rxn_prop::activityCoefWater_moleFraction(int n, const std::vector<pt_solute> &sp,
                                                    const pt_rxn_C *conc)
{
    if (n < 1)
        return 1.0;
    const double solutes = soluteMolalities(n, sp, conc);
    return molesWaterPerKg / (molesWaterPerKg + solutes);
}

double sim_rxn_prop::activityCoefWater_bdot(int n, const std::vector<pt_solute> &sp, int iw,
                                            double T, const pt_rxn_C *conc, const pt_rxn_DH *dh)
{
    // Gibbs-Duhem with the B-dot equation (Helgeson 1969; EQ3/6):
    //   log10 aw = ( -sum(m) / ln10 + (2/3) A I^1.5 sigma(B a sqrt(I)) - Bdot I^2 ) / Omega
    //   sigma(x) = 3/x^3 (1 + x - 1/(1 + x) - 2 ln(1 + x))
    // with Omega the moles of water per kg and a = 4 Angstrom.
    const dh_coefs coefs = coefficientsAt(T);
    const double A = coefs.A;
    const double B = coefs.B;
    const double Bdot = coefs.Bdot;
    const double I = dh->ionicstrength;
    const double sqrtI = std::sqrt(I);
    const double x = B * azeroWater * sqrtI;
    double sigma = 1.0;
    if (x > 1e-3)
        sigma = 3.0 / (x * x * x) * (1.0 + x - 1.0 / (1.0 + x) - 2.0 * std::log1p(x));
    else // series: 1 - 3x/2 + 9x^2/5 - ...
        sigma = 1.0 - 1.5 * x + 1.8 * x * x;
    const double sumM = soluteMolalities(n, sp, conc, iw);
    const double log10aw
        = (-sumM / ln10 + (2.0 / 3.0) * A * I * sqrtI * sigma - Bdot * I * I) / molesWaterPerKg;
    return log10aw < 0.0 ? log10aw : 0.0;
}
