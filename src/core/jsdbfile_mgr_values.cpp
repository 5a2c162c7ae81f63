// Values of another kind than their member takes in configuration files: a list, an
// object or a word where a number belongs. They are read as ever (as 0 mostly), and
// the user is told which they were and what was used in their place.

#include "jsdbfile_mgr.h"

#include <QLocale>

#include <cmath>
#include <utility>

namespace jsdb_codec {

namespace {

constexpr qsizetype shown_length = 40;

QString number_text(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
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
            if (keys)
                out += QLatin1Char('"') + e.key() + QLatin1String("\":");
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
        out += QLatin1Char('"') + v.to_string() + QLatin1Char('"');
        break;
    case jvalue::array:
        append_all(v.elements(), QLatin1Char('['), QLatin1Char(']'), false);
        break;
    case jvalue::object:
        append_all(v.members(), QLatin1Char('{'), QLatin1Char('}'), true);
        break;
    }
}

QString quoted(std::string_view key)
{
    return QLatin1Char('"') + QLatin1String(key.data(), qsizetype(key.size())) + QLatin1Char('"');
}

} // namespace

QString shown(const jvalue &v)
{
    QString out;
    append_json(out, v);
    if (out.size() > shown_length)
        out = out.left(shown_length) + QLatin1String("...");
    return out;
}

void value_notes::real(double &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.text_to_double();
    if (field == 0.0 || !std::isfinite(field))
        look(v, key, kind::number, [&field] { return number_text(field); });
}

void value_notes::integer(int &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.text_to_int();
    if (field == 0)
        look(v, key, kind::whole, [&field] { return QString::number(field); });
}

void value_notes::integer64(qint64 &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.text_to_int64();
    if (field == 0)
        look(v, key, kind::whole64, [&field] { return QString::number(field); });
}

void value_notes::flagInt(bool &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.text_to_int() != 0;
    if (!field)
        look(v, key, kind::flag, [&field] { return QString::number(int(field)); });
}

void value_notes::flagNum(bool &field, const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    field = v.text_to_double() != 0.0;
    if (!field)
        look(v, key, kind::number, [&field] { return QString::number(int(field)); });
}

jrange value_notes::list(const jvalue &o, std::string_view key)
{
    const jvalue v = o.value(key);
    if (v.type() != jvalue::array && !v.is_null())
        notes.push_back(
            {quoted(key), shown(v), "not a list", [] { return QStringLiteral("an empty list"); }});
    return v.elements();
}

// Why `v`, read as 0, as false or as no finite number, is not of the `expected`
// kind; null when it is not given or its text says just that.
const char *value_notes::wrong_kind(const jvalue &v, kind expected)
{
    const char *unlike = expected == kind::number ? "not a number"
        : expected == kind::flag                  ? "not 0 or 1"
                                                  : "not a whole number";
    if (v.type() == jvalue::number)
        return "a number not written as text";
    if (v.type() != jvalue::string)
        return v.is_null() ? nullptr : unlike;
    if (expected != kind::whole64 && v.text_is_number(expected != kind::number))
        return nullptr;
    const QString text = v.to_string();
    if (text.isEmpty())
        return nullptr;
    if (expected == kind::number)
        return std::isfinite(text.toDouble()) ? unlike : "not a finite number";
    bool ok = false;
    text.toLongLong(&ok);
    return expected == kind::whole64 && ok ? nullptr : unlike;
}

void value_notes::look(const jvalue &v, std::string_view key, kind expected,
                       std::function<QString()> used)
{
    const char *why = wrong_kind(v, expected);
    if (!why)
        return;
    QString member = quoted(key);
    if (part)
        member += (name ? QStringLiteral(" of %1 in \"%2\"").arg(*name, QLatin1String(part))
                        : QStringLiteral(" in \"%1\"").arg(QLatin1String(part)));
    notes.push_back({member, shown(v), why, std::move(used)});
}

void value_notes::report(QStringList &lines, const char *where, const QString *record)
{
    if (notes.empty())
        return;
    const QString place = record ? QStringLiteral("%1 \"%2\"").arg(QLatin1String(where), *record)
                                 : QLatin1String(where);
    for (const note &n : notes)
        lines << QStringLiteral("%1: %2 is %3, %4; %5 was used")
                     .arg(place, n.member, n.value, QLatin1String(n.why), n.used());
    notes.clear();
    within(nullptr);
}

} // namespace jsdb_codec
