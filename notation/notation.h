// The two forms of a command string, composed token by token: the text the user reads and the bytes the device sends.
#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace notation {

// What one token appends: its rendering to the source text and its bytes to the command bytes,
// always together and in that order.
struct Token {
    QString text;
    QByteArray bytes;
};

// The builder's list of control characters, in the order the list shows them; a name is the
// item's text up to its first blank.
extern const std::array<QLatin1StringView, 32> kControlCharacterItems;

// The code of a control character's name ("ESC" gives 0x1B); none for any other text.
[[nodiscard]] std::optional<quint8> controlCharacterCode(QStringView name);

// A typed character adds its own single-byte code. A character without one (a euro sign, an
// emoji) has no byte the projector could be sent, so it gives no token.
[[nodiscard]] std::optional<Token> typedCharacterToken(char32_t character);

// One or two hex digits, upper case, rendered as entered: "5" gives " '&h5' " and 0x05.
Token hexByteToken(QStringView digits);

// One of the list's names: "CR" gives " 'CR' " and 0x0D.
Token controlCharacterToken(QStringView name);

// A wait of h hours, m minutes and s seconds (0-16, 0-59, 0-59); none when it lasts no time.
[[nodiscard]] std::optional<Token> waitToken(int hours, int minutes, int seconds);

// A number as the builder shows counts and waits: a blank, then its digits (" 30").
QString numberAfterBlank(int number);

// The bytes in upper-case hex pairs separated by blanks ("50 57 52 0D"), for the user to check.
QString hexPairs(const QByteArray& bytes);

} // namespace notation
