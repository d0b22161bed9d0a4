// Which slot the answer to --try names.
#pragma once

#include "config/slotid.h"

#include <QString>

#include <optional>

namespace cli {

// The slot's name exactly as the window's list shows it ("VGA Input Active"), or its number in
// that list, 1 to 7; none for any other answer.
[[nodiscard]] std::optional<config::SlotId> slotForAnswer(const QString& answer);

} // namespace cli
