#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
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

constexpr QLatin1StringView ownApplication{"VARNETH"};

// QSettings treats '/' and '\' as group separators and folds runs of them, so such a
// name would silently address some other key; an empty one addresses nothing.
bool isPlainName(QStringView name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// The application name becomes a folder and a file name for the user's own store.
bool isApplicationName(QStringView name)
{
    return isPlainName(name) && name != u"." && name != u"..";
}

QString failure(const QString& path, const QString& reason)
{
    return u"cannot write %1: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

QString errnoText(int error)
{
    return qt_error_string(error);
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
                return failure(filePath, errnoText(ENOTDIR));
            continue;
        }
        if (errno != ENOENT)
            return failure(filePath, errnoText(errno));
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return failure(filePath, errnoText(errno));
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
        return failure(filePath, errnoText(errno));
    struct stat info = {};
    if (::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return failure(filePath, errnoText(EISDIR));
    return {};
}

// QSettings only says "access error"; this finds out why, by trying what its save does:
// a new file beside the old one, then the old file itself.
QString explainFailure(const QString& filePath)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    QByteArray probe = QFile::encodeName(folder + u"/.VARNETH-probe-XXXXXX"_s);
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return failure(filePath, errnoText(errno));
    ::close(fd);
    ::unlink(probe.constData());

    const QByteArray native = QFile::encodeName(filePath);
    const int existing = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (existing < 0)
        return failure(filePath, errnoText(errno));
    ::close(existing);
    return failure(filePath, u"the settings could not be saved"_s);
}

// QSettings guards a save with QLockFile, which creates "<file>.lock" and then writes its
// owner into it. A process killed between the two leaves an empty lock that QLockFile
// cannot tie to a dead owner, so it waits for the lock's 30 s stale age: a frozen window.
// A live owner fills its lock within microseconds, so one still empty after a short look
// was abandoned and is removed.
void clearAbandonedLock(const QString& filePath)
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

SettingsStore::SettingsStore() : m_filePath(defaultFilePath()), m_userStore(true) {}

SettingsStore::SettingsStore(QString filePath) : m_filePath(std::move(filePath)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath()
{
    return configFolder() + u'/' + ownApplication + u'/' + ownApplication + u".conf"_s;
}

QString SettingsStore::configFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + u"/.config"_s;
}

QString SettingsStore::fileFor(QStringView application) const
{
    if (!m_userStore || application == ownApplication)
        return m_filePath;
    const QString name = application.toString();
    return configFolder() + u'/' + name + u'/' + name + u".conf"_s;
}

QString SettingsStore::read(QStringView application, QStringView section, QStringView key,
                            const QString& defaultValue) const
{
    if (!isApplicationName(application) || !isPlainName(section) || !isPlainName(key))
        return defaultValue;

    // A fresh QSettings reads the file on construction, so a value another process wrote
    // since the last read is seen. A damaged or unreadable file leaves the keys it could
    // not parse absent.
    const QSettings settings(fileFor(application), QSettings::IniFormat);
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

SettingsStore::WriteResult SettingsStore::write(QStringView application, QStringView section,
                                                QStringView key, const QString& text)
{
    if (!isApplicationName(application) || !isPlainName(section) || !isPlainName(key)) {
        return {false, u"cannot write the setting \"%1\" of \"%2\" in section \"%3\": not a "
                       "valid name"_s.arg(key, application, section)};
    }

    const QString filePath = fileFor(application);
    if (QString error = ensureFolder(filePath); !error.isEmpty())
        return {false, error};
    if (QString error = ensureFile(filePath); !error.isEmpty())
        return {false, error};
    clearAbandonedLock(filePath);

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
