#include "delayfield.h"

#include "platform/numbertext.h"

namespace config {

DelayEntry readDelayEntry(QStringView text, const DelayFieldKind& kind)
{
    if (text.isEmpty() || text == kind.placeholder)
        return {};
    if (!platform::isNumericText(text))
        return { DelayEntryKind::Refused, 0 };
    const std::optional<int> value = platform::wholeNumberWithin(platform::leadingNumberValue(text), 0, kind.largest);
    if (!value)
        return { DelayEntryKind::Refused, 0 };
    return { DelayEntryKind::Valid, static_cast<qint16>(*value) };
}

QString delayFieldTextAfterSetting(const QString& text, const DelayFieldKind& kind)
{
    return readDelayEntry(text, kind).kind == DelayEntryKind::Valid ? text : QString();
}

} // namespace config
