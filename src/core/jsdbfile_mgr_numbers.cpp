// Numbers in the texts of configuration files: reading them as Qt's conversions
// do, and writing them as QString::number does, without Qt's slower paths.

#include "jsdbfile_mgr.h"

#include <QtAlgorithms>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace jsdb_codec {

namespace {

// Digits, sign, point and exponent only: no blanks, '+', words or groups. Texts
// of other characters take Qt's own conversion.
bool plain_number_char(char16_t u)
{
    return (u >= '0' && u <= '9') || u == '-' || u == '.' || u == 'e' || u == 'E';
}

// Copies a short plain-number text into `buf`; false for anything else.
bool ascii_copy(const QString &text, char (&buf)[64], size_t &n)
{
    n = size_t(text.size());
    if (n == 0 || n >= sizeof buf)
        return false;
    const QChar *c = text.constData();
    for (size_t i = 0; i < n; ++i) {
        const char16_t u = c[i].unicode();
        if (!plain_number_char(u))
            return false;
        buf[i] = char(u);
    }
    return true;
}

bool plain_number(const char *text, size_t n)
{
    if (n == 0)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!plain_number_char(uchar(text[i])))
            return false;
    return true;
}

template<typename T>
bool quick_integer(const char *text, size_t n, T &out)
{
    const auto r = std::from_chars(text, text + n, out, 10);
    return r.ec == std::errc() && r.ptr == text + n;
}

bool quick_double(const char *text, size_t n, double &out)
{
    const auto r = std::from_chars(text, text + n, out, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == text + n && std::isfinite(out);
}

} // namespace

int to_int(const QString &text)
{
    char buf[64];
    size_t n = 0;
    int v = 0;
    return ascii_copy(text, buf, n) && quick_integer(buf, n, v) ? v : text.toInt();
}

qint64 to_int64(const QString &text)
{
    char buf[64];
    size_t n = 0;
    qint64 v = 0;
    return ascii_copy(text, buf, n) && quick_integer(buf, n, v) ? v : text.toLongLong();
}

double to_double(const QString &text)
{
    char buf[64];
    size_t n = 0;
    double v = 0.0;
    return ascii_copy(text, buf, n) && quick_double(buf, n, v) ? v : text.toDouble();
}

// Short texts held in the node are read in place; Qt converts only what the quick
// path refuses, from the very text to_string() would give.
int jnode::text_to_int() const
{
    if (k != string)
        return 0;
    if (!b)
        return jsdb_codec::to_int(str);
    int v = 0;
    return plain_number(ascii, ascii_len) && quick_integer(ascii, ascii_len, v)
        ? v
        : to_string().toInt();
}

qint64 jnode::text_to_int64() const
{
    if (k != string)
        return 0;
    if (!b)
        return jsdb_codec::to_int64(str);
    qint64 v = 0;
    return plain_number(ascii, ascii_len) && quick_integer(ascii, ascii_len, v)
        ? v
        : to_string().toLongLong();
}

double jnode::text_to_double() const
{
    if (k != string)
        return 0.0;
    if (!b)
        return jsdb_codec::to_double(str);
    double v = 0.0;
    return plain_number(ascii, ascii_len) && quick_double(ascii, ascii_len, v)
        ? v
        : to_string().toDouble();
}

// Plain texts are read in place; texts with escapes or non-ASCII characters are
// decoded first. Qt converts only what the quick path refuses. The whole text
// must convert, so the quick path needs no check of its characters: from_chars
// takes no blanks or '+', and its words ("inf", "nan") give no finite number.
int jvalue::text_to_int() const
{
    if (type() != string)
        return 0;
    const jdocument::entry &e = doc->at(at);
    if (e.flags & (jdocument::escaped | jdocument::non_ascii))
        return jsdb_codec::to_int(doc->decode(e));
    const std::string_view t = doc->text_of(e);
    int v = 0;
    return quick_integer(t.data(), t.size(), v)
        ? v
        : QString::fromLatin1(t.data(), qsizetype(t.size())).toInt();
}

qint64 jvalue::text_to_int64() const
{
    if (type() != string)
        return 0;
    const jdocument::entry &e = doc->at(at);
    if (e.flags & (jdocument::escaped | jdocument::non_ascii))
        return jsdb_codec::to_int64(doc->decode(e));
    const std::string_view t = doc->text_of(e);
    qint64 v = 0;
    return quick_integer(t.data(), t.size(), v)
        ? v
        : QString::fromLatin1(t.data(), qsizetype(t.size())).toLongLong();
}

double jvalue::text_to_double() const
{
    if (type() != string)
        return 0.0;
    const jdocument::entry &e = doc->at(at);
    if (e.flags & (jdocument::escaped | jdocument::non_ascii))
        return jsdb_codec::to_double(doc->decode(e));
    const std::string_view t = doc->text_of(e);
    double v = 0.0;
    return quick_double(t.data(), t.size(), v)
        ? v
        : QString::fromLatin1(t.data(), qsizetype(t.size())).toDouble();
}

namespace {

// Writes the digits `d` (most significant first) of a number `d[0].d[1..] x 10^exp10`
// in the form of printf's %g: without trailing zeros, scientific with an exponent
// of at least two digits when exp10 < -4 or exp10 >= precision, else positional.
size_t write_g(bool negative, std::string_view d, int exp10, int precision, char *buf)
{
    while (d.size() > 1 && d.back() == '0')
        d.remove_suffix(1);
    char *o = buf;
    if (negative)
        *o++ = '-';
    if (exp10 < -4 || exp10 >= precision) {
        *o++ = d[0];
        if (d.size() > 1) {
            *o++ = '.';
            o = std::copy(d.begin() + 1, d.end(), o);
        }
        *o++ = 'e';
        *o++ = exp10 < 0 ? '-' : '+';
        const int e = std::abs(exp10);
        if (e < 10)
            *o++ = '0';
        o = std::to_chars(o, buf + 32, e).ptr;
    } else if (exp10 >= 0) {
        const size_t whole = size_t(exp10) + 1;
        for (size_t i = 0; i < whole; ++i)
            *o++ = i < d.size() ? d[i] : '0';
        if (d.size() > whole) {
            *o++ = '.';
            o = std::copy(d.begin() + std::ptrdiff_t(whole), d.end(), o);
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        for (int i = -1; i > exp10; --i)
            *o++ = '0';
        o = std::copy(d.begin(), d.end(), o);
    }
    return size_t(o - buf);
}

// True when |v| lies exactly halfway between two numbers of `precision` significant
// digits (v finite, not zero). Such values need `precision` + 1 digits, the last a
// 5, and nothing after.
bool exact_tie(double v, int precision)
{
    // A quick test first, in whole numbers: with |v| = odd * 2^p and k the power
    // of ten that brings |v| to `precision` digits before the point, v is a tie
    // when 2 |v| 10^k = odd * 5^k * 2^(p + k + 1) is an odd integer, so p + k + 1
    // is 0 and, for k < 0, 5^-k divides odd.
    int e2 = 0;
    const double f = std::frexp(std::abs(v), &e2);
    const auto m = quint64(std::ldexp(f, 53));
    const int zeros = qCountTrailingZeroBits(m);
    const quint64 odd = m >> zeros;
    const int p = e2 - 53 + zeros;
    const int k = -(p + 1);
    // log10 may miss by one near powers of ten; the full test below decides.
    const int k_estimate = precision - 1 - int(std::floor(std::log10(std::abs(v))));
    if (std::abs(k - k_estimate) > 1)
        return false;
    if (k < 0) {
        if (k < -22) // 5^23 exceeds any 53-bit odd part
            return false;
        quint64 pow5 = 1;
        for (int i = 0; i < -k; ++i)
            pow5 *= 5;
        if (odd % pow5 != 0)
            return false;
    }

    char near[48];
    const auto r = std::to_chars(near, near + sizeof near, std::abs(v),
                                 std::chars_format::scientific, precision + 2);
    // "d.ddd...e+XX": the digit after the kept ones sits at index precision + 1.
    if (r.ec != std::errc() || near[precision + 1] != '5' || near[precision + 2] != '0'
        || near[precision + 3] != '0')
        return false;
    // Rare: confirm with every digit of the value (a double has at most 767).
    static thread_local char all[800];
    const auto e
        = std::to_chars(all, all + sizeof all, std::abs(v), std::chars_format::scientific, 780);
    const char *x = std::find<const char *>(all, e.ptr, 'e');
    return x != e.ptr && all[precision + 1] == '5'
        && std::all_of(static_cast<const char *>(all) + precision + 2, x,
                       [](char c) { return c == '0'; });
}

} // namespace

namespace {

// The significant digits and the power of ten of |v| in scientific form: the
// shortest that reads back as v (precision < 0), else rounded to precision + 1
// digits. Returns the number of digits put in `digits` (room for 20).
int scientific_digits(double v, int precision, char *digits, int &exp10)
{
    char sci[48];
    const auto r = precision < 0
        ? std::to_chars(sci, sci + sizeof sci, std::abs(v), std::chars_format::scientific)
        : std::to_chars(sci, sci + sizeof sci, std::abs(v), std::chars_format::scientific,
                        precision);
    const char *e = std::find<const char *>(sci, r.ptr, 'e');
    int n = 0;
    for (const char *c = sci; c != e; ++c)
        if (*c != '.')
            digits[n++] = *c;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exp10);
    return n;
}

// Adds one unit in the last of the first `n` digits, carrying into a new leading
// digit (and a larger power of ten) if all were 9.
void round_up(char *digits, int n, int &exp10)
{
    int i = n - 1;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
    } else {
        digits[0] = '1';
        ++exp10;
    }
}

} // namespace

size_t format_g(double v, int precision, char *buf)
{
    if (!std::isfinite(v) || precision > 17)
        return 0;
    precision = std::max(precision, 1); // as Qt, 0 means one digit
    if (v == 0.0) {
        buf[0] = '0'; // negative zero too, as Qt writes it
        return 1;
    }
    char digits[24];
    int exp10 = 0;
    // Up to 15 digits, at most one number of `precision` digits lies within the
    // reach of a normal v's shortest text S (half a unit of the last bit), and no
    // halfway point between two such numbers does unless S is that point: S rounded
    // to `precision` digits is v rounded, without the slow exact conversion.
    // (Denormals have fewer bits, so a wider reach.)
    if (precision <= 15 && std::isnormal(v)) {
        const int n = scientific_digits(v, -1, digits, exp10);
        if (n <= precision)
            return write_g(v < 0, std::string_view(digits, size_t(n)), exp10, precision, buf);
        if (n > precision + 1 || digits[precision] != '5') {
            if (digits[precision] >= '5') // S has no trailing zeros: past halfway
                round_up(digits, precision, exp10);
            return write_g(v < 0, std::string_view(digits, size_t(precision)), exp10, precision,
                           buf);
        }
    }
    // The C library's %g rules (exponent of at least two digits, scientific below
    // 1e-4 or from 10^precision on) are the ones QString::number follows, except for
    // exact halves: the library rounds them to even, Qt away from zero.
    if (!exact_tie(v, precision)) {
        const auto r = std::to_chars(buf, buf + 32, v, std::chars_format::general, precision);
        return r.ec == std::errc() ? size_t(r.ptr - buf) : 0;
    }
    // The digits up to two past the kept ones are exact here ("...500").
    scientific_digits(v, precision + 1, digits, exp10);
    round_up(digits, precision, exp10);
    return write_g(v < 0, std::string_view(digits, size_t(precision)), exp10, precision, buf);
}

size_t format_int(qint64 v, char *buf)
{
    return size_t(std::to_chars(buf, buf + 24, v).ptr - buf);
}

} // namespace jsdb_codec
