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

// A copy of the locale that writes numbers without digit grouping, so a stored text
// is as short as it goes and never depends on whether grouping is read back.
QLocale ungrouped(const QLocale& locale)
{
    QLocale copy(locale);
    copy.setNumberOptions(copy.numberOptions() | QLocale::OmitGroupSeparator);
    return copy;
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
        return locale.toString(double(value), 'f', decimals);
    }
    return locale.toString(double(value), 'e', significant - 1);
}

// Some locales write a minus sign with a direction mark that the same locale then
// cannot read; the plain hyphen-minus is the fallback those locales do read.
QString asciiMinus(const QString& text, const QLocale& locale)
{
    const QString sign = locale.negativeSign();
    if (sign == QLatin1String("-") || !text.startsWith(sign))
        return text;
    return QLatin1Char('-') + text.mid(sign.size());
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
    const QLocale writer = ungrouped(locale);
    const auto readsBack = [&](const QString& text) {
        const std::optional<float> back = localeSingle(text, locale);
        return back && (*back == value || (std::isnan(*back) && std::isnan(value)));
    };
    const auto firstReadable = [&](const QString& text) -> std::optional<QString> {
        if (readsBack(text))
            return text;
        const QString ascii = asciiMinus(text, writer);
        if (ascii != text && readsBack(ascii))
            return ascii;
        return std::nullopt;
    };

    if (!std::isfinite(value))
        return firstReadable(writer.toString(double(value)))
            .value_or(writer.toString(double(value)));

    // The locale rounds the float's exact value, which is nearly always the shortest
    // digits again; the read-back check covers the rare tie where it is not, and the
    // locales whose exponent notation the locale cannot read back.
    const ShortestDigits digits = shortestFloatDigits(value);
    constexpr int kMaxDigits = std::numeric_limits<float>::max_digits10;
    for (int significant = digits.count; significant <= kMaxDigits; ++significant) {
        if (auto text =
                firstReadable(floatInPrecision(value, writer, significant, digits.exponent)))
            return *text;
    }
    for (int significant = digits.count; significant <= kMaxDigits; ++significant) {
        const int decimals = std::max(0, significant - 1 - digits.exponent);
        if (auto text = firstReadable(writer.toString(double(value), 'f', decimals)))
            return *text;
    }
    return floatInPrecision(value, writer, kMaxDigits, digits.exponent);
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

QString NumberText::integerText(qint16 value, const QLocale& locale)
{
    const QLocale writer = ungrouped(locale);
    const QString text = writer.toString(int(value));
    if (localeInteger(text, locale) == value)
        return text;
    const QString ascii = asciiMinus(text, writer);
    if (localeInteger(ascii, locale) == value)
        return ascii;
    return text;
}

} // namespace varneth
