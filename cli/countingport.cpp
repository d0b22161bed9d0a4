#include "countingport.h"

namespace cli {

CountingPort::CountingPort(platform::SerialPort& port)
    : m_port(port)
{
}

std::optional<platform::Error> CountingPort::open(const QString& deviceName, qint32 baudRate)
{
    return m_port.open(deviceName, baudRate);
}

void CountingPort::close() { m_port.close(); }

bool CountingPort::isOpen() const { return m_port.isOpen(); }

std::optional<platform::Error> CountingPort::write(const QByteArray& bytes)
{
    std::optional<platform::Error> error = m_port.write(bytes);
    if (!error)
        m_bytesWritten += int(bytes.size());
    return error;
}

std::optional<platform::Error> CountingPort::discardWaiting() { return m_port.discardWaiting(); }

platform::Result<platform::Arrival> CountingPort::waitForBytes(qint64 msecs) { return m_port.waitForBytes(msecs); }

QByteArray CountingPort::readWaiting() { return m_port.readWaiting(); }

void CountingPort::pause(qint64 msecs) { m_port.pause(msecs); }

} // namespace cli
