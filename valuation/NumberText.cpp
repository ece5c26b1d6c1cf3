#include "NumberText.h"

#include "LenientReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace varneth {

namespace {

// Results show at most this many significant digits, in plain notation while the decimal
// exponent stays within these bounds and in exponent notation beyond them.
constexpr int kSignificantDigits = 15;
constexpr int kPlainExponentMin = -4;
constexpr int kPlainExponentMax = 14;

// A number as the store keeps it in any language: the digits 0-9, a hyphen-minus and an
// "E" exponent, no digit grouping, and only the decimal separator taken from the locale.
// A locale's own digits (Arabic-Indic, Persian) would tie the file to that language: read
// under another, a native digit is no number at all. Every locale reads these.
QString plainText(double value, char format, int precision, const QLocale& locale)
{
    QString text = QLocale::c().toString(value, format, precision);
    text.replace(u'.', locale.decimalPoint());
    text.replace(u'e', u'E');
    return text;
}

// The shortest decimal digits that identify the float, as std::to_chars finds them,
// give the precision to ask the locale for; the count and the decimal exponent of the
// first digit are returned.
struct ShortestDigits
{
    int count = 0;
    int exponent = 0;
};

ShortestDigits shortestFloatDigits(float value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    ShortestDigits digits;
    const char* p = buffer;
    if (p != result.ptr && *p == '-')
        ++p;
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            ++digits.count;
    }
    if (p != result.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, digits.exponent);
    if (digits.count == 0)
        digits.count = 1;
    return digits;
}

// Lays one precision out in the locale: plain notation for ordinary magnitudes, which is
// what window geometry always is, exponent notation only where plain would be long.
QString floatInPrecision(float value, const QLocale& locale, int significant, int exponent)
{
    if (exponent >= -5 && exponent <= 15) {
        const int decimals = std::max(0, significant - 1 - exponent);
        return plainText(double(value), 'f', decimals, locale);
    }
    return plainText(double(value), 'e', significant - 1, locale);
}

} // namespace

double NumberText::lenientNumber(QStringView text)
{
    LenientReader reader(text);
    return reader.read();
}

QString NumberText::numberText(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QStringLiteral("Overflow");
    // A zero amount times a negative price is a negative zero; it shows as plain "0".
    if (value == 0.0)
        return QStringLiteral("0");

    // to_chars rounds to 15 significant digits correctly and without any locale; a
    // rounding that carries (9.999999999999999e14) already shows in its exponent.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[kSignificantDigits];
    int count = 0;
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (*p != '.' && count < kSignificantDigits)
            digits[count++] = *p;
    }
    int exponent = 0;
    if (p != result.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    const QString separator = locale.decimalPoint();
    QString out;
    out.reserve(32);
    if (negative)
        out += QLatin1Char('-');

    if (exponent < kPlainExponentMin || exponent > kPlainExponentMax) {
        out += QLatin1Char(digits[0]);
        if (count > 1) {
            out += separator;
            out += QLatin1StringView(digits + 1, count - 1);
        }
        out += QLatin1Char('E');
        out += QLatin1Char(exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            out += QLatin1Char('0');
        out += QString::number(magnitude);
    } else if (exponent >= 0) {
        const int wholeDigits = exponent + 1;
        out += QLatin1StringView(digits, std::min(count, wholeDigits));
        for (int i = count; i < wholeDigits; ++i)
            out += QLatin1Char('0');
        if (count > wholeDigits) {
            out += separator;
            out += QLatin1StringView(digits + wholeDigits, count - wholeDigits);
        }
    } else {
        out += QLatin1Char('0');
        out += separator;
        for (int i = 1; i < -exponent; ++i)
            out += QLatin1Char('0');
        out += QLatin1StringView(digits, count);
    }
    return out;
}

double NumberText::multiply(double a, double b)
{
    return a * b;
}

std::optional<float> NumberText::localeSingle(QStringView text, const QLocale& locale)
{
    bool ok = false;
    const float value = locale.toFloat(text, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString NumberText::singleText(float value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QLocale::c().toString(double(value)); // "inf", "-inf", "nan" read back anywhere

    // Rounding the float's exact value to its shortest digits nearly always gives those
    // digits again; the read-back check covers the rare tie where it does not.
    const auto readsBack = [&](const QString& text) {
        return localeSingle(text, locale) == std::optional(value);
    };
    const ShortestDigits digits = shortestFloatDigits(value);
    constexpr int kMaxDigits = std::numeric_limits<float>::max_digits10;
    for (int significant = digits.count; significant <= kMaxDigits; ++significant) {
        const QString text = floatInPrecision(value, locale, significant, digits.exponent);
        if (readsBack(text))
            return text;
    }
    return floatInPrecision(value, locale, kMaxDigits, digits.exponent);
}

std::optional<double> NumberText::localeDouble(QStringView text, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<qint16> NumberText::localeInteger(QStringView text, const QLocale& locale)
{
    bool ok = false;
    const short value = locale.toShort(text, &ok);
    if (ok)
        return qint16(value);
    // A whole number written with a fraction or an exponent ("1.0", "1E0") is still that
    // whole number, as the locale double reading the same text sees it.
    const std::optional<double> number = localeDouble(text, locale);
    if (!number || *number != std::trunc(*number) || *number < -32768.0 || *number > 32767.0)
        return std::nullopt;
    return qint16(*number);
}

QString NumberText::integerText(qint16 value, const QLocale& /*locale*/)
{
    // A whole number has no separator, so nothing of the locale is left to take.
    return QString::number(value);
}

} // namespace varneth
