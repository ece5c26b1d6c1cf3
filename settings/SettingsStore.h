#pragma once

#include <QString>
#include <QStringView>

namespace varneth {

// The user's store of VARNETH's text values, addressed by section and key. Every read
// goes to the file and every write is on disk before it returns.
class SettingsStore
{
public:
    struct WriteResult
    {
        bool ok = true;
        QString error; // why the write failed, for the user; empty when ok
        explicit operator bool() const { return ok; }
    };

    // The user's own store: VARNETH/VARNETH.conf in the XDG config folder
    // ($XDG_CONFIG_HOME, or ~/.config when that is unset, empty or relative).
    SettingsStore();
    // A store on the given file, so tests never touch the user's settings.
    explicit SettingsStore(QString filePath);
    virtual ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    // The stored text if the key exists, else defaultValue. Names are case-sensitive;
    // an empty name, or one holding '/' or '\\', addresses no key and reads the default.
    virtual QString read(QStringView section, QStringView key, const QString& defaultValue) const;
    // Creates or replaces the value; reports failure with its reason. A new file is
    // made 0600 and new folders 0700. A damaged file is rewritten from what could be
    // parsed, so its unreadable lines are lost.
    virtual WriteResult write(QStringView section, QStringView key, const QString& text);

private:
    QString m_filePath;
};

} // namespace varneth
