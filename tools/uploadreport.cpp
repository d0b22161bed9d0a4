#include "uploadreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

using namespace Qt::StringLiterals;

namespace tools {

namespace {

constexpr QLatin1StringView kStringNames[kStringCount] = {
    "Discrete ON"_L1,
    "Discrete OFF"_L1,
    "Video First Detected"_L1,
    "VGA Input Active"_L1,
    "Composite Input Active"_L1,
    "S-Video Input Active"_L1,
    "No Input Active"_L1,
};

QString scanPriorityName(int priority)
{
    switch (priority) {
    case 0:
        return u"None"_s;
    case 1:
        return u"VGA"_s;
    case 2:
        return u"Composite"_s;
    case 3:
        return u"S-Video"_s;
    }
    return u"not a priority the device knows"_s;
}

QString spacedHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

// A 16-bit setting as the device received it, high byte first.
QString spacedHex(quint8 high, quint8 low)
{
    const char bytes[] = { char(high), char(low) };
    return spacedHex(QByteArray(bytes, 2));
}

QString plainHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

} // namespace

QByteArray humanReport(const Upload& upload)
{
    const int delay = upload.delaySeconds();
    QString text = u"Upload complete: %1 bytes received, %2 bytes answered\n"_s.arg(
        QString::number(upload.received.size()), QString::number(upload.answered.size()));
    text += u"  PC's line settings: %1\n"_s.arg(upload.lineSettings);
    text += u"  Projector baud rate: %1 (%2)\n"_s.arg(
        QString::number(upload.baudRate()), spacedHex(upload.baudRateHigh, upload.baudRateLow));
    text += u"  Scan priority: %1 (%2)\n"_s.arg(
        QString::number(upload.scanPriority), scanPriorityName(upload.scanPriority));
    text += u"  No Input Active delay: %1 s = %2 h %3 min %4 s (%5)\n"_s.arg(QString::number(delay),
        QString::number(delay / 3600), QString::number(delay / 60 % 60), QString::number(delay % 60),
        spacedHex(upload.delayHigh, upload.delayLow));
    for (int index = 0; index < kStringCount; ++index) {
        const QByteArray& bytes = upload.strings[index];
        text += u"  %1: %2 bytes"_s.arg(kStringNames[index], QString::number(bytes.size()));
        text += bytes.isEmpty() ? u"\n"_s : u": %1\n"_s.arg(spacedHex(bytes));
    }
    return text.toUtf8();
}

QByteArray jsonReport(const Upload& upload)
{
    QJsonArray strings;
    for (const QByteArray& bytes : upload.strings)
        strings.append(plainHex(bytes));
    const QJsonObject report {
        { u"received"_s, plainHex(upload.received) },
        { u"answered"_s, plainHex(upload.answered) },
        { u"line"_s, upload.lineSettings },
        { u"baud_rate_high"_s, upload.baudRateHigh },
        { u"baud_rate_low"_s, upload.baudRateLow },
        { u"baud_rate"_s, upload.baudRate() },
        { u"scan_priority"_s, upload.scanPriority },
        { u"delay_seconds"_s, upload.delaySeconds() },
        { u"strings"_s, strings },
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray humanHangUpReport(int afterByte)
{
    return u"Hung up the line after byte %1 of the upload\n"_s.arg(afterByte).toUtf8();
}

QByteArray jsonHangUpReport(int afterByte)
{
    const QJsonObject report { { u"event"_s, u"hang-up"_s }, { u"after"_s, afterByte } };
    return QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace tools
