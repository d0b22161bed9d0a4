#include "simulateddevice.h"

#include <algorithm>
#include <utility>

namespace tools {

namespace {

constexpr quint8 kSyn = 0x16;
// NAK then ACK: with the NAK fault both go out together, in that order.
constexpr char kNakAck[] = { 0x15, 0x06 };
constexpr char kSecondSynAnswer[] = { '\xFF', 0x07 };
constexpr int kSettingsCount = 5;

} // namespace

SimulatedDevice::SimulatedDevice(Faults faults, AnswerTiming timing)
    : m_faults(faults)
    , m_timing(timing)
{
}

Reaction SimulatedDevice::receive(quint8 byte, std::chrono::nanoseconds seen)
{
    if (m_stage != Stage::Idle && seen - m_lastActivity > kGiveUpPause)
        startOver();
    m_lastActivity = std::max(m_lastActivity, seen);

    bool secondSyn = false;
    bool complete = false;
    switch (m_stage) {
    case Stage::Idle:
        if (byte != kSyn)
            return {};
        m_stage = Stage::SecondSyn;
        break;
    case Stage::SecondSyn:
        // Anything but the second SYN means this was no upload; the byte belongs to nothing.
        if (byte != kSyn) {
            startOver();
            return {};
        }
        secondSyn = true;
        m_stage = Stage::Settings;
        break;
    case Stage::Settings:
        keepSetting(byte);
        if (++m_settingsReceived == kSettingsCount)
            m_stage = Stage::StringCount;
        break;
    case Stage::StringCount:
        // A count of 0 is a whole string: the device waits for no data byte after it.
        m_stringRemaining = byte;
        if (byte == 0)
            complete = finishString();
        else
            m_stage = Stage::StringData;
        break;
    case Stage::StringData:
        m_upload.strings[m_stringIndex].append(static_cast<char>(byte));
        if (--m_stringRemaining == 0)
            complete = finishString();
        break;
    }

    m_upload.received.append(static_cast<char>(byte));
    Reaction reaction;
    reaction.position = int(m_upload.received.size());
    reaction.answer = answerTo(reaction.position, secondSyn);
    // Bytes that get no answer still occupied the wire, so the timing sees every one of them.
    reaction.answerAt = m_timing.answerTime(seen, reaction.answer.size());
    if (!reaction.answer.isEmpty())
        m_lastActivity = std::max(m_lastActivity, reaction.answerAt);
    m_upload.answered.append(reaction.answer);
    if (complete) {
        reaction.completed = std::exchange(m_upload, {});
        startOver();
    }
    return reaction;
}

QByteArray SimulatedDevice::answerTo(int position, bool secondSyn) const
{
    if (m_faults.answeredBytes && position > *m_faults.answeredBytes)
        return {};
    if (secondSyn)
        return QByteArray(kSecondSynAnswer, m_faults.ffOnly ? 1 : 2);
    return m_faults.nakFirst ? QByteArray(kNakAck, 2) : QByteArray(kNakAck + 1, 1);
}

void SimulatedDevice::keepSetting(quint8 byte)
{
    quint8* const settings[kSettingsCount] = { &m_upload.baudRateHigh, &m_upload.baudRateLow, &m_upload.scanPriority,
        &m_upload.delayHigh, &m_upload.delayLow };
    *settings[m_settingsReceived] = byte;
}

bool SimulatedDevice::finishString()
{
    m_stage = Stage::StringCount;
    return ++m_stringIndex == kStringCount;
}

void SimulatedDevice::startOver()
{
    m_stage = Stage::Idle;
    m_upload = {};
    m_settingsReceived = 0;
    m_stringIndex = 0;
    m_stringRemaining = 0;
}

} // namespace tools
