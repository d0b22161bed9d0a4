// Everything a .qxc file holds, as one value.
#pragma once

#include "configuration.h"
#include "slotid.h"
#include "stringslot.h"

#include <QString>

#include <array>

namespace config {

// What one configuration file says, before anything is applied to the record or the window.
// The delay texts are those the delay fields showed when the file was written.
struct StoredConfiguration {
    std::array<StringSlot, kSlotCount> slots;
    ScanPriority scanPriority = ScanPriority::None;
    QString baudRateText;
    QString hoursText;
    QString minutesText;
    QString secondsText;

    friend bool operator==(const StoredConfiguration&, const StoredConfiguration&) = default;
};

} // namespace config
