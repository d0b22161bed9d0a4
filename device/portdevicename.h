// Which serial device the answer to the port question names.
#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace device {

enum class PortNaming {
    // COM1, COM2, ... as Windows names its ports.
    WindowsComNames,
    // The ports the system lists, in sorted order, numbered from 1.
    ListedPorts,
};

PortNaming portNamingOfThisSystem();

// An answer holding a "/" is a device path and is used as it stands (/dev/ttyUSB0, a
// /dev/serial/by-id/ link, an emulator's /dev/pts/N). Any other answer is read as a port number:
// its leading number, rounded half to even, so that "1" and "1.0" agree and "COM2" is 0.
// A number that names no port is SerialPortNotFound.
platform::Result<QString> serialDeviceForAnswer(
    const QString& answer, PortNaming naming, const QStringList& listedPorts);

} // namespace device
