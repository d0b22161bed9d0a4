#include "filestore.h"

#include "nativename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// The path as the system writes it (backslashes on Windows), with the reason.
QString pathAndReason(const QString& path, const QString& reason)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (reason.isEmpty())
        return shown;
    return shown.isEmpty() ? reason : shown + u" ("_s + reason + u')';
}

// Why no new file can be made in the folder that is to hold path, when the folder exists and says
// so: the replacement is made beside the old file, and without it the file is not touched at all.
QString folderRefusal(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(folder);
    struct stat status { };
    if (::stat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return {};
    if (::access(native.constData(), W_OK | X_OK) == 0)
        return {};
    if (errno == EROFS)
        return u"the folder %1 is on a disk that may not be written; save elsewhere"_s.arg(folder);
    if (errno != EACCES)
        return {};
#else
    if (!QFileInfo(folder).isDir() || QFileInfo(folder).isWritable())
        return {};
#endif
    return u"the folder %1 may not be written by this user; save elsewhere"_s.arg(folder);
}

#ifdef Q_OS_UNIX

// The first folder on the way to path that this user may not search, or none.
QString unsearchableFolder(const QString& path)
{
    const QStringList steps = QFileInfo(path).absolutePath().split(u'/', Qt::SkipEmptyParts);
    QString folder;
    for (const QString& step : steps) {
        folder += u'/' + step;
        if (::access(nativeName(folder).constData(), X_OK) != 0 && errno == EACCES)
            return folder;
    }
    return {};
}

// Why path cannot be reached, in words that fit the system's reason: a missing file, a
// symbolic link that leads back to itself, a folder on the way that this user may not search.
Error unreachable(const QString& path, int reason)
{
    if (reason == ENOENT || reason == ENOTDIR)
        return Error(ErrorCode::FileNotFound, path);
    if (reason == ELOOP)
        return Error::described(ErrorCode::FileCannotBeRead, u"Too many levels of symbolic links: "_s + path);
    if (const QString folder = reason == EACCES ? unsearchableFolder(path) : QString(); !folder.isEmpty())
        return Error(ErrorCode::PermissionDenied, u"the folder %1 may not be searched by this user"_s.arg(folder));
    return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, QString::fromLocal8Bit(std::strerror(reason))));
}

#endif

} // namespace

// On Unix the file is reached by the very bytes of its name, which need not be text.
Result<qint64> fileSize(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status { };
    if (::stat(nativeName(path).constData(), &status) != 0)
        return unreachable(path, errno);
    if (!S_ISREG(status.st_mode))
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, u"not a file"_s));
    return qint64(status.st_size);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return Error(ErrorCode::FileNotFound, pathAndReason(path, {}));
    if (!info.isFile())
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, u"not a file"_s));
    return info.size();
#endif
}

Result<QByteArray> readWholeFile(const QString& path, qint64 largestSize)
{
    QFile file;
#ifdef Q_OS_UNIX
    const int handle = ::open(nativeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return unreachable(path, errno);
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, file.errorString()));
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error(file.exists() ? ErrorCode::FileCannotBeRead : ErrorCode::FileNotFound,
            pathAndReason(path, file.errorString()));
#endif
    // One byte more than allowed tells a file that grew past the limit since its size was asked.
    const QByteArray bytes = file.read(largestSize + 1);
    if (file.error() != QFileDevice::NoError)
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, file.errorString()));
    if (bytes.size() > largestSize)
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, u"the file is larger than expected"_s));
    return bytes;
}

std::optional<Error> replaceFile(const QString& path, QByteArrayView bytes)
{
    // A name with a wildcard is what a cancelled file dialog hands back ("*.qxc"); Linux would
    // happily create a file of that name, which no one could find again.
    const QString name = lastPathComponent(path);
    if (name.isEmpty() || name.contains(u'*') || name.contains(u'?'))
        return Error(ErrorCode::FileCannotBeCreated, pathAndReason(path, u"not a file name"_s));
    // Never written in place: a full disk or a crash would leave the old file half overwritten.
    if (const QString refusal = folderRefusal(path); !refusal.isEmpty())
        return Error(ErrorCode::FileCannotBeCreated, pathAndReason(path, refusal));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error(ErrorCode::FileCannotBeCreated, pathAndReason(path, file.errorString()));
    // QSaveFile may keep a failed write to itself and commit a truncated file (a full disk after a
    // partial write does it), so the flush is checked here, before the old file is replaced.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Error(ErrorCode::FileCannotBeCreated, pathAndReason(path, reason));
    }
    if (!file.commit())
        return Error(ErrorCode::FileCannotBeCreated, pathAndReason(path, file.errorString()));
    return std::nullopt;
}

QString lastPathComponent(const QString& path) { return QFileInfo(path).fileName(); }

} // namespace platform
