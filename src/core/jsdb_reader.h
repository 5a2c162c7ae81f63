#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

namespace jsdb_codec {

class jdocument;
class jvalue;

/// Steps through the elements of an array or the member values of an object.
class jiterator
{
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = jvalue;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = jvalue;

    jiterator() = default;
    /// The current element or member value.
    jvalue operator*() const;
    /// Moves to the next one.
    jiterator &operator++();
    /// Iterators of one range are equal at the same position.
    bool operator==(const jiterator &other) const { return at == other.at; }
    bool operator!=(const jiterator &other) const { return at != other.at; }

private:
    friend class jvalue;
    /// Through `jdocument::order` (an object whose keys arrive unsorted) or by
    /// stepping over each value's subtree (and the next member's key: `stride` 1).
    enum class walk : quint8 { subtree, order };
    jiterator(const jdocument *doc, quint32 at, walk how, quint32 stride)
        : doc(doc)
        , at(at)
        , how(how)
        , stride(stride)
    { }

    const jdocument *doc = nullptr;
    quint32 at = 0; ///< entry index of the current value, or position in `order`
    walk how = walk::subtree;
    quint32 stride = 0;
};

/// The elements of an array or the member values of an object, in order.
class jrange
{
public:
    /// The first value, and the position past the last.
    jiterator begin() const { return first; }
    jiterator end() const { return last; }
    /// Number of values.
    qsizetype size() const { return count; }
    bool empty() const { return count == 0; }

private:
    friend class jvalue;
    jrange() = default;
    jrange(jiterator first, jiterator last, qsizetype count)
        : first(first)
        , last(last)
        , count(count)
    { }

    jiterator first, last;
    qsizetype count = 0;
};

/// A value of a parsed document: a pointer to the document and the position of the
/// value in it. A missing member or a value of the wrong type reads as a null value,
/// so readers can ask for what they expect without checking each step. Valid while
/// the document lives.
class jvalue
{
public:
    /// The types of JSON values.
    enum kind : quint8 { null_value, boolean, number, string, array, object };

    jvalue() = default;

    /// The JSON type; null_value also for a missing value.
    kind type() const;
    bool is_null() const { return type() == null_value; }

    /// The text of a string, else empty (as QJsonValue::toString).
    QString to_string() const;
    /// The text of a string read as to_int, to_int64 and to_double read it; 0 for
    /// anything else.
    int text_to_int() const;
    qint64 text_to_int64() const;
    double text_to_double() const;
    /// True when this is a string whose whole text reads as a finite number, or as a
    /// whole number of 32 bits when `whole` (as QString::toDouble and toInt accept it).
    bool text_is_number(bool whole) const;
    /// The value of a boolean, else false.
    bool to_bool() const;
    /// An integral number that fits 32 bits, else 0 (as QJsonValue::toInt).
    int to_int() const;
    /// The value of a number, else 0 (as QJsonValue::toDouble).
    double to_double() const;

    /// Object member `key` (Latin-1 text), of equal keys the last one; a null value
    /// when absent or when this is not an object.
    jvalue value(std::string_view key) const;
    /// True when an object has member `key`, whatever its value (null included).
    bool contains(std::string_view key) const { return value(key).doc != nullptr; }
    /// True unless this is an object with at least one member.
    bool empty_object() const { return member_count() == 0; }
    /// Number of distinct keys of an object, else 0.
    qsizetype member_count() const;
    /// Member values in key order (UTF-16 code units, as QJsonObject); empty when
    /// this is not an object.
    jrange members() const;
    /// The value of the i-th member in key order. Steps over the members before it:
    /// iterate with members() instead.
    jvalue member(qsizetype i) const;
    /// The key under which this value is an object member, else empty.
    QString key() const;

    /// Array elements; empty when this is not an array.
    jrange elements() const;

private:
    friend class jdocument;
    friend class jiterator;
    jvalue(const jdocument *doc, quint32 at)
        : doc(doc)
        , at(at)
    { }

    const jdocument *doc = nullptr; ///< null for a missing value
    quint32 at = 0;
};

/// A JSON document parsed in one pass into a flat list of small entries, one per
/// key and value, each locating its text in the source bytes. Nothing is allocated
/// per value and texts are decoded only when a reader asks for them: a configuration
/// file holds a few hundred thousand values, most of which are read once.
///
/// The parser accepts what QJsonDocument::fromJson accepts and reads the same values;
/// deeper nesting than 256 levels is refused.
class jdocument
{
public:
    jdocument() = default;
    jdocument(const jdocument &) = delete;
    jdocument &operator=(const jdocument &) = delete;

    /// Parses `json` (whose bytes the document shares). On failure returns false,
    /// sets `error` and the byte `offset` where the text went wrong, and root() is
    /// a null value.
    bool parse(const QByteArray &json, QString *error = nullptr, qsizetype *offset = nullptr);
    /// The top-level value.
    jvalue root() const;

private:
    friend class jvalue;
    friend class jiterator;
    friend class jparser;

    enum flag : quint8 {
        escaped = 1, ///< string holding backslash escapes
        non_ascii = 2, ///< string holding bytes above 0x7f
        is_key = 4, ///< string that is an object member's key
        reordered = 8, ///< object whose member order lives in `order`
        true_value = 16, ///< boolean true
    };

    /// One key or value. Members of an object follow it as key, value, key, value;
    /// elements of an array follow it in order; each value's subtree ends at `end`.
    struct entry
    {
        /// String or number: byte offset of its text (a string's without quotes).
        /// Reordered object: first position of its members in `order`.
        quint32 offset;
        /// String or number: byte length of its text. Array: elements. Object:
        /// distinct keys.
        quint32 length;
        union {
            quint32 end; ///< value: index just past it and everything inside it
            /// Key: its first four bytes (zero-padded), so that looking a member up
            /// rarely needs the text itself.
            quint32 head;
        };
        quint8 kind;
        quint8 flags;
    };

    const entry &at(quint32 i) const { return entries[i]; }
    std::string_view text_of(const entry &e) const
    {
        return std::string_view(bytes.constData() + e.offset, e.length);
    }
    QString decode(const entry &e) const;
    static quint32 head_of(std::string_view text)
    {
        // In registers: bytes stored one by one and read back as a word would stall.
        quint32 h = 0;
        const size_t n = std::min<size_t>(text.size(), sizeof h);
        for (size_t i = 0; i < n; ++i)
            h |= quint32(uchar(text[i])) << (8 * i);
        return h;
    }
    /// True when the key entry `k` is the Latin-1 text `key` whose head_of() is `head`.
    bool key_equals(const entry &k, std::string_view key, quint32 head) const
    {
        if (k.flags & (escaped | non_ascii))
            return decoded_key_equals(k, key);
        if (k.length != key.size() || k.head != head)
            return false;
        // Keys are a few bytes long: a call to memcmp would cost more.
        const char *text = bytes.constData() + k.offset;
        for (quint32 i = sizeof head; i < k.length; ++i)
            if (text[i] != key[i])
                return false;
        return true;
    }
    bool decoded_key_equals(const entry &k, std::string_view key) const;

    QByteArray bytes;
    std::vector<entry> entries;
    /// Value entries of reordered objects in key order, equal keys reduced to the last.
    std::vector<quint32> order;
};

inline jvalue::kind jvalue::type() const
{
    return doc ? kind(doc->at(at).kind) : null_value;
}

} // namespace jsdb_codec
