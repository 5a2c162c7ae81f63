#include "support_toy.h"

#include "records.h"

void toy_begin(sim_data *sd, const toy_parts &elements)
{
    sd->nameH = "H";
    sd->nameO = "O";
    sd->nameHplus = "H+";
    sd->nameH2O = "H2O";
    sd->nameO2g = "O2(g)";
    sd->ctrlset = new one_ctrlset;
    sd->ctrlset->csolvitmax = 31;
    sd->ctrlset->csolvcvg = 1e-6;
    sd->ctrlset->csolvcmin = 1e-36;
    sd->ctrlset->csolvcmax = 35.0;
    for (const auto &[n, mw] : elements) {
        auto *e = sd->own(new one_element);
        e->name = n;
        e->mol_wt = mw;
        sd->elements << e;
    }
}

one_solute *toy_solute(sim_data *sd, const QString &name, double z, double a, double mw,
                       const toy_parts &elements)
{
    auto *s = sd->own(new one_solute);
    s->name = name;
    s->charge = z;
    s->DHazero = a;
    s->mol_wt = mw;
    s->composition = new one_comp_elements;
    for (const auto &e : elements) {
        s->composition->element << e.first;
        s->composition->stoich << e.second;
    }
    s->composition->ncomp = int(elements.size());
    sd->solutes << s;
    return s;
}

one_rxn *toy_reaction(sim_data *sd, const QString &name, int type, const toy_parts &species,
                      const QList<double> &coeff, const QList<double> &quotient)
{
    auto *r = sd->own(new one_rxn);
    r->name = name;
    r->type = type;
    r->composition = new one_comp_solutes;
    for (const auto &s : species) {
        r->composition->solute << s.first;
        r->composition->stoich << s.second;
    }
    r->composition->ncomp = int(species.size());
    r->eqk = new one_rxn_eqk;
    r->eqk->coeff = coeff;
    r->eqk->quotient = quotient;
    r->eqk->nterms = int(coeff.size());
    return r;
}
