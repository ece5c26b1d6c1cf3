#include "NumberText.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <random>

using varneth::NumberText;

namespace {

QString randomText(std::mt19937& random)
{
    static const char16_t alphabet[] = u"0123456789+-.,&HhOoEeDdxG \t\n\r\0";
    using Uniform = std::uniform_int_distribution<int>;
    Uniform length(0, 40), kind(0, 9), pick(0, int(std::size(alphabet)) - 1);
    Uniform unit(0, 0xFFFF), surrogate(0xD800, 0xDFFF);
    QString text;
    for (int n = length(random); n > 0; --n) {
        // One in ten any code unit, one in ten a lone surrogate, the rest from the alphabet.
        const int k = kind(random);
        text.append(QChar(k == 0   ? char16_t(unit(random))
                          : k == 1 ? char16_t(surrogate(random))
                                   : alphabet[pick(random)]));
    }
    return text;
}

QString withoutBlanks(QString text)
{
    return text.removeIf([](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; });
}

bool sameDouble(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

// Random UTF-16 against every reader: nothing may crash or trip a sanitizer, and the
// properties that hold for any text must hold for these.
class TestValuationFuzz : public QObject
{
    Q_OBJECT

private slots:
    void arbitraryText()
    {
        const QList<QLocale> locales = {QLocale::c(), QLocale("de_DE"), QLocale("fr_FR")};
        std::mt19937 random(99);
        for (int i = 0; i < 300000; ++i) {
            const QString text = randomText(random);
            const double value = NumberText::lenientNumber(text);
            if (std::isnan(value) ||
                !sameDouble(value, NumberText::lenientNumber(withoutBlanks(text))))
                QFAIL(qPrintable(QStringLiteral("blanks changed the value of %1")
                                     .arg(QString::fromLatin1(text.toUtf8().toHex()))));
            QVERIFY(!NumberText::numberText(value).isEmpty());

            const QLocale& locale = locales[i % locales.size()];
            if (const std::optional<float> single = NumberText::localeSingle(text, locale)) {
                const QString written = NumberText::singleText(*single, locale);
                QVERIFY(
                    sameDouble(NumberText::localeSingle(written, locale).value_or(NAN), *single));
            }
            if (const std::optional<qint16> integer = NumberText::localeInteger(text, locale)) {
                const QString written = NumberText::integerText(*integer, locale);
                QCOMPARE(NumberText::localeInteger(written, locale), integer);
            }
            (void)NumberText::localeDouble(text, locale);
        }
    }
};

QTEST_APPLESS_MAIN(TestValuationFuzz)
#include "tst_valuation_fuzz.moc"
