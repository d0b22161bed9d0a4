// Sends a planned upload to the box on the port the user named.
#pragma once

#include "progressline.h"
#include "uploadplan.h"
#include "uploadreceipt.h"

#include "platform/clock.h"
#include "platform/interruption.h"
#include "platform/serialport.h"

#include <QString>

#include <functional>

namespace cli {

// Finds the device the port answer names, opens it on the port, runs the upload and closes the
// port by every way out. Blocks until the box has answered every byte, one wait has timed out, or
// stopRequested() names a request, which it asks at least every 100 ms. Shows the progress and
// nothing else: the receipt says how it went.
UploadReceipt runUpload(const UploadPlan& plan, const QString& portAnswer, platform::SerialPort& serialPort,
    const platform::Clock& clock, ProgressLine& progress, const std::function<platform::StopRequest()>& stopRequested);

} // namespace cli
