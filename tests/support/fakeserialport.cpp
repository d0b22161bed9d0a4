#include "fakeserialport.h"

void FakeSerialPort::arriveAt(qint64 ms, const QByteArray& bytes)
{
    for (const char byte : bytes)
        m_incoming.emplace(ms, static_cast<quint8>(byte));
}

std::optional<platform::Error> FakeSerialPort::open(const QString& deviceName)
{
    opened.append(deviceName);
    if (!openErrors.isEmpty())
        return openErrors.takeFirst();
    m_open = true;
    return std::nullopt;
}

std::optional<platform::Error> FakeSerialPort::write(const QByteArray& bytes)
{
    written += bytes;
    if (device) {
        for (const char byte : bytes)
            arriveAt(m_clock.now + answerDelayMs, device(static_cast<quint8>(byte)));
    }
    return std::nullopt;
}

std::optional<platform::Error> FakeSerialPort::discardWaiting()
{
    while (byteWaiting())
        discarded.append(static_cast<char>(*readByte()));
    return std::nullopt;
}

platform::Result<platform::Arrival> FakeSerialPort::waitForBytes(qint64 msecs)
{
    ++waits;
    if (byteWaiting())
        return platform::Arrival::ByteWaiting;
    if (!m_incoming.empty() && m_incoming.begin()->first <= m_clock.now + msecs) {
        m_clock.now = m_incoming.begin()->first;
        return platform::Arrival::ByteWaiting;
    }
    m_clock.now += msecs > 0 ? msecs + overrunMs : 0;
    return platform::Arrival::TimedOut;
}

std::optional<quint8> FakeSerialPort::readByte()
{
    if (!byteWaiting())
        return std::nullopt;
    const quint8 byte = m_incoming.begin()->second;
    m_incoming.erase(m_incoming.begin());
    return byte;
}

bool FakeSerialPort::byteWaiting() const { return !m_incoming.empty() && m_incoming.begin()->first <= m_clock.now; }
