// Which reactions take part in a run at its temperature. A log K polynomial is a fit
// to tabulated values; outside them it may go anywhere, so a reaction takes part only
// where its data reach. A constant known at 25 C alone is still a fair estimate up to
// the boiling point. Every species formed by a reaction that is left out leaves with
// it, and so does every reaction that needs such a species.

#include "sim0D.h"

#include "records.h"
#include "sim_system.h"

#include <QSet>

#include <cmath>
#include <limits>

namespace {

/// data0 marks a missing log K grid value with this number.
const double noLogK = 500.0;
/// A constant tabulated at this temperature only ...
const double onlyAtTC = 25.0;
/// ... serves below this one.
const double onlyAtLimitTC = 100.0;
/// Slack of a comparison with a tabulated temperature.
const double slackTC = 1e-9;

/// The tabulated temperatures of a log K: false when it has no table at all
/// (hand-made data: the polynomial is all there is, valid everywhere). A table
/// without a single value gives an empty range (lo > hi).
bool tabulatedRange(const one_rxn_eqk *k, double &lo, double &hi)
{
    if (k == nullptr || k->temperature.isEmpty() || k->temperature.size() != k->eqkLog10.size())
        return false;
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    for (int i = 0; i < k->temperature.size(); ++i)
        if (std::fabs(k->eqkLog10.at(i) - noLogK) > 1e-9) {
            lo = std::min(lo, k->temperature.at(i));
            hi = std::max(hi, k->temperature.at(i));
        }
    return true;
}

/// Names of the aqueous reactions (the species they form) and of the gas reactions
/// left out at TC.
void leftOutAt(const sim_data *sd, double TC, QSet<QString> &aqueous, QSet<QString> &gas)
{
    for (const one_rxn *r : std::as_const(sd->rxnsAqueous))
        if (!sim0D::logKCovers(r, TC))
            aqueous.insert(r->name);
    for (const one_rxn *r : std::as_const(sd->rxnsGas))
        if (!sim0D::logKCovers(r, TC))
            gas.insert(r->name);
    if (aqueous.isEmpty())
        return;
    auto needsLeftOut = [&aqueous](const one_rxn *r) {
        if (r->composition == nullptr)
            return false;
        for (const QString &name : r->composition->solute)
            if (name != r->name && aqueous.contains(name))
                return true;
        return false;
    };
    for (bool grew = true; grew;) {
        grew = false;
        for (const one_rxn *r : std::as_const(sd->rxnsAqueous))
            if (!aqueous.contains(r->name) && needsLeftOut(r)) {
                aqueous.insert(r->name);
                grew = true;
            }
    }
    for (const one_rxn *r : std::as_const(sd->rxnsGas))
        if (needsLeftOut(r))
            gas.insert(r->name);
}

} // namespace

bool sim0D::logKCovers(const one_rxn *r, double TC)
{
    double at = TC;
    return r == nullptr || logKTemperature(r->eqk, TC, &at);
}

bool sim0D::logKTemperature(const one_rxn_eqk *k, double TC, double *at)
{
    *at = TC;
    double lo = 0.0, hi = 0.0;
    if (!tabulatedRange(k, lo, hi))
        return true;
    if (std::fabs(lo - onlyAtTC) < slackTC && std::fabs(hi - onlyAtTC) < slackTC) {
        *at = onlyAtTC;
        return TC < onlyAtLimitTC;
    }
    return TC >= lo - slackTC && TC <= hi + slackTC;
}

QStringList sim0D::reactionsLeftOut(const sim_data *sd, double TC)
{
    QStringList names;
    if (sd == nullptr)
        return names;
    QSet<QString> aqueous, gas;
    leftOutAt(sd, TC, aqueous, gas);
    for (const one_rxn *r : std::as_const(sd->rxnsAqueous))
        if (aqueous.contains(r->name))
            names << r->name;
    for (const one_rxn *r : std::as_const(sd->rxnsGas))
        if (gas.contains(r->name))
            names << r->name;
    return names;
}

namespace {

/// The rule of logKTemperature on a prepared system's tabulated range.
bool rangeCovers(double lo, double hi, double TC)
{
    if (std::fabs(lo - onlyAtTC) < slackTC && std::fabs(hi - onlyAtTC) < slackTC)
        return TC < onlyAtLimitTC;
    return TC >= lo - slackTC && TC <= hi + slackTC;
}

} // namespace

// The prepared system knows each reaction's range: the common run, where every
// reaction takes part, costs one comparison per reaction.
bool sim0D::all_reactions_take_part(const sim_system &s, double TC)
{
    for (int i = 0; i < s.nrxnsFast; ++i)
        if (!rangeCovers(s.logKlow[size_t(i)], s.logKhigh[size_t(i)], TC))
            return false;
    return true;
}

std::vector<char> sim0D::reactions_taking_part(const sim_system &s, double TC)
{
    std::vector<char> takesPart(size_t(s.nrxnsFast), 0);
    for (int i = 0; i < s.nrxnsFast; ++i)
        takesPart[size_t(i)] = rangeCovers(s.logKlow[size_t(i)], s.logKhigh[size_t(i)], TC);
    return takesPart;
}

void sim0D::record_logK_ranges()
{
    sim_system &s = *building;
    const double inf = std::numeric_limits<double>::infinity();
    s.logKlow.assign(size_t(s.nrxnsFast), -inf);
    s.logKhigh.assign(size_t(s.nrxnsFast), inf);
    const int naq = int(sdata->rxnsAqueous.size());
    for (int i = 0; i < s.nrxnsFast; ++i) {
        const one_rxn *r = i < naq ? sdata->rxnsAqueous.at(i) : sdata->rxnsGas.at(i - naq);
        double lo = 0.0, hi = 0.0;
        if (r != nullptr && tabulatedRange(r->eqk, lo, hi)) {
            s.logKlow[size_t(i)] = lo;
            s.logKhigh[size_t(i)] = hi;
        }
    }
}

void sim0D::view_deleter::operator()(sim_data *v) const
{
    // The view links the batch's records and its control set; it owns none of them.
    v->ctrlset = nullptr;
    v->bdot = nullptr;
    delete v;
}

// The batch's records a run at the temperature keeps, and the reactions it leaves
// out, for the reactions marked in `takesPart`.
sim_left_out sim0D::find_left_out(std::vector<char> takesPart) const
{
    sim_left_out out;
    out.takesPart = std::move(takesPart);
    QSet<QString> aqueous, gas;
    leftOutAt(sdata, water->TC, aqueous, gas);
    const sim_data *batch = sdata;
    for (int i = 0; i < batch->solutes.size(); ++i)
        if (!aqueous.contains(batch->solutes.at(i)->name))
            out.solutes.push_back(i);
    for (int i = 0; i < batch->rxnsAqueous.size(); ++i) {
        if (aqueous.contains(batch->rxnsAqueous.at(i)->name))
            out.names << batch->rxnsAqueous.at(i)->name;
        else
            out.aqueous.push_back(i);
    }
    for (int i = 0; i < batch->rxnsGas.size(); ++i) {
        if (gas.contains(batch->rxnsGas.at(i)->name))
            out.names << batch->rxnsGas.at(i)->name;
        else
            out.gasRxns.push_back(i);
    }
    for (int i = 0; i < batch->gases.size(); ++i)
        if (!gas.contains(batch->gases.at(i)->name))
            out.gases.push_back(i);
    out.species = aqueous + gas; // a gas left out is no species of an element's amount
    out.namesText = out.names.join(", ");
    return out;
}

// The run works on a view of the batch without the reactions left out at its
// temperature and the species they form; the note names them.
void sim0D::leave_out_reactions(const sim_left_out &out)
{
    if (out.names.isEmpty())
        return;
    const sim_data *batch = sdata;
    view.reset(new sim_data);
    sim_data *v = view.get();
    v->nameH = batch->nameH;
    v->nameO = batch->nameO;
    v->nameC = batch->nameC;
    v->nameCl = batch->nameCl;
    v->nameHplus = batch->nameHplus;
    v->nameH2O = batch->nameH2O;
    v->nameO2g = batch->nameO2g;
    v->nameOH = batch->nameOH;
    v->ctrlset = batch->ctrlset;
    v->bdot = batch->bdot;
    v->elements = batch->elements;
    v->solids = batch->solids;
    auto pick = [](auto &to, const auto &from, const std::vector<int> &kept) {
        to.reserve(qsizetype(kept.size()));
        for (int i : kept)
            to << from.at(i);
    };
    pick(v->solutes, batch->solutes, out.solutes);
    pick(v->rxnsAqueous, batch->rxnsAqueous, out.aqueous);
    pick(v->rxnsGas, batch->rxnsGas, out.gasRxns);
    pick(v->gases, batch->gases, out.gases);
    v->nelements = int(v->elements.size());
    v->nsolutes = int(v->solutes.size());
    v->nsolids = int(v->solids.size());
    v->ngases = int(v->gases.size());
    v->nrxnsAqueous = int(v->rxnsAqueous.size());
    v->nrxnsGas = int(v->rxnsGas.size());
    leftOutSpecies = out.species;
    runNotes << QString("note : %1 reactions left out at %2 C, without log K data there or "
                        "needing a species formed by one without: %3")
                    .arg(out.names.size())
                    .arg(water->TC)
                    .arg(out.namesText);
    sdata = v;
}
