// The QX-7M's side of an upload, one received byte at a time.
#pragma once

#include "upload.h"

#include <QByteArray>

#include <chrono>
#include <optional>

namespace sim {

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
    // The byte's number within the upload, counted from 1; 0 for a byte outside any upload.
    int position = 0;
    // Set by the byte that completes an upload.
    std::optional<Upload> completed;
};

// The device's protocol state machine: decides what to answer and when an upload is complete. It never touches the
// line or the clock; the caller says when each byte was seen, on any monotonic time scale.
class SimulatedDevice {
public:
    explicit SimulatedDevice(Faults faults = {});

    Reaction receive(quint8 byte, std::chrono::nanoseconds seen);

private:
    enum class Stage { Idle, SecondSyn, Settings, StringCount, StringData };

    QByteArray answerTo(int position, bool secondSyn) const;
    void keepSetting(quint8 byte);
    bool finishString();
    void startOver();

    Faults m_faults;
    Stage m_stage = Stage::Idle;
    std::chrono::nanoseconds m_lastSeen { 0 };
    Upload m_upload;
    int m_settingsReceived = 0;
    int m_stringIndex = 0;
    int m_stringRemaining = 0;
};

} // namespace sim
