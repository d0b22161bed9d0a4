#include "serialportlist.h"

#include <QSerialPortInfo>

namespace platform {

QList<ListedSerialPort> listedSerialPorts()
{
    QList<ListedSerialPort> listed;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports)
        listed.append({ port.systemLocation(), port.portName(), port.description() });
    return listed;
}

QStringList serialPortLocations()
{
    QStringList locations;
    const QList<ListedSerialPort> ports = listedSerialPorts();
    for (const ListedSerialPort& port : ports)
        locations.append(port.location);
    return locations;
}

} // namespace platform
