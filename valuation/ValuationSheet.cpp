#include "ValuationSheet.h"

#include "NumberText.h"

#include <utility>

namespace varneth {

ValuationSheet::ValuationSheet(FieldBinding& fields, QLocale locale)
    : m_fields(fields), m_locale(std::move(locale))
{
}

QString ValuationSheet::text(ValuationField field) const
{
    return m_fields.text(field);
}

void ValuationSheet::setText(ValuationField field, const QString& text)
{
    m_fields.setText(field, text);
}

void ValuationSheet::recalculate()
{
    const double price =
        NumberText::lenientNumber(m_fields.text(ValuationField::CurrentDollarValuation));
    const double rate = NumberText::lenientNumber(m_fields.text(ValuationField::ExchangeRate));
    // The converted price does not depend on the amount and is written on every call.
    const double converted = NumberText::multiply(rate, price);
    m_fields.setText(ValuationField::ConvertedValuation,
                     NumberText::numberText(converted, m_locale));

    // Only the exact texts "0" and "" skip the products; " 0" or "0.0" are multiplied.
    const QString amountText = m_fields.text(ValuationField::AmountInWallet);
    if (amountText == QLatin1String("0") || amountText.isEmpty()) {
        m_fields.setText(ValuationField::TotalUsdValuation, QStringLiteral("0"));
        m_fields.setText(ValuationField::TotalValuation, QStringLiteral("0"));
        return;
    }

    const double amount = NumberText::lenientNumber(amountText);
    const double totalUsd = NumberText::multiply(amount, price);
    // The converted total multiplies the converted price already shown, so the two
    // results agree with each other to the last bit.
    const double totalConverted = NumberText::multiply(converted, amount);
    m_fields.setText(ValuationField::TotalUsdValuation, NumberText::numberText(totalUsd, m_locale));
    m_fields.setText(ValuationField::TotalValuation,
                     NumberText::numberText(totalConverted, m_locale));
}

} // namespace varneth
