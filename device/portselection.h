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

// The port a projector trial goes to, asked with a question of its own and kept for the whole run:
// the projector has its own link, beside the box's.
struct ProjectorPort {
    // In the question's field when it opens: --projector-port's answer, then the user's last one;
    // the box's port answer while there is neither.
    QString answer;
    // The user answered during this run: a trial goes there without asking.
    bool answered = false;
    // Which device the answer names, fixed as the box's is until the question is answered again.
    PortDeviceChoice deviceChoice;
};

// Asks which port the projector is on, with the same list and answers as the box's question and
// the box's port offered too, since installers often move one adapter from the box to the
// projector. Keeps the answer as given; Cancel, or no answer, changes nothing and returns false.
// Nothing is opened here: the trial opens the port and tells its failure.
[[nodiscard]] bool askForProjectorPort(
    platform::Prompts& prompts, ProjectorPort& projectorPort, QStringList choices, const QString& boxPortAnswer);

} // namespace device
