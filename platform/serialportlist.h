// The serial ports this computer has.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

// One serial port as the system lists it.
struct ListedSerialPort {
    // Where it is opened: /dev/ttyUSB0, or \\.\COM3 on Windows.
    QString location;
    // The system's short name: ttyUSB0, COM3.
    QString name;
    // What the adapter says it is ("FT232R USB UART"), often empty for a built-in port.
    QString description;
};

// Every serial port the system lists, in the order the system happens to give; whoever numbers
// them puts them in an order of its own.
QList<ListedSerialPort> listedSerialPorts();

// The locations of the same ports.
QStringList serialPortLocations();

} // namespace platform
