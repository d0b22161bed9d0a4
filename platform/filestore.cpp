#include "filestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

Result<qint64> fileSize(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Error(ErrorCode::FileNotFound, pathAndReason(path, {}));
    if (!info.isFile())
        return Error(ErrorCode::FileCannotBeRead, pathAndReason(path, u"not a file"_s));
    return info.size();
}

Result<QByteArray> readWholeFile(const QString& path, qint64 largestSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error(file.exists() ? ErrorCode::FileCannotBeRead : ErrorCode::FileNotFound,
            pathAndReason(path, file.errorString()));
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
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
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
