// The seven events of the QX-7M, each with the command string the device sends for it.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace config {

// The slot's place in the record, which is also the order in which the device receives them.
enum class SlotId : quint8 {
    DiscreteOn = 0,
    DiscreteOff = 1,
    VideoFirstDetected = 2,
    VgaInputActive = 3,
    CompositeInputActive = 4,
    SVideoInputActive = 5,
    NoInputActive = 6,
};

inline constexpr int kSlotCount = 7;

inline constexpr std::array<SlotId, kSlotCount> kRecordOrder {
    SlotId::DiscreteOn,
    SlotId::DiscreteOff,
    SlotId::VideoFirstDetected,
    SlotId::VgaInputActive,
    SlotId::CompositeInputActive,
    SlotId::SVideoInputActive,
    SlotId::NoInputActive,
};

// The order in which a .qxc file stores the slots (files in the field rely on it), and in which
// an upload checks their lengths.
inline constexpr std::array<SlotId, kSlotCount> kFileOrder {
    SlotId::CompositeInputActive,
    SlotId::SVideoInputActive,
    SlotId::VgaInputActive,
    SlotId::NoInputActive,
    SlotId::DiscreteOn,
    SlotId::DiscreteOff,
    SlotId::VideoFirstDetected,
};

// The order of the main window's slot list, which installers know and number from 1 ("1" is
// VGA Input Active); neither the record's nor the file's.
inline constexpr std::array<SlotId, kSlotCount> kListOrder {
    SlotId::VgaInputActive,
    SlotId::SVideoInputActive,
    SlotId::CompositeInputActive,
    SlotId::NoInputActive,
    SlotId::DiscreteOn,
    SlotId::DiscreteOff,
    SlotId::VideoFirstDetected,
};

constexpr int indexOf(SlotId id) { return static_cast<int>(id); }

// The slot's item in the main window's slot list, e.g. "Discrete ON".
QString displayName(SlotId id);

// What the main window's label shows above the slot's text, e.g. "Discrete Input ON String".
QString selStringLabelCaption(SlotId id);

// The slot whose display name is exactly this text; none for any other text.
[[nodiscard]] std::optional<SlotId> slotIdFromDisplayName(QStringView name);

} // namespace config
