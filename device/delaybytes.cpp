#include "delaybytes.h"

#include <limits>

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace device {

platform::Result<qint32> delayTotalSeconds(const config::NoInputDelay& delay)
{
    const qint32 minuteSeconds = qint32(delay.minutes) * 60;
    if (minuteSeconds > std::numeric_limits<qint16>::max() || minuteSeconds < std::numeric_limits<qint16>::min())
        return Error(ErrorCode::Overflow, QString::number(delay.minutes) + u" minutes"_s);
    return qint32(delay.hours) * 3600 + minuteSeconds + delay.seconds;
}

platform::Result<DelayBytes> delayBytes(const config::NoInputDelay& delay)
{
    const platform::Result<qint32> total = delayTotalSeconds(delay);
    if (!total)
        return total.error();
    if (total.value() < 0 || total.value() > 0xFFFF)
        return Error(ErrorCode::Overflow, u"a delay of "_s + QString::number(total.value()) + u" seconds"_s);
    return DelayBytes { static_cast<quint8>(total.value() >> 8), static_cast<quint8>(total.value() & 0xFF) };
}

} // namespace device
