#pragma once

#include "SettingsKey.h"
#include "ValuationField.h"

#include <QtGlobal>
#include <array>

namespace varneth {

// The three fields the user types: the key that keeps each between runs and the text a
// first run starts from. Their key names are their control names.
struct ValuationInput
{
    ValuationField field;
    SettingsKey key;
    QStringView defaultText;
};

// In the order the close sequence and the autosave write them.
inline constexpr std::array<ValuationInput, 3> kValuationInputs{{
    {ValuationField::ExchangeRate, SettingsKey::ExchangeRateTextbox, u"Exchange Rate"},
    {ValuationField::AmountInWallet, SettingsKey::AmountInWallet1, u"0"},
    {ValuationField::CurrentDollarValuation, SettingsKey::CurrentDollarValuation1, u"0"},
}};

// The row of an input field; asking for a result field is a slip that fails loudly.
constexpr const ValuationInput& valuationInput(ValuationField field)
{
    for (const ValuationInput& input : kValuationInputs) {
        if (input.field == field) {
            return input;
        }
    }
    qFatal("valuationInput: not an input field");
}

} // namespace varneth
