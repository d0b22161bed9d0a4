#include "projectorbaudrate.h"

namespace config {

std::optional<ProjectorBaudRate> projectorBaudRateFromText(QStringView text)
{
    for (const ProjectorBaudRate& rate : kProjectorBaudRates) {
        if (text == rate.text)
            return rate;
    }
    return std::nullopt;
}

} // namespace config
