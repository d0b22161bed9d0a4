#include "configurationfile.h"

#include "configurationfileformat.h"

#include "platform/filestore.h"

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace config {

StoredConfiguration storedForm(const Configuration& configuration, const DelayFieldTexts& delayFieldTexts)
{
    StoredConfiguration stored;
    stored.slots = configuration.slots;
    stored.scanPriority = configuration.scanPriority;
    stored.baudRateText = configuration.baudRateText;
    stored.hoursText = delayFieldTexts.hours;
    stored.minutesText = delayFieldTexts.minutes;
    stored.secondsText = delayFieldTexts.seconds;
    return stored;
}

std::optional<Error> writeConfiguration(Configuration& configuration, const DelayFieldTexts& delayFieldTexts)
{
    const platform::Result<QByteArray> bytes = encodeConfigurationFile(storedForm(configuration, delayFieldTexts));
    if (!bytes)
        return bytes.error();
    // Long texts could make a file that Load then refuses; better to say so now than to lose it.
    if (bytes.value().size() > kLargestConfigurationFileSize)
        return Error(
            ErrorCode::FileSizeNotValid, u"the texts would make the file %1 bytes long"_s.arg(bytes.value().size()));
    if (std::optional<Error> error = platform::replaceFile(configuration.configPath, bytes.value()))
        return error;
    configuration.configFileName = platform::lastPathComponent(configuration.configPath);
    return std::nullopt;
}

platform::Result<StoredConfiguration> readConfiguration(const QString& path)
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
    configuration.scanPriority = stored.scanPriority;
    configuration.baudRateText = stored.baudRateText;
    configuration.delay.hoursText = stored.hoursText;
    configuration.delay.minutesText = stored.minutesText;
    configuration.delay.secondsText = stored.secondsText;
}

} // namespace config
