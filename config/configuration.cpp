#include "configuration.h"

#include "projectorbaudrate.h"

using namespace Qt::StringLiterals;

namespace config {

bool Configuration::commit_baud_rate(QStringView list_text)
{
    const std::optional<ProjectorBaudRate> rate = projectorBaudRateFromText(list_text);
    if (!rate)
        return false;
    baud_rate_text = rate->text;
    baud_rate_high = rate->high;
    baud_rate_low = rate->low;
    return true;
}

void Configuration::reset_to_defaults()
{
    slots.fill(StringSlot {});
    scan_priority = ScanPriority::None;
    baud_rate_text = u"9600"_s;
    delay.hours_text = u"0-16"_s;
    delay.minutes_text = u"0-59"_s;
    delay.seconds_text = u"0-59"_s;
}

} // namespace config
