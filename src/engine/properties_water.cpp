#include "properties_water.h"

#include "records.h"
#include "sbatch.h"

#include <QDebug>
#include <QStringList>

void properties_water::setup_properties(sbatch *b, dbdata *db)
{
    batch = b;
    dbase = db;
    sdata = b ? b->sdata : nullptr;
}

int properties_water::setup_alkalinityEqn(sbatch *b, one_water &w)
{
    if (b->find_idxBatch_element("C") < 0) {
        qDebug() << "PW: # C not in the elements list, alkalinity eqn. not set.";
        return 1;
    }
    w.alkSolutes.clear();
    w.alkCoeffs.clear();
    QStringList errors;
    auto addTerm = [&](const QStringList &tried, double coef) {
        for (const QString &name : tried) {
            const int i = b->find_idxBatch_solute(name);
            if (i >= 0) {
                w.alkSolutes << b->sdata->solutes.at(i)->name;
                w.alkCoeffs << coef;
                return;
            }
        }
        errors << "alkalinity expression component [ " + tried.last() + " ] not found in database";
    };
    addTerm({"HCO3-"}, 1.0);
    addTerm({"CO3--", "CO32-"}, 2.0);
    addTerm({"OH-"}, 1.0);
    addTerm({"H+"}, -1.0);
    if (errors.isEmpty())
        return 0;
    qDebug() << "##  error constructing alkalinity equation";
    for (const QString &e : std::as_const(errors))
        qDebug() << "    " + e;
    return 1;
}

double properties_water::total_carbAlkalinity(one_water *w, one_water_result *r)
{
    double sum = 0.0;
    for (int k = 0; k < w->alkSolutes.size() && k < w->alkCoeffs.size(); ++k) {
        const one_waterResult_solute *found = nullptr;
        for (const one_waterResult_solute *s : std::as_const(r->soln_aq))
            if (s->solute == w->alkSolutes.at(k)) {
                found = s;
                break;
            }
        if (found == nullptr) {
            qDebug() << "PW: alkalinity equation, did not find " << w->alkSolutes.at(k) << ".";
            continue;
        }
        sum += w->alkCoeffs.at(k) * found->cmolal;
    }
    return sum;
}

double properties_water::total_dissolvedSolid(sbatch *b, one_water_result *r)
{
    // Every dissolved species counts with its whole formula mass (the oxygen of
    // sulfate and carbonate included); water itself does not.
    const sim_data *sd = b->sdata;
    double grams = 0.0;
    for (const one_waterResult_solute *s : std::as_const(r->soln_aq)) {
        if (s->solute == sd->nameH2O || s->solute == sd->nameO2g)
            continue;
        const one_solute *rec = nullptr;
        for (const one_solute *cand : std::as_const(sd->solutes))
            if (cand->name == s->solute) {
                rec = cand;
                break;
            }
        if (rec == nullptr) {
            qDebug() << "PW: tds calculation, species " << s->solute << " not found";
            continue;
        }
        grams += s->cmolal * rec->mol_wt;
    }
    return grams * 1000.0;
}

double properties_water::conductivity(one_water_result *)
{
    return 0.0;
}

double properties_water::dielectricConst(one_water_result *)
{
    return 0.0;
}

void properties_water::complete_result(sbatch *b, one_water *w, one_water_result *r)
{
    const double d = w->densitymass;
    for (one_waterResult_element *e : std::as_const(r->soln_elem)) {
        e->cMolar = e->cmolal * d;
        e->cppm = e->cmolal * b->element_ppmFactor(e->element);
    }
    for (one_waterResult_solute *s : std::as_const(r->soln_aq)) {
        s->cshown = s->cmolal;
        s->cMolar = s->cmolal * d;
    }
    for (one_waterResult_solute *g : std::as_const(r->soln_gas))
        g->cshown = g->cmolal;
    w->pHspcn = r->resultpH;
    r->alkCarb = total_carbAlkalinity(w, r);
    r->tds = total_dissolvedSolid(b, r);
    r->conduct = conductivity(r);
    r->dielectConst = dielectricConst(r);
}
