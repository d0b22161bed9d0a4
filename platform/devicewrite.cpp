#include "devicewrite.h"

#include "interruption.h"

#include <QDeadlineTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace platform {

std::optional<DeviceWrite> writeToDevice(qintptr handle, QByteArrayView bytes, int timeoutMs)
{
#ifdef Q_OS_UNIX
    const QDeadlineTimer deadline(timeoutMs);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t count = ::write(int(handle), bytes.data() + done, size_t(bytes.size() - done));
        if (count > 0) {
            done += count;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN)
            return DeviceWrite::Gone;
        // The device's queue is full: wait until it takes more. A stop request that came just
        // before the wait would not cut it short.
        if (stopRequest() != StopRequest::None)
            return DeviceWrite::Stopped;
        pollfd device { int(handle), POLLOUT, 0 };
        const int ready = ::poll(&device, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return DeviceWrite::NotTaken;
        if (ready < 0 || (device.revents & POLLOUT) == 0)
            return DeviceWrite::Gone;
    }
    return DeviceWrite::Written;
#else
    Q_UNUSED(handle);
    Q_UNUSED(bytes);
    Q_UNUSED(timeoutMs);
    return std::nullopt;
#endif
}

} // namespace platform
