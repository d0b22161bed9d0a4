// What qx7m-upload sends for a configuration file, worked out before any port is opened.
#pragma once

#include "config/configuration.h"
#include "config/storedconfiguration.h"
#include "device/delaybytes.h"

#include <QString>
#include <QStringList>

namespace cli {

struct UploadPlan {
    // The file's record with the baud bytes committed, as the upload reads it.
    config::Configuration configuration;
    device::DelayBytes delay;
    // Said before the upload goes on: a scan priority or a baud text in the file that no control of
    // the window stands for.
    QStringList warnings;
    // Why nothing may be sent: a string longer than the device takes, or a delay text out of its
    // field's range. Empty when the upload may go ahead.
    QString refusal;
};

// The bytes the window sends after Edit Existing on this file and then Save and Upload, through
// the same preparation, except that a delay text the window would refuse on opening the file is
// refused here instead of being sent as 0.
UploadPlan planUpload(const config::StoredConfiguration& stored);

// Said when the file's baud text is none of the five rates and rateSent goes out instead; empty
// when the file's text is sent.
QString baudRateWarning(const QString& baudRateText, QLatin1StringView rateSent);

} // namespace cli
