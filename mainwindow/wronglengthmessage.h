// The box that refuses a command string of the wrong length, at upload and at a string-file import.
#pragma once

#include <QLatin1StringView>
#include <QString>

namespace mainwindow {

inline constexpr QLatin1StringView kWrongFileLengthTitle("Wrong File Length");

// "The length of the <subject> must be at least 1 character and no more than 30 characters. ..."
// The upload and the import name the slots in words of their own, so each passes its subject.
QString wrongLengthMessage(QLatin1StringView subject, qint64 length);

} // namespace mainwindow
