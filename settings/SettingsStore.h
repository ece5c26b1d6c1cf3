#pragma once

#include <QString>
#include <QStringView>

namespace varneth {

// The per-user store of text values, addressed by application, section and key. Every
// read goes to the file and every write is on disk before it returns.
class SettingsStore
{
public:
    struct WriteResult
    {
        bool ok = true;
        QString error; // why the write failed, for the user; empty when ok
        explicit operator bool() const { return ok; }
    };

    // The user's own store: $XDG_CONFIG_HOME/VARNETH/VARNETH.conf.
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
    // On the user's own store another application than "VARNETH" has its own file,
    // <config>/<application>/<application>.conf; a store on a given file keeps every
    // application in that one file.
    virtual QString read(QStringView application, QStringView section, QStringView key,
                         const QString& defaultValue) const;
    // Creates or replaces the value; reports failure with its reason. A new file is
    // made 0600 and new folders 0700. A damaged file is rewritten from what could be
    // parsed, so its unreadable lines are lost.
    virtual WriteResult write(QStringView application, QStringView section, QStringView key,
                              const QString& text);

private:
    static QString configFolder();
    QString fileFor(QStringView application) const;

    QString m_filePath;
    bool m_userStore = false;
};

} // namespace varneth
