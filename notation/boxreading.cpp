#include "boxreading.h"

namespace notation {

BoxReading readAsTheBox(QByteArrayView commandBytes)
{
    BoxReading reading;
    const qsizetype size = commandBytes.size();
    qsizetype at = 0;
    while (at < size) {
        if (quint8(commandBytes[at]) != kEscapeByte) {
            const qsizetype escape = commandBytes.indexOf(char(kEscapeByte), at);
            const qsizetype end = escape < 0 ? size : escape;
            reading.steps.append(
                { BoxStep::Kind::Send, at, end - at, commandBytes.sliced(at, end - at).toByteArray() });
            at = end;
            continue;
        }
        const std::optional<quint8> next = at + 1 < size ? std::optional(quint8(commandBytes[at + 1])) : std::nullopt;
        if (next == kOneEscapeByte) {
            reading.steps.append({ BoxStep::Kind::Send, at, 2, QByteArray(1, char(kEscapeByte)) });
            at += 2;
        } else if (next && *next <= kLongestWaitHighByte && at + 2 < size) {
            reading.steps.append({ BoxStep::Kind::Wait, at, 3, {}, 256 * *next + quint8(commandBytes[at + 2]) });
            at += 3;
        } else {
            reading.unreadableEscapeAt = at;
            break;
        }
    }
    return reading;
}

} // namespace notation
