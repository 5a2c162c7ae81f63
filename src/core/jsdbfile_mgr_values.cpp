// Values of another kind than their member takes in configuration files: a list, an
// object or a word where a number belongs. They are read as ever (as 0 mostly), and
// the user is told which they were and what was used in their place.

#include "format_fields.h"
#include "jsdbfile_mgr.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace jsdb_codec {

namespace {

constexpr qsizetype shown_length = 40;

// A text as JSON writes it between its quotes, so that the note shows the file's
// own characters and each note stays on one line.
void append_escaped(QString &out, const QString &text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
}

void append_json(QString &out, const jvalue &v)
{
    if (out.size() > shown_length)
        return;
    auto append_all = [&out](const jrange &values, QChar open, QChar close, bool keys) {
        out += open;
        bool first = true;
        for (const jvalue e : values) {
            if (!std::exchange(first, false))
                out += QLatin1Char(',');
            if (keys) {
                out += QLatin1Char('"');
                append_escaped(out, e.key());
                out += QLatin1String("\":");
            }
            append_json(out, e);
        }
        out += close;
    };
    switch (v.type()) {
    case jvalue::null_value:
        out += QLatin1String("null");
        break;
    case jvalue::boolean:
        out += QLatin1String(v.to_bool() ? "true" : "false");
        break;
    case jvalue::number:
        out += number_text(v.to_double());
        break;
    case jvalue::string:
        out += QLatin1Char('"');
        append_escaped(out, v.to_string());
        out += QLatin1Char('"');
        break;
    case jvalue::array:
        append_all(v.elements(), QLatin1Char('['), QLatin1Char(']'), false);
        break;
    case jvalue::object:
        append_all(v.members(), QLatin1Char('{'), QLatin1Char('}'), true);
        break;
    }
}

// A value as its field holds it: one nearer to 0 than the smallest normal double
// with the digits it kept, so that a note says how much of the number is left.
QString held_text(double v)
{
    return std::fpclassify(v) == FP_SUBNORMAL ? QString::number(v, 'g', 17) : number_text(v);
}

// Why the text of a number member is no number a field holds, as a numeric field
// tells it; blanks alone are no number begun.
QString number_reason(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("not a number");
    return number_text_refusal(text);
}

QString quoted(std::string_view key)
{
    return QLatin1Char('"') + QLatin1String(key.data(), qsizetype(key.size())) + QLatin1Char('"');
}

// A key of the file, escaped as JSON writes it.
QString quoted(const QString &key)
{
    QString out = QStringLiteral("\"");
    append_escaped(out, key);
    return out + QLatin1Char('"');
}

} // namespace

QString number_text(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString shown(const jvalue &v)
{
    QString out;
    append_json(out, v);
    if (out.size() > shown_length)
        out = out.left(shown_length) + QLatin1String("...");
    return out;
}

template<class Used>
void value_notes::look(const jvalue &v, std::string_view key, kind expected, Used &&used)
{
    QString why = wrong_kind(v, expected);
    if (why.isEmpty())
        return;
    notes.push_back({member(key), shown(v), std::move(why), std::forward<Used>(used)});
}

void value_notes::note_real(const jvalue &v, std::string_view key, const double &field)
{
    look(v, key, kind::number, [&field] { return held_text(field); });
}

void value_notes::refused(const jvalue &o, std::string_view key, const QString &why,
                          std::function<QString()> used)
{
    const jvalue v = o.value(key);
    const QString m = member(key);
    const bool noted
        = std::any_of(notes.begin(), notes.end(), [&m](const note &n) { return n.member == m; });
    if (!v.is_null() && !noted)
        notes.push_back({m, shown(v), why, std::move(used)});
}

void value_notes::note_integer(const jvalue &v, std::string_view key, const int &field)
{
    look(v, key, kind::whole, [&field] { return QString::number(field); });
}

void value_notes::note_integer64(const jvalue &v, std::string_view key, const qint64 &field)
{
    look(v, key, kind::whole64, [&field] { return QString::number(field); });
}

void value_notes::note_flag(const jvalue &v, std::string_view key, const bool &field, bool number)
{
    look(v, key, number ? kind::number : kind::flag,
         [&field] { return QString::number(int(field)); });
}

void value_notes::note_value(const jvalue &v, std::string_view key, double read)
{
    look(v, key, kind::number, [read] { return held_text(read); });
}

void value_notes::note_value(const jvalue &v, std::string_view key, int read)
{
    look(v, key, kind::whole, [read] { return QString::number(read); });
}

void value_notes::note_list(const jvalue &v, std::string_view key, const char *instead)
{
    notes.push_back({member(key), shown(v), QStringLiteral("not a list"),
                     [] { return QStringLiteral("an empty list"); }, instead});
}

// A text member holding no text: empty texts, like missing ones, are not given.
void value_notes::note_text(const jvalue &v, std::string_view key, const char *instead)
{
    if (v.type() == jvalue::string)
        return;
    notes.push_back({member(key),
                     shown(v),
                     QStringLiteral("not a text"),
                     {},
                     instead ? instead : "an empty text was used"});
}

void value_notes::note_text(const jvalue &v, std::string_view key, std::function<QString()> used)
{
    if (v.type() == jvalue::string)
        return;
    notes.push_back({member(key), shown(v), QStringLiteral("not a text"),
                     [used = std::move(used)] { return quoted(used()); }});
}

void value_notes::real(double &field, const jvalue &o, std::string_view key,
                       std::function<QString()> used)
{
    const jvalue v = o.value(key);
    field = v.text_to_double();
    if (!std::isnormal(field))
        look(v, key, kind::number, std::move(used));
}

void value_notes::json_integer(int &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.to_int();
    if (field == 0)
        look(v, key, kind::json_whole, [] { return QStringLiteral("0"); });
}

void value_notes::count(const jvalue &section, std::string_view key, qsizetype found,
                        const char *one, const char *many)
{
    const jvalue v = section.value(key);
    const double declared = v.type() == jvalue::number ? v.to_double() : v.text_to_double();
    if (v.is_null() || declared == double(found))
        return;
    const QString were = found == 1
        ? QStringLiteral("1 %1 was").arg(QLatin1String(one))
        : QStringLiteral("%1 %2 were").arg(QString::number(found), QLatin1String(many));
    notes.push_back({member(key), shown(v), QStringLiteral("but %1 found").arg(were),
                     [found] { return QString::number(found); }});
}

jvalue value_notes::object(const jvalue &o, std::string_view key, const char *instead)
{
    const jvalue v = o.value(key);
    if (v.type() == jvalue::object)
        return v;
    if (!v.is_null())
        notes.push_back({member(key), shown(v), QStringLiteral("not an object"), {}, instead});
    return jvalue();
}

jrange value_notes::records(const jvalue &o, std::string_view key, const char *instead)
{
    const jvalue v = o.value(key);
    if (v.type() != jvalue::object && !v.is_null())
        notes.push_back({member(key), shown(v), QStringLiteral("not an object"), {}, instead});
    // A record of another kind still stands in the list, with no value read.
    for (const jvalue record : v.members())
        if (record.type() != jvalue::object && !record.is_null())
            notes.push_back({quoted(record.key()) + QStringLiteral(" in ") + member(key),
                             shown(record),
                             QStringLiteral("not an object"),
                             {},
                             "a record of no values was read"});
    return v.members();
}

QStringList value_notes::names(const jvalue &o, std::string_view key)
{
    const jrange entries = list(o, key);
    QStringList texts;
    texts.reserve(entries.size());
    for (const jvalue e : entries) {
        if (e.type() != jvalue::string && !e.is_null())
            notes.push_back({QStringLiteral("entry %1 of ").arg(texts.size() + 1) + member(key),
                             shown(e),
                             QStringLiteral("not a name"),
                             {},
                             unnamed});
        texts.append(e.to_string());
    }
    return texts;
}

void value_notes::boolean(bool &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    if (v.type() == jvalue::boolean) {
        field = v.to_bool();
        return;
    }
    field = v.text_to_int() != 0;
    if (v.is_null() || v.text_is_number(true)
        || (v.type() == jvalue::string && v.to_string().isEmpty()))
        return;
    notes.push_back(
        {member(key), shown(v), QStringLiteral("not true or false"), {}, "false was used"});
}

// Why `v`, read as 0, as false or as no normal finite number, is not of the
// `expected` kind; empty when it is not given or its text says just that.
QString value_notes::wrong_kind(const jvalue &v, kind expected)
{
    const QString unlike = QLatin1String(expected == kind::number     ? "not a number"
                                             : expected == kind::flag ? "not 0 or 1"
                                                                      : "not a whole number");
    if (expected == kind::json_whole) {
        if (v.type() == jvalue::number)
            return v.to_double() == 0.0 ? QString() : unlike;
        if (v.type() == jvalue::string && v.text_is_number(true))
            return QStringLiteral("a number written as text");
        return v.is_null() || (v.type() == jvalue::string && v.to_string().isEmpty()) ? QString()
                                                                                      : unlike;
    }
    if (v.type() == jvalue::number)
        return QStringLiteral("a number not written as text");
    if (v.type() != jvalue::string)
        return v.is_null() ? QString() : unlike;
    const QString text = v.to_string();
    if (text.isEmpty())
        return QString();
    if (expected == kind::number)
        return number_reason(text);
    if (expected != kind::whole64 && v.text_is_number(true))
        return QString();
    // Digits alone that its field cannot hold: a whole number, only too large.
    static const QRegularExpression digits(QStringLiteral(R"(^\s*[+-]?\d+\s*$)"));
    if (digits.match(text).hasMatch()) {
        bool fits = false;
        text.toLongLong(&fits);
        if (!(expected == kind::whole64 && fits))
            return QStringLiteral("a whole number too large to hold");
    }
    bool ok = false;
    text.toLongLong(&ok);
    return expected == kind::whole64 && ok ? QString() : unlike;
}

QString value_notes::member(std::string_view key) const
{
    QString m = quoted(key);
    if (!part)
        return m;
    if (name && !name->isEmpty())
        return m + QStringLiteral(" of %1 in \"%2\"").arg(*name, QLatin1String(part));
    if (entry > 0)
        return m
            + QStringLiteral(" of entry %1 in \"%2\"")
                  .arg(QString::number(entry), QLatin1String(part));
    return m + QStringLiteral(" in \"%1\"").arg(QLatin1String(part));
}

void value_notes::report(QStringList &lines, const char *where, const QString *record)
{
    // The next record starts at its own members, noted or not.
    within(nullptr);
    if (notes.empty())
        return;
    const QString place = record ? QStringLiteral("%1 \"%2\"").arg(QLatin1String(where), *record)
                                 : QLatin1String(where);
    for (const note &n : notes) {
        const QString outcome
            = n.instead ? QLatin1String(n.instead) : QStringLiteral("%1 was used").arg(n.used());
        lines
            << QStringLiteral("%1: %2 is %3, %4; %5").arg(place, n.member, n.value, n.why, outcome);
    }
    notes.clear();
}

} // namespace jsdb_codec
