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

// One of the four above: an option button stands for it.
constexpr bool hasOption(ScanPriority priority) { return quint8(priority) <= quint8(ScanPriority::SVideo); }

// Owned by the application for the whole run; windows are views of it and may be rebuilt around
// it. Holds no window and touches no file: the file format and the commands do that.
struct Configuration {
    std::array<StringSlot, kSlotCount> slots;
    ScanPriority scanPriority = ScanPriority::None;
    QString baudRateText;
    quint8 baudRateHigh = 0;
    quint8 baudRateLow = 0;
    NoInputDelay delay;
    QString configPath;
    QString configFileName;
    bool fileLoaded = false;
    QString commPort;

    StringSlot& slot(SlotId id) { return slots[indexOf(id)]; }
    const StringSlot& slot(SlotId id) const { return slots[indexOf(id)]; }

    // Takes the baud list's text: one of the five rates sets the text and both bytes; anything
    // else changes none of them. Returns whether the text was a rate.
    bool commitBaudRate(QStringView listText);

    // What New does to the record: empty slots, no scan priority, "9600", and the delay fields'
    // hints as the delay texts. The baud bytes wait for the next commitBaudRate.
    void resetToDefaults();

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

} // namespace config
