#include "devicewrite.h"

#include <QDeadlineTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace platform {

std::optional<bool> writeToDevice(qintptr handle, QByteArrayView bytes, int timeoutMs)
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
            return false;
        // The device's queue is full: wait until it takes more.
        pollfd device { int(handle), POLLOUT, 0 };
        if (::poll(&device, 1, int(deadline.remainingTime())) <= 0 || (device.revents & POLLOUT) == 0)
            return false;
    }
    return true;
#else
    Q_UNUSED(handle);
    Q_UNUSED(bytes);
    Q_UNUSED(timeoutMs);
    return std::nullopt;
#endif
}

} // namespace platform
