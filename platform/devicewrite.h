// Writing bytes straight to an opened device.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

namespace platform {

enum class DeviceWrite {
    Written,
    // The device took none of the rest within the time: output stopped by the other end, a stuck line.
    NotTaken,
    // The device went away: an adapter pulled out.
    Gone,
    // A stop request came while the device was not taking the bytes.
    Stopped,
};

// Writes every byte to the opened device behind handle, waiting up to timeoutMs for it to take
// them. A signal that is no stop request does not end the wait. Where the system offers no such
// handle, returns nothing: the caller writes through the port instead.
std::optional<DeviceWrite> writeToDevice(qintptr handle, QByteArrayView bytes, int timeoutMs);

} // namespace platform
