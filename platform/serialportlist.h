// The serial ports this computer has.
#pragma once

#include <QStringList>

namespace platform {

// The system location (/dev/ttyS0, /dev/ttyUSB0, ...) of every serial port the system lists, in
// the order the system happens to give; whoever numbers them puts them in an order of its own.
QStringList serialPortLocations();

} // namespace platform
