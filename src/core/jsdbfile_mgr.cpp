// Document level of the ".jsdb" configuration file: reading and writing the file,
// the repairs after reading, and the name look-ups the repairs use.

#include "jsdbfile_mgr.h"
#include "return_codes.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

namespace jsdb_codec {

QStringList unique_keys(const QStringList &names, const char *what)
{
    const QSet<QString> taken(names.cbegin(), names.cend());
    // Readers take records in key order. A name repeated ten times or more gets
    // suffixes padded to one width ("X (02)" .. "X (11)"), so that its repeats sort
    // in list order and a save of what was read writes the same file again.
    QHash<QString, int> repeats;
    for (const QString &name : names)
        ++repeats[name];
    QSet<QString> used;
    QStringList keys;
    keys.reserve(names.size());
    for (const QString &name : names) {
        QString key = name;
        if (used.contains(key)) {
            // The largest suffix: one per repeat, plus the real names it must skip.
            int largest = repeats.value(name);
            for (const QString &other : taken)
                largest += other.startsWith(name + QStringLiteral(" (")) ? 1 : 0;
            const int width = int(QString::number(largest).size());
            int n = 2;
            do {
                key = QStringLiteral("%1 (%2)").arg(name).arg(n++, width, 10, QLatin1Char('0'));
            } while (taken.contains(key) || used.contains(key));
            qDebug() << "JW ##### repeated name in" << what << ":" << name << "stored under" << key;
        }
        used.insert(key);
        keys << key;
    }
    return keys;
}

void collection(jsdb_writer &w, const QString &countKey, const QString &mapKey,
                const QStringList &names, const std::function<void(qsizetype)> &write_record,
                const char *what)
{
    const QStringList keys = unique_keys(names, what);
    // Records go out in key order, so that each lands in its place at once.
    std::vector<qsizetype> order(size_t(keys.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::sort(order.begin(), order.end(),
              [&keys](qsizetype a, qsizetype b) { return keys.at(a) < keys.at(b); });

    // The three members in key order too; which comes first depends on the names.
    auto count = [&] { w.num(countKey, int(names.size())); };
    auto list = [&] {
        w.key("list");
        w.strings(names);
    };
    auto keyed = [&] {
        w.key(mapKey);
        w.begin_object();
        for (const qsizetype i : order) {
            w.key(keys.at(i));
            write_record(i);
        }
        w.end_object();
    };
    struct part
    {
        QString key;
        std::function<void()> write;
    };
    part parts[] = {{countKey, count}, {QStringLiteral("list"), list}, {mapKey, keyed}};
    std::sort(std::begin(parts), std::end(parts),
              [](const part &a, const part &b) { return a.key < b.key; });
    w.begin_object();
    for (const part &p : parts)
        p.write();
    w.end_object();
}

} // namespace jsdb_codec

namespace {
QString section_name(int code)
{
    switch (code) {
    case 1101:
        return QStringLiteral("header");
    case 1201:
        return QStringLiteral("control parameters");
    case 1301:
        return QStringLiteral("elements");
    case 1401:
        return QStringLiteral("gases");
    case 1501:
        return QStringLiteral("solutes");
    case 1601:
        return QStringLiteral("reactions");
    case 1801:
        return QStringLiteral("waters");
    default:
        return QString::number(code);
    }
}
} // namespace

jsdbfile_mgr::jsdbfile_mgr()
    : sdata(new sim_data)
{
    sdata->initCode = 2;
}

jsdbfile_mgr::~jsdbfile_mgr()
{
    delete sdata;
}

int jsdbfile_mgr::jsdbfile_json_read(QString path)
{
    codes.clear();
    msgs.clear();
    notes_read.clear();

    QFile file(path);
    // Binary mode: line ends are whitespace to the parser anyway, and text-mode
    // translation costs more than the whole parse of a large file.
    if (!file.open(QIODevice::ReadOnly)) {
        msgs << QStringLiteral("Cannot open the configuration file %1: %2")
                    .arg(path, file.errorString());
        qDebug() << "JM: #### cannot open the configuration file" << path << file.errorString();
        return return_codes::fileNotOpened;
    }
    // Text inside strings is decoded as UTF-8 by the parser (malformed sequences
    // become replacement characters); anything else malformed is a syntax error.
    const QByteArray bytes = file.readAll();
    file.close();

    // A file that is not a JSON object is refused as a whole: reading it as an empty
    // configuration would let a later save put defaults over the user's file.
    QString parseError;
    qsizetype offset = 0;
    jsdb_codec::jdocument doc;
    if (!doc.parse(bytes, &parseError, &offset)) {
        msgs << QStringLiteral("The configuration file %1 is not valid JSON: %2 at offset %3")
                    .arg(path, parseError, QString::number(offset));
        qDebug() << "JM: #### the configuration file" << path << "is not valid JSON:" << parseError
                 << "at offset" << offset;
        return return_codes::fileNotOpened;
    }
    if (doc.root().type() != jvalue::object) {
        msgs << QStringLiteral("The configuration file %1 does not hold a JSON object").arg(path);
        qDebug() << "JM: #### the configuration file" << path << "does not hold a JSON object";
        return return_codes::fileNotOpened;
    }
    // An object without any of the sections is some other JSON file, not an old
    // or partial configuration.
    bool anySection = false;
    for (const char *key : {"header", "control parameters", "elements", "gases", "solutes",
                            "reactions", "redox", "waters"})
        anySection = anySection || doc.root().contains(key);
    if (!anySection) {
        msgs << QStringLiteral("The file %1 holds none of the sections of a configuration")
                    .arg(path);
        qDebug() << "JM: #### the file" << path << "holds none of the sections of a configuration";
        return return_codes::fileNotOpened;
    }
    return read_document_tree(doc.root());
}

int jsdbfile_mgr::read_document_tree(const jvalue &top)
{
    const int results[] = {
        read_header(top),  read_ctrlparameters(top), read_elements(top), read_gases(top),
        read_solutes(top), read_rxns(top),           read_redox(top),    read_waters(top),
    };
    for (int code : results)
        if (code != 0)
            codes << code;

    json_read_patch();

    if (!codes.isEmpty()) {
        qDebug() << "JM: errors : " << codes;
        for (int code : std::as_const(codes))
            msgs << QStringLiteral("The section \"%1\" is missing or empty (code %2)")
                        .arg(section_name(code))
                        .arg(code);
        return return_codes::failed;
    }
    return return_codes::success;
}

int jsdbfile_mgr::jsdbfile_json_new(sbatch *batch)
{
    return jsdbfile_json_save(batch);
}

int jsdbfile_mgr::jsdbfile_json_save(sbatch *batch)
{
    msgs.clear();
    if (!batch || !batch->sdata) {
        msgs << QStringLiteral("No configuration to save");
        qDebug() << "JM: #### no configuration to save";
        return return_codes::failed;
    }
    // The whole text is built in memory first (a few megabytes at most), then
    // written in one call.
    jsdb_writer w(std::move(save_buffer));
    write_document_text(w, batch);
    save_buffer = w.finish();
    const int rc = write_document(batch->sdata->file, save_buffer);
    save_buffer.resize(0); // its memory stays for the next save
    return rc;
}

void jsdbfile_mgr::write_document_text(jsdb_writer &w, sbatch *batch)
{
    // In key order.
    w.begin_object();
    w.key("control parameters");
    write_ctrlparameters(w, batch);
    w.key("elements");
    write_elements(w, batch);
    w.key("gases");
    write_gases(w, batch);
    w.key("header");
    write_header(w, batch);
    w.key("reactions");
    write_rxns(w, batch);
    w.key("redox");
    write_redox(w, batch);
    w.key("solutes");
    write_solutes(w, batch);
    w.key("waters");
    write_waters(w, batch);
    w.end_object();
}

// ---- section operations on Qt's JSON types ---------------------------------------------

namespace {
// A section as Qt's JSON object, through its text.
QJsonObject section_object(const std::function<void(jsdb_codec::jsdb_writer &)> &write)
{
    jsdb_codec::jsdb_writer w;
    write(w);
    return QJsonDocument::fromJson(w.finish()).object();
}
} // namespace

QJsonObject jsdbfile_mgr::json_write_header(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_header(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_ctrlparameters(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_ctrlparameters(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_elements(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_elements(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_gases(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_gases(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_solutes(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_solutes(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_rxns(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_rxns(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_rxnstype(QList<one_rxn *> rxns)
{
    return section_object([&](jsdb_writer &w) { write_rxnstype(w, rxns); });
}
QJsonObject jsdbfile_mgr::json_write_redox(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_redox(w, batch); });
}
QJsonObject jsdbfile_mgr::json_write_waters(sbatch *batch)
{
    return section_object([&](jsdb_writer &w) { write_waters(w, batch); });
}

namespace {
// A Qt JSON object as the section readers take it: through its text.
struct parsed : jsdb_codec::jdocument
{
    explicit parsed(const QJsonObject &o)
    {
        parse(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }
};
} // namespace

int jsdbfile_mgr::json_read_header(QJsonObject top)
{
    const parsed doc(top);
    return read_header(doc.root());
}
int jsdbfile_mgr::json_read_ctrlparameters(QJsonObject top)
{
    const parsed doc(top);
    return read_ctrlparameters(doc.root());
}
int jsdbfile_mgr::json_read_elements(QJsonObject top)
{
    const parsed doc(top);
    return read_elements(doc.root());
}
int jsdbfile_mgr::json_read_gases(QJsonObject top)
{
    const parsed doc(top);
    return read_gases(doc.root());
}
int jsdbfile_mgr::json_read_solutes(QJsonObject top)
{
    const parsed doc(top);
    return read_solutes(doc.root());
}
int jsdbfile_mgr::json_read_rxns(QJsonObject top)
{
    const parsed doc(top);
    return read_rxns(doc.root());
}
QList<one_rxn *> jsdbfile_mgr::json_read_rxnstype(QJsonObject rxnset)
{
    const parsed doc(rxnset);
    return read_rxnstype(doc.root());
}
int jsdbfile_mgr::json_read_redox(QJsonObject top)
{
    const parsed doc(top);
    return read_redox(doc.root());
}
int jsdbfile_mgr::json_read_waters(QJsonObject top)
{
    const parsed doc(top);
    return read_waters(doc.root());
}

int jsdbfile_mgr::jsdbfile_json_write(sbatch *batch, QJsonObject top)
{
    msgs.clear();
    if (top.isEmpty())
        return 0;
    if (!batch || !batch->sdata) {
        msgs << QStringLiteral("No configuration file to write to");
        qDebug() << "JM: #### no configuration file to write to";
        return return_codes::failed;
    }
    return write_document(batch->sdata->file, QJsonDocument(top).toJson(QJsonDocument::Indented));
}

int jsdbfile_mgr::jsdbfile_jsonarray_write(sbatch *batch, QJsonArray items)
{
    msgs.clear();
    if (items.isEmpty() || !batch || !batch->sdata)
        return 0;
    QByteArray bytes;
    for (const QJsonValue &item : std::as_const(items))
        bytes += QJsonDocument(item.toObject()).toJson(QJsonDocument::Indented);
    return write_document(batch->sdata->file, bytes);
}

int jsdbfile_mgr::jsdbfile_jsonvector_write(sbatch *batch, QList<QJsonObject> items)
{
    msgs.clear();
    if (!batch || !batch->sdata)
        return 0;
    QByteArray bytes;
    for (const QJsonObject &item : std::as_const(items)) {
        if (item.isEmpty())
            continue;
        bytes += QJsonDocument(item.begin().value().toObject()).toJson(QJsonDocument::Indented);
    }
    if (bytes.isEmpty())
        return 0;
    return write_document(batch->sdata->file, bytes);
}

// The text goes to a temporary file beside the target, which replaces the target
// only after everything was written: a failed save leaves the old file untouched.
int jsdbfile_mgr::write_document(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    QString failure;
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        failure = QStringLiteral("cannot be opened for writing");
    } else if (out.write(bytes) != bytes.size()) {
        failure = QStringLiteral("cannot be written");
        out.cancelWriting();
    } else if (!out.commit()) {
        failure = QStringLiteral("cannot be saved");
    }
    if (failure.isEmpty())
        return 0;

    msgs
        << QStringLiteral("The configuration file %1 %2: %3").arg(path, failure, out.errorString());
    qDebug() << "JM: #### the configuration file" << path << failure << ":" << out.errorString();
    return return_codes::failed;
}

namespace {
template<typename Record>
QHash<QString, int> index_by_name(const QList<Record *> &list)
{
    QHash<QString, int> index;
    index.reserve(list.size());
    // From the back, so that of several equal names the first position wins.
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        if (list.at(i))
            index.insert(list.at(i)->name.toLower(), int(i));
    return index;
}
} // namespace

int jsdbfile_mgr::json_read_patch()
{
    const name_index names {index_by_name(sdata->solutes), index_by_name(sdata->liquids),
                            index_by_name(sdata->gases)};
    index = &names;
    for (one_rxn *rxn : std::as_const(sdata->rxnsAqueous))
        rxn->elements = rxn_compile_list_elements(rxn->composition);
    for (one_rxn *rxn : std::as_const(sdata->rxnsGas))
        rxn->elements = rxn_compile_list_elements(rxn->composition);
    index = nullptr;

    for (one_element *element : std::as_const(sdata->elements))
        if (element->cvtmtoppm <= 0.0)
            element->cvtmtoppm = element->mol_wt * 1000.0;

    for (qsizetype i = 0; i < sdata->waters.size(); ++i) {
        one_water *water = sdata->waters.at(i);
        if (water->activitymethod >= 5) {
            water->activitymethod = 4;
            qDebug() << "JFM: ## solute activity correction method for water " << i << water->name
                     << " not set.";
            qDebug() << "        setting to default " << 4;
        }
        if (water->activitywater >= 3) {
            water->activitywater = 1;
            qDebug() << "JFM: ## water activity correction method for water " << i << water->name
                     << " not set.";
            qDebug() << "        setting to default " << 1;
        }
    }
    return 0;
}

QList<QString> jsdbfile_mgr::rxn_compile_list_elements(one_comp_solutes *comp)
{
    QList<QString> names;
    if (!comp)
        return names;
    for (const QString &species : std::as_const(comp->solute)) {
        one_comp_elements *found = nullptr;
        int idx = find_idxSD_solute(species);
        if (idx != -9) {
            found = sdata->solutes.at(idx)->composition;
        } else if ((idx = find_idxSD_liquid(species)) != -9) {
            found = sdata->liquids.at(idx)->composition;
        } else if ((idx = find_idxSD_gas(species)) != -9) {
            found = sdata->gases.at(idx)->composition;
        } else {
            qDebug() << "DD ####  solute [ " << species << " ] not found in the database";
            continue;
        }
        if (!found)
            continue;
        for (const QString &element : std::as_const(found->element))
            if (!names.contains(element))
                names << element;
    }
    return names;
}

namespace {
template<typename Record>
int find_by_name(const QList<Record *> &list, const QString &name)
{
    const QString wanted = name.toLower();
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i) && list.at(i)->name.toLower() == wanted)
            return int(i);
    return -9;
}
} // namespace

int jsdbfile_mgr::find_idxSD_solute(QString name)
{
    return index ? index->solutes.value(name.toLower(), -9) : find_by_name(sdata->solutes, name);
}

int jsdbfile_mgr::find_idxSD_liquid(QString name)
{
    return index ? index->liquids.value(name.toLower(), -9) : find_by_name(sdata->liquids, name);
}

int jsdbfile_mgr::find_idxSD_gas(QString name)
{
    return index ? index->gases.value(name.toLower(), -9) : find_by_name(sdata->gases, name);
}

void jsdbfile_mgr::compile_list_solids()
{
    sdata->nsolids = 0;
    sdata->nrxnsSolid = 0;
}
