// Writing bytes straight to an opened device.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

namespace platform {

// Writes every byte to the opened device behind handle, waiting up to timeoutMs for it to take
// them; false when it did not (the device went away, or the line is stuck). Where the system
// offers no such handle, returns nothing: the caller writes through the port instead.
std::optional<bool> writeToDevice(qintptr handle, QByteArrayView bytes, int timeoutMs);

} // namespace platform
