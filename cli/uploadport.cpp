#include "uploadport.h"

#include <algorithm>

namespace cli {

namespace {

// The longest the upload sleeps between two looks for a stop request: a wait for the box lasts
// up to 6 s, and Ctrl+C must end it at once.
constexpr qint64 kLongestWaitMs = 100;

} // namespace

UploadPort::UploadPort(
    platform::SerialPort& port, const platform::Clock& clock, std::function<platform::StopRequest()> stopRequested)
    : m_port(port)
    , m_clock(clock)
    , m_stopRequested(std::move(stopRequested))
{
}

std::optional<platform::Error> UploadPort::open(const QString& deviceName, qint32 baudRate)
{
    m_deviceName = deviceName;
    return m_port.open(deviceName, baudRate);
}

void UploadPort::close() { m_port.close(); }

bool UploadPort::isOpen() const { return m_port.isOpen(); }

std::optional<platform::Error> UploadPort::write(const QByteArray& bytes)
{
    std::optional<platform::Error> error = m_port.write(bytes);
    if (!error)
        m_bytesWritten += int(bytes.size());
    return error;
}

std::optional<platform::Error> UploadPort::discardWaiting() { return m_port.discardWaiting(); }

platform::Result<platform::Arrival> UploadPort::waitForBytes(qint64 msecs)
{
    const qint64 deadline = m_clock.monotonicMs() + msecs;
    for (;;) {
        // The upload ends on this error, and its session closes the port.
        if (m_stopRequested() != platform::StopRequest::None)
            return platform::Error(platform::ErrorCode::PortNotOpen, m_deviceName);
        const qint64 left = std::max<qint64>(deadline - m_clock.monotonicMs(), 0);
        platform::Result<platform::Arrival> arrival = m_port.waitForBytes(std::min(left, kLongestWaitMs));
        if (!arrival || arrival.value() == platform::Arrival::ByteWaiting || left <= kLongestWaitMs)
            return arrival;
    }
}

QByteArray UploadPort::readWaiting() { return m_port.readWaiting(); }

void UploadPort::pause(qint64 msecs) { m_port.pause(msecs); }

} // namespace cli
