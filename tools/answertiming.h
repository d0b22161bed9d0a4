// When the emulated device's answers go out.
#pragma once

#include <QtGlobal>

#include <chrono>

namespace tools {

// Charges a real cable's time: at the emulated baud rate every byte costs 10 bit times (start, 8 data, stop), in
// both directions, and the fixed answer delay comes on top. Times are monotonic nanoseconds; it never reads a clock.
class AnswerTiming {
public:
    // A wire rate of 0 charges no wire time.
    AnswerTiming(int wireBaud, std::chrono::milliseconds answerDelay);

    // The moment at which to write an answer of answerBytes bytes to a byte seen at `seen`, so that the answer's
    // last byte is where a real cable would have it.
    std::chrono::nanoseconds answerTime(std::chrono::nanoseconds seen, qsizetype answerBytes);

private:
    std::chrono::nanoseconds wireTime(qint64 bytes) const;

    int m_wireBaud = 0;
    std::chrono::milliseconds m_answerDelay { 0 };
    std::chrono::nanoseconds m_lineFreeAt { 0 };
};

} // namespace tools
