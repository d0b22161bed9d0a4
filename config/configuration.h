// The one record the program edits: what the QX-7M is to be programmed with, and the file it lives in.
#pragma once

#include "noinputdelay.h"
#include "slotid.h"
#include "stringslot.h"

#include <QString>
#include <QStringView>

#include <array>

namespace config {

// Which video input the device scans first. A file may hold a digit 4 to 9 here; it is kept as
// read, with no option button standing for it.
enum class ScanPriority : quint8 {
    None = 0,
    VGA = 1,
    Composite = 2,
    SVideo = 3,
};

// Owned by the application for the whole run; windows are views of it and may be rebuilt around
// it. Holds no window and touches no file: the file format and the commands do that.
struct Configuration {
    std::array<StringSlot, kSlotCount> slots;
    ScanPriority scan_priority = ScanPriority::None;
    QString baud_rate_text;
    quint8 baud_rate_high = 0;
    quint8 baud_rate_low = 0;
    NoInputDelay delay;
    QString config_path;
    QString config_file_name;
    bool file_loaded = false;
    QString comm_port;

    StringSlot& slot(SlotId id) { return slots[indexOf(id)]; }
    const StringSlot& slot(SlotId id) const { return slots[indexOf(id)]; }

    // Takes the baud list's text: one of the five rates sets the text and both bytes; anything
    // else changes none of them. Returns whether the text was a rate.
    bool commit_baud_rate(QStringView list_text);

    // What New does to the record: empty slots, no scan priority, "9600", and the delay fields'
    // hints as the delay texts. The baud bytes wait for the next commit_baud_rate.
    void reset_to_defaults();

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

} // namespace config
