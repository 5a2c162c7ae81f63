// The flat JSON reader of configuration files: the one-pass parser, the value
// handles and the decoding of texts on demand.

#include "jsdb_reader.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace jsdb_codec {

// ---- parser ---------------------------------------------------------------------------

namespace {

// Eight bytes, the first in the lowest bits.
quint64 word(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

constexpr quint64 repeat(char c)
{
    return quint64(uchar(c)) * 0x0101010101010101u;
}

// The high bit of each zero byte of `w`, exact up to the lowest zero byte (above
// it a byte of 0x01 may be marked too); 0 when no byte is zero.
constexpr quint64 zero_bytes(quint64 w)
{
    return (w - repeat(1)) & ~w & repeat(char(0x80));
}

} // namespace

class jparser
{
public:
    jparser(jdocument &doc)
        : doc(doc)
        , entries(doc.entries)
        , start(doc.bytes.constData())
        , p(start)
        , end(start + doc.bytes.size())
    { }

    bool document(QString *error, qsizetype *offset)
    {
        if (quint64(end - start) >= std::numeric_limits<quint32>::max()) {
            fail("document too large");
        } else {
            if (end - p >= 3 && uchar(p[0]) == 0xef && uchar(p[1]) == 0xbb && uchar(p[2]) == 0xbf)
                p += 3;
            skip_space();
            value(0);
            if (!failure) {
                skip_space();
                if (p != end)
                    fail("garbage at the end of the document");
            }
        }
        if (!failure)
            return true;
        if (error)
            *error = QString::fromLatin1(failure);
        if (offset)
            *offset = p - start;
        return false;
    }

private:
    using entry = jdocument::entry;

    // Deeper documents are refused rather than risking the stack.
    static constexpr int max_depth = 256;

    void fail(const char *what)
    {
        if (!failure)
            failure = what;
    }

    quint32 offset_of(const char *at) const { return quint32(at - start); }

    quint32 add(jvalue::kind kind, quint8 flags = 0, quint32 offset = 0, quint32 length = 0)
    {
        const auto i = quint32(entries.size());
        // Filled in place: an entry assembled elsewhere and copied in costs a
        // stalled load per value.
        entry &e = entries.emplace_back();
        e.offset = offset;
        e.length = length;
        e.end = i + 1;
        e.kind = quint8(kind);
        e.flags = flags;
        return i;
    }

    void skip_space()
    {
        // Indentation comes in runs of blanks: eight at a time, then straight to
        // the first byte that is not one. (A local cursor stays in a register.)
        const char *q = p;
        if (q == end || uchar(*q) > ' ')
            return; // mostly a quote, colon, comma or bracket
        while (q != end) {
            if (end - q >= 8) {
                const quint64 other = word(q) ^ repeat(' ');
                if (other == 0) {
                    q += 8;
                    continue;
                }
                q += qCountTrailingZeroBits(other) / 8;
            }
            if (*q == ' ' || *q == '\n' || *q == '\r' || *q == '\t')
                ++q;
            else
                break;
        }
        p = q;
    }

    bool literal(const char *text, qsizetype n)
    {
        if (end - p < n || std::memcmp(p, text, size_t(n)) != 0)
            return false;
        p += n;
        return true;
    }

    void value(int depth)
    {
        if (p == end) {
            fail("unexpected end of the document");
            return;
        }
        switch (*p) {
        case '{':
            object(depth + 1);
            return;
        case '[':
            array(depth + 1);
            return;
        case '"':
            string(0);
            return;
        case 't':
            if (literal("true", 4)) {
                add(jvalue::boolean, jdocument::true_value);
                return;
            }
            break;
        case 'f':
            if (literal("false", 5)) {
                add(jvalue::boolean);
                return;
            }
            break;
        case 'n':
            if (literal("null", 4)) {
                add(jvalue::null_value);
                return;
            }
            break;
        default:
            if (*p == '-' || *p == '.' || (*p >= '0' && *p <= '9')) {
                number();
                return;
            }
        }
        fail("illegal value");
    }

    void object(int depth)
    {
        if (depth > max_depth) {
            fail("too deeply nested");
            return;
        }
        ++p; // '{'
        const quint32 self = add(jvalue::object);
        skip_space();
        quint32 members = 0;
        bool sorted = true;
        quint32 previous_key = 0;
        if (p != end && *p == '}') {
            ++p;
        } else {
            while (!failure) {
                skip_space();
                if (p == end || *p != '"') {
                    fail("missing name of an object member");
                    break;
                }
                const quint32 key = string(jdocument::is_key);
                if (failure)
                    break;
                skip_space();
                if (p == end || *p != ':') {
                    fail("missing name separator");
                    break;
                }
                ++p;
                skip_space();
                value(depth);
                if (failure)
                    break;
                // Files of this program hold sorted keys; anything else is put in
                // order once the object is complete.
                if (sorted && members > 0 && !key_less(previous_key, key))
                    sorted = false;
                previous_key = key;
                ++members;
                skip_space();
                if (p != end && *p == ',') {
                    ++p;
                    continue;
                }
                if (p != end && *p == '}') {
                    ++p;
                    break;
                }
                fail("unterminated object");
            }
        }
        if (failure)
            return;
        entry &o = entries[self];
        o.end = quint32(entries.size());
        o.length = members;
        if (!sorted)
            reorder(self, members);
    }

    // Key order (UTF-16 code units, as QJsonObject keeps its keys), and of equal
    // keys the last one, as Qt's parser keeps them.
    void reorder(quint32 self, quint32 members)
    {
        std::vector<quint32> keys;
        keys.reserve(members);
        for (quint32 k = self + 1; k < entries[self].end; k = entries[k + 1].end)
            keys.push_back(k);
        std::vector<QString> texts;
        texts.reserve(members);
        for (const quint32 k : keys)
            texts.push_back(doc.decode(entries[k]));
        std::vector<quint32> by_key(members);
        for (quint32 i = 0; i < members; ++i)
            by_key[i] = i;
        std::stable_sort(by_key.begin(), by_key.end(),
                         [&texts](quint32 a, quint32 b) { return texts[a] < texts[b]; });

        entry &o = entries[self];
        o.offset = quint32(doc.order.size());
        for (size_t i = 0; i < by_key.size(); ++i) {
            if (i + 1 < by_key.size() && !(texts[by_key[i]] < texts[by_key[i + 1]]))
                continue; // a later member of the same key follows
            doc.order.push_back(keys[by_key[i]] + 1);
        }
        o.length = quint32(doc.order.size()) - o.offset;
        o.flags |= jdocument::reordered;
    }

    // Keys in UTF-16 code units, as QString compares them; plain ASCII keys (all
    // this program writes) byte by byte.
    bool key_less(quint32 a, quint32 b) const
    {
        const entry &x = entries[a];
        const entry &y = entries[b];
        if ((x.flags | y.flags) & (jdocument::escaped | jdocument::non_ascii))
            return doc.decode(x) < doc.decode(y);
        const char *a_text = doc.bytes.constData() + x.offset;
        const char *b_text = doc.bytes.constData() + y.offset;
        const quint32 n = std::min(x.length, y.length);
        for (quint32 i = 0; i < n; ++i)
            if (a_text[i] != b_text[i])
                return uchar(a_text[i]) < uchar(b_text[i]);
        return x.length < y.length;
    }

    void array(int depth)
    {
        if (depth > max_depth) {
            fail("too deeply nested");
            return;
        }
        ++p; // '['
        const quint32 self = add(jvalue::array);
        quint32 elements = 0;
        skip_space();
        if (p != end && *p == ']') {
            ++p;
        } else {
            while (!failure) {
                skip_space();
                value(depth);
                if (failure)
                    break;
                ++elements;
                skip_space();
                if (p != end && *p == ',') {
                    ++p;
                    continue;
                }
                if (p != end && *p == ']') {
                    ++p;
                    break;
                }
                fail("unterminated array");
            }
        }
        if (failure)
            return;
        entry &a = entries[self];
        a.end = quint32(entries.size());
        a.length = elements;
    }

    void number()
    {
        const char *begin = p;
        if (*p == '-')
            ++p;
        auto digits = [this] {
            const char *d = p;
            while (p != end && *p >= '0' && *p <= '9')
                ++p;
            return p != d;
        };
        // Lenient where Qt's parser is: "1." and ".5" are numbers too.
        bool whole = true;
        if (p != end && *p == '0')
            ++p;
        else
            whole = digits();
        if (p != end && *p == '.') {
            ++p;
            if (!digits() && !whole) {
                fail("illegal number");
                return;
            }
        } else if (!whole) {
            fail("illegal number");
            return;
        }
        if (p != end && (*p == 'e' || *p == 'E')) {
            ++p;
            if (p != end && (*p == '+' || *p == '-'))
                ++p;
            if (!digits()) {
                fail("illegal number");
                return;
            }
        }
        // Out of range is still a number (an infinity); what Qt cannot read is not.
        bool ok = false;
        const double v = QByteArray::fromRawData(begin, p - begin).toDouble(&ok);
        if (!ok && !std::isinf(v)) {
            fail("illegal number");
            return;
        }
        add(jvalue::number, 0, offset_of(begin), quint32(p - begin));
    }

    // A string from its opening quote: only located and checked here; the text is
    // decoded when a reader asks for it.
    quint32 string(quint8 flags)
    {
        const char *begin = p + 1; // after the quote
        const char *q = begin;
        // Eight bytes at a time up to the first quote or backslash.
        quint64 high_bytes = 0;
        while (end - q >= 8) {
            const quint64 w = word(q);
            const quint64 stops = zero_bytes(w ^ repeat('"')) | zero_bytes(w ^ repeat('\\'));
            if (stops == 0) {
                high_bytes |= w;
                q += 8;
                continue;
            }
            const int before = qCountTrailingZeroBits(stops) / 8; // bytes before the stop
            high_bytes |= before == 0 ? 0 : w << (64 - 8 * before);
            q += before;
            break;
        }
        uchar high = (high_bytes & repeat(char(0x80))) ? 0x80 : 0;
        while (q != end && *q != '"' && *q != '\\')
            high |= uchar(*q++);
        p = q;
        if (p != end && *p == '\\') {
            flags |= jdocument::escaped;
            if (!escapes(high))
                return 0;
        }
        if (p == end) {
            fail("unterminated string");
            return 0;
        }
        if (high & 0x80)
            flags |= jdocument::non_ascii;
        ++p; // '"'
        const auto length = quint32(p - 1 - begin);
        const quint32 at = add(jvalue::string, flags, offset_of(begin), length);
        if (flags & jdocument::is_key) {
            // As head_of() would give, from one load where the buffer allows.
            entries[at].head = end - begin >= 8
                ? quint32(word(begin)) & (length >= 4 ? ~0u : (1u << (8 * length)) - 1)
                : jdocument::head_of(std::string_view(begin, length));
        }
        return at;
    }

    // The rest of a string from its first backslash: every escape must be complete
    // ("\u" with four hex digits as Qt reads them). Stops at the closing quote.
    bool escapes(uchar &high)
    {
        while (p != end && *p != '"') {
            if (*p != '\\') {
                high |= uchar(*p++);
                continue;
            }
            ++p;
            if (p == end) {
                fail("unterminated string");
                return false;
            }
            const char c = *p++;
            high |= uchar(c);
            if (c == 'u') {
                bool ok = false;
                if (end - p >= 4)
                    QByteArray::fromRawData(p, 4).toUInt(&ok, 16);
                if (!ok) {
                    fail("illegal escape sequence");
                    return false;
                }
                p += 4;
            }
        }
        return true;
    }

    jdocument &doc;
    std::vector<entry> &entries;
    const char *start;
    const char *p;
    const char *end;
    const char *failure = nullptr;
};

bool jdocument::parse(const QByteArray &json, QString *error, qsizetype *offset)
{
    bytes = json;
    entries.clear();
    order.clear();
    // An indented configuration file holds about one entry per 20 bytes: the list
    // grows again only for denser text.
    entries.reserve(size_t(json.size()) / 16 + 16);
    jparser parser(*this);
    if (parser.document(error, offset))
        return true;
    entries.clear();
    order.clear();
    return false;
}

jvalue jdocument::root() const
{
    return entries.empty() ? jvalue() : jvalue(this, 0);
}

// ---- texts ----------------------------------------------------------------------------

QString jdocument::decode(const entry &e) const
{
    const std::string_view text = text_of(e);
    if (!(e.flags & escaped)) {
        return (e.flags & non_ascii) ? QString::fromUtf8(text.data(), qsizetype(text.size()))
                                     : QString::fromLatin1(text.data(), qsizetype(text.size()));
    }

    // Runs between escapes are UTF-8 (malformed sequences become replacement
    // characters); the parser has checked every escape.
    QString s;
    s.reserve(qsizetype(text.size()));
    const char *p = text.data();
    const char *const stop = p + text.size();
    const char *run = p;
    auto flush = [&] {
        if (p != run)
            s += QString::fromUtf8(run, p - run);
    };
    while (p != stop) {
        if (*p != '\\') {
            ++p;
            continue;
        }
        flush();
        ++p;
        switch (*p++) {
        case '"':
            s += u'"';
            break;
        case '\\':
            s += u'\\';
            break;
        case '/':
            s += u'/';
            break;
        case 'b':
            s += u'\b';
            break;
        case 'f':
            s += u'\f';
            break;
        case 'n':
            s += u'\n';
            break;
        case 'r':
            s += u'\r';
            break;
        case 't':
            s += u'\t';
            break;
        case 'u':
            s += QChar(char16_t(QByteArray::fromRawData(p, 4).toUInt(nullptr, 16)));
            p += 4;
            break;
        default:
            // As Qt's parser: an unknown escape stands for the character itself.
            s += QChar(uchar(p[-1]));
        }
        run = p;
    }
    flush();
    return s;
}

bool jdocument::decoded_key_equals(const entry &k, std::string_view key) const
{
    return decode(k) == QLatin1String(key.data(), qsizetype(key.size()));
}

// ---- values ---------------------------------------------------------------------------

QString jvalue::to_string() const
{
    if (type() != string)
        return QString();
    return doc->decode(doc->at(at));
}

bool jvalue::to_bool() const
{
    return type() == boolean && (doc->at(at).flags & jdocument::true_value);
}

double jvalue::to_double() const
{
    if (type() != number)
        return 0.0;
    // As the parser read it when it checked the number.
    const std::string_view text = doc->text_of(doc->at(at));
    return QByteArray::fromRawData(text.data(), qsizetype(text.size())).toDouble();
}

int jvalue::to_int() const
{
    const double v = to_double();
    if (std::trunc(v) != v || v < INT_MIN || v > INT_MAX)
        return 0;
    return int(v);
}

jvalue jvalue::value(std::string_view key) const
{
    if (type() != object)
        return jvalue();
    const jdocument::entry &o = doc->at(at);
    const quint32 head = jdocument::head_of(key);
    if (o.flags & jdocument::reordered) {
        for (quint32 i = 0; i < o.length; ++i) {
            const quint32 v = doc->order[o.offset + i];
            if (doc->key_equals(doc->at(v - 1), key, head))
                return jvalue(doc, v);
        }
        return jvalue();
    }
    // Sorted keys are distinct: the first match is the only one.
    for (quint32 k = at + 1; k < o.end; k = doc->at(k + 1).end)
        if (doc->key_equals(doc->at(k), key, head))
            return jvalue(doc, k + 1);
    return jvalue();
}

qsizetype jvalue::member_count() const
{
    return type() == object ? qsizetype(doc->at(at).length) : 0;
}

jrange jvalue::members() const
{
    if (type() != object)
        return jrange();
    const jdocument::entry &o = doc->at(at);
    if (o.flags & jdocument::reordered)
        return jrange(jiterator(doc, o.offset, jiterator::walk::order, 0),
                      jiterator(doc, o.offset + o.length, jiterator::walk::order, 0), o.length);
    // The first value follows the object and its first key; past the last value
    // comes the object's end, plus the key that a further member would have.
    const quint32 last = o.end + 1;
    const quint32 first = o.length == 0 ? last : at + 2;
    return jrange(jiterator(doc, first, jiterator::walk::subtree, 1),
                  jiterator(doc, last, jiterator::walk::subtree, 1), o.length);
}

jvalue jvalue::member(qsizetype i) const
{
    if (i < 0 || i >= member_count())
        return jvalue();
    auto it = members().begin();
    while (i-- > 0)
        ++it;
    return *it;
}

QString jvalue::key() const
{
    if (!doc || at == 0 || !(doc->at(at - 1).flags & jdocument::is_key))
        return QString();
    return doc->decode(doc->at(at - 1));
}

jrange jvalue::elements() const
{
    if (type() != array)
        return jrange();
    const jdocument::entry &a = doc->at(at);
    return jrange(jiterator(doc, at + 1, jiterator::walk::subtree, 0),
                  jiterator(doc, a.end, jiterator::walk::subtree, 0), a.length);
}

jvalue jiterator::operator*() const
{
    return jvalue(doc, how == walk::order ? doc->order[at] : at);
}

jiterator &jiterator::operator++()
{
    at = how == walk::order ? at + 1 : doc->at(at).end + stride;
    return *this;
}

} // namespace jsdb_codec
