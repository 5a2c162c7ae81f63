// Sections "header", "control parameters", "elements", "gases" and "solutes".

#include "jsdbfile_mgr.h"
#include "return_codes.h"
#include "settings_keys.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>

#include <cmath>

using namespace jsdb_codec;

namespace {

/// The elements of a species: entry i holds position i of the three parallel lists.
void write_comp_elements(jsdb_writer &w, const one_comp_elements *comp, const QString &owner)
{
    w.begin_array();
    const qsizetype n
        = comp ? std::min({comp->stoich.size(), comp->element.size(), comp->element_id.size()}) : 0;
    if (comp
        && (n != comp->stoich.size() || n != comp->element.size() || n != comp->element_id.size()))
        qDebug() << "JW ##### composition lists of" << owner << "differ in length; writing" << n
                 << "entries";
    for (qsizetype i = 0; i < n; ++i) {
        w.begin_object();
        w.num("idx", comp->element_id.at(i));
        w.text("name", comp->element.at(i));
        w.num("stoich", comp->stoich.at(i));
        w.end_object();
    }
    w.end_array();
}

one_comp_elements *read_comp_elements(const jvalue &species, value_notes &notes)
{
    const jrange entries = notes.list(species, "composition");
    auto *comp = new one_comp_elements;
    comp->stoich.reserve(entries.size());
    comp->element.reserve(entries.size());
    comp->element_id.reserve(entries.size());
    for (const jvalue entry : entries) {
        QString name;
        notes.within("composition", comp->element.size() + 1, &name);
        notes.text(name, entry, "name", unnamed);
        comp->stoich.append(notes.real(entry, "stoich"));
        comp->element.append(name);
        comp->element_id.append(notes.integer(entry, "idx"));
    }
    notes.within(nullptr);
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

// Logs a `declared` count unlike the records `found`, and notes it for the user.
void count_mismatch(const jvalue &section, std::string_view key, qsizetype found, int declared,
                    const char *one, const char *many, value_notes &notes)
{
    if (found != declared)
        qDebug() << (QByteArray("JR ##### incorrect no. of ") + many + " data blocks found, ")
                        .constData()
                 << found << " / " << declared << ".";
    notes.count(section, key, found, one, many);
}

} // namespace

// ---- header -------------------------------------------------------------------------

void jsdbfile_mgr::write_header(jsdb_writer &w, sbatch *batch)
{
    const sim_data *sd = batch->sdata;
    QSettings settings;
    settings.beginGroup(QLatin1String(settings_keys::groupLogin));
    const QString username = settings.value(QLatin1String(settings_keys::keyUsername)).toString();
    settings.endGroup();

    w.begin_object();
    w.key("compTag");
    w.integer(gb.tag_compilation());
    w.text("date", QDateTime::currentDateTime().toString(Qt::TextDate));
    w.text("dbref", sd->dbref);
    w.text("dbtype", gb.dbtype_toString(sd->dbtype));
    w.text("dbuser", sd->dbuser);
    w.text("description", sd->description);
    w.text("file", sd->file);
    w.text("format", gb.default_format_jsdb());
    w.text("simtype", gb.simType_toString(batch->simtype));
    w.text("username", username);
    w.text("versionDB", gb.version_database());
    w.text("versionSim", gb.version_simulator());
    w.end_object();
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

    value_notes notes;
    notes.text(sdata->file, header, "file");
    notes.text(sdata->versionSim, header, "versionSim");
    notes.text(sdata->format, header, "format");
    notes.json_integer(sdata->compTag, header, "compTag");
    simtype = gb.simType_toEnum(
        notes.text_or(header, "simtype", [this] { return gb.simType_toString(simtype); }));
    sdata->dbtype = gb.dbtype_toEnum(
        notes.text_or(header, "dbtype", [this] { return gb.dbtype_toString(sdata->dbtype); }));
    notes.text(sdata->versionDB, header, "versionDB");
    notes.text(sdata->dbref, header, "dbref");
    notes.text(sdata->dbuser, header, "dbuser");
    notes.text(sdata->description, header, "description");
    notes.report(notes_read, "header");
    return 0;
}

// ---- control parameters -------------------------------------------------------------

void jsdbfile_mgr::write_ctrlparameters(jsdb_writer &w, sbatch *batch)
{
    w.begin_object();
    if (const one_ctrlset *cs = batch->sdata->ctrlset) {
        w.num("csolvcmax", cs->csolvcmax);
        w.num("csolvcmin", cs->csolvcmin);
        w.num("csolvcvg", cs->csolvcvg);
        w.num("csolvitmax", cs->csolvitmax);
        w.flag("dbaccess", cs->dbaccess);
        w.flag("orgcmpd", cs->orgcmpd);
        w.flag("redox", cs->redox);
    }
    w.end_object();
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
    value_notes notes;
    const jvalue ctrl = top.value("control parameters");
    if (ctrl.empty_object()) {
        code = return_codes::missingControl;
    } else {
        notes.flagInt(cs->dbaccess, ctrl, "dbaccess");
        notes.flagInt(cs->redox, ctrl, "redox");
        notes.flagInt(cs->orgcmpd, ctrl, "orgcmpd");
        notes.integer(cs->csolvitmax, ctrl, "csolvitmax");
        notes.real(cs->csolvcvg, ctrl, "csolvcvg");
        notes.real(cs->csolvcmax, ctrl, "csolvcmax");
        notes.real(cs->csolvcmin, ctrl, "csolvcmin");
    }

    // Values the engine cannot run with take their defaults, told as the control
    // parameters' fields tell them typed.
    if (cs->csolvitmax < 1 || cs->csolvitmax > 10000) { // the engine runs 1 to 10000
        notes.refused(ctrl, "csolvitmax",
                      cs->csolvitmax < 1 ? QStringLiteral("at least 1")
                                         : QStringLiteral("at most 10000"),
                      [] { return QStringLiteral("31"); });
        cs->csolvitmax = 31;
    }
    // A limit must be a finite number above 0: "inf" or "nan" would let a run stop
    // at once as converged, or never.
    auto limit = [&notes, &ctrl](double &value, double fallback, const char *key) {
        if (value > 0.0 && std::isfinite(value))
            return;
        notes.refused(ctrl, key, QStringLiteral("must be greater than 0"),
                      [fallback] { return QString::number(fallback); });
        value = fallback;
    };
    limit(cs->csolvcvg, 1e-6, "csolvcvg");
    limit(cs->csolvcmax, 25.0, "csolvcmax");
    limit(cs->csolvcmin, 1e-36, "csolvcmin");
    // The accepted temperatures form a finite range, lowest below highest.
    if (!(std::isfinite(cs->TCmin) && std::isfinite(cs->TCmax) && cs->TCmin < cs->TCmax)) {
        qDebug() << "JR ##### control temperature range" << cs->TCmin << "-" << cs->TCmax
                 << "is no finite range; the default 0.1 - 350 C is used";
        cs->TCmin = 0.1;
        cs->TCmax = 350.0;
    }
    // Told with the values that took the place of those of another kind.
    notes.report(notes_read, "control parameters");

    if (!sdata->isOwned(sdata->ctrlset))
        delete sdata->ctrlset;
    sdata->ctrlset = cs;
    return code;
}

// ---- elements ---------------------------------------------------------------------

void jsdbfile_mgr::write_elements(jsdb_writer &w, sbatch *batch)
{
    const QList<const one_element *> elements = present(batch->sdata->elements);
    collection(
        w, QStringLiteral("nelements"), QStringLiteral("properties"), names_of(elements),
        [&](qsizetype i) {
            const one_element *el = elements.at(i);
            w.begin_object();
            w.text("basis", el->basis_name);
            w.num("basis_id", el->basis_id);
            w.num("cvtmtoppm", el->cvtmtoppm);
            w.num("molwt", el->mol_wt);
            w.text("name", el->name);
            w.num("nredoxsolutes", el->nredoxsolutes);
            w.num("order", int(i));
            w.flag("redoxelement", el->redoxelement);
            w.flag("redoxsolutes", el->redoxsolutes);
            w.num("tag", el->tag);
            w.end_object();
        },
        "elements");
}

int jsdbfile_mgr::read_elements(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "elements", present);
    if (!present)
        return return_codes::missingElements;

    const int declared = integer(section, "nelements");
    value_notes notes;
    const jrange keyed = notes.records(section, "properties", "no element was read");
    notes.report(notes_read, "elements");
    sdata->elements.reserve(sdata->elements.size() + keyed.size());
    for (const jvalue o : keyed) {
        auto *el = sdata->own(new one_element);
        notes.text(el->basis_name, o, "basis", unnamed);
        notes.integer(el->basis_id, o, "basis_id");
        // A factor of 0 is replaced by the molecular weight x 1000 after reading.
        notes.real(el->cvtmtoppm, o, "cvtmtoppm", [el] {
            return number_text(el->cvtmtoppm > 0.0 ? el->cvtmtoppm : el->mol_wt * 1000.0);
        });
        notes.real(el->mol_wt, o, "molwt");
        notes.text(el->name, o, "name", unnamed);
        notes.flagInt(el->redoxelement, o, "redoxelement");
        notes.flagInt(el->redoxsolutes, o, "redoxsolutes");
        notes.integer(el->tag, o, "tag");
        notes.report(notes_read, "element", &el->name);
        sdata->elements.append(el);
    }
    sdata->nelements = int(sdata->elements.size());
    count_mismatch(section, "nelements", sdata->elements.size(), declared, "element", "elements",
                   notes);
    notes.report(notes_read, "elements");
    return 0;
}

// ---- gases --------------------------------------------------------------------------

void jsdbfile_mgr::write_gases(jsdb_writer &w, sbatch *batch)
{
    const QList<const one_gas *> gases = present(batch->sdata->gases);
    collection(
        w, QStringLiteral("ngases"), QStringLiteral("properties"), names_of(gases),
        [&](qsizetype i) {
            const one_gas *gas = gases.at(i);
            w.begin_object();
            w.key("composition");
            write_comp_elements(w, gas->composition, gas->name);
            w.num("fcoeff", gas->fcoeff);
            w.text("formula", gas->formula);
            w.num("molwt", gas->mol_wt);
            w.text("name", gas->name);
            w.num("tag", gas->tag);
            w.text("type", gb.speciesType_toString(gas->type));
            w.end_object();
        },
        "gases");
}

int jsdbfile_mgr::read_gases(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "gases", present);
    if (!present)
        return return_codes::missingGases;

    const int declared = integer(section, "ngases");
    value_notes notes;
    const jrange keyed = notes.records(section, "properties", "no gas was read");
    notes.report(notes_read, "gases");
    sdata->gases.reserve(sdata->gases.size() + keyed.size());
    for (const jvalue o : keyed) {
        auto *gas = sdata->own(new one_gas);
        gas->composition = read_comp_elements(o, notes);
        notes.real(gas->fcoeff, o, "fcoeff");
        notes.text(gas->formula, o, "formula");
        notes.real(gas->mol_wt, o, "molwt");
        notes.text(gas->name, o, "name", unnamed);
        notes.integer(gas->tag, o, "tag");
        gas->type = gb.speciesType_toEnum(notes.text(o, "type", unknown_type));
        notes.report(notes_read, "gas", &gas->name);
        sdata->gases.append(gas);
    }
    sdata->ngases = int(sdata->gases.size());
    count_mismatch(section, "ngases", sdata->gases.size(), declared, "gas", "gases", notes);
    notes.report(notes_read, "gases");
    return 0;
}

// ---- solutes ------------------------------------------------------------------------

void jsdbfile_mgr::write_solutes(jsdb_writer &w, sbatch *batch)
{
    const QList<const one_solute *> solutes = present(batch->sdata->solutes);
    collection(
        w, QStringLiteral("nsolutes"), QStringLiteral("allsolutes"), names_of(solutes),
        [&](qsizetype i) {
            const one_solute *sol = solutes.at(i);
            w.begin_object();
            w.num("DHazero", sol->DHazero);
            w.num("charge", sol->charge);
            w.key("composition");
            write_comp_elements(w, sol->composition, sol->name);
            w.text("formula", sol->formula);
            w.num("molwt", sol->mol_wt);
            w.text("name", sol->name);
            w.num("tag", sol->tag);
            w.text("type", gb.speciesType_toString(sol->type));
            w.end_object();
        },
        "solutes");
}

int jsdbfile_mgr::read_solutes(const jvalue &top)
{
    bool present = false;
    const jvalue section = section_of(top, "solutes", present);
    if (!present)
        return return_codes::missingSolutes;

    const int declared = integer(section, "nsolutes");
    value_notes notes;
    const jrange keyed = notes.records(section, "allsolutes", "no solute was read");
    notes.report(notes_read, "solutes");
    sdata->solutes.reserve(sdata->solutes.size() + keyed.size());
    for (const jvalue o : keyed) {
        auto *sol = sdata->own(new one_solute);
        notes.real(sol->DHazero, o, "DHazero");
        notes.real(sol->charge, o, "charge");
        sol->composition = read_comp_elements(o, notes);
        notes.text(sol->formula, o, "formula");
        notes.real(sol->mol_wt, o, "molwt");
        notes.text(sol->name, o, "name", unnamed);
        notes.integer(sol->tag, o, "tag");
        sol->type = gb.speciesType_toEnum(notes.text(o, "type", unknown_type));
        notes.report(notes_read, "solute", &sol->name);
        sdata->solutes.append(sol);
    }
    sdata->nsolutes = int(sdata->solutes.size());
    count_mismatch(section, "nsolutes", sdata->solutes.size(), declared, "solute", "solutes",
                   notes);
    notes.report(notes_read, "solutes");
    return 0;
}
