#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace varneth {

// Why a file could not be written, in the words a user can act on: the disk is full, no
// permission, a read-only file system. A failed save often says only that it failed
// (QSettings reports an "access error"), so after a failure the folder itself is asked:
// its file system's free space and flags, and whether this user may write in it.
class WriteFailure
{
public:
    enum class Cause
    {
        Unknown,
        DiskFull,
        NoPermission,
        ReadOnlyFileSystem,
    };

    // What the file system says about a folder at the moment of asking.
    struct FolderState
    {
        bool readOnly = false; // mounted read-only
        int accessError = 0;   // why this user may not write in it; 0 when they may
        quint64 freeBytes = 0; // what this user may still fill
        quint64 blockSize = 0;
        bool outOfFiles = false; // no file can be created, whatever the space
    };

    // Asks statvfs and access about the folder; empty when the folder cannot be asked.
    static std::optional<FolderState> check(const QString& folder);

    // The cause from the error a failed call gave (errno, or 0 when it gave none): an
    // error that names a cause decides, another error decides there is none known, and
    // without one the folder is asked. A save writes a whole new copy of the file, so a
    // disk without room for one more block beyond the file's size counts as full.
    static Cause classify(int error, const std::optional<FolderState>& folder, qint64 fileSize);

    static QString describe(Cause cause);

    // The reason a write of filePath failed, for the user: the cause where one is known,
    // else the error's own text, else the given fallback.
    static QString reason(const QString& filePath, int error, const QString& fallback);
};

} // namespace varneth
