// qx7m-upload --try once its file is read: the slot's string to the projector, or its steps.
#pragma once

#include "arguments.h"
#include "trialreceipt.h"

#include "config/storedconfiguration.h"
#include "platform/clock.h"
#include "platform/interruption.h"
#include "platform/serialport.h"

#include <QString>

#include <functional>

namespace cli {

// Says a line: on standard output when toOutput, else among the errors.
using LinePrinter = std::function<void(bool toOutput, const QString& line)>;

// Sets the trial up from the file, says its warnings before any wait, then prints the steps (for
// --dry-run, which opens no port and ends Sent) or runs the trial on the port. The receipt is told
// by the caller, except after a dry run.
TrialReceipt tryString(const Arguments& arguments, const config::StoredConfiguration& stored,
    platform::SerialPort& serialPort, const platform::Clock& clock,
    const std::function<platform::StopRequest()>& interrupted, const LinePrinter& print);

} // namespace cli
