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

QLatin1StringView baudListTextFor(QStringView baudRateText)
{
    const std::optional<ProjectorBaudRate> rate = projectorBaudRateFromText(baudRateText);
    return rate ? rate->text : QLatin1StringView("9600");
}

} // namespace config
