#include "standardstreams.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

QString outputFailure;

bool written(std::FILE* stream, QByteArrayView bytes)
{
    if (bytes.isEmpty() || std::fwrite(bytes.data(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()))
        return true;
    if (stream == stdout && outputFailure.isEmpty())
        outputFailure = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace

void ignoreBrokenPipes()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool writeToStandardOutput(QByteArrayView bytes) { return written(stdout, bytes); }

bool writeToStandardError(QByteArrayView bytes) { return written(stderr, bytes); }

QString standardOutputFailure()
{
    if (std::fflush(stdout) != 0 && outputFailure.isEmpty())
        outputFailure = QString::fromLocal8Bit(std::strerror(errno));
    if (outputFailure.isEmpty() && std::ferror(stdout))
        outputFailure = QString::fromLocal8Bit(std::strerror(EIO));
    return outputFailure;
}

} // namespace platform
