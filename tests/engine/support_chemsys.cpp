#include "support_chemsys.h"

#include "dbdata.h"
#include "global.h"
#include "poly_fit.h"
#include "records.h"
#include "sim0D.h"
#include "solver_records.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <vector>

namespace {

/// The loaded database, shared by every system of the program.
std::unique_ptr<dbdata> gDb;
/// Control set of the database's working lists (the image links it).
std::unique_ptr<one_ctrlset> gCtrl;

/// data0 marks a missing log K grid value with this number.
const double noLogK = 500.0;

bool coveredBy(const one_comp_elements *c, const QSet<QString> &elements)
{
    if (c == nullptr)
        return false;
    for (const QString &e : c->element)
        if (!elements.contains(e))
            return false;
    return true;
}

/// True when the reaction's log K data reach T: a constant tabulated at 25 C only
/// below 100 C, any other within its tabulated temperatures.
bool tabulatedAt(const one_rxn *r, double T)
{
    const one_rxn_eqk *k = r->eqk;
    if (k == nullptr || k->temperature.size() != k->eqkLog10.size())
        return false;
    QList<double> at;
    for (int i = 0; i < k->temperature.size(); ++i)
        if (k->eqkLog10.at(i) != noLogK)
            at << k->temperature.at(i);
    if (at == QList<double> {25.0})
        return T < 100.0;
    return !at.isEmpty() && *std::min_element(at.begin(), at.end()) <= T + 1e-9
        && T <= *std::max_element(at.begin(), at.end()) + 1e-9;
}

} // namespace

bool chemsys_loadDatabase(QString *message)
{
    if (gDb)
        return true;
    QString src = QStringLiteral(":/thermo/db-EQ3v1996.db");
    if (!QFileInfo::exists(src))
        src = QStringLiteral(VEK7_GENERATED_DB);
    // The loader opens a file on disk; it reads a copy so the original stays untouched.
    static QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("db-EQ3v1996.db"));
    if (!dir.isValid() || !QFileInfo::exists(src)
        || (!QFileInfo::exists(copy) && !QFile::copy(src, copy))) {
        if (message)
            *message = QStringLiteral("reference database not available: ") + src;
        return false;
    }
    auto db = std::make_unique<dbdata>();
    auto ctrl = std::make_unique<one_ctrlset>();
    sim_data batch;
    batch.dbref = copy;
    batch.dbtype = global::eq36_96;
    batch.ctrlset = ctrl.get();
    const int rc = db->db_retrieve_data(&batch);
    batch.ctrlset = nullptr; // not the batch's to free
    if (rc != 0) {
        if (message)
            *message = db->messages().join('\n');
        return false;
    }
    gDb = std::move(db);
    gCtrl = std::move(ctrl);
    return true;
}

sim_data *chemsys_build(const chemsys_request &req)
{
    sim_data *image = gDb->sdata;
    gCtrl->redox = req.redox;
    gCtrl->orgcmpd = req.redox && req.organic;
    sim_data chooser;
    chooser.dbtype = global::eq36_96;
    chooser.ctrlset = gCtrl.get();
    gDb->db_manage_data(&chooser);
    gDb->db_set_solid_multipleRxns();
    chooser.ctrlset = nullptr;

    auto *sd = new sim_data;
    sd->nameH = image->nameH;
    sd->nameO = image->nameO;
    sd->nameC = image->nameC;
    sd->nameHplus = image->nameHplus;
    sd->nameH2O = image->nameH2O;
    sd->nameCl = image->nameCl;
    sd->nameO2g = image->nameO2g;
    sd->nameOH = image->nameOH;
    sd->ctrlset = new one_ctrlset;
    sd->ctrlset->dbaccess = true;
    sd->ctrlset->redox = gCtrl->redox;
    sd->ctrlset->orgcmpd = gCtrl->orgcmpd;
    sd->ctrlset->csolvitmax = 31;
    sd->ctrlset->csolvcvg = 1e-6;
    sd->ctrlset->csolvcmax = 35.0;
    sd->ctrlset->csolvcmin = req.csolvcmin;
    sd->ctrlset->TCmax = 350.0;
    sd->ctrlset->TCmin = 0.1;

    QStringList elementNames = {image->nameO, image->nameH};
    elementNames << req.elements;
    for (const QString &name : elementNames) {
        const int e = gDb->find_idxDB_element(name);
        if (e >= 0)
            sd->elements << image->elements.at(e);
    }
    QSet<QString> inSystem;
    for (const one_element *e : std::as_const(sd->elements))
        inSystem.insert(e->name);

    // Basis species of the elements (the basis O2(g) only with redox), then each
    // working reaction whose species are all in by then, until none is added: a
    // reaction may need a species that a later one of the list forms.
    QSet<QString> chosen;
    for (one_solute *s : std::as_const(image->solutes)) {
        if (s->type != global::basis || !coveredBy(s->composition, inSystem)
            || chosen.contains(s->name))
            continue;
        if (s->name == image->nameO2g && !req.redox)
            continue;
        sd->solutes << s;
        chosen.insert(s->name);
    }
    QSet<const one_rxn *> taken;
    for (bool added = true; added;) {
        added = false;
        for (one_rxn *r : std::as_const(image->rxnsAqueous)) {
            if (taken.contains(r) || chosen.contains(r->name) || r->composition == nullptr
                || (req.onlyTabulated && !tabulatedAt(r, req.TC)))
                continue;
            const int s = gDb->find_idxDB_solute(r->name);
            if (s < 0 || !coveredBy(image->solutes.at(s)->composition, inSystem))
                continue;
            bool all = true;
            for (const QString &name : r->composition->solute)
                all = all && (name == r->name || chosen.contains(name));
            if (!all)
                continue;
            sd->solutes << image->solutes.at(s);
            sd->rxnsAqueous << r;
            chosen.insert(r->name);
            taken.insert(r);
            added = true;
        }
    }
    for (const QString &g : req.gases) {
        const int gi = gDb->find_idxDB_gas(g);
        const int ri = gDb->find_idxDB_rxn(g, global::gas);
        if (gi < 0 || ri < 0 || (req.onlyTabulated && !tabulatedAt(image->rxnsGas.at(ri), req.TC)))
            continue;
        sd->gases << image->gases.at(gi);
        sd->rxnsGas << image->rxnsGas.at(ri);
    }
    sd->nelements = int(sd->elements.size());
    sd->nsolutes = int(sd->solutes.size());
    sd->ngases = int(sd->gases.size());
    sd->nrxnsAqueous = int(sd->rxnsAqueous.size());
    sd->nrxnsGas = int(sd->rxnsGas.size());
    return sd;
}

one_water *chemsys_water(sim_data *sd, const QMap<QString, double> &totals, double TC, double pH,
                         double fO2, const one_water *like)
{
    if (like != nullptr && like->composition.size() != sd->elements.size())
        like = nullptr;
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
        if (e->name == sd->nameO) {
            c->molal = c->Molar = 1.0;
            c->species << sd->nameH2O;
        } else if (e->name == sd->nameH) {
            c->molal = c->Molar = pH >= 0.0 ? std::pow(10.0, -pH) : 1e-7;
            c->species << sd->nameHplus;
        } else if (like != nullptr) {
            c->molal = c->Molar = totals.value(e->name);
            c->species = like->composition.at(w->composition.size())->species;
            c->stoich = like->composition.at(w->composition.size())->stoich;
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
    w->redoxO2g->element = sd->nameO2g;
    w->redoxO2g->solute = sd->nameO2g;
    if (fO2 > 0.0) {
        w->stag_O2g = true;
        w->redoxO2g->molal = w->redoxO2g->Molar = fO2;
    }
    sd->waters << w;
    sd->nwaters = int(sd->waters.size());
    return w;
}

const one_rxn *chemsys_reaction(const QString &name, int type)
{
    const int r = gDb->find_idxDB_rxn(name, type);
    if (r < 0)
        return nullptr;
    return type == global::gas ? gDb->sdata->rxnsGas.at(r) : gDb->sdata->rxnsSolid.at(r);
}

bool chemsys_swap(one_water *w, const QString &element, const QString &reaction, int type,
                  double fugacity)
{
    const sim_data *image = gDb->sdata;
    const int r = gDb->find_idxDB_rxn(reaction, type);
    if (r < 0)
        return false;
    one_rxn *rx = type == global::gas ? image->rxnsGas.at(r) : image->rxnsSolid.at(r);
    for (one_elementComp *c : std::as_const(w->composition))
        if (c->element == element) {
            c->swaprxn = reaction;
            if (type == global::gas)
                c->molal = c->Molar = fugacity;
            w->rxnsConstraint << rx;
            return true;
        }
    return false;
}

void chemsys_chargeBalance(one_water *w, const QString &element)
{
    w->chargebalance = true;
    w->chargebalanceElem = element;
}

QSet<const one_rxn *> chemsys_leftOut(const sim_data *sd, double TC)
{
    const QStringList names = sim0D::reactionsLeftOut(sd, TC);
    QSet<const one_rxn *> out;
    for (const QList<one_rxn *> *list : {&sd->rxnsAqueous, &sd->rxnsGas})
        for (const one_rxn *rx : *list)
            if (names.contains(rx->name))
                out.insert(rx);
    return out;
}

QString chemsys_checkResult(const sim_data *sd, const one_water *w, const one_water_result *r,
                            double tolerance, double *worst, const QSet<const one_rxn *> *leftOut)
{
    QString fault;
    double unused = 0.0;
    if (!worst)
        worst = &unused;
    *worst = 0.0;
    QHash<QString, double> lnA, molal, gasLnA;
    lnA.reserve(r->soln_aq.size());
    molal.reserve(r->soln_aq.size());
    gasLnA.reserve(r->soln_gas.size());
    // A molality of 0 stands for one below the smallest normal double: its reaction
    // must then put it there.
    QSet<QString> belowDoubles;
    for (const one_waterResult_solute *s : r->soln_aq) {
        if (s->cmolal == 0.0 && std::isfinite(s->gamma) && s->gamma > 0.0) {
            belowDoubles.insert(s->solute);
            continue;
        }
        if (!(std::isfinite(s->cmolal) && s->cmolal > 0.0 && std::isfinite(s->gamma)
              && s->gamma > 0.0))
            return QStringLiteral("species %1: molality %2, gamma %3; ")
                .arg(s->solute)
                .arg(s->cmolal)
                .arg(s->gamma);
        if (!lnA.contains(s->solute)) {
            lnA.insert(s->solute, std::log(s->cmolal) + std::log(s->gamma));
            molal.insert(s->solute, s->cmolal);
        }
    }
    for (const one_waterResult_solute *g : r->soln_gas) {
        if (!(std::isfinite(g->cmolal) && g->cmolal > 0.0 && std::isfinite(g->gamma)))
            return QStringLiteral("gas %1: fugacity %2; ").arg(g->solute).arg(g->cmolal);
        gasLnA.insert(g->solute, std::log(g->cmolal * g->gamma));
    }
    if (!std::isfinite(r->resultpH) || !std::isfinite(r->ionicstrength))
        return QStringLiteral("pH %1, ionic strength %2; ").arg(r->resultpH).arg(r->ionicstrength);
    auto note = [&](const QString &what, double residual) {
        *worst = std::max(*worst, std::fabs(residual));
        if (!(std::fabs(residual) <= tolerance))
            fault += QStringLiteral("%1 residual %2; ").arg(what).arg(residual, 0, 'g', 3);
    };
    // ln activity of a phase that is no species: a pure solid 0, a swapped gas its fugacity
    QHash<QString, double> phaseLnA;
    for (const one_elementComp *c : w->composition)
        for (const one_rxn *rx : w->rxnsConstraint)
            if (!c->swaprxn.isEmpty() && rx->name == c->swaprxn)
                phaseLnA.insert(rx->name, rx->type == global::gas ? std::log(c->molal) : 0.0);
    auto massAction = [&](const one_rxn *rx, bool gas) {
        double lnQ = 0.0;
        const double lnK = poly_fit::evaluate(rx->eqk->coeff, w->TC) * 2.3025851;
        double ownNu = 0.0; // coefficient of a species below the doubles
        for (int k = 0; k < rx->composition->solute.size(); ++k) {
            const QString &name = rx->composition->solute.at(k);
            double a = 0.0;
            if (belowDoubles.contains(name)) {
                if (name != rx->name)
                    return; // formed from one below the doubles: nothing to check
                ownNu = rx->composition->stoich.at(k);
                continue;
            }
            if (gas && name == rx->name && gasLnA.contains(name))
                a = gasLnA.value(name);
            else if (name == rx->name && phaseLnA.contains(name))
                a = phaseLnA.value(name);
            else if (lnA.contains(name))
                a = lnA.value(name);
            else {
                fault += QStringLiteral("reaction %1: %2 missing from the result; ")
                             .arg(rx->name, name);
                return;
            }
            lnQ += rx->composition->stoich.at(k) * a;
        }
        if (ownNu != 0.0) {
            // ln a of the species its reaction gives (gamma is near 1 that far down)
            const double lnA = (lnK - lnQ) / ownNu;
            if (!(lnA < std::log(DBL_MIN) + 1.0))
                fault += QStringLiteral("%1 reported 0 at ln a %2; ").arg(rx->name).arg(lnA);
            return;
        }
        note(QStringLiteral("reaction ") + rx->name, lnQ - lnK);
    };
    // The reactions the engine leaves out at this temperature have no equation.
    QSet<const one_rxn *> found;
    if (leftOut == nullptr) {
        found = chemsys_leftOut(sd, w->TC);
        leftOut = &found;
    }
    for (const one_rxn *rx : sd->rxnsAqueous)
        if (!leftOut->contains(rx))
            massAction(rx, false);
    for (const one_rxn *rx : sd->rxnsGas)
        if (!leftOut->contains(rx))
            massAction(rx, true);
    for (const one_rxn *rx : w->rxnsConstraint)
        massAction(rx, false);

    double anions = 0.0, cations = 0.0;
    QHash<QString, double> totals;
    totals.reserve(sd->elements.size());
    for (const one_solute *s : sd->solutes) {
        const double m = molal.value(s->name);
        if (s->charge < 0)
            anions -= s->charge * m;
        else if (s->charge > 0)
            cations += s->charge * m;
        for (int k = 0; k < s->composition->element.size(); ++k)
            totals[s->composition->element.at(k)] += s->composition->stoich.at(k) * m;
    }
    for (const one_elementComp *c : w->composition) {
        if (!c->swaprxn.isEmpty() || (w->chargebalance && c->element == w->chargebalanceElem))
            continue;
        if (c->element == sd->nameO)
            note(QStringLiteral("H2O"), std::log(molal.value(sd->nameH2O) / c->molal));
        else if (c->element == sd->nameH)
            note(QStringLiteral("pH"),
                 w->typeH == 1 ? lnA.value(sd->nameHplus) - std::log(c->Molar)
                               : std::log(molal.value(sd->nameHplus) / c->molal));
        else
            note(QStringLiteral("total of ") + c->element,
                 std::log(totals.value(c->element) / c->molal));
    }
    if (w->chargebalance)
        note(QStringLiteral("charge balance"), std::log(anions / cations));
    return fault;
}

QJsonObject chemsys_readCase(const QString &name)
{
    QFile f(QStringLiteral(VEK7_REFERENCE_DIR) + "/eq3nr/" + name + ".json");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

chemsys_stepMismatch chemsys_compareSteps(sim0D &model, pt_rxn_DH *dh)
{
    chemsys_stepMismatch m;
    std::vector<double> reduced, full;
    if (model.sim0D_spcn_jacobianMatrix(dh) != 0 || model.solve_step_reduced(reduced) != 0
        || model.solve_step_full(full) != 0 || reduced.size() != full.size())
        return m;
    double scale = 0.0;
    for (double v : full)
        scale = std::max(scale, std::fabs(v));
    m.ok = true;
    for (size_t k = 0; k < full.size(); ++k) {
        const double d = std::fabs(reduced[k] - full[k]) / (1.0 + scale);
        if (d > m.worst || m.species < 0) {
            m.worst = d;
            m.species = int(k);
            m.reduced = reduced[k];
            m.full = full[k];
        }
    }
    return m;
}
