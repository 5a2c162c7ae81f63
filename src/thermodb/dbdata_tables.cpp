// Readers of the single tables of a reference database: species, reactions,
// compositions, equilibrium constants, Debye-Huckel data and formation data.
//
// Each table is read once, forward only, straight from the SQLite library; the
// compositions, stoichiometries and log K terms are read ahead and grouped by
// name, so that no query runs per species or reaction. Texts that repeat
// (names, elements, dates) are shared among the records that hold them.
#include "dbdata.h"

#include "dbdata_load.h"

#include <QDebug>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using rows = sqlite_reader::rows;

void logQueryError(const char *what, const QString &error)
{
    qDebug() << what;
    qDebug() << "     error message : " << error;
}

/// "SELECT <columns> FROM <table>" naming only those of `wanted` that the
/// table has (compared ignoring case), so that a missing column reads as 0 or
/// empty text; "*" when the table has none of them or does not exist, which
/// lets the query report it. All names come from this file, never from data.
QString selectExisting(sqlite_reader &file, const char *table,
                       std::initializer_list<const char *> wanted)
{
    const QStringList have = file.columnNames(QLatin1String(table));
    QStringList cols;
    for (const char *w : wanted)
        if (have.contains(QLatin1String(w), Qt::CaseInsensitive))
            cols << QLatin1String(w);
    if (cols.isEmpty())
        cols << QStringLiteral("*");
    return QStringLiteral("SELECT %1 FROM %2")
        .arg(cols.join(QStringLiteral(", ")), QLatin1String(table));
}

/// Puts the terms of a log K equation in the order of their index, keeping
/// the order of rows with equal indexes: terms are evaluated by position.
void sortTerms(one_rxn_eqk *k)
{
    if (std::is_sorted(k->order_idx.cbegin(), k->order_idx.cend()))
        return;
    std::vector<int> at(size_t(k->order_idx.size()));
    std::iota(at.begin(), at.end(), 0);
    std::stable_sort(at.begin(), at.end(),
                     [k](int a, int b) { return k->order_idx[a] < k->order_idx[b]; });
    auto permute = [&at](auto &list) {
        auto sorted = list;
        for (size_t i = 0; i < at.size(); ++i)
            sorted[qsizetype(i)] = list[at[i]];
        list = sorted;
    };
    permute(k->order_idx);
    permute(k->coeff);
    permute(k->quotient);
    permute(k->eqkLog10);
    permute(k->temperature);
}

} // namespace

bool dbdata::read_composition_tables()
{
    const bool comps = read_compositions();
    const bool stoich = read_stoichiometries();
    const bool terms = read_eqk_terms();
    const bool reactions = read_reaction_rows();
    return comps && stoich && terms && reactions;
}

bool dbdata::read_reaction_rows()
{
    load_tables &L = *load;
    rows q(L.file,
           selectExisting(L.file, "reaction",
                          {"id", "type", "tag", "name", "date", "date_revised", "comment"}));
    L.rxnRowsRead = q.exec();
    if (!L.rxnRowsRead) {
        L.rxnError = q.errorText();
        return false;
    }
    const int iId = q.column("id"), iType = q.column("type"), iTag = q.column("tag"),
              iName = q.column("name"), iDate = q.column("date"),
              iRevised = q.column("date_revised"), iComment = q.column("comment");
    std::deque<load_tables::rxn_row> *bucket = nullptr;
    std::string bucketType;
    while (q.next()) {
        // Reactions are selected by type as SQL compares text: byte by byte.
        std::string_view type;
        if (!q.textBytes(iType, &type))
            continue;
        if (!bucket || bucketType != type) {
            bucketType.assign(type.data(), type.size());
            auto it = std::find_if(L.rxnRows.begin(), L.rxnRows.end(),
                                   [&bucketType](const auto &b) { return b.bytes == bucketType; });
            if (it == L.rxnRows.end()) {
                L.rxnRows.push_back({bucketType, L.texts.text(q, iType), {}});
                it = L.rxnRows.end() - 1;
            }
            bucket = &it->rows;
        }
        bucket->push_back({q.toInt(iId), q.toInt(iTag), L.texts.text(q, iName),
                           L.texts.text(q, iDate), L.texts.text(q, iRevised),
                           L.texts.text(q, iComment)});
    }
    return true;
}

bool dbdata::read_compositions()
{
    load_tables &L = *load;
    rows q(L.file,
           selectExisting(L.file, "comp_elements",
                          {"name", "type", "element", "element_id", "stoich"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of elemental composition data returned error.",
                      q.errorText());
        return false;
    }
    const int iName = q.column("name"), iType = q.column("type"), iElem = q.column("element"),
              iElemId = q.column("element_id"), iStoich = q.column("stoich");
    L.compByType = iType >= 0;
    struct row
    {
        QString element;
        int element_id;
        double stoich;
    };
    // The rows of one species follow each other: each run is stored at its exact size.
    std::vector<row> run;
    load_tables::comp_key key;
    auto flush = [&] {
        if (run.empty())
            return;
        auto &p = L.comps[key];
        if (!p.rec) {
            p.rec = new one_comp_elements;
            p.rec->element.reserve(qsizetype(run.size()));
            p.rec->element_id.reserve(qsizetype(run.size()));
            p.rec->stoich.reserve(qsizetype(run.size()));
        }
        for (const row &r : run) {
            p.rec->element.append(r.element);
            p.rec->element_id.append(r.element_id);
            p.rec->stoich.append(r.stoich);
        }
        p.rec->ncomp = p.rec->element.size();
        run.clear();
    };
    while (q.next()) {
        const QString name = L.texts.text(q, iName);
        const QString type = L.texts.text(q, iType);
        if (run.empty() || name != key.name || type != key.type) {
            flush();
            key = {name, type};
        }
        run.push_back({L.texts.text(q, iElem), q.toInt(iElemId), q.toDouble(iStoich)});
    }
    flush();
    list_pool<QString> names;
    list_pool<int> ids;
    list_pool<double> coefficients;
    for (auto &p : L.comps) {
        names.share(p.rec->element);
        ids.share(p.rec->element_id);
        coefficients.share(p.rec->stoich);
    }
    return true;
}

bool dbdata::read_stoichiometries()
{
    load_tables &L = *load;
    rows q(L.file, selectExisting(L.file, "rxn_stoich", {"name", "solute", "solute_id", "stoich"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of solute stoichiometric composition data returned error.",
                      q.errorText());
        return false;
    }
    const int iName = q.column("name"), iSolute = q.column("solute"),
              iSoluteId = q.column("solute_id"), iStoich = q.column("stoich");
    struct row
    {
        QString solute;
        int solute_id;
        double stoich;
    };
    std::vector<row> run;
    QString key;
    auto flush = [&] {
        if (run.empty())
            return;
        auto &p = L.stoich[key];
        if (!p.rec) {
            p.rec = new one_comp_solutes;
            p.rec->solute.reserve(qsizetype(run.size()));
            p.rec->solute_id.reserve(qsizetype(run.size()));
            p.rec->stoich.reserve(qsizetype(run.size()));
        }
        for (const row &r : run) {
            p.rec->solute.append(r.solute);
            p.rec->solute_id.append(r.solute_id);
            p.rec->stoich.append(r.stoich);
        }
        p.rec->ncomp = p.rec->solute.size();
        run.clear();
    };
    while (q.next()) {
        const QString name = L.texts.text(q, iName);
        if (run.empty() || name != key) {
            flush();
            key = name;
        }
        run.push_back({L.texts.text(q, iSolute), q.toInt(iSoluteId), q.toDouble(iStoich)});
    }
    flush();
    list_pool<double> coefficients;
    for (auto &p : L.stoich)
        coefficients.share(p.rec->stoich);
    return true;
}

bool dbdata::read_eqk_terms()
{
    load_tables &L = *load;
    rows q(L.file,
           selectExisting(L.file, "eqk",
                          {"name", "id", "tag", "type_eqn", "order_idx", "coeff", "quotient",
                           "eqkLog10", "temperature"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of equilibrium constant data returned error.",
                      q.errorText());
        return false;
    }
    const int iName = q.column("name"), iId = q.column("id"), iTag = q.column("tag"),
              iTypeEqn = q.column("type_eqn"), iOrder = q.column("order_idx"),
              iCoeff = q.column("coeff"), iQuot = q.column("quotient"), iLog = q.column("eqkLog10"),
              iTemp = q.column("temperature");
    struct row
    {
        int order_idx;
        double coeff, quotient, eqkLog10, temperature;
    };
    std::vector<row> run;
    QString key, firstTypeEqn;
    int firstId = 0, firstTag = 0;
    auto flush = [&] {
        if (run.empty())
            return;
        auto &p = L.eqks[key];
        if (!p.rec) {
            // Id, tag and the equation form count from a reaction's first row only.
            p.rec = new one_rxn_eqk;
            p.rec->id = firstId;
            p.rec->tag = firstTag;
            p.rec->type_eqn = gl.eqkType_toEnum(firstTypeEqn);
            const auto n = qsizetype(run.size());
            p.rec->order_idx.reserve(n);
            p.rec->coeff.reserve(n);
            p.rec->quotient.reserve(n);
            p.rec->eqkLog10.reserve(n);
            p.rec->temperature.reserve(n);
        }
        for (const row &r : run) {
            p.rec->order_idx.append(r.order_idx);
            p.rec->coeff.append(r.coeff);
            p.rec->quotient.append(r.quotient);
            p.rec->eqkLog10.append(r.eqkLog10);
            p.rec->temperature.append(r.temperature);
        }
        run.clear();
    };
    while (q.next()) {
        const QString name = L.texts.text(q, iName);
        if (run.empty() || name != key) {
            flush();
            key = name;
            firstId = q.toInt(iId);
            firstTag = q.toInt(iTag);
            firstTypeEqn = L.texts.text(q, iTypeEqn);
        }
        run.push_back({q.toInt(iOrder), q.toDouble(iCoeff), q.toDouble(iQuot), q.toDouble(iLog),
                       q.toDouble(iTemp)});
    }
    flush();
    list_pool<int> orders;
    list_pool<double> quotients, temperatures;
    for (auto &p : L.eqks) {
        sortTerms(p.rec);
        p.rec->nterms = p.rec->coeff.size();
        // Term indexes and grid temperatures repeat from one reaction to the next.
        orders.share(p.rec->order_idx);
        quotients.share(p.rec->quotient);
        temperatures.share(p.rec->temperature);
    }
    return true;
}

one_bdot_properties *dbdata::db_retrieve_bdot_EQ3v1996()
{
    if (!load) {
        logQueryError("DD : #### query of bdot data returned error.", QStringLiteral("no file"));
        return nullptr;
    }
    rows q(load->file,
           selectExisting(load->file, "bdot",
                          {"TC", "DHa", "adh", "DHb", "bdh", "DHbdot", "bdot", "ehLogK"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of bdot data returned error.", q.errorText());
        return nullptr;
    }
    auto *bd = new one_bdot_properties;
    const int iTC = q.column("TC"), iDHa = q.column("DHa"), iAdh = q.column("adh"),
              iDHb = q.column("DHb"), iBdh = q.column("bdh"), iDHbdot = q.column("DHbdot"),
              iBdot = q.column("bdot"), iEh = q.column("ehLogK");
    while (q.next()) {
        bd->TC.append(q.toDouble(iTC));
        bd->DHa.append(q.toDouble(iDHa));
        bd->adh.append(q.toDouble(iAdh));
        bd->DHb.append(q.toDouble(iDHb));
        bd->bdh.append(q.toDouble(iBdh));
        bd->DHbdot.append(q.toDouble(iDHbdot));
        bd->bdot.append(q.toDouble(iBdot));
        bd->ehLogK.append(q.toDouble(iEh));
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
    if (!load) {
        logQueryError("DD : #### query of elements data returned error.",
                      QStringLiteral("no file"));
        return list;
    }
    rows q(load->file,
           selectExisting(load->file, "elements",
                          {"id", "tag", "name", "mol_wt", "basis_id", "basis_name"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of elements data returned error.", q.errorText());
        return list;
    }
    text_pool &texts = load->texts;
    const int iId = q.column("id"), iTag = q.column("tag"), iName = q.column("name"),
              iMw = q.column("mol_wt"), iBasisId = q.column("basis_id"),
              iBasisName = q.column("basis_name");
    while (q.next()) {
        auto *e = sdata->own(new one_element);
        e->id = q.toInt(iId);
        e->tag = q.toInt(iTag);
        e->name = texts.text(q, iName);
        e->mol_wt = q.toDouble(iMw);
        e->basis_id = q.toInt(iBasisId);
        e->basis_name = texts.text(q, iBasisName);
        list.append(e);
    }
    return list;
}

QList<one_solute *> dbdata::db_retrieve_solutes_fmEQ3v1996()
{
    QList<one_solute *> list;
    if (!load) {
        logQueryError("DD : #### query of solutes data returned error.", QStringLiteral("no file"));
        return list;
    }
    rows q(load->file,
           selectExisting(load->file, "solutes",
                          {"id", "tag", "type", "name", "formula", "mol_wt", "DHazero", "charge",
                           "date", "date_revised", "comment"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of solutes data returned error.", q.errorText());
        return list;
    }
    text_pool &texts = load->texts;
    const int iId = q.column("id"), iTag = q.column("tag"), iType = q.column("type"),
              iName = q.column("name"), iFormula = q.column("formula"), iMw = q.column("mol_wt"),
              iAzero = q.column("DHazero"), iCharge = q.column("charge"), iDate = q.column("date"),
              iRevised = q.column("date_revised"), iComment = q.column("comment");
    while (q.next()) {
        auto *s = sdata->own(new one_solute);
        s->id = q.toInt(iId);
        s->tag = q.toInt(iTag);
        s->type = gl.speciesType_toEnum(texts.text(q, iType));
        s->name = texts.text(q, iName);
        s->formula = texts.text(q, iFormula);
        s->mol_wt = q.toDouble(iMw);
        s->DHazero = q.toDouble(iAzero);
        s->charge = q.toInt(iCharge);
        s->date = texts.text(q, iDate);
        s->date_revised = texts.text(q, iRevised);
        s->comment = texts.text(q, iComment);
        s->composition = db_comp_elements_fmEQ3v1996(s->name, s->type);
        list.append(s);
    }
    return list;
}

namespace {

/// Reads the columns shared by the solid, liquid and gas tables.
template<class T>
QList<T *> readSpeciesTable(dbdata *db, sqlite_reader *file, text_pool *texts, const char *table,
                            int type, bool withVolume)
{
    QList<T *> list;
    if (!file) {
        qDebug() << "DD : #### query of" << table << "data returned error.";
        return list;
    }
    rows q(*file,
           selectExisting(*file, table,
                          {"id", "tag", "name", "formula", "mol_wt", "molar_volume", "date",
                           "date_revised", "comment"}));
    if (!q.exec()) {
        qDebug() << "DD : #### query of" << table << "data returned error.";
        qDebug() << "     error message : " << q.errorText();
        return list;
    }
    const int iId = q.column("id"), iTag = q.column("tag"), iName = q.column("name"),
              iFormula = q.column("formula"), iMw = q.column("mol_wt"),
              iVol = q.column("molar_volume"), iDate = q.column("date"),
              iRevised = q.column("date_revised"), iComment = q.column("comment");
    while (q.next()) {
        auto *s = db->sdata->own(new T);
        s->id = q.toInt(iId);
        s->tag = q.toInt(iTag);
        s->name = texts->text(q, iName);
        s->formula = texts->text(q, iFormula);
        s->mol_wt = q.toDouble(iMw);
        if (withVolume)
            s->molar_volume = q.toDouble(iVol);
        s->date = texts->text(q, iDate);
        s->date_revised = texts->text(q, iRevised);
        s->comment = texts->text(q, iComment);
        s->type = type;
        s->composition = db->db_comp_elements_fmEQ3v1996(s->name, type);
        list.append(s);
    }
    return list;
}

} // namespace

QList<one_solid *> dbdata::db_retrieve_solids_fmEQ3v1996()
{
    return readSpeciesTable<one_solid>(this, load ? &load->file : nullptr,
                                       load ? &load->texts : nullptr, "solids", global::solid,
                                       true);
}

QList<one_liquid *> dbdata::db_retrieve_liquids_fmEQ3v1996()
{
    return readSpeciesTable<one_liquid>(this, load ? &load->file : nullptr,
                                        load ? &load->texts : nullptr, "liquids", global::liquid,
                                        true);
}

QList<one_gas *> dbdata::db_retrieve_gases_fmEQ3v1996()
{
    return readSpeciesTable<one_gas>(this, load ? &load->file : nullptr,
                                     load ? &load->texts : nullptr, "gases", global::gas, false);
}

one_comp_elements *dbdata::db_comp_elements_fmEQ3v1996(const QString &name, int type)
{
    if (!load)
        return new one_comp_elements;
    // The same name may stand for two species (the O2(g) solute and the O2(g)
    // gas), so a composition is selected by name and species type.
    // A file without the type column can only be matched by name.
    const QString typeKey = load->compByType ? gl.speciesType_toString(type) : QString();
    return load_tables::take(load->comps, load_tables::comp_key {name, typeKey});
}

one_comp_solutes *dbdata::db_comp_solutes_fmEQ3v1996(const QString &name)
{
    return load ? load_tables::take(load->stoich, name) : new one_comp_solutes;
}

one_rxn_eqk *dbdata::db_rxn_eqk_fmEQ3v1996(const QString &name)
{
    return load ? load_tables::take(load->eqks, name) : new one_rxn_eqk;
}

QList<one_rxn *> dbdata::db_retrieve_rxns_fmEQ3v1996(int type)
{
    QList<one_rxn *> list;
    const QString typeText = gl.speciesType_toString(type);
    if (!load) {
        qDebug() << "DD : #### query of reactions [ " << typeText << " ] data returned error.";
        return list;
    }
    if (!load->rxnRowsRead) {
        qDebug() << "DD : #### query of reactions [ " << typeText << " ] data returned error.";
        qDebug() << "     error message : " << load->rxnError;
        return list;
    }
    QStringList withoutTerms;
    const load_tables::rxn_type *read = nullptr;
    const std::string typeBytes = typeText.toStdString();
    for (const auto &b : load->rxnRows)
        if (b.bytes == typeBytes)
            read = &b;

    for (size_t k = 0; read && k < read->rows.size(); ++k) {
        const load_tables::rxn_row &row = read->rows[k];
        const QString &name = row.name;
        one_rxn_eqk *eqk = db_rxn_eqk_fmEQ3v1996(name);
        if (eqk->nterms == 0) {
            // The evaluator needs at least one term; such a reaction cannot be used.
            delete eqk;
            withoutTerms << name;
            continue;
        }
        auto *rxn = sdata->own(new one_rxn);
        rxn->eqk = eqk;
        rxn->id = row.id;
        rxn->tag = row.tag;
        rxn->type = gl.speciesType_toEnum(read->text);
        rxn->name = name;
        rxn->typeRequested = type;
        rxn->date = row.date;
        rxn->date_revised = row.date_revised;
        rxn->comment = row.comment;

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
        load->rxnElements.share(rxn->elements);
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
    // While loading, the few distinct coefficients are formatted once each.
    QHash<double, QString> *known = load ? &load->coefficients : nullptr;
    auto number = [known](double c) {
        if (!known)
            return QString::number(c, 'g', 6);
        auto it = known->constFind(c);
        if (it == known->constEnd())
            it = known->insert(c, QString::number(c, 'g', 6));
        return *it;
    };
    auto side = [comp, &number](bool left, QString &text) {
        const int n = comp ? std::min(comp->solute.size(), comp->stoich.size()) : 0;
        bool first = true;
        for (int i = 0; i < n; ++i) {
            const double c = comp->stoich[i];
            if (left ? !(c < 0.0) : !(c > 0.0))
                continue;
            if (!first)
                text += QLatin1String(" + ");
            first = false;
            if (std::abs(c) != 1.0) {
                text += number(std::abs(c));
                text += QLatin1Char(' ');
            }
            text += comp->solute[i];
        }
    };
    QString text;
    text.reserve(64);
    side(true, text);
    text += QLatin1String(" = ");
    side(false, text);
    text.squeeze();
    return text;
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
        } else if ((i = solid_index(name)) >= 0) {
            // The solid of a solid reaction is a species of that reaction too.
            c = sdata->solids[i]->composition;
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
    if (!load) {
        logQueryError("DD : #### query of thermodynamic data returned error.",
                      QStringLiteral("no file"));
        return;
    }
    rows q(load->file,
           selectExisting(load->file, "thermodata",
                          {"id", "tag", "type", "name", "id_species", "gibbsFm", "unitGFm",
                           "enthalpyFm", "unitHFm", "entropyFm", "unitSFm", "date", "date_revised",
                           "comment"}));
    if (!q.exec()) {
        logQueryError("DD : #### query of thermodynamic data returned error.", q.errorText());
        return;
    }
    text_pool &texts = load->texts;
    const int iId = q.column("id"), iTag = q.column("tag"), iType = q.column("type"),
              iName = q.column("name"), iIdSpecies = q.column("id_species"),
              iGibbs = q.column("gibbsFm"), iUnitG = q.column("unitGFm"),
              iEnthalpy = q.column("enthalpyFm"), iUnitH = q.column("unitHFm"),
              iEntropy = q.column("entropyFm"), iUnitS = q.column("unitSFm"),
              iDate = q.column("date"), iRevised = q.column("date_revised"),
              iComment = q.column("comment");
    while (q.next()) {
        auto *t = sdata->own(new one_thermodata);
        t->id = q.toInt(iId);
        t->tag = q.toInt(iTag);
        t->type = gl.speciesType_toEnum(texts.text(q, iType));
        t->name = texts.text(q, iName);
        t->id_species = q.toInt(iIdSpecies);
        t->gibbsFm = q.toDouble(iGibbs);
        t->unitGFm = texts.text(q, iUnitG);
        t->enthalpyFm = q.toDouble(iEnthalpy);
        t->unitHFm = texts.text(q, iUnitH);
        t->entropyFm = q.toDouble(iEntropy);
        t->unitSFm = texts.text(q, iUnitS);
        t->date = texts.text(q, iDate);
        t->date_revised = texts.text(q, iRevised);
        t->comment = texts.text(q, iComment);

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
