#pragma once

#include <QLatin1StringView>
#include <array>

namespace varneth {

// The six texts of the main window's value row. The names double as the control names
// and, for the three inputs, as the settings keys.
enum class ValuationField
{
    AmountInWallet,         // AMOUNT_IN_WALLET_1, input
    CurrentDollarValuation, // CURRENT_DOLLAR_VALUATION_1, input
    ExchangeRate,           // EXCHANGE_RATE_TEXTBOX, input
    TotalUsdValuation,      // TOTAL_USD_VALUATION_TEXTBOX_1, result
    ConvertedValuation,     // CONVERTED_VALUATION_1, result
    TotalValuation,         // TOTAL_VALUATION_1, result
};

inline constexpr std::array<ValuationField, 6> kAllValuationFields = {
    ValuationField::AmountInWallet,     ValuationField::CurrentDollarValuation,
    ValuationField::ExchangeRate,       ValuationField::TotalUsdValuation,
    ValuationField::ConvertedValuation, ValuationField::TotalValuation,
};

constexpr QLatin1StringView valuationFieldName(ValuationField field)
{
    switch (field) {
    case ValuationField::AmountInWallet:
        return QLatin1StringView("AMOUNT_IN_WALLET_1");
    case ValuationField::CurrentDollarValuation:
        return QLatin1StringView("CURRENT_DOLLAR_VALUATION_1");
    case ValuationField::ExchangeRate:
        return QLatin1StringView("EXCHANGE_RATE_TEXTBOX");
    case ValuationField::TotalUsdValuation:
        return QLatin1StringView("TOTAL_USD_VALUATION_TEXTBOX_1");
    case ValuationField::ConvertedValuation:
        return QLatin1StringView("CONVERTED_VALUATION_1");
    case ValuationField::TotalValuation:
        return QLatin1StringView("TOTAL_VALUATION_1");
    }
    return {};
}

} // namespace varneth
