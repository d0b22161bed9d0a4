// Bytes as the emulator's reports and the failure messages of the tests show them.
#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {
// Upper-case hex pairs with nothing between them: "1616258000".
inline QString hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }
} // namespace testsupport
