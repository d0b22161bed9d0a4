// The bytes of an upload as --dry-run shows them.
#pragma once

#include "config/configuration.h"
#include "device/delaybytes.h"

#include <QStringList>

namespace cli {

// Upper-case hex pairs, one group a line, in the order they go out: "handshake: 16 16",
// "settings: " and the baud rate's two bytes, the scan priority and the delay's two bytes, then
// one line a string, its name, its count byte and its bytes ("Discrete ON: 00"). The device's
// answers are not shown.
QStringList wireImageLines(const config::Configuration& configuration, device::DelayBytes delay);

} // namespace cli
