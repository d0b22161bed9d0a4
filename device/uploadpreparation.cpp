#include "uploadpreparation.h"

#include "config/delayfield.h"

using namespace Qt::StringLiterals;

namespace device {

namespace {

QLatin1StringView lengthMessageSubject(config::SlotId id)
{
    using config::SlotId;
    switch (id) {
    case SlotId::CompositeInputActive:
        return QLatin1StringView("Composite Input Active String");
    case SlotId::SVideoInputActive:
        return QLatin1StringView("S-Video Input String");
    case SlotId::VgaInputActive:
        return QLatin1StringView("VGA Input String");
    case SlotId::NoInputActive:
        return QLatin1StringView("Default File");
    case SlotId::DiscreteOn:
        return QLatin1StringView("Discrete Input ON String");
    case SlotId::DiscreteOff:
        return QLatin1StringView("Discrete Input OFF String");
    case SlotId::VideoFirstDetected:
        return QLatin1StringView("Video First Detected String");
    }
    return {};
}

// An empty field counts as "0", as it would once the focus left it; a hint counts as "0" too.
// Either way the field then shows "0".
QString textSent(const QString& shown, const config::DelayFieldKind& kind)
{
    const QString text = config::delayFieldTextAfterSetting(shown, kind);
    return text.isEmpty() ? u"0"_s : text;
}

} // namespace

QString uploadLengthMessage(config::SlotId id, int length)
{
    return u"The length of the "_s + lengthMessageSubject(id)
        + u" must be at least 1 character and no more than 30 characters. The file you have selected is  "_s
        + QString::number(length) + u" characters long. Please select a different file."_s;
}

UploadPreparation prepareUpload(const config::Configuration& configuration,
    const config::DelayFieldTexts& shownDelayTexts, QStringView baudListText)
{
    UploadPreparation preparation;
    for (const config::SlotId id : kLengthCheckOrder) {
        if (configuration.slot(id).byte_count > config::kLongestCommandString) {
            preparation.refusedSlot = id;
            return preparation;
        }
    }
    preparation.delayTexts = { textSent(shownDelayTexts.hours, config::kHoursField),
        textSent(shownDelayTexts.minutes, config::kMinutesField),
        textSent(shownDelayTexts.seconds, config::kSecondsField) };
    preparation.hours = config::readDelayEntry(preparation.delayTexts.hours, config::kHoursField).value;
    preparation.minutes = config::readDelayEntry(preparation.delayTexts.minutes, config::kMinutesField).value;
    // Seconds shown as "0" go out as 1 whatever the hours and minutes are, as every upload has
    // always sent them: 0 h 1 min 0 s is 61 seconds on the device.
    preparation.seconds = preparation.delayTexts.seconds == u"0"_s
        ? qint16(1)
        : config::readDelayEntry(preparation.delayTexts.seconds, config::kSecondsField).value;
    config::NoInputDelay delay;
    delay.hours = preparation.hours;
    delay.minutes = preparation.minutes;
    delay.seconds = preparation.seconds;
    preparation.delay = delayBytes(delay);
    preparation.baudRate = config::projectorBaudRateFromText(baudListText);
    return preparation;
}

} // namespace device
