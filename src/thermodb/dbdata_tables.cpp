// Readers of the single tables of a reference database: species, reactions,
// compositions, equilibrium constants, Debye-Huckel data and formation data.
#include "dbdata.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

/// Columns of a result located by name; a column the table lacks reads as 0
/// or empty text.
class row_reader
{
public:
    explicit row_reader(const QSqlQuery &query)
        : q(query)
        , rec(query.record())
    { }

    int col(const char *name) const { return rec.indexOf(QLatin1String(name)); }
    int toInt(int i) const { return i < 0 ? 0 : q.value(i).toInt(); }
    double toDouble(int i) const { return i < 0 ? 0.0 : q.value(i).toDouble(); }
    QString toText(int i) const { return i < 0 ? QString() : q.value(i).toString(); }

private:
    const QSqlQuery &q;
    QSqlRecord rec;
};

void logQueryError(const char *what, const QSqlQuery &q)
{
    qDebug() << what;
    qDebug() << "     error message : " << q.lastError().text();
}

/// "SELECT <columns> FROM <table>" naming only those of `wanted` that the
/// table has: the driver converts every column of a row, so unused text
/// columns are not fetched, while a missing column still reads as 0 or empty.
/// All names come from this file, never from data.
QString selectExisting(const QSqlDatabase &db, const char *table, const QStringList &wanted)
{
    const QSqlRecord rec = db.record(QLatin1String(table));
    QStringList cols;
    for (const QString &w : wanted)
        if (rec.contains(w))
            cols << w;
    if (cols.isEmpty()) // no such table (or no wanted column): let the query report it
        cols << QStringLiteral("*");
    return QStringLiteral("SELECT %1 FROM %2")
        .arg(cols.join(QStringLiteral(", ")), QLatin1String(table));
}

QString compositionKey(const QString &name, const QString &type)
{
    return name + QChar(0x1f) + type;
}

} // namespace

bool dbdata::read_composition_tables()
{
    clear_composition_tables();
    bool ok = true;
    {
        QSqlQuery q(dbLoad);
        q.setForwardOnly(true);
        if (q.exec(selectExisting(dbLoad, "comp_elements",
                                  {"name", "type", "element", "element_id", "stoich"}))) {
            row_reader r(q);
            const int iName = r.col("name"), iType = r.col("type"), iElem = r.col("element"),
                      iElemId = r.col("element_id"), iStoich = r.col("stoich");
            compByType = iType >= 0;
            while (q.next())
                compRows[compositionKey(r.toText(iName), r.toText(iType))].append(
                    {r.toText(iElem), r.toInt(iElemId), r.toDouble(iStoich)});
        } else {
            logQueryError("DD : #### query of elemental composition data returned error.", q);
            ok = false;
        }
    }
    {
        QSqlQuery q(dbLoad);
        q.setForwardOnly(true);
        if (q.exec(
                selectExisting(dbLoad, "rxn_stoich", {"name", "solute", "solute_id", "stoich"}))) {
            row_reader r(q);
            const int iName = r.col("name"), iSolute = r.col("solute"),
                      iSoluteId = r.col("solute_id"), iStoich = r.col("stoich");
            while (q.next())
                stoichRows[r.toText(iName)].append(
                    {r.toText(iSolute), r.toInt(iSoluteId), r.toDouble(iStoich)});
        } else {
            logQueryError("DD : #### query of solute stoichiometric composition data returned "
                          "error.",
                          q);
            ok = false;
        }
    }
    {
        QSqlQuery q(dbLoad);
        q.setForwardOnly(true);
        if (q.exec(selectExisting(dbLoad, "eqk",
                                  {"name", "id", "tag", "type_eqn", "order_idx", "coeff",
                                   "quotient", "eqkLog10", "temperature"}))) {
            row_reader r(q);
            const int iName = r.col("name"), iId = r.col("id"), iTag = r.col("tag"),
                      iTypeEqn = r.col("type_eqn"), iOrder = r.col("order_idx"),
                      iCoeff = r.col("coeff"), iQuot = r.col("quotient"), iLog = r.col("eqkLog10"),
                      iTemp = r.col("temperature");
            while (q.next()) {
                QList<eqk_row> &rows = eqkRows[r.toText(iName)];
                // The equation form counts from a reaction's first row only.
                const int typeEqn = rows.isEmpty() ? gl.eqkType_toEnum(r.toText(iTypeEqn)) : 0;
                rows.append({r.toInt(iId), r.toInt(iTag), typeEqn, r.toInt(iOrder),
                             r.toDouble(iCoeff), r.toDouble(iQuot), r.toDouble(iLog),
                             r.toDouble(iTemp)});
            }
        } else {
            logQueryError("DD : #### query of equilibrium constant data returned error.", q);
            ok = false;
        }
    }
    return ok;
}

void dbdata::clear_composition_tables()
{
    compRows.clear();
    stoichRows.clear();
    eqkRows.clear();
}

one_bdot_properties *dbdata::db_retrieve_bdot_EQ3v1996()
{
    QSqlQuery q(dbLoad);
    q.setForwardOnly(true);
    if (!q.exec(selectExisting(dbLoad, "bdot",
                               {"TC", "DHa", "adh", "DHb", "bdh", "DHbdot", "bdot", "ehLogK"}))) {
        logQueryError("DD : #### query of bdot data returned error.", q);
        return nullptr;
    }
    auto *bd = new one_bdot_properties;
    row_reader r(q);
    const int iTC = r.col("TC"), iDHa = r.col("DHa"), iAdh = r.col("adh"), iDHb = r.col("DHb"),
              iBdh = r.col("bdh"), iDHbdot = r.col("DHbdot"), iBdot = r.col("bdot"),
              iEh = r.col("ehLogK");
    while (q.next()) {
        bd->TC.append(r.toDouble(iTC));
        bd->DHa.append(r.toDouble(iDHa));
        bd->adh.append(r.toDouble(iAdh));
        bd->DHb.append(r.toDouble(iDHb));
        bd->bdh.append(r.toDouble(iBdh));
        bd->DHbdot.append(r.toDouble(iDHbdot));
        bd->bdot.append(r.toDouble(iBdot));
        bd->ehLogK.append(r.toDouble(iEh));
    }
    if (bd->TC.isEmpty()) {
        qDebug() << "DD : #### bdot table is empty; the built-in Debye-Huckel data are kept.";
        delete bd;
        return nullptr;
    }
    return bd;
}

QList<one_element *> dbdata::db_retrieve_elements_fmEQ3v1996()
{
    QList<one_element *> list;
    QSqlQuery q(dbLoad);
    q.setForwardOnly(true);
    if (!q.exec(selectExisting(dbLoad, "elements",
                               {"id", "tag", "name", "mol_wt", "basis_id", "basis_name"}))) {
        logQueryError("DD : #### query of elements data returned error.", q);
        return list;
    }
    row_reader r(q);
    const int iId = r.col("id"), iTag = r.col("tag"), iName = r.col("name"), iMw = r.col("mol_wt"),
              iBasisId = r.col("basis_id"), iBasisName = r.col("basis_name");
    while (q.next()) {
        auto *e = sdata->own(new one_element);
        e->id = r.toInt(iId);
        e->tag = r.toInt(iTag);
        e->name = r.toText(iName);
        e->mol_wt = r.toDouble(iMw);
        e->basis_id = r.toInt(iBasisId);
        e->basis_name = r.toText(iBasisName);
        list.append(e);
    }
    return list;
}

QList<one_solute *> dbdata::db_retrieve_solutes_fmEQ3v1996()
{
    QList<one_solute *> list;
    QSqlQuery q(dbLoad);
    q.setForwardOnly(true);
    if (!q.exec(selectExisting(dbLoad, "solutes",
                               {"id", "tag", "type", "name", "formula", "mol_wt", "DHazero",
                                "charge", "date", "date_revised", "comment"}))) {
        logQueryError("DD : #### query of solutes data returned error.", q);
        return list;
    }
    row_reader r(q);
    const int iId = r.col("id"), iTag = r.col("tag"), iType = r.col("type"), iName = r.col("name"),
              iFormula = r.col("formula"), iMw = r.col("mol_wt"), iAzero = r.col("DHazero"),
              iCharge = r.col("charge"), iDate = r.col("date"), iRevised = r.col("date_revised"),
              iComment = r.col("comment");
    while (q.next()) {
        auto *s = sdata->own(new one_solute);
        s->id = r.toInt(iId);
        s->tag = r.toInt(iTag);
        s->type = gl.speciesType_toEnum(r.toText(iType));
        s->name = r.toText(iName);
        s->formula = r.toText(iFormula);
        s->mol_wt = r.toDouble(iMw);
        s->DHazero = r.toDouble(iAzero);
        s->charge = r.toInt(iCharge);
        s->date = r.toText(iDate);
        s->date_revised = r.toText(iRevised);
        s->comment = r.toText(iComment);
        s->composition = db_comp_elements_fmEQ3v1996(s->name, s->type);
        list.append(s);
    }
    return list;
}

namespace {

/// Reads the columns shared by the solid, liquid and gas tables.
template<class T>
QList<T *> readSpeciesTable(dbdata *db, QSqlDatabase &conn, const char *table, int type,
                            bool withVolume)
{
    QList<T *> list;
    QSqlQuery q(conn);
    q.setForwardOnly(true);
    if (!q.exec(selectExisting(conn, table,
                               {"id", "tag", "name", "formula", "mol_wt", "molar_volume", "date",
                                "date_revised", "comment"}))) {
        qDebug() << "DD : #### query of" << table << "data returned error.";
        qDebug() << "     error message : " << q.lastError().text();
        return list;
    }
    row_reader r(q);
    const int iId = r.col("id"), iTag = r.col("tag"), iName = r.col("name"),
              iFormula = r.col("formula"), iMw = r.col("mol_wt"), iVol = r.col("molar_volume"),
              iDate = r.col("date"), iRevised = r.col("date_revised"), iComment = r.col("comment");
    while (q.next()) {
        auto *s = db->sdata->own(new T);
        s->id = r.toInt(iId);
        s->tag = r.toInt(iTag);
        s->name = r.toText(iName);
        s->formula = r.toText(iFormula);
        s->mol_wt = r.toDouble(iMw);
        if (withVolume)
            s->molar_volume = r.toDouble(iVol);
        s->date = r.toText(iDate);
        s->date_revised = r.toText(iRevised);
        s->comment = r.toText(iComment);
        s->type = type;
        s->composition = db->db_comp_elements_fmEQ3v1996(s->name, type);
        list.append(s);
    }
    return list;
}

} // namespace

QList<one_solid *> dbdata::db_retrieve_solids_fmEQ3v1996()
{
    return readSpeciesTable<one_solid>(this, dbLoad, "solids", global::solid, true);
}

QList<one_liquid *> dbdata::db_retrieve_liquids_fmEQ3v1996()
{
    return readSpeciesTable<one_liquid>(this, dbLoad, "liquids", global::liquid, true);
}

QList<one_gas *> dbdata::db_retrieve_gases_fmEQ3v1996()
{
    return readSpeciesTable<one_gas>(this, dbLoad, "gases", global::gas, false);
}

one_comp_elements *dbdata::db_comp_elements_fmEQ3v1996(const QString &name, int type)
{
    auto *comp = new one_comp_elements;
    // The same name may stand for two species (the O2(g) solute and the O2(g)
    // gas), so a composition is selected by name and species type.
    // A file without the type column can only be matched by name.
    const QString typeKey = compByType ? gl.speciesType_toString(type) : QString();
    const auto it = compRows.constFind(compositionKey(name, typeKey));
    if (it != compRows.constEnd()) {
        for (const comp_row &row : *it) {
            comp->element.append(row.element);
            comp->element_id.append(row.element_id);
            comp->stoich.append(row.stoich);
        }
    }
    comp->ncomp = comp->element.size();
    return comp;
}

one_comp_solutes *dbdata::db_comp_solutes_fmEQ3v1996(const QString &name)
{
    auto *comp = new one_comp_solutes;
    const auto it = stoichRows.constFind(name);
    if (it != stoichRows.constEnd()) {
        for (const stoich_row &row : *it) {
            comp->solute.append(row.solute);
            comp->solute_id.append(row.solute_id);
            comp->stoich.append(row.stoich);
        }
    }
    comp->ncomp = comp->solute.size();
    return comp;
}

one_rxn_eqk *dbdata::db_rxn_eqk_fmEQ3v1996(const QString &name)
{
    auto *eqk = new one_rxn_eqk;
    const auto it = eqkRows.constFind(name);
    if (it == eqkRows.constEnd() || it->isEmpty())
        return eqk;
    eqk->id = it->first().id;
    eqk->tag = it->first().tag;
    eqk->type_eqn = it->first().type_eqn;
    // Terms are evaluated by position, so they are put in the order of their index.
    QList<eqk_row> rows = *it;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const eqk_row &a, const eqk_row &b) { return a.order_idx < b.order_idx; });
    for (const eqk_row &row : rows) {
        eqk->order_idx.append(row.order_idx);
        eqk->coeff.append(row.coeff);
        eqk->quotient.append(row.quotient);
        eqk->eqkLog10.append(row.eqkLog10);
        eqk->temperature.append(row.temperature);
    }
    eqk->nterms = eqk->coeff.size();
    return eqk;
}

QList<one_rxn *> dbdata::db_retrieve_rxns_fmEQ3v1996(int type)
{
    QList<one_rxn *> list;
    const QString typeText = gl.speciesType_toString(type);
    QSqlQuery q(dbLoad);
    q.setForwardOnly(true);
    q.prepare(selectExisting(dbLoad, "reaction",
                             {"id", "type", "tag", "name", "date", "date_revised", "comment"})
              + QStringLiteral(" WHERE type = ?"));
    q.addBindValue(typeText);
    if (!q.exec()) {
        qDebug() << "DD : #### query of reactions [ " << typeText << " ] data returned error.";
        qDebug() << "     error message : " << q.lastError().text();
        return list;
    }
    QStringList withoutTerms;

    row_reader r(q);
    const int iId = r.col("id"), iType = r.col("type"), iTag = r.col("tag"), iName = r.col("name"),
              iDate = r.col("date"), iRevised = r.col("date_revised"), iComment = r.col("comment");
    while (q.next()) {
        const QString name = r.toText(iName);
        one_rxn_eqk *eqk = db_rxn_eqk_fmEQ3v1996(name);
        if (eqk->nterms == 0) {
            // The evaluator needs at least one term; such a reaction cannot be used.
            delete eqk;
            withoutTerms << name;
            continue;
        }
        auto *rxn = sdata->own(new one_rxn);
        rxn->eqk = eqk;
        rxn->id = r.toInt(iId);
        rxn->tag = r.toInt(iTag);
        rxn->type = gl.speciesType_toEnum(r.toText(iType));
        rxn->name = name;
        rxn->typeRequested = type;
        rxn->date = r.toText(iDate);
        rxn->date_revised = r.toText(iRevised);
        rxn->comment = r.toText(iComment);

        const one_comp_elements *species = nullptr;
        switch (type) {
        case global::aux:
        case global::aqueous: {
            const int i = solute_index(name);
            if (i >= 0)
                species = sdata->solutes[i]->composition;
            break;
        }
        case global::solid: {
            const int i = solid_index(name);
            if (i >= 0)
                species = sdata->solids[i]->composition;
            rxn->infoAux1 = name;
            break;
        }
        case global::liquid: {
            const int i = liquid_index(name);
            if (i >= 0)
                species = sdata->liquids[i]->composition;
            break;
        }
        case global::gas: {
            const int i = gas_index(name);
            if (i >= 0)
                species = sdata->gases[i]->composition;
            break;
        }
        default:
            qDebug() << "DD : ##### retrieving reaction data, type [ " << type << " ] unknown.";
        }
        if (species)
            rxn->compSpecies = new one_comp_elements(*species);
        rxn->composition = db_comp_solutes_fmEQ3v1996(name);
        rxn->expression = rxn_build_expression(rxn->composition);
        rxn->elements = rxn_compile_list_elements(rxn->composition);
        list.append(rxn);
    }
    if (!withoutTerms.isEmpty()) {
        const int shown = 10;
        QString names = withoutTerms.mid(0, shown).join(QStringLiteral(", "));
        if (withoutTerms.size() > shown)
            names += QStringLiteral(", ... (%1 more)").arg(withoutTerms.size() - shown);
        const QString text = QStringLiteral("DD : #### %1 %2 reaction(s) without equilibrium "
                                            "constant terms left out: %3")
                                 .arg(withoutTerms.size())
                                 .arg(typeText, names);
        qDebug().noquote() << text;
        add_message(text);
    }
    return list;
}

QString dbdata::rxn_build_expression(const one_comp_solutes *comp) const
{
    auto side = [comp](bool left) {
        QString text;
        const int n = comp ? std::min(comp->solute.size(), comp->stoich.size()) : 0;
        for (int i = 0; i < n; ++i) {
            const double c = comp->stoich[i];
            if (left ? !(c < 0.0) : !(c > 0.0))
                continue;
            if (!text.isEmpty())
                text += QStringLiteral(" + ");
            if (std::abs(c) != 1.0)
                text += QString::number(std::abs(c), 'g', 6) + QLatin1Char(' ');
            text += comp->solute[i];
        }
        return text;
    };
    return side(true) + QStringLiteral(" = ") + side(false);
}

QStringList dbdata::rxn_compile_list_elements(const one_comp_solutes *comp)
{
    QStringList result;
    if (!comp)
        return result;
    for (const QString &name : comp->solute) {
        const one_comp_elements *c = nullptr;
        int i = solute_index(name);
        if (i >= 0) {
            c = sdata->solutes[i]->composition;
        } else if ((i = liquid_index(name)) >= 0) {
            c = sdata->liquids[i]->composition;
        } else if ((i = gas_index(name)) >= 0) {
            c = sdata->gases[i]->composition;
        } else {
            qDebug() << "DD : ####  solute [ " << name << " ] not found in the database";
            continue;
        }
        if (!c)
            continue;
        for (const QString &e : c->element)
            if (!result.contains(e))
                result.append(e);
    }
    return result;
}

void dbdata::db_retrieva_thermodata_fmEQ3v1996()
{
    QSqlQuery q(dbLoad);
    q.setForwardOnly(true);
    if (!q.exec(selectExisting(dbLoad, "thermodata",
                               {"id", "tag", "type", "name", "id_species", "gibbsFm", "unitGFm",
                                "enthalpyFm", "unitHFm", "entropyFm", "unitSFm", "date",
                                "date_revised", "comment"}))) {
        logQueryError("DD : #### query of thermodynamic data returned error.", q);
        return;
    }
    row_reader r(q);
    const int iId = r.col("id"), iTag = r.col("tag"), iType = r.col("type"), iName = r.col("name"),
              iIdSpecies = r.col("id_species"), iGibbs = r.col("gibbsFm"),
              iUnitG = r.col("unitGFm"), iEnthalpy = r.col("enthalpyFm"), iUnitH = r.col("unitHFm"),
              iEntropy = r.col("entropyFm"), iUnitS = r.col("unitSFm"), iDate = r.col("date"),
              iRevised = r.col("date_revised"), iComment = r.col("comment");
    while (q.next()) {
        auto *t = sdata->own(new one_thermodata);
        t->id = r.toInt(iId);
        t->tag = r.toInt(iTag);
        t->type = gl.speciesType_toEnum(r.toText(iType));
        t->name = r.toText(iName);
        t->id_species = r.toInt(iIdSpecies);
        t->gibbsFm = r.toDouble(iGibbs);
        t->unitGFm = r.toText(iUnitG);
        t->enthalpyFm = r.toDouble(iEnthalpy);
        t->unitHFm = r.toText(iUnitH);
        t->entropyFm = r.toDouble(iEntropy);
        t->unitSFm = r.toText(iUnitS);
        t->date = r.toText(iDate);
        t->date_revised = r.toText(iRevised);
        t->comment = r.toText(iComment);

        int i = -1;
        switch (t->type) {
        case global::basis:
        case global::aux:
        case global::aqueous:
            if ((i = solute_index(t->name)) >= 0)
                sdata->solutes[i]->thermo = t;
            break;
        case global::solid:
            if ((i = solid_index(t->name)) >= 0)
                sdata->solids[i]->thermo = t;
            break;
        case global::liquid:
            if ((i = liquid_index(t->name)) >= 0)
                sdata->liquids[i]->thermo = t;
            break;
        case global::gas:
            if ((i = gas_index(t->name)) >= 0)
                sdata->gases[i]->thermo = t;
            break;
        default:
            qDebug() << "DB: thermodata species " << t->name << " type unknown";
            continue;
        }
        if (i < 0)
            qDebug() << "DB: #### solute thermo data " << t->id_species << ". " << t->name
                     << " not found in sdata";
    }
}
