// Sending one command string straight to the projector, exactly as the box would send it, and
// taking down what the projector answers: the installer's check before the string goes into the box.
#pragma once

#include "notation/boxreading.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/serialport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace device {

// How long the projector is listened to after the last byte, and the window's bounds for it.
inline constexpr qint64 kDefaultListenMs = 2000;
inline constexpr qint64 kShortestListenMs = 500;
inline constexpr qint64 kLongestListenMs = 30000;

// The first bytes of a projector's reply that a trial keeps, far more than any projector answers;
// after them a flooding device's bytes are only counted, so that it cannot fill the memory.
inline constexpr qsizetype kKeptReplyBytes = 65536;

// What a trial would do with a string, worked out before any port is touched.
struct TrialPlan {
    QList<notation::BoxStep> steps;
    // Why the string may not be tried; empty when it may. Nothing of a refused string is sent.
    QString refusal;
    // Told beside a string that may be tried: one the box itself would refuse.
    QString note;
};

// Refuses an empty string ("nothing to send") and a string the box cannot read: an escape it does
// not define (0x1B followed by 0xF0 to 0xFE) or one the string cuts off, naming its byte.
[[nodiscard]] TrialPlan planTrial(const QByteArray& commandBytes);

// The rate of the projector's link, as the box's baud bytes give it (0x25 0x80 is 9600).
[[nodiscard]] qint32 bitsPerSecond(quint8 high, quint8 low);

// Told after the kept bytes of a reply: "... and 14464 more bytes".
[[nodiscard]] QString notKeptText(qint64 count);

// One thing that happened in a trial; atMs counts from the port's opening.
struct TrialEvent {
    enum class Kind { Sent, WaitBegun, WaitEnded, Received };

    Kind kind = Kind::Sent;
    qint64 atMs = 0;
    // Sent, Received: the bytes; of a reply, only those kept.
    QByteArray bytes;
    // WaitBegun: how long the string says; WaitEnded: true when the user skipped the rest.
    int waitSeconds = 0;
    bool skipped = false;
};

// Runs a plan's steps on a port without ever blocking beyond a write: the owner calls advance()
// whenever msUntilDue() has passed or bytes have come (a window's timer, the command line's wait
// for bytes), so that waits, their countdown and the listening time all follow the clock given.
// The port is open from start() until the trial is over, and closed on every way out.
class ProjectorTrial {
public:
    enum class Phase { NotStarted, Sending, Waiting, Listening, Finished, Stopped, Failed };

    ProjectorTrial(platform::SerialPort& port, const platform::Clock& clock, QList<notation::BoxStep> steps,
        qint64 listenMs = kDefaultListenMs, bool skipWaits = false);
    ~ProjectorTrial();
    ProjectorTrial(const ProjectorTrial&) = delete;
    ProjectorTrial& operator=(const ProjectorTrial&) = delete;

    // Opens the port with the projector's line settings; nothing is sent before advance().
    [[nodiscard]] std::optional<platform::Error> start(const QString& deviceName, qint32 baudRate);
    // Takes what came back and does whatever is due: sends the steps up to the next wait, ends a
    // wait or the listening whose time is up.
    void advance();
    // Until advance() has more to do than read; 0 when it has now.
    [[nodiscard]] qint64 msUntilDue() const;
    // The running wait ends now; the next step goes out at the next advance().
    void skipWait();
    // Ends the trial at once and closes the port.
    void stop();

    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] bool isOver() const;
    // Of the running wait or of the listening time.
    [[nodiscard]] qint64 msLeft() const { return msUntilDue(); }
    [[nodiscard]] const QList<TrialEvent>& events() const { return m_events; }
    [[nodiscard]] QByteArray sentBytes() const;
    // The reply's first kKeptReplyBytes bytes at most, as the Received events hold them.
    [[nodiscard]] const QByteArray& reply() const { return m_reply; }
    // Every byte the projector sent, the ones not kept included.
    [[nodiscard]] qint64 replyBytes() const { return m_replyBytes; }
    [[nodiscard]] const std::optional<platform::Error>& failure() const { return m_failure; }

private:
    qint64 now() const;
    void takeReply();
    void fail(const platform::Error& error);
    void end(Phase phase);

    platform::SerialPort& m_port;
    const platform::Clock& m_clock;
    QList<notation::BoxStep> m_steps;
    qint64 m_listenMs;
    bool m_skipWaits;
    Phase m_phase = Phase::NotStarted;
    qsizetype m_nextStep = 0;
    qint64 m_startMs = 0;
    qint64 m_dueMs = 0;
    QList<TrialEvent> m_events;
    QByteArray m_reply;
    qint64 m_replyBytes = 0;
    std::optional<platform::Error> m_failure;
};

} // namespace device
