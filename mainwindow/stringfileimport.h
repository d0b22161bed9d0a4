// "Select File": a string file's bytes become the selected slot's command string.
#pragma once

#include "slotview.h"

#include "config/configuration.h"
#include "platform/prompts.h"

namespace mainwindow {

// Asks for a .str file and takes its bytes, unchanged, into the selected slot, with the file's
// name as the slot's text. A cancelled dialog, or a file that is missing, unreadable or empty,
// leaves the slot exactly as it was. A file of 31 to 255 bytes is taken but refused with a
// message, and the slot's text asks for another file, so that the upload refuses the slot until
// one is chosen; a longer one is refused and not taken, since its length has no count byte.
void importStringFile(platform::Prompts& prompts, config::Configuration& configuration, SlotView& view);

} // namespace mainwindow
