#include "FieldBinding.h"
#include "ValuationSheet.h"

#include <QHash>
#include <QList>
#include <QTest>

using namespace varneth;

namespace {

// Plain strings that remember every read and write in order.
class RecordingBinding : public FieldBinding
{
public:
    struct Access
    {
        bool write;
        ValuationField field;
        QString text;
        bool operator==(const Access&) const = default;
    };

    QString text(ValuationField field) const override
    {
        m_log.append({false, field, m_texts.value(field)});
        return m_texts.value(field);
    }
    void setText(ValuationField field, const QString& text) override
    {
        m_log.append({true, field, text});
        m_texts.insert(field, text);
    }

    void set(QString amount, QString price, QString rate)
    {
        m_texts.insert(ValuationField::AmountInWallet, amount);
        m_texts.insert(ValuationField::CurrentDollarValuation, price);
        m_texts.insert(ValuationField::ExchangeRate, rate);
    }
    QString value(ValuationField field) const { return m_texts.value(field); }

    mutable QList<Access> m_log;

private:
    QHash<ValuationField, QString> m_texts;
};

} // namespace

class TestValuationSheet : public QObject
{
    Q_OBJECT

private slots:
    void results_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("converted");
        QTest::addColumn<QString>("totalUsd");
        QTest::addColumn<QString>("total");
        // clang-format off
        QTest::newRow("typical") << "2" << "3" << "0.5" << "1.5" << "6" << "3";
        QTest::newRow("amount zero") << "0" << "3" << "0.5" << "1.5" << "0" << "0";
        QTest::newRow("amount empty") << "" << "3" << "0.5" << "1.5" << "0" << "0";
        QTest::newRow("cleared amount multiplies to zero")
            << "00000000.00000000" << "3" << "0.5" << "1.5" << "0" << "0";
        QTest::newRow("blank then zero multiplies") << " 0" << "3" << "0.5" << "1.5" << "0" << "0";
        QTest::newRow("first-run rate") << "2" << "3" << "Exchange Rate" << "0" << "6" << "0";
        QTest::newRow("grouped price reads as 1")
            << "2" << "1,234.5" << "0.5" << "0.5" << "2" << "1";
        QTest::newRow("half-typed amount")
            << "1." << "30000.5" << "0.92" << "27600.46" << "30000.5" << "27600.46";
        QTest::newRow("negative price, zero amount text")
            << "0.0" << "-3" << "2" << "-6" << "0" << "0";
        // The converted total is converted x amount; (rate x price) x amount rounds to
        // ...913 here, while rate x (price x amount) and (rate x amount) x price give ...914.
        QTest::newRow("converted total keeps its grouping")
            << "297.622592" << "74792.2013" << "3.20666352"
            << "239833.423489207" << "22259848.8122918" << "71379845.1470913";
        // Here the grouping decides between overflow and a finite total.
        QTest::newRow("converted overflow carries into the total")
            << "1e-300" << "1e10" << "1e300" << "Overflow" << "1E-290" << "Overflow";
        QTest::newRow("USD total overflows")
            << "1e300" << "1e300" << "0" << "0" << "Overflow" << "0";
        QTest::newRow("input beyond range")
            << "2" << "1e999" << "1" << "Overflow" << "Overflow" << "Overflow";
        QTest::newRow("zero times infinity")
            << "2" << "1e999" << "0" << "Overflow" << "Overflow" << "Overflow";
        // clang-format on
    }
    void results()
    {
        QFETCH(QString, amount);
        QFETCH(QString, price);
        QFETCH(QString, rate);
        RecordingBinding fields;
        fields.set(amount, price, rate);
        ValuationSheet(fields, QLocale::c()).recalculate();
        QTEST(fields.value(ValuationField::ConvertedValuation), "converted");
        QTEST(fields.value(ValuationField::TotalUsdValuation), "totalUsd");
        QTEST(fields.value(ValuationField::TotalValuation), "total");
        // The inputs are never rewritten.
        QCOMPARE(fields.value(ValuationField::AmountInWallet), amount);
    }

    void decimalCommaLocale()
    {
        // Inputs keep the fixed point; results take the locale's separator.
        RecordingBinding fields;
        fields.set("2", "3", "0,5");
        ValuationSheet sheet(fields, QLocale("de_DE"));
        sheet.recalculate();
        QCOMPARE(fields.value(ValuationField::ConvertedValuation), "0");
        fields.set("2.5", "3", "0.5");
        sheet.recalculate();
        QCOMPARE(fields.value(ValuationField::ConvertedValuation), "1,5");
        QCOMPARE(fields.value(ValuationField::TotalUsdValuation), "7,5");
        QCOMPARE(fields.value(ValuationField::TotalValuation), "3,75");
    }

    void readsAndWritesInOrder_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("totalUsd");
        QTest::addColumn<QString>("total");
        // clang-format off
        QTest::newRow("amount multiplied, called twice") << "2" << "6" << "3";
        QTest::newRow("amount zero skips the products") << "0" << "0" << "0";
        // clang-format on
    }
    void readsAndWritesInOrder()
    {
        QFETCH(QString, amount);
        QFETCH(QString, totalUsd);
        QFETCH(QString, total);
        RecordingBinding fields;
        fields.set(amount, "3", "0.5");
        ValuationSheet sheet(fields, QLocale::c());
        sheet.recalculate();
        sheet.recalculate();
        // The converted price is written before the amount is even read, and every call
        // writes all three results again although nothing changed.
        const QList<RecordingBinding::Access> once = {
            {false, ValuationField::CurrentDollarValuation, "3"},
            {false, ValuationField::ExchangeRate, "0.5"},
            {true, ValuationField::ConvertedValuation, "1.5"},
            {false, ValuationField::AmountInWallet, amount},
            {true, ValuationField::TotalUsdValuation, totalUsd},
            {true, ValuationField::TotalValuation, total},
        };
        QCOMPARE(fields.m_log, once + once);
    }

    void textAccessGoesThroughTheBinding()
    {
        RecordingBinding fields;
        ValuationSheet sheet(fields, QLocale::c());
        sheet.setText(ValuationField::AmountInWallet, " anything ");
        QCOMPARE(fields.value(ValuationField::AmountInWallet), " anything ");
        fields.setText(ValuationField::TotalValuation, "typed");
        QCOMPARE(sheet.text(ValuationField::TotalValuation), "typed");
    }
};

QTEST_APPLESS_MAIN(TestValuationSheet)
#include "tst_valuation_sheet.moc"
