// The PC's serial port as the link to the QX-7M uses it.
#pragma once

#include "error.h"
#include "result.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The rate of the QX-7M's programming link. A projector's link runs at its own rate.
inline constexpr qint32 kBoxLinkBaudRate = 9600;

enum class Arrival {
    ByteWaiting,
    TimedOut,
};

// One port, opened by device name at the rate asked for, with the QX-7M's other line settings (8
// data bits, no parity, 1 stop bit, no flow control, raw bytes). It never touches the modem lines: the
// device does not use them and pseudo-terminals refuse them. Failures come back as the
// program's numbered errors; nothing here shows anything.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // A device this user may not read and write: PermissionDenied. Busy or locked:
    // PortAlreadyOpen. No such device: SerialPortNotFound. A file or device that is no serial
    // port: NotASerialPort. Any other failure to open: PortNotOpen.
    [[nodiscard]] virtual std::optional<Error> open(const QString& deviceName, qint32 baudRate = kBoxLinkBaudRate) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Returns once the bytes are on their way to the device.
    [[nodiscard]] virtual std::optional<Error> write(const QByteArray& bytes) = 0;
    // Drops everything received and not yet read.
    [[nodiscard]] virtual std::optional<Error> discardWaiting() = 0;
    // Blocks, without using the processor, until a received byte is waiting or the time is up;
    // 0 only looks. A device that went away is an error, not a time-out, and leaves the port closed.
    virtual Result<Arrival> waitForBytes(qint64 msecs) = 0;
    // Every byte waiting, oldest first, taken from the queue in one call; empty when none is.
    [[nodiscard]] virtual QByteArray readWaiting() = 0;
    // Lets bytes gather for msecs without waking for each one as it comes: a device that floods
    // wrong bytes must not cost the processor a wake-up a byte.
    virtual void pause(qint64 msecs) = 0;
};

} // namespace platform
