// Everything "Save and Upload" works out before it touches the port, from the record and what
// the window shows; the window and the command line both use it, so they send the same bytes.
#pragma once

#include "delaybytes.h"

#include "config/configuration.h"
#include "config/configurationfile.h"
#include "config/projectorbaudrate.h"
#include "platform/result.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace device {

struct UploadPreparation {
    // The first slot, in the file's order, whose byte_count is above 30. When set, nothing else was
    // worked out and nothing may be saved or sent.
    std::optional<config::SlotId> refusedSlot;
    // What the delay fields show once a hint or an empty field became "0"; the file keeps these.
    config::DelayFieldTexts delayTexts;
    // The numbers sent: a field showing a number holds that number, a hint stands for 0, and
    // seconds showing "0" are sent as 1.
    qint16 hours = 0;
    qint16 minutes = 0;
    qint16 seconds = 0;
    platform::Result<DelayBytes> delay = DelayBytes {};
    // The baud list's rate; none when its text is not a rate, and the record's bytes then stay.
    std::optional<config::ProjectorBaudRate> baudRate;
};

// shownDelayTexts are the delay fields' texts as the window shows them (after their change rule:
// no refused entry); baudListText is the baud list's text.
UploadPreparation prepareUpload(const config::Configuration& configuration,
    const config::DelayFieldTexts& shownDelayTexts, QStringView baudListText);

} // namespace device
