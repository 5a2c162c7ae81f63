// Section "waters": every water with its conditions, composition, O2(g) condition,
// mixing record and latest speciation result.

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>

using namespace jsdb_codec;

namespace {

// How a note on a swap reaction of another kind ends: the amount is taken as given.
constexpr const char *no_swap = "no swap reaction was used";

void log_no_water()
{
    qDebug() << "JR ##### no water data was found in the .jsdb file.";
    qDebug() << "         water data segment of the .jsdb is corrupt.";
}

void write_composition_entry(jsdb_writer &w, const one_elementComp *c)
{
    w.begin_object();
    w.num("Molar", c->Molar); // upper case sorts first
    w.text("element", c->element);
    w.num("molal", c->molal);
    w.num("ppm", c->ppm);
    w.key("redoxsolute");
    w.boolean(c->redoxsolute);
    w.text("solute", c->solute);
    w.text("swaprxn", c->swaprxn);
    w.end_object();
}

void write_mixdata(jsdb_writer &w, const one_water_mixModel *m, const global &gb)
{
    w.begin_object();
    w.num("idelement", m->idelement);
    w.num("idwaterone", m->idwaterone);
    w.num("idwatertwo", m->idwatertwo);
    w.text("nameelement", m->nameelement);
    w.text("namewaterone", m->namewaterone);
    w.text("namewatertwo", m->namewatertwo);
    w.num("targetTC", m->targetTC);
    w.num("targetconcn", m->targetconcn);
    w.text("targetcunit", gb.unitConcn_toString(m->targetcunit));
    w.num("targetph", m->targetph);
    w.flag("titrationph", m->titrationph);
    w.num("volumeone", m->volumeone);
    w.num("volumetwo", m->volumetwo);
    w.end_object();
}

void write_result_species(jsdb_writer &w, const QList<one_waterResult_solute *> &list)
{
    w.begin_array();
    for (const one_waterResult_solute *s : list) {
        if (!s)
            continue;
        w.begin_object();
        w.num("cMolar", s->cMolar);
        w.num("cmolal", s->cmolal);
        w.num("gamma", s->gamma);
        w.text("solute", s->solute);
        w.end_object();
    }
    w.end_array();
}

void write_result(jsdb_writer &w, const one_water_result *r)
{
    w.begin_object();
    w.num("TC", r->TC);
    w.num("alkCarb", r->alkCarb);
    w.num("chargebalance", r->chargebalance);
    w.num("conduct", r->conduct);
    w.flag("converged", r->converged);
    w.text("date_str", r->date_str);
    w.num("date_utc", r->date_utc);
    w.num("densitymass", r->densitymass);
    w.num("dielectConst", r->dielectConst);
    w.num("ionicstrength", r->ionicstrength);
    w.num("loops", r->loops);
    w.num("resultpH", r->resultpH);
    w.key("soln_aq");
    write_result_species(w, r->soln_aq);
    w.key("soln_elem");
    w.begin_array();
    for (const one_waterResult_element *e : std::as_const(r->soln_elem)) {
        if (!e)
            continue;
        w.begin_object();
        w.num("cMolar", e->cMolar);
        w.num("cmolal", e->cmolal);
        w.num("cppm", e->cppm);
        w.text("element", e->element);
        w.end_object();
    }
    w.end_array();
    w.key("soln_gas");
    write_result_species(w, r->soln_gas);
    w.num("tds", r->tds);
    w.end_object();
}

void read_result_species(const jrange &entries, const char *part,
                         QList<one_waterResult_solute *> &into, value_notes &notes)
{
    into.reserve(into.size() + entries.size());
    for (const jvalue entry : entries) {
        auto *s = new one_waterResult_solute;
        notes.within(part, into.size() + 1, &s->solute);
        notes.text(s->solute, entry, "solute", unnamed);
        notes.real(s->cmolal, entry, "cmolal");
        notes.real(s->cMolar, entry, "cMolar");
        notes.real(s->gamma, entry, "gamma");
        notes.real(s->cppm, entry, "cppm");
        into.append(s);
    }
}

one_water_result *read_result(const jvalue &o, value_notes &notes)
{
    auto *r = new one_water_result;
    notes.within("results");
    notes.text(r->date_str, o, "date_str");
    notes.integer64(r->date_utc, o, "date_utc");
    notes.real(r->TC, o, "TC");
    notes.real(r->densitymass, o, "densitymass");
    notes.real(r->ionicstrength, o, "ionicstrength");
    notes.real(r->chargebalance, o, "chargebalance");
    notes.real(r->tds, o, "tds");
    notes.real(r->alkCarb, o, "alkCarb");
    notes.real(r->conduct, o, "conduct");
    notes.real(r->dielectConst, o, "dielectConst");
    notes.real(r->resultpH, o, "resultpH");
    notes.integer(r->loops, o, "loops");
    notes.flagNum(r->converged, o, "converged");

    const jrange elements = notes.list(o, "soln_elem");
    const jrange aqueous = notes.list(o, "soln_aq");
    const jrange gases = notes.list(o, "soln_gas");
    r->soln_elem.reserve(elements.size());
    for (const jvalue entry : elements) {
        auto *e = new one_waterResult_element;
        notes.within("soln_elem", r->soln_elem.size() + 1, &e->element);
        notes.text(e->element, entry, "element", unnamed);
        notes.real(e->cmolal, entry, "cmolal");
        notes.real(e->cMolar, entry, "cMolar");
        notes.real(e->cppm, entry, "cppm");
        r->soln_elem.append(e);
    }
    read_result_species(aqueous, "soln_aq", r->soln_aq, notes);
    read_result_species(gases, "soln_gas", r->soln_gas, notes);
    return r;
}

one_water_mixModel *read_mixdata(const jvalue &o, const global &gb, value_notes &notes)
{
    auto *m = new one_water_mixModel;
    notes.within("mixdata");
    notes.integer(m->idwaterone, o, "idwaterone");
    notes.integer(m->idwatertwo, o, "idwatertwo");
    notes.text(m->namewaterone, o, "namewaterone", unnamed);
    notes.text(m->namewatertwo, o, "namewatertwo", unnamed);
    notes.real(m->targetTC, o, "targetTC");
    notes.integer(m->idelement, o, "idelement");
    notes.text(m->nameelement, o, "nameelement", unnamed);
    notes.flagNum(m->titrationph, o, "titrationph");
    notes.real(m->targetph, o, "targetph");
    notes.real(m->targetconcn, o, "targetconcn");
    m->targetcunit = gb.unitConcn_toEnum(notes.text_or(
        o, "targetcunit", [&gb, m] { return gb.unitConcn_toString(m->targetcunit); }));
    notes.real(m->volumeone, o, "volumeone");
    notes.real(m->volumetwo, o, "volumetwo");
    return m;
}

// The entries of a water's composition that name an element.
void read_composition(const jvalue &o, QList<one_elementComp *> &into, value_notes &notes)
{
    // A water without entries, as a new configuration's default water, gets an entry
    // for every element of the system at a new water's amount once it is shown or run.
    const jrange composition = notes.list(o, "composition",
                                          "no amount was read, so each element is given a new "
                                          "water's amount when the water is shown or run");
    into.reserve(composition.size());
    qsizetype n = 0;
    QString element;
    for (const jvalue entry : composition) {
        notes.within("composition", ++n, &element);
        notes.text(element, entry, "element", "the entry was left out");
        if (element.isEmpty())
            continue;
        auto *c = new one_elementComp;
        c->element = element;
        c->solute = element;
        const QString solute = notes.text_or(entry, "solute", [c] { return c->solute; });
        if (!solute.isEmpty())
            c->solute = solute;
        notes.boolean(c->redoxsolute, entry, "redoxsolute");
        notes.real(c->molal, entry, "molal");
        notes.real(c->Molar, entry, "Molar");
        notes.real(c->ppm, entry, "ppm");
        notes.text(c->swaprxn, entry, "swaprxn", no_swap);
        into.append(c);
    }
    notes.within(nullptr);
}

// Files written before the element was stored: the element whose basis species is
// the charge-balance solute (elements are read before waters), else the water's
// composition entry carried by that solute. Names are compared ignoring case.
QString derive_chargebalance_elem(const one_water *w, const QList<one_element *> &elements)
{
    if (w->chargebalanceSolute.isEmpty())
        return QString();
    const QString solute = w->chargebalanceSolute.toLower();
    for (const one_element *el : elements)
        if (el && el->basis_name.toLower() == solute)
            return el->name;
    for (const one_elementComp *c : w->composition)
        if (c->solute.toLower() == solute)
            return c->element;
    qDebug() << "JR ##### charge-balance solute" << w->chargebalanceSolute << "of water" << w->name
             << "matches no element";
    return QString();
}

} // namespace

namespace {

// Members in key order (upper case before lower case), so nothing has to move.
void write_water(jsdb_writer &w, const one_water *water, const sim_data *sd, const global &gb)
{
    w.begin_object();
    w.num("TC", water->TC);
    w.text("activitymethod", gb.activityType_toString(water->activitymethod));
    w.text("activitywater", gb.activityWaterType_toString(water->activitywater));
    // Every reader takes an empty element as hydrogen; writing it so lets a saved
    // file read and save again unchanged.
    w.text("alkElem", water->alkElem.isEmpty() ? QStringLiteral("H") : water->alkElem);
    w.num("alkMolar", water->alkMolar);
    w.flag("alkSet", water->alkSet);
    w.text("alkUnit", gb.unitConcn_toString(water->alkUnit));
    w.num("alkmolal", water->alkmolal);
    w.flag("chargebalance", water->chargebalance);
    w.text("chargebalanceElem", water->chargebalanceElem);
    w.text("chargebalanceSolute", water->chargebalanceSolute);

    w.key("composition");
    w.begin_array();
    for (const one_elementComp *c : std::as_const(water->composition))
        if (c)
            write_composition_entry(w, c);
    w.end_array();

    w.text("concnunit", gb.unitConcn_toString(water->concnunit));
    w.text("concnunitElem", gb.unitConcn_toString(water->concnunitElem));
    w.text("concnunitGas", gb.unitConcnGas_toString(water->concnunitGas));
    w.text("date_str", water->date_str);
    w.text("date_updated", water->date_updated);
    w.num("date_utc", water->date_utc);
    w.num("date_utcUpdated", water->date_utcUpdated);
    w.num("densitymass", water->densitymass);
    w.text("description", water->description);

    w.key("mix");
    w.begin_object();
    if ((water->statmixing || water->stattitrate) && water->mixdata) {
        w.key("mixdata");
        write_mixdata(w, water->mixdata, gb);
    }
    w.flag("statmixing", water->statmixing);
    w.flag("stattitrate", water->stattitrate);
    w.end_object();

    w.text("name", water->name);
    w.num("pHcomp", water->pHcomp);
    w.num("pHspcn", water->pHspcn);

    if (water->stag_O2g) {
        // Amounts of 0 stand in for a missing O2(g) entry; the reader always makes one.
        const one_elementComp *o2 = water->redoxO2g;
        w.key("redoxO2g");
        w.begin_object();
        w.num("Molar", o2 ? o2->Molar : 0.0);
        // The usual name while no database has set the batch's fixed names.
        w.text("element", sd->nameO2g.isEmpty() ? QStringLiteral("O2(g)") : sd->nameO2g);
        w.num("molal", o2 ? o2->molal : 0.0);
        w.num("ppm", o2 ? o2->ppm : 0.0);
        w.text("swaprxn", water->redoxO2gSwaprxn);
        w.end_object();
    }

    if (water->results) {
        w.key("results");
        write_result(w, water->results);
    }

    w.text("typeH", gb.unitH_toString(water->typeH));
    w.end_object();
}

} // namespace

void jsdbfile_mgr::write_waters(jsdb_writer &w, sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    const QList<const one_water *> waters = present(sd->waters);
    collection(
        w, QStringLiteral("nwaters"), QStringLiteral("allwaters"), names_of(waters),
        [&](qsizetype i) { write_water(w, waters.at(i), sd, gb); }, "waters");
}

int jsdbfile_mgr::read_waters(const jvalue &top)
{
    sdata->waters.clear();
    // The count always describes the list, also when the section is missing.
    sdata->nwaters = 0;

    const jvalue section = top.value("waters");
    if (section.empty_object()) {
        log_no_water();
        return return_codes::missingWaters;
    }

    const int declared = integer(section, "nwaters");
    value_notes notes;
    const jrange keyed = notes.records(section, "allwaters", "no water was read");
    notes.report(notes_read, "waters");
    sdata->waters.reserve(keyed.size());
    for (const jvalue o : keyed) {
        auto *w = sdata->own(new one_water);
        w->alkElem = QStringLiteral("H");
        w->redoxO2g = new one_elementComp;

        notes.text(w->name, o, "name", unnamed);
        notes.text(w->date_str, o, "date_str");
        notes.integer64(w->date_utc, o, "date_utc");
        notes.text(w->date_updated, o, "date_updated");
        notes.integer64(w->date_utcUpdated, o, "date_utcUpdated");
        notes.real(w->densitymass, o, "densitymass");
        notes.real(w->TC, o, "TC");
        // No model read is set to the default one after reading.
        w->activitymethod = gb.activityType_toEnum(notes.text_or(
            o, "activitymethod", [this] { return gb.activityType_toString(global::ac_dh_bdot); }));
        w->activitywater = gb.activityWaterType_toEnum(notes.text_or(o, "activitywater", [this] {
            return gb.activityWaterType_toString(global::acw_mol_fr);
        }));
        notes.flagInt(w->chargebalance, o, "chargebalance");
        notes.text(w->chargebalanceSolute, o, "chargebalanceSolute", unnamed);
        notes.flagInt(w->alkSet, o, "alkSet");
        notes.real(w->alkmolal, o, "alkmolal");
        notes.real(w->alkMolar, o, "alkMolar");
        w->alkUnit = gb.unitConcn_toEnum(
            notes.text_or(o, "alkUnit", [this, w] { return gb.unitConcn_toString(w->alkUnit); }));
        const QString alkElem = notes.text_or(o, "alkElem", [w] { return w->alkElem; });
        if (!alkElem.isEmpty())
            w->alkElem = alkElem;
        notes.real(w->pHcomp, o, "pHcomp");
        notes.real(w->pHspcn, o, "pHspcn");
        w->typeH = gb.unitH_toEnum(
            notes.text_or(o, "typeH", [this, w] { return gb.unitH_toString(w->typeH); }));
        w->concnunitElem = gb.unitConcn_toEnum(notes.text_or(
            o, "concnunitElem", [this, w] { return gb.unitConcn_toString(w->concnunitElem); }));
        w->concnunit = gb.unitConcn_toEnum(notes.text_or(
            o, "concnunit", [this, w] { return gb.unitConcn_toString(w->concnunit); }));
        w->concnunitGas = gb.unitConcnGas_toEnum(notes.text_or(
            o, "concnunitGas", [this, w] { return gb.unitConcnGas_toString(w->concnunitGas); }));
        notes.text(w->description, o, "description");

        read_composition(o, w->composition, notes);

        if (o.contains("chargebalanceElem"))
            notes.text(w->chargebalanceElem, o, "chargebalanceElem", unnamed);
        else
            w->chargebalanceElem = derive_chargebalance_elem(w, sdata->elements);

        const jvalue o2 = notes.object(o, "redoxO2g", "no O2(g) condition was read");
        if (!o2.empty_object()) {
            notes.within("redoxO2g");
            notes.real(w->redoxO2g->molal, o2, "molal");
            notes.real(w->redoxO2g->Molar, o2, "Molar");
            notes.real(w->redoxO2g->ppm, o2, "ppm");
            notes.text(w->redoxO2gSwaprxn, o2, "swaprxn", no_swap);
            w->stag_O2g = true;
        }

        notes.within(nullptr); // back to the water itself
        const jvalue mix = notes.object(o, "mix", "no mixing record was read");
        if (!mix.empty_object()) {
            notes.within("mix");
            notes.flagInt(w->statmixing, mix, "statmixing");
            notes.flagInt(w->stattitrate, mix, "stattitrate");
            const jvalue mixdata = notes.object(mix, "mixdata", "no mixing record was read");
            if (!mixdata.empty_object())
                w->mixdata = read_mixdata(mixdata, gb, notes);
        }

        notes.within(nullptr); // back to the water itself
        const jvalue results = notes.object(o, "results", "no result was read");
        if (!results.empty_object())
            w->results = read_result(results, notes);

        notes.report(notes_read, "water", &w->name);
        sdata->waters.append(w);
    }
    sdata->nwaters = int(sdata->waters.size());

    if (declared != sdata->nwaters)
        qDebug() << "JR ##### incorrect no. of waters data blocks found, " << sdata->nwaters
                 << " / " << declared << ".";
    notes.count(section, "nwaters", sdata->nwaters, "water", "waters");
    notes.report(notes_read, "waters");
    if (sdata->waters.isEmpty())
        log_no_water();
    return 0;
}
