// The serial ports this computer has.
#pragma once

#include <QStringList>

namespace platform {

// The system location (/dev/ttyS0, /dev/ttyUSB0, ...) of every serial port the system lists,
// sorted, so that a port's number stays the same from one start to the next.
QStringList serialPortLocations();

} // namespace platform
