#include "configurationfile.h"

#include "configurationfileformat.h"

#include "platform/filestore.h"

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace config {

std::optional<Error> write_configuration(Configuration& configuration, const DelayFieldTexts& delayFieldTexts)
{
    StoredConfiguration stored;
    stored.slots = configuration.slots;
    stored.scan_priority = configuration.scan_priority;
    stored.baud_rate_text = configuration.baud_rate_text;
    stored.hours_text = delayFieldTexts.hours;
    stored.minutes_text = delayFieldTexts.minutes;
    stored.seconds_text = delayFieldTexts.seconds;

    const platform::Result<QByteArray> bytes = encodeConfigurationFile(stored);
    if (!bytes)
        return bytes.error();
    // Long texts could make a file that Load then refuses; better to say so now than to lose it.
    if (bytes.value().size() > kLargestConfigurationFileSize)
        return Error(
            ErrorCode::FileSizeNotValid, u"the texts would make the file %1 bytes long"_s.arg(bytes.value().size()));
    if (std::optional<Error> error = platform::replaceFile(configuration.config_path, bytes.value()))
        return error;
    configuration.config_file_name = platform::lastPathComponent(configuration.config_path);
    return std::nullopt;
}

platform::Result<StoredConfiguration> read_configuration(const QString& path)
{
    const platform::Result<qint64> size = platform::fileSize(path);
    if (!size)
        return size.error();
    if (size.value() < kSmallestConfigurationFileSize || size.value() > kLargestConfigurationFileSize)
        return Error(ErrorCode::FileSizeNotValid);

    const platform::Result<QByteArray> bytes = platform::readWholeFile(path, kLargestConfigurationFileSize);
    if (!bytes)
        return bytes.error();
    return decodeConfigurationFile(bytes.value());
}

void takeStoredConfiguration(Configuration& configuration, const StoredConfiguration& stored)
{
    configuration.slots = stored.slots;
    configuration.scan_priority = stored.scan_priority;
    configuration.baud_rate_text = stored.baud_rate_text;
    configuration.delay.hours_text = stored.hours_text;
    configuration.delay.minutes_text = stored.minutes_text;
    configuration.delay.seconds_text = stored.seconds_text;
}

} // namespace config
