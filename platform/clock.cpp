#include "clock.h"

#include <QDateTime>
#include <QDeadlineTimer>

namespace platform {

qint64 SystemClock::monotonicMs() const { return QDeadlineTimer::current(Qt::PreciseTimer).deadline(); }

int SystemClock::wallMsIntoSecond() const { return static_cast<int>(QDateTime::currentMSecsSinceEpoch() % 1000); }

} // namespace platform
