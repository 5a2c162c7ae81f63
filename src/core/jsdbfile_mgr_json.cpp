// The JSON tree of configuration files: building, conversion to and from Qt's JSON
// types, the indented writer and the parser.

#include "jsdbfile_mgr.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace jsdb_codec {

namespace {
const jnode null_node{};
const std::vector<jnode> no_elements;
} // namespace

jnode jnode::make_bool(bool v)
{
    jnode n;
    n.k = boolean;
    n.b = v;
    return n;
}

jnode jnode::make_number(double v, bool integral)
{
    jnode n;
    n.k = number;
    n.num = v;
    n.b = integral;
    return n;
}

jnode jnode::make_array()
{
    jnode n;
    n.k = array;
    return n;
}

jnode jnode::make_object(qsizetype members)
{
    jnode n;
    n.k = object;
    if (members > 0) {
        n.keys_.reserve(members);
        n.items_.reserve(size_t(members));
    }
    return n;
}

jnode jnode::make_strings(const QStringList &texts)
{
    jnode n = make_array();
    n.items_.reserve(size_t(texts.size()));
    for (const QString &t : texts)
        n.items_.emplace_back(t);
    return n;
}

jnode jnode::make_ascii(const char *text, size_t n)
{
    if (n > short_capacity)
        return jnode(QString::fromLatin1(text, qsizetype(n)));
    jnode node;
    node.k = string;
    node.b = true;
    node.ascii_len = quint8(n);
    std::memcpy(node.ascii, text, n);
    return node;
}

QString jnode::to_string() const
{
    if (k != string)
        return QString();
    return b ? QString::fromLatin1(ascii, ascii_len) : str;
}

int jnode::to_int() const
{
    if (k != number || std::trunc(num) != num || num < INT_MIN || num > INT_MAX)
        return 0;
    return int(num);
}

namespace {
// QString's own order (UTF-16 code units), inline: building a file compares keys
// many times over.
bool key_less(const QString &a, const QString &b)
{
    const QChar *x = a.constData();
    const QChar *y = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (x[i] != y[i])
            return x[i].unicode() < y[i].unicode();
    return a.size() < b.size();
}
} // namespace

void jnode::insert(const QString &key, jnode value)
{
    if (k != object) {
        *this = make_object();
    }
    // Members usually arrive in key order: try the end first.
    if (keys_.isEmpty() || key_less(keys_.last(), key)) {
        keys_.append(key);
        items_.push_back(std::move(value));
        return;
    }
    const auto it = std::lower_bound(keys_.begin(), keys_.end(), key, key_less);
    const qsizetype i = it - keys_.begin();
    if (it != keys_.end() && *it == key) {
        items_[size_t(i)] = std::move(value);
        return;
    }
    keys_.insert(i, key);
    items_.insert(items_.begin() + qsizetype(i), std::move(value));
}

namespace {
bool same_text(const QString &a, const QString &b)
{
    return a.size() == b.size()
        && std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(QChar)) == 0;
}
} // namespace

const jnode &jnode::value(const QString &key) const
{
    if (k != object)
        return null_node;
    // Most objects of a file are records of a handful of members.
    if (keys_.size() <= 12) {
        for (qsizetype i = 0; i < keys_.size(); ++i)
            if (same_text(keys_.at(i), key))
                return items_[size_t(i)];
        return null_node;
    }
    const auto it = std::lower_bound(keys_.cbegin(), keys_.cend(), key);
    if (it == keys_.cend() || *it != key)
        return null_node;
    return items_[size_t(it - keys_.cbegin())];
}

bool jnode::contains(const QString &key) const
{
    return k == object && std::binary_search(keys_.cbegin(), keys_.cend(), key);
}

void jnode::append(jnode value)
{
    if (k != array)
        *this = make_array();
    items_.push_back(std::move(value));
}

const std::vector<jnode> &jnode::elements() const
{
    return k == array ? items_ : no_elements;
}

// ---- conversion to and from Qt's JSON types -----------------------------------------

QJsonValue jnode::to_qjson() const
{
    switch (k) {
    case boolean:
        return b;
    case number:
        return b ? QJsonValue(qint64(num)) : QJsonValue(num);
    case string:
        return to_string();
    case array: {
        QJsonArray a;
        for (const jnode &e : items_)
            a.append(e.to_qjson());
        return a;
    }
    case object: {
        QJsonObject o;
        for (qsizetype i = 0; i < keys_.size(); ++i)
            o.insert(keys_.at(i), items_[size_t(i)].to_qjson());
        return o;
    }
    case null_value:
        break;
    }
    return QJsonValue();
}

jnode jnode::from_qjson(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return make_bool(value.toBool());
    case QJsonValue::Double: {
        const double d = value.toDouble();
        return make_number(d, std::trunc(d) == d && std::abs(d) < 9007199254740992.0);
    }
    case QJsonValue::String:
        return jnode(value.toString());
    case QJsonValue::Array: {
        jnode n = make_array();
        const QJsonArray a = value.toArray();
        n.items_.reserve(size_t(a.size()));
        for (const QJsonValue &e : a)
            n.items_.push_back(from_qjson(e));
        return n;
    }
    case QJsonValue::Object: {
        jnode n = make_object();
        const QJsonObject o = value.toObject();
        n.items_.reserve(size_t(o.size()));
        for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
            n.keys_.append(it.key()); // QJsonObject iterates in key order
            n.items_.push_back(from_qjson(it.value()));
        }
        return n;
    }
    default:
        return jnode();
    }
}

// ---- writer ---------------------------------------------------------------------------

namespace {

char hexdigit(unsigned v)
{
    return char(v < 10 ? '0' + v : 'a' + v - 10);
}

// As Qt's writer: the escapes of JSON for quote, backslash and control characters,
// UTF-8 for everything else, and \uXXXX for a surrogate without its pair. Bytes
// are gathered in a small buffer and appended in runs.
void append_string(std::string &out, const QString &s)
{
    // Most texts are plain ASCII: copy them straight across.
    const QChar *chars = s.constData();
    const qsizetype len = s.size();
    bool plain = true;
    for (qsizetype i = 0; i < len && plain; ++i) {
        const char16_t u = chars[i].unicode();
        plain = u >= 0x20 && u < 0x80 && u != '"' && u != '\\';
    }
    if (plain) {
        const size_t pos = out.size();
        out.resize(pos + size_t(len) + 2);
        char *d = out.data() + pos;
        *d++ = '"';
        for (qsizetype i = 0; i < len; ++i)
            *d++ = char(chars[i].unicode());
        *d = '"';
        return;
    }

    char buf[512];
    int n = 0;
    auto put = [&](char c) {
        if (n == int(sizeof buf)) {
            out.append(buf, n);
            n = 0;
        }
        buf[n++] = c;
    };
    auto put_escape = [&](char16_t u) {
        for (char c : {'\\', 'u', hexdigit((u >> 12) & 0xf), hexdigit((u >> 8) & 0xf),
                       hexdigit((u >> 4) & 0xf), hexdigit(u & 0xf)})
            put(c);
    };

    put('"');
    // constData(), unlike utf16(), never copies a string held in static storage.
    const char16_t *p = reinterpret_cast<const char16_t *>(s.constData());
    const char16_t *end = p + s.size();
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                put(char(u));
                continue;
            }
            switch (u) {
            case '"':
                put('\\');
                put('"');
                break;
            case '\\':
                put('\\');
                put('\\');
                break;
            case 0x08:
                put('\\');
                put('b');
                break;
            case 0x0c:
                put('\\');
                put('f');
                break;
            case 0x0a:
                put('\\');
                put('n');
                break;
            case 0x0d:
                put('\\');
                put('r');
                break;
            case 0x09:
                put('\\');
                put('t');
                break;
            default:
                put_escape(u);
            }
        } else if (u < 0x800) {
            put(char(0xc0 | (u >> 6)));
            put(char(0x80 | (u & 0x3f)));
        } else if (u >= 0xd800 && u <= 0xdfff) {
            if (u <= 0xdbff && p != end && *p >= 0xdc00 && *p <= 0xdfff) {
                const char32_t c = 0x10000 + ((char32_t(u) - 0xd800) << 10) + (*p++ - 0xdc00);
                put(char(0xf0 | (c >> 18)));
                put(char(0x80 | ((c >> 12) & 0x3f)));
                put(char(0x80 | ((c >> 6) & 0x3f)));
                put(char(0x80 | (c & 0x3f)));
            } else {
                put_escape(u);
            }
        } else {
            put(char(0xe0 | (u >> 12)));
            put(char(0x80 | ((u >> 6) & 0x3f)));
            put(char(0x80 | (u & 0x3f)));
        }
    }
    put('"');
    out.append(buf, n);
}

void append_indent(std::string &out, int indent)
{
    static const char spaces[] = "                                                                ";
    qsizetype n = qsizetype(4) * indent;
    while (n > 0) {
        const qsizetype chunk = std::min<qsizetype>(n, sizeof spaces - 1);
        out.append(spaces, chunk);
        n -= chunk;
    }
}

// A short ASCII text: straight across when nothing in it needs escaping.
void append_ascii(std::string &out, const char *text, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const uchar c = uchar(text[i]);
        if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') {
            append_string(out, QString::fromLatin1(text, qsizetype(n)));
            return;
        }
    }
    char quoted[64];
    if (n + 2 > sizeof quoted) {
        append_string(out, QString::fromLatin1(text, qsizetype(n)));
        return;
    }
    quoted[0] = '"';
    std::memcpy(quoted + 1, text, n);
    quoted[n + 1] = '"';
    out.append(quoted, n + 2);
}

// The indentation, quoted key and ": " that open an object member, in one append
// when the key is plain ASCII and the line short.
void append_member_head(std::string &out, int indent, const QString &key)
{
    char line[256];
    const size_t blanks = size_t(4) * size_t(indent);
    const qsizetype len = key.size();
    if (blanks + size_t(len) + 4 <= sizeof line) {
        const QChar *c = key.constData();
        std::memset(line, ' ', blanks);
        char *d = line + blanks;
        *d++ = '"';
        qsizetype i = 0;
        for (; i < len; ++i) {
            const char16_t u = c[i].unicode();
            if (u < 0x20 || u >= 0x80 || u == '"' || u == '\\')
                break;
            *d++ = char(u);
        }
        if (i == len) {
            *d++ = '"';
            *d++ = ':';
            *d++ = ' ';
            out.append(line, size_t(d - line));
            return;
        }
    }
    append_indent(out, indent);
    append_string(out, key);
    out += ": ";
}

} // namespace

void jnode::write(std::string &out, int indent, spill *to) const
{
    switch (k) {
    case null_value:
        out += "null";
        break;
    case boolean:
        out += b ? "true" : "false";
        break;
    case number:
        if (b)
            out += QByteArray::number(qint64(num)).toStdString();
        else if (std::isfinite(num))
            out += QByteArray::number(num, 'g', QLocale::FloatingPointShortest).toStdString();
        else
            out += "null";
        break;
    case string:
        if (b)
            append_ascii(out, ascii, ascii_len);
        else
            append_string(out, str);
        break;
    case array:
        out += "[\n";
        for (size_t i = 0; i < items_.size(); ++i) {
            append_indent(out, indent + 1);
            items_[i].write(out, indent + 1, to);
            out += i + 1 < items_.size() ? ",\n" : "\n";
            if (to && out.size() >= spill::size)
                to->flush(out);
        }
        append_indent(out, indent);
        out += ']';
        break;
    case object:
        out += "{\n";
        for (qsizetype i = 0; i < keys_.size(); ++i) {
            append_member_head(out, indent + 1, keys_.at(i));
            items_[size_t(i)].write(out, indent + 1, to);
            out += i + 1 < keys_.size() ? ",\n" : "\n";
            if (to && out.size() >= spill::size)
                to->flush(out);
        }
        append_indent(out, indent);
        out += '}';
        break;
    }
}

QByteArray jnode::to_json() const
{
    // A std::string grows geometrically; the text is copied once at the end.
    std::string out;
    out.reserve(1 << 16);
    write(out, 0, nullptr);
    out += '\n';
    return QByteArray(out.data(), qsizetype(out.size()));
}

void jnode::spill::flush(std::string &out)
{
    if (!failed && device->write(out.data(), qint64(out.size())) != qint64(out.size()))
        failed = true;
    out.clear();
}

bool jnode::write_json(QIODevice &device) const
{
    // Written in pieces of a fixed size: a large file is never held whole in
    // memory, and the one buffer is never moved while it grows.
    std::string out;
    out.reserve(spill::size + (1 << 14));
    spill to {&device};
    write(out, 0, &to);
    out += '\n';
    to.flush(out);
    return !to.failed;
}

// ---- parser ---------------------------------------------------------------------------

class parser
{
public:
    parser(const char *begin, const char *end)
        : start(begin)
        , p(begin)
        , end(end)
    { }

    jnode document(QString *error, qsizetype *offset)
    {
        if (end - p >= 3 && uchar(p[0]) == 0xef && uchar(p[1]) == 0xbb && uchar(p[2]) == 0xbf)
            p += 3;
        skip_space();
        jnode top = value(0);
        if (failure.isEmpty()) {
            skip_space();
            if (p != end)
                fail("garbage at the end of the document");
        }
        if (!failure.isEmpty()) {
            if (error)
                *error = failure;
            if (offset)
                *offset = p - start;
            return jnode();
        }
        return top;
    }

private:
    // Deeper documents are refused rather than risking the stack.
    static constexpr int max_depth = 256;

    void fail(const char *what)
    {
        if (failure.isEmpty())
            failure = QString::fromLatin1(what);
    }

    void skip_space()
    {
        // Indentation comes in runs of blanks: step over eight at a time.
        static const char blanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
        while (p != end) {
            if (end - p >= 8 && std::memcmp(p, blanks, 8) == 0)
                p += 8;
            else if (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t')
                ++p;
            else
                break;
        }
    }

    bool literal(const char *word, qsizetype n)
    {
        if (end - p < n || std::string_view(p, size_t(n)) != std::string_view(word, size_t(n)))
            return false;
        p += n;
        return true;
    }

    jnode value(int depth)
    {
        if (p == end) {
            fail("unexpected end of the document");
            return jnode();
        }
        switch (*p) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1);
        case '"':
            return string_value();
        case 't':
            if (literal("true", 4))
                return jnode::make_bool(true);
            break;
        case 'f':
            if (literal("false", 5))
                return jnode::make_bool(false);
            break;
        case 'n':
            if (literal("null", 4))
                return jnode();
            break;
        default:
            if (*p == '-' || *p == '.' || (*p >= '0' && *p <= '9'))
                return number();
        }
        fail("illegal value");
        return jnode();
    }

    // Moves the members held from `base` on into an object's or array's own lists,
    // each allocated once at its final size.
    void take_held(size_t base, qsizetype key_base, QStringList *keys, std::vector<jnode> &items)
    {
        const size_t count = held_items.size() - base;
        items.reserve(count);
        std::move(held_items.begin() + std::ptrdiff_t(base), held_items.end(),
                  std::back_inserter(items));
        held_items.erase(held_items.begin() + std::ptrdiff_t(base), held_items.end());
        if (keys) {
            keys->reserve(qsizetype(count));
            for (qsizetype i = key_base; i < held_keys.size(); ++i)
                keys->append(std::move(held_keys[i]));
            held_keys.erase(held_keys.begin() + key_base, held_keys.end());
        }
    }

    jnode object(int depth)
    {
        if (depth > max_depth) {
            fail("too deeply nested");
            return jnode();
        }
        ++p; // '{'
        jnode n = jnode::make_object();
        skip_space();
        if (p != end && *p == '}') {
            ++p;
            return n;
        }
        // Members gather on the parser's stack and move into the object once its
        // size is known; keys in strictly ascending order (as this program writes
        // them) need nothing more.
        const size_t base = held_items.size();
        const qsizetype key_base = held_keys.size();
        bool ordered = true;
        while (failure.isEmpty()) {
            skip_space();
            if (p == end || *p != '"') {
                fail("missing name of an object member");
                break;
            }
            QString key;
            if (!string(key, true))
                break;
            skip_space();
            if (p == end || *p != ':') {
                fail("missing name separator");
                break;
            }
            ++p;
            skip_space();
            jnode v = value(depth);
            if (!failure.isEmpty())
                break;
            if (ordered && held_items.size() > base && !key_less(held_keys.last(), key))
                ordered = false;
            held_keys.append(std::move(key));
            held_items.push_back(std::move(v));
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
        take_held(base, key_base, &n.keys_, n.items_);
        if (!failure.isEmpty())
            return jnode();
        if (ordered)
            return n;

        // Key order, and of equal keys the last one, as Qt's parser keeps them.
        std::vector<qsizetype> order(size_t(n.keys_.size()));
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = qsizetype(i);
        std::stable_sort(order.begin(), order.end(),
                         [&n](qsizetype a, qsizetype b) { return n.keys_.at(a) < n.keys_.at(b); });
        jnode sorted = jnode::make_object(n.keys_.size());
        for (size_t i = 0; i < order.size(); ++i) {
            const qsizetype at = order[i];
            if (i + 1 < order.size() && !(n.keys_.at(at) < n.keys_.at(order[i + 1])))
                continue; // a later member of the same key follows
            sorted.keys_.append(n.keys_.at(at));
            sorted.items_.push_back(std::move(n.items_[size_t(at)]));
        }
        return sorted;
    }

    jnode array(int depth)
    {
        if (depth > max_depth) {
            fail("too deeply nested");
            return jnode();
        }
        ++p; // '['
        jnode n = jnode::make_array();
        const size_t base = held_items.size();
        skip_space();
        if (p != end && *p == ']') {
            ++p;
            return n;
        }
        while (failure.isEmpty()) {
            skip_space();
            jnode v = value(depth);
            if (!failure.isEmpty())
                break;
            held_items.push_back(std::move(v));
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
        take_held(base, 0, nullptr, n.items_);
        if (!failure.isEmpty())
            return jnode();
        return n;
    }

    jnode number()
    {
        const char *begin = p;
        bool integral = true;
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
            integral = false;
            if (!digits() && !whole) {
                fail("illegal number");
                return jnode();
            }
        } else if (!whole) {
            fail("illegal number");
            return jnode();
        }
        if (p != end && (*p == 'e' || *p == 'E')) {
            ++p;
            integral = false;
            if (p != end && (*p == '+' || *p == '-'))
                ++p;
            if (!digits()) {
                fail("illegal number");
                return jnode();
            }
        }
        bool ok = false;
        const double v = QByteArray::fromRawData(begin, p - begin).toDouble(&ok);
        if (!ok && !std::isinf(v)) {
            fail("illegal number");
            return jnode();
        }
        return jnode::make_number(v, integral && std::abs(v) < 9007199254740992.0);
    }

    // A string value: short plain texts (most values of a file are numbers written
    // as texts) are kept in the node, everything else as a QString.
    jnode string_value()
    {
        const char *begin = p + 1;
        const size_t room = std::min<size_t>(size_t(end - begin), 25);
        const char *quote = static_cast<const char *>(std::memchr(begin, '"', room));
        if (quote && size_t(quote - begin) <= 24) {
            bool plain = true;
            for (const char *c = begin; c != quote && plain; ++c)
                plain = *c != '\\' && uchar(*c) < 0x80;
            if (plain) {
                p = quote + 1;
                return jnode::make_ascii(begin, size_t(quote - begin));
            }
        }
        QString s;
        string(s, false);
        return jnode(s);
    }

    // Reads a string after its opening quote. Keys, which repeat throughout a file,
    // are shared rather than allocated again each time.
    bool string(QString &out, bool isKey)
    {
        ++p; // '"'
        const char *begin = p;
        const char *quote = static_cast<const char *>(std::memchr(p, '"', size_t(end - p)));
        bool plain = true;
        const char *stop = quote ? quote : end;
        for (const char *c = p; c != stop; ++c) {
            if (*c == '\\' || uchar(*c) >= 0x80) {
                plain = false;
                break;
            }
        }
        if (plain)
            p = stop;
        if (plain) {
            if (p == end) {
                fail("unterminated string");
                return false;
            }
            const std::string_view view(begin, size_t(p - begin));
            ++p;
            if (isKey) {
                out = shared_key(view);
            } else {
                out = QString::fromLatin1(view.data(), qsizetype(view.size()));
            }
            return true;
        }

        // Escapes or non-ASCII text: decode piece by piece.
        p = begin;
        QString s;
        const char *run = p;
        auto flush = [&] {
            if (p != run)
                s += QString::fromUtf8(run, p - run);
        };
        while (true) {
            if (p == end) {
                fail("unterminated string");
                return false;
            }
            const uchar c = uchar(*p);
            if (c == '"') {
                flush();
                ++p;
                break;
            }
            if (c != '\\') {
                ++p;
                continue;
            }
            flush();
            ++p;
            if (p == end) {
                fail("unterminated string");
                return false;
            }
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
            case 'u': {
                if (end - p < 4) {
                    fail("illegal escape sequence");
                    return false;
                }
                bool ok = false;
                const uint code = QByteArray::fromRawData(p, 4).toUInt(&ok, 16);
                if (!ok) {
                    fail("illegal escape sequence");
                    return false;
                }
                p += 4;
                s += QChar(char16_t(code));
                break;
            }
            default:
                // As Qt's parser: an unknown escape stands for the character itself.
                s += QChar(uchar(p[-1]));
            }
            run = p;
        }
        out = s;
        return true;
    }

    // The one QString of a key text. A small table indexed by length and end
    // characters answers most look-ups before the hash map is asked.
    const QString &shared_key(std::string_view view)
    {
        const size_t n = view.size();
        const size_t slot = n == 0
            ? 0
            : (n * 31 + uchar(view.front()) * 7 + uchar(view.back())) % std::size(recent);
        recent_key &r = recent[slot];
        if (r.text && r.view == view)
            return *r.text;
        auto it = keys.find(view);
        if (it == keys.end())
            it = keys.emplace(view, QString::fromLatin1(view.data(), qsizetype(n))).first;
        r.view = it->first; // views into the document, alive as long as the parser
        r.text = &it->second;
        return it->second;
    }

    struct recent_key
    {
        std::string_view view;
        const QString *text = nullptr; // node values of an unordered_map stay put
    };
    recent_key recent[64];

    const char *start;
    const char *p;
    const char *end;
    QString failure;
    std::unordered_map<std::string_view, QString> keys;
    // Members of the objects and arrays being read, innermost last; held_keys holds
    // the keys of object members only.
    std::vector<jnode> held_items;
    QStringList held_keys;
};

jnode jnode::parse(const QByteArray &json, QString *error, qsizetype *offset)
{
    parser reader(json.constData(), json.constData() + json.size());
    return reader.document(error, offset);
}

} // namespace jsdb_codec
