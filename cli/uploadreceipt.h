// What one run of qx7m-upload did, for its result line or its JSON receipt.
#pragma once

#include "device/uploadobserver.h"
#include "platform/interruption.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// How the run ended. The values are the program's exit codes, which scripts rely on.
enum class Outcome {
    Programmed = 0,
    // The box did not answer as it must, in the handshake, the settings or a string.
    NoAnswer = 1,
    // The arguments, the file, a string's length or a delay text: nothing was sent.
    BadInput = 2,
    // The port is missing, busy, not a serial port or not permitted, went away or took no bytes
    // during the upload.
    PortError = 3,
    // Ctrl+C, SIGTERM or SIGHUP during the upload, the port closed: the exit code adds the signal's
    // number, as a shell tells a program that the signal ended (130, 143, 129).
    Stopped = 128,
};

// The exit code when the QX-7M was programmed (or the dry run done) but the result could not be
// written to standard output: a script must not read success from nothing.
inline constexpr int kResultNotWritten = 4;

struct UploadReceipt {
    Outcome outcome = Outcome::BadInput;
    // The device the port answer named, or the answer itself when it named none.
    QString port;
    int bytesSent = 0;
    int bytesAcknowledged = 0;
    qint64 elapsedMs = 0;
    // The byte the box did not answer as awaited, or during which the port went away or the run
    // was stopped.
    std::optional<device::UploadStop> stop;
    platform::StopRequest stoppedBy = platform::StopRequest::None;
    // What was wrong with the input, or the port's error with its number, in words.
    QString problem;
    // What the file holds that the window would show otherwise, said before the upload.
    QStringList warnings;
};

inline int exitCode(const UploadReceipt& receipt)
{
    return int(receipt.outcome) + (receipt.outcome == Outcome::Stopped ? int(receipt.stoppedBy) : 0);
}

} // namespace cli
