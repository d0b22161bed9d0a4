// The acknowledged serial link to the QX-7M: every byte sent is answered by one byte.
#pragma once

#include "platform/clock.h"
#include "platform/result.h"
#include "platform/serialport.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace device {

// Answers and commands of the device's programming protocol.
inline constexpr quint8 kAck = 0x06;
inline constexpr quint8 kSyn = 0x16;
// The device's two-byte answer to the second SYN, sent back to back.
inline constexpr quint8 kReadyFirst = 0xFF;
inline constexpr quint8 kReadySecond = 0x07;

// How the last wait for an answer ended. A wait starts at SettingUp and Waiting; it stays at
// Waiting when the expected byte did not come.
enum class TransferStatus : quint8 {
    SettingUp = 0,
    Waiting = 1,
    Received = 2,
};

// How the last wait for an answer went, for telling the user where an upload stopped.
struct WaitRecord {
    // The last byte that came and was not the one awaited.
    std::optional<quint8> unexpected;
    qint64 waitedMs = 0;
};

// Sends bytes one at a time and waits for each answer, on a port and clock passed in. It shows
// nothing and ends nothing: a missing answer is a status for the caller, a broken port an error.
class SerialLink {
public:
    SerialLink(platform::SerialPort& port, const platform::Clock& clock);

    [[nodiscard]] std::optional<platform::Error> open(const QString& deviceName);
    void close();
    bool isOpen() const;

    // Drops what arrived before this byte (an answer to nothing the link is waiting for), then
    // sends it. The answer to it is never dropped, however fast it comes.
    [[nodiscard]] std::optional<platform::Error> sendByte(quint8 byte);

    // Waits for one answer. Wrong bytes are read and dropped, all that are waiting at once, and
    // the next ones are left to gather a moment before the next look. The wait ends in the first
    // look at or after the start of the sixth wall-clock second after it began (5 to 6 seconds),
    // timed on the monotonic clock; that last look still takes the expected byte if it is there.
    // Bytes that came after the expected one are kept for the next wait.
    platform::Result<TransferStatus> waitForByte(quint8 expected);

    // Sends the count byte and then each byte, every one acknowledged. Received when all were;
    // Waiting as soon as one was not, and nothing more is sent. More than 255 bytes have no
    // count byte and are refused before anything is sent. acknowledged, when given, is called
    // after each byte's acknowledgement, the count byte's included.
    platform::Result<TransferStatus> sendCountedString(
        const QByteArray& bytes, const std::function<void()>& acknowledged = {});

    TransferStatus transferStatus() const { return m_transferStatus; }
    const WaitRecord& lastWait() const { return m_lastWait; }

private:
    platform::SerialPort& m_port;
    const platform::Clock& m_clock;
    TransferStatus m_transferStatus = TransferStatus::SettingUp;
    WaitRecord m_lastWait;
    // Read from the port and not yet looked at.
    QByteArray m_received;
};

// Holds the link open for one command: opens it on creation and closes it when the command ends,
// by whichever path, so that a failed upload or an error never leaves the port held.
class LinkSession {
public:
    LinkSession(SerialLink& link, const QString& deviceName);
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Why the port did not open; nothing may be sent then.
    [[nodiscard]] const std::optional<platform::Error>& openError() const { return m_openError; }

private:
    SerialLink& m_link;
    std::optional<platform::Error> m_openError;
};

} // namespace device
