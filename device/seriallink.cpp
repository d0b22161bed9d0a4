#include "seriallink.h"

#include "config/stringslot.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using platform::Arrival;
using platform::Error;
using platform::ErrorCode;
using platform::Result;

namespace device {

namespace {

// The device may take up to five whole seconds to answer: a wait runs to the start of the sixth
// wall-clock second after it began, so it lasts between 5 and 6 seconds.
constexpr qint64 kWaitSpanMs = 6000;

// After a wrong byte the next ones are left to gather this long before the link looks again: a
// device that floods wrong bytes (a broken cable, the wrong port) would otherwise wake it once a
// byte for the whole wait.
constexpr qint64 kGatherMs = 20;

} // namespace

SerialLink::SerialLink(platform::SerialPort& port, const platform::Clock& clock)
    : m_port(port)
    , m_clock(clock)
{
}

std::optional<Error> SerialLink::open(const QString& deviceName) { return m_port.open(deviceName); }

void SerialLink::close() { m_port.close(); }

bool SerialLink::isOpen() const { return m_port.isOpen(); }

std::optional<Error> SerialLink::sendByte(quint8 byte)
{
    m_received.clear();
    if (auto error = m_port.discardWaiting())
        return error;
    return m_port.write(QByteArray(1, static_cast<char>(byte)));
}

Result<TransferStatus> SerialLink::waitForByte(quint8 expected)
{
    m_transferStatus = TransferStatus::SettingUp;
    const qint64 start = m_clock.monotonicMs();
    const qint64 deadline = start + kWaitSpanMs - m_clock.wallMsIntoSecond();
    m_lastWait = {};
    m_transferStatus = TransferStatus::Waiting;
    for (;;) {
        const qint64 left = deadline - m_clock.monotonicMs();
        if (m_received.isEmpty()) {
            const Result<Arrival> arrival = m_port.waitForBytes(std::max<qint64>(left, 0));
            m_lastWait.waitedMs = m_clock.monotonicMs() - start;
            if (!arrival)
                return arrival.error();
            if (arrival.value() == Arrival::ByteWaiting)
                m_received = m_port.readWaiting();
        }
        if (const qsizetype found = m_received.indexOf(static_cast<char>(expected)); found >= 0) {
            // What came after it is the next wait's: the device's two answers to the second SYN
            // come back to back.
            m_received.remove(0, found + 1);
            m_transferStatus = TransferStatus::Received;
            return m_transferStatus;
        }
        if (!m_received.isEmpty()) {
            m_lastWait.unexpected = static_cast<quint8>(m_received.back());
            m_received.clear();
            if (const qint64 pauseMs = std::min(kGatherMs, deadline - m_clock.monotonicMs()); pauseMs > 0)
                m_port.pause(pauseMs);
        }
        if (left <= 0)
            return m_transferStatus;
    }
}

Result<TransferStatus> SerialLink::sendCountedString(const QByteArray& bytes, const std::function<void()>& acknowledged)
{
    if (bytes.size() > config::kLargestCountedString)
        return Error(ErrorCode::CommandStringTooLong, QString::number(bytes.size()) + u" bytes"_s);
    QByteArray wire;
    wire.append(static_cast<char>(bytes.size()));
    wire.append(bytes);
    for (const char byte : std::as_const(wire)) {
        if (auto error = sendByte(static_cast<quint8>(byte)))
            return *error;
        Result<TransferStatus> answer = waitForByte(kAck);
        if (!answer || answer.value() != TransferStatus::Received)
            return answer;
        if (acknowledged)
            acknowledged();
    }
    return TransferStatus::Received;
}

LinkSession::LinkSession(SerialLink& link, const QString& deviceName)
    : m_link(link)
    , m_openError(link.open(deviceName))
{
}

LinkSession::~LinkSession() { m_link.close(); }

} // namespace device
