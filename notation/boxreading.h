// How the box reads a command string when its event comes: sends the bytes, waits where an escape says so.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace notation {

// The byte that begins every escape; the one after it that makes the escape one 0x1B byte; the
// largest first byte of a wait's seconds, so that the two never meet.
inline constexpr quint8 kEscapeByte = 0x1B;
inline constexpr quint8 kOneEscapeByte = 0xFF;
inline constexpr quint8 kLongestWaitHighByte = 0xEF;

// One thing the box does, in order.
struct BoxStep {
    enum class Kind { Send, Wait };

    Kind kind = Kind::Send;
    // The command bytes the step is read from.
    qsizetype from = 0;
    qsizetype length = 0;
    // Send: what reaches the projector.
    QByteArray sent;
    // Wait: how long, 256 times the escape's first byte plus its second.
    int waitSeconds = 0;
};

struct BoxReading {
    // Up to the escape the box cannot read, when there is one.
    QList<BoxStep> steps;
    // Where the 0x1B of an escape the box cannot read is: followed by 0xF0 to 0xFE, or cut off by
    // the end of the string.
    std::optional<qsizetype> unreadableEscapeAt;
};

// The box reads 0x1B 0xFF as one 0x1B byte and 0x1B H L (H at most 0xEF) as a wait of 256 H + L
// seconds; every other byte is sent as it is. A 0x1B that the user typed is not escaped, so the
// bytes after it are read this way too.
[[nodiscard]] BoxReading readAsTheBox(QByteArrayView commandBytes);

} // namespace notation
