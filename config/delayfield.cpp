#include "delayfield.h"

#include "noinputdelay.h"

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

std::optional<DelayRefusal> takeDelayEntry(QStringView text, const DelayFieldKind& kind, qint16& value)
{
    const DelayEntry entry = readDelayEntry(text, kind);
    if (entry.kind == DelayEntryKind::Valid)
        value = entry.value;
    if (entry.kind != DelayEntryKind::Refused)
        return std::nullopt;
    value = NoInputDelay::kRejectedEntry;
    return DelayRefusal { kind.message, kind.title };
}

QString delayFieldTextAfterSetting(const QString& text, const DelayFieldKind& kind)
{
    return readDelayEntry(text, kind).kind == DelayEntryKind::Valid ? text : QString();
}

} // namespace config
