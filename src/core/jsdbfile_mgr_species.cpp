// Sections "header", "control parameters", "elements", "gases" and "solutes".

#include "jsdbfile_mgr.h"
#include "return_codes.h"
#include "settings_keys.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>

using namespace jsdb_codec;

namespace {

/// The elements of a species: entry i holds position i of the three parallel lists.
jnode write_comp_elements(const one_comp_elements *comp, const QString &owner)
{
    jnode entries = jnode::make_array();
    if (!comp)
        return entries;
    const qsizetype n
        = std::min({comp->stoich.size(), comp->element.size(), comp->element_id.size()});
    if (n != comp->stoich.size() || n != comp->element.size() || n != comp->element_id.size())
        qDebug() << "JW ##### composition lists of" << owner << "differ in length; writing" << n
                 << "entries";
    entries.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        jnode entry = jnode::make_object(3);
        entry.insert(QStringLiteral("idx"), num(comp->element_id.at(i)));
        entry.insert(QStringLiteral("name"), comp->element.at(i));
        entry.insert(QStringLiteral("stoich"), num(comp->stoich.at(i)));
        entries.append(std::move(entry));
    }
    return entries;
}

one_comp_elements *read_comp_elements(const jrange &entries)
{
    auto *comp = new one_comp_elements;
    comp->stoich.reserve(entries.size());
    comp->element.reserve(entries.size());
    comp->element_id.reserve(entries.size());
    for (const jvalue entry : entries) {
        comp->stoich.append(real(entry, "stoich"));
        comp->element.append(text(entry, "name"));
        comp->element_id.append(integer(entry, "idx"));
    }
    comp->ncomp = int(entries.size());
    return comp;
}

/// The keyed records of a collection section, or an empty object when the section
/// is missing or empty (then `present` is false).
jvalue section_of(const jvalue &top, std::string_view key, bool &present)
{
    const jvalue section = top.value(key);
    present = !section.empty_object();
    return section;
}

void log_count_mismatch(const char *what, qsizetype found, int declared)
{
    if (found != declared)
        qDebug() << (QByteArray("JR ##### incorrect no. of ") + what + " data blocks found, ")
                        .constData()
                 << found << " / " << declared << ".";
}

} // namespace

// ---- header -------------------------------------------------------------------------

jnode jsdbfile_mgr::write_header(sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    QSettings settings;
    settings.beginGroup(QLatin1String(settings_keys::groupLogin));
    const QString username = settings.value(QLatin1String(settings_keys::keyUsername)).toString();
    settings.endGroup();

    jnode header = jnode::make_object(12);
    header.insert(QStringLiteral("compTag"), jnode::make_number(gb.tag_compilation(), true));
    header.insert(QStringLiteral("date"), QDateTime::currentDateTime().toString(Qt::TextDate));
    header.insert(QStringLiteral("dbref"), sd->dbref);
    header.insert(QStringLiteral("dbtype"), gb.dbtype_toString(sd->dbtype));
    header.insert(QStringLiteral("dbuser"), sd->dbuser);
    header.insert(QStringLiteral("description"), sd->description);
    header.insert(QStringLiteral("file"), sd->file);
    header.insert(QStringLiteral("format"), gb.default_format_jsdb());
    header.insert(QStringLiteral("simtype"), gb.simType_toString(batch->simtype));
    header.insert(QStringLiteral("username"), username);
    header.insert(QStringLiteral("versionDB"), gb.version_database());
    header.insert(QStringLiteral("versionSim"), gb.version_simulator());
    return header;
}

int jsdbfile_mgr::read_header(const jvalue &top)
{
    // What a configuration without a header keeps.
    sdata->format = QStringLiteral("jsdb.240101");
    sdata->versionSim = QStringLiteral("v.1.0.2a");
    sdata->compTag = 20250901;
    sdata->dbtype = 2;
    sdata->versionDB = QStringLiteral("vdb.1.0.1");
    sdata->dbref.clear();
    sdata->dbuser.clear();

    const jvalue header = top.value("header");
    if (header.empty_object())
        return return_codes::missingHeader;

    sdata->file = text(header, "file");
    sdata->versionSim = text(header, "versionSim");
    sdata->format = text(header, "format");
    sdata->compTag = header.value("compTag").to_int();
    simtype = gb.simType_toEnum(text(header, "simtype"));
    sdata->dbtype = gb.dbtype_toEnum(text(header, "dbtype"));
    sdata->versionDB = text(header, "versionDB");
    sdata->dbref = text(header, "dbref");
    sdata->dbuser = text(header, "dbuser");
    sdata->description = text(header, "description");
    return 0;
}

// ---- control parameters -------------------------------------------------------------

jnode jsdbfile_mgr::write_ctrlparameters(sbatch *batch)
{
    jnode ctrl = jnode::make_object(7);
    const one_ctrlset *cs = batch->sdata->ctrlset;
    if (!cs)
        return ctrl;
    ctrl.insert(QStringLiteral("csolvcmax"), num(cs->csolvcmax));
    ctrl.insert(QStringLiteral("csolvcmin"), num(cs->csolvcmin));
    ctrl.insert(QStringLiteral("csolvcvg"), num(cs->csolvcvg));
    ctrl.insert(QStringLiteral("csolvitmax"), num(cs->csolvitmax));
    ctrl.insert(QStringLiteral("dbaccess"), flag(cs->dbaccess));
    ctrl.insert(QStringLiteral("orgcmpd"), flag(cs->orgcmpd));
    ctrl.insert(QStringLiteral("redox"), flag(cs->redox));
    return ctrl;
}

int jsdbfile_mgr::read_ctrlparameters(const jvalue &top)
{
    auto *cs = new one_ctrlset;
    cs->dbaccess = true;
    cs->redox = false;
    cs->orgcmpd = false;
    cs->csolvitmax = 31;
    cs->csolvcvg = 1e-6;
    cs->csolvcmax = 25.0;
    cs->csolvcmin = 1e-36;
    cs->TCmax = 350.0;
    cs->TCmin = 0.1;

    int code = 0;
    const jvalue ctrl = top.value("control parameters");
    if (ctrl.empty_object()) {
        code = return_codes::missingControl;
    } else {
        cs->dbaccess = flagInt(ctrl, "dbaccess");
        cs->redox = flagInt(ctrl, "redox");
        cs->orgcmpd = flagInt(ctrl, "orgcmpd");
        cs->csolvitmax = integer(ctrl, "csolvitmax");
        cs->csolvcvg = real(ctrl, "csolvcvg");
        cs->csolvcmax = real(ctrl, "csolvcmax");
        cs->csolvcmin = real(ctrl, "csolvcmin");
    }

    if (cs->csolvitmax < 1)
        cs->csolvitmax = 31;
    if (cs->csolvcvg <= 0.0)
        cs->csolvcvg = 1e-6;
    if (cs->csolvcmax <= 0.0)
        cs->csolvcmax = 25.0;
    if (cs->csolvcmin <= 0.0)
        cs->csolvcmin = 1e-36;

    if (!sdata->isOwned(sdata->ctrlset))
        delete sdata->ctrlset;
    sdata->ctrlset = cs;
    return code;
}

// ---- elements ---------------------------------------------------------------------

jnode jsdbfile_mgr::write_elements(sbatch *batch)
{
    QStringList names;
    std::vector<jnode> objects;
    int order = 0;
    for (const one_element *el : std::as_const(batch->sdata->elements)) {
        if (!el)
            continue;
        jnode o = jnode::make_object(10);
        o.insert(QStringLiteral("basis"), el->basis_name);
        o.insert(QStringLiteral("basis_id"), num(el->basis_id));
        o.insert(QStringLiteral("cvtmtoppm"), num(el->cvtmtoppm));
        o.insert(QStringLiteral("molwt"), num(el->mol_wt));
        o.insert(QStringLiteral("name"), el->name);
        o.insert(QStringLiteral("nredoxsolutes"), num(el->nredoxsolutes));
        o.insert(QStringLiteral("order"), num(order++));
        o.insert(QStringLiteral("redoxelement"), flag(el->redoxelement));
        o.insert(QStringLiteral("redoxsolutes"), flag(el->redoxsolutes));
        o.insert(QStringLiteral("tag"), num(el->tag));
        names << el->name;
        objects.push_back(std::move(o));
    }
    return collection(QStringLiteral("nelements"), QStringLiteral("properties"), names,
                      std::move(objects), "elements");
}

int jsdbfile_mgr::read_elements(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "elements", present);
    if (!present)
        return return_codes::missingElements;

    const int declared = integer(section, "nelements");
    const jvalue keyed = section.value("properties");
    sdata->elements.reserve(sdata->elements.size() + keyed.member_count());
    for (const jvalue o : keyed.members()) {
        auto *el = sdata->own(new one_element);
        el->basis_name = text(o, "basis");
        el->basis_id = integer(o, "basis_id");
        el->cvtmtoppm = real(o, "cvtmtoppm");
        el->mol_wt = real(o, "molwt");
        el->name = text(o, "name");
        el->redoxelement = flagInt(o, "redoxelement");
        el->redoxsolutes = flagInt(o, "redoxsolutes");
        el->tag = integer(o, "tag");
        sdata->elements.append(el);
    }
    sdata->nelements = int(sdata->elements.size());
    log_count_mismatch("elements", sdata->elements.size(), declared);
    return 0;
}

// ---- gases --------------------------------------------------------------------------

jnode jsdbfile_mgr::write_gases(sbatch *batch)
{
    QStringList names;
    std::vector<jnode> objects;
    for (const one_gas *gas : std::as_const(batch->sdata->gases)) {
        if (!gas)
            continue;
        jnode o = jnode::make_object(7);
        o.insert(QStringLiteral("composition"), write_comp_elements(gas->composition, gas->name));
        o.insert(QStringLiteral("fcoeff"), num(gas->fcoeff));
        o.insert(QStringLiteral("formula"), gas->formula);
        o.insert(QStringLiteral("molwt"), num(gas->mol_wt));
        o.insert(QStringLiteral("name"), gas->name);
        o.insert(QStringLiteral("tag"), num(gas->tag));
        o.insert(QStringLiteral("type"), gb.speciesType_toString(gas->type));
        names << gas->name;
        objects.push_back(std::move(o));
    }
    return collection(QStringLiteral("ngases"), QStringLiteral("properties"), names,
                      std::move(objects), "gases");
}

int jsdbfile_mgr::read_gases(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "gases", present);
    if (!present)
        return return_codes::missingGases;

    const int declared = integer(section, "ngases");
    const jvalue keyed = section.value("properties");
    sdata->gases.reserve(sdata->gases.size() + keyed.member_count());
    for (const jvalue o : keyed.members()) {
        auto *gas = sdata->own(new one_gas);
        gas->composition = read_comp_elements(o.value("composition").elements());
        gas->fcoeff = real(o, "fcoeff");
        gas->formula = text(o, "formula");
        gas->mol_wt = real(o, "molwt");
        gas->name = text(o, "name");
        gas->tag = integer(o, "tag");
        gas->type = gb.speciesType_toEnum(text(o, "type"));
        sdata->gases.append(gas);
    }
    sdata->ngases = int(sdata->gases.size());
    log_count_mismatch("gases", sdata->gases.size(), declared);
    return 0;
}

// ---- solutes ------------------------------------------------------------------------

jnode jsdbfile_mgr::write_solutes(sbatch *batch)
{
    QStringList names;
    std::vector<jnode> objects;
    for (const one_solute *sol : std::as_const(batch->sdata->solutes)) {
        if (!sol)
            continue;
        jnode o = jnode::make_object(8);
        o.insert(QStringLiteral("DHazero"), num(sol->DHazero));
        o.insert(QStringLiteral("charge"), num(sol->charge));
        o.insert(QStringLiteral("composition"), write_comp_elements(sol->composition, sol->name));
        o.insert(QStringLiteral("formula"), sol->formula);
        o.insert(QStringLiteral("molwt"), num(sol->mol_wt));
        o.insert(QStringLiteral("name"), sol->name);
        o.insert(QStringLiteral("tag"), num(sol->tag));
        o.insert(QStringLiteral("type"), gb.speciesType_toString(sol->type));
        names << sol->name;
        objects.push_back(std::move(o));
    }
    return collection(QStringLiteral("nsolutes"), QStringLiteral("allsolutes"), names,
                      std::move(objects), "solutes");
}

int jsdbfile_mgr::read_solutes(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "solutes", present);
    if (!present)
        return return_codes::missingSolutes;

    const int declared = integer(section, "nsolutes");
    const jvalue keyed = section.value("allsolutes");
    sdata->solutes.reserve(sdata->solutes.size() + keyed.member_count());
    for (const jvalue o : keyed.members()) {
        auto *sol = sdata->own(new one_solute);
        sol->DHazero = real(o, "DHazero");
        sol->charge = real(o, "charge");
        sol->composition = read_comp_elements(o.value("composition").elements());
        sol->formula = text(o, "formula");
        sol->mol_wt = real(o, "molwt");
        sol->name = text(o, "name");
        sol->tag = integer(o, "tag");
        sol->type = gb.speciesType_toEnum(text(o, "type"));
        sdata->solutes.append(sol);
    }
    sdata->nsolutes = int(sdata->solutes.size());
    log_count_mismatch("solutes", sdata->solutes.size(), declared);
    return 0;
}
