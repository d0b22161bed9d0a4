// The numbers of every error the program raises, and their plain descriptions.
#pragma once

#include <QString>

namespace platform {

// One table for the whole program, so that a number the user reads in "Error Number: "
// always means the same thing. The values are fixed: support staff learn them.
enum class ErrorCode : int {
    CommandStringTooLong = 5,
    Overflow = 6,
    CountNotANumber = 13,
    FileNotFound = 53,
    FileCannotBeRead = 57,
    FileEndsEarly = 62,
    CountDoesNotFit = 63,
    // The serial device exists but this user may not read and write it.
    PermissionDenied = 70,
    FileCannotBeCreated = 75,
    // Load shows this one as its "Not Valid File" message, not as an error report.
    FileSizeNotValid = 321,
    // An answer to the port question that names no serial device of this computer.
    SerialPortNotFound = 8002,
    // The serial port's own numbers for a port that another program holds or that did not open.
    PortAlreadyOpen = 8005,
    // The device went away while the port was open: a USB adapter pulled out, a cable unplugged.
    SerialLinkLost = 8010,
    PortNotOpen = 8012,
    // The port answer names a file, a folder or a device that is no serial port (/dev/null).
    NotASerialPort = 8015,
    // The port is there but has not taken the bytes for 2 s: output stopped by the other end, a
    // stuck line. Not a pulled cable: the adapter is still plugged in.
    PortTookNoBytes = 8019,
};

QString describe(ErrorCode code);

} // namespace platform
