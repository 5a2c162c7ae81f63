// Section "waters": every water with its conditions, composition, O2(g) condition,
// mixing record and latest speciation result.

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>

using namespace jsdb_codec;

namespace {

void log_no_water()
{
    qDebug() << "JR ##### no water data was found in the .jsdb file.";
    qDebug() << "         water data segment of the .jsdb is corrupt.";
}

jnode write_composition_entry(const one_elementComp *c)
{
    // Members in key order (upper case first), so each lands at the end.
    jnode o = jnode::make_object(7);
    o.insert(QStringLiteral("Molar"), num(c->Molar));
    o.insert(QStringLiteral("element"), c->element);
    o.insert(QStringLiteral("molal"), num(c->molal));
    o.insert(QStringLiteral("ppm"), num(c->ppm));
    o.insert(QStringLiteral("redoxsolute"), jnode::make_bool(c->redoxsolute));
    o.insert(QStringLiteral("solute"), c->solute);
    o.insert(QStringLiteral("swaprxn"), c->swaprxn);
    return o;
}

jnode write_mixdata(const one_water_mixModel *m, const global &gb)
{
    jnode o = jnode::make_object(13);
    o.insert(QStringLiteral("idwaterone"), num(m->idwaterone));
    o.insert(QStringLiteral("idwatertwo"), num(m->idwatertwo));
    o.insert(QStringLiteral("namewaterone"), m->namewaterone);
    o.insert(QStringLiteral("namewatertwo"), m->namewatertwo);
    o.insert(QStringLiteral("targetTC"), num(m->targetTC));
    o.insert(QStringLiteral("idelement"), num(m->idelement));
    o.insert(QStringLiteral("nameelement"), m->nameelement);
    o.insert(QStringLiteral("titrationph"), flag(m->titrationph));
    o.insert(QStringLiteral("targetph"), num(m->targetph));
    o.insert(QStringLiteral("targetconcn"), num(m->targetconcn));
    o.insert(QStringLiteral("targetcunit"), gb.unitConcn_toString(m->targetcunit));
    o.insert(QStringLiteral("volumeone"), num(m->volumeone));
    o.insert(QStringLiteral("volumetwo"), num(m->volumetwo));
    return o;
}

jnode write_result(const one_water_result *r)
{
    jnode o = jnode::make_object(16);
    o.insert(QStringLiteral("date_str"), r->date_str);
    o.insert(QStringLiteral("date_utc"), num(r->date_utc));
    o.insert(QStringLiteral("TC"), num(r->TC));
    o.insert(QStringLiteral("densitymass"), num(r->densitymass));
    o.insert(QStringLiteral("ionicstrength"), num(r->ionicstrength));
    o.insert(QStringLiteral("chargebalance"), num(r->chargebalance));
    o.insert(QStringLiteral("tds"), num(r->tds));
    o.insert(QStringLiteral("alkCarb"), num(r->alkCarb));
    o.insert(QStringLiteral("conduct"), num(r->conduct));
    o.insert(QStringLiteral("dielectConst"), num(r->dielectConst));
    o.insert(QStringLiteral("resultpH"), num(r->resultpH));
    o.insert(QStringLiteral("loops"), num(r->loops));
    o.insert(QStringLiteral("converged"), flag(r->converged));

    jnode elems = jnode::make_array();
    for (const one_waterResult_element *e : std::as_const(r->soln_elem)) {
        if (!e)
            continue;
        jnode entry = jnode::make_object(4);
        entry.insert(QStringLiteral("cMolar"), num(e->cMolar));
        entry.insert(QStringLiteral("cmolal"), num(e->cmolal));
        entry.insert(QStringLiteral("cppm"), num(e->cppm));
        entry.insert(QStringLiteral("element"), e->element);
        elems.append(std::move(entry));
    }
    auto species = [](const QList<one_waterResult_solute *> &list) {
        jnode entries = jnode::make_array();
        entries.reserve(list.size());
        for (const one_waterResult_solute *s : list) {
            if (!s)
                continue;
            // In key order: the thousands of entries each append at the end.
            jnode entry = jnode::make_object(4);
            entry.insert(QStringLiteral("cMolar"), num(s->cMolar));
            entry.insert(QStringLiteral("cmolal"), num(s->cmolal));
            entry.insert(QStringLiteral("gamma"), num(s->gamma));
            entry.insert(QStringLiteral("solute"), s->solute);
            entries.append(std::move(entry));
        }
        return entries;
    };
    o.insert(QStringLiteral("soln_elem"), std::move(elems));
    o.insert(QStringLiteral("soln_aq"), species(r->soln_aq));
    o.insert(QStringLiteral("soln_gas"), species(r->soln_gas));
    return o;
}

void read_result_species(const jrange &entries, QList<one_waterResult_solute *> &into)
{
    into.reserve(into.size() + entries.size());
    for (const jvalue entry : entries) {
        auto *s = new one_waterResult_solute;
        s->solute = text(entry, "solute");
        s->cmolal = real(entry, "cmolal");
        s->cMolar = real(entry, "cMolar");
        s->gamma = real(entry, "gamma");
        s->cppm = real(entry, "cppm");
        into.append(s);
    }
}

one_water_result *read_result(const jvalue &o)
{
    auto *r = new one_water_result;
    r->date_str = text(o, "date_str");
    r->date_utc = integer64(o, "date_utc");
    r->TC = real(o, "TC");
    r->densitymass = real(o, "densitymass");
    r->ionicstrength = real(o, "ionicstrength");
    r->chargebalance = real(o, "chargebalance");
    r->tds = real(o, "tds");
    r->alkCarb = real(o, "alkCarb");
    r->conduct = real(o, "conduct");
    r->dielectConst = real(o, "dielectConst");
    r->resultpH = real(o, "resultpH");
    r->loops = integer(o, "loops");
    r->converged = flagNum(o, "converged");

    const jrange elements = o.value("soln_elem").elements();
    r->soln_elem.reserve(elements.size());
    for (const jvalue entry : elements) {
        auto *e = new one_waterResult_element;
        e->element = text(entry, "element");
        e->cmolal = real(entry, "cmolal");
        e->cMolar = real(entry, "cMolar");
        e->cppm = real(entry, "cppm");
        r->soln_elem.append(e);
    }
    read_result_species(o.value("soln_aq").elements(), r->soln_aq);
    read_result_species(o.value("soln_gas").elements(), r->soln_gas);
    return r;
}

one_water_mixModel *read_mixdata(const jvalue &o, const global &gb)
{
    auto *m = new one_water_mixModel;
    m->idwaterone = integer(o, "idwaterone");
    m->idwatertwo = integer(o, "idwatertwo");
    m->namewaterone = text(o, "namewaterone");
    m->namewatertwo = text(o, "namewatertwo");
    m->targetTC = real(o, "targetTC");
    m->idelement = integer(o, "idelement");
    m->nameelement = text(o, "nameelement");
    m->titrationph = flagNum(o, "titrationph");
    m->targetph = real(o, "targetph");
    m->targetconcn = real(o, "targetconcn");
    m->targetcunit = gb.unitConcn_toEnum(text(o, "targetcunit"));
    m->volumeone = real(o, "volumeone");
    m->volumetwo = real(o, "volumetwo");
    return m;
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

jnode jsdbfile_mgr::write_waters(sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    QStringList names;
    std::vector<jnode> objects;
    for (const one_water *w : std::as_const(sd->waters)) {
        if (!w)
            continue;
        jnode o = jnode::make_object(29);
        o.insert(QStringLiteral("name"), w->name);
        o.insert(QStringLiteral("date_str"), w->date_str);
        o.insert(QStringLiteral("date_utc"), num(w->date_utc));
        o.insert(QStringLiteral("date_updated"), w->date_updated);
        o.insert(QStringLiteral("date_utcUpdated"), num(w->date_utcUpdated));
        o.insert(QStringLiteral("densitymass"), num(w->densitymass));
        o.insert(QStringLiteral("TC"), num(w->TC));
        o.insert(QStringLiteral("activitymethod"), gb.activityType_toString(w->activitymethod));
        o.insert(QStringLiteral("activitywater"), gb.activityWaterType_toString(w->activitywater));
        o.insert(QStringLiteral("chargebalance"), flag(w->chargebalance));
        o.insert(QStringLiteral("chargebalanceSolute"), w->chargebalanceSolute);
        o.insert(QStringLiteral("chargebalanceElem"), w->chargebalanceElem);
        o.insert(QStringLiteral("alkSet"), flag(w->alkSet));
        o.insert(QStringLiteral("alkmolal"), num(w->alkmolal));
        o.insert(QStringLiteral("alkMolar"), num(w->alkMolar));
        o.insert(QStringLiteral("alkUnit"), gb.unitConcn_toString(w->alkUnit));
        // Every reader takes an empty element as hydrogen; writing it so lets a saved
        // file read and save again unchanged.
        o.insert(QStringLiteral("alkElem"),
                 w->alkElem.isEmpty() ? QStringLiteral("H") : w->alkElem);
        o.insert(QStringLiteral("pHcomp"), num(w->pHcomp));
        o.insert(QStringLiteral("pHspcn"), num(w->pHspcn));
        o.insert(QStringLiteral("typeH"), gb.unitH_toString(w->typeH));
        o.insert(QStringLiteral("concnunitElem"), gb.unitConcn_toString(w->concnunitElem));
        o.insert(QStringLiteral("concnunit"), gb.unitConcn_toString(w->concnunit));
        o.insert(QStringLiteral("concnunitGas"), gb.unitConcnGas_toString(w->concnunitGas));
        o.insert(QStringLiteral("description"), w->description);

        jnode composition = jnode::make_array();
        for (const one_elementComp *c : std::as_const(w->composition))
            if (c)
                composition.append(write_composition_entry(c));
        o.insert(QStringLiteral("composition"), std::move(composition));

        if (w->stag_O2g) {
            // Amounts of 0 stand in for a missing O2(g) entry; the reader always makes one.
            const one_elementComp *o2 = w->redoxO2g;
            jnode block = jnode::make_object(5);
            // The usual name while no database has set the batch's fixed names.
            block.insert(QStringLiteral("element"),
                         sd->nameO2g.isEmpty() ? QStringLiteral("O2(g)") : sd->nameO2g);
            block.insert(QStringLiteral("molal"), num(o2 ? o2->molal : 0.0));
            block.insert(QStringLiteral("Molar"), num(o2 ? o2->Molar : 0.0));
            block.insert(QStringLiteral("ppm"), num(o2 ? o2->ppm : 0.0));
            block.insert(QStringLiteral("swaprxn"), w->redoxO2gSwaprxn);
            o.insert(QStringLiteral("redoxO2g"), std::move(block));
        }

        jnode mix = jnode::make_object();
        mix.insert(QStringLiteral("statmixing"), flag(w->statmixing));
        mix.insert(QStringLiteral("stattitrate"), flag(w->stattitrate));
        if ((w->statmixing || w->stattitrate) && w->mixdata)
            mix.insert(QStringLiteral("mixdata"), write_mixdata(w->mixdata, gb));
        o.insert(QStringLiteral("mix"), std::move(mix));

        if (w->results)
            o.insert(QStringLiteral("results"), write_result(w->results));

        names << w->name;
        objects.push_back(std::move(o));
    }
    return collection(QStringLiteral("nwaters"), QStringLiteral("allwaters"), names,
                      std::move(objects), "waters");
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
    const jvalue keyed = section.value("allwaters");
    sdata->waters.reserve(keyed.member_count());
    for (const jvalue o : keyed.members()) {
        auto *w = sdata->own(new one_water);
        w->alkElem = QStringLiteral("H");
        w->redoxO2g = new one_elementComp;

        w->name = text(o, "name");
        w->date_str = text(o, "date_str");
        w->date_utc = integer64(o, "date_utc");
        w->date_updated = text(o, "date_updated");
        w->date_utcUpdated = integer64(o, "date_utcUpdated");
        w->densitymass = real(o, "densitymass");
        w->TC = real(o, "TC");
        w->activitymethod = gb.activityType_toEnum(text(o, "activitymethod"));
        w->activitywater = gb.activityWaterType_toEnum(text(o, "activitywater"));
        w->chargebalance = flagInt(o, "chargebalance");
        w->chargebalanceSolute = text(o, "chargebalanceSolute");
        w->alkSet = flagInt(o, "alkSet");
        w->alkmolal = real(o, "alkmolal");
        w->alkMolar = real(o, "alkMolar");
        w->alkUnit = gb.unitConcn_toEnum(text(o, "alkUnit"));
        const QString alkElem = text(o, "alkElem");
        if (!alkElem.isEmpty())
            w->alkElem = alkElem;
        w->pHcomp = real(o, "pHcomp");
        w->pHspcn = real(o, "pHspcn");
        w->typeH = gb.unitH_toEnum(text(o, "typeH"));
        w->concnunitElem = gb.unitConcn_toEnum(text(o, "concnunitElem"));
        w->concnunit = gb.unitConcn_toEnum(text(o, "concnunit"));
        w->concnunitGas = gb.unitConcnGas_toEnum(text(o, "concnunitGas"));
        w->description = text(o, "description");

        const jrange composition = o.value("composition").elements();
        w->composition.reserve(composition.size());
        for (const jvalue entry : composition) {
            const QString element = text(entry, "element");
            if (element.isEmpty())
                continue;
            auto *c = new one_elementComp;
            c->element = element;
            c->solute = element;
            const jvalue redox = entry.value("redoxsolute");
            c->redoxsolute = redox.type() == jvalue::boolean ? redox.to_bool()
                                                             : redox.to_string().toInt() != 0;
            const QString solute = text(entry, "solute");
            if (!solute.isEmpty())
                c->solute = solute;
            c->molal = real(entry, "molal");
            c->Molar = real(entry, "Molar");
            c->ppm = real(entry, "ppm");
            c->swaprxn = text(entry, "swaprxn");
            w->composition.append(c);
        }

        if (o.contains("chargebalanceElem"))
            w->chargebalanceElem = text(o, "chargebalanceElem");
        else
            w->chargebalanceElem = derive_chargebalance_elem(w, sdata->elements);

        const jvalue o2 = o.value("redoxO2g");
        if (!o2.empty_object()) {
            w->redoxO2g->molal = real(o2, "molal");
            w->redoxO2g->Molar = real(o2, "Molar");
            w->redoxO2g->ppm = real(o2, "ppm");
            w->redoxO2gSwaprxn = text(o2, "swaprxn");
            w->stag_O2g = true;
        }

        const jvalue mix = o.value("mix");
        if (!mix.empty_object()) {
            w->statmixing = flagInt(mix, "statmixing");
            w->stattitrate = flagInt(mix, "stattitrate");
            const jvalue mixdata = mix.value("mixdata");
            if (!mixdata.empty_object())
                w->mixdata = read_mixdata(mixdata, gb);
        }

        const jvalue results = o.value("results");
        if (!results.empty_object())
            w->results = read_result(results);

        sdata->waters.append(w);
    }
    sdata->nwaters = int(sdata->waters.size());

    if (declared != sdata->nwaters)
        qDebug() << "JR ##### incorrect no. of waters data blocks found, " << sdata->nwaters
                 << " / " << declared << ".";
    if (sdata->waters.isEmpty())
        log_no_water();
    return 0;
}
