// Sends a slot's string to the projector on the port the user named, and listens for its answer.
#pragma once

#include "trialreceipt.h"
#include "trialsetup.h"

#include "platform/clock.h"
#include "platform/serialport.h"

#include <QString>

#include <functional>

namespace cli {

struct TrialChoices {
    qint64 listenMs = 0;
    bool skipWaits = false;
};

// Finds the device the port answer names, runs the trial on it in real time and closes the port
// by every way out. Blocks until the listening time is over, the port fails, or interrupted()
// turns true, which it asks at least every 120 ms. Shows nothing: the receipt says how it went.
TrialReceipt runTrial(const TrialSetup& setup, const QString& portAnswer, TrialChoices choices,
    platform::SerialPort& serialPort, const platform::Clock& clock, const std::function<bool()>& interrupted);

} // namespace cli
