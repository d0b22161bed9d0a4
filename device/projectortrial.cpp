#include "projectortrial.h"

#include "config/stringslot.h"
#include "notation/notation.h"

using namespace Qt::StringLiterals;
using notation::BoxStep;

namespace device {

TrialPlan planTrial(const QByteArray& commandBytes)
{
    if (commandBytes.isEmpty())
        return { {}, u"nothing to send"_s, {} };
    const notation::BoxReading reading = notation::readAsTheBox(commandBytes);
    if (const std::optional<qsizetype> at = reading.unreadableEscapeAt) {
        const QString byte = QString::number(*at + 1);
        if (*at + 1 < commandBytes.size() && quint8(commandBytes.at(*at + 1)) > notation::kLongestWaitHighByte)
            return { {},
                u"byte %1 begins the escape 1B %2, which the QX-7M does not define"_s.arg(
                    byte, notation::hexPairs(commandBytes.sliced(*at + 1, 1))),
                {} };
        return { {}, u"byte %1 begins an escape (1B) that the string cuts off"_s.arg(byte), {} };
    }
    QString note;
    if (commandBytes.size() > config::kLongestCommandString)
        note = u"the string is %1 bytes long; the QX-7M takes at most %2, so an upload would refuse it"_s.arg(
            QString::number(commandBytes.size()), QString::number(config::kLongestCommandString));
    return { reading.steps, {}, note };
}

qint32 bitsPerSecond(quint8 high, quint8 low) { return qint32(high) << 8 | low; }

QString notKeptText(qint64 count)
{
    return count == 1 ? u"... and 1 more byte"_s : u"... and %1 more bytes"_s.arg(count);
}

ProjectorTrial::ProjectorTrial(platform::SerialPort& port, const platform::Clock& clock, QList<notation::BoxStep> steps,
    qint64 listenMs, bool skipWaits)
    : m_port(port)
    , m_clock(clock)
    , m_steps(std::move(steps))
    , m_listenMs(listenMs)
    , m_skipWaits(skipWaits)
{
}

ProjectorTrial::~ProjectorTrial()
{
    if (!isOver())
        stop();
}

std::optional<platform::Error> ProjectorTrial::start(const QString& deviceName, qint32 baudRate)
{
    if (std::optional<platform::Error> error = m_port.open(deviceName, baudRate)) {
        m_failure = error;
        m_phase = Phase::Failed;
        return error;
    }
    m_startMs = m_clock.monotonicMs();
    m_phase = Phase::Sending;
    return std::nullopt;
}

void ProjectorTrial::advance()
{
    if (m_phase == Phase::NotStarted || isOver())
        return;
    takeReply();
    while (!isOver() && msUntilDue() == 0) {
        if (m_phase == Phase::Listening) {
            end(Phase::Finished);
        } else if (m_phase == Phase::Waiting) {
            m_events.append({ TrialEvent::Kind::WaitEnded, now(), {}, 0, false });
            m_phase = Phase::Sending;
        } else if (m_nextStep == m_steps.size()) {
            m_phase = Phase::Listening;
            m_dueMs = m_clock.monotonicMs() + m_listenMs;
        } else if (const BoxStep& step = m_steps.at(m_nextStep++); step.kind == BoxStep::Kind::Send) {
            if (std::optional<platform::Error> error = m_port.write(step.sent))
                fail(*error);
            else
                m_events.append({ TrialEvent::Kind::Sent, now(), step.sent, 0, false });
        } else {
            m_events.append({ TrialEvent::Kind::WaitBegun, now(), {}, step.waitSeconds, false });
            m_phase = Phase::Waiting;
            m_dueMs = m_clock.monotonicMs() + (m_skipWaits ? 0 : qint64(step.waitSeconds) * 1000);
        }
    }
}

qint64 ProjectorTrial::msUntilDue() const
{
    if (m_phase == Phase::Waiting || m_phase == Phase::Listening)
        return qMax<qint64>(0, m_dueMs - m_clock.monotonicMs());
    return 0;
}

void ProjectorTrial::skipWait()
{
    if (m_phase != Phase::Waiting)
        return;
    m_events.append({ TrialEvent::Kind::WaitEnded, now(), {}, 0, true });
    m_phase = Phase::Sending;
}

void ProjectorTrial::stop()
{
    if (!isOver())
        end(Phase::Stopped);
}

bool ProjectorTrial::isOver() const
{
    return m_phase == Phase::Finished || m_phase == Phase::Stopped || m_phase == Phase::Failed;
}

QByteArray ProjectorTrial::sentBytes() const
{
    QByteArray bytes;
    for (const TrialEvent& event : m_events) {
        if (event.kind == TrialEvent::Kind::Sent)
            bytes += event.bytes;
    }
    return bytes;
}

qint64 ProjectorTrial::now() const { return m_clock.monotonicMs() - m_startMs; }

void ProjectorTrial::takeReply()
{
    const platform::Result<platform::Arrival> arrival = m_port.waitForBytes(0);
    if (!arrival) {
        fail(arrival.error());
        return;
    }
    if (arrival.value() != platform::Arrival::ByteWaiting)
        return;
    const QByteArray bytes = m_port.readWaiting();
    m_replyBytes += bytes.size();
    const qsizetype room = kKeptReplyBytes - m_reply.size();
    const QByteArray kept = bytes.size() <= room ? bytes : bytes.first(room);
    if (kept.isEmpty())
        return;
    m_reply += kept;
    m_events.append({ TrialEvent::Kind::Received, now(), kept, 0, false });
}

void ProjectorTrial::fail(const platform::Error& error)
{
    m_failure = error;
    end(Phase::Failed);
}

void ProjectorTrial::end(Phase phase)
{
    // The last bytes that came before the end belong to the answer.
    if (phase == Phase::Finished)
        takeReply();
    if (m_port.isOpen())
        m_port.close();
    if (m_phase != Phase::Failed)
        m_phase = phase;
}

} // namespace device
