// The .qxc file's bytes, to and from the value they hold.
#pragma once

#include "storedconfiguration.h"

#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>

namespace config {

// A file of 38 lines ending in CR LF, every field a length line (" 12") and the value. Texts go
// one character to one byte (Latin-1); a character that has no byte there is written as "?".
// Refused with CountDoesNotFit when a slot holds more than 255 bytes, which no file can carry,
// and with Overflow for a scan priority above 9, which has no digit.
platform::Result<QByteArray> encodeConfigurationFile(const StoredConfiguration& stored);

// Reads every value by its length, so that a slot's bytes may hold CR, LF and NUL. Either the
// whole file reads or the result is an error: nothing half-read ever comes out.
platform::Result<StoredConfiguration> decodeConfigurationFile(QByteArrayView bytes);

} // namespace config
