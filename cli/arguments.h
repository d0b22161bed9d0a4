// The command line of qx7m-upload.
#pragma once

#include "config/slotid.h"
#include "device/projectortrial.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

struct Arguments {
    QString file;
    // As the window's port question takes it: a number or a device path.
    QString port;
    bool json = false;
    bool dryRun = false;
    // --try: one slot's string goes straight to the projector on the port instead of the upload.
    bool trying = false;
    std::optional<config::SlotId> trySlot;
    qint64 listenMs = device::kDefaultListenMs;
    bool skipWaits = false;
    // Why the command line cannot be used; empty when it can.
    QString refusal;
    // What --help or --version asks to print instead of any run; empty otherwise.
    QString helpOrVersion;
};

// Reads the program's arguments (its own name first).
Arguments readArguments(const QStringList& arguments);

} // namespace cli
