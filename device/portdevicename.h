// Which serial device the answer to the port question names.
#pragma once

#include "platform/result.h"
#include "platform/serialportlist.h"

#include <QString>
#include <QStringList>

namespace device {

enum class PortNaming {
    // COM1, COM2, ... as Windows names its ports.
    WindowsComNames,
    // The ports the system lists, in port-number order, numbered from 1.
    ListedPorts,
};

PortNaming portNamingOfThisSystem();

// The listed ports in the order that numbers them: by the name's letters, then by its number as
// a number (/dev/ttyACM0, /dev/ttyS2, /dev/ttyS10, /dev/ttyUSB0), so that a new adapter does not
// renumber the ports of another kind.
[[nodiscard]] QStringList inPortNumberOrder(QStringList listedPorts);

// An answer holding a "/" is a device path and is used as it stands (/dev/ttyUSB0, a
// /dev/serial/by-id/ link, an emulator's /dev/pts/N); with Windows' names, so is "COM3" or
// "\\.\COM3". Any other answer is read as a port number: its leading number, rounded half to
// even, so that "1" and "1.0" agree and, among the listed ports, "COM2" is 0.
// A number that names no port is SerialPortNotFound. listedPorts may be in any order.
platform::Result<QString> serialDeviceForAnswer(
    const QString& answer, PortNaming naming, const QStringList& listedPorts);

// The ports this computer has, as answers to pick in the port question, in the order of their
// numbers: "2 - ttyUSB0, FT232R USB UART", "1 - ttyS0", "3 - COM3, USB Serial Port". Each begins
// with its number and holds no "/", so that picking it names the same device as typing the number.
QStringList portChoiceItems(PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts);

// The port question's first answer when none is given: the number of the first USB serial adapter
// (ttyUSB, ttyACM; on Windows a port whose description names USB), else "1". A built-in port that
// nothing is plugged into would keep every upload waiting for an answer.
QString firstAdapterAnswer(PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts);

} // namespace device
