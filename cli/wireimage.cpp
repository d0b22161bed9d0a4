#include "wireimage.h"

#include "config/slotid.h"
#include "device/seriallink.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

QString spacedHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

} // namespace

QStringList wireImageLines(const config::Configuration& configuration, device::DelayBytes delay)
{
    QByteArray settings;
    settings.append(char(configuration.baudRateHigh));
    settings.append(char(configuration.baudRateLow));
    settings.append(char(configuration.scanPriority));
    settings.append(char(delay.high));
    settings.append(char(delay.low));
    QStringList lines { u"handshake: "_s + spacedHex(QByteArray(2, char(device::kSyn))),
        u"settings: "_s + spacedHex(settings) };
    for (const config::SlotId id : config::kRecordOrder) {
        const QByteArray& bytes = configuration.slot(id).commandBytes;
        lines.append(config::displayName(id) + u": "_s + spacedHex(char(bytes.size()) + bytes));
    }
    return lines;
}

} // namespace cli
