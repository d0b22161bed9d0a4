// What qx7m-upload --try sends to the projector for a file's slot, worked out before any port is opened.
#pragma once

#include "config/slotid.h"
#include "config/storedconfiguration.h"
#include "notation/boxreading.h"
#include "platform/serialport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cli {

struct TrialSetup {
    QList<notation::BoxStep> steps;
    // The projector link's rate: the one an upload of the file would give the box.
    qint32 baudRate = platform::kBoxLinkBaudRate;
    // Said before the trial goes on: a baud text no rate of the window stands for, a string the box
    // would refuse.
    QStringList warnings;
    // Why nothing may be sent, with the slot's name; empty when the trial may go ahead.
    QString refusal;
};

// The slot's string as the box reads it, and the rate the box would talk to the projector at.
TrialSetup setUpTrial(const config::StoredConfiguration& stored, config::SlotId slot);

// The steps as --dry-run shows them, one a line: "projector link: 19200 baud, 8N1", "send: 50 57
// 52 0D", "wait: 2 s" (", skipped" with --skip-waits), "listen: 2 s".
QStringList trialStepLines(const TrialSetup& setup, qint64 listenMs, bool skipWaits);

} // namespace cli
