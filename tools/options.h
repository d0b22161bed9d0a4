// The emulator's command line.
#pragma once

#include "simulateddevice.h"

#include <QByteArray>
#include <QStringList>

#include <chrono>

namespace tools {

// How this run of the emulator behaves.
struct Options {
    bool once = false;
    bool json = false;
    Faults faults;
    std::chrono::milliseconds answerDelay { 0 };
    // 0: no wire time is charged.
    int wireBaud = 0;
    // 0: the device never pulls the cable.
    int hangUpAfter = 0;
    // --projector: a projector instead of the box, answering each line that ends in a carriage return.
    bool projector = false;
    QByteArray reply = QByteArrayLiteral("OK\r");
};

// Reads the arguments; --help prints the usage and exits with code 0, anything it cannot use is explained on
// stderr and exits with code 2.
Options readCommandLine(const QStringList& arguments);

} // namespace tools
