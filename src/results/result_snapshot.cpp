#include "result_snapshot.h"

#include "global.h"
#include "records.h"
#include "sbatch.h"
#include "sqlite_reader.h"
#include "thermo.h"

#include <QFileInfo>

#include <QHash>

#include <cmath>

namespace result_snapshot {

namespace {

QString yesNo(bool b)
{
    return b ? QStringLiteral("yes") : QStringLiteral("no");
}

/// Formula masses of the system's solutes and gases by name, g/mol.
QHash<QString, double> formula_masses(const sim_data *sd)
{
    QHash<QString, double> m;
    for (const one_solute *s : sd->solutes)
        if (s && !m.contains(s->name))
            m.insert(s->name, s->mol_wt);
    for (const one_gas *g : sd->gases)
        if (g && !m.contains(g->name))
            m.insert(g->name, g->mol_wt);
    return m;
}

/// The solid reactions of the result's names that the system still holds, in
/// the result's order; the system's own when the result names none.
QList<const one_rxn *> solid_rxns(const sim_data *sd, const one_water_result *r)
{
    QHash<QString, const one_rxn *> byName;
    for (const one_rxn *x : sd->rxnsSolid)
        if (x && !byName.contains(x->name))
            byName.insert(x->name, x);
    QList<const one_rxn *> list;
    if (r->solids.isEmpty()) {
        for (const one_rxn *x : sd->rxnsSolid)
            if (x)
                list << x;
        return list;
    }
    for (const one_waterResult_rxn *e : r->solids)
        if (e)
            list << byName.value(e->name, nullptr);
    return list;
}

/// The version the reference database file `path` records in its INFO table (its
/// last row, as the loader reads it), or why there is none.
QString database_version(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QStringLiteral("n/a (no database file)");
    sqlite_reader file(path);
    sqlite_reader::rows q(file, QStringLiteral("SELECT * FROM INFO"));
    QString version;
    if (file.isOpen() && q.exec()) {
        const int column = q.column("version");
        while (q.next())
            version = q.toText(column);
    }
    return version.isEmpty() ? QStringLiteral("n/a (the database file records none)") : version;
}

result_copy copy_result(const sim_data *sd, const one_water *w, thermo &th)
{
    const one_water_result *r = w->results;
    result_copy c;
    c.date = r->date_str;
    c.TC = r->TC;
    c.density = r->densitymass;
    c.pH = r->resultpH;
    global gl;
    c.pHscale = QStringLiteral("activity of H+, ") + gl.activityType_Translate(w->activitymethod);
    c.ionicStrength = r->ionicstrength;
    c.netCharge = r->chargebalance;
    c.alkCarb = r->alkCarb;
    c.tds = r->tds;
    c.conduct = r->conduct;
    c.dielectConst = r->dielectConst;
    c.loops = r->loops;
    c.cvgValue = r->cvgValue;
    c.converged = r->converged;

    const QHash<QString, double> mass = formula_masses(sd);
    for (const one_waterResult_solute *s : r->soln_aq) {
        if (!s)
            continue;
        const result_calc::species_value v {s->solute, s->cmolal, s->gamma, mass.value(s->solute)};
        if (s->solute == sd->nameH2O)
            c.waterActivity = s->gamma;
        else
            c.solutes << v;
    }
    for (const one_waterResult_solute *g : r->soln_gas)
        if (g)
            c.gases << result_calc::species_value {g->solute, g->cmolal, g->gamma,
                                                   mass.value(g->solute)};
    QHash<QString, double> toPpm;
    for (const one_element *e : sd->elements)
        if (e)
            toPpm.insert(e->name, e->cvtmtoppm > 0.0 ? e->cvtmtoppm : e->mol_wt * 1000.0);
    for (const one_waterResult_element *e : r->soln_elem)
        if (e && e->element != sd->nameH && e->element != sd->nameO)
            c.elementTotals << text_row {e->element, num(e->cmolal), num(e->cmolal * c.density),
                                         toPpm.contains(e->element)
                                             ? num(e->cmolal * toPpm.value(e->element))
                                             : QStringLiteral("n/a")};

    if (!sd->ctrlset || !sd->ctrlset->dbaccess) {
        c.noSolids = QStringLiteral("No mineral reactions: the configuration does not use the "
                                    "thermodynamic database.");
        return c;
    }
    QList<result_calc::species_value> all = c.solutes;
    all << result_calc::species_value {sd->nameH2O, 0.0, c.waterActivity, 0.0};
    const QHash<QString, double> log10a = result_calc::log10_activities(all, c.gases, sd->nameH2O);
    const QList<const one_rxn *> rxns = solid_rxns(sd, r);
    for (int i = 0; i < rxns.size(); ++i) {
        if (rxns[i]) {
            c.solids << result_calc::solid_saturation(th, rxns[i], log10a, c.TC);
        } else {
            // the system no longer holds the reaction the result names
            result_calc::saturation gone;
            gone.mineral = r->solids.at(i)->name;
            gone.missing << gone.mineral;
            c.solids << gone;
        }
    }
    if (c.solids.isEmpty())
        c.noSolids = QStringLiteral("No mineral reactions in this chemical system.");
    return c;
}

// The pH given, as the water's pH cell shows it; nothing without a hydrogen amount.
// `pHcomp` is only the value last typed, and a new water never had one.
QString shown_pH(double pH)
{
    return std::isnan(pH) ? QString() : num(pH);
}

} // namespace

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

water_copy copy_water(const sim_data *sd, const one_water *w, int index, thermo &th)
{
    water_copy c;
    if (!sd || !w)
        return c;
    global gl;
    c.index = index;
    c.name = w->name;
    c.TC = w->TC;
    const QString off = QStringLiteral("off");
    c.conditions = {
        {QStringLiteral("water"), w->name, QString()},
        {QStringLiteral("created"), w->date_str, QString()},
        {QStringLiteral("temperature"), num(w->TC), QStringLiteral("C")},
        {QStringLiteral("density"), num(w->densitymass), QStringLiteral("g/cm3")},
        {QStringLiteral("activity model"), gl.activityType_Translate(w->activitymethod), QString()},
        {QStringLiteral("water activity model"), gl.activityWaterType_Translate(w->activitywater),
         QString()},
        {QStringLiteral("hydrogen given as"), w->typeH == global::pH ? "pH" : "[H+]", QString()},
        {QStringLiteral("pH given"),
         w->typeH == global::pH ? shown_pH(global::pH_ofHydrogen(w, sd->nameH)) : QString(),
         QString()},
        {QStringLiteral("charge balance on"),
         w->chargebalance ? w->chargebalanceSolute + " (" + w->chargebalanceElem + ")" : off,
         QString()},
        {QStringLiteral("alkalinity"), w->alkSet ? num(w->alkmolal) : off,
         w->alkSet ? QStringLiteral("eq/kg water") : QString()},
        {QStringLiteral("alkalinity fixes element"), w->alkSet ? w->alkElem : QString(), QString()},
    };
    for (const one_elementComp *e : w->composition)
        if (e)
            c.composition << text_row {e->element,    e->solute,   num(e->molal),
                                       num(e->Molar), num(e->ppm), e->swaprxn};
    // Named by the batch's O2(g) species: the condition's own name is empty once
    // the configuration has been read from its file.
    if (w->stag_O2g && w->redoxO2g)
        c.gasConditions << text_row {sd->nameO2g.isEmpty() ? QStringLiteral("O2(g)") : sd->nameO2g,
                                     num(w->redoxO2g->molal)};
    for (const one_gasComp *g : w->gasComp)
        if (g)
            c.gasConditions << text_row {g->name, num(g->fugacity)};
    c.hasResult = w->results != nullptr;
    if (c.hasResult)
        c.result = copy_result(sd, w, th);
    return c;
}

batch_copy copy_batch(const sbatch *batch, thermo &th)
{
    batch_copy c;
    if (!batch || !batch->sdata)
        return c;
    const sim_data *sd = batch->sdata;
    global gl;
    c.setup = {
        {QStringLiteral("configuration file"), sd->file},
        {QStringLiteral("program version"), gl.version_simulator()},
        {QStringLiteral("database type"), gl.dbtype_toString(sd->dbtype)},
        {QStringLiteral("database version"), database_version(sd->dbref)},
        {QStringLiteral("database file"), sd->dbref},
        {QStringLiteral("description"), sd->description},
    };
    if (const one_ctrlset *k = sd->ctrlset) {
        c.setup << text_row {QStringLiteral("use database"), yesNo(k->dbaccess)}
                << text_row {QStringLiteral("redox reactions"), yesNo(k->redox)}
                << text_row {QStringLiteral("organic compounds"), yesNo(k->orgcmpd)}
                << text_row {QStringLiteral("iteration limit"), QString::number(k->csolvitmax)}
                << text_row {QStringLiteral("convergence limit"), num(k->csolvcvg)}
                << text_row {QStringLiteral("highest concentration (molal)"), num(k->csolvcmax)}
                << text_row {QStringLiteral("lowest concentration (molal)"), num(k->csolvcmin)}
                << text_row {QStringLiteral("highest temperature (C)"), num(k->TCmax)}
                << text_row {QStringLiteral("lowest temperature (C)"), num(k->TCmin)};
    }
    for (const one_element *e : sd->elements)
        if (e)
            c.elements << text_row {e->name, e->basis_name, num(e->mol_wt)};
    for (const one_solute *s : sd->solutes)
        if (s)
            c.solutes << text_row {s->name, num(s->charge), num(s->mol_wt)};
    for (const one_gas *g : sd->gases)
        if (g)
            c.gases << text_row {g->name, num(g->mol_wt)};
    auto addRxns = [&](const QList<one_rxn *> &list, const QString &kind) {
        for (const one_rxn *r : list) {
            if (!r)
                continue;
            double logK = 0.0;
            const bool known = result_calc::eqkLog10_at(th, r->eqk, 25.0, &logK);
            c.reactions << text_row {r->name, kind, known ? num(logK) : QStringLiteral("n/a"),
                                     r->expression};
        }
    };
    addRxns(sd->rxnsAqueous, QStringLiteral("aqueous"));
    addRxns(sd->rxnsGas, QStringLiteral("gas"));
    addRxns(sd->rxnsSolid, QStringLiteral("solid"));
    for (int i = 0; i < sd->waters.size(); ++i)
        if (sd->waters.at(i))
            c.waters << copy_water(sd, sd->waters.at(i), i, th);
    return c;
}

} // namespace result_snapshot
