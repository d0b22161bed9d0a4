#include "slotanswer.h"

namespace cli {

std::optional<config::SlotId> slotForAnswer(const QString& answer)
{
    bool isNumber = false;
    const int number = answer.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= config::kSlotCount ? std::optional(config::kListOrder[number - 1])
                                                           : std::nullopt;
    return config::slotIdFromDisplayName(answer);
}

} // namespace cli
