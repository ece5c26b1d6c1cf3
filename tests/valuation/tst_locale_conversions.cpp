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
using namespace Qt::StringLiterals;

namespace {

enum class Kind
{
    Single,
    Double,
    Integer
};

// Every reading widened to double, which holds floats and 16-bit integers exactly, so
// one table covers the three readers.
std::optional<double> readAs(Kind kind, const QString& text, const QLocale& locale)
{
    if (kind == Kind::Single)
        return NumberText::localeSingle(text, locale);
    if (kind == Kind::Double)
        return NumberText::localeDouble(text, locale);
    return NumberText::localeInteger(text, locale);
}

// ar_EG and fa_IR write their own digits, and a minus sign with a direction mark.
const QList<QLocale> kLocales = {QLocale::c(), QLocale(u"de_DE"_s), QLocale(u"fr_FR"_s),
                                 QLocale(u"ar_EG"_s), QLocale(u"fa_IR"_s)};

} // namespace

class TestLocaleConversions : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        const std::optional<double> none;
        const auto row = [](const char* name, Kind kind, const char* locale, const QString& text,
                            std::optional<double> expected) {
            QTest::newRow(name) << kind << QString::fromLatin1(locale) << text << expected;
        };
        // clang-format off
        row("double: C point", Kind::Double, "C", "66.5", 66.5);
        row("double: C comma is not a separator", Kind::Double, "C", "66,5", none);
        row("double: surrounding blanks", Kind::Double, "C", " 1 ", 1.0);
        row("double: de_DE comma", Kind::Double, "de_DE", "66,5", 66.5);
        row("double: de_DE point groups", Kind::Double, "de_DE", "1.000", 1000.0);
        row("double: de_DE grouped fraction", Kind::Double, "de_DE", "1.234,5", 1234.5);
        row("double: fr_FR comma", Kind::Double, "fr_FR", "0,25", 0.25);
        row("double: empty", Kind::Double, "C", "", none);
        row("double: letters", Kind::Double, "C", "abc", none);
        row("double: trailing letters", Kind::Double, "C", "12abc", none);
        row("double: beyond the range", Kind::Double, "C", "1e400", none);
        row("single: twips", Kind::Single, "C", "1440", 1440.0);
        row("single: negative", Kind::Single, "C", "-120", -120.0);
        row("single: de_DE comma", Kind::Single, "de_DE", "66,5", 66.5);
        row("single: de_DE point groups", Kind::Single, "de_DE", "1.000", 1000.0);
        row("single: nearest float", Kind::Single, "C", "0.1", double(0.1f));
        row("single: beyond float range", Kind::Single, "C", "1e39", none);
        row("single: letters", Kind::Single, "de_DE", "abc", none);
        row("integer: zero", Kind::Integer, "C", "0", 0.0);
        row("integer: one", Kind::Integer, "C", "1", 1.0);
        row("integer: lowest", Kind::Integer, "C", "-32768", -32768.0);
        row("integer: surrounding blanks", Kind::Integer, "C", " 1 ", 1.0);
        row("integer: de_DE grouped", Kind::Integer, "de_DE", "1.000", 1000.0);
        row("integer: whole with a fraction", Kind::Integer, "C", "1.0", 1.0);
        row("integer: de_DE whole with a fraction", Kind::Integer, "de_DE", "1,0", 1.0);
        row("integer: whole in exponent form", Kind::Integer, "C", "1E0", 1.0);
        row("integer: whole beyond 16 bits", Kind::Integer, "C", "32768.0", none);
        row("integer: not whole", Kind::Integer, "C", "1.5", none);
        row("integer: de_DE not whole", Kind::Integer, "de_DE", "1,5", none);
        row("integer: above 16 bits", Kind::Integer, "C", "40000", none);
        row("integer: below 16 bits", Kind::Integer, "C", "-32769", none);
        row("integer: empty", Kind::Integer, "C", "", none);
        row("integer: letters", Kind::Integer, "C", "abc", none);
        row("integer: hex is not read here", Kind::Integer, "C", "&H1", none);
        // What earlier versions stored in the locale's own digits still reads, as do 0-9.
        row("single: ar_EG native digits", Kind::Single, "ar_EG", u"\u0661\u0660\u0660\u0665"_s, 1005.0);
        row("single: ar_EG plain digits", Kind::Single, "ar_EG", u"1005\u066b5"_s, 1005.5);
        row("single: fa_IR native digits", Kind::Single, "fa_IR", u"\u06f1\u06f9\u06f9\u06f5"_s, 1995.0);
        row("double: fa_IR plain one", Kind::Double, "fa_IR", "1", 1.0);
        row("double: ar_EG native one", Kind::Double, "ar_EG", u"\u0661"_s, 1.0);
        row("integer: fa_IR native one", Kind::Integer, "fa_IR", u"\u06f1"_s, 1.0);
        row("integer: ar_EG plain negative", Kind::Integer, "ar_EG", "-1", -1.0);
        // clang-format on
    }
    void reads()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, localeName);
        QFETCH(QString, text);
        QTEST(readAs(kind, text, QLocale(localeName)), "expected");
    }

    void writesShortest_data()
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
        QTest::newRow("ar_EG plain digits") << "ar_EG" << 1005.0f << "1005";
        QTest::newRow("ar_EG separator") << "ar_EG" << -66.5f << u"-66\u066b5"_s;
        QTest::newRow("fa_IR plain digits") << "fa_IR" << 12000.0f << "12000";
        QTest::newRow("fa_IR exponent") << "fa_IR" << 1.5e20f << u"1\u066b5E+20"_s;
    }
    void writesShortest()
    {
        QFETCH(QString, localeName);
        QFETCH(float, value);
        QTEST(NumberText::singleText(value, QLocale(localeName)), "expected");
    }

    void groupedTextReadsBack()
    {
        // fr_FR groups with a narrow no-break space; what the locale writes must read back.
        const QLocale fr(u"fr_FR"_s);
        const QString grouped = fr.toString(1234567.5, 'f', 1);
        QCOMPARE(grouped, u"1\u202f234\u202f567,5"_s);
        QCOMPARE(NumberText::localeDouble(grouped, fr), std::optional(1234567.5));
        QCOMPARE(NumberText::localeSingle(grouped, fr), std::optional(1234567.5f));
        QCOMPARE(NumberText::localeInteger(fr.toString(12345), fr), std::optional<qint16>(12345));
    }

    void singleTextRoundTrips()
    {
        std::mt19937 random(7);
        for (const QLocale& locale : kLocales) {
            for (int i = 0; i < 100000; ++i) {
                const auto bits = std::uint32_t(random());
                const float value = std::bit_cast<float>(bits);
                if (!std::isfinite(value))
                    continue;
                const QString text = NumberText::singleText(value, locale);
                const std::optional<float> back = NumberText::localeSingle(text, locale);
                // Bit-equal, so a negative zero stays negative; and short: nine digits at
                // most, with sign, separator and exponent.
                if (!back || std::bit_cast<std::uint32_t>(*back) != bits || text.size() > 17)
                    QFAIL(qPrintable(u"%1 written as %2 in %3"_s.arg(double(value), 0, 'g', 9)
                                         .arg(text, locale.name())));
            }
        }
    }

    void nonFiniteSinglesReadBack()
    {
        const float inf = std::numeric_limits<float>::infinity();
        for (const QLocale& locale : kLocales) {
            const auto back = [&](float value) {
                return NumberText::localeSingle(NumberText::singleText(value, locale), locale);
            };
            for (float value : {inf, -inf})
                QCOMPARE(back(value), std::optional(value));
            const std::optional<float> nan = back(std::numeric_limits<float>::quiet_NaN());
            QVERIFY(nan && std::isnan(*nan));
        }
    }

    void integerTextRoundTrips()
    {
        // sv_SE writes its minus sign as U+2212.
        for (const QLocale& locale : kLocales + QList{QLocale(u"sv_SE"_s)}) {
            for (const qint16 value : {0, 1, 32767, -1})
                QCOMPARE(NumberText::integerText(value, locale), QString::number(value));
            for (int value = std::numeric_limits<qint16>::min();
                 value <= std::numeric_limits<qint16>::max(); value += 97) {
                const QString text = NumberText::integerText(qint16(value), locale);
                QCOMPARE(NumberText::localeInteger(text, locale), std::optional<qint16>(value));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestLocaleConversions)
#include "tst_locale_conversions.moc"
