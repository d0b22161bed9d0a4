#include "uploadpreparation.h"

#include "config/delayfield.h"

using namespace Qt::StringLiterals;

namespace device {

namespace {

// An empty field counts as "0", as it would once the focus left it; a hint counts as "0" too.
// Either way the field then shows "0".
QString textSent(const QString& shown, const config::DelayFieldKind& kind)
{
    const QString text = config::delayFieldTextAfterSetting(shown, kind);
    return text.isEmpty() ? u"0"_s : text;
}

} // namespace

UploadPreparation prepareUpload(
    const config::Configuration& configuration, const config::DelayFieldTexts& delayTexts, QStringView baudRateText)
{
    UploadPreparation preparation;
    for (const config::SlotId id : config::kFileOrder) {
        if (configuration.slot(id).byteCount > config::kLongestCommandString) {
            preparation.refusedSlot = id;
            return preparation;
        }
    }
    preparation.delayTexts = { textSent(delayTexts.hours, config::kHoursField),
        textSent(delayTexts.minutes, config::kMinutesField), textSent(delayTexts.seconds, config::kSecondsField) };
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
    preparation.baudRate = *config::projectorBaudRateFromText(QString(config::baudListTextFor(baudRateText)));
    return preparation;
}

QByteArray programmedContent(const config::Configuration& configuration, const UploadPreparation& preparation)
{
    QByteArray content;
    content.append(char(preparation.baudRate.high)).append(char(preparation.baudRate.low));
    content.append(char(configuration.scanPriority));
    if (preparation.delay)
        content.append(char(preparation.delay.value().high)).append(char(preparation.delay.value().low));
    for (const config::StringSlot& slot : configuration.slots)
        content.append(char(slot.commandBytes.size())).append(slot.commandBytes);
    return content;
}

} // namespace device
