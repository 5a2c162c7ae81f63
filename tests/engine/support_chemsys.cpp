#include "support_chemsys.h"

#include "data0_reader.h"
#include "poly_fit.h"
#include "records.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QSet>

#include <cmath>
#include <functional>
#include <memory>

namespace {

std::unique_ptr<data0_file> gData0;

const QString nameO2g = "O2(g)";

bool isO2gOrAq(const QString &n)
{
    return n == nameO2g;
}

one_comp_elements *compositionOf(const data0_species &sp)
{
    auto *c = new one_comp_elements;
    for (const data0_entry &e : sp.elements) {
        c->element << e.name;
        c->stoich << e.stoich;
        c->element_id << 0;
    }
    c->ncomp = int(c->element.size());
    return c;
}

one_rxn_eqk *eqkOf(const data0_species &sp)
{
    auto *k = new one_rxn_eqk;
    k->name = sp.name;
    QList<double> x, y;
    for (int i = 0; i < data0_gridSize; ++i) {
        k->temperature << gData0->temperatures.value(i);
        k->eqkLog10 << (sp.valid[i] ? sp.logK[i] : 500.0);
        if (sp.valid[i]) {
            x << gData0->temperatures.value(i);
            y << sp.logK[i];
        }
    }
    k->coeff = poly_fit::interpolate(x, y);
    for (int i = 0; i < k->coeff.size(); ++i) {
        k->quotient << double(i);
        k->order_idx << i;
    }
    k->nterms = int(k->coeff.size());
    k->type_eqn = 0;
    return k;
}

one_rxn *reactionOf(sim_data *sd, const data0_species &sp, int type)
{
    auto *r = sd->own(new one_rxn);
    r->name = sp.name;
    r->type = type;
    r->composition = new one_comp_solutes;
    for (const data0_entry &e : sp.reaction) {
        r->composition->solute << e.name;
        r->composition->stoich << e.stoich;
        r->composition->solute_id << 0;
    }
    r->composition->ncomp = int(sp.reaction.size());
    r->compSpecies = compositionOf(sp);
    r->eqk = eqkOf(sp);
    return r;
}

bool validAt(const data0_species &sp, double T)
{
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < data0_gridSize; ++i)
        if (sp.valid[i]) {
            lo = std::min(lo, gData0->temperatures.value(i));
            hi = std::max(hi, gData0->temperatures.value(i));
        }
    return lo <= T + 1e-9 && T <= hi + 1e-9;
}

} // namespace

bool chemsys_loadData0(QString *message)
{
    if (gData0)
        return true;
    auto file = std::make_unique<data0_file>();
    QStringList msgs;
    data0_reader reader;
    if (reader.read_file(QStringLiteral(VEK7_DATA0_FILE), file.get(), &msgs) != 0) {
        if (message)
            *message = msgs.join("\n");
        return false;
    }
    gData0 = std::move(file);
    return true;
}

sim_data *chemsys_build(const chemsys_request &req)
{
    auto *sd = new sim_data;
    sd->nameH = "H";
    sd->nameO = "O";
    sd->nameC = "C";
    sd->nameHplus = "H+";
    sd->nameH2O = "H2O";
    sd->nameCl = "Cl-";
    sd->nameO2g = nameO2g;
    sd->nameOH = "OH-";
    sd->ctrlset = new one_ctrlset;
    sd->ctrlset->dbaccess = true;
    sd->ctrlset->csolvitmax = 31;
    sd->ctrlset->csolvcvg = 1e-6;
    sd->ctrlset->csolvcmax = 35.0;
    sd->ctrlset->csolvcmin = 1e-36;
    sd->ctrlset->TCmax = 350.0;
    sd->ctrlset->TCmin = 0.1;

    QStringList elementNames = {"O", "H"};
    elementNames << req.elements;
    const QSet<QString> inSystem(elementNames.begin(), elementNames.end());
    for (const QString &name : elementNames) {
        for (const data0_element &e : gData0->elements)
            if (e.name == name) {
                auto *el = sd->own(new one_element);
                el->name = e.name;
                el->mol_wt = e.mol_wt;
                sd->elements << el;
            }
    }

    // Species by name, and which of them are redox: a reaction with O2(g), or
    // with a redox species, makes its species redox.
    QHash<QString, const data0_species *> byName;
    for (const data0_species &sp : gData0->species)
        if (sp.kind >= d0_basis && sp.kind <= d0_aqueous && !byName.contains(sp.name))
            byName.insert(sp.name, &sp);
    QHash<QString, bool> redox;
    std::function<bool(const QString &)> isRedox = [&](const QString &name) -> bool {
        if (redox.contains(name))
            return redox.value(name);
        redox.insert(name, false);
        const data0_species *sp = byName.value(name);
        bool r = false;
        if (sp && sp->kind != d0_basis)
            for (const data0_entry &e : sp->reaction)
                if (e.name != name && (isO2gOrAq(e.name) || isRedox(e.name)))
                    r = true;
        redox.insert(name, r);
        return r;
    };
    // A redox species takes part when its elements besides H and O are all listed;
    // one made of H and O only, when one of its elements is listed.
    auto elementsCovered = [&](const data0_species &sp, bool &redoxAllowed) {
        bool others = false, allListed = true, anyListed = false;
        for (const data0_entry &e : sp.elements) {
            if (!inSystem.contains(e.name))
                return false;
            const bool listed = req.redoxElements.contains(e.name);
            anyListed = anyListed || listed;
            if (e.name != "H" && e.name != "O") {
                others = true;
                allListed = allListed && listed;
            }
        }
        redoxAllowed = others ? allListed : anyListed;
        return true;
    };
    const bool withRedox = !req.redoxElements.isEmpty();

    // Solutes: basis species first, then auxiliary and aqueous species in file order.
    QSet<QString> solutes;
    auto addSolute = [&](const data0_species &sp) {
        auto *s = sd->own(new one_solute);
        s->name = sp.name;
        s->formula = sp.formula;
        s->charge = sp.charge;
        s->mol_wt = sp.mol_wt;
        s->DHazero = sp.DHazero;
        s->type = sp.kind;
        s->composition = compositionOf(sp);
        sd->solutes << s;
        solutes.insert(sp.name);
    };
    for (const data0_species &sp : gData0->species) {
        if (sp.kind != d0_basis)
            continue;
        bool allowed = false;
        if (!elementsCovered(sp, allowed))
            continue;
        if (sp.name == nameO2g && !withRedox)
            continue;
        addSolute(sp);
    }
    for (const data0_species &sp : gData0->species) {
        if (sp.kind != d0_aux && sp.kind != d0_aqueous)
            continue;
        bool redoxAllowed = false;
        if (!elementsCovered(sp, redoxAllowed) || !sp.hasGrid || !validAt(sp, req.TC))
            continue;
        if (isRedox(sp.name) && !redoxAllowed)
            continue;
        bool all = true;
        for (const data0_entry &e : sp.reaction)
            if (e.name != sp.name && !solutes.contains(e.name))
                all = false;
        if (!all)
            continue;
        addSolute(sp);
        sd->rxnsAqueous << reactionOf(sd, sp, sp.kind);
    }
    for (const QString &g : req.gases) {
        for (const data0_species &sp : gData0->species) {
            if (sp.kind != d0_gas || sp.name != g)
                continue;
            auto *gas = sd->own(new one_gas);
            gas->name = sp.name;
            gas->mol_wt = sp.mol_wt;
            gas->type = 6;
            gas->composition = compositionOf(sp);
            sd->gases << gas;
            sd->rxnsGas << reactionOf(sd, sp, 6);
        }
    }
    sd->nelements = int(sd->elements.size());
    sd->nsolutes = int(sd->solutes.size());
    sd->ngases = int(sd->gases.size());
    sd->nrxnsAqueous = int(sd->rxnsAqueous.size());
    sd->nrxnsGas = int(sd->rxnsGas.size());
    return sd;
}

one_water *chemsys_water(sim_data *sd, const QMap<QString, double> &totals, double TC,
                         double pH, double fO2)
{
    auto *w = sd->own(new one_water);
    w->name = "reference";
    w->TC = TC;
    w->densitymass = 1.0;
    w->activitymethod = 4;
    w->activitywater = 2;
    w->typeH = pH >= 0.0 ? 1 : 0;
    for (const one_element *e : std::as_const(sd->elements)) {
        auto *c = new one_elementComp;
        c->element = e->name;
        c->solute = e->name;
        if (e->name == "O") {
            c->molal = c->Molar = 1.0;
            c->species << "H2O";
        } else if (e->name == "H") {
            c->molal = c->Molar = pH >= 0.0 ? std::pow(10.0, -pH) : 1e-7;
            c->species << "H+";
        } else {
            c->molal = c->Molar = totals.value(e->name);
            for (const one_solute *s : std::as_const(sd->solutes)) {
                for (int k = 0; k < s->composition->element.size(); ++k)
                    if (s->composition->element.at(k) == e->name) {
                        c->species << s->name;
                        c->stoich << s->composition->stoich.at(k);
                    }
            }
            for (const one_gas *g : std::as_const(sd->gases)) {
                for (int k = 0; k < g->composition->element.size(); ++k)
                    if (g->composition->element.at(k) == e->name) {
                        c->species << g->name;
                        c->stoich << g->composition->stoich.at(k);
                    }
            }
        }
        w->composition << c;
    }
    w->ncomposition = int(w->composition.size());
    w->pHcomp = pH;
    if (pH < 0.0) {
        w->chargebalance = true;
        w->chargebalanceElem = "H";
        w->chargebalanceSolute = "H+";
    }
    w->redoxO2g = new one_elementComp;
    w->redoxO2g->element = nameO2g;
    w->redoxO2g->solute = nameO2g;
    if (fO2 > 0.0) {
        w->stag_O2g = true;
        w->redoxO2g->molal = w->redoxO2g->Molar = fO2;
    }
    sd->waters << w;
    sd->nwaters = int(sd->waters.size());
    return w;
}

QJsonObject chemsys_readCase(const QString &name)
{
    QFile f(QStringLiteral(VEK7_REFERENCE_DIR) + "/eq3nr/" + name + ".json");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}
