// Sections "reactions" (aqueous and gas reactions with their equilibrium constants)
// and "redox" (the chosen redox pairs and redox gases, stored by name).

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>

using namespace jsdb_codec;

namespace {

jnode write_comp_solutes(const one_comp_solutes *comp, const QString &owner)
{
    jnode entries = jnode::make_array();
    if (!comp)
        return entries;
    const qsizetype n
        = std::min({comp->stoich.size(), comp->solute.size(), comp->solute_id.size()});
    if (n != comp->stoich.size() || n != comp->solute.size() || n != comp->solute_id.size())
        qDebug() << "JW ##### species lists of reaction" << owner << "differ in length; writing"
                 << n << "entries";
    entries.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        jnode entry = jnode::make_object(3);
        entry.insert(QStringLiteral("idx"), num(comp->solute_id.at(i)));
        entry.insert(QStringLiteral("name"), comp->solute.at(i));
        entry.insert(QStringLiteral("stoich"), num(comp->stoich.at(i)));
        entries.append(std::move(entry));
    }
    return entries;
}

// The coefficients carry 17 significant digits: they are the terms of a polynomial
// in temperature whose high powers amplify any rounding.
jnode write_eqk(const one_rxn_eqk *eqk, const QString &owner, const global &gb)
{
    jnode o = jnode::make_object(4);
    jnode terms = jnode::make_array();
    if (eqk) {
        const qsizetype n
            = std::min({eqk->order_idx.size(), eqk->coeff.size(), eqk->quotient.size(),
                        eqk->eqkLog10.size(), eqk->temperature.size()});
        if (n != eqk->coeff.size() || n != eqk->order_idx.size() || n != eqk->quotient.size()
            || n != eqk->eqkLog10.size() || n != eqk->temperature.size())
            qDebug() << "JW ##### equilibrium-constant lists of reaction" << owner
                     << "differ in length; writing" << n << "terms";
        terms.reserve(n);
        for (qsizetype i = 0; i < n; ++i) {
            // Members in key order, so each lands at the end.
            jnode term = jnode::make_object(5);
            term.insert(QStringLiteral("coeff"), num(eqk->coeff.at(i), digitsCoeff));
            term.insert(QStringLiteral("eqkL10"), num(eqk->eqkLog10.at(i)));
            term.insert(QStringLiteral("eqkTC"), num(eqk->temperature.at(i)));
            term.insert(QStringLiteral("order"), num(eqk->order_idx.at(i)));
            term.insert(QStringLiteral("quotient"), num(eqk->quotient.at(i)));
            terms.append(std::move(term));
        }
    } else {
        qDebug() << "JW ##### reaction" << owner << "has no equilibrium constant; writing none";
    }
    o.insert(QStringLiteral("tag"), num(eqk ? eqk->tag : 0));
    o.insert(QStringLiteral("eqntype"), gb.eqkType_toString(eqk ? eqk->type_eqn : 0));
    o.insert(QStringLiteral("nterms"), num(int(terms.elements().size())));
    o.insert(QStringLiteral("equation"), std::move(terms));
    return o;
}

} // namespace

jnode jsdbfile_mgr::write_rxns(sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    jnode types = jnode::make_object();
    types.insert(QStringLiteral("aqueous"), num(int(sd->rxnsAqueous.size())));
    types.insert(QStringLiteral("solid"), num(int(sd->rxnsSolid.size())));
    types.insert(QStringLiteral("aux"), num(int(sd->rxnsNonOrganic.size())));
    types.insert(QStringLiteral("gas"), num(int(sd->rxnsGas.size())));

    jnode section = jnode::make_object();
    section.insert(QStringLiteral("types"), std::move(types));
    section.insert(QStringLiteral("aqueous"), write_rxnstype(sd->rxnsAqueous));
    section.insert(QStringLiteral("gas"), write_rxnstype(sd->rxnsGas));
    return section;
}

jnode jsdbfile_mgr::write_rxnstype(const QList<one_rxn *> &rxns)
{
    QStringList names;
    std::vector<jnode> objects;
    for (const one_rxn *rxn : std::as_const(rxns)) {
        if (!rxn)
            continue;
        jnode o = jnode::make_object(7);
        o.insert(QStringLiteral("name"), rxn->name);
        o.insert(QStringLiteral("formula"), rxn->formula);
        o.insert(QStringLiteral("expression"), rxn->expression);
        o.insert(QStringLiteral("type"), gb.speciesType_toString(rxn->type));
        o.insert(QStringLiteral("tag"), num(rxn->tag));
        o.insert(QStringLiteral("composition"), write_comp_solutes(rxn->composition, rxn->name));
        o.insert(QStringLiteral("eqk"), write_eqk(rxn->eqk, rxn->name, gb));
        names << rxn->name;
        objects.push_back(std::move(o));
    }
    return collection(QStringLiteral("nrxns"), QStringLiteral("allrxns"), names, std::move(objects),
                      "reactions");
}

int jsdbfile_mgr::read_rxns(const jvalue &top)
{
    const jvalue section = top.value("reactions");
    if (section.empty_object())
        return return_codes::missingReactions;

    // The per-kind counts under "types" are informative only.
    sdata->rxnsAqueous = read_rxnstype(section.value("aqueous"));
    sdata->nrxnsAqueous = int(sdata->rxnsAqueous.size());
    sdata->rxnsGas = read_rxnstype(section.value("gas"));
    sdata->nrxnsGas = int(sdata->rxnsGas.size());
    return 0;
}

QList<one_rxn *> jsdbfile_mgr::read_rxnstype(const jvalue &rxnset)
{
    QList<one_rxn *> rxns;
    const jvalue keyed = rxnset.value("allrxns");
    rxns.reserve(keyed.member_count());
    for (const jvalue o : keyed.members()) {
        auto *rxn = sdata->own(new one_rxn);
        rxn->name = text(o, "name");
        rxn->formula = text(o, "formula");
        rxn->expression = text(o, "expression");
        rxn->type = gb.speciesType_toEnum(text(o, "type"));
        rxn->tag = integer(o, "tag");

        auto *comp = rxn->composition = new one_comp_solutes;
        const jrange species = o.value("composition").elements();
        comp->stoich.reserve(species.size());
        comp->solute.reserve(species.size());
        comp->solute_id.reserve(species.size());
        for (const jvalue entry : species) {
            comp->stoich.append(real(entry, "stoich"));
            comp->solute.append(text(entry, "name"));
            comp->solute_id.append(integer(entry, "idx"));
        }
        comp->ncomp = int(species.size());

        auto *k = rxn->eqk = new one_rxn_eqk;
        const jvalue eqk = o.value("eqk");
        k->tag = integer(eqk, "tag");
        k->type_eqn = gb.eqkType_toEnum(text(eqk, "eqntype"));
        const jrange terms = eqk.value("equation").elements();
        k->order_idx.reserve(terms.size());
        k->coeff.reserve(terms.size());
        k->quotient.reserve(terms.size());
        k->eqkLog10.reserve(terms.size());
        k->temperature.reserve(terms.size());
        for (const jvalue term : terms) {
            k->order_idx.append(integer(term, "order"));
            k->coeff.append(real(term, "coeff"));
            k->quotient.append(real(term, "quotient"));
            k->eqkLog10.append(real(term, "eqkL10"));
            k->temperature.append(real(term, "eqkTC"));
        }
        k->nterms = int(terms.size());
        rxns.append(rxn);
    }
    return rxns;
}

// ---- redox ----------------------------------------------------------------------------

namespace {

// Names come through the linked records when the setup workspace has linked them,
// and from the record's own names otherwise (a configuration just read, say).
jnode write_redox_entry(const one_redoxRxn *r, const QString &nameKey, const QString &rxnKey)
{
    jnode o = jnode::make_object(3);
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
    o.insert(QStringLiteral("solutes"), jnode::make_strings(solutes));
    return o;
}

} // namespace

jnode jsdbfile_mgr::write_redox(sbatch *batch)
{
    jnode pairs = jnode::make_array();
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxpairs))
        if (r)
            pairs.append(
                write_redox_entry(r, QStringLiteral("element"), QStringLiteral("redoxpair")));
    jnode gases = jnode::make_array();
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxgases))
        if (r)
            gases.append(write_redox_entry(r, QStringLiteral("gas"), QStringLiteral("redoxrxn")));

    jnode section = jnode::make_object();
    section.insert(QStringLiteral("redoxpairs"), std::move(pairs));
    section.insert(QStringLiteral("redoxgases"), std::move(gases));
    return section;
}

int jsdbfile_mgr::read_redox(const jvalue &top)
{
    sdata->redoxpairs.clear();
    sdata->redoxgases.clear();

    const jvalue section = top.value("redox");
    if (section.empty_object()) {
        if (sdata->ctrlset && sdata->ctrlset->redox)
            qDebug() << "JR: no redox data found in .jsdb file.";
        return 0;
    }

    auto read_entries = [this](const jrange &entries, std::string_view nameKey,
                               std::string_view rxnKey, QList<one_redoxRxn *> &into) {
        into.reserve(entries.size());
        for (const jvalue o : entries) {
            auto *r = sdata->own(new one_redoxRxn);
            r->element = text(o, nameKey);
            r->redoxpair = text(o, rxnKey);
            const jrange solutes = o.value("solutes").elements();
            r->solutes.reserve(solutes.size());
            for (const jvalue s : solutes)
                r->solutes.append(s.to_string());
            into.append(r);
        }
    };
    read_entries(section.value("redoxpairs").elements(), "element", "redoxpair", sdata->redoxpairs);
    read_entries(section.value("redoxgases").elements(), "gas", "redoxrxn", sdata->redoxgases);
    return 0;
}
