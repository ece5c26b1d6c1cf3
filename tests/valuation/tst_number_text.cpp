#include "NumberText.h"

#include <QLocale>
#include <QTest>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

using varneth::NumberText;

namespace {

// The C library's %.15G, a formatter independent of the to_chars path under test: it
// rounds the exact binary value to 15 digits, ties to even, in the same layout.
QString printfFifteen(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return QString::fromLatin1(buffer);
}

// The value a text names, or NaN when the text is not wholly a number.
double readBack(const QString& text)
{
    const QByteArray ascii = text.toLatin1().replace('E', 'e');
    double value = std::nan("");
    const auto result = std::from_chars(ascii.constData(), ascii.constEnd(), value);
    return result.ptr == ascii.constEnd() ? value : std::nan("");
}

// At most 15 significant digits, and no point or fraction zero at the mantissa's end.
bool wellFormed(const QString& text)
{
    const QString mantissa = text.section(u'E', 0, 0);
    int digits = 0; // leading zeros are not significant
    for (QChar c : mantissa)
        digits += c.isDigit() && (digits > 0 || c != u'0');
    return digits <= 15 && !mantissa.endsWith(u'.') &&
           !(mantissa.contains(u'.') && mantissa.endsWith(u'0'));
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void writes_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        using Limits = std::numeric_limits<double>;
        QTest::newRow("zero") << "C" << 0.0 << "0";
        QTest::newRow("negative zero") << "C" << -0.0 << "0";
        QTest::newRow("one half") << "C" << 0.5 << "0.5";
        QTest::newRow("two and a half") << "C" << 2.5 << "2.5";
        QTest::newRow("hundred") << "C" << 100.0 << "100";
        QTest::newRow("negative") << "C" << -42.125 << "-42.125";
        QTest::newRow("negative fraction") << "C" << -0.75 << "-0.75";
        QTest::newRow("1E-4 stays plain") << "C" << 0.0001 << "0.0001";
        QTest::newRow("1E-5 in exponent form") << "C" << 0.00001 << "1E-05";
        QTest::newRow("1E14 stays whole") << "C" << 1e14 << "100000000000000";
        QTest::newRow("1E15 in exponent form") << "C" << 1e15 << "1E+15";
        QTest::newRow("mantissa with fraction") << "C" << 1.5e20 << "1.5E+20";
        QTest::newRow("negative small") << "C" << -2.5e-7 << "-2.5E-07";
        QTest::newRow("three-digit exponent") << "C" << 1.25e-300 << "1.25E-300";
        QTest::newRow("rounded to 15 digits")
            << "C" << 123456789012345678.0 << "1.23456789012346E+17";
        QTest::newRow("whole part rounded") << "C" << 1234567890.123456789 << "1234567890.12346";
        QTest::newRow("rounding carries into exponent form")
            << "C" << 9.999999999999999e14 << "1E+15";
        QTest::newRow("rounding carries in plain form") << "C" << 99.9999999999999999 << "100";
        QTest::newRow("one third") << "C" << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("two thirds") << "C" << -2.0 / 3.0 << "-0.666666666666667";
        QTest::newRow("0.1 + 0.2") << "C" << 0.1 + 0.2 << "0.3";
        QTest::newRow("largest double") << "C" << Limits::max() << "1.79769313486232E+308";
        QTest::newRow("smallest subnormal")
            << "C" << Limits::denorm_min() << "4.94065645841247E-324";
        QTest::newRow("infinity") << "C" << Limits::infinity() << "Overflow";
        QTest::newRow("negative infinity") << "C" << -Limits::infinity() << "Overflow";
        QTest::newRow("NaN") << "C" << Limits::quiet_NaN() << "Overflow";

        // Other locales change the separator and nothing else.
        for (const char* name : {"de_DE", "fr_FR"}) {
            const QString locale = QString::fromLatin1(name);
            QTest::addRow("%s two and a half", name) << locale << 2.5 << "2,5";
            QTest::addRow("%s whole, no grouping", name) << locale << 1234567.0 << "1234567";
            QTest::addRow("%s negative fraction", name) << locale << -0.0001 << "-0,0001";
            QTest::addRow("%s exponent form", name) << locale << 1.5e-20 << "1,5E-20";
            QTest::addRow("%s one third", name) << locale << 1.0 / 3.0 << "0,333333333333333";
            QTest::addRow("%s negative zero", name) << locale << -0.0 << "0";
            QTest::addRow("%s NaN", name) << locale << std::nan("") << "Overflow";
        }
    }
    void writes()
    {
        QFETCH(QString, localeName);
        QFETCH(double, value);
        QTEST(NumberText::numberText(value, QLocale(localeName)), "expected");
    }

    void randomDoublesRoundToFifteenDigits()
    {
        std::setlocale(LC_ALL, "C");
        std::mt19937_64 random(20240611);
        int checked = 0;
        while (checked < 1000000) {
            const double value = std::bit_cast<double>(random());
            if (!std::isfinite(value) || value == 0.0)
                continue;
            ++checked;
            const QString text = NumberText::numberText(value, QLocale::c());
            const QString expected = printfFifteen(value);
            if (!wellFormed(text))
                QFAIL(qPrintable(QStringLiteral("badly formed: %1 for %2").arg(text, expected)));
            if (text != expected || readBack(text) != readBack(expected))
                QFAIL(qPrintable(QStringLiteral("%1 written as %2, expected %3")
                                     .arg(QString::number(value, 'g', 17), text, expected)));
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
