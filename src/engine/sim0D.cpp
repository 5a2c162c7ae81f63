#include "sim0D.h"

#include "global.h"
#include "records.h"
#include "sim_rxn_prop.h"
#include "sim_system.h"
#include "sim_system_cache.h"

#include <QDateTime>
#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

/// ln K = log10 K x this factor (the value the program has always used).
const double lnOf10 = 2.3025851;
/// Starting molality of every species, mol/kg water.
const double startMolal = 1e-4;
/// Temperatures the database's log K fits cover, degrees Celsius.
const double TCminDatabase = 0.01;
const double TCmaxDatabase = 300.0;
/// data0 marks a missing log K grid value with this number.
const double noLogK = 500.0;
/// Largest Newton-Raphson iteration limit a run accepts.
const int iterationLimitMax = 10000;
/// Species types of the database.
const int typeSolid = 4;
const int typeGas = 6;

std::string toStd(const QString &s)
{
    return s.toStdString();
}

} // namespace

sim0D::sim0D() = default;

sim0D::~sim0D()
{
    // The step matrix goes back cleared for the thread's next run: unless a full solve
    // worked on it, only the fast rows' reaction entries and the set rows hold numbers.
    if (nummat != nullptr) {
        const sim_system *s = simmodel != nullptr ? simmodel->system.get() : nullptr;
        const bool zero = !rowsDirty && s != nullptr;
        if (zero) {
            for (int i = 0; i < s->nrxnsFast && i < nummat->n; ++i)
                for (int j : s->rxnsFast[size_t(i)].nonzero)
                    nummat->rows[i][j] = 0.0;
            nummat->clearRows(s->nrxnsFast);
        }
        pt_numeric_mat::giveBack(pt_numeric_mat::use::step, std::unique_ptr<pt_numeric_mat>(nummat),
                                 zero);
        nummat = nullptr;
    }
    pt_numeric_mat::giveBack(pt_numeric_mat::use::reduced, std::unique_ptr<pt_numeric_mat>(redMat),
                             false);
    redMat = nullptr;
    delete simctrl;
    delete simmodel;
    delete errorMsgs;
    delete rxnC;
    delete rxnDHref;
    delete nummat;
    delete simwater;
    delete lastDH;
    delete redMat;
}

QStringList *sim0D::listErrorMsgs()
{
    if (errorMsgs == nullptr)
        errorMsgs = new QStringList;
    return errorMsgs;
}

// During the preparation of a system its messages are the system's: every run of
// that system reports them.
void sim0D::refuse(const QString &msg)
{
    if (building != nullptr)
        building->messages << msg;
    else
        listErrorMsgs()->append(msg);
}

int sim0D::driver(sim_data *sd, one_water *w)
{
    sdata = sd;
    water = w;
    listErrorMsgs()->clear();
    if (simmodel != nullptr) {
        refuse("#### error : speciation model already ran; use a new model for each run");
        refused = true;
        return 1;
    }
    simctrl = new sim_ctrl;
    simmodel = new sim_model;
    rxnC = new pt_rxn_C;
    if (sd == nullptr || w == nullptr || sd->ctrlset == nullptr) {
        refuse("#### error : speciation model, no chemical system, water or control set");
        refused = true;
        return 1;
    }
    transfer_data_ctrl();
    if (csolvitmax < 1 || csolvitmax > iterationLimitMax) {
        refuse(QString("#### error : Newton-Raphson iteration limit %1 outside 1 - %2")
                   .arg(csolvitmax)
                   .arg(iterationLimitMax));
        refused = true;
        return 1;
    }
    // A limit that is no finite number would stop the run at once as converged, or
    // never: refused before the first step.
    if (!std::isfinite(csolvcvg) || !std::isfinite(csolvcmin) || !std::isfinite(csolvcmax)) {
        refuse(QString("#### error : control limits must be finite numbers: convergence limit "
                       "%1, lowest concentration %2, highest concentration %3")
                   .arg(csolvcvg)
                   .arg(csolvcmin)
                   .arg(csolvcmax));
        refused = true;
        return 1;
    }
    if (!global::TC_accepted_water(w->TC)) {
        refuse(QString("#### error : temperature %1 C outside the database range %2 - %3 C")
                   .arg(w->TC)
                   .arg(global::TCmin_water)
                   .arg(TCmaxDatabase));
        refused = true;
        return 1;
    }
    transfer_data();
    simmodel->results->tempRec = new pt_rxn_res;
    simmodel->results->tempRec->TC = w->TC;

    if (!errorMsgs->isEmpty() || !check_consistency()) {
        refused = true;
        return 1;
    }
    clear_vector_upper_state(); // the string work is done; numbers from here on
    setup_mat_solver();
    // The system's log K at a temperature are worked out once for all its runs there.
    std::shared_ptr<const std::vector<double>> log10K = sys().log10KAt(w->TC);
    if (log10K == nullptr) {
        auto values = std::make_shared<std::vector<double>>(size_t(simmodel->nrxnsFast));
        for (int i = 0; i < simmodel->nrxnsFast; ++i)
            (*values)[size_t(i)] = sim_rxn_prop::eqkLog10_polynom(simmodel->rxnsFast[i], w->TC);
        sys().keepLog10K(w->TC, values);
        log10K = std::move(values);
    }
    for (int i = 0; i < simmodel->nrxnsFast; ++i) {
        pt_rxn_res &res = simmodel->results->rxnsFastRes[i];
        res.log10K = (*log10K)[size_t(i)];
        res.lnK = res.log10K * lnOf10;
        res.TC = w->TC;
    }
    for (int i = 0; i < simmodel->nrxnsConstraint; ++i) {
        pt_rxn_res &res = simmodel->results->rxnsConstraintRes[i];
        res.log10K = sim_rxn_prop::eqkLog10_polynom(simmodel->rxnsConstraint[i], w->TC);
        res.lnK = res.log10K * lnOf10;
        res.TC = w->TC;
    }
    setup_pt_rxn_C();
    if (w->chargebalance)
        setup_charge_balance();
    if (w->alkSet)
        setup_alkalinity();
    prepare_iteration();
    if (any_swap())
        start_from_mass_action();
    prepare_reduction();
    if (report_no_equilibrium_state()) {
        refused = true;
        return 1;
    }
    const qsizetype before = errorMsgs->size();
    newton_loop();
    // A run whose steps broke down (a singular or non-finite step) or ran out is taken
    // up again along the ionic strength; found, the breakdown is no error of the run.
    const bool brokeDown = errorMsgs->size() == before + 1
        && (errorMsgs->last().startsWith("#### error : matrix solver")
            || errorMsgs->last().contains("the Newton step is not finite"));
    if (!simmodel->converged && (errorMsgs->size() == before || brokeDown)
        && (solve_along_ionic_strength() || solve_from_entered_water()) && brokeDown)
        errorMsgs->removeLast();
    finish_run();
    if (!simmodel->converged && errorMsgs->isEmpty() && !report_no_equilibrium_state_after_run())
        report_nonconvergence();
    if (!simmodel->converged)
        report_charge_balance_unmet();
    // A reason found after the count (a balance that cannot be met, a water that
    // probably has no state) leads: the count's small figures alone read as a run
    // that nearly converged.
    if (countFrom >= 0 && countTo < errorMsgs->size())
        std::rotate(errorMsgs->begin() + countFrom, errorMsgs->begin() + countTo, errorMsgs->end());
    return (simmodel->converged && errorMsgs->isEmpty()) ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Transfer of the batch and the water into the run's records

void sim0D::transfer_data()
{
    // The chemical system's part is prepared once per batch content; only the
    // water's part is built for each run.
    // The batch's system is kept by the cache; a view's, by the batch's system (kept
    // in the cache too, it would cost every later look-up a walk through it).
    auto prepare = [this](bool batch) {
        std::shared_ptr<const sim_system> prepared
            = batch ? sim_system_cache::find(sdata) : nullptr;
        if (prepared != nullptr)
            return prepared;
        auto built = std::make_shared<sim_system>();
        building = built.get();
        transfer_data_DH();
        transfer_data_chems();
        transfer_data_solutes();
        transfer_data_gases();
        transfer_data_solids();
        transfer_data_rxns_fast();
        record_logK_ranges();
        prepare_system();
        building = nullptr;
        if (batch)
            sim_system_cache::store(sdata, built);
        return std::shared_ptr<const sim_system>(std::move(built));
    };
    std::shared_ptr<const sim_system> prepared = prepare(true);
    if (!all_reactions_take_part(*prepared, water->TC)) {
        // Which reactions a temperature leaves out is worked out once per system and
        // set of reactions that take part; a later run only links the kept records.
        std::vector<char> takesPart = reactions_taking_part(*prepared, water->TC);
        std::shared_ptr<const sim_left_out> entry = prepared->leftOut(takesPart);
        if (entry == nullptr) {
            auto found = std::make_shared<sim_left_out>(find_left_out(std::move(takesPart)));
            leave_out_reactions(*found);
            found->system = prepare(false);
            prepared->keepLeftOut(found);
            entry = std::move(found);
        } else {
            leave_out_reactions(*entry);
        }
        prepared = entry->system;
    }
    bind_system(std::move(prepared));
    transfer_data_rxns_constraint();
    transfer_data_water();
}

// The run's model takes the prepared system's lists, counts and messages.
void sim0D::bind_system(std::shared_ptr<const sim_system> prepared)
{
    const sim_system &s = *prepared;
    simmodel->system = std::move(prepared);
    simmodel->nelements = s.nelements;
    simmodel->nspecies = s.nspecies;
    simmodel->ngases = s.ngases;
    simmodel->nsolids = s.nsolids;
    simmodel->nrxnsFast = s.nrxnsFast;
    simmodel->elements = shared_list<pt_element>(s.elements);
    simmodel->species = shared_list<pt_solute>(s.species);
    simmodel->solids = shared_list<pt_solid>(s.solids);
    simmodel->rxnsFast = shared_list<pt_rxn>(s.rxnsFast);
    simmodel->results->solidsRes.assign(size_t(s.nsolids), {});
    simmodel->results->rxnsFastRes.assign(size_t(s.nrxnsFast), {});
    simctrl->idxH2O = s.idxH2O;
    simctrl->idxO2g = s.idxO2g;
    rxnDHref = new pt_rxn_DHref(s.dhRef);
    errorMsgs->append(s.messages);
}

void sim0D::transfer_data_ctrl()
{
    const one_ctrlset *c = sdata->ctrlset;
    csolvitmax = c->csolvitmax;
    csolvcvg = c->csolvcvg;
    csolvcmin = c->csolvcmin;
    csolvcmax = c->csolvcmax;
    simctrl->activitymethod = water->activitymethod;
    simctrl->activitywater = water->activitywater;
}

void sim0D::transfer_data_DH()
{
    pt_rxn_DHref &ref = building->dhRef;
    const one_bdot_properties *b = sdata->bdot;
    if (b == nullptr)
        return;
    for (int i = 0; i < b->DHbdot.size(); ++i) {
        ref.adh.push_back(i < b->adh.size() ? b->adh.at(i) : 0.0);
        ref.bdh.push_back(i < b->bdh.size() ? b->bdh.at(i) : 0.0);
        ref.bdot.push_back(i < b->bdot.size() ? b->bdot.at(i) : 0.0);
    }
}

void sim0D::transfer_data_chems()
{
    sim_system &s = *building;
    s.nelements = int(sdata->elements.size());
    s.reserveNames(s.nelements, int(sdata->solutes.size() + sdata->rxnsGas.size()));
    s.elements.reserve(s.nelements);
    for (const one_element *e : std::as_const(sdata->elements)) {
        s.addElementName(e->name);
        s.elements.push_back({toStd(e->name), e->mol_wt});
    }
}

static std::vector<pt_elemcomp> elementEntries(const sim_system &s)
{
    std::vector<pt_elemcomp> entries(s.nelements);
    for (int e = 0; e < s.nelements; ++e)
        entries[e].id = e;
    return entries;
}

// A species' element entries from its composition; an element the batch lacks is
// reported and left out. A solute's message is an error line ("#### "); a gas's
// message has always been the bare text.
static void fillElements(sim_system &s, pt_solute &sp, const one_comp_elements *c,
                         const QString &lead)
{
    if (c == nullptr)
        return;
    for (int k = 0; k < c->element.size(); ++k) {
        const int e = s.elementIndex(c->element.at(k));
        if (e < 0) {
            s.messages << lead + "idx of element [ " + c->element.at(k) + " ] not found";
            continue;
        }
        sp.elements[e].element = s.elements[e].name;
        sp.elements[e].stoich = k < c->stoich.size() ? c->stoich.at(k) : 0.0;
    }
}

void sim0D::transfer_data_solutes()
{
    sim_system &s = *building;
    const int ns = int(sdata->solutes.size());
    s.nsolutes = ns;
    s.nspecies = ns;
    s.species.reserve(ns + sdata->rxnsGas.size());
    for (int i = 0; i < ns; ++i) {
        const one_solute *so = sdata->solutes.at(i);
        pt_solute sp;
        sp.id = i;
        sp.name = toStd(so->name);
        sp.type = "aqueous";
        sp.charge = so->charge;
        sp.DHazero = so->DHazero;
        sp.mol_wt = so->mol_wt;
        if (so->name == sdata->nameH2O && s.idxH2O < 0)
            s.idxH2O = i;
        else if (so->name == sdata->nameO2g) {
            if (s.idxO2g < 0)
                s.idxO2g = i;
            sp.gas = true; // the basis O2(g) stands for a fugacity
        }
        sp.elements = elementEntries(s);
        fillElements(s, sp, so->composition, QStringLiteral("#### "));
        s.addSpeciesName(so->name, sp.name, true);
        s.species.push_back(std::move(sp));
    }
    s.idxHplus = std::max(-1, s.soluteIndex(sdata->nameHplus));
    s.idxOH = std::max(
        -1, s.soluteIndex(sdata->nameOH.isEmpty() ? QStringLiteral("OH-") : sdata->nameOH));
}

void sim0D::transfer_data_gases()
{
    sim_system &s = *building;
    const int nsol = s.nsolutes;
    const int ng = int(sdata->rxnsGas.size());
    s.ngases = ng;
    s.nspecies += ng;
    for (int k = 0; k < ng; ++k) {
        pt_solute sp;
        sp.id = nsol + k;
        sp.type = "gas";
        sp.gas = true;
        sp.elements = elementEntries(s);
        // The gas species of a gas reaction is the gas of the same name; without one,
        // the reaction's name still names the species.
        const one_rxn *r = sdata->rxnsGas.at(k);
        const one_gas *g = nullptr;
        for (const one_gas *cand : std::as_const(sdata->gases))
            if (cand->name == r->name) {
                g = cand;
                break;
            }
        sp.name = toStd(r->name);
        if (g != nullptr) {
            sp.mol_wt = g->mol_wt;
            fillElements(s, sp, g->composition, QString());
        }
        s.addSpeciesName(r->name, sp.name, false);
        s.species.push_back(std::move(sp));
    }
}

void sim0D::transfer_data_solids()
{
    sim_system &s = *building;
    s.nsolids = int(sdata->solids.size());
    for (int i = 0; i < s.nsolids; ++i) {
        pt_solid so;
        so.id = i;
        so.name = toStd(sdata->solids.at(i)->name);
        so.elements = elementEntries(s);
        s.solids.push_back(std::move(so));
    }
}

int sim0D::find_gas_species(const std::string &name) const
{
    const sim_system &s = building != nullptr ? *building : sys();
    for (int k = s.nsolutes; k < s.nspecies; ++k)
        if (s.species[k].name == name)
            return k;
    return -9;
}

pt_rxn sim0D::build_rxn(int position, const one_rxn *r, bool gasRxn, bool constraint)
{
    const sim_system &s = building != nullptr ? *building : sys();
    const int n = s.nspecies;
    pt_rxn rx;
    rx.id = position;
    rx.name = toStd(r->name);
    rx.stoich.assign(n, 0.0);
    const one_comp_solutes *comp = r->composition;
    const int nlisted = comp ? int(comp->solute.size()) : 0;
    // One entry per listed species: a reaction lists a handful of the hundreds of
    // species, and padding these to the species count cost most of a run's setup.
    rx.stoichList.assign(std::min(nlisted, n), 0.0);
    rx.speciesList.assign(std::min(nlisted, n), std::string());
    rx.nonzero.reserve(nlisted);
    if (nlisted == 0)
        refuse("#### error : reaction [ " + r->name + " ] lists no species");
    for (int k = 0; k < nlisted; ++k) {
        const QString &name = comp->solute.at(k);
        const double nu = k < comp->stoich.size() ? comp->stoich.at(k) : 0.0;
        const bool own = (name == r->name);
        int col = -9;
        if (own && rx.ownIdx < 0 && (gasRxn || r->type == typeGas)) {
            // The reaction's own gas: the gas species of its name, not a solute
            // that shares the name (the basis O2(g)).
            col = find_gas_species(rx.name);
            if (col < 0 && constraint) {
                // A gas swap without a gas species: its fugacity is the set's amount,
                // fixed when the sets are built.
                rx.fixedLnActivity = nu; // coefficient; scaled by ln f later
                if (k < n) {
                    rx.stoichList[k] = nu;
                    rx.speciesList[k] = toStd(name);
                }
                rx.ownIdx = -2;
                continue;
            }
        } else {
            col = s.soluteIndex(name);
            if (col < 0 && own && constraint && r->type == typeSolid) {
                // A pure solid in its own reaction: unit activity, no column.
                if (k < n) {
                    rx.stoichList[k] = nu;
                    rx.speciesList[k] = toStd(name);
                }
                continue;
            }
        }
        if (col < 0 || col >= n) {
            refuse("#### idx of solute [ " + name + " ] not found");
            continue;
        }
        rx.stoich[col] += nu; // a species listed twice adds its coefficients
        rx.nonzero.push_back(col);
        if (own && rx.ownIdx < 0)
            rx.ownIdx = col;
        if (k < n) {
            rx.stoichList[k] = nu;
            rx.speciesList[k] = s.species[col].name; // the same text, converted once
        }
    }
    std::sort(rx.nonzero.begin(), rx.nonzero.end());
    rx.nonzero.erase(std::unique(rx.nonzero.begin(), rx.nonzero.end()), rx.nonzero.end());
    rx.nonzero.erase(std::remove_if(rx.nonzero.begin(), rx.nonzero.end(),
                                    [&rx](int j) { return rx.stoich[j] == 0.0; }),
                     rx.nonzero.end());
    const one_rxn_eqk *eqk = r->eqk;
    if (eqk == nullptr || eqk->coeff.isEmpty() || eqk->type_eqn != 0) {
        refuse("#### error : reaction [ " + r->name + " ] has no log K polynomial");
    } else {
        rx.nterms = int(eqk->coeff.size());
        rx.coeff.reserve(rx.nterms);
        rx.quotient.reserve(rx.nterms);
        for (int i = 0; i < rx.nterms; ++i) {
            rx.coeff.push_back(eqk->coeff.at(i));
            // exponent of T: the quotient list, else the term order, else the index
            double e = double(i);
            if (eqk->quotient.size() == eqk->coeff.size())
                e = eqk->quotient.at(i);
            else if (eqk->order_idx.size() == eqk->coeff.size())
                e = double(eqk->order_idx.at(i));
            rx.quotient.push_back(e);
        }
    }
    // Temperatures covered by tabulated log K values.
    rx.TlowValid = TCminDatabase;
    rx.ThighValid = TCmaxDatabase;
    if (eqk != nullptr && !eqk->temperature.isEmpty()
        && eqk->temperature.size() == eqk->eqkLog10.size()) {
        double lo = 1e300, hi = -1e300;
        for (int i = 0; i < eqk->temperature.size(); ++i) {
            if (std::fabs(eqk->eqkLog10.at(i) - noLogK) < 1e-9)
                continue;
            lo = std::min(lo, eqk->temperature.at(i));
            hi = std::max(hi, eqk->temperature.at(i));
        }
        if (lo <= hi) {
            rx.TlowValid = lo;
            rx.ThighValid = hi;
        }
    }
    return rx;
}

void sim0D::transfer_data_rxns_fast()
{
    sim_system &s = *building;
    const int naq = int(sdata->rxnsAqueous.size());
    const int ngr = int(sdata->rxnsGas.size());
    s.naqueous = naq;
    s.nrxnsFast = naq + ngr;
    s.rxnsFast.reserve(naq + ngr);
    for (int i = 0; i < naq; ++i)
        transfer_data_one_rxn_fast(i, sdata->rxnsAqueous.at(i));
    for (int j = 0; j < ngr; ++j)
        transfer_data_one_rxn_fast(naq + j, sdata->rxnsGas.at(j));
}

void sim0D::transfer_data_one_rxn_fast(int position, one_rxn *r)
{
    const bool gasRxn = position >= building->naqueous;
    building->rxnsFast.push_back(build_rxn(position, r, gasRxn, false));
    building->rxnTexts << r->name;
}

// The water's swap reactions, built against the prepared system.
void sim0D::transfer_data_rxns_constraint()
{
    simmodel->nrxnsConstraint = int(water->rxnsConstraint.size());
    for (int k = 0; k < simmodel->nrxnsConstraint; ++k) {
        const one_rxn *r = water->rxnsConstraint.at(k);
        if (!logKCovers(r, water->TC))
            refuse(QString("#### error : swap reaction [ %1 ] has no log K data at %2 C")
                       .arg(r->name)
                       .arg(water->TC));
        simmodel->rxnsConstraint.push_back(build_rxn(k, r, false, true));
        simmodel->results->rxnsConstraintRes.push_back({});
    }
}

void sim0D::transfer_data_rxns_slow() { }

void sim0D::transfer_data_water()
{
    simwater = new pt_water;
    simwater->TC = water->TC;
    simwater->densitymass = water->densitymass;
    simmodel->results->waterProps = new double[6]();
    simmodel->results->waterProps[0] = water->densitymass;
    const int ne = simmodel->nelements;
    // The water's entries are matched to the batch's elements by name, in any order;
    // of two entries for one element the later counts.
    std::vector<const one_elementComp *> entryOf(size_t(ne), nullptr);
    for (int i = 0; i < water->composition.size(); ++i) {
        const one_elementComp *c = water->composition.at(i);
        if (c == nullptr)
            continue;
        // Entries in the batch's order are the common case.
        int found = i < ne && c->element == sdata->elements.at(i)->name ? i : -1;
        for (int e = 0; e < ne && found < 0; ++e)
            if (c->element.compare(sdata->elements.at(e)->name, Qt::CaseInsensitive) == 0)
                found = e;
        if (found < 0)
            refuse("#### error : the water gives an amount of [ " + c->element
                   + " ], which is not an element of the chemical system");
        else
            entryOf[found] = c;
    }
    for (int e = 0; e < ne; ++e)
        if (entryOf[e] == nullptr)
            refuse("#### error : the water gives no amount of element [ "
                   + sdata->elements.at(e)->name + " ]");
    if (!errorMsgs->isEmpty())
        return;
    auto lookupSpecies = [this](pt_compset &set) {
        for (int m = 0; m < set.nsp; ++m) {
            if (set.spIdx[m] < 0)
                set.spIdx[m] = find_idxSim_solute(set.species[m]);
            if (set.spIdx[m] < 0)
                refuse("#### error : species [ " + QString::fromStdString(set.species[m])
                       + " ] of the amount of [ " + QString::fromStdString(set.element)
                       + " ] is not in the chemical system");
        }
    };
    auto findSwap = [this](pt_compset &set) {
        if (set.swaprxn.empty())
            return;
        for (int q = 0; q < simmodel->nrxnsConstraint; ++q)
            if (simmodel->rxnsConstraint[q].name == set.swaprxn) {
                set.swapIdx = q;
                set.swapOn = true;
            }
        if (!set.swapOn)
            refuse("#### error : swap reaction [ " + QString::fromStdString(set.swaprxn)
                   + " ] of [ " + QString::fromStdString(set.element) + " ] not found");
    };

    simwater->compsets.reserve(size_t(ne) + 1);
    std::vector<int> found;
    for (int e = 0; e < ne; ++e) {
        const one_elementComp *c = entryOf[e];
        const QString &element = sdata->elements.at(e)->name;
        pt_compset set;
        set.id = e;
        set.element = simmodel->elements[e].name; // the system's copy of this very name
        if (element == sdata->nameO || element == sdata->nameH2O) {
            set.species = {toStd(sdata->nameH2O)};
            set.stoich = {1.0};
        } else if (element == sdata->nameH) {
            set.species = {toStd(sdata->nameHplus)};
            set.stoich = {1.0};
            set.activityRow = (water->typeH == 1);
        } else if (c->element.compare(c->solute, Qt::CaseInsensitive) == 0) {
            // The element's total: every aqueous species holding it. Gases are
            // fugacities and never enter a mass balance.
            set.species.reserve(c->species.size());
            set.stoich.reserve(c->species.size());
            set.spIdx.reserve(c->species.size());
            // Solutes come first, so a solute and a gas of one name give the solute;
            // species left out of this run, and gases, take no part.
            sys().setSpecies(e, c->species, leftOutSpecies, found);
            for (int m = 0; m < c->species.size(); ++m) {
                const int idx = found[size_t(m)];
                if (idx == -2)
                    continue;
                // A species' name is already converted; only others need it.
                std::string name = idx >= 0 ? simmodel->species[idx].name : toStd(c->species.at(m));
                set.species.push_back(std::move(name));
                set.stoich.push_back(m < c->stoich.size() ? c->stoich.at(m) : 0.0);
                set.spIdx.push_back(idx < 0 ? -9 : idx);
            }
        } else {
            set.species = {toStd(c->solute)};
            set.stoich = {1.0};
        }
        set.nsp = int(set.species.size());
        set.spIdx.resize(set.nsp, -9);
        set.molal = set.activityRow ? c->Molar : c->molal;
        if (!c->swaprxn.isEmpty())
            set.swaprxn = toStd(c->swaprxn);
        if (set.nsp < 1)
            qDebug() << "S0: ####  elemental composition, set " << e << ". " << c->element
                     << ", nsp " << set.nsp;
        lookupSpecies(set);
        findSwap(set);
        simwater->compsets.push_back(std::move(set));
    }
    if (water->stag_O2g && water->redoxO2g != nullptr) {
        pt_compset set;
        set.id = ne;
        set.element = toStd(sdata->nameO2g);
        set.species = {toStd(sdata->nameO2g)};
        set.stoich = {1.0};
        set.nsp = 1;
        set.spIdx.assign(1, -9);
        set.molal = water->redoxO2g->molal;
        set.swaprxn = toStd(water->redoxO2gSwaprxn);
        lookupSpecies(set);
        findSwap(set);
        simwater->compsets.push_back(std::move(set));
    }
    simwater->nsets = int(simwater->compsets.size());

    // A gas swap without a gas species takes the set's amount as the fugacity.
    setFixedByGas.assign(simwater->compsets.size(), 0);
    for (const pt_compset &set : simwater->compsets) {
        if (!set.swapOn)
            continue;
        pt_rxn &rx = simmodel->rxnsConstraint[set.swapIdx];
        if (rx.ownIdx == -2) {
            setFixedByGas[size_t(&set - simwater->compsets.data())] = 1;
            if (set.molal > 0.0)
                rx.fixedLnActivity *= std::log(set.molal);
            else
                refuse("#### error : gas fugacity of swap reaction [ "
                       + QString::fromStdString(rx.name) + " ] must be above 0");
            rx.ownIdx = -1;
        }
    }
}

int sim0D::setup_mat_solver()
{
    nummat = pt_numeric_mat::take(pt_numeric_mat::use::step, simmodel->nspecies).release();
    rowsDirty = false; // zero
    simmodel->dxLast = new double[simmodel->nspecies > 0 ? simmodel->nspecies : 1]();
    return 0;
}

void sim0D::setup_pt_rxn_C()
{
    const int n = simmodel->nspecies;
    rxnC->molal.assign(n, startMolal);
    rxnC->lnmolal.assign(n, std::log(startMolal));
    rxnC->molalPrev.assign(n, startMolal);
}

void sim0D::setup_charge_balance()
{
    chargeZ.assign(simmodel->nspecies, 0.0);
    for (int j = 0; j < simmodel->nspecies; ++j)
        chargeZ[j] = simmodel->species[j].charge;
}

void sim0D::setup_alkalinity()
{
    alkTotal = water->alkmolal;
    alkCoef.assign(simmodel->nspecies, 0.0);
    for (int k = 0; k < water->alkSolutes.size() && k < water->alkCoeffs.size(); ++k) {
        const int j = find_idxSim_solute(toStd(water->alkSolutes.at(k)));
        if (j >= 0)
            alkCoef[j] = water->alkCoeffs.at(k);
    }
}

// ---------------------------------------------------------------------------
// Refusals before the loop

bool sim0D::check_consistency()
{
    const int n = simmodel->nspecies;
    const int rows = simmodel->nrxnsFast + simwater->nsets;
    if (n < 1)
        refuse("#### error : the chemical system has no species");
    else if (rows != n)
        refuse(QString("#### error : %1 equations (%2 reactions, %3 amounts) for %4 species")
                   .arg(rows)
                   .arg(simmodel->nrxnsFast)
                   .arg(simwater->nsets)
                   .arg(n));

    auto findSet = [this](const QString &element) {
        for (int s = 0; s < simwater->nsets; ++s)
            if (QString::fromStdString(simwater->compsets[s].element)
                    .compare(element, Qt::CaseInsensitive)
                == 0)
                return s;
        return -1;
    };
    if (water->chargebalance) {
        cbSetIdx = findSet(water->chargebalanceElem);
        if (cbSetIdx < 0)
            refuse("#### error : charge balance element [ " + water->chargebalanceElem
                   + " ] has no amount in the water");
        bool anion = false, cation = false;
        for (const pt_solute &sp : simmodel->species) {
            anion = anion || sp.charge < 0.0;
            cation = cation || sp.charge > 0.0;
        }
        if (!anion || !cation)
            refuse("#### error : charge balance needs both anions and cations");
    }
    if (water->alkSet) {
        if (!std::isfinite(water->alkmolal))
            refuse("#### error : the alkalinity is not a finite number");
        alkSetIdx = findSet(water->alkElem);
        if (alkSetIdx < 0)
            refuse("#### error : alkalinity element [ " + water->alkElem
                   + " ] has no amount in the water");
        else if (alkSetIdx == cbSetIdx)
            refuse("#### error : charge balance and alkalinity both set on [ " + water->alkElem
                   + " ]");
    }
    for (int s = 0; s < simwater->nsets; ++s) {
        const pt_compset &set = simwater->compsets[s];
        if (!std::isfinite(set.molal)) {
            refuse("#### error : amount of [ " + QString::fromStdString(set.element)
                   + " ] is not a finite number");
            continue;
        }
        if (s == cbSetIdx || s == alkSetIdx || set.swapOn)
            continue;
        if (!(set.molal > 0.0))
            refuse("#### error : amount of [ " + QString::fromStdString(set.element)
                   + " ] must be above 0");
    }
    return errorMsgs->isEmpty();
}

// ---------------------------------------------------------------------------
// Assembly

int sim0D::sim0D_spcn_jacobianMatrix(pt_rxn_DH *dh)
{
    const int n = simmodel->nspecies;
    const std::vector<double> &lnm = rxnC->lnmolal;
    const std::vector<double> &m = rxnC->molal;
    const std::vector<double> &lng = dh->lngamma;
    const int nf = simmodel->nrxnsFast;
    maxResidual = 0.0;
    // A fast row holds entries only where its reaction does, and rewrites them all;
    // unless a full solve has worked on the rows, only the set rows need clearing.
    const int firstCleared = rowsDirty ? 0 : std::min(nf, n);
    for (int i = 0; i < n; ++i) {
        nummat->perm[i] = i;
        nummat->b[i] = 0.0;
        nummat->x[i] = 0.0;
        if (i >= firstCleared)
            std::fill(nummat->rows[i], nummat->rows[i] + n + 1, 0.0);
    }
    rowsDirty = false;
    auto massAction = [&](const pt_rxn &rx, double lnK, double *row) {
        double r = rx.fixedLnActivity - lnK;
        for (int j : rx.nonzero) {
            const double nu = rx.stoich[j];
            r += nu * (lnm[j] + lng[j]);
            row[j] = nu;
        }
        return r;
    };
    for (int i = 0; i < nf; ++i) {
        pt_rxn_res &res = simmodel->results->rxnsFastRes[i];
        const double r = massAction(simmodel->rxnsFast[i], res.lnK, nummat->rows[i]);
        nummat->b[i] = r;
        res.residual = r;
    }
    for (int s = 0; s < simwater->nsets && nf + s < n; ++s) {
        const pt_compset &set = simwater->compsets[s];
        double *row = nummat->rows[nf + s];
        if (set.swapOn) {
            const int q = set.swapIdx;
            nummat->b[nf + s] = massAction(simmodel->rxnsConstraint[q],
                                           simmodel->results->rxnsConstraintRes[q].lnK, row);
        } else if (set.activityRow) {
            const int j = set.spIdx[0];
            nummat->b[nf + s] = lnm[j] + lng[j] - std::log(set.molal);
            row[j] = 1.0;
        } else {
            double S = 0.0;
            for (int k = 0; k < set.nsp; ++k)
                S += set.stoich[k] * m[set.spIdx[k]];
            nummat->b[nf + s] = std::log(S) - std::log(set.molal);
            for (int k = 0; k < set.nsp; ++k)
                row[set.spIdx[k]] = set.stoich[k] * m[set.spIdx[k]] / S;
        }
    }
    if (water->chargebalance && cbSetIdx >= 0) {
        double *row = nummat->rows[nf + cbSetIdx];
        std::fill(row, row + n, 0.0);
        double A = 0.0, P = 0.0;
        for (int j = 0; j < n; ++j) {
            if (chargeZ[j] < 0.0)
                A -= chargeZ[j] * m[j];
            else if (chargeZ[j] > 0.0)
                P += chargeZ[j] * m[j];
        }
        nummat->b[nf + cbSetIdx] = std::log(A) - std::log(P) - cbShift;
        for (int j = 0; j < n; ++j) {
            if (chargeZ[j] < 0.0)
                row[j] = -chargeZ[j] * m[j] / A;
            else if (chargeZ[j] > 0.0)
                row[j] = -chargeZ[j] * m[j] / P;
        }
    }
    if (water->alkSet && alkSetIdx >= 0) {
        double *row = nummat->rows[nf + alkSetIdx];
        double sum = 0.0;
        for (int j = 0; j < n; ++j) {
            sum += alkCoef[j] * m[j];
            row[j] = alkCoef[j] * m[j];
        }
        // Scaled by the total so the row reads as a relative misfit like the others.
        const double scale = std::fabs(alkTotal) > 0.0 ? std::fabs(alkTotal) : 1.0;
        nummat->b[nf + alkSetIdx] = (sum - alkTotal) / scale;
        for (int j = 0; j < n; ++j)
            row[j] /= scale;
    }
    for (int i = 0; i < nf && i < n; ++i)
        maxResidual = std::max(maxResidual, std::fabs(nummat->b[i]));
    maxSetResidual = 0.0;
    for (int i = nf; i < n; ++i)
        maxSetResidual = std::max(maxSetResidual, std::fabs(nummat->b[i]));
    maxResidual = std::max(maxResidual, maxSetResidual);
    return 0;
}

int sim0D::evaluate_jacobian()
{
    if (nummat == nullptr)
        return 0;
    const int n = nummat->n;
    auto zeroRow = [&](int i) {
        for (int j = 0; j < n; ++j)
            if (nummat->rows[i][j] != 0.0)
                return false;
        return true;
    };
    const int nf = simmodel->nrxnsFast;
    for (int i = 0; i < nf && i < n; ++i)
        if (zeroRow(i))
            qDebug() << "S0 EJ: ##### fast rxn " << i << " / " << nf << " : zero Jacobian entry";
    for (int s = 0; s < simwater->nsets && nf + s < n; ++s) {
        if (!zeroRow(nf + s))
            continue;
        if (simwater->compsets[s].swapOn)
            qDebug() << "S0 EJ: ##### composition set " << s << " / " << simwater->nsets
                     << " swap : zero Jacobian entry";
        else
            qDebug() << "S0 EJ: ##### composition set " << s << " / " << simwater->nsets
                     << " : zero Jacobian entry";
    }
    // The charge balance takes the place of its set's row.
    if (water->chargebalance && cbSetIdx >= 0 && nf + cbSetIdx < n && zeroRow(nf + cbSetIdx))
        qDebug() << "S0 EJ: ##### charge balance eqn " << nf + cbSetIdx << " : zero Jacobian entry";
    return 0;
}

void sim0D::finish_run()
{
    const int n = simmodel->nspecies;
    // Coefficients of the final state.
    pt_rxn_DH *dh
        = sim_rxn_prop::ionic_strength_correction_driver(simctrl, simmodel, rxnC, rxnDHref);
    delete lastDH;
    lastDH = dh;
    pt_results *res = simmodel->results;
    res->netcharge = 0.0;
    for (int k = 0; k < n; ++k)
        if (!simmodel->species[k].gas)
            res->netcharge += rxnC->molal[k] * simmodel->species[k].charge;
    res->ionicstrength = dh->ionicstrength;
    res->speciesRes.assign(n, {});
    // A molality below the smallest normal double shows as 0: its equation holds in
    // ln m, which no double of that size could carry on.
    for (int k = 0; k < n; ++k)
        res->speciesRes[k] = {std::isnormal(rxnC->molal[k]) ? rxnC->molal[k] : 0.0,
                              k < int(dh->gamma.size()) ? dh->gamma[k] : 1.0};
}

// ---------------------------------------------------------------------------
// Results

double sim0D::cvgError()
{
    return simmodel ? simmodel->cvgValue : 0.0;
}

int sim0D::cvgLoops()
{
    return simmodel ? simmodel->loops : 0;
}

double sim0D::netChargeBalance()
{
    return simmodel ? simmodel->results->netcharge : 0.0;
}

one_water_result *sim0D::results()
{
    auto *r = new one_water_result;
    r->date_str = QDateTime::currentDateTime().toString(Qt::TextDate);
    r->date_utc = QDateTime::currentSecsSinceEpoch();
    if (simmodel == nullptr || sdata == nullptr || water == nullptr)
        return r;
    r->loops = simmodel->loops;
    r->converged = simmodel->converged;
    r->cvgValue = simmodel->cvgValue;
    r->TC = water->TC;
    const pt_results *res = simmodel->results;
    r->ionicstrength = res->ionicstrength;
    r->chargebalance = res->netcharge;
    r->densitymass = water->densitymass;
    const bool solved = int(res->speciesRes.size()) == simmodel->nspecies;
    if (!solved)
        return r;
    // The names the system keeps: no conversion for each result.
    // (A run refused before its system was bound has none.)
    const QStringList noTexts;
    const sim_system *bound = simmodel->system.get();
    const QStringList &rxnTexts = bound != nullptr ? bound->rxnTexts : noTexts;
    const QStringList &speciesTexts = bound != nullptr ? bound->speciesTexts : noTexts;
    auto text = [](const QStringList &kept, int i, const std::string &name) {
        return i < kept.size() ? kept.at(i) : QString::fromStdString(name);
    };
    for (int i = 0; i < simmodel->nrxnsFast; ++i) {
        auto *e = new one_waterResult_rxn;
        e->name = text(rxnTexts, i, simmodel->rxnsFast[i].name);
        e->eqkL10 = res->rxnsFastRes[i].log10K;
        e->ratioQK = std::exp(res->rxnsFastRes[i].residual);
        r->rxns.append(e);
    }
    const int nsol = int(sdata->solutes.size());
    int iH = -1;
    for (int i = 0; i < nsol && i < simmodel->nspecies; ++i) {
        auto *e = new one_waterResult_solute;
        e->solute = text(speciesTexts, i, simmodel->species[i].name);
        e->cmolal = res->speciesRes[i].molal;
        e->gamma = res->speciesRes[i].gamma;
        if (e->solute == sdata->nameHplus)
            iH = i;
        r->soln_aq.append(e);
    }
    for (int k = nsol; k < simmodel->nspecies; ++k) {
        auto *e = new one_waterResult_solute;
        e->solute = text(speciesTexts, k, simmodel->species[k].name);
        e->cmolal = res->speciesRes[k].molal;
        e->cMolar = e->cmolal * r->densitymass;
        e->gamma = res->speciesRes[k].gamma;
        r->soln_gas.append(e);
    }
    if (iH >= 0) {
        // pH is the activity of H+, as measured.
        r->resultpH
            = -(std::log10(res->speciesRes[iH].molal) + std::log10(res->speciesRes[iH].gamma));
    } else {
        qDebug() << "S0: #### H solute not in results solutes list";
    }
    for (int e = 0; e < simmodel->nelements; ++e) {
        auto *t = new one_waterResult_element;
        t->element = sdata->elements.at(e)->name;
        double total = 0.0;
        if (t->element != sdata->nameH && t->element != sdata->nameO) {
            for (int k = 0; k < simmodel->nspecies; ++k) {
                const pt_solute &sp = simmodel->species[k];
                if (sp.gas)
                    continue;
                total += sp.elements[e].stoich * res->speciesRes[k].molal;
            }
        }
        t->cmolal = total;
        t->cMolar = total * r->densitymass;
        r->soln_elem.append(t);
    }
    return r;
}

// ---------------------------------------------------------------------------
// Look-ups (exact names)

int sim0D::find_idxBatch_element(QString name)
{
    for (int i = 0; i < sdata->elements.size(); ++i)
        if (sdata->elements.at(i)->name == name)
            return i;
    return -9;
}

int sim0D::find_idxBatch_solute(QString name)
{
    for (int i = 0; i < sdata->solutes.size(); ++i)
        if (sdata->solutes.at(i)->name == name)
            return i;
    return -9;
}

int sim0D::find_idxSim_solute(std::string name)
{
    if (simmodel == nullptr || simmodel->system == nullptr)
        return -9;
    return sys().speciesIndex(name);
}
