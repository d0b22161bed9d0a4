// One completed upload as the QX-7M received it.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace tools {

// The device stores its seven command strings in this order, which is also the order they travel in.
inline constexpr int kStringCount = 7;

// Every byte of one upload in both directions, and the settings and strings they carried.
struct Upload {
    QByteArray received;
    QByteArray answered;
    quint8 baudRateHigh = 0;
    quint8 baudRateLow = 0;
    quint8 scanPriority = 0;
    quint8 delayHigh = 0;
    quint8 delayLow = 0;
    std::array<QByteArray, kStringCount> strings;
    // How the PC had set up its end of the line, as "9600 8N1, raw, no flow control".
    QString lineSettings;

    int baudRate() const { return baudRateHigh * 256 + baudRateLow; }
    int delaySeconds() const { return delayHigh * 256 + delayLow; }
};

} // namespace tools
