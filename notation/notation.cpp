#include "notation.h"

#include "boxreading.h"

using namespace Qt::StringLiterals;

namespace notation {

namespace {

QByteArray escapedByte(quint8 value)
{
    QByteArray bytes(1, char(value));
    // Every 0x1B that is not a wait is followed by 0xFF, so that the box never reads it as one.
    if (value == kEscapeByte)
        bytes.append(char(kOneEscapeByte));
    return bytes;
}

QString quotedCode(QStringView code) { return QString(u" '"_s).append(code).append(u"' "_s); }

} // namespace

// The blanks are part of each item as the list has always shown it.
const std::array<QLatin1StringView, 32> kControlCharacterItems {
    QLatin1StringView("NULL - H00"),
    QLatin1StringView("SOH  - H01"),
    QLatin1StringView("STX   - H02"),
    QLatin1StringView("ETX   - H03"),
    QLatin1StringView("EOT  - H04"),
    QLatin1StringView("ENQ  - H05"),
    QLatin1StringView("ACK  - H06"),
    QLatin1StringView("BEL   - H07"),
    QLatin1StringView("BS     - H08"),
    QLatin1StringView("HT     - H09"),
    QLatin1StringView("LF      - H0A"),
    QLatin1StringView("VT      - H0B"),
    QLatin1StringView("FF      - H0C"),
    QLatin1StringView("CR     - H0D"),
    QLatin1StringView("SO     - H0E"),
    QLatin1StringView("SI      - H0F"),
    QLatin1StringView("DLE    - H10"),
    QLatin1StringView("DC1   - H11"),
    QLatin1StringView("DC2   - H12"),
    QLatin1StringView("DC3   - H13"),
    QLatin1StringView("DC4   - H14"),
    QLatin1StringView("NAK   - H15"),
    QLatin1StringView("SYN   - H16"),
    QLatin1StringView("ETB   - H17"),
    QLatin1StringView("CAN  - H18"),
    QLatin1StringView("EM    - H19"),
    QLatin1StringView("SUB   - H1A"),
    QLatin1StringView("ESC   - H1B"),
    QLatin1StringView("FS     - H1C"),
    QLatin1StringView("GS     - H1D"),
    QLatin1StringView("RS     - H1E"),
    QLatin1StringView("US     - H1F"),
};

std::optional<quint8> controlCharacterCode(QStringView name)
{
    // Each item's place in the list is its code.
    for (std::size_t code = 0; code < kControlCharacterItems.size(); ++code) {
        const QLatin1StringView item = kControlCharacterItems[code];
        if (item.first(item.indexOf(u' ')) == name)
            return quint8(code);
    }
    return std::nullopt;
}

std::optional<Token> typedCharacterToken(char32_t character)
{
    if (character > 0xFF)
        return std::nullopt;
    return Token { QString(QChar(character)), QByteArray(1, char(character)) };
}

Token hexByteToken(QStringView digits)
{
    return { quotedCode(QString(u"&h"_s).append(digits)), escapedByte(quint8(digits.toUInt(nullptr, 16))) };
}

Token controlCharacterToken(QStringView name)
{
    return { quotedCode(name), escapedByte(controlCharacterCode(name).value()) };
}

std::optional<Token> waitToken(int hours, int minutes, int seconds)
{
    // Up to 61199 seconds, beyond a signed 16-bit number.
    const qint32 total = 3600 * hours + 60 * minutes + seconds;
    if (total == 0)
        return std::nullopt;
    QByteArray bytes(1, char(kEscapeByte));
    bytes.append(char(total / 256)).append(char(total % 256));
    return Token { u" 'Wait "_s + numberAfterBlank(hours) + u" hrs. "_s + numberAfterBlank(minutes) + u" min. "_s
            + numberAfterBlank(seconds) + u" sec. '"_s,
        bytes };
}

QString numberAfterBlank(int number) { return u' ' + QString::number(number); }

QString hexPairs(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

} // namespace notation
