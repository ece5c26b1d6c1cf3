#pragma once

#include "SettingsKey.h"
#include "SettingsStore.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace varneth {

// Typed access to the key table over a store: each read applies the key's conversion
// and falls back to the key's default (with one line in the log) when the stored text
// does not convert.
class Settings
{
public:
    explicit Settings(SettingsStore& store, QLocale locale = QLocale::system());

    SettingsStore& store() const { return m_store; }

    static QString keyName(SettingsKey key);
    static QString defaultText(SettingsKey key);

    QString readText(SettingsKey key) const;
    // Geometry in twips; a number the caller finds unusable counts as unconvertible.
    float readSingle(SettingsKey key, const std::function<bool(float)>& usable = {}) const;
    double readDouble(SettingsKey key) const;  // tick boxes as the main window reads them
    qint16 readInteger(SettingsKey key) const; // tick boxes as the settings window reads them

    SettingsStore::WriteResult writeText(SettingsKey key, const QString& text);
    SettingsStore::WriteResult writeSingle(SettingsKey key, float value);
    SettingsStore::WriteResult writeInteger(SettingsKey key, qint16 value);

private:
    SettingsStore& m_store;
    QLocale m_locale;
};

} // namespace varneth
