// The numbers of every error the program raises, and their plain descriptions.
#pragma once

#include <QString>

namespace platform {

// One table for the whole program, so that a number the user reads in "Error Number: "
// always means the same thing. The values are fixed: support staff learn them.
enum class ErrorCode : int {
    Overflow = 6,
    CountNotANumber = 13,
    FileNotFound = 53,
    FileCannotBeRead = 57,
    FileEndsEarly = 62,
    CountDoesNotFit = 63,
    FileCannotBeCreated = 75,
    // Load shows this one as its "Not Valid File" message, not as an error report.
    FileSizeNotValid = 321,
    // The serial port's own numbers for a port that another program holds or that did not open.
    PortAlreadyOpen = 8005,
    PortNotOpen = 8012,
};

QString describe(ErrorCode code);

} // namespace platform
