// The port question at start-up: which serial port the QX-7M will be programmed through.
#pragma once

#include "portdevicechoice.h"
#include "portdevicename.h"

#include "config/configuration.h"
#include "platform/prompts.h"
#include "platform/serialport.h"

#include <QStringList>

namespace device {

struct PortQuestion {
    platform::Prompts& prompts;
    platform::SerialPort& port;
    PortDeviceChoice& deviceChoice;
    // In the field when the question opens, each time it is asked: "1", or what the command line gave.
    QString initialAnswer;
    // The ports this computer has, offered above the field (portChoiceItems).
    QStringList choices;
};

enum class PortAnswer {
    // commPort holds the answer, whose device opened; start-up goes on.
    Given,
    // commPort holds the answer, whose device failed in a way that asking again would not mend;
    // the failure was reported, and start-up goes on with it.
    Failed,
    // The user gave no answer: the program ends at once, with nothing more shown.
    Empty,
};

// Asks, keeps the answer exactly as given in commPort, and tries its device once: opened and
// closed again. A port that another program holds, that this user may not use, or that is no
// serial port at all, is reported and asked about again, as often as it happens. Any other failure is reported and
// start-up goes on with the answer, which the first upload will report the same way.
[[nodiscard]] PortAnswer askForPort(const PortQuestion& question, config::Configuration& configuration);

} // namespace device
