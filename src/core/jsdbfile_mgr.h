#pragma once

#include "global.h"
#include "jsdb_reader.h"
#include "jsdb_writer.h"
#include "records.h"
#include "sbatch.h"

#include <QHash>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace jsdb_codec {

// The value encoding shared by every section of a ".jsdb" file. Writers turn each
// scalar into a JSON string; readers take a member as text (any other JSON type,
// or a missing member, reads as empty text) and convert it, so malformed values
// become 0, 0.0, false or an empty name instead of stopping the read.

/// The text of member `key` of `o`; empty when it is missing or not a string.
inline QString text(const jvalue &o, std::string_view key)
{
    return o.value(key).to_string();
}
/// The text as QString::toInt (base 10), QString::toLongLong and QString::toDouble
/// read it, with a quick path for the plain numbers files hold; 0 when malformed.
int to_int(const QString &text);
qint64 to_int64(const QString &text);
double to_double(const QString &text);

/// Base-10 integer of the text; 0 when it is not a whole number in 32 bits.
inline int integer(const jvalue &o, std::string_view key)
{
    return o.value(key).text_to_int();
}
/// Base-10 integer of the text for 64-bit fields (times in seconds); 0 when malformed.
inline qint64 integer64(const jvalue &o, std::string_view key)
{
    return o.value(key).text_to_int64();
}
/// Double of the text; 0.0 when it is not a number.
inline double real(const jvalue &o, std::string_view key)
{
    return o.value(key).text_to_double();
}
/// True when the integer of the text is not 0.
inline bool flagInt(const jvalue &o, std::string_view key)
{
    return integer(o, key) != 0;
}
/// True when the double of the text is not 0 (so "0.5" counts as set).
inline bool flagNum(const jvalue &o, std::string_view key)
{
    return real(o, key) != 0.0;
}

/// The value as compact JSON text (a text in quotes, with its quotes, backslashes
/// and control characters escaped as JSON writes them), cut short after 40 characters.
QString shown(const jvalue &v);
/// `v` as QString::number(v, 'g', QLocale::FloatingPointShortest) writes it.
QString number_text(double v);

/// Endings of notes on a text member left empty: a name, a species type.
inline constexpr const char *unnamed = "an empty name was used";
inline constexpr const char *unknown_type = "the type is unknown";

/// Reads the numbers, texts and lists of one record (a water, an element, a reaction
/// ...) exactly as real(), integer(), text() ... read them, and notes each member whose
/// value is of another kind: a list, an object, true or false, a number not written as
/// text, a text that is no number, a number no double holds as written (too small, or
/// not finite), told as a numeric field tells it, or anything but a text where a name
/// or another text belongs. Missing members, null and empty texts
/// stand for values not given and are not noted. Only values read as 0 or as no
/// normal finite number, or as an empty text, are looked at again, so a well-formed
/// record costs one comparison per value.
class value_notes
{
public:
    // The reads are inline and look again only at a value given and read as 0 or as
    // no normal finite number, so that a well-formed file reads as fast as without notes.

    /// Sets `field` to real(o, key), integer(o, key), ... and notes a value of another
    /// kind, told with what `field` holds when the notes are reported.
    void real(double &field, const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        field = v.text_to_double();
        if (!std::isnormal(field) && !v.is_null())
            note_real(v, key, field);
    }
    void integer(int &field, const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        field = v.text_to_int();
        if (field == 0 && !v.is_null())
            note_integer(v, key, field);
    }
    void integer64(qint64 &field, const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        field = v.text_to_int64();
        if (field == 0 && !v.is_null())
            note_integer64(v, key, field);
    }
    void flagInt(bool &field, const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        field = v.text_to_int() != 0;
        if (!field && !v.is_null())
            note_flag(v, key, field, false);
    }
    void flagNum(bool &field, const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        field = v.text_to_double() != 0.0;
        if (!field && !v.is_null())
            note_flag(v, key, field, true);
    }
    /// As real(field, o, key), told with `used()` as the value used in its place.
    void real(double &field, const jvalue &o, std::string_view key, std::function<QString()> used);
    /// real(o, key) and integer(o, key) for values that go into lists; a value noted
    /// is told as it was read.
    double real(const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        const double x = v.text_to_double();
        if (!std::isnormal(x) && !v.is_null())
            note_value(v, key, x);
        return x;
    }
    int integer(const jvalue &o, std::string_view key)
    {
        const jvalue v = o.value(key);
        const int n = v.text_to_int();
        if (n == 0 && !v.is_null())
            note_value(v, key, n);
        return n;
    }
    /// Sets `field` to text(o, key) and notes a value given and of another kind: a
    /// number, a list, an object, true or false. The note ends with `instead`, or
    /// with "an empty text was used".
    void text(QString &field, const jvalue &o, std::string_view key, const char *instead = nullptr)
    {
        const jvalue v = o.value(key);
        field = v.to_string();
        if (field.isEmpty() && !v.is_null())
            note_text(v, key, instead);
    }
    /// text(o, key), noted as text(field, o, key, instead) notes it.
    QString text(const jvalue &o, std::string_view key, const char *instead = nullptr)
    {
        QString field;
        text(field, o, key, instead);
        return field;
    }
    /// text(o, key) for a member whose text names what its field takes in its place
    /// when there is none (a default unit, model or name); a value of another kind is
    /// noted, told with `used()`, the text taken, when the notes are reported.
    template<class Used>
    QString text_or(const jvalue &o, std::string_view key, Used &&used)
    {
        const jvalue v = o.value(key);
        QString field = v.to_string();
        if (field.isEmpty() && !v.is_null())
            note_text(v, key, std::function<QString()>(std::forward<Used>(used)));
        return field;
    }
    /// The integer of member `key` stored as a JSON number (the header's "compTag");
    /// 0, and a note, for a text, a fraction or a value of another JSON type.
    void json_integer(int &field, const jvalue &o, std::string_view key);
    /// The elements of member `key`; none, and a note, when it holds no list. The note
    /// ends with `instead`, or with "an empty list was used" when it is null.
    jrange list(const jvalue &o, std::string_view key, const char *instead = nullptr)
    {
        const jvalue v = o.value(key);
        if (v.type() != jvalue::array && !v.is_null())
            note_list(v, key, instead);
        return v.elements();
    }
    /// Member `key` of `o` when it holds an object; otherwise no value, and a note
    /// ending with `instead` when it holds a value of another kind.
    jvalue object(const jvalue &o, std::string_view key, const char *instead);
    /// The records keyed by name under member `key` (as "allwaters"); none, and a note
    /// ending with `instead`, when it holds no object. A record that is no object is
    /// noted and stays, read with no values.
    jrange records(const jvalue &o, std::string_view key, const char *instead);
    /// The texts of the list under member `key` (as a redox pair's "solutes"); an
    /// element of another kind reads as an empty name and is noted.
    QStringList names(const jvalue &o, std::string_view key);
    /// Sets `field` to a flag written as true or false (or as the text of a whole
    /// number, not 0 for true); anything else reads as false and is noted.
    void boolean(bool &field, const jvalue &o, std::string_view key);
    /// Notes member `key` of `o`, a number of the right kind that the program does not
    /// take (`why`, as its field words it, e.g. "at most 10000"), unless it is noted
    /// already; told with `used()` as the value used in its place.
    void refused(const jvalue &o, std::string_view key, const QString &why,
                 std::function<QString()> used);
    /// Notes a record count `key` of `section` that is given and is not the `found`
    /// records read (`one`/`many` name one and several of them, e.g. "water"). A
    /// count written as a number is read as the number it is.
    void count(const jvalue &section, std::string_view key, qsizetype found, const char *one,
               const char *many);

    /// The values read next belong to `part` of the record (e.g. "composition"), in
    /// the entry for `name` when given; null for the record itself. `name` must
    /// live until the next call.
    void within(const char *part, const QString *name = nullptr)
    {
        this->part = part;
        this->name = name;
        this->entry = 0;
    }
    /// The values read next belong to entry `entry` (from 1) of the list `part`, told
    /// by `name` instead once that is not empty (the entry's name may be read next).
    void within(const char *part, qsizetype entry, const QString *name = nullptr)
    {
        this->part = part;
        this->name = name;
        this->entry = entry;
    }
    /// Appends a line for each value noted, e.g. `water "w1": "TC" is [1,2], not a
    /// number; 0 was used` (`where` and the `record`'s name, the key, the value as the
    /// file has it, why it is of another kind, what its field holds now), forgets
    /// them and goes back to the record itself (within(nullptr)).
    void report(QStringList &lines, const char *where, const QString *record = nullptr);

private:
    enum class kind : quint8 { number, whole, whole64, flag, json_whole };
    // The second looks of the reads above, each noting `v` when it is of another
    // kind; told with what the field holds at report() or with the value read.
    void note_real(const jvalue &v, std::string_view key, const double &field);
    void note_integer(const jvalue &v, std::string_view key, const int &field);
    void note_integer64(const jvalue &v, std::string_view key, const qint64 &field);
    void note_flag(const jvalue &v, std::string_view key, const bool &field, bool number);
    void note_value(const jvalue &v, std::string_view key, double read);
    void note_value(const jvalue &v, std::string_view key, int read);
    void note_list(const jvalue &v, std::string_view key, const char *instead);
    void note_text(const jvalue &v, std::string_view key, const char *instead);
    void note_text(const jvalue &v, std::string_view key, std::function<QString()> used);
    static QString wrong_kind(const jvalue &v, kind expected);
    /// Notes `v`, read as 0 or as no normal finite number, when it is not of the `expected`
    /// kind; `used()` tells what its field holds.
    template<class Used>
    void look(const jvalue &v, std::string_view key, kind expected, Used &&used);
    /// The key, with the part of the record and the entry it stands in.
    QString member(std::string_view key) const;

    struct note
    {
        QString member; ///< the key, with the part of the record it is in
        QString value; ///< the value as the file has it
        QString why; ///< e.g. "not a number"
        std::function<QString()> used; ///< the value its field holds
        const char *instead = nullptr; ///< told in place of "<used> was used" when set
    };
    std::vector<note> notes;
    const char *part = nullptr;
    const QString *name = nullptr;
    qsizetype entry = 0;
};

/// Member keys for records named `names`, in the same order: a name that repeats
/// gets "name (2)", "name (3)", ... (never another record's name) so every record
/// keeps its own member. Each repeat is logged with `what` (e.g. "elements").
QStringList unique_keys(const QStringList &names, const char *what);

/// The records of `list` that are there (not null), in list order.
template<class Record>
QList<const Record *> present(const QList<Record *> &list)
{
    QList<const Record *> records;
    records.reserve(list.size());
    for (const Record *r : list)
        if (r)
            records.append(r);
    return records;
}

/// The names of `records`, in the same order.
template<class Record>
QStringList names_of(const QList<const Record *> &records)
{
    QStringList names;
    names.reserve(records.size());
    for (const Record *r : records)
        names.append(r->name);
    return names;
}

/// A collection: count, names in list order, and the records keyed by unique name,
/// in key order; `write_record(i)` writes the record named `names[i]` as an object.
void collection(jsdb_writer &w, const QString &countKey, const QString &mapKey,
                const QStringList &names, const std::function<void(qsizetype)> &write_record,
                const char *what);

} // namespace jsdb_codec

/// Reader and writer of ".jsdb" configuration files: one JSON object whose eight
/// sections hold a configuration (header, control parameters, elements, gases,
/// solutes, reactions, redox choices, waters).
///
/// Reading fills the manager's own `sdata`; writing takes any batch and reads
/// nothing of the manager but its stateless `global`. Every scalar is stored as a
/// JSON string (integers in base 10, doubles with 6 significant digits, the
/// coefficients of equilibrium-constant equations with 17 so that log K survives a
/// save unchanged); keys of every object are sorted.
class jsdbfile_mgr
{
public:
    /// Creates the manager and its own zero-filled configuration record.
    jsdbfile_mgr();
    /// Releases `sdata` and every record registered with it.
    ~jsdbfile_mgr();
    jsdbfile_mgr(const jsdbfile_mgr &) = delete;
    jsdbfile_mgr &operator=(const jsdbfile_mgr &) = delete;

    /// The configuration read from a file; owned by the manager.
    sim_data *sdata = nullptr;
    /// Simulation type taken from the header of the file read (`simulation_type`).
    int simtype = 0;

    // ---- document ---------------------------------------------------------------

    /// Reads the file at `path` into `sdata`. Returns 0 when every section was read,
    /// 1 when some were missing or empty (their codes are in read_codes(); the rest
    /// is read), 2 when the file cannot be opened, holds no JSON object or none of
    /// the eight sections (nothing of `sdata` is touched; messages() tells why and
    /// where).
    int jsdbfile_json_read(QString path);
    /// Writes the eight sections of `batch` to its `sim_data` `file` path, replacing
    /// the file only once the whole text is safely on disk. Returns 0, or 1 when the
    /// file cannot be opened, written or committed (the previous file is then left
    /// exactly as it was; messages() names the path and the reason).
    int jsdbfile_json_new(sbatch *batch);
    /// The same as jsdbfile_json_new.
    int jsdbfile_json_save(sbatch *batch);
    /// Writes `top` as indented JSON to the batch's file, replacing it only once the
    /// whole text is safely on disk. Returns 0 on success (or when `top` is empty and
    /// nothing is written), 1 when the file cannot be opened, written or committed;
    /// the previous file is then left exactly as it was.
    int jsdbfile_json_write(sbatch *batch, QJsonObject top);
    /// Writes each object of `items` as its own indented JSON text, one after another.
    int jsdbfile_jsonarray_write(sbatch *batch, QJsonArray items);
    /// Writes, for each object of `items`, the value held under its first key as
    /// indented JSON text; objects without keys are skipped.
    int jsdbfile_jsonvector_write(sbatch *batch, QList<QJsonObject> items);

    /// Repairs `sdata` after the section readers: reaction element lists, molal-to-ppm
    /// factors and out-of-range activity models. Returns 0.
    int json_read_patch();

    /// Section codes collected by the last read (1101 .. 1801), in reader order.
    QList<int> read_codes() const { return codes; }
    /// Human-readable reasons for the last failed read or write; after a read that
    /// is not refused, a line for each section of read_codes(), in that order.
    QStringList messages() const { return msgs; }
    /// Of the last read (none when it was refused): a line for each value of another
    /// kind than its member takes, and for each record count unlike the records
    /// found, naming the section and record, the key, the value as the file has it
    /// and what was used instead; in reader order.
    QStringList read_notes() const { return notes_read; }

    // ---- sections ---------------------------------------------------------------

    /// "header": file identity, versions of the writing program, database reference.
    QJsonObject json_write_header(sbatch *batch);
    /// "control parameters": the batch's `one_ctrlset`.
    QJsonObject json_write_ctrlparameters(sbatch *batch);
    /// "elements", "gases", "solutes": the chemical system's species.
    QJsonObject json_write_elements(sbatch *batch);
    QJsonObject json_write_gases(sbatch *batch);
    QJsonObject json_write_solutes(sbatch *batch);
    /// "reactions": aqueous and gas reactions with their equilibrium constants.
    QJsonObject json_write_rxns(sbatch *batch);
    /// One kind of reactions: count, names and the reaction objects keyed by name.
    QJsonObject json_write_rxnstype(QList<one_rxn *> rxns);
    /// "redox": the chosen redox pairs of elements and redox reactions of gases.
    QJsonObject json_write_redox(sbatch *batch);
    /// "waters": every water with its conditions, mixing record and latest result.
    QJsonObject json_write_waters(sbatch *batch);

    /// Section readers: each takes the whole document object and returns 0 or its
    /// code when its section is missing or empty (1101, 1201, 1301, 1401, 1501, 1601,
    /// 1801; the redox reader always returns 0).
    int json_read_header(QJsonObject top);
    int json_read_ctrlparameters(QJsonObject top);
    int json_read_elements(QJsonObject top);
    int json_read_gases(QJsonObject top);
    int json_read_solutes(QJsonObject top);
    int json_read_rxns(QJsonObject top);
    /// Builds new reaction records (registered with `sdata`) from one kind's object.
    QList<one_rxn *> json_read_rxnstype(QJsonObject rxnset);
    int json_read_redox(QJsonObject top);
    int json_read_waters(QJsonObject top);

    // ---- look-ups -----------------------------------------------------------------

    /// Distinct element names of a reaction's species, in the order first met.
    QList<QString> rxn_compile_list_elements(one_comp_solutes *comp);
    /// Position of the species in `sdata`'s solutes, liquids or gases, ignoring case; -9 if absent.
    int find_idxSD_solute(QString name);
    int find_idxSD_liquid(QString name);
    int find_idxSD_gas(QString name);
    /// Sets `sdata`'s solid counts to 0.
    void compile_list_solids();

private:
    using jvalue = jsdb_codec::jvalue;

    using jsdb_writer = jsdb_codec::jsdb_writer;

    // Writers put the text of their section (an object, members in key order)
    // straight into the writer; the public section operations above convert to
    // Qt's JSON types around these.
    void write_document_text(jsdb_writer &w, sbatch *batch);
    void write_header(jsdb_writer &w, sbatch *batch);
    void write_ctrlparameters(jsdb_writer &w, sbatch *batch);
    void write_elements(jsdb_writer &w, sbatch *batch);
    void write_gases(jsdb_writer &w, sbatch *batch);
    void write_solutes(jsdb_writer &w, sbatch *batch);
    void write_rxns(jsdb_writer &w, sbatch *batch);
    void write_rxnstype(jsdb_writer &w, const QList<one_rxn *> &rxns);
    void write_redox(jsdb_writer &w, sbatch *batch);
    void write_waters(jsdb_writer &w, sbatch *batch);

    // The sections read from a parsed document; the public section readers above
    // hand Qt's objects over as text.
    int read_document_tree(const jvalue &top);
    int read_header(const jvalue &top);
    int read_ctrlparameters(const jvalue &top);
    int read_elements(const jvalue &top);
    int read_gases(const jvalue &top);
    int read_solutes(const jvalue &top);
    int read_rxns(const jvalue &top);
    /// Notes go under `where`, e.g. "aqueous reaction".
    QList<one_rxn *> read_rxnstype(const jvalue &rxnset, const char *where = "reaction");
    int read_redox(const jvalue &top);
    int read_waters(const jvalue &top);

    /// Saves `bytes` safely to `path`: returns 0, or 1 with messages() set, the old
    /// file then left as it was.
    int write_document(const QString &path, const QByteArray &bytes);

    /// Lower-cased name -> first position in `sdata`'s lists, built while the patch
    /// runs so that compiling reaction elements does not rescan the lists.
    struct name_index
    {
        QHash<QString, int> solutes, liquids, gases;
    };
    const name_index *index = nullptr;

    global gb;
    QList<int> codes;
    QStringList msgs;
    QStringList notes_read; ///< see read_notes()
    /// Memory for the text of a save, kept from one save to the next.
    QByteArray save_buffer;
};
