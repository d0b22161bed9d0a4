// The program's one error type: a number the user can quote and a description.
#pragma once

#include "errorcode.h"

#include <QString>

namespace platform {

// Raised by the platform layer and the file and port logic; caught and shown by the command
// that runs. Never shown by whoever raises it.
class Error {
public:
    explicit Error(ErrorCode code);
    // detail names what failed (a path, the system's reason) after the table's description.
    Error(ErrorCode code, const QString& detail);
    // An error told in words of its own, for a cause that the table's description would hide:
    // "Too many levels of symbolic links: NAME" rather than "The file cannot be read".
    static Error described(ErrorCode code, const QString& description);

    ErrorCode code() const { return m_code; }
    int number() const { return static_cast<int>(m_code); }
    const QString& description() const { return m_description; }

    // The two boxes of an error report: "Error Number:  62", then "error msg: ...".
    QString numberMessage() const;
    QString descriptionMessage() const;

    friend bool operator==(const Error&, const Error&) = default;

private:
    ErrorCode m_code;
    QString m_description;
};

} // namespace platform
