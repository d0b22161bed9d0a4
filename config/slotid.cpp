#include "slotid.h"

using namespace Qt::StringLiterals;

namespace config {

namespace {

struct SlotNames {
    QLatin1StringView displayName;
    QLatin1StringView caption;
};

// Indexed by SlotId.
constexpr std::array<SlotNames, kSlotCount> kNames { {
    { "Discrete ON"_L1, "Discrete Input ON String"_L1 },
    { "Discrete OFF"_L1, "Discrete Input OFF String"_L1 },
    { "Video First Detected"_L1, "Video First Detected String"_L1 },
    { "VGA Input Active"_L1, "VGA Input Active String"_L1 },
    { "Composite Input Active"_L1, "Composite Input Active String"_L1 },
    { "S-Video Input Active"_L1, "S-Video Input Active String"_L1 },
    { "No Input Active"_L1, "No Active Inputs String"_L1 },
} };

} // namespace

QString displayName(SlotId id) { return kNames[indexOf(id)].displayName; }

QString selStringLabelCaption(SlotId id) { return kNames[indexOf(id)].caption; }

std::optional<SlotId> slotIdFromDisplayName(QStringView name)
{
    for (SlotId id : kRecordOrder) {
        if (name == kNames[indexOf(id)].displayName)
            return id;
    }
    return std::nullopt;
}

} // namespace config
