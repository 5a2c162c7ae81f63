// Numbers in the texts of configuration files: reading them as Qt's conversions
// do, and writing them as QString::number does, without Qt's slower paths.

#include "jsdbfile_mgr.h"

#include <QtAlgorithms>

#include <algorithm>
#include <array>
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

bool jvalue::text_is_number(bool whole) const
{
    if (type() != string)
        return false;
    const jdocument::entry &e = doc->at(at);
    if (!(e.flags & (jdocument::escaped | jdocument::non_ascii))) {
        const std::string_view t = doc->text_of(e);
        int i = 0;
        double d = 0.0;
        if (whole ? quick_integer(t.data(), t.size(), i) : quick_double(t.data(), t.size(), d))
            return true;
    }
    bool ok = false;
    const QString text = doc->decode(e);
    if (whole) {
        text.toInt(&ok);
        return ok;
    }
    const double d = text.toDouble(&ok);
    return ok && std::isfinite(d);
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

#ifdef __SIZEOF_INT128__
namespace {

using u128 = unsigned __int128;

constexpr int max_pow5 = 27; // 5^27 < 2^63: a 53-bit mantissa times it fits 116 bits

constexpr std::array<quint64, max_pow5 + 1> powers_of_5()
{
    std::array<quint64, max_pow5 + 1> p {};
    p[0] = 1;
    for (int i = 1; i <= max_pow5; ++i)
        p[size_t(i)] = p[size_t(i) - 1] * 5;
    return p;
}
constexpr std::array<quint64, max_pow5 + 1> pow5 = powers_of_5();

constexpr std::array<quint64, 19> powers_of_10()
{
    std::array<quint64, 19> p {};
    p[0] = 1;
    for (size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}
constexpr std::array<quint64, 19> pow10 = powers_of_10();

// 10^-30 .. 10^40 as doubles (the nearest each), for a first guess of a decimal
// exponent.
constexpr int decimal_power_bias = 30;
constexpr double decimal_powers[]
    = {1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19,
       1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,
       1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,
       1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,
       1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,
       1e30,  1e31,  1e32,  1e33,  1e34,  1e35,  1e36,  1e37,  1e38,  1e39,  1e40};

int bit_width(u128 x)
{
    const auto high = quint64(x >> 64);
    return high ? 128 - qCountLeadingZeroBits(high) : 64 - qCountLeadingZeroBits(quint64(x));
}

// |v| = m 2^e (finite, not zero) times 10^k, cut to a whole number `q`; `up` when
// the part cut off is half a unit or more, where Qt rounds away from zero. False
// when the numbers would not fit 128 bits.
bool scaled(quint64 m, int e, int k, u128 &q, bool &up)
{
    // 10^k = 5^k 2^k: the power of five goes into the numerator or the
    // denominator, the power of two into the shift t.
    const int t = e + k;
    if (std::abs(k) > max_pow5)
        return false;
    if (k >= 0) {
        const u128 num = u128(m) * pow5[size_t(k)];
        if (t >= 0) {
            if (bit_width(num) + t > 127)
                return false;
            q = num << t;
            up = false;
            return true;
        }
        if (-t > 126)
            return false;
        const int s = -t;
        q = num >> s;
        const u128 rest = num & ((u128(1) << s) - 1);
        up = rest >= (u128(1) << (s - 1));
        return true;
    }
    u128 num = m;
    u128 den = pow5[size_t(-k)];
    if (t >= 0) {
        if (bit_width(num) + t > 126)
            return false;
        num <<= t;
    } else {
        if (bit_width(den) - t > 126)
            return false;
        den <<= -t;
    }
    q = num / den;
    up = 2 * (num % den) >= den;
    return true;
}

// Writes the `count` digits of `d`, which has no more, two at a time.
void put_digits(char *first, int count, quint64 d)
{
    static constexpr char pairs[] = "00010203040506070809"
                                    "10111213141516171819"
                                    "20212223242526272829"
                                    "30313233343536373839"
                                    "40414243444546474849"
                                    "50515253545556575859"
                                    "60616263646566676869"
                                    "70717273747576777879"
                                    "80818283848586878889"
                                    "90919293949596979899";
    char *p = first + count;
    for (; d > 0xffffffff; d /= 100) {
        p -= 2;
        std::memcpy(p, pairs + 2 * (d % 100), 2);
    }
    auto v = quint32(d); // cheaper to divide
    for (; p - first >= 2; v /= 100) {
        p -= 2;
        std::memcpy(p, pairs + 2 * (v % 100), 2);
    }
    if (p != first)
        *first = char('0' + v);
}

// As write_g, for the `n` digits of `d`, which has no trailing zeros: each digit
// is written where it belongs.
size_t write_g_number(bool negative, quint64 d, int n, int exp10, int precision, char *buf)
{
    char *o = buf;
    if (negative)
        *o++ = '-';
    if (exp10 < -4 || exp10 >= precision) {
        put_digits(o + 1, n, d); // then the first digit moves before the point
        o[0] = o[1];
        if (n > 1) {
            o[1] = '.';
            o += n + 1;
        } else {
            o += 1;
        }
        *o++ = 'e';
        *o++ = exp10 < 0 ? '-' : '+';
        const int e = std::abs(exp10);
        if (e < 10)
            *o++ = '0';
        return size_t(std::to_chars(o, buf + 32, e).ptr - buf);
    }
    if (exp10 < 0) {
        const int zeros = -exp10 - 1;
        *o++ = '0';
        *o++ = '.';
        std::memset(o, '0', size_t(zeros));
        o += zeros;
        put_digits(o, n, d);
        return size_t(o + n - buf);
    }
    const int whole = exp10 + 1;
    if (n <= whole) {
        put_digits(o, n, d);
        std::memset(o + n, '0', size_t(whole - n));
        return size_t(o + whole - buf);
    }
    put_digits(o + 1, n, d); // then the whole part moves before the point
    std::memmove(o, o + 1, size_t(whole));
    o[whole] = '.';
    return size_t(o + n + 1 - buf);
}

// format_g by exact integer arithmetic: |v| scaled by a power of ten to
// `precision` digits before the point, then rounded half away from zero as Qt
// rounds. Returns 0 for magnitudes out of its reach (below about 1e-15 or above
// about 1e37), which the general path takes.
size_t format_g_exact(double v, int precision, char *buf)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof v);
    const int biased = int((bits >> 52) & 0x7ff);
    if (biased == 0) // subnormal: too small for this path anyway
        return 0;
    const quint64 m = (bits & ((quint64(1) << 52) - 1)) | (quint64(1) << 52);
    const int e = biased - 1075; // |v| = m 2^e
    // floor(log10 |v|): from the binary exponent (78913 / 2^18 is log10 2 rounded
    // down), then one step up if |v| reaches the next power of ten. Near powers of
    // ten the guess may still be off by one; the digit count below corrects it.
    const int e2 = e + 52; // |v| in [2^e2, 2^(e2 + 1))
    int exp10 = (e2 * 78913) >> 18;
    if (exp10 + 1 < int(std::size(decimal_powers)) - decimal_power_bias
        && exp10 + 1 >= -decimal_power_bias
        && std::abs(v) >= decimal_powers[size_t(exp10 + 1 + decimal_power_bias)])
        ++exp10;
    for (int attempt = 0; attempt < 3; ++attempt) {
        u128 q = 0;
        bool up = false;
        if (!scaled(m, e, precision - 1 - exp10, q, up))
            return 0;
        if (q < pow10[size_t(precision) - 1]) {
            --exp10;
            continue;
        }
        if (q >= pow10[size_t(precision)]) {
            ++exp10;
            continue;
        }
        auto d = quint64(q) + (up ? 1 : 0);
        if (d == pow10[size_t(precision)]) { // 9.99..5 rounds to the next power
            d = pow10[size_t(precision) - 1];
            ++exp10;
        }
        int n = precision;
        for (; n > 1 && d % 10 == 0; --n)
            d /= 10;
        return write_g_number(v < 0, d, n, exp10, precision, buf);
    }
    return 0;
}

} // namespace
#endif

size_t format_g(double v, int precision, char *buf)
{
    if (!std::isfinite(v) || precision > 17)
        return 0;
    precision = std::max(precision, 1); // as Qt, 0 means one digit
    if (v == 0.0) {
        buf[0] = '0'; // negative zero too, as Qt writes it
        return 1;
    }
#ifdef __SIZEOF_INT128__
    if (const size_t n = format_g_exact(v, precision, buf))
        return n;
#endif
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
