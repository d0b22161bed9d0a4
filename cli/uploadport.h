// The serial port as the command line's upload uses it: counted, and given up at a stop request.
#pragma once

#include "platform/clock.h"
#include "platform/interruption.h"
#include "platform/serialport.h"

#include <functional>

namespace cli {

// Passes everything to the port it wraps and counts the bytes that went out, so that the receipt
// tells exactly how far the box was sent, the byte that got no answer included. A wait for the
// box's answer looks for a stop request at least every 100 ms and fails at one, which ends the
// upload there. The upload itself knows nothing of signals.
class UploadPort final : public platform::SerialPort {
public:
    UploadPort(
        platform::SerialPort& port, const platform::Clock& clock, std::function<platform::StopRequest()> stopRequested);

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
    const platform::Clock& m_clock;
    std::function<platform::StopRequest()> m_stopRequested;
    QString m_deviceName;
    int m_bytesWritten = 0;
};

} // namespace cli
