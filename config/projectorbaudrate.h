// The baud rates at which the QX-7M can talk to a projector.
#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include <array>
#include <optional>

namespace config {

// A rate as the baud list shows it, and the rate as a 16-bit number, high byte first, as the
// device receives it.
struct ProjectorBaudRate {
    QLatin1StringView text;
    quint8 high;
    quint8 low;
};

// In the order of the baud list.
inline constexpr std::array<ProjectorBaudRate, 5> kProjectorBaudRates { {
    { QLatin1StringView("2400"), 0x09, 0x60 },
    { QLatin1StringView("4800"), 0x12, 0xC0 },
    { QLatin1StringView("9600"), 0x25, 0x80 },
    { QLatin1StringView("19200"), 0x4B, 0x00 },
    { QLatin1StringView("57600"), 0xE1, 0x00 },
} };

// The rate whose text is exactly this one; none for any other text.
[[nodiscard]] std::optional<ProjectorBaudRate> projectorBaudRateFromText(QStringView text);

// What the baud list shows for a record's baud text: the text when it is one of the five rates,
// else "9600". The record keeps its own text until the list's is next committed.
QLatin1StringView baudListTextFor(QStringView baudRateText);

} // namespace config
