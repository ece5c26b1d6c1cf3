#include "SettingsStore.h"

#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <QVariant>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varneth {

namespace {

using namespace Qt::StringLiterals;

// QSettings treats '/' and '\' as group separators and folds runs of them, so such a
// name would silently address some other key; an empty one addresses nothing.
bool isPlainName(QStringView name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// Why the file could not be written, from the error of the call that failed; 0 when the
// call gave none, and the folder is asked instead.
QString failure(const QString& path, int error)
{
    return u"cannot write %1: %2"_s.arg(
        QDir::toNativeSeparators(path),
        WriteFailure::reason(path, error, u"the settings could not be saved"_s));
}

// Creates every missing folder on the way to the file as 0700: the store holds the
// user's holdings and nobody else needs to list it. Returns the reason on failure.
QString ensureFolder(const QString& filePath)
{
    const QStringList parts = QFileInfo(filePath).absolutePath().split(u'/');
    QString path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path += (i == 0 ? QString() : u"/"_s) + parts[i];
        if (path.isEmpty())
            continue; // the root of an absolute path
        const QByteArray native = QFile::encodeName(path);
        struct stat info = {};
        if (::stat(native.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return failure(filePath, ENOTDIR);
            continue;
        }
        if (errno != ENOENT)
            return failure(filePath, errno);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return failure(filePath, errno);
    }
    return {};
}

// QSettings writes through QSaveFile, which keeps an existing file's permissions but
// gives a new file 0666 less the umask. Creating the file first makes it 0600 for good.
QString ensureFile(const QString& filePath)
{
    const QByteArray native = QFile::encodeName(filePath);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EEXIST)
        return failure(filePath, errno);
    struct stat info = {};
    if (::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return failure(filePath, EISDIR);
    return {};
}

// QSettings only says "access error"; this finds out why, by trying what its save does:
// a new file beside the old one, then the old file itself. Where both can be opened (a
// full disk still takes an empty file), the folder's file system is asked.
QString explainFailure(const QString& filePath)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    QByteArray probe = QFile::encodeName(folder + u"/.VARNETH-probe-XXXXXX"_s);
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return failure(filePath, errno);
    ::close(fd);
    ::unlink(probe.constData());

    const QByteArray native = QFile::encodeName(filePath);
    const int existing = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (existing < 0)
        return failure(filePath, errno);
    ::close(existing);
    return failure(filePath, 0);
}

// Works around QLockFile, which guards every QSettings save: it creates "<file>.lock" and
// only then writes its owner's process id into it. A writer killed between the two leaves
// an empty lock that QLockFile cannot tie to a dead owner, so the next save waits out
// QLockFile's 30 s stale-lock age: a frozen window. A live owner fills its lock within
// microseconds, so one still empty after a short look was abandoned and is removed.
void removeOwnerlessQLockFile(const QString& filePath)
{
    const QString lockPath = filePath + u".lock"_s;
    constexpr int looks = 20;
    for (int look = 0; look < looks; ++look) {
        const QFileInfo lock(lockPath);
        if (!lock.exists() || lock.size() != 0)
            return;
        QThread::msleep(10);
    }
    QFile::remove(lockPath);
}

QString settingsKey(QStringView section, QStringView key)
{
    return section.toString() + u'/' + key.toString();
}

} // namespace

SettingsStore::SettingsStore() : m_filePath(defaultFilePath()) {}

SettingsStore::SettingsStore(QString filePath) : m_filePath(std::move(filePath)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath()
{
    // Qt hands a relative XDG_CONFIG_HOME back as it is; the base directory rules call it
    // invalid, to be ignored.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + u"/.config"_s;
    return QDir::cleanPath(folder + u"/VARNETH/VARNETH.conf"_s);
}

QString SettingsStore::read(QStringView section, QStringView key, const QString& defaultValue) const
{
    if (!isPlainName(section) || !isPlainName(key))
        return defaultValue;

    // A fresh QSettings reads the file on construction, so a value another process wrote
    // since the last read is seen. A damaged or unreadable file leaves the keys it could
    // not parse absent.
    const QSettings settings(m_filePath, QSettings::IniFormat);
    const QVariant value = settings.value(settingsKey(section, key));

    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // Only a hand-edited file holds an unquoted comma; give the text back whole.
        return value.toStringList().join(u',');
    default:
        // Absent, "@Invalid()", or a value that is not text (hand-written "@Variant(...)").
        if (value.isValid() && value.canConvert<QString>())
            return value.toString();
        return defaultValue;
    }
}

SettingsStore::WriteResult SettingsStore::write(QStringView section, QStringView key,
                                                const QString& text)
{
    if (!isPlainName(section) || !isPlainName(key)) {
        return {false, u"cannot write the setting \"%1\" in section \"%2\": not a valid name"_s.arg(
                           key, section)};
    }

    const QString& filePath = m_filePath;
    if (QString error = ensureFolder(filePath); !error.isEmpty())
        return {false, error};
    if (QString error = ensureFile(filePath); !error.isEmpty())
        return {false, error};
    removeOwnerlessQLockFile(filePath);

    QSettings::Status status = QSettings::NoError;
    {
        QSettings settings(filePath, QSettings::IniFormat);
        // A kill or crash mid-save must leave the old file or the new one, never a
        // truncated one: no falling back to writing the file in place.
        settings.setAtomicSyncRequired(true);
        settings.setValue(settingsKey(section, key), text);
        settings.sync();
        status = settings.status();
    }
    if (status == QSettings::NoError)
        return {};

    // A format error only says the old file had lines QSettings could not parse; the
    // save may still have gone through (dropping those lines). Trust the file itself.
    if (status == QSettings::FormatError) {
        const QSettings check(filePath, QSettings::IniFormat);
        if (check.value(settingsKey(section, key)) == QVariant(text))
            return {};
    }
    return {false, explainFailure(filePath)};
}

} // namespace varneth
