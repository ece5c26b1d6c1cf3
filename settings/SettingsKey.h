#pragma once

namespace varneth {

// Every key the program reads or writes, all under application "VARNETH", section
// "Settings". The names and defaults are in SettingsKeyTable.
enum class SettingsKey
{
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    ExchangeRateTextbox,
    AmountInWallet1,
    CurrentDollarValuation1,
    AlwaysOnTopTimerTickbox,
    AutosaveTickbox,
    SettingsScreenLeft,
    SettingsScreenTop,
    SettingsScreenWidth,
    SettingsScreenHeight,
};

} // namespace varneth
