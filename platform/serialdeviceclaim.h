// Whether a serial device is free for this program, asked of the system around the port's opening.
#pragma once

#include "error.h"

#include <QString>

#include <optional>

namespace platform {

// Where programs that share serial ports leave their lock files (LCK..ttyUSB0) on this system.
QString standardSerialLockFolder();

// Claims one device for the QX-7M's port: refuses a path that is no serial port, and a port that
// another program holds by a lock file of a live process (in lockFolder or where Qt Serial Port
// takes its own), by exclusive mode or by an exclusive flock. A lock file of a process that has
// ended, or of this one, is removed; a live process's never, nor a flag this program did not set.
// Everything here is the system's own; where it has none of it, every check passes.
class SerialDeviceClaim {
public:
    explicit SerialDeviceClaim(QString lockFolder);
    ~SerialDeviceClaim();
    SerialDeviceClaim(const SerialDeviceClaim&) = delete;
    SerialDeviceClaim& operator=(const SerialDeviceClaim&) = delete;

    // Before the port opens it: SerialPortNotFound for a path that leads nowhere, NotASerialPort
    // for anything but a terminal device, PortAlreadyOpen for a device that another program holds.
    // The device stays open here until release(), so that its lines do not drop between this look
    // and the port's own opening.
    [[nodiscard]] std::optional<Error> checkBeforeOpening(const QString& deviceName);
    // The path the port opens the device by, once checked: the device's own path, which Qt Serial
    // Port opens by its text (a link's name need not be text) and names its lock by, as other
    // programs name theirs (LCK..ttyUSB0 for a link in /dev/serial/by-id).
    QString portPath() const { return m_portPath; }
    // Where Qt Serial Port takes its lock for portPath(); empty where it takes none.
    QString qtLockPath() const { return m_qtLockPath; }
    // Once the port has opened the device as handle: an exclusive lock that other programs see,
    // or PortAlreadyOpen when one of them has it. It goes with the handle's closing.
    [[nodiscard]] std::optional<Error> holdOpenedPort(qintptr handle, const QString& deviceName);
    void release();

private:
    QString m_lockFolder;
    int m_lookingHandle = -1;
    QString m_portPath;
    QString m_qtLockPath;
};

} // namespace platform
