#include "configuration.h"

#include "projectorbaudrate.h"

using namespace Qt::StringLiterals;

namespace config {

bool Configuration::commitBaudRate(QStringView listText)
{
    const std::optional<ProjectorBaudRate> rate = projectorBaudRateFromText(listText);
    if (!rate)
        return false;
    baudRateText = rate->text;
    baudRateHigh = rate->high;
    baudRateLow = rate->low;
    return true;
}

void Configuration::resetToDefaults()
{
    slots.fill(StringSlot {});
    scanPriority = ScanPriority::None;
    baudRateText = u"9600"_s;
    delay.hoursText = u"0-16"_s;
    delay.minutesText = u"0-59"_s;
    delay.secondsText = u"0-59"_s;
}

} // namespace config
