// The program's disk access: sizes, whole-file reads and atomic replacement.
#pragma once

#include "result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

// The size in bytes of the regular file at path, asked without opening it.
Result<qint64> fileSize(const QString& path);

// The whole file, refused with FileCannotBeRead when it holds more than largestSize bytes.
Result<QByteArray> readWholeFile(const QString& path, qint64 largestSize);

// Creates or replaces the file at path with exactly these bytes. The bytes go to a temporary file
// beside it that is renamed over the old one only when complete, so that a full disk or a crash
// never leaves a half-written file. A folder that takes no new file is refused, by name, with the
// old file untouched: the file is never written in place. A name holding a wildcard is refused.
[[nodiscard]] std::optional<Error> replaceFile(const QString& path, QByteArrayView bytes);

// The last component of a path, the file's own name with its extension.
QString lastPathComponent(const QString& path);

} // namespace platform
