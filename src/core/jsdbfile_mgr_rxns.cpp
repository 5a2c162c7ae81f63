// Sections "reactions" (aqueous and gas reactions with their equilibrium constants)
// and "redox" (the chosen redox pairs and redox gases, stored by name).

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>

using namespace jsdb_codec;

namespace {

QJsonArray write_comp_solutes(const one_comp_solutes *comp, const QString &owner)
{
    QJsonArray entries;
    if (!comp)
        return entries;
    const qsizetype n
        = std::min({comp->stoich.size(), comp->solute.size(), comp->solute_id.size()});
    if (n != comp->stoich.size() || n != comp->solute.size() || n != comp->solute_id.size())
        qDebug() << "JW ##### species lists of reaction" << owner << "differ in length; writing"
                 << n << "entries";
    for (qsizetype i = 0; i < n; ++i) {
        QJsonObject entry;
        entry.insert(QStringLiteral("idx"), num(comp->solute_id.at(i)));
        entry.insert(QStringLiteral("name"), comp->solute.at(i));
        entry.insert(QStringLiteral("stoich"), num(comp->stoich.at(i)));
        entries.append(entry);
    }
    return entries;
}

// The coefficients carry 17 significant digits: they are the terms of a polynomial
// in temperature whose high powers amplify any rounding.
QJsonObject write_eqk(const one_rxn_eqk *eqk, const QString &owner, const global &gb)
{
    QJsonObject o;
    QJsonArray terms;
    if (eqk) {
        const qsizetype n
            = std::min({eqk->order_idx.size(), eqk->coeff.size(), eqk->quotient.size(),
                        eqk->eqkLog10.size(), eqk->temperature.size()});
        if (n != eqk->coeff.size() || n != eqk->order_idx.size() || n != eqk->quotient.size()
            || n != eqk->eqkLog10.size() || n != eqk->temperature.size())
            qDebug() << "JW ##### equilibrium-constant lists of reaction" << owner
                     << "differ in length; writing" << n << "terms";
        for (qsizetype i = 0; i < n; ++i) {
            QJsonObject term;
            term.insert(QStringLiteral("order"), num(eqk->order_idx.at(i)));
            term.insert(QStringLiteral("coeff"), num(eqk->coeff.at(i), digitsCoeff));
            term.insert(QStringLiteral("quotient"), num(eqk->quotient.at(i)));
            term.insert(QStringLiteral("eqkL10"), num(eqk->eqkLog10.at(i)));
            term.insert(QStringLiteral("eqkTC"), num(eqk->temperature.at(i)));
            terms.append(term);
        }
    } else {
        qDebug() << "JW ##### reaction" << owner << "has no equilibrium constant; writing none";
    }
    o.insert(QStringLiteral("tag"), num(eqk ? eqk->tag : 0));
    o.insert(QStringLiteral("eqntype"), gb.eqkType_toString(eqk ? eqk->type_eqn : 0));
    o.insert(QStringLiteral("nterms"), num(int(terms.size())));
    o.insert(QStringLiteral("equation"), terms);
    return o;
}

} // namespace

QJsonObject jsdbfile_mgr::json_write_rxns(sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    QJsonObject types;
    types.insert(QStringLiteral("aqueous"), num(int(sd->rxnsAqueous.size())));
    types.insert(QStringLiteral("solid"), num(int(sd->rxnsSolid.size())));
    types.insert(QStringLiteral("aux"), num(int(sd->rxnsNonOrganic.size())));
    types.insert(QStringLiteral("gas"), num(int(sd->rxnsGas.size())));

    QJsonObject section;
    section.insert(QStringLiteral("types"), types);
    section.insert(QStringLiteral("aqueous"), json_write_rxnstype(sd->rxnsAqueous));
    section.insert(QStringLiteral("gas"), json_write_rxnstype(sd->rxnsGas));
    return section;
}

QJsonObject jsdbfile_mgr::json_write_rxnstype(QList<one_rxn *> rxns)
{
    QStringList names;
    QList<QJsonObject> objects;
    for (const one_rxn *rxn : std::as_const(rxns)) {
        if (!rxn)
            continue;
        QJsonObject o;
        o.insert(QStringLiteral("name"), rxn->name);
        o.insert(QStringLiteral("formula"), rxn->formula);
        o.insert(QStringLiteral("expression"), rxn->expression);
        o.insert(QStringLiteral("type"), gb.speciesType_toString(rxn->type));
        o.insert(QStringLiteral("tag"), num(rxn->tag));
        o.insert(QStringLiteral("composition"), write_comp_solutes(rxn->composition, rxn->name));
        o.insert(QStringLiteral("eqk"), write_eqk(rxn->eqk, rxn->name, gb));
        names << rxn->name;
        objects << o;
    }
    return collection(QStringLiteral("nrxns"), QStringLiteral("allrxns"), names, objects,
                      "reactions");
}

int jsdbfile_mgr::json_read_rxns(QJsonObject top)
{
    const QJsonObject section = top.value(QStringLiteral("reactions")).toObject();
    if (section.isEmpty())
        return return_codes::missingReactions;

    // The per-kind counts under "types" are informative only.
    sdata->rxnsAqueous = json_read_rxnstype(section.value(QStringLiteral("aqueous")).toObject());
    sdata->nrxnsAqueous = int(sdata->rxnsAqueous.size());
    sdata->rxnsGas = json_read_rxnstype(section.value(QStringLiteral("gas")).toObject());
    sdata->nrxnsGas = int(sdata->rxnsGas.size());
    return 0;
}

QList<one_rxn *> jsdbfile_mgr::json_read_rxnstype(QJsonObject rxnset)
{
    QList<one_rxn *> rxns;
    const QJsonObject keyed = rxnset.value(QStringLiteral("allrxns")).toObject();
    for (auto it = keyed.constBegin(); it != keyed.constEnd(); ++it) {
        const QJsonObject o = it.value().toObject();
        auto *rxn = sdata->own(new one_rxn);
        rxn->name = text(o, QStringLiteral("name"));
        rxn->formula = text(o, QStringLiteral("formula"));
        rxn->expression = text(o, QStringLiteral("expression"));
        rxn->type = gb.speciesType_toEnum(text(o, QStringLiteral("type")));
        rxn->tag = integer(o, QStringLiteral("tag"));

        rxn->composition = new one_comp_solutes;
        const QJsonArray species = o.value(QStringLiteral("composition")).toArray();
        for (const QJsonValue &value : species) {
            const QJsonObject entry = value.toObject();
            rxn->composition->stoich.append(real(entry, QStringLiteral("stoich")));
            rxn->composition->solute.append(text(entry, QStringLiteral("name")));
            rxn->composition->solute_id.append(integer(entry, QStringLiteral("idx")));
        }
        rxn->composition->ncomp = int(species.size());

        rxn->eqk = new one_rxn_eqk;
        const QJsonObject eqk = o.value(QStringLiteral("eqk")).toObject();
        rxn->eqk->tag = integer(eqk, QStringLiteral("tag"));
        rxn->eqk->type_eqn = gb.eqkType_toEnum(text(eqk, QStringLiteral("eqntype")));
        const QJsonArray terms = eqk.value(QStringLiteral("equation")).toArray();
        for (const QJsonValue &value : terms) {
            const QJsonObject term = value.toObject();
            rxn->eqk->order_idx.append(integer(term, QStringLiteral("order")));
            rxn->eqk->coeff.append(real(term, QStringLiteral("coeff")));
            rxn->eqk->quotient.append(real(term, QStringLiteral("quotient")));
            rxn->eqk->eqkLog10.append(real(term, QStringLiteral("eqkL10")));
            rxn->eqk->temperature.append(real(term, QStringLiteral("eqkTC")));
        }
        rxn->eqk->nterms = int(terms.size());
        rxns.append(rxn);
    }
    return rxns;
}

// ---- redox ----------------------------------------------------------------------------

namespace {

// Names come through the linked records when the setup workspace has linked them,
// and from the record's own names otherwise (a configuration just read, say).
QJsonObject write_redox_entry(const one_redoxRxn *r, const QString &nameKey, const QString &rxnKey)
{
    QJsonObject o;
    const QString linked = r->recName();
    o.insert(nameKey, linked.isEmpty() ? r->element : linked);
    o.insert(rxnKey, r->rxn ? r->rxn->name : r->redoxpair);
    QStringList solutes;
    if (!r->soluteRecs.isEmpty()) {
        for (qsizetype i = 0; i < r->soluteRecs.size(); ++i) {
            if (r->soluteRecs.at(i))
                solutes << r->soluteRecs.at(i)->name;
            else if (i < r->solutes.size())
                solutes << r->solutes.at(i);
        }
    } else {
        solutes = r->solutes;
    }
    o.insert(QStringLiteral("solutes"), QJsonArray::fromStringList(solutes));
    return o;
}

} // namespace

QJsonObject jsdbfile_mgr::json_write_redox(sbatch *batch)
{
    QJsonArray pairs;
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxpairs))
        if (r)
            pairs.append(
                write_redox_entry(r, QStringLiteral("element"), QStringLiteral("redoxpair")));
    QJsonArray gases;
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxgases))
        if (r)
            gases.append(write_redox_entry(r, QStringLiteral("gas"), QStringLiteral("redoxrxn")));

    QJsonObject section;
    section.insert(QStringLiteral("redoxpairs"), pairs);
    section.insert(QStringLiteral("redoxgases"), gases);
    return section;
}

int jsdbfile_mgr::json_read_redox(QJsonObject top)
{
    sdata->redoxpairs.clear();
    sdata->redoxgases.clear();

    const QJsonObject section = top.value(QStringLiteral("redox")).toObject();
    if (section.isEmpty()) {
        if (sdata->ctrlset && sdata->ctrlset->redox)
            qDebug() << "JR: no redox data found in .jsdb file.";
        return 0;
    }

    auto read_entries = [this](const QJsonArray &entries, const QString &nameKey,
                               const QString &rxnKey, QList<one_redoxRxn *> &into) {
        for (const QJsonValue &value : entries) {
            const QJsonObject o = value.toObject();
            auto *r = sdata->own(new one_redoxRxn);
            r->element = text(o, nameKey);
            r->redoxpair = text(o, rxnKey);
            for (const QJsonValue &s : o.value(QStringLiteral("solutes")).toArray())
                r->solutes.append(s.toString());
            into.append(r);
        }
    };
    read_entries(section.value(QStringLiteral("redoxpairs")).toArray(), QStringLiteral("element"),
                 QStringLiteral("redoxpair"), sdata->redoxpairs);
    read_entries(section.value(QStringLiteral("redoxgases")).toArray(), QStringLiteral("gas"),
                 QStringLiteral("redoxrxn"), sdata->redoxgases);
    return 0;
}
