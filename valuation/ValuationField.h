#pragma once

#include <QStringView>
#include <array>
#include <cstddef>

namespace varneth {

// The six texts of the main window's value row, in the order of the row.
enum class ValuationField
{
    AmountInWallet,
    CurrentDollarValuation,
    ExchangeRate,
    TotalUsdValuation,
    ConvertedValuation,
    TotalValuation,
};

// What the program knows of each field: the control's name (for the three inputs also
// their settings key), whether the user types it, and the text the window shows when it
// is created, which is also the text the clear command puts back.
struct ValuationFieldSpec
{
    ValuationField field;
    QStringView name;
    bool isInput;
    QStringView layoutText;
};

inline constexpr QStringView kBlankNumberText = u"00000000.00000000";

// In the order of ValuationField, which is also the order the clear command rewrites them.
inline constexpr std::array<ValuationFieldSpec, 6> kValuationFields{{
    {ValuationField::AmountInWallet, u"AMOUNT_IN_WALLET_1", true, kBlankNumberText},
    {ValuationField::CurrentDollarValuation, u"CURRENT_DOLLAR_VALUATION_1", true, kBlankNumberText},
    {ValuationField::ExchangeRate, u"EXCHANGE_RATE_TEXTBOX", true, u"Exchange Rate"},
    {ValuationField::TotalUsdValuation, u"TOTAL_USD_VALUATION_TEXTBOX_1", false, kBlankNumberText},
    {ValuationField::ConvertedValuation, u"CONVERTED_VALUATION_1", false, kBlankNumberText},
    {ValuationField::TotalValuation, u"TOTAL_VALUATION_1", false, kBlankNumberText},
}};

constexpr bool valuationFieldsInOrder()
{
    for (std::size_t i = 0; i < kValuationFields.size(); ++i) {
        if (static_cast<std::size_t>(kValuationFields[i].field) != i) {
            return false;
        }
    }
    return true;
}
static_assert(valuationFieldsInOrder(), "kValuationFields must follow the order of the enum");

constexpr const ValuationFieldSpec& valuationField(ValuationField field)
{
    return kValuationFields[static_cast<std::size_t>(field)];
}

constexpr QStringView valuationFieldName(ValuationField field)
{
    return valuationField(field).name;
}

} // namespace varneth
