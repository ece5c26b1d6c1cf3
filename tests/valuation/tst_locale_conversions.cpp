#include "NumberText.h"

#include <QLocale>
#include <QTest>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>

using varneth::NumberText;

class TestLocaleConversions : public QObject
{
    Q_OBJECT

private slots:
    void readsDouble_data();
    void readsDouble();
    void readsSingle_data();
    void readsSingle();
    void readsInteger_data();
    void readsInteger();
    void writesShortest_data();
    void writesShortest();
    void groupedTextReadsBack();
    void singleTextRoundTrips_data();
    void singleTextRoundTrips();
    void nonFiniteSinglesReadBack();
    void integerTextRoundTrips_data();
    void integerTextRoundTrips();
};

void TestLocaleConversions::readsDouble_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("expected");

    QTest::newRow("C point") << "C"
                             << "66.5" << std::optional(66.5);
    QTest::newRow("C comma is not a separator") << "C"
                                                << "66,5" << std::optional<double>();
    QTest::newRow("C surrounding blanks") << "C"
                                          << " 1 " << std::optional(1.0);
    QTest::newRow("de_DE comma") << "de_DE"
                                 << "66,5" << std::optional(66.5);
    QTest::newRow("de_DE point groups") << "de_DE"
                                        << "1.000" << std::optional(1000.0);
    QTest::newRow("de_DE grouped fraction") << "de_DE"
                                            << "1.234,5" << std::optional(1234.5);
    QTest::newRow("fr_FR comma") << "fr_FR"
                                 << "0,25" << std::optional(0.25);
    QTest::newRow("empty") << "C"
                           << "" << std::optional<double>();
    QTest::newRow("letters") << "C"
                             << "abc" << std::optional<double>();
    QTest::newRow("trailing letters") << "C"
                                      << "12abc" << std::optional<double>();
    QTest::newRow("beyond the range") << "C"
                                      << "1e400" << std::optional<double>();
}

void TestLocaleConversions::readsDouble()
{
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(std::optional<double>, expected);
    QCOMPARE(NumberText::localeDouble(text, QLocale(localeName)), expected);
}

void TestLocaleConversions::readsSingle_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<float>>("expected");

    QTest::newRow("C twips") << "C"
                             << "1440" << std::optional(1440.0f);
    QTest::newRow("C fraction") << "C"
                                << "66.5" << std::optional(66.5f);
    QTest::newRow("C negative") << "C"
                                << "-120" << std::optional(-120.0f);
    QTest::newRow("de_DE comma") << "de_DE"
                                 << "66,5" << std::optional(66.5f);
    QTest::newRow("de_DE point groups") << "de_DE"
                                        << "1.000" << std::optional(1000.0f);
    QTest::newRow("rounds to nearest float") << "C"
                                             << "0.1" << std::optional(0.1f);
    QTest::newRow("beyond float range") << "C"
                                        << "1e39" << std::optional<float>();
    QTest::newRow("empty") << "C"
                           << "" << std::optional<float>();
    QTest::newRow("letters") << "de_DE"
                             << "abc" << std::optional<float>();
}

void TestLocaleConversions::readsSingle()
{
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(std::optional<float>, expected);
    QCOMPARE(NumberText::localeSingle(text, QLocale(localeName)), expected);
}

void TestLocaleConversions::readsInteger_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint16>>("expected");

    using Int = std::optional<qint16>;
    QTest::newRow("zero") << "C"
                          << "0" << Int(0);
    QTest::newRow("one") << "C"
                         << "1" << Int(1);
    QTest::newRow("negative") << "C"
                              << "-5" << Int(-5);
    QTest::newRow("limits") << "C"
                            << "-32768" << Int(-32768);
    QTest::newRow("surrounding blanks") << "C"
                                        << " 1 " << Int(1);
    QTest::newRow("de_DE grouped") << "de_DE"
                                   << "1.000" << Int(1000);
    QTest::newRow("not whole") << "C"
                               << "1.5" << Int();
    QTest::newRow("de_DE not whole") << "de_DE"
                                     << "1,5" << Int();
    QTest::newRow("above 16 bits") << "C"
                                   << "40000" << Int();
    QTest::newRow("below 16 bits") << "C"
                                   << "-32769" << Int();
    QTest::newRow("empty") << "C"
                           << "" << Int();
    QTest::newRow("letters") << "C"
                             << "abc" << Int();
    QTest::newRow("hex is not read here") << "C"
                                          << "&H1" << Int();
}

void TestLocaleConversions::readsInteger()
{
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(std::optional<qint16>, expected);
    QCOMPARE(NumberText::localeInteger(text, QLocale(localeName)), expected);
}

void TestLocaleConversions::writesShortest_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("thousand") << "C" << 1000.0f << "1000";
    QTest::newRow("zero") << "C" << 0.0f << "0";
    QTest::newRow("one") << "C" << 1.0f << "1";
    QTest::newRow("1005") << "C" << 1005.0f << "1005";
    QTest::newRow("C fraction") << "C" << 66.5f << "66.5";
    QTest::newRow("de_DE fraction") << "de_DE" << 66.5f << "66,5";
    QTest::newRow("float digits, not double digits") << "C" << 0.1f << "0.1";
    QTest::newRow("de_DE no grouping") << "de_DE" << 12000.0f << "12000";
    QTest::newRow("fr_FR no grouping") << "fr_FR" << 12345.25f << "12345,25";
    QTest::newRow("negative") << "C" << -120.0f << "-120";
}

void TestLocaleConversions::writesShortest()
{
    QFETCH(QString, localeName);
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(NumberText::singleText(value, QLocale(localeName)), expected);
}

void TestLocaleConversions::groupedTextReadsBack()
{
    // fr_FR groups with a narrow no-break space; what the locale writes must read back.
    const QLocale fr(QStringLiteral("fr_FR"));
    const QString grouped = fr.toString(1234567.5, 'f', 1);
    QCOMPARE(grouped, QString::fromUtf16(u"1\u202f234\u202f567,5"));
    QCOMPARE(NumberText::localeDouble(grouped, fr), std::optional(1234567.5));
    QCOMPARE(NumberText::localeSingle(grouped, fr), std::optional(1234567.5f));
    QCOMPARE(NumberText::localeInteger(fr.toString(12345), fr), std::optional<qint16>(12345));
}

void TestLocaleConversions::singleTextRoundTrips_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::newRow("C") << "C";
    QTest::newRow("de_DE") << "de_DE";
    QTest::newRow("fr_FR") << "fr_FR";
}

void TestLocaleConversions::singleTextRoundTrips()
{
    QFETCH(QString, localeName);
    const QLocale locale(localeName);
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        const float value = std::bit_cast<float>(std::uint32_t(random()));
        if (!std::isfinite(value))
            continue;
        const QString text = NumberText::singleText(value, locale);
        const std::optional<float> back = NumberText::localeSingle(text, locale);
        if (!back || std::bit_cast<std::uint32_t>(*back) != std::bit_cast<std::uint32_t>(value))
            QFAIL(qPrintable(QStringLiteral("%1 written as %2 does not read back")
                                 .arg(double(value), 0, 'g', 9)
                                 .arg(text)));
        // No longer than the shortest digits that identify a float, plus sign, separator
        // and exponent.
        if (text.size() > 17)
            QFAIL(qPrintable(QStringLiteral("%1 is not short").arg(text)));
    }
}

void TestLocaleConversions::nonFiniteSinglesReadBack()
{
    const float inf = std::numeric_limits<float>::infinity();
    for (const QLocale& locale : {QLocale::c(), QLocale(QStringLiteral("de_DE"))}) {
        QCOMPARE(NumberText::localeSingle(NumberText::singleText(inf, locale), locale),
                 std::optional(inf));
        QCOMPARE(NumberText::localeSingle(NumberText::singleText(-inf, locale), locale),
                 std::optional(-inf));
        const std::optional<float> nan = NumberText::localeSingle(
            NumberText::singleText(std::numeric_limits<float>::quiet_NaN(), locale), locale);
        QVERIFY(nan && std::isnan(*nan));
    }
}

void TestLocaleConversions::integerTextRoundTrips_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::newRow("C") << "C";
    QTest::newRow("de_DE") << "de_DE";
    QTest::newRow("fr_FR") << "fr_FR";
    QTest::newRow("sv_SE minus sign") << "sv_SE";
}

void TestLocaleConversions::integerTextRoundTrips()
{
    QFETCH(QString, localeName);
    const QLocale locale(localeName);
    QCOMPARE(NumberText::integerText(0, locale), QStringLiteral("0"));
    QCOMPARE(NumberText::integerText(1, locale), QStringLiteral("1"));
    QCOMPARE(NumberText::integerText(32767, locale), QStringLiteral("32767"));
    for (int value = std::numeric_limits<qint16>::min();
         value <= std::numeric_limits<qint16>::max(); value += 97) {
        const QString text = NumberText::integerText(qint16(value), locale);
        QCOMPARE(NumberText::localeInteger(text, locale), std::optional<qint16>(value));
    }
}

QTEST_APPLESS_MAIN(TestLocaleConversions)
#include "tst_locale_conversions.moc"
