// The "No Input Active" delay as the two bytes the device receives.
#pragma once

#include "config/noinputdelay.h"
#include "platform/result.h"

namespace device {

struct DelayBytes {
    quint8 high = 0;
    quint8 low = 0;

    friend bool operator==(const DelayBytes&, const DelayBytes&) = default;
};

// hours x 3600 + minutes x 60 + seconds. The minutes are multiplied in 16 bits: a minutes value
// beyond 546, which no delay field accepts, is an Overflow error even where the total would fit.
platform::Result<qint32> delayTotalSeconds(const config::NoInputDelay& delay);

// The total, high byte first. A total outside 0 to 65535 (only values no delay field accepts,
// such as a rejected entry's 255 hours) is an Overflow error.
platform::Result<DelayBytes> delayBytes(const config::NoInputDelay& delay);

} // namespace device
