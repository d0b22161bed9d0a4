// The part of the main window that shows the selected slot, as the commands that fill a slot see it.
#pragma once

#include "config/slotid.h"

#include <QString>

#include <optional>

namespace mainwindow {

class SlotView {
public:
    virtual ~SlotView() = default;
    // The slot the slot list names; none before the window is first filled.
    virtual std::optional<config::SlotId> selectedSlot() const = 0;
    // Sets the slot's text field; its change stores the text back into the selected slot.
    virtual void showSlotText(const QString& text) = 0;
    virtual void showSlotLength(int length) = 0;
    // Selects the slot in the slot list and shows it.
    virtual void selectSlot(config::SlotId id) = 0;
};

} // namespace mainwindow
