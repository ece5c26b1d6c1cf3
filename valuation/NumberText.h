#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace varneth {

// The conversions between text and numbers. Every value the program shows or stores is
// text; numbers live only for the moment of a calculation, a geometry assignment or a
// tick-box test. The valuation reads leniently with a fixed "." and writes in the user's
// locale; stored settings are read in the user's locale, in its own digits or in 0-9, and
// written in 0-9 with the locale's decimal separator.
class NumberText
{
public:
    // The valuation's reading of a field: the longest numeric prefix, blanks ignored,
    // "." as the only separator, 0 when there is no number at all. Never fails.
    static double lenientNumber(QStringView text);

    // The valuation's writing of a result: at most 15 significant digits, locale
    // separator, no trailing zeros; "Overflow" for anything not finite.
    static QString numberText(double value, const QLocale& locale = QLocale::system());

    static double multiply(double a, double b);

    // Stored settings. An empty optional means the text does not convert. The writers use
    // the digits 0-9 and no grouping in every locale; only the decimal separator is the
    // locale's.
    static std::optional<float> localeSingle(QStringView text,
                                             const QLocale& locale = QLocale::system());
    static QString singleText(float value, const QLocale& locale = QLocale::system());
    static std::optional<double> localeDouble(QStringView text,
                                              const QLocale& locale = QLocale::system());
    static std::optional<qint16> localeInteger(QStringView text,
                                               const QLocale& locale = QLocale::system());
    static QString integerText(qint16 value, const QLocale& locale = QLocale::system());
};

} // namespace varneth
