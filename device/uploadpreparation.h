// What an upload sends for a record and the texts of its delay fields and baud rate, worked out
// before the port is touched. The window passes what its fields show, the command line what the
// file holds; both send the same bytes because neither works it out on its own.
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
    // The first slot, in the file's order, whose byteCount is above 30. When set, nothing else was
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
    // The rate sent: the baud text's, or 9600 for a text that is none of the five rates, which is
    // what the baud list shows for it.
    config::ProjectorBaudRate baudRate {};
};

// delayTexts are the delay fields' texts, or a file's: a hint, an empty field and a text the field
// would refuse all count as "0". baudRateText is the baud list's text, or a file's.
UploadPreparation prepareUpload(
    const config::Configuration& configuration, const config::DelayFieldTexts& delayTexts, QStringView baudRateText);

// What the box would hold after an upload so prepared, as one byte string: equal for two uploads
// that program the box alike.
QByteArray programmedContent(const config::Configuration& configuration, const UploadPreparation& preparation);

} // namespace device
