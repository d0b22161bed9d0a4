// Reading and writing a configuration on disk.
#pragma once

#include "configuration.h"
#include "storedconfiguration.h"

#include "platform/result.h"

#include <QString>

#include <optional>

namespace config {

// A file outside these sizes is refused before it is opened.
inline constexpr qint64 kSmallestConfigurationFileSize = 100;
inline constexpr qint64 kLargestConfigurationFileSize = 6000;

// What the three delay fields show at the moment of writing; the file keeps these, not the numbers.
struct DelayFieldTexts {
    QString hours;
    QString minutes;
    QString seconds;
};

// The file that writeConfiguration would write: the record's slots, priority and baud text with
// these delay texts.
StoredConfiguration storedForm(const Configuration& configuration, const DelayFieldTexts& delayFieldTexts);

// Writes the record's slots, priority and baud text with these delay texts to configPath,
// replacing the file whole or not at all. On success configFileName becomes the file's name;
// on failure nothing changes, neither the file nor the record. A file that would be larger than
// Load accepts is not written.
[[nodiscard]] std::optional<platform::Error> writeConfiguration(
    Configuration& configuration, const DelayFieldTexts& delayFieldTexts);

// Everything the file at path holds, or an error and nothing: FileSizeNotValid for a size outside
// 100 to 6000 bytes, checked before the file is opened.
platform::Result<StoredConfiguration> readConfiguration(const QString& path);

// Puts what a file holds into the record: the slots, the scan priority, the baud text and the
// delay texts. The baud bytes wait for the next commitBaudRate; path and name are the caller's.
void takeStoredConfiguration(Configuration& configuration, const StoredConfiguration& stored);

} // namespace config
