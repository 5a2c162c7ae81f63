// The streaming writer of indented JSON.

#include "jsdb_writer.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace jsdb_codec {

namespace {

// Each piece of text is written straight into the buffer after room() has made
// space for the most it can take: a UTF-16 unit becomes at most six bytes
// (\uXXXX), a surrogate pair four.

size_t quoted_bound(qsizetype units)
{
    return size_t(units) * 6 + 2;
}

char hexdigit(unsigned v)
{
    return char(v < 10 ? '0' + v : 'a' + v - 10);
}

char *put_escape(char *d, char16_t u)
{
    *d++ = '\\';
    *d++ = 'u';
    *d++ = hexdigit((u >> 12) & 0xf);
    *d++ = hexdigit((u >> 8) & 0xf);
    *d++ = hexdigit((u >> 4) & 0xf);
    *d++ = hexdigit(u & 0xf);
    return d;
}

// As Qt's writer: the escapes of JSON for quote, backslash and control characters,
// UTF-8 for everything else. `u` is not a surrogate.
char *put_char(char *d, char16_t u)
{
    if (u < 0x80) {
        if (u >= 0x20 && u != '"' && u != '\\') {
            *d++ = char(u);
            return d;
        }
        char escaped = 0;
        switch (u) {
        case '"':
            escaped = '"';
            break;
        case '\\':
            escaped = '\\';
            break;
        case 0x08:
            escaped = 'b';
            break;
        case 0x0c:
            escaped = 'f';
            break;
        case 0x0a:
            escaped = 'n';
            break;
        case 0x0d:
            escaped = 'r';
            break;
        case 0x09:
            escaped = 't';
            break;
        default:
            return put_escape(d, u);
        }
        *d++ = '\\';
        *d++ = escaped;
        return d;
    }
    if (u < 0x800) {
        *d++ = char(0xc0 | (u >> 6));
        *d++ = char(0x80 | (u & 0x3f));
        return d;
    }
    *d++ = char(0xe0 | (u >> 12));
    *d++ = char(0x80 | ((u >> 6) & 0x3f));
    *d++ = char(0x80 | (u & 0x3f));
    return d;
}

// True when the four UTF-16 units in `x` are ASCII that needs no escape: from
// 0x20 to 0x7f, neither quote nor backslash. Each test leaves bit 15 of a unit set
// when the unit passes.
bool plain_units(quint64 x)
{
    constexpr quint64 ones = 0x0001000100010001;
    constexpr quint64 high = ones * 0x8000;
    if (x & (ones * 0xff80))
        return false;
    const quint64 printable = (x | high) - ones * 0x20;
    const quint64 not_quote = ((x ^ (ones * '"')) | high) - ones;
    const quint64 not_backslash = ((x ^ (ones * '\\')) | high) - ones;
    return (printable & not_quote & not_backslash & high) == high;
}

// A quoted text; a surrogate without its pair is written as \uXXXX, as Qt does.
char *put_quoted(char *d, const QString &s)
{
    // constData(), unlike utf16(), never copies a string held in static storage.
    const char16_t *p = reinterpret_cast<const char16_t *>(s.constData());
    const char16_t *end = p + s.size();
    *d++ = '"';
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // Plain ASCII, the usual text, four units at a time.
    while (end - p >= 4) {
        quint64 x;
        std::memcpy(&x, p, sizeof x);
        if (!plain_units(x))
            break;
        d[0] = char(x);
        d[1] = char(x >> 16);
        d[2] = char(x >> 32);
        d[3] = char(x >> 48);
        p += 4;
        d += 4;
    }
#endif
    while (p != end) {
        const char16_t u = *p++;
        if (u >= 0x20 && u < 0x80 && u != '"' && u != '\\') {
            *d++ = char(u);
        } else if (u < 0xd800 || u > 0xdfff) {
            d = put_char(d, u);
        } else if (u <= 0xdbff && p != end && *p >= 0xdc00 && *p <= 0xdfff) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xd800) << 10) + (*p++ - 0xdc00);
            *d++ = char(0xf0 | (c >> 18));
            *d++ = char(0x80 | ((c >> 12) & 0x3f));
            *d++ = char(0x80 | ((c >> 6) & 0x3f));
            *d++ = char(0x80 | (c & 0x3f));
        } else {
            d = put_escape(d, u);
        }
    }
    *d++ = '"';
    return d;
}

// Room an indentation needs: a whole run of blanks is copied at once when it is
// short enough.
constexpr size_t blank_run = 64;
size_t indent_bound(size_t indent)
{
    return std::max(blank_run, 4 * indent);
}

char *put_indent(char *d, size_t indent)
{
    static const char blanks[blank_run + 1]
        = "                                                                ";
    if (4 * indent <= blank_run)
        std::memcpy(d, blanks, blank_run);
    else
        std::memset(d, ' ', 4 * indent);
    return d + 4 * indent;
}

// QString's own order (UTF-16 code units), the order of QJsonObject's keys; a
// Latin-1 byte is the code unit of its character.
template<class A, class B>
bool units_less(const A *a, qsizetype na, const B *b, qsizetype nb)
{
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i];
    return na < nb;
}

template<class A>
bool units_less(const A *a, qsizetype na, const void *b, qsizetype nb, bool latin)
{
    return latin ? units_less(a, na, static_cast<const uchar *>(b), nb)
                 : units_less(a, na, static_cast<const char16_t *>(b), nb);
}

bool key_less(const void *a, qsizetype na, bool alatin, const void *b, qsizetype nb, bool blatin)
{
    if (alatin && blatin) { // the usual case: two literals, mostly differing at once
        const auto *x = static_cast<const uchar *>(a);
        const auto *y = static_cast<const uchar *>(b);
        if (na > 0 && nb > 0 && x[0] != y[0])
            return x[0] < y[0];
        const int c = std::memcmp(x, y, size_t(std::min(na, nb)));
        return c != 0 ? c < 0 : na < nb;
    }
    return alatin ? units_less(static_cast<const uchar *>(a), na, b, nb, blatin)
                  : units_less(static_cast<const char16_t *>(a), na, b, nb, blatin);
}

// True when the eight bytes in `x` are ASCII that needs no escape, tested as
// plain_units() tests UTF-16 units.
bool plain_bytes(quint64 x)
{
    constexpr quint64 ones = 0x0101010101010101;
    constexpr quint64 high = ones * 0x80;
    if (x & high)
        return false;
    const quint64 printable = (x | high) - ones * 0x20;
    const quint64 not_quote = ((x ^ (ones * '"')) | high) - ones;
    const quint64 not_backslash = ((x ^ (ones * '\\')) | high) - ones;
    return (printable & not_quote & not_backslash & high) == high;
}

bool plain_ascii(const char *text, qsizetype n)
{
    // Whole words only, overlapping at the end: a word put together from a few
    // bytes copied into it would stall the load that follows.
    quint64 x = 0;
    if (n >= 8) {
        for (qsizetype i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&x, text + i, sizeof x);
            if (!plain_bytes(x))
                return false;
        }
        std::memcpy(&x, text + n - 8, sizeof x);
    } else if (n >= 4) {
        quint32 first = 0;
        quint32 last = 0;
        std::memcpy(&first, text, sizeof first);
        std::memcpy(&last, text + n - 4, sizeof last);
        x = first | quint64(last) << 32;
    } else {
        x = 0x6161616161616161; // padded with a plain byte
        for (qsizetype i = 0; i < n; ++i)
            x = (x << 8) | uchar(text[i]);
    }
    return plain_bytes(x);
}
} // namespace

jsdb_writer::jsdb_writer(QByteArray buffer)
    : out(std::move(buffer))
{
    out.resize(out.capacity()); // no bytes are cleared or copied
    at = out.data();
    limit = at + out.size();
    open.reserve(16);
    members.reserve(64);
}

void jsdb_writer::grow(size_t n)
{
    const size_t used = offset();
    out.resize(qsizetype(std::max(size_t(out.size()) * 2, used + n + (size_t(1) << 16))));
    at = out.data() + used;
    limit = out.data() + out.size();
}

// Qt's layout: an opening bracket, then each member or element on a line of its
// own, separated by ",", then the closing bracket on a line of its own (also when
// the container is empty).

void jsdb_writer::before_value()
{
    if (open.empty())
        return;
    frame &f = open.back();
    if (f.object)
        return; // key() has written the member's head
    char *d = room(2 + indent_bound(open.size()));
    if (!f.empty)
        *d++ = ',';
    *d++ = '\n';
    f.empty = false;
    at = put_indent(d, open.size());
}

void jsdb_writer::begin_object()
{
    before_value();
    *room(1) = '{';
    ++at;
    open.push_back({true, true, false, members.size(), owners.size()});
}

void jsdb_writer::begin_array()
{
    before_value();
    *room(1) = '[';
    ++at;
    open.push_back({false, true, false, members.size(), owners.size()});
}

char *jsdb_writer::begin_member(const void *units, qsizetype size, bool latin, size_t quoted)
{
    Q_ASSERT(!open.empty() && open.back().object);
    frame &f = open.back();
    char *d = room(2 + indent_bound(open.size()) + quoted + 2);
    if (f.empty) {
        f.empty = false;
    } else {
        member &previous = members.back();
        previous.end = offset();
        if (!key_less(previous.key.units, previous.key.size, previous.key.latin, units, size,
                      latin))
            f.unsorted = true;
        *d++ = ',';
    }
    *d++ = '\n';
    // Field by field: copying a whole record just built on the stack stalls.
    member &m = members.emplace_back();
    m.key.units = units;
    m.key.size = size;
    m.key.latin = latin;
    m.begin = size_t(d - out.constData());
    return put_indent(d, open.size());
}

void jsdb_writer::key(const QString &name)
{
    owners.push_back(name);
    char *d = begin_member(name.constData(), name.size(), false, quoted_bound(name.size()));
    d = put_quoted(d, name);
    *d++ = ':';
    *d++ = ' ';
    at = d;
}

void jsdb_writer::key(QLatin1String name)
{
    char *d = begin_member(name.data(), name.size(), true, quoted_bound(name.size()));
    *d++ = '"';
    if (plain_ascii(name.data(), name.size())) {
        std::memcpy(d, name.data(), size_t(name.size()));
        d += name.size();
    } else {
        for (const char c : name)
            d = put_char(d, uchar(c));
    }
    *d++ = '"';
    *d++ = ':';
    *d++ = ' ';
    at = d;
}

void jsdb_writer::close(char bracket)
{
    const frame f = open.back();
    if (f.object && !f.empty) {
        members.back().end = offset();
        if (f.unsorted)
            sort_members(f);
    }
    members.resize(f.first_member);
    owners.resize(f.first_owner);
    open.pop_back();
    char *d = room(2 + indent_bound(open.size()));
    *d++ = '\n';
    d = put_indent(d, open.size());
    *d++ = bracket;
    at = d;
}

void jsdb_writer::end_object()
{
    Q_ASSERT(!open.empty() && open.back().object);
    close('}');
}

void jsdb_writer::end_array()
{
    Q_ASSERT(!open.empty() && !open.back().object);
    close(']');
}

// Rewrites the members of the object `f` in key order. The sort is stable, so of
// equal keys the last one written comes last in its run and is the one kept.
void jsdb_writer::sort_members(const frame &f)
{
    const size_t first = f.first_member;
    std::vector<size_t> order(members.size() - first);
    std::iota(order.begin(), order.end(), first);
    auto less = [this](size_t a, size_t b) {
        const key_text &x = members[a].key;
        const key_text &y = members[b].key;
        return key_less(x.units, x.size, x.latin, y.units, y.size, y.latin);
    };
    std::stable_sort(order.begin(), order.end(), less);

    const size_t region = members[first].begin;
    const QByteArray written(out.constData() + region, qsizetype(offset() - region));
    char *d = out.data() + region; // the members take no more room than before
    bool any = false;
    for (size_t k = 0; k < order.size(); ++k) {
        const member &m = members[order[k]];
        if (k + 1 < order.size() && !less(order[k], order[k + 1]))
            continue; // a later member of the same key replaces this one
        if (any) {
            *d++ = ',';
            *d++ = '\n';
        }
        any = true;
        std::memcpy(d, written.constData() + (m.begin - region), m.end - m.begin);
        d += m.end - m.begin;
    }
    at = d;
}

void jsdb_writer::string(const QString &text)
{
    before_value();
    at = put_quoted(room(quoted_bound(text.size())), text);
}

void jsdb_writer::ascii(const char *text, size_t n)
{
    before_value();
    char *d = room(quoted_bound(qsizetype(n)));
    *d++ = '"';
    for (size_t i = 0; i < n; ++i)
        d = put_char(d, uchar(text[i])); // Latin-1: no surrogates
    *d++ = '"';
    at = d;
}

void jsdb_writer::integer(qint64 v)
{
    before_value();
    at += format_int(v, room(24));
}

void jsdb_writer::boolean(bool v)
{
    before_value();
    const char *text = v ? "true" : "false";
    const size_t n = v ? 4 : 5;
    std::memcpy(room(n), text, n);
    at += n;
}

void jsdb_writer::strings(const QStringList &texts)
{
    begin_array();
    for (const QString &t : texts)
        string(t);
    end_array();
}

void jsdb_writer::num(qint64 v)
{
    before_value();
    char *d = room(26);
    *d++ = '"';
    d += format_int(v, d);
    *d++ = '"';
    at = d;
}

void jsdb_writer::num(double v, int precision)
{
    before_value();
    char *d = room(34);
    const size_t n = format_g(v, precision, d + 1);
    if (n == 0) { // infinities, NaN: Qt's own text
        const QString text = QString::number(v, 'g', precision);
        at = put_quoted(room(quoted_bound(text.size())), text);
        return;
    }
    d[0] = '"';
    d[n + 1] = '"';
    at = d + n + 2;
}

QByteArray jsdb_writer::finish()
{
    Q_ASSERT(open.empty());
    *room(1) = '\n';
    ++at;
    out.resize(qsizetype(offset()));
    at = limit = nullptr;
    return std::move(out);
}

} // namespace jsdb_codec
