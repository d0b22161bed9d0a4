#include "serialportlist.h"

#include <QSerialPortInfo>

namespace platform {

QStringList serialPortLocations()
{
    QStringList locations;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports)
        locations.append(port.systemLocation());
    return locations;
}

} // namespace platform
