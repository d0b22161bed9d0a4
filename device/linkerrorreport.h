// How a failure of the serial port is told to the user.
#pragma once

#include "platform/error.h"
#include "platform/prompts.h"

namespace device {

enum class LinkErrorReport {
    PortNotAvailable,
    OtherError,
};

// A port that another program holds or that did not open gets one plain box, since its number
// means nothing to an installer; any other error gets its number and its description. Shows and
// returns; closing the port or asking again is the caller's.
[[nodiscard]] LinkErrorReport reportLinkError(platform::Prompts& prompts, const platform::Error& error);

// The same report in one line, for a window that tells it in its own status line: the plain words
// for a port that is held or did not open, "Error 8010: ..." for any other error.
[[nodiscard]] QString linkErrorLine(const platform::Error& error);

} // namespace device
