// Classification of the loaded species and reactions (organic, redox,
// standard) and the working lists a configuration's control set asks for.
#include "dbdata.h"

#include "return_codes.h"
#include "thermo.h"

#include <QDebug>

void dbdata::db_essential_prePatch(int type)
{
    Q_UNUSED(type); // every database type uses the same fixed names and record
    delete sdata->bdot;
    sdata->bdot = thermo::set_DebyeHuckel_coeffsEQ36();
    sdata->nameH = QStringLiteral("H");
    sdata->nameO = QStringLiteral("O");
    sdata->nameC = QStringLiteral("C");
    sdata->nameHplus = QStringLiteral("H+");
    sdata->nameH2O = QStringLiteral("H2O");
    sdata->nameCl = QStringLiteral("Cl-");
    sdata->nameO2g = QStringLiteral("O2(g)");
    sdata->nameOH = QStringLiteral("OH-");
}

one_bdot_properties *dbdata::set_activityCoefficient_EQ3v1996()
{
    delete sdata->bdot;
    sdata->bdot = thermo::set_DebyeHuckel_coeffsEQ36();
    return sdata->bdot;
}

void dbdata::db_essential_post_patch()
{
    for (one_element *e : std::as_const(sdata->elements))
        e->cvtmtoppm = e->mol_wt * 1000.0;
}

bool dbdata::verify_elements_organicCmpd(const QStringList &elements) const
{
    bool hasC = false, hasH = false;
    for (const QString &e : elements) {
        if (e == sdata->nameC)
            hasC = true;
        else if (e == sdata->nameH)
            hasH = true;
        else if (e != QLatin1String("N") && e != QLatin1String("O"))
            return false;
    }
    return hasC && hasH;
}

bool dbdata::verify_solutes_organicCmpd(const QStringList &species) const
{
    for (const QString &name : species) {
        const int i = solute_index(name);
        if (i < 0) {
            qDebug() << "DD : #### solute list inconsistency, in verify_solutes_organicCmpd, "
                     << " [ " << name << " ]";
            continue;
        }
        const one_solute *s = sdata->solutes[i];
        if (s->type == global::basis)
            continue;
        if (s->composition && verify_elements_organicCmpd(s->composition->element))
            return true;
    }
    return false;
}

bool dbdata::verify_rxn_redox(const one_rxn *rxn) const
{
    if (!rxn)
        return false;
    if (rxn->type == global::aux)
        return true;
    if (!rxn->composition)
        return false;
    for (const QString &name : rxn->composition->solute) {
        if (name == sdata->nameO2g)
            return true;
        const int i = solute_index(name);
        if (i >= 0 && sdata->solutes[i]->type == global::aux)
            return true;
    }
    return false;
}

bool dbdata::verify_aux_solute(const QString &name) const
{
    const int i = find_idxDB_solute(name);
    return i >= 0 && sdata->solutes[i]->type == global::aux;
}

int dbdata::db_organize_fmEQ3v1996()
{
    const bool ownIndexes = !indexesBuilt;
    if (ownIndexes)
        build_name_indexes();
    sim_data *sd = sdata;
    sd->solutesAll.clear();
    sd->solutesOrganic.clear();
    sd->solutesStd.clear();
    sd->rxnsAll.clear();
    sd->rxnsNonOrganic.clear();
    sd->rxnsStd.clear();
    sd->namesOrganic.clear();
    sd->namesRedox.clear();
    sd->namesStd.clear();
    sd->rxnsSolidAll.clear();
    sd->rxnsSolidNonRedox.clear();
    sd->rxnsLiquidAll.clear();
    sd->rxnsLiquidNonRedox.clear();
    sd->rxnsGasAll.clear();
    sd->rxnsGasNonRedox.clear();

    for (one_solute *s : std::as_const(sd->solutesDB)) {
        switch (s->type) {
        case global::basis:
            sd->solutesOrganic.append(s);
            sd->solutesAll.append(s);
            sd->solutesStd.append(s);
            break;
        case global::aux:
            sd->solutesOrganic.append(s);
            sd->solutesAll.append(s);
            break;
        case global::aqueous:
            sd->solutesAll.append(s);
            if (s->composition && verify_elements_organicCmpd(s->composition->element))
                sd->solutesOrganic.append(s);
            else
                sd->solutesStd.append(s);
            break;
        default:
            qDebug() << "DD: ##  unknown solute type " << s->name;
        }
    }

    auto classify = [this, sd](one_rxn *rxn, bool fromAux) {
        const QStringList species = rxn->composition ? rxn->composition->solute : QStringList();
        if (verify_solutes_organicCmpd(species)) {
            sd->rxnsAll.append(rxn);
            sd->namesOrganic.append(rxn->name);
            return;
        }
        const bool redox = verify_rxn_redox(rxn);
        if (fromAux)
            rxn->type = global::aux;
        sd->rxnsAll.append(rxn);
        sd->rxnsNonOrganic.append(rxn);
        if (redox) {
            sd->namesRedox.append(rxn->name);
        } else {
            sd->rxnsStd.append(rxn);
            sd->namesStd.append(rxn->name);
        }
    };
    for (one_rxn *rxn : std::as_const(sd->rxnsAqueousDB))
        classify(rxn, false);
    for (one_rxn *rxn : std::as_const(sd->rxnsAuxDB))
        classify(rxn, true);

    qDebug() << "DD: counts, orgCmpd " << sd->rxnsAll.size() << "  aux. "
             << sd->rxnsNonOrganic.size() << "  std " << sd->rxnsStd.size();
    qDebug() << "DD: counts, lists orgCmpd " << sd->namesOrganic.size() << "  aux. "
             << sd->namesRedox.size() << "  std " << sd->namesStd.size();

    auto split
        = [this](const QList<one_rxn *> &read, QList<one_rxn *> &all, QList<one_rxn *> &nonRedox) {
              for (one_rxn *rxn : read) {
                  all.append(rxn);
                  if (!verify_rxn_redox(rxn))
                      nonRedox.append(rxn);
              }
          };
    split(sd->rxnsSolidDB, sd->rxnsSolidAll, sd->rxnsSolidNonRedox);
    split(sd->rxnsLiquidDB, sd->rxnsLiquidAll, sd->rxnsLiquidNonRedox);
    split(sd->rxnsGasDB, sd->rxnsGasAll, sd->rxnsGasNonRedox);

    if (ownIndexes)
        drop_name_indexes();
    return return_codes::success;
}

int dbdata::db_manage_data(sim_data *batch)
{
    if (!batch || batch->dbtype != global::eq36_96) {
        qDebug() << "DD : #### error, retrieving dataype other than 0.";
        add_message(QStringLiteral("DD : #### database type [ %1 ] cannot be used; only type 0 "
                                   "is supported.")
                        .arg(batch ? batch->dbtype : -1));
        return return_codes::dbTypeUnsupported;
    }
    return db_assign_fmEQ3v1996(batch->ctrlset);
}

int dbdata::db_assign_fmEQ3v1996(const one_ctrlset *ctrl)
{
    sim_data *sd = sdata;
    sd->solutes.clear();
    sd->rxnsAqueous.clear();
    sd->rxnsSolid.clear();
    sd->rxnsLiquid.clear();
    sd->rxnsGas.clear();
    // The redox lists link records of a configuration, never of the image.
    sd->rxnsRedox.clear();
    sd->redoxpairs.clear();
    sd->redoxgases.clear();

    // Organic compounds are offered only together with redox reactions.
    const bool redox = ctrl && ctrl->redox;
    const bool organic = ctrl && ctrl->orgcmpd;
    if (!redox) {
        sd->solutes = sd->solutesStd;
        sd->rxnsAqueous = sd->rxnsStd;
        sd->rxnsSolid = sd->rxnsSolidNonRedox;
        sd->rxnsLiquid = sd->rxnsLiquidNonRedox;
        sd->rxnsGas = sd->rxnsGasNonRedox;
    } else {
        sd->solutes = sd->solutesAll;
        sd->rxnsAqueous = organic ? sd->rxnsAll : sd->rxnsNonOrganic;
        sd->rxnsSolid = sd->rxnsSolidAll;
        sd->rxnsLiquid = sd->rxnsLiquidAll;
        sd->rxnsGas = sd->rxnsGasAll;
    }
    sd->nelements = sd->elements.size();
    sd->nsolutes = sd->solutes.size();
    sd->nsolids = sd->solids.size();
    sd->nliquids = sd->liquids.size();
    sd->ngases = sd->gases.size();
    sd->nrxnsAqueous = sd->rxnsAqueous.size();
    sd->nrxnsSolid = sd->rxnsSolid.size();
    sd->nrxnsLiquid = sd->rxnsLiquid.size();
    sd->nrxnsGas = sd->rxnsGas.size();
    return return_codes::success;
}

QList<int> dbdata::db_get_solidRxns(const QString &name) const
{
    QList<int> idx;
    for (int i = 0; i < sdata->rxnsSolid.size(); ++i)
        if (sdata->rxnsSolid[i]->name == name)
            idx.append(i);
    return idx;
}

int dbdata::db_set_solid_multipleRxns()
{
    QHash<QString, QList<int>> byName;
    for (int i = 0; i < sdata->rxnsSolid.size(); ++i)
        byName[sdata->rxnsSolid[i]->name].append(i);
    for (one_solid *s : std::as_const(sdata->solids)) {
        s->rxns = byName.value(s->name);
        s->nrxns = s->rxns.size();
    }
    return return_codes::success;
}
