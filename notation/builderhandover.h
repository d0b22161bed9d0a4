// What the string builder hands to the main window when the user presses Done.
#pragma once

#include "config/slotid.h"

#include <QByteArray>

#include <array>

namespace notation {

// Alive for the whole run and shared by the main window and the builder window. The builder
// collects the bytes of its composition in BuiltBytes; a BuilderPending flag names the slot it
// was opened for, so that the next store-back of that slot takes the bytes over. No flag
// outlives the builder window: Done takes it, any other way of closing clears them all.
struct BuilderHandOver {
    QByteArray BuiltBytes;
    std::array<bool, config::kSlotCount> BuilderPending {};

    bool isPending(config::SlotId id) const { return BuilderPending[config::indexOf(id)]; }
    void clearAllPending() { BuilderPending.fill(false); }
};

} // namespace notation
