// Redox pairs and redox gases: the pairs the database offers, linking the pairs
// and gases a configuration file names, adding the pairs chosen for an element,
// and the screens that keep unchosen oxidation states out of the system.

#include "setup.h"

#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "ui_setup.h"

#include <QDebug>

namespace {

/// Appends the name unless it is listed (case-sensitive).
void appendDistinct(QStringList &names, const QString &name)
{
    if (!names.contains(name))
        names << name;
}

/// True when one of the reaction's species is named in `names`.
bool holdsAny(const one_rxn *rxn, const QStringList &names)
{
    if (!rxn->composition)
        return false;
    for (const QString &s : rxn->composition->solute)
        if (names.contains(s))
            return true;
    return false;
}

} // namespace

QString setup::evaluate_redoxElement(const one_solute *solute)
{
    const sim_data *sd = batch->sdata;
    if (!solute || solute->name == sd->nameHplus || solute->name == sd->nameH2O
        || solute->name == sd->nameO2g || !solute->composition)
        return QString();
    QStringList rest;
    for (const QString &e : solute->composition->element)
        if (e != sd->nameH && e != sd->nameO && e != sd->nameC)
            rest << e;
    return rest.size() == 1 ? rest.first() : QString();
}

one_redoxRxn *setup::evaluate_redoxRxn(one_rxn *rxn)
{
    if (!rxn || rxn->typeRequested != global::aux || !rxn->composition)
        return nullptr;
    const sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;
    const one_comp_solutes *comp = rxn->composition;

    QList<one_solute *> negative, positive;
    for (qsizetype i = 0; i < comp->solute.size(); ++i) {
        const double nu = comp->stoich.value(i);
        if (nu == 0.0)
            continue;
        one_solute *s = nullptr;
        const int kb = batch->find_idxBatch_solute(comp->solute.at(i));
        if (kb >= 0) {
            s = sd->solutes.at(kb);
        } else {
            const int kd = dbase->find_idxDB_solute(comp->solute.at(i));
            if (kd >= 0)
                s = db->solutes.at(kd);
        }
        if (!s)
            continue;
        (nu < 0.0 ? negative : positive).append(s);
    }
    if (negative.isEmpty())
        return nullptr;

    one_element *element = nullptr;
    QList<one_solute *> soluteRecs;
    bool good = false;
    for (one_solute *n : std::as_const(negative)) {
        const QString e = evaluate_redoxElement(n);
        if (e.isEmpty())
            continue;
        for (one_solute *p : std::as_const(positive)) {
            const QString ep = evaluate_redoxElement(p);
            if (ep != e)
                continue;
            one_element *rec = nullptr;
            const int kb = batch->find_idxBatch_element(e);
            if (kb >= 0) {
                rec = sd->elements.at(kb);
            } else {
                const int kd = dbase->find_idxDB_element(e);
                if (kd >= 0)
                    rec = db->elements.at(kd);
            }
            if (rec) {
                element = rec;
                soluteRecs << n << p;
                good = true;
            } else {
                qDebug().noquote()
                    << "SUR: #### redox element " + e + " not found in batch and dbdat";
                qDebug().noquote() << "SUR: redox elements " + e + ", " + ep
                        + ": couldn't find element from database.";
                good = false;
            }
        }
    }
    if (!good)
        return nullptr;
    auto *record = batch->sdata->own(new one_redoxRxn);
    record->elementRec = element;
    record->rxn = rxn;
    record->soluteRecs = soluteRecs;
    return record;
}

void setup::compile_redoxRxnsList()
{
    sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;
    sd->rxnsRedox.clear();
    for (const QString &name : db->namesRedox) {
        const int kb = batch->find_idxBatch_rxn(name, global::aqueous);
        const int kd = dbase->find_idxDB_rxn(name, global::aux);
        one_redoxRxn *rec = nullptr;
        if (kd >= 0) {
            rec = evaluate_redoxRxn(db->rxnsNonOrganic.at(kd));
        } else if (kb >= 0) {
            rec = evaluate_redoxRxn(sd->rxnsAqueous.at(kb));
            qDebug().noquote() << "SUR: redox rxn " + name + " using jsdb source";
        } else {
            qDebug().noquote() << "SUR: redox rxn " + name + " not found in sdata/dbdat";
        }
        if (rec)
            sd->rxnsRedox.append(rec);
    }
}

void setup::collect_redoxRxns()
{
    sim_data *sd = batch->sdata;
    const sim_data *cfg = jsdbMgr->sdata;
    sd->redoxpairs.clear();
    sd->redoxgases.clear();

    // A name the batch lacks gets a placeholder record that keeps the name read,
    // so that a configuration saved unchanged keeps its redox section.
    auto link = [this, sd](const one_redoxRxn *from, bool isGas) {
        auto *rec = sd->own(new one_redoxRxn);
        rec->element = from->element;
        rec->redoxpair = from->redoxpair;
        rec->solutes = from->solutes;
        if (isGas) {
            const int k = batch->find_idxBatch_gas(from->element);
            if (k >= 0) {
                rec->gasRec = sd->gases.at(k);
            } else {
                rec->gasRec = sd->own(new one_gas);
                rec->gasRec->name = from->element;
                qDebug().noquote()
                    << "SU: ##  redox patch, element " + from->element + " not found";
            }
        } else {
            const int k = batch->find_idxBatch_element(from->element);
            if (k >= 0) {
                rec->elementRec = sd->elements.at(k);
            } else {
                rec->elementRec = sd->own(new one_element);
                rec->elementRec->name = from->element;
                qDebug().noquote()
                    << "SU: ##  redox patch, element " + from->element + " not found";
            }
        }
        const int kr
            = batch->find_idxBatch_rxn(from->redoxpair, isGas ? global::gas : global::aqueous);
        if (kr >= 0) {
            rec->rxn = isGas ? sd->rxnsGas.at(kr) : sd->rxnsAqueous.at(kr);
        } else {
            rec->rxn = sd->own(new one_rxn);
            rec->rxn->name = from->redoxpair;
            qDebug().noquote() << "SU: ##  redox patch, reaction " + from->redoxpair + " not found";
        }
        for (const QString &name : from->solutes) {
            const int ks = batch->find_idxBatch_solute(name);
            if (ks >= 0) {
                rec->soluteRecs.append(sd->solutes.at(ks));
            } else {
                auto *placeholder = sd->own(new one_solute);
                placeholder->name = name;
                rec->soluteRecs.append(placeholder);
                qDebug().noquote() << "SU: ##  redox patch, solute " + name + " not found";
            }
        }
        return rec;
    };
    for (const one_redoxRxn *r : cfg->redoxpairs)
        if (r)
            sd->redoxpairs.append(link(r, false));
    for (const one_redoxRxn *r : cfg->redoxgases)
        if (r)
            sd->redoxgases.append(link(r, true));
}

int setup::add_redoxComponents_chosen(const QList<one_solute *> &all,
                                      const QList<one_redoxRxn *> &selected,
                                      const QList<one_solute *> &unused)
{
    sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;

    QList<one_rxn *> rxns;
    for (const one_solute *a : all)
        for (one_rxn *r : db->rxnsAqueous)
            if (r && r->composition && r->composition->solute.contains(a->name))
                rxns.append(r);

    // Keep reactions whose species are database solutes of the system's elements;
    // a species the database does not know cannot be judged and drops its reaction.
    for (qsizetype i = rxns.size() - 1; i >= 0; --i) {
        bool keep = true;
        for (const QString &species : rxns.at(i)->composition->solute) {
            const int k = dbase->find_idxDB_solute(species);
            if (k < 0) {
                keep = false;
                break;
            }
            const one_comp_elements *comp = db->solutes.at(k)->composition;
            if (!comp)
                continue;
            for (const QString &e : comp->element) {
                bool inSystem = false;
                for (const one_element *el : std::as_const(sd->elements))
                    inSystem = inSystem || el->name == e;
                keep = keep && inSystem;
            }
            if (!keep)
                break;
        }
        if (!keep)
            rxns.removeAt(i);
    }
    QStringList unusedNames;
    for (const one_solute *u : unused)
        unusedNames << u->name;
    for (qsizetype i = rxns.size() - 1; i >= 0; --i)
        if (holdsAny(rxns.at(i), unusedNames))
            rxns.removeAt(i);

    for (one_rxn *r : std::as_const(rxns))
        add_one_rxnAqueous(r, false);
    for (one_redoxRxn *pair : selected)
        if (pair && !sd->redoxpairs.contains(pair))
            sd->redoxpairs.append(pair);

    populateTable_solutes();
    populateTable_rxns(sd->rxnsAqueous, sd->rxnsGas);
    ui->comboBox_rxnsList->setCurrentIndex(1);
    return 0;
}

QList<one_rxn *> setup::screen_rxnsRedox(QList<one_rxn *> rxns)
{
    const sim_data *db = dbase->sdata;
    for (qsizetype i = rxns.size() - 1; i >= 0; --i)
        if (rxns.at(i)->type == global::aux)
            rxns.removeAt(i);
    QList<one_rxn *> result;
    for (one_rxn *r : std::as_const(rxns)) {
        bool keep = true;
        if (r->composition) {
            for (const QString &species : r->composition->solute) {
                if (is_own_solid(r, species))
                    continue;
                const int k = dbase->find_idxDB_solute(species);
                if (k < 0 || db->solutes.at(k)->type == global::aux) {
                    keep = false;
                    break;
                }
            }
        }
        if (keep)
            result.append(r);
    }
    return result;
}

QList<one_rxn *> setup::screen_rxnsRedox_supplements(const QString &element, QList<one_rxn *> rxns)
{
    const sim_data *sd = batch->sdata;
    const sim_data *db = dbase->sdata;

    QStringList used;
    for (const one_redoxRxn *p : sd->redoxpairs)
        if (p)
            for (const one_solute *s : p->soluteRecs)
                if (s)
                    appendDistinct(used, s->name);
    QStringList own;
    for (const one_redoxRxn *p : sd->rxnsRedox)
        if (p && p->recName() == element)
            for (const one_solute *s : p->soluteRecs)
                if (s)
                    appendDistinct(own, s->name);
    // An oxidation state nobody chose; a name the database does not list is no
    // basis solute either.
    QStringList unused;
    for (const QString &name : std::as_const(own)) {
        const int k = dbase->find_idxDB_solute(name);
        const bool basis = k >= 0 && db->solutes.at(k)->type == global::basis;
        if (!basis && !used.contains(name))
            unused << name;
    }

    // A state left out of the pairs of an element already in the system stays out
    // when a later element's complexes hold it (Fe+++ in FeSO4+ when S comes):
    // brought in without its pair's reaction, it would leave the system unsolvable.
    QStringList leftOut;
    for (const one_redoxRxn *p : sd->rxnsRedox) {
        const QString owner = p ? p->recName() : QString();
        if (owner.isEmpty() || owner == element || owner == sd->nameH || owner == sd->nameO
            || batch->find_idxBatch_element(owner) < 0)
            continue;
        for (const one_solute *s : p->soluteRecs)
            if (s && s->type != global::basis && !used.contains(s->name))
                appendDistinct(leftOut, s->name);
    }

    if (own.isEmpty() || unused.size() == own.size())
        for (qsizetype i = rxns.size() - 1; i >= 0; --i)
            if (rxns.at(i)->type == global::aux)
                rxns.removeAt(i);
    for (qsizetype i = rxns.size() - 1; i >= 0; --i) {
        const one_rxn *r = rxns.at(i);
        bool unknown = false;
        if (r->composition)
            for (const QString &species : r->composition->solute)
                unknown = unknown || dbase->find_idxDB_solute(species) < 0;
        if (unknown || holdsAny(r, unused) || holdsAny(r, leftOut))
            rxns.removeAt(i);
    }
    return rxns;
}
