#include "sbatch.h"

#include <QDateTime>
#include <QDebug>

namespace {

/// The fixed name as set by the database, or the usual name while no database
/// has set it: an empty fixed name would otherwise match an empty element name
/// and never the element it stands for.
QString fixedName(const QString &name, const char *usual)
{
    return name.isEmpty() ? QString::fromLatin1(usual) : name;
}

/// Index of the first record whose name, lower-cased, equals `name` lower-cased.
template<class T, class NameOf>
int findLower(const QList<T *> &list, const QString &name, NameOf nameOf)
{
    const QString key = name.toLower();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i) && nameOf(list.at(i)).toLower() == key)
            return i;
    }
    return -9;
}

template<class T>
int findByName(const QList<T *> &list, const QString &name)
{
    return findLower(list, name, [](const T *rec) { return rec->name; });
}

/// Index of `element` in a species composition, or -1.
int compIndex(const one_comp_elements *comp, const QString &element)
{
    return comp ? int(comp->element.indexOf(element)) : -1;
}

} // namespace

sbatch::sbatch()
{
    sdata = new sim_data;
    sdata->initCode = 2;
}

sbatch::~sbatch()
{
    delete sdata;
}

void sbatch::simData_init(sim_data *sd)
{
    if (!sd)
        return;
    sd->nelements = 0;
    sd->nsolutes = 0;
    sd->nsolids = 0;
    sd->nliquids = 0;
    sd->ngases = 0;
    sd->elements.clear();
    sd->solutes.clear();
    sd->solids.clear();
    sd->gases.clear();
    sd->liquids.clear();

    sd->nrxnsAqueous = 0;
    sd->nrxnsSolid = 0;
    sd->nrxnsLiquid = 0;
    sd->nrxnsGas = 0;
    sd->rxnsAqueous.clear();
    sd->rxnsSolid.clear();
    sd->rxnsGas.clear();
    sd->rxnsLiquid.clear();
    sd->rxnsNonOrganic.clear();
    sd->rxnsRedox.clear();
    sd->redoxpairs.clear();
    sd->redoxgases.clear();

    // Someone may still hold the previous control set; keep it alive with the
    // sim_data instead of freeing it now.
    sd->own(sd->ctrlset);
    sd->ctrlset = simData_init_ctrlset();

    sd->waters.clear();
    sd->waters.append(sd->own(simData_init_water()));
    sd->currentWater = 0;
    sd->nwaters = int(sd->waters.size());
}

one_ctrlset *sbatch::simData_init_ctrlset()
{
    auto *cs = new one_ctrlset;
    cs->dbaccess = true;
    cs->redox = false;
    cs->orgcmpd = false;
    cs->csolvitmax = 31;
    cs->csolvcvg = 1.0e-6;
    cs->csolvcmax = 35.0;
    cs->csolvcmin = 1.0e-36;
    cs->TCmax = 350.0;
    cs->TCmin = 0.1;
    return cs;
}

one_water *sbatch::simData_init_water()
{
    auto *w = new one_water;
    w->id = 0;
    w->name = QStringLiteral("water-default");
    w->date_str = QDateTime::currentDateTime().toString(Qt::TextDate);
    w->date_utc = QDateTime::currentSecsSinceEpoch();
    w->description = QStringLiteral("----- water data started on ") + w->date_str;
    w->densitymass = 1.0;
    w->TC = 25.0;
    w->activitymethod = global::ac_dh_bdot;
    w->activitywater = global::acw_mol_fr;
    w->typeH = global::pH;
    w->concnunit = global::molal;
    w->concnunitGas = global::fugacity;
    w->typeHIndex = 1;
    w->unitIndex3 = 0;
    w->unitIndex4 = 1;
    w->unitAux1 = 1.0;
    w->unitAux2 = 1000.0;
    w->unitAux3 = 0.0;
    w->redoxO2g = setup_one_elementComp(fixedName(sdata->nameO2g, "O2(g)"));
    return w;
}

one_elementComp *sbatch::setup_one_elementComp(const QString &name)
{
    auto *ec = new one_elementComp;
    ec->element = name;
    ec->solute = name;
    ec->species = solutes_commonElem(name);
    ec->stoich = solutes_commonElem_stoich(name);

    double amount = 0.0;
    if (name == fixedName(sdata->nameO, "O") || name == fixedName(sdata->nameH2O, "H2O"))
        amount = 1.0;
    else if (name == fixedName(sdata->nameH, "H"))
        amount = 1.0e-7;
    else if (name == fixedName(sdata->nameO2g, "O2(g)"))
        amount = 1.0e-8;

    if (amount > 0.0) {
        ec->molal = amount;
        ec->Molar = amount;
        ec->ppm = amount;
    } else {
        ec->Molar = gl.default_concn_Molar();
        ec->molal = gl.default_concn_molal();
        ec->ppm = 1.0;
    }
    return ec;
}

one_gasComp *sbatch::setup_one_gasComp(const QString &name)
{
    auto *gc = new one_gasComp;
    gc->name = name;
    gc->amount = 1.0;
    gc->fugacity = gl.default_fugacity();
    return gc;
}

QStringList sbatch::solutes_commonElem(const QString &element)
{
    if (element == fixedName(sdata->nameO, "O"))
        return {fixedName(sdata->nameH2O, "H2O")};
    if (element == fixedName(sdata->nameH, "H"))
        return {fixedName(sdata->nameHplus, "H+")};

    QStringList names;
    for (const one_solute *s : std::as_const(sdata->solutes)) {
        if (s && compIndex(s->composition, element) >= 0)
            names.append(s->name);
    }
    for (const one_gas *g : std::as_const(sdata->gases)) {
        if (g && compIndex(g->composition, element) >= 0)
            names.append(g->name);
    }
    return names;
}

QList<double> sbatch::solutes_commonElem_stoich(const QString &element)
{
    // O is carried by H2O and H by H+ alone, one atom each; the coefficient
    // list stays parallel to the species list of solutes_commonElem.
    if (element == fixedName(sdata->nameO, "O") || element == fixedName(sdata->nameH, "H"))
        return {1.0};

    QList<double> stoich;
    for (const one_solute *s : std::as_const(sdata->solutes)) {
        const int k = s ? compIndex(s->composition, element) : -1;
        if (k >= 0)
            stoich.append(s->composition->stoich.value(k));
    }
    for (const one_gas *g : std::as_const(sdata->gases)) {
        const int k = g ? compIndex(g->composition, element) : -1;
        if (k >= 0)
            stoich.append(g->composition->stoich.value(k));
    }
    return stoich;
}

int sbatch::find_idxBatch_element(const QString &name)
{
    return findByName(sdata->elements, name);
}

int sbatch::find_idxBatch_elementBasis(const QString &name)
{
    return findLower(sdata->elements, name, [](const one_element *e) { return e->basis_name; });
}

int sbatch::find_idxBatch_solute(const QString &name)
{
    return findByName(sdata->solutes, name);
}

int sbatch::find_idxBatch_solid(const QString &name)
{
    return findByName(sdata->solids, name);
}

int sbatch::find_idxBatch_gas(const QString &name)
{
    return findByName(sdata->gases, name);
}

int sbatch::find_idxBatch_solidRxn(const QString &name)
{
    return findByName(sdata->rxnsSolid, name);
}

int sbatch::find_idxBatch_water(const QString &name)
{
    return findByName(sdata->waters, name);
}

int sbatch::find_idxBatch_rxnRedox(const QString &name)
{
    // A redox record read from a file has no reaction linked yet: it never matches.
    const QString key = name.toLower();
    for (int i = 0; i < sdata->rxnsRedox.size(); ++i) {
        const one_redoxRxn *r = sdata->rxnsRedox.at(i);
        if (r && r->rxn && r->rxn->name.toLower() == key)
            return i;
    }
    return -9;
}

int sbatch::find_idxBatch_rxn(const QString &name, int type)
{
    switch (type) {
    case global::aux:
    case global::aqueous:
        return findByName(sdata->rxnsAqueous, name);
    case global::solid:
        return findByName(sdata->rxnsSolid, name);
    case global::liquid:
        return findByName(sdata->rxnsLiquid, name);
    case global::gas:
        return findByName(sdata->rxnsGas, name);
    }
    qDebug() << "DD : ##### cannot find reaction [" << name << "], unknown type [" << type << "]";
    return -9;
}

bool sbatch::verify_solute_inBatch(const QString &name)
{
    return findByName(sdata->solutes, name) >= 0 || findByName(sdata->rxnsGas, name) >= 0;
}

double sbatch::element_ppmFactor(const QString &name)
{
    const int k = find_idxBatch_element(name);
    return k >= 0 ? sdata->elements.at(k)->cvtmtoppm : 0.0;
}
