// One command string of the device, in the two forms the program keeps it.
#pragma once

#include <QByteArray>
#include <QString>

namespace config {

// The longest command string the device takes; the builder, the import and the upload keep to it.
inline constexpr int kLongestCommandString = 30;

// The most bytes one count byte can announce: no file, string file or upload carries more.
inline constexpr int kLargestCountedString = 255;

// commandBytes are what the device sends to the projector, byte for byte; sourceText is how the
// user composed them, for reading only. byteCount normally equals the size of commandBytes; a
// string-file import may leave them disagreeing, which the upload's length check must see.
struct StringSlot {
    QByteArray commandBytes;
    QString sourceText;
    quint8 byteCount = 0;

    friend bool operator==(const StringSlot&, const StringSlot&) = default;
};

} // namespace config
