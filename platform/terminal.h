// Whether a person is watching the program's output.
#pragma once

namespace platform {

// True when standard error is a terminal, false when it goes to a pipe or a file: a progress
// line redrawn in place helps a person and only clutters a script's log.
bool standardErrorIsTerminal();

} // namespace platform
