#pragma once

#include <QLocale>
#include <QRegularExpression>
#include <QString>

#include <cmath>
#include <limits>

/// Heights shared by the tables, buttons and fields of every window.
class format_fields
{
public:
    int cell_height() const { return 28; } ///< table row and tool-bar height, pixels
    int button_height() const { return 28; } ///< button height, pixels
    int field_height() const { return 28; } ///< field height, pixels
};

/// Why `text` is no number a double holds as written, in a few words ("not a number",
/// "too small to hold: it would be 0", ...); empty when it is one, `value` then set.
/// Numbers are written with a point as decimal separator and an optional exponent
/// ("1.5", "-2.5e3"), with blanks around them allowed. A numeric field and a
/// configuration file's reader give the same reasons with it.
inline QString number_text_refusal(const QString &text, double *value = nullptr)
{
    static const QRegularExpression complete(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    // The start of a number still being typed ("-", "1e", "2.5e-").
    static const QRegularExpression partial(QStringLiteral(R"(^[+-]?(\d*\.?\d*)([eE][+-]?)?$)"));
    const QString number = text.trimmed();
    if (!complete.match(number).hasMatch()) {
        if (number.contains(QLatin1Char(',')))
            return QStringLiteral("use a point as decimal separator");
        if (partial.match(number).hasMatch())
            return QStringLiteral("not a complete number");
        // The words a program writes for an infinity or NaN name no finite number;
        // told so whether typed, read from a file or judged before a run.
        static const QRegularExpression nonFinite(QStringLiteral(R"(^[+-]?(inf(inity)?|nan)$)"),
                                                  QRegularExpression::CaseInsensitiveOption);
        if (nonFinite.match(number).hasMatch())
            return QStringLiteral("not a finite number");
        return QStringLiteral("not a number");
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(number, &ok);
    // A number below the smallest double reads as 0, not ok (a written 0 reads ok).
    if (!ok && v == 0.0)
        return QStringLiteral("too small to hold: it would be 0");
    if (!ok || !std::isfinite(v))
        return QStringLiteral("not a finite number");
    // Nearer to 0 than the smallest normal double, a number keeps only some of its
    // digits (1e-320 reads as 9.99989e-321).
    if (v != 0.0 && std::abs(v) < std::numeric_limits<double>::min())
        return QStringLiteral("too small to hold all its digits: nearer to 0 than ")
            + QString::number(std::numeric_limits<double>::min(), 'g',
                              QLocale::FloatingPointShortest);
    if (value)
        *value = v;
    return QString();
}
