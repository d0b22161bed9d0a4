// The QX-7M's side of an upload, one received byte at a time.
#pragma once

#include "answertiming.h"
#include "upload.h"

#include <QByteArray>

#include <chrono>
#include <optional>

namespace tools {

// Ways in which a faulty or unplugged box answers differently, so that the PC side's failure paths can be tried.
struct Faults {
    // Only bytes 1..n of each upload are answered; 0 is a box that never answers.
    std::optional<int> answeredBytes;
    // A wrong byte (NAK) goes out before every ACK.
    bool nakFirst = false;
    // The second SYN is answered with 0xFF alone, without the 0x07 that should follow it.
    bool ffOnly = false;
};

// What the device does with one received byte.
struct Reaction {
    QByteArray answer;
    // When the answer is to go out, on the same time scale as the byte was seen.
    std::chrono::nanoseconds answerAt { 0 };
    // The byte's number within the upload, counted from 1; 0 for a byte outside any upload.
    int position = 0;
    // Set by the byte that completes an upload.
    std::optional<Upload> completed;
};

// The device's protocol state machine: decides what to answer, when, and when an upload is complete. It never
// touches the line or the clock; the caller says when each byte was seen, on any monotonic time scale. A pause of
// more than kGiveUpPause after the device's last answer (or, where it gave none, after the last byte) means the PC
// has given up on the upload, so the next byte starts a new one. It is longer than the PC's longest wait for an
// answer, 6 s, so that a slow answer never breaks an upload.
class SimulatedDevice {
public:
    static constexpr std::chrono::seconds kGiveUpPause { 10 };

    explicit SimulatedDevice(Faults faults = {}, AnswerTiming timing = AnswerTiming(0, {}));

    Reaction receive(quint8 byte, std::chrono::nanoseconds seen);

private:
    enum class Stage { Idle, SecondSyn, Settings, StringCount, StringData };

    QByteArray answerTo(int position, bool secondSyn) const;
    void keepSetting(quint8 byte);
    bool finishString();
    void startOver();

    Faults m_faults;
    AnswerTiming m_timing;
    Stage m_stage = Stage::Idle;
    // The last moment the line was busy: a byte seen or an answer sent.
    std::chrono::nanoseconds m_lastActivity { 0 };
    Upload m_upload;
    int m_settingsReceived = 0;
    int m_stringIndex = 0;
    int m_stringRemaining = 0;
};

} // namespace tools
