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

int jsdbfile_mgr::read_rxns(const jnode &top)
{
    const jnode &section = top.value(QStringLiteral("reactions"));
    if (section.empty_object())
        return return_codes::missingReactions;

    // The per-kind counts under "types" are informative only.
    sdata->rxnsAqueous = read_rxnstype(section.value(QStringLiteral("aqueous")));
    sdata->nrxnsAqueous = int(sdata->rxnsAqueous.size());
    sdata->rxnsGas = read_rxnstype(section.value(QStringLiteral("gas")));
    sdata->nrxnsGas = int(sdata->rxnsGas.size());
    return 0;
}

QList<one_rxn *> jsdbfile_mgr::read_rxnstype(const jnode &rxnset)
{
    QList<one_rxn *> rxns;
    const jnode &keyed = rxnset.value(QStringLiteral("allrxns"));
    for (qsizetype i = 0; i < keyed.member_count(); ++i) {
        const jnode &o = keyed.member(i);
        auto *rxn = sdata->own(new one_rxn);
        rxn->name = text(o, QStringLiteral("name"));
        rxn->formula = text(o, QStringLiteral("formula"));
        rxn->expression = text(o, QStringLiteral("expression"));
        rxn->type = gb.speciesType_toEnum(text(o, QStringLiteral("type")));
        rxn->tag = integer(o, QStringLiteral("tag"));

        rxn->composition = new one_comp_solutes;
        const std::vector<jnode> &species = o.value(QStringLiteral("composition")).elements();
        for (const jnode &value : species) {
            const jnode &entry = value;
            rxn->composition->stoich.append(real(entry, QStringLiteral("stoich")));
            rxn->composition->solute.append(text(entry, QStringLiteral("name")));
            rxn->composition->solute_id.append(integer(entry, QStringLiteral("idx")));
        }
        rxn->composition->ncomp = int(species.size());

        rxn->eqk = new one_rxn_eqk;
        const jnode &eqk = o.value(QStringLiteral("eqk"));
        rxn->eqk->tag = integer(eqk, QStringLiteral("tag"));
        rxn->eqk->type_eqn = gb.eqkType_toEnum(text(eqk, QStringLiteral("eqntype")));
        const std::vector<jnode> &terms = eqk.value(QStringLiteral("equation")).elements();
        for (const jnode &value : terms) {
            const jnode &term = value;
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

int jsdbfile_mgr::read_redox(const jnode &top)
{
    sdata->redoxpairs.clear();
    sdata->redoxgases.clear();

    const jnode &section = top.value(QStringLiteral("redox"));
    if (section.empty_object()) {
        if (sdata->ctrlset && sdata->ctrlset->redox)
            qDebug() << "JR: no redox data found in .jsdb file.";
        return 0;
    }

    auto read_entries = [this](const std::vector<jnode> &entries, const QString &nameKey,
                               const QString &rxnKey, QList<one_redoxRxn *> &into) {
        for (const jnode &value : entries) {
            const jnode &o = value;
            auto *r = sdata->own(new one_redoxRxn);
            r->element = text(o, nameKey);
            r->redoxpair = text(o, rxnKey);
            for (const jnode &s : o.value(QStringLiteral("solutes")).elements())
                r->solutes.append(s.to_string());
            into.append(r);
        }
    };
    read_entries(section.value(QStringLiteral("redoxpairs")).elements(), QStringLiteral("element"),
                 QStringLiteral("redoxpair"), sdata->redoxpairs);
    read_entries(section.value(QStringLiteral("redoxgases")).elements(), QStringLiteral("gas"),
                 QStringLiteral("redoxrxn"), sdata->redoxgases);
    return 0;
}
