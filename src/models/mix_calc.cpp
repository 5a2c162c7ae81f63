#include "mix_calc.h"

#include "global.h"
#include "properties_water.h"
#include "records.h"
#include "sbatch.h"
#include "sim0D.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace mix_calc {

namespace {

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

/// A source's total of `element` in its result, mol/kg water; false when absent.
bool result_total(const one_water *w, const QString &element, double *molal)
{
    for (const one_waterResult_element *e : std::as_const(w->results->soln_elem))
        if (e && e->element == element) {
            *molal = e->cmolal;
            return true;
        }
    return false;
}

bool usable_source(const one_water *w, const QString &which, QStringList *msgs)
{
    if (!w) {
        *msgs << which + QStringLiteral(" water is not in the configuration");
        return false;
    }
    if (!w->results || !w->results->converged) {
        *msgs << QStringLiteral("water [ ") + w->name
                + QStringLiteral(" ] has no converged speciation result: run it first");
        return false;
    }
    if (!(w->densitymass > 0.0) || !std::isfinite(w->densitymass)) {
        *msgs << QStringLiteral("water [ ") + w->name + QStringLiteral(" ] has no density above 0");
        return false;
    }
    return true;
}

/// One engine run of `model` at `pH`: its net charge, and its result when asked.
bool trial(sbatch *b, one_water *model, double pH, double *charge,
           std::unique_ptr<one_water_result> *keep, QStringList *msgs)
{
    set_pH(b, model, pH);
    sim0D run;
    const int rc = run.driver(b->sdata, model);
    const QStringList &errors = *run.listErrorMsgs();
    if (run.refused || rc != 0 || !errors.isEmpty()) {
        *msgs << QStringLiteral("the mixture at pH ") + num(pH)
                + (run.refused ? QStringLiteral(" was refused by the speciation engine:")
                               : QStringLiteral(" did not converge:"));
        *msgs << errors;
        return false;
    }
    *charge = run.netChargeBalance();
    if (keep)
        keep->reset(run.results());
    return true;
}

} // namespace

double mean_TC(const one_water *w1, const one_water *w2, double percent1, double percent2)
{
    const double m1 = percent1 * w1->densitymass;
    const double m2 = percent2 * w2->densitymass;
    return m1 + m2 > 0.0 ? (m1 * w1->TC + m2 * w2->TC) / (m1 + m2) : w1->TC;
}

int mix(sbatch *b, const one_water *w1, const one_water *w2, double percent1, double percent2,
        double TC, mixture *m, QStringList *msgs)
{
    if (!usable_source(w1, QStringLiteral("the first"), msgs)
        || !usable_source(w2, QStringLiteral("the second"), msgs))
        return 1;
    if (!std::isfinite(percent1) || !std::isfinite(percent2) || percent1 < 0.0 || percent2 < 0.0
        || std::fabs(percent1 + percent2 - 100.0) > 1e-6) {
        *msgs << QStringLiteral("volume percents must be two numbers from 0 to 100 adding up "
                                "to 100; they are ")
                + num(percent1) + QStringLiteral(" and ") + num(percent2);
        return 1;
    }
    *m = mixture();
    m->name1 = w1->name;
    m->name2 = w2->name;
    m->percent1 = percent1;
    m->percent2 = percent2;
    // Masses of the two waters per 100 volume units, g/cm3 x volume percent.
    const double mass1 = percent1 * w1->densitymass;
    const double mass2 = percent2 * w2->densitymass;
    m->x1 = mass1 / (mass1 + mass2);
    m->x2 = mass2 / (mass1 + mass2);
    m->densitymass = (mass1 + mass2) / 100.0;
    m->TC = std::isnan(TC) ? mean_TC(w1, w2, percent1, percent2) : TC;
    if (!global::TC_accepted_water(m->TC)) {
        *msgs << QStringLiteral("temperature ") + num(m->TC)
                + QStringLiteral(" degrees C is outside the range of a run (%1 to %2)")
                      .arg(num(global::TCmin_water), num(global::TCmax_water));
        return 1;
    }
    const sim_data *sd = b->sdata;
    for (const one_element *el : std::as_const(sd->elements)) {
        if (el->name == sd->nameH || el->name == sd->nameO)
            continue;
        double t1 = 0.0, t2 = 0.0;
        if (!result_total(w1, el->name, &t1) || !result_total(w2, el->name, &t2)) {
            *msgs << QStringLiteral("the result of water [ ")
                    + (result_total(w1, el->name, &t1) ? w2->name : w1->name)
                    + QStringLiteral(" ] has no total of element [ ") + el->name
                    + QStringLiteral(" ]: run it again with the current system");
            return 1;
        }
        m->elements << el->name;
        m->molal << m->x1 * t1 + m->x2 * t2;
    }
    m->charge = m->x1 * w1->results->chargebalance + m->x2 * w2->results->chargebalance;
    m->pHlow = std::min(w1->results->resultpH, w2->results->resultpH);
    m->pHhigh = std::max(w1->results->resultpH, w2->results->resultpH);
    return 0;
}

void set_pH(sbatch *b, one_water *model, double pH)
{
    const QString &nameH = b->sdata->nameH;
    for (one_elementComp *e : std::as_const(model->composition))
        if (e->element == nameH) {
            e->molal = e->Molar = std::pow(10.0, -pH);
            e->ppm = e->molal * b->element_ppmFactor(nameH);
        }
    model->typeH = global::pH;
    model->typeHIndex = global::pH;
    model->pHcomp = pH;
}

void prepare_model(sbatch *b, one_water *model, const mixture &m)
{
    const sim_data *sd = b->sdata;
    qDeleteAll(model->composition);
    model->composition.clear();
    for (const one_element *el : std::as_const(sd->elements)) {
        // Fresh entries carry the species lists of the current system.
        one_elementComp *e = b->setup_one_elementComp(el->name);
        const qsizetype k = m.elements.indexOf(el->name);
        if (k >= 0) {
            e->molal = m.molal.at(k);
            global::amounts_fromMolal(e, m.densitymass, b->element_ppmFactor(el->name));
        }
        model->composition << e;
    }
    model->ncomposition = int(model->composition.size());
    set_pH(b, model, 0.5 * (m.pHlow + m.pHhigh));
    model->TC = m.TC;
    model->densitymass = m.densitymass;
    model->chargebalance = false;
    model->alkSet = false;
    model->alkSolutes.clear();
    model->alkCoeffs.clear();

    // The O2(g) condition of the first water is kept as it is, with its own swap.
    model->stag_O2g = b->find_idxBatch_solute(sd->nameO2g) >= 0;
    if (model->stag_O2g && !model->redoxO2g)
        model->redoxO2g = b->setup_one_elementComp(sd->nameO2g);
    QList<one_rxn *> swaps;
    if (model->stag_O2g && !model->redoxO2gSwaprxn.isEmpty()) {
        one_rxn *found = nullptr;
        for (one_rxn *r : std::as_const(model->rxnsConstraint))
            if (r && r->name == model->redoxO2gSwaprxn)
                found = r;
        const int k = b->find_idxBatch_solidRxn(model->redoxO2gSwaprxn);
        if (!found && k >= 0)
            found = sd->rxnsSolid.at(k);
        if (found)
            swaps << found;
    }
    model->rxnsConstraint = swaps;
    model->nrxnsConstraint = int(swaps.size());
    delete model->results;
    model->results = nullptr;
}

int speciate(sbatch *b, one_water *model, const mixture &m, speciation *out)
{
    out->trials = 0;
    delete model->results;
    model->results = nullptr;
    // g(pH): charge of the mixture at pH less the charge it must carry; it falls
    // as pH rises (less H+, more OH- and carbonate).
    const auto g = [&](double pH, double *value) {
        ++out->trials;
        double q = 0.0;
        if (!trial(b, model, pH, &q, nullptr, &out->messages))
            return false;
        *value = q - m.charge;
        return true;
    };
    double lo = std::clamp(m.pHlow - 1.5, 0.0, 14.0);
    double hi = std::clamp(m.pHhigh + 1.5, 0.0, 14.0);
    double glo = 0.0, ghi = 0.0;
    if (!g(lo, &glo))
        return 1;
    while (glo < 0.0 && lo > 0.0) {
        hi = lo;
        lo = std::max(0.0, lo - 1.5);
        if (!g(lo, &glo))
            return 1;
    }
    if (!g(hi, &ghi))
        return 1;
    while (ghi > 0.0 && hi < 14.0) {
        lo = hi;
        hi = std::min(14.0, hi + 1.5);
        if (!g(hi, &ghi))
            return 1;
    }
    if (glo < 0.0 || ghi > 0.0) {
        out->messages << QStringLiteral("no pH from 0 to 14 gives the mixture the net charge of "
                                        "its sources (")
                + num(m.charge) + QStringLiteral(" eq/kg)");
        return 1;
    }
    while (hi - lo > pHWidth) {
        const double mid = 0.5 * (lo + hi);
        double gmid = 0.0;
        if (!g(mid, &gmid))
            return 1;
        if (gmid == 0.0)
            lo = hi = mid;
        else if (gmid > 0.0)
            lo = mid;
        else
            hi = mid;
    }
    out->pH = 0.5 * (lo + hi);
    double q = 0.0;
    ++out->trials;
    std::unique_ptr<one_water_result> result;
    if (!trial(b, model, out->pH, &q, &result, &out->messages))
        return 1;
    complete_result(b, model, result.get());
    model->results = result.release();
    return 0;
}

namespace {

/// Mixes w1 and w2 with the volume fraction f of w2 and speciates the mixture.
int mix_at(sbatch *b, const one_water *w1, const one_water *w2, double f, double TC,
           one_water *model, mixture *m, speciation *out)
{
    if (mix(b, w1, w2, 100.0 * (1.0 - f), 100.0 * f, TC, m, &out->messages) != 0)
        return 1;
    prepare_model(b, model, *m);
    return speciate(b, model, *m, out);
}

int titrate_pH(sbatch *b, const one_water *w1, const one_water *w2, const titration &t,
               one_water *model, mixture *m, speciation *out)
{
    if (mix_at(b, w1, w2, 0.0, t.TC, model, m, out) != 0)
        return 1;
    const double p0 = out->pH;
    if (std::fabs(p0 - t.pH) <= titrationTolerance)
        return 0;
    if (mix_at(b, w1, w2, 1.0, t.TC, model, m, out) != 0)
        return 1;
    const double p1 = out->pH;
    if (std::fabs(p1 - t.pH) <= titrationTolerance)
        return 0;
    if ((p0 - t.pH) * (p1 - t.pH) > 0.0) {
        out->messages << QStringLiteral("target pH ") + num(t.pH)
                + QStringLiteral(" cannot be reached: titrating [ ") + w1->name
                + QStringLiteral(" ] with [ ") + w2->name + QStringLiteral(" ] gives pH ")
                + QString::number(std::min(p0, p1), 'f', 3) + QStringLiteral(" to ")
                + QString::number(std::max(p0, p1), 'f', 3);
        delete model->results;
        model->results = nullptr;
        return 1;
    }
    double lo = 0.0, hi = 1.0;
    while (hi - lo > 1e-12) {
        const double f = 0.5 * (lo + hi);
        if (mix_at(b, w1, w2, f, t.TC, model, m, out) != 0)
            return 1;
        if (std::fabs(out->pH - t.pH) <= titrationTolerance)
            return 0;
        if ((out->pH - t.pH) * (p0 - t.pH) > 0.0)
            lo = f;
        else
            hi = f;
    }
    out->messages << QStringLiteral("the pH of the mixture jumps across ") + num(t.pH)
            + QStringLiteral(" near a fraction of ") + num(lo);
    delete model->results;
    model->results = nullptr;
    return 1;
}

int titrate_element(sbatch *b, const one_water *w1, const one_water *w2, const titration &t,
                    one_water *model, mixture *m, speciation *out)
{
    QStringList &msgs = out->messages;
    const sim_data *sd = b->sdata;
    if (b->find_idxBatch_element(t.element) < 0 || t.element == sd->nameH
        || t.element == sd->nameO) {
        msgs << QStringLiteral("element [ ") + t.element
                + QStringLiteral(" ] cannot be titrated in this system");
        return 1;
    }
    if (!usable_source(w1, QStringLiteral("the first"), &msgs)
        || !usable_source(w2, QStringLiteral("the second"), &msgs))
        return 1;
    double m1 = 0.0, m2 = 0.0;
    if (!result_total(w1, t.element, &m1) || !result_total(w2, t.element, &m2)) {
        msgs << QStringLiteral("a water's result has no total of [ ") + t.element
                + QStringLiteral(" ]: run both waters again");
        return 1;
    }
    const double d1 = w1->densitymass, d2 = w2->densitymass;
    // The totals in the unit of the target. Molar = molal x density, and a mixture's
    // Molar total is linear in the volume fraction; molal and ppm are linear in the
    // mass fraction.
    const double k = t.unit == global::ppm ? b->element_ppmFactor(t.element) : 1.0;
    const double c1 = t.unit == global::Molar ? m1 * d1 : m1 * k;
    const double c2 = t.unit == global::Molar ? m2 * d2 : m2 * k;
    const QString unitName = global().unitConcn_toString(t.unit);
    const double span = std::max(std::fabs(c1), std::fabs(c2));
    double share = 0.0; // volume fraction (Molar) or mass fraction of water 2
    if (std::fabs(c1 - c2) <= 1e-12 * span)
        share = std::fabs(t.value - c1) <= 1e-9 * span ? 0.0 : -1.0;
    else
        share = (c1 - t.value) / (c1 - c2);
    if (!std::isfinite(t.value) || share < -1e-12 || share > 1.0 + 1e-12) {
        msgs << QStringLiteral("target ") + num(t.value) + QLatin1Char(' ') + unitName
                + QStringLiteral(" of [ ") + t.element
                + QStringLiteral(" ] cannot be reached: the two waters give ")
                + num(std::min(c1, c2)) + QStringLiteral(" to ") + num(std::max(c1, c2))
                + QLatin1Char(' ') + unitName;
        return 1;
    }
    share = std::clamp(share, 0.0, 1.0);
    const double f
        = t.unit == global::Molar ? share : share * d1 / (d2 * (1.0 - share) + share * d1);
    return mix_at(b, w1, w2, f, t.TC, model, m, out);
}

} // namespace

int titrate(sbatch *b, const one_water *w1, const one_water *w2, const titration &t,
            one_water *model, mixture *m, speciation *out)
{
    out->messages.clear();
    delete model->results;
    model->results = nullptr;
    if (t.onpH && !(t.pH >= 0.0 && t.pH <= 14.0)) {
        out->messages << QStringLiteral("target pH must be a number from 0 to 14");
        return 1;
    }
    return t.onpH ? titrate_pH(b, w1, w2, t, model, m, out)
                  : titrate_element(b, w1, w2, t, model, m, out);
}

void complete_result(sbatch *b, one_water *model, one_water_result *r)
{
    properties_water props;
    props.setup_properties(b, nullptr);
    model->alkSolutes.clear();
    model->alkCoeffs.clear();
    props.setup_alkalinityEqn(b, *model);
    props.complete_result(b, model, r);
}

} // namespace mix_calc
