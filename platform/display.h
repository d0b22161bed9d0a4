// Whether the windowed program can show its windows here.
#pragma once

#include <QString>

namespace platform {

// Empty when the program can reach a display (or a Qt platform was named for it); otherwise one
// plain sentence to print instead of the toolkit's own failure, which names plug-ins, not causes.
QString missingDisplayReason();

} // namespace platform
