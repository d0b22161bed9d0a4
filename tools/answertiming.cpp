#include "answertiming.h"

#include <algorithm>

namespace tools {

namespace {

constexpr qint64 kBitsPerByte = 10;
constexpr qint64 kNanosecondsPerSecond = 1'000'000'000;

} // namespace

AnswerTiming::AnswerTiming(int wireBaud, std::chrono::milliseconds answerDelay)
    : m_wireBaud(wireBaud)
    , m_answerDelay(answerDelay)
{
}

std::chrono::nanoseconds AnswerTiming::answerTime(std::chrono::nanoseconds seen, qsizetype answerBytes)
{
    // Bytes that came in one read() were on the wire one after the other; each starts when the one before has ended.
    const std::chrono::nanoseconds start = std::max(seen, m_lineFreeAt);
    m_lineFreeAt = start + wireTime(1);
    return start + wireTime(1 + answerBytes) + m_answerDelay;
}

std::chrono::nanoseconds AnswerTiming::wireTime(qint64 bytes) const
{
    if (m_wireBaud <= 0)
        return std::chrono::nanoseconds(0);
    // Multiplied before dividing, so that a long answer gathers no rounding error.
    return std::chrono::nanoseconds(bytes * kBitsPerByte * kNanosecondsPerSecond / m_wireBaud);
}

} // namespace tools
