// What the string builder hands to the main window when the user presses Done.
#pragma once

#include "config/slotid.h"

#include <QByteArray>

#include <array>

namespace notation {

// Alive for the whole run and shared by the main window and the builder window. The builder
// collects the bytes of its composition in builtBytes; a builderPending flag names the slot it
// was opened for, so that the next store-back of that slot takes the bytes over. No flag
// outlives the builder window: Done takes it, any other way of closing clears them all.
struct BuilderHandOver {
    QByteArray builtBytes;
    std::array<bool, config::kSlotCount> builderPending {};

    bool isPending(config::SlotId id) const { return builderPending[config::indexOf(id)]; }
    void clearAllPending() { builderPending.fill(false); }
};

} // namespace notation
