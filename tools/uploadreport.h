// What the emulator prints about each upload: lines for a person, or one JSON line for a test.
#pragma once

#include "upload.h"

#include <QByteArray>

namespace tools {

// A few lines that say what the device received, each ending in a line feed.
QByteArray humanReport(const Upload& upload);

// One compact JSON object on one line, ending in a line feed.
QByteArray jsonReport(const Upload& upload);

// The line printed when the device pulls the cable after the given byte of an upload.
QByteArray humanHangUpReport(int afterByte);
QByteArray jsonHangUpReport(int afterByte);

} // namespace tools
