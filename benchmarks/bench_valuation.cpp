#include "FieldBinding.h"
#include "ValuationSheet.h"

#include <QHash>
#include <QTest>

using varneth::FieldBinding;
using varneth::ValuationField;
using varneth::ValuationSheet;

namespace {

// The cheapest binding there is, so the figures are the sheet's own cost.
class PlainBinding : public FieldBinding
{
public:
    QString text(ValuationField field) const override { return m_texts.value(field); }
    void setText(ValuationField field, const QString& text) override
    {
        m_texts.insert(field, text);
    }

    QHash<ValuationField, QString> m_texts;
};

} // namespace

class BenchValuation : public QObject
{
    Q_OBJECT

private slots:
    void recalculate_data();
    void recalculate();
};

void BenchValuation::recalculate_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("rate");

    constexpr qsizetype mebi = qsizetype(1) << 20;
    QTest::newRow("typical") << "2"
                             << "30000.5"
                             << "0.92";
    QTest::newRow("amount of 1 Mi digits") << QString(mebi, QLatin1Char('7')) << "30000.5"
                                           << "0.92";
    QTest::newRow("amount of 1 Mi blanks, then a digit")
        << QString(mebi - 1, QLatin1Char(' ')) + QLatin1Char('7') << "30000.5"
        << "0.92";
    QTest::newRow("amount of 1 Mi zeros after the point, then a digit")
        << "0." + QString(mebi - 3, QLatin1Char('0')) + QLatin1Char('7') << "30000.5"
        << "0.92";
    QTest::newRow("amount of 256 Ki digits") << QString(mebi / 4, QLatin1Char('7')) << "30000.5"
                                             << "0.92";
    QTest::newRow("amount of 256 Ki blanks, then a digit")
        << QString(mebi / 4 - 1, QLatin1Char(' ')) + QLatin1Char('7') << "30000.5"
        << "0.92";
}

void BenchValuation::recalculate()
{
    QFETCH(QString, amount);
    QFETCH(QString, price);
    QFETCH(QString, rate);
    PlainBinding fields;
    fields.m_texts.insert(ValuationField::AmountInWallet, amount);
    fields.m_texts.insert(ValuationField::CurrentDollarValuation, price);
    fields.m_texts.insert(ValuationField::ExchangeRate, rate);
    ValuationSheet sheet(fields, QLocale::c());

    QBENCHMARK
    {
        sheet.recalculate();
    }
    QVERIFY(!fields.m_texts.value(ValuationField::TotalValuation).isEmpty());
}

QTEST_APPLESS_MAIN(BenchValuation)
#include "bench_valuation.moc"
