#pragma once

#include "SettingsStore.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace varneth {

// A store on a real file that also remembers every read and write in order, so tests can
// check the sequence a window writes, not only the end result, and can make the writes fail.
class RecordingStore : public SettingsStore
{
public:
    using SettingsStore::SettingsStore;

    QString read(QStringView section, QStringView key, const QString& defaultValue) const override
    {
        m_calls.append(QStringLiteral("%1/%2 default %3").arg(section, key, defaultValue));
        return SettingsStore::read(section, key, defaultValue);
    }
    WriteResult write(QStringView section, QStringView key, const QString& text) override
    {
        m_calls.append(QStringLiteral("%1/%2=%3").arg(section, key, text));
        m_writes.append({key.toString(), text});
        return m_failure.isEmpty() ? SettingsStore::write(section, key, text)
                                   : WriteResult{false, m_failure};
    }

    // Every write from now on fails with this reason and leaves the file as it is, as on a
    // disk that fills up while the program runs; an empty reason lets writes through again.
    void failWritesWith(const QString& reason) { m_failure = reason; }

    const QList<QPair<QString, QString>>& writes() const { return m_writes; }
    QStringList writtenKeys() const
    {
        QStringList keys;
        for (const auto& write : m_writes) {
            keys.append(write.first);
        }
        return keys;
    }
    void clearWrites() { m_writes.clear(); }
    // Every read and write since the store was made, as "section/key default text" and
    // "section/key=text", so a test can check the section and names it was asked by.
    const QStringList& calls() const { return m_calls; }

private:
    mutable QStringList m_calls;
    QList<QPair<QString, QString>> m_writes;
    QString m_failure;
};

} // namespace varneth
