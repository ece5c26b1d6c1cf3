#include "SettingsKeyTable.h"

#include "ValuationInputs.h"

#include <QtGlobal>
#include <array>

namespace varneth {

namespace {

using Reading = SettingsKeyTable::Reading;

// An input's row comes from the inputs' own table: its control name and its default.
constexpr SettingsKeyTable::Entry inputEntry(SettingsKey key)
{
    for (const ValuationInput& input : kValuationInputs) {
        if (input.key == key) {
            return {key, valuationFieldName(input.field), input.defaultText, Reading::Text};
        }
    }
    return {key, {}, {}, Reading::Text}; // caught by the check below
}

// In the order of SettingsKey, so a key's row is found by its value.
constexpr std::array table{
    SettingsKeyTable::Entry{SettingsKey::MainLeft, u"MainLeft", u"1000", Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::MainTop, u"MainTop", u"1000", Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::MainWidth, u"MainWidth", u"10440", Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::MainHeight, u"MainHeight", u"1995", Reading::Single},
    inputEntry(SettingsKey::ExchangeRateTextbox),
    inputEntry(SettingsKey::AmountInWallet1),
    inputEntry(SettingsKey::CurrentDollarValuation1),
    SettingsKeyTable::Entry{SettingsKey::AlwaysOnTopTimerTickbox, u"AlwaysOnTopTimer_TICKBOX", u"0",
                            Reading::Tick},
    SettingsKeyTable::Entry{SettingsKey::AutosaveTickbox, u"AUTOSAVE_TICKBOX", u"0", Reading::Tick},
    SettingsKeyTable::Entry{SettingsKey::SettingsScreenLeft, u"SettingsScreenLeft", u"1000",
                            Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::SettingsScreenTop, u"SettingsScreenTop", u"1000",
                            Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::SettingsScreenWidth, u"SettingsScreenWidth", u"8040",
                            Reading::Single},
    SettingsKeyTable::Entry{SettingsKey::SettingsScreenHeight, u"SettingsScreenHeight", u"3045",
                            Reading::Single},
};

constexpr bool inKeyOrder()
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<std::size_t>(table[i].key) != i || table[i].name.isEmpty())
            return false;
    }
    return true;
}
static_assert(inKeyOrder(), "the key table must name every key, in the order of SettingsKey");
static_assert(table.size() == static_cast<std::size_t>(SettingsKey::SettingsScreenHeight) + 1,
              "every key needs a row");

} // namespace

const SettingsKeyTable::Entry& SettingsKeyTable::entry(SettingsKey key)
{
    const auto index = static_cast<std::size_t>(key);
    Q_ASSERT(index < table.size());
    return table[index];
}

std::span<const SettingsKeyTable::Entry> SettingsKeyTable::entries()
{
    return table;
}

} // namespace varneth
