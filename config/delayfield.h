// The rules of the three fields that hold the "No Input Active" delay.
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>

namespace config {

// One delay field: its hint, which stands for a field not yet filled in, the largest number it
// takes, and the message and title of a refused entry.
struct DelayFieldKind {
    QLatin1StringView placeholder;
    qint16 largest;
    QLatin1StringView message;
    QLatin1StringView title;
};

inline constexpr DelayFieldKind kHoursField { QLatin1StringView("0-16"), 16,
    QLatin1StringView("You must enter a number of hours between 0 and 16."), QLatin1StringView("Hours Wrong") };
inline constexpr DelayFieldKind kMinutesField { QLatin1StringView("0-59"), 59,
    QLatin1StringView("You must enter a number of minutes between 0 and 59."), QLatin1StringView("Minutes Wrong") };
inline constexpr DelayFieldKind kSecondsField { QLatin1StringView("0-59"), 59,
    QLatin1StringView("You must enter a number of seconds between 0 and 59."), QLatin1StringView("Seconds Wrong") };

// What a field left empty shows: leaving it makes it "0", and its number 0.
inline constexpr QLatin1StringView kLeftEmptyFieldText("0");

// What a field's text is worth once the field has taken it.
enum class DelayEntryKind {
    // Empty, or the hint: the field shows nothing and its number is left as it was.
    Nothing,
    Valid,
    // Not one number, or outside 0 to largest once rounded: the field's message, then 255.
    Refused,
};

struct DelayEntry {
    DelayEntryKind kind = DelayEntryKind::Nothing;
    // The number, rounded half to even, when the entry is valid.
    qint16 value = 0;
};

// Reads a field's text: "2.5" is 2, "16.5" is 16 and "-0.4" is 0 in the hours field; "16.6",
// "abc", "-" and "." are refused, and so is any number too large for the field, however large.
DelayEntry readDelayEntry(QStringView text, const DelayFieldKind& kind);

// The box a refused entry brings up; the field that refused it shows it.
struct DelayRefusal {
    QLatin1StringView message;
    QLatin1StringView title;
};

// A field's change rule up to what the field does with its text: a valid entry's number goes
// into value; a refused one leaves 255 there and returns the field's message and title.
[[nodiscard]] std::optional<DelayRefusal> takeDelayEntry(QStringView text, const DelayFieldKind& kind, qint16& value);

// What the field shows after the program put this text into it: the hint and a refused entry
// leave it empty, anything else stays as given. A window rebuilt from a file shows exactly this.
QString delayFieldTextAfterSetting(const QString& text, const DelayFieldKind& kind);

} // namespace config
