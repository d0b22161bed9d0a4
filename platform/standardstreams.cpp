#include "standardstreams.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

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

bool writtenAsText(std::FILE* stream, const QString& text)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        // What the stream still holds goes first, so that the lines keep their order.
        std::fflush(stream);
        DWORD count = 0;
        if (WriteConsoleW(handle, text.utf16(), DWORD(text.size()), &count, nullptr) && count == DWORD(text.size()))
            return true;
        if (stream == stdout && outputFailure.isEmpty())
            outputFailure = qt_error_string(int(GetLastError()));
        return false;
    }
#endif
    return written(stream, text.toUtf8());
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

bool writeTextToStandardOutput(const QString& text) { return writtenAsText(stdout, text); }

bool writeTextToStandardError(const QString& text) { return writtenAsText(stderr, text); }

QString standardOutputFailure()
{
    if (std::fflush(stdout) != 0 && outputFailure.isEmpty())
        outputFailure = QString::fromLocal8Bit(std::strerror(errno));
    if (outputFailure.isEmpty() && std::ferror(stdout))
        outputFailure = QString::fromLocal8Bit(std::strerror(EIO));
    return outputFailure;
}

} // namespace platform
