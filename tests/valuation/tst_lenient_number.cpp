#include "NumberText.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using varneth::NumberText;

namespace {

using Limits = std::numeric_limits<double>;
constexpr double kInf = Limits::infinity();

// QCOMPARE treats doubles fuzzily; seventeen digits tell every two doubles apart,
// negative zero included.
QString exact(double value)
{
    return QString::number(value, 'g', 17);
}

QString lenient(const QString& text)
{
    return exact(NumberText::lenientNumber(text));
}

} // namespace

class TestLenientNumber : public QObject
{
    Q_OBJECT

private slots:
    void decimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("comma groups end the number") << "1,234.5" << 1.0;
        QTest::newRow("letters end the number") << "12abc" << 12.0;
        QTest::newRow("no number at all") << "Exchange Rate" << 0.0;
        QTest::newRow("blank between digits") << "3 5" << 35.0;
        QTest::newRow("cleared amount") << "00000000.00000000" << 0.0;
        QTest::newRow("decimal comma is not a separator") << "1,5" << 1.0;
        QTest::newRow("point") << "1.5" << 1.5;
        QTest::newRow("tabs and line feeds") << "\t1\n2 .\t5\n" << 12.5;
        QTest::newRow("carriage return ends it") << "1\r2" << 1.0;
        QTest::newRow("no-break space ends it") << QString::fromUtf16(u"1\u00a02") << 1.0;
        QTest::newRow("leading blanks and sign") << "  - 4.25" << -4.25;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("half-typed point") << "1." << 1.0;
        QTest::newRow("fraction only") << ".25" << 0.25;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("double sign") << "--5" << 0.0;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("currency sign first") << "$5" << 0.0;
        QTest::newRow("full-width digit is not a digit") << QString::fromUtf16(u"\uff15") << 0.0;
        QTest::newRow("NUL ends it") << QString::fromUtf16(u"4\u00005", 3) << 4.0;
        QTest::newRow("nearest double") << "0.1" << 0.1;
        QTest::newRow("seventeen digits") << "2.2250738585072014" << 2.2250738585072014;

        // Exponents: E, e, D and d.
        QTest::newRow("E") << "1E3" << 1000.0;
        QTest::newRow("e") << "1e3" << 1000.0;
        QTest::newRow("D") << "2D2" << 200.0;
        QTest::newRow("d") << "2d-2" << 0.02;
        QTest::newRow("plus sign") << "1.5E+2" << 150.0;
        QTest::newRow("minus sign") << "25e-1" << 2.5;
        QTest::newRow("blanks inside") << "1 e - 2" << 0.01;
        QTest::newRow("letter without digits") << "5E" << 5.0;
        QTest::newRow("letter and sign without digits") << "5e-x" << 5.0;
        QTest::newRow("letter ends a fraction") << "5.5dollars" << 5.5;
        QTest::newRow("exponent without mantissa") << "E5" << 0.0;
        QTest::newRow("other letters are not exponents") << "1x5" << 1.0;
        QTest::newRow("zero mantissa, huge exponent") << "0e999999999999999999999" << 0.0;

        // Beyond the Double range: infinity or a signed zero.
        QTest::newRow("huge exponent") << "1e400" << kInf;
        QTest::newRow("huge negative") << "-2E309" << -kInf;
        QTest::newRow("just above the largest double") << "1.7976931348623159e308" << kInf;
        QTest::newRow("largest double") << "1.7976931348623157e308" << Limits::max();
        QTest::newRow("saturating exponent") << "1e99999999999999999999999" << kInf;
        QTest::newRow("tiny") << "1e-400" << 0.0;
        QTest::newRow("smallest subnormal") << "4.9406564584124654e-324" << Limits::denorm_min();
        QTest::newRow("below half the smallest subnormal") << "2.4e-324" << 0.0;
    }
    void decimal()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(lenient(text), exact(expected));
    }

    void hexAndOctal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("&HFFFF is 16-bit -1") << "&HFFFF" << -1.0;
        QTest::newRow("&H7FFF") << "&H7FFF" << 32767.0;
        QTest::newRow("&H8000") << "&H8000" << -32768.0;
        QTest::newRow("&H10000 is 32-bit") << "&H10000" << 65536.0;
        QTest::newRow("&H0FFFF is 32-bit") << "&H0FFFF" << 65535.0;
        QTest::newRow("colour") << "&H00C0FFC0" << double(0x00C0FFC0);
        QTest::newRow("&HFFFFFFFF is 32-bit -1") << "&HFFFFFFFF" << -1.0;
        QTest::newRow("&H80000000") << "&H80000000" << -2147483648.0;
        QTest::newRow("leading zeros past eight digits") << "&H0000000001" << 1.0;
        QTest::newRow("lower case") << "&hff" << 255.0;
        QTest::newRow("blanks inside") << " & H 1 F" << 31.0;
        QTest::newRow("stops at non-digit") << "&H1G" << 1.0;
        QTest::newRow("no digits") << "&H" << 0.0;
        QTest::newRow("ampersand alone") << "&X1" << 0.0;
        QTest::newRow("sign before ampersand") << "-&H1" << 0.0;
        QTest::newRow("&O177777 is 16-bit -1") << "&O177777" << -1.0;
        QTest::newRow("&O77777") << "&O77777" << 32767.0;
        QTest::newRow("six octal digits past 16 bits") << "&O777777" << 262143.0;
        QTest::newRow("&O37777777777 is 32-bit -1") << "&O37777777777" << -1.0;
        QTest::newRow("lower-case o") << "&o17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O78" << 7.0;
        QTest::newRow("hex wider than 32 bits") << "&H123456789" << kInf;
        QTest::newRow("octal wider than 32 bits") << "&O77777777777" << kInf;
    }
    void hexAndOctal() { decimal(); }

    void longTextsKeepCorrectRounding()
    {
        // 1 + 2^-53 lies exactly halfway between 1 and the next double and rounds to even;
        // a non-zero digit far past the digits a reader might keep must round it up.
        const QString half = "1.00000000000000011102230246251565404236316680908203125";
        QCOMPARE(lenient(half), exact(1.0));
        QCOMPARE(lenient(half + QString(2000, u'0') + "1"), exact(std::nextafter(1.0, 2.0)));

        // A million-digit whole number: its scale must come from every digit.
        const QString zeros(1 << 20, u'0');
        QCOMPARE(lenient("1" + zeros + "e-1048570"), exact(1e6));
        QCOMPARE(lenient("0." + zeros + "5e1048577"), exact(5.0));
        QCOMPARE(lenient(QString(1 << 20, u' ') + "7"), exact(7.0));

        // Blanks inside a long run count for nothing, past the kept digits as before them.
        const QString spaced = "1" + QStringLiteral("00 \t\n").repeated(1000);
        QCOMPARE(lenient(spaced + "e-2000"), exact(1.0));
        QCOMPARE(lenient(spaced + "." + spaced + "e-2000"), exact(1.0));
    }

    void ignoresTheLocale()
    {
        // The C library's locale must not matter either; where the system has no such
        // locale installed, setlocale leaves it unchanged and the check still holds.
        for (const char* name : {"de_DE", "fr_FR"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(name)));
            std::setlocale(LC_ALL, (std::string(name) + ".UTF-8").c_str());
            const QStringList read{lenient("1.5"), lenient("1,5"), lenient("2.5e-1")};
            std::setlocale(LC_ALL, "C");
            QLocale::setDefault(QLocale::c());
            QCOMPARE(read, (QStringList{exact(1.5), exact(1.0), exact(0.25)}));
        }
    }
};

QTEST_APPLESS_MAIN(TestLenientNumber)
#include "tst_lenient_number.moc"
