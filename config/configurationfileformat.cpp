#include "configurationfileformat.h"

#include "platform/numbertext.h"

#include <array>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace config {

namespace {

constexpr QByteArrayView kLineEnd = "\r\n";
constexpr int kLargestPriorityDigit = 9;

// The texts after the scan priority, in file order, with the name an error gives each.
const std::array<std::pair<QString, QString StoredConfiguration::*>, 4> kSettingTexts { {
    { u"baud rate"_s, &StoredConfiguration::baudRateText },
    { u"hours"_s, &StoredConfiguration::hoursText },
    { u"minutes"_s, &StoredConfiguration::minutesText },
    { u"seconds"_s, &StoredConfiguration::secondsText },
} };

void appendField(QByteArray& out, QByteArrayView value)
{
    // The blank stands where a minus sign would; the reader's skips count on it.
    out += ' ';
    out += QByteArray::number(value.size());
    out += kLineEnd;
    out += value;
    out += kLineEnd;
}

// Walks the file the way the device's configuration files have always been read: every value
// by its count, then three bytes skipped (the CR LF of its line and the blank of the next
// length line), then the rest of that line as the next count.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    void setField(const QString& field) { m_field = field; }

    QByteArrayView readLine()
    {
        requireAvailable(1);
        const qsizetype lineFeed = m_bytes.indexOf('\n', m_at);
        const qsizetype end = lineFeed < 0 ? m_bytes.size() : lineFeed;
        QByteArrayView line = m_bytes.sliced(m_at, end - m_at);
        if (line.endsWith('\r'))
            line.chop(1);
        m_at = lineFeed < 0 ? end : end + 1;
        return line;
    }

    QByteArrayView read(qsizetype count)
    {
        requireAvailable(count);
        const QByteArrayView taken = m_bytes.sliced(m_at, count);
        m_at += count;
        return taken;
    }

    void skip(qsizetype count) { read(count); }

    // A slot's length: it must fit the device's one count byte.
    int slotLength(QByteArrayView line, bool isFirstLine) const
    {
        const QString text = QString::fromLatin1(line);
        // The file's very first line has always been read leniently: no number there is 0.
        if (!isFirstLine)
            requireNumeric(text);
        return lengthWithin(text, kLargestCountedString);
    }

    int textLength(QByteArrayView line) const
    {
        const QString text = QString::fromLatin1(line);
        requireNumeric(text);
        return lengthWithin(text, std::numeric_limits<int>::max());
    }

    [[noreturn]] void fail(ErrorCode code) const { throw Error(code, u"at the "_s + m_field); }

private:
    void requireAvailable(qsizetype count) const
    {
        if (count > m_bytes.size() - m_at)
            fail(ErrorCode::FileEndsEarly);
    }

    void requireNumeric(const QString& text) const
    {
        if (!platform::isNumericText(text))
            fail(ErrorCode::CountNotANumber);
    }

    int lengthWithin(const QString& text, int largest) const
    {
        const std::optional<int> length = platform::wholeNumberWithin(platform::leadingNumberValue(text), 0, largest);
        if (!length)
            fail(ErrorCode::CountDoesNotFit);
        return *length;
    }

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    QString m_field;
};

QString readText(FieldReader& reader)
{
    const int length = reader.textLength(reader.readLine());
    return QString::fromLatin1(reader.read(length));
}

StoredConfiguration decode(FieldReader& reader)
{
    StoredConfiguration stored;
    bool isFirstLine = true;
    for (SlotId id : kFileOrder) {
        StringSlot& slot = stored.slots[indexOf(id)];
        reader.setField(displayName(id) + u" bytes"_s);
        const int length = reader.slotLength(reader.readLine(), isFirstLine);
        isFirstLine = false;
        slot.commandBytes = reader.read(length).toByteArray();
        slot.byteCount = static_cast<quint8>(length);
        reader.skip(3);
        reader.setField(displayName(id) + u" text"_s);
        slot.sourceText = readText(reader);
        reader.skip(3);
    }

    reader.setField(u"scan priority"_s);
    // The rest of the line " 1", its CR LF and the blank before the digit.
    reader.skip(4);
    const char digit = reader.read(1).front();
    stored.scanPriority = static_cast<ScanPriority>(digit >= '0' && digit <= '9' ? digit - '0' : 0);

    for (const auto& [name, text] : kSettingTexts) {
        reader.skip(3);
        reader.setField(name);
        stored.*text = readText(reader);
    }
    // Nothing after the seconds is read, not even their line end.
    return stored;
}

} // namespace

platform::Result<QByteArray> encodeConfigurationFile(const StoredConfiguration& stored)
{
    QByteArray out;
    for (SlotId id : kFileOrder) {
        const StringSlot& slot = stored.slots[indexOf(id)];
        if (slot.commandBytes.size() > kLargestCountedString)
            return Error(
                ErrorCode::CountDoesNotFit, u"the "_s + displayName(id) + u" string is longer than 255 bytes"_s);
        appendField(out, slot.commandBytes);
        appendField(out, slot.sourceText.toLatin1());
    }

    const int priority = static_cast<int>(stored.scanPriority);
    if (priority > kLargestPriorityDigit)
        return Error(ErrorCode::Overflow, u"scan priority"_s);
    // The length line says 1 although the digit is written like a number, with its blank: the
    // reader skips over both as fixed characters.
    out += " 1";
    out += kLineEnd;
    out += ' ';
    out += QByteArray::number(priority);
    out += kLineEnd;

    for (const auto& [name, text] : kSettingTexts)
        appendField(out, (stored.*text).toLatin1());
    return out;
}

platform::Result<StoredConfiguration> decodeConfigurationFile(QByteArrayView bytes)
{
    FieldReader reader(bytes);
    try {
        return decode(reader);
    } catch (const Error& error) {
        return error;
    }
}

} // namespace config
