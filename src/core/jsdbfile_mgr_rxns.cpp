// Sections "reactions" (aqueous and gas reactions with their equilibrium constants)
// and "redox" (the chosen redox pairs and redox gases, stored by name).

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>

using namespace jsdb_codec;

namespace {

void write_comp_solutes(jsdb_writer &w, const one_comp_solutes *comp, const QString &owner)
{
    w.begin_array();
    const qsizetype n
        = comp ? std::min({comp->stoich.size(), comp->solute.size(), comp->solute_id.size()}) : 0;
    if (comp
        && (n != comp->stoich.size() || n != comp->solute.size() || n != comp->solute_id.size()))
        qDebug() << "JW ##### species lists of reaction" << owner << "differ in length; writing"
                 << n << "entries";
    for (qsizetype i = 0; i < n; ++i) {
        w.begin_object();
        w.num("idx", comp->solute_id.at(i));
        w.text("name", comp->solute.at(i));
        w.num("stoich", comp->stoich.at(i));
        w.end_object();
    }
    w.end_array();
}

// The coefficients carry 17 significant digits: they are the terms of a polynomial
// in temperature whose high powers amplify any rounding.
void write_eqk(jsdb_writer &w, const one_rxn_eqk *eqk, const QString &owner, const global &gb)
{
    qsizetype n = 0;
    if (eqk) {
        n = std::min({eqk->order_idx.size(), eqk->coeff.size(), eqk->quotient.size(),
                      eqk->eqkLog10.size(), eqk->temperature.size()});
        if (n != eqk->coeff.size() || n != eqk->order_idx.size() || n != eqk->quotient.size()
            || n != eqk->eqkLog10.size() || n != eqk->temperature.size())
            qDebug() << "JW ##### equilibrium-constant lists of reaction" << owner
                     << "differ in length; writing" << n << "terms";
    } else {
        qDebug() << "JW ##### reaction" << owner << "has no equilibrium constant; writing none";
    }

    w.begin_object();
    w.text("eqntype", gb.eqkType_toString(eqk ? eqk->type_eqn : 0));
    w.key("equation");
    w.begin_array();
    for (qsizetype i = 0; i < n; ++i) {
        w.begin_object();
        w.num("coeff", eqk->coeff.at(i), digitsCoeff);
        w.num("eqkL10", eqk->eqkLog10.at(i));
        w.num("eqkTC", eqk->temperature.at(i));
        w.num("order", eqk->order_idx.at(i));
        w.num("quotient", eqk->quotient.at(i));
        w.end_object();
    }
    w.end_array();
    w.num("nterms", int(n));
    w.num("tag", eqk ? eqk->tag : 0);
    w.end_object();
}

} // namespace

void jsdbfile_mgr::write_rxns(jsdb_writer &w, sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    w.begin_object();
    w.key("aqueous");
    write_rxnstype(w, sd->rxnsAqueous);
    w.key("gas");
    write_rxnstype(w, sd->rxnsGas);
    w.key("types");
    w.begin_object();
    w.num("aqueous", int(sd->rxnsAqueous.size()));
    w.num("aux", int(sd->rxnsNonOrganic.size()));
    w.num("gas", int(sd->rxnsGas.size()));
    w.num("solid", int(sd->rxnsSolid.size()));
    w.end_object();
    w.end_object();
}

void jsdbfile_mgr::write_rxnstype(jsdb_writer &w, const QList<one_rxn *> &rxns)
{
    const QList<const one_rxn *> records = present(rxns);
    collection(
        w, QStringLiteral("nrxns"), QStringLiteral("allrxns"), names_of(records),
        [&](qsizetype i) {
            const one_rxn *rxn = records.at(i);
            w.begin_object();
            w.key("composition");
            write_comp_solutes(w, rxn->composition, rxn->name);
            w.key("eqk");
            write_eqk(w, rxn->eqk, rxn->name, gb);
            w.text("expression", rxn->expression);
            w.text("formula", rxn->formula);
            w.text("name", rxn->name);
            w.num("tag", rxn->tag);
            w.text("type", gb.speciesType_toString(rxn->type));
            w.end_object();
        },
        "reactions");
}

int jsdbfile_mgr::read_rxns(const jvalue &top)
{
    const jvalue section = top.value("reactions");
    if (section.empty_object())
        return return_codes::missingReactions;

    // The per-kind counts under "types" are informative only.
    sdata->rxnsAqueous = read_rxnstype(section.value("aqueous"), "aqueous reaction");
    sdata->nrxnsAqueous = int(sdata->rxnsAqueous.size());
    sdata->rxnsGas = read_rxnstype(section.value("gas"), "gas reaction");
    sdata->nrxnsGas = int(sdata->rxnsGas.size());
    return 0;
}

QList<one_rxn *> jsdbfile_mgr::read_rxnstype(const jvalue &rxnset, const char *where)
{
    QList<one_rxn *> rxns;
    value_notes notes;
    const jrange keyed = notes.records(rxnset, "allrxns", "no reaction was read");
    notes.report(notes_read, (QByteArray(where) + 's').constData());
    rxns.reserve(keyed.size());
    for (const jvalue o : keyed) {
        auto *rxn = sdata->own(new one_rxn);
        notes.text(rxn->name, o, "name", unnamed);
        notes.text(rxn->formula, o, "formula");
        notes.text(rxn->expression, o, "expression");
        rxn->type = gb.speciesType_toEnum(notes.text(o, "type", unknown_type));
        notes.integer(rxn->tag, o, "tag");

        auto *comp = rxn->composition = new one_comp_solutes;
        const jrange species = notes.list(o, "composition");
        comp->stoich.reserve(species.size());
        comp->solute.reserve(species.size());
        comp->solute_id.reserve(species.size());
        for (const jvalue entry : species) {
            QString name;
            notes.within("composition", comp->solute.size() + 1, &name);
            notes.text(name, entry, "name", unnamed);
            comp->stoich.append(notes.real(entry, "stoich"));
            comp->solute.append(name);
            comp->solute_id.append(notes.integer(entry, "idx"));
        }
        comp->ncomp = int(species.size());

        auto *k = rxn->eqk = new one_rxn_eqk;
        const jvalue eqk = o.value("eqk");
        notes.within("eqk");
        notes.integer(k->tag, eqk, "tag");
        k->type_eqn = gb.eqkType_toEnum(
            notes.text_or(eqk, "eqntype", [this, k] { return gb.eqkType_toString(k->type_eqn); }));
        const jrange terms = notes.list(eqk, "equation");
        k->order_idx.reserve(terms.size());
        k->coeff.reserve(terms.size());
        k->quotient.reserve(terms.size());
        k->eqkLog10.reserve(terms.size());
        k->temperature.reserve(terms.size());
        for (const jvalue term : terms) {
            notes.within("equation", k->coeff.size() + 1);
            k->order_idx.append(notes.integer(term, "order"));
            k->coeff.append(notes.real(term, "coeff"));
            k->quotient.append(notes.real(term, "quotient"));
            k->eqkLog10.append(notes.real(term, "eqkL10"));
            k->temperature.append(notes.real(term, "eqkTC"));
        }
        k->nterms = int(terms.size());
        notes.report(notes_read, where, &rxn->name);
        rxns.append(rxn);
    }
    return rxns;
}

// ---- redox ----------------------------------------------------------------------------

namespace {

// Names come through the linked records when the setup workspace has linked them,
// and from the record's own names otherwise (a configuration just read, say).
void write_redox_entry(jsdb_writer &w, const one_redoxRxn *r, const QString &nameKey,
                       const QString &rxnKey)
{
    const QString linked = r->recName();
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
    // Keys in order: "element" or "gas", then "redoxpair" or "redoxrxn", "solutes".
    w.begin_object();
    w.text(nameKey, linked.isEmpty() ? r->element : linked);
    w.text(rxnKey, r->rxn ? r->rxn->name : r->redoxpair);
    w.key("solutes");
    w.strings(solutes);
    w.end_object();
}

} // namespace

void jsdbfile_mgr::write_redox(jsdb_writer &w, sbatch *batch)
{
    w.begin_object();
    w.key("redoxgases");
    w.begin_array();
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxgases))
        if (r)
            write_redox_entry(w, r, QStringLiteral("gas"), QStringLiteral("redoxrxn"));
    w.end_array();
    w.key("redoxpairs");
    w.begin_array();
    for (const one_redoxRxn *r : std::as_const(batch->sdata->redoxpairs))
        if (r)
            write_redox_entry(w, r, QStringLiteral("element"), QStringLiteral("redoxpair"));
    w.end_array();
    w.end_object();
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

    value_notes notes;
    auto read_entries = [&](const char *listKey, std::string_view nameKey, std::string_view rxnKey,
                            QList<one_redoxRxn *> &into) {
        const jrange entries = notes.list(section, listKey);
        into.reserve(entries.size());
        for (const jvalue o : entries) {
            auto *r = sdata->own(new one_redoxRxn);
            notes.within(listKey, into.size() + 1, &r->element);
            notes.text(r->element, o, nameKey, unnamed);
            notes.text(r->redoxpair, o, rxnKey, unnamed);
            r->solutes = notes.names(o, "solutes");
            notes.within(nullptr);
            into.append(r);
        }
    };
    read_entries("redoxpairs", "element", "redoxpair", sdata->redoxpairs);
    read_entries("redoxgases", "gas", "redoxrxn", sdata->redoxgases);
    notes.report(notes_read, "redox");
    return 0;
}
