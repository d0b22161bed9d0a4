// One command string of the device, in the two forms the program keeps it.
#pragma once

#include <QByteArray>
#include <QString>

namespace config {

// The longest command string the device takes; the builder, the import and the upload keep to it.
inline constexpr int kLongestCommandString = 30;

// The most bytes one count byte can announce: no file, string file or upload carries more.
inline constexpr int kLargestCountedString = 255;

// command_bytes are what the device sends to the projector, byte for byte; source_text is how the
// user composed them, for reading only. byte_count normally equals the size of command_bytes; a
// string-file import may leave them disagreeing, which the upload's length check must see.
struct StringSlot {
    QByteArray command_bytes;
    QString source_text;
    quint8 byte_count = 0;

    friend bool operator==(const StringSlot&, const StringSlot&) = default;
};

} // namespace config
