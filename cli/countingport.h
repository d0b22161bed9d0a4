// A serial port that counts what it has written, for the receipt's "bytes sent".
#pragma once

#include "platform/serialport.h"

namespace cli {

// Passes everything to the port it wraps and counts the bytes that went out, so that the receipt
// tells exactly how far the box was sent, the byte that got no answer included.
class CountingPort final : public platform::SerialPort {
public:
    explicit CountingPort(platform::SerialPort& port);

    [[nodiscard]] std::optional<platform::Error> open(
        const QString& deviceName, qint32 baudRate = platform::kBoxLinkBaudRate) override;
    void close() override;
    bool isOpen() const override;
    [[nodiscard]] std::optional<platform::Error> write(const QByteArray& bytes) override;
    [[nodiscard]] std::optional<platform::Error> discardWaiting() override;
    platform::Result<platform::Arrival> waitForBytes(qint64 msecs) override;
    [[nodiscard]] QByteArray readWaiting() override;
    void pause(qint64 msecs) override;

    int bytesWritten() const { return m_bytesWritten; }

private:
    platform::SerialPort& m_port;
    int m_bytesWritten = 0;
};

} // namespace cli
