#include "copy_struct.h"

#include <QDateTime>

#include <algorithm>

one_ctrlset *copy_struct::copy_ctrlset(const one_ctrlset *src)
{
    return src ? new one_ctrlset(*src) : nullptr;
}

one_comp_elements *copy_struct::copy_comp_elements(const one_comp_elements *src)
{
    return src ? new one_comp_elements(*src) : nullptr;
}

one_comp_solutes *copy_struct::copy_comp_solutes(const one_comp_solutes *src)
{
    return src ? new one_comp_solutes(*src) : nullptr;
}

one_rxn_eqk *copy_struct::copy_rxn_eqk(const one_rxn_eqk *src)
{
    return src ? new one_rxn_eqk(*src) : nullptr;
}

one_rxn *copy_struct::copy_rxn(const one_rxn *src)
{
    if (!src)
        return nullptr;
    auto *r = new one_rxn;
    r->id = src->id;
    r->tag = src->tag;
    r->name = src->name;
    r->formula = src->formula;
    r->infoAux1 = src->infoAux1;
    r->infoAux2 = src->infoAux2;
    r->date = src->date;
    r->date_revised = src->date_revised;
    r->comment = src->comment;
    r->type = src->type;
    r->typeRequested = src->typeRequested;
    r->infoAux3 = src->infoAux3;
    r->thermo = nullptr;
    r->compSpecies = copy_comp_elements(src->compSpecies);
    r->composition = copy_comp_solutes(src->composition);
    r->expression = src->expression;
    r->elements = src->elements;
    r->eqk = copy_rxn_eqk(src->eqk);
    r->listAux = src->listAux;
    r->flagAux = src->flagAux;
    return r;
}

one_redoxRxn *copy_struct::copy_redoxRxn(const one_redoxRxn *src)
{
    if (!src)
        return nullptr;
    auto *r = new one_redoxRxn;
    r->id = src->id;
    r->element = src->element;
    r->redoxpair = src->redoxpair;
    r->solutes = src->solutes;
    r->elementRec = copy_element(src->elementRec);
    r->gasRec = copy_gas(src->gasRec);
    r->rxn = copy_rxn(src->rxn);
    r->soluteRecs = src->soluteRecs;
    r->ownsLinks = true;
    return r;
}

one_elementComp *copy_struct::copy_elementComp(const one_elementComp *src)
{
    return src ? new one_elementComp(*src) : nullptr;
}

one_gasComp *copy_struct::copy_gasComp(const one_gasComp *src)
{
    if (!src)
        return nullptr;
    auto *g = new one_gasComp(*src);
    g->id = 0;
    return g;
}

one_waterResult_element *copy_struct::copy_waterResult_element(const one_waterResult_element *src)
{
    return src ? new one_waterResult_element(*src) : nullptr;
}

one_waterResult_solute *copy_struct::copy_waterResult_solute(const one_waterResult_solute *src)
{
    return src ? new one_waterResult_solute(*src) : nullptr;
}

one_waterResult_rxn *copy_struct::copy_waterResult_rxn(const one_waterResult_rxn *src)
{
    return src ? new one_waterResult_rxn(*src) : nullptr;
}

one_water_mixModel *copy_struct::copy_water_mixModel(const one_water_mixModel *src)
{
    return src ? new one_water_mixModel(*src) : nullptr;
}

namespace {

/// A new list holding a copy of every entry (null entries stay null).
template<class T, class Copy>
QList<T *> copyList(const QList<T *> &src, Copy copy)
{
    QList<T *> out;
    out.reserve(src.size());
    for (const T *rec : src)
        out.append(copy(rec));
    return out;
}

} // namespace

one_water_result *copy_struct::copy_water_result(const one_water_result *src)
{
    if (!src)
        return nullptr;
    auto *r = new one_water_result;
    r->date_str = src->date_str;
    r->date_utc = src->date_utc;
    r->TC = src->TC;
    r->resultpH = src->resultpH;
    r->densitymass = src->densitymass;
    r->ionicstrength = src->ionicstrength;
    r->chargebalance = src->chargebalance;
    r->alkCarb = src->alkCarb;
    r->conduct = src->conduct;
    r->tds = src->tds;
    r->dielectConst = src->dielectConst;
    r->loops = src->loops;
    r->cvgValue = src->cvgValue;
    r->converged = src->converged;
    r->soln_elem = copyList(src->soln_elem, [this](const one_waterResult_element *e) {
        return copy_waterResult_element(e);
    });
    auto solute = [this](const one_waterResult_solute *s) { return copy_waterResult_solute(s); };
    r->soln_aq = copyList(src->soln_aq, solute);
    r->soln_gas = copyList(src->soln_gas, solute);
    auto rxn = [this](const one_waterResult_rxn *x) { return copy_waterResult_rxn(x); };
    r->rxns = copyList(src->rxns, rxn);
    r->solids = copyList(src->solids, rxn);
    return r;
}

one_water *copy_struct::copy_water(const one_water *src)
{
    if (!src)
        return nullptr;
    auto *w = new one_water;
    w->id = src->id;
    w->name = src->name;
    w->date_str = QDateTime::currentDateTime().toString(Qt::TextDate);
    w->date_utc = QDateTime::currentSecsSinceEpoch();
    w->description = QStringLiteral("-----  ") + w->date_str + QStringLiteral(": duplicated from ")
        + src->name + QLatin1Char('\n') + src->description;
    w->date_updated = src->date_updated;
    w->date_utcUpdated = src->date_utcUpdated;

    w->densitymass = src->densitymass;
    w->TC = src->TC;
    w->activitymethod = src->activitymethod;
    w->activitywater = src->activitywater;
    w->chargebalance = src->chargebalance;
    w->chargebalanceSolute = src->chargebalanceSolute;
    w->chargebalanceElem = src->chargebalanceElem;
    w->alkSet = src->alkSet;
    w->alkAux = src->alkAux;
    w->alkElem = src->alkElem;
    w->alkmolal = src->alkmolal;
    w->alkMolar = src->alkMolar;
    w->alkUnit = src->alkUnit;
    w->alkSolutes = src->alkSolutes;
    w->alkCoeffs = src->alkCoeffs;
    w->typeH = src->typeH;
    w->concnunitElem = src->concnunitElem;
    w->concnunit = src->concnunit;
    w->concnunitGas = src->concnunitGas;
    w->typeHIndex = src->typeHIndex;
    w->unitIndex2 = src->unitIndex2;
    w->unitIndex3 = src->unitIndex3;
    w->unitIndex4 = src->unitIndex4;
    w->unitAux1 = src->unitAux1;
    w->unitAux2 = src->unitAux2;
    w->unitAux3 = src->unitAux3;
    w->pHcomp = src->pHcomp;
    w->pHspcn = src->pHspcn;
    w->phAux = src->phAux;

    w->composition = copyList(src->composition,
                              [this](const one_elementComp *e) { return copy_elementComp(e); });
    w->ncomposition = int(w->composition.size());
    w->stag_O2g = src->stag_O2g;
    w->redoxO2g = copy_elementComp(src->redoxO2g);
    w->redoxO2gSwaprxn = src->redoxO2gSwaprxn;
    w->gasComp = copyList(src->gasComp, [this](const one_gasComp *g) { return copy_gasComp(g); });
    w->ngasComp = src->ngasComp;
    // Swap reactions belong to the loaded database; the copy links the same ones.
    w->rxnsConstraint = src->rxnsConstraint;
    w->nrxnsConstraint = src->nrxnsConstraint;

    w->statmixing = src->statmixing;
    w->stattitrate = src->stattitrate;
    w->mixdata = copy_water_mixModel(src->mixdata);
    w->results = copy_water_result(src->results);
    w->resAux[0] = src->resAux[0];
    w->resAux[1] = src->resAux[1];
    return w;
}

one_water *copy_struct::duplicate_water(const one_water *src, const QList<one_water *> &waters)
{
    if (!src)
        return nullptr;
    const auto taken = [&waters](const QString &name) {
        return std::any_of(waters.begin(), waters.end(), [&name](const one_water *w) {
            return w && w->name.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    one_water *copy = copy_water(src);
    for (int n = 1;; ++n) {
        copy->name = src->name + QStringLiteral(" dupl") + QString::number(n);
        if (!taken(copy->name))
            return copy;
    }
}

one_element *copy_struct::copy_element(const one_element *src)
{
    return src ? new one_element(*src) : nullptr;
}

namespace {

/// Copies the fields every species record has in common.
template<class T>
void copyHead(T *dst, const T *src)
{
    dst->id = src->id;
    dst->tag = src->tag;
    dst->name = src->name;
    dst->formula = src->formula;
    dst->date = src->date;
    dst->date_revised = src->date_revised;
    dst->comment = src->comment;
    dst->type = src->type;
    dst->intAux = src->intAux;
    dst->thermo = src->thermo;
    dst->mol_wt = src->mol_wt;
}

} // namespace

one_solute *copy_struct::copy_solute(const one_solute *src)
{
    if (!src)
        return nullptr;
    auto *s = new one_solute;
    copyHead(s, src);
    s->charge = src->charge;
    s->DHazero = src->DHazero;
    s->namesAux = src->namesAux;
    s->listAux = src->listAux;
    s->composition = copy_comp_elements(src->composition);
    return s;
}

one_gas *copy_struct::copy_gas(const one_gas *src)
{
    if (!src)
        return nullptr;
    auto *g = new one_gas;
    copyHead(g, src);
    g->dblAux = src->dblAux;
    g->fcoeff = src->fcoeff;
    g->molar_volume = src->molar_volume;
    g->listAux = src->listAux;
    g->fixed = src->fixed;
    g->composition = copy_comp_elements(src->composition);
    return g;
}

one_solid *copy_struct::copy_solid(const one_solid *src)
{
    if (!src)
        return nullptr;
    auto *s = new one_solid;
    copyHead(s, src);
    s->nrxns = src->nrxns;
    s->rxns = src->rxns;
    s->molar_volume = src->molar_volume;
    s->listAux = src->listAux;
    s->composition = copy_comp_elements(src->composition);
    return s;
}

one_liquid *copy_struct::copy_liquid(const one_liquid *src)
{
    if (!src)
        return nullptr;
    auto *l = new one_liquid;
    copyHead(l, src);
    l->molar_volume = src->molar_volume;
    l->composition = copy_comp_elements(src->composition);
    return l;
}
