// A serial port and a clock that a test moves by hand, for the timing rules of the link.
#pragma once

#include "platform/clock.h"
#include "platform/serialport.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>
#include <map>

// Time only moves when the port is asked to wait; the wall clock's second starts wallMsAtStart
// into the second at time 0.
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(int wallMsAtStart = 0)
        : m_wallMsAtStart(wallMsAtStart)
    {
    }
    qint64 monotonicMs() const override { return now; }
    int wallMsIntoSecond() const override { return static_cast<int>((m_wallMsAtStart + now) % 1000); }

    qint64 now = 0;

private:
    int m_wallMsAtStart;
};

// Bytes arrive at set times. A device function, when given, answers each byte written after
// answerDelayMs. A wait jumps the clock to the next arrival or by the whole time asked for.
class FakeSerialPort final : public platform::SerialPort {
public:
    explicit FakeSerialPort(FakeClock& clock)
        : m_clock(clock)
    {
    }

    void arriveAt(qint64 ms, const QByteArray& bytes)
    {
        for (const char byte : bytes)
            m_incoming.emplace(ms, static_cast<quint8>(byte));
    }
    std::function<QByteArray(quint8 sent)> device;
    qint64 answerDelayMs = 1;
    // How late a wait that found nothing returns, as a busy system wakes a sleeper late.
    qint64 overrunMs = 0;
    // The cable is pulled at the first wait once this many bytes were written; -1: never.
    qsizetype hangUpAfter = -1;

    // Each open takes the next of these, if any, as its failure; every device and rate asked for is kept.
    QList<platform::Error> openErrors;
    QStringList opened;
    QList<qint32> openedRates;

    QByteArray written, discarded;
    int waits = 0;

    std::optional<platform::Error> open(
        const QString& deviceName, qint32 baudRate = platform::kBoxLinkBaudRate) override
    {
        opened.append(deviceName);
        openedRates.append(baudRate);
        if (!openErrors.isEmpty())
            return openErrors.takeFirst();
        m_open = true;
        return std::nullopt;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::optional<platform::Error> write(const QByteArray& bytes) override
    {
        written += bytes;
        for (const char byte : bytes) {
            if (device)
                arriveAt(m_clock.now + answerDelayMs, device(static_cast<quint8>(byte)));
        }
        return std::nullopt;
    }
    std::optional<platform::Error> discardWaiting() override
    {
        discarded += readWaiting();
        return std::nullopt;
    }
    platform::Result<platform::Arrival> waitForBytes(qint64 msecs) override
    {
        ++waits;
        if (hangUpAfter >= 0 && written.size() >= hangUpAfter) {
            m_open = false;
            return platform::Error(platform::ErrorCode::SerialLinkLost, opened.value(opened.size() - 1));
        }
        if (!byteWaiting() && !m_incoming.empty() && m_incoming.begin()->first <= m_clock.now + msecs)
            m_clock.now = m_incoming.begin()->first;
        if (byteWaiting())
            return platform::Arrival::ByteWaiting;
        m_clock.now += msecs > 0 ? msecs + overrunMs : 0;
        return platform::Arrival::TimedOut;
    }
    QByteArray readWaiting() override
    {
        QByteArray bytes;
        while (byteWaiting())
            bytes.append(static_cast<char>(m_incoming.extract(m_incoming.begin()).mapped()));
        return bytes;
    }
    void pause(qint64 msecs) override { m_clock.now += msecs; }

private:
    bool byteWaiting() const { return !m_incoming.empty() && m_incoming.begin()->first <= m_clock.now; }

    FakeClock& m_clock;
    bool m_open = false;
    // Arrival time -> bytes, kept in order of arrival.
    std::multimap<qint64, quint8> m_incoming;
};
