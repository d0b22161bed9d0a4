// The time base of the serial link's waits.
#pragma once

#include <QtGlobal>

namespace platform {

// Two readings of the same moment: a monotonic count that no change of the system time moves,
// and how far the wall clock is into its current second, which fixes where a wait's whole
// seconds begin.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 monotonicMs() const = 0;
    virtual int wallMsIntoSecond() const = 0;
};

// The computer's own clocks.
class SystemClock final : public Clock {
public:
    qint64 monotonicMs() const override;
    int wallMsIntoSecond() const override;
};

} // namespace platform
