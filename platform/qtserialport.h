// The serial port of the running computer.
#pragma once

#include "serialport.h"

#include <QSerialPort>

namespace platform {

// Owns one QSerialPort and uses it only through its blocking calls, so that no event loop is
// needed and nothing else of the program runs while the link waits for the device.
class QtSerialPort final : public SerialPort {
public:
    [[nodiscard]] std::optional<Error> open(const QString& deviceName) override;
    void close() override;
    bool isOpen() const override;
    [[nodiscard]] std::optional<Error> write(const QByteArray& bytes) override;
    [[nodiscard]] std::optional<Error> discardWaiting() override;
    Result<Arrival> waitForBytes(qint64 msecs) override;
    [[nodiscard]] std::optional<quint8> readByte() override;

private:
    Error lostLink();

    QSerialPort m_port;
    QString m_deviceName;
};

} // namespace platform
