#include "WriteFailure.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/statvfs.h>
#include <unistd.h>

namespace varneth {

std::optional<WriteFailure::FolderState> WriteFailure::check(const QString& folder)
{
    const QByteArray native = QFile::encodeName(folder);
    struct statvfs fs = {};
    if (::statvfs(native.constData(), &fs) != 0) {
        return std::nullopt;
    }
    // Root may fill the blocks and files reserved for it; anyone else only the rest.
    const bool root = ::geteuid() == 0;
    FolderState state;
    state.readOnly = (fs.f_flag & ST_RDONLY) != 0;
    state.accessError = ::access(native.constData(), W_OK) == 0 ? 0 : errno;
    state.blockSize = fs.f_frsize;
    state.freeBytes = quint64(root ? fs.f_bfree : fs.f_bavail) * fs.f_frsize;
    // File systems without a fixed number of files report none at all.
    state.outOfFiles = fs.f_files > 0 && (root ? fs.f_ffree : fs.f_favail) == 0;
    return state;
}

WriteFailure::Cause WriteFailure::classify(int error, const std::optional<FolderState>& folder,
                                           qint64 fileSize)
{
    switch (error) {
    case 0:
        break;
    case EROFS:
        return Cause::ReadOnlyFileSystem;
    case EACCES:
    case EPERM:
        return Cause::NoPermission;
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    default:
        return Cause::Unknown;
    }
    if (!folder) {
        return Cause::Unknown;
    }
    if (folder->readOnly || folder->accessError == EROFS) {
        return Cause::ReadOnlyFileSystem;
    }
    if (folder->accessError == EACCES || folder->accessError == EPERM) {
        return Cause::NoPermission;
    }
    if (folder->outOfFiles || folder->freeBytes < quint64(qMax<qint64>(fileSize, 0)) +
                                                      qMax<quint64>(folder->blockSize, 1)) {
        return Cause::DiskFull;
    }
    return Cause::Unknown;
}

QString WriteFailure::describe(Cause cause)
{
    switch (cause) {
    case Cause::DiskFull:
        return QStringLiteral("the disk is full");
    case Cause::NoPermission:
        return QStringLiteral("no permission");
    case Cause::ReadOnlyFileSystem:
        return QStringLiteral("read-only file system");
    case Cause::Unknown:
        break;
    }
    return {};
}

QString WriteFailure::reason(const QString& filePath, int error, const QString& fallback)
{
    const QFileInfo file(filePath);
    const Cause cause = classify(error, error == 0 ? check(file.absolutePath()) : std::nullopt,
                                 file.exists() ? file.size() : 0);
    if (cause != Cause::Unknown) {
        return describe(cause);
    }
    return error != 0 ? qt_error_string(error) : fallback;
}

} // namespace varneth
