// How long the device waits, with no video input active, before it sends the "No Input Active" string.
#pragma once

#include <QString>

namespace config {

// The numbers are what the upload sends; the delay fields keep them. The texts only refill the
// delay fields when the main window is built again after a file was read or New reset them.
struct NoInputDelay {
    // What a number holds after the user typed an entry that its field refused.
    static constexpr qint16 kRejectedEntry = 255;

    qint16 hours = 0;
    qint16 minutes = 0;
    qint16 seconds = 0;
    QString hoursText;
    QString minutesText;
    QString secondsText;

    friend bool operator==(const NoInputDelay&, const NoInputDelay&) = default;
};

} // namespace config
