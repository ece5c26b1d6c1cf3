#pragma once

#include "SettingsKey.h"

#include <QStringView>
#include <span>

namespace varneth {

// The one place that knows every stored key: its name in the file, the text a read
// returns while the key is absent, and how the program reads it back.
class SettingsKeyTable
{
public:
    // How the readers turn the stored text into what they use.
    enum class Reading
    {
        Text,   // the text as is (the three valuation inputs)
        Single, // locale single: window geometry in twips
        Tick,   // locale double by the main window, locale integer by the settings window
    };

    struct Entry
    {
        SettingsKey key;
        QStringView name;
        QStringView defaultText;
        Reading reading;
    };

    static constexpr QStringView section{u"Settings"};

    static const Entry& entry(SettingsKey key);
    static std::span<const Entry> entries();
};

} // namespace varneth
