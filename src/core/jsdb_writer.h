#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace jsdb_codec {

/// Significant digits of doubles in general, and of equilibrium-constant
/// coefficients, whose polynomials lose accuracy at high temperature otherwise.
constexpr int digits = 6;
constexpr int digitsCoeff = 17;

/// Writes `v` into `buf` as QString::number(v, 'g', precision) writes it (the
/// shortest text of `precision` significant digits, C-style exponent) and returns
/// its length; 0 for infinities, NaN and precisions above 17, which are left to
/// Qt. `buf` holds 32 chars.
size_t format_g(double v, int precision, char *buf);
/// Writes `v` in base 10 into `buf` (room for 24 chars) and returns its length.
size_t format_int(qint64 v, char *buf);

/// Writes a JSON document as indented text straight into one growing buffer, byte
/// for byte as QJsonDocument::toJson(Indented) writes the same document: 4-space
/// indentation, Qt's escapes, UTF-8, and object members sorted by key (UTF-16 code
/// units; of equal keys the last one written is kept).
///
/// Members written in key order go straight to their place. A member whose key
/// does not follow its predecessor's is still written; the object's members are
/// then put in order (stably) when the object closes, which moves text, so callers
/// that can should write in key order.
///
/// Inside an object every value is preceded by key(); inside an array it is not.
class jsdb_writer
{
public:
    /// A writer that puts its text into `buffer`, whose bytes are dropped and whose
    /// memory is kept: writing into memory already in use is several times faster
    /// than into fresh memory, so repeated saves hand the same buffer back in.
    explicit jsdb_writer(QByteArray buffer = QByteArray());

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();

    /// The key of the object member whose value is written next.
    void key(const QString &name);
    /// The same for a Latin-1 key that outlives the writer, such as a literal: its
    /// text is neither copied nor converted.
    void key(QLatin1String name);
    template<size_t N>
    void key(const char (&name)[N])
    {
        key(QLatin1String(name, qsizetype(N - 1)));
    }

    /// A JSON string.
    void string(const QString &text);
    /// A JSON string of the ASCII text `text[0, n)`.
    void ascii(const char *text, size_t n);
    /// A JSON number without fraction or exponent.
    void integer(qint64 v);
    void boolean(bool v);
    /// An array of JSON strings.
    void strings(const QStringList &texts);

    // The value encoding of configuration files: every scalar is a JSON string.

    /// `v` in base 10, as a JSON string.
    void num(qint64 v);
    void num(int v) { num(qint64(v)); }
    /// `v` with `precision` significant digits as QString::number(v, 'g', precision)
    /// writes it, as a JSON string.
    void num(double v, int precision = digits);
    /// "1" or "0".
    void flag(bool v) { ascii(v ? "1" : "0", 1); }

    // A member in one call: key(name), with any key key() takes, and its value.
    template<class Key>
    void text(const Key &name, const QString &value)
    {
        key(name);
        string(value);
    }
    template<class Key>
    void num(const Key &name, qint64 v)
    {
        key(name);
        num(v);
    }
    template<class Key>
    void num(const Key &name, int v)
    {
        key(name);
        num(qint64(v));
    }
    template<class Key>
    void num(const Key &name, double v, int precision = digits)
    {
        key(name);
        num(v, precision);
    }
    template<class Key>
    void flag(const Key &name, bool v)
    {
        key(name);
        flag(v);
    }

    /// The document once its top-level value is complete: the text with its final
    /// newline. The writer is then done.
    QByteArray finish();

private:
    /// A key's text: UTF-16 units, or Latin-1 bytes when `latin`.
    struct key_text
    {
        const void *units;
        qsizetype size;
        bool latin;
    };
    struct member
    {
        key_text key;
        size_t begin = 0; ///< offset of the member's first byte (its indentation)
        size_t end
            = 0; ///< offset one past its value, known once the next member or the close comes
    };
    struct frame
    {
        bool object;
        bool empty;
        bool unsorted; ///< a key did not follow its predecessor's
        size_t first_member; ///< index into `members` of the object's first member
        size_t first_owner; ///< index into `owners` of the object's first QString key
    };

    /// Room for `n` more bytes at the write position, which it returns.
    char *room(size_t n)
    {
        if (size_t(limit - at) < n)
            grow(n);
        return at;
    }
    void grow(size_t n);
    size_t offset() const { return size_t(at - out.constData()); }
    /// The separator and indentation before an array element.
    void before_value();
    /// Opens a member of the key `units[0, size)`: separator, bookkeeping and
    /// indentation; returns where the quoted key goes, with room for `quoted`
    /// bytes of it and ": ".
    char *begin_member(const void *units, qsizetype size, bool latin, size_t quoted);
    void close(char bracket);
    void sort_members(const frame &f);

    QByteArray out; ///< the text up to `at`; the bytes from there to `limit` are free
    char *at = nullptr;
    char *limit = nullptr;
    std::vector<frame> open;
    /// Members of every open object, the innermost object's last.
    std::vector<member> members;
    /// The QString keys among them, kept so that their text stays alive.
    std::vector<QString> owners;
};

} // namespace jsdb_codec
