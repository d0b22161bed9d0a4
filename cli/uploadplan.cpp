#include "uploadplan.h"

#include "config/delayfield.h"
#include "config/slotid.h"
#include "device/uploadpreparation.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

// The window would show the field's box on opening the file and then send 0; a script has nobody
// to read that box, so the text is refused.
QString delayRefusal(const QString& text, const config::DelayFieldKind& kind, QLatin1StringView unit)
{
    if (config::readDelayEntry(text, kind).kind != config::DelayEntryKind::Refused)
        return {};
    return u"the \"No Input Active\" delay's %1 text \"%2\" is not a number from 0 to %3 (the window would show "
           "\"%4\" and send 0 %1)"_s.arg(unit, text, QString::number(kind.largest), kind.title);
}

} // namespace

UploadPlan planUpload(const config::StoredConfiguration& stored)
{
    UploadPlan plan;
    config::Configuration& configuration = plan.configuration;
    configuration.slots = stored.slots;
    configuration.scanPriority = stored.scanPriority;

    for (const QString& refusal : { delayRefusal(stored.hoursText, config::kHoursField, "hours"_L1),
             delayRefusal(stored.minutesText, config::kMinutesField, "minutes"_L1),
             delayRefusal(stored.secondsText, config::kSecondsField, "seconds"_L1) }) {
        if (!refusal.isEmpty()) {
            plan.refusal = refusal;
            return plan;
        }
    }

    const device::UploadPreparation preparation = device::prepareUpload(
        configuration, { stored.hoursText, stored.minutesText, stored.secondsText }, stored.baudRateText);
    if (preparation.refusedSlot) {
        const config::SlotId id = *preparation.refusedSlot;
        plan.refusal = u"the \"%1\" string is %2 bytes long; the QX-7M takes at most %3"_s.arg(config::displayName(id),
            QString::number(configuration.slot(id).byteCount), QString::number(config::kLongestCommandString));
        return plan;
    }
    if (!preparation.delay) {
        plan.refusal = preparation.delay.error().description();
        return plan;
    }
    plan.delay = preparation.delay.value();
    const QLatin1StringView rateSent = preparation.baudRate.text;
    configuration.commitBaudRate(QString(rateSent));
    if (!config::hasOption(stored.scanPriority)) {
        plan.warnings.append(u"the scan priority %1 is none of the four options; %1 is sent, as from the window"_s.arg(
            int(stored.scanPriority)));
    }
    if (const QString warning = baudRateWarning(stored.baudRateText, rateSent); !warning.isEmpty())
        plan.warnings.append(warning);
    return plan;
}

QString baudRateWarning(const QString& baudRateText, QLatin1StringView rateSent)
{
    if (rateSent == baudRateText)
        return {};
    return u"the projector baud rate \"%1\" is none of 2400, 4800, 9600, 19200 and 57600; %2 is sent, as from the "
           "window"_s.arg(baudRateText, rateSent);
}

} // namespace cli
