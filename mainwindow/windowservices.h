// What the main window and its commands are given by the application.
#pragma once

#include "config/configuration.h"
#include "device/portdevicechoice.h"
#include "device/portselection.h"
#include "notation/builderhandover.h"
#include "platform/clock.h"
#include "platform/programend.h"
#include "platform/prompts.h"
#include "platform/serialport.h"

namespace mainwindow {

// All owned by the application and alive for the whole run: the record, the boxes, the ports and
// clock, and the end of the program, each behind its own interface.
struct WindowServices {
    config::Configuration& configuration;
    notation::BuilderHandOver& handOver;
    platform::Prompts& prompts;
    platform::SerialPort& port;
    // The device the port answer named when start-up tried it; every upload goes there.
    device::PortDeviceChoice& portDevice;
    const platform::Clock& clock;
    platform::ProgramEnd& programEnd;
    // The ports this computer has now, as the port question offers them.
    QStringList (*portChoices)();
    // A trial's own port to the projector, and the answer that names it.
    platform::SerialPort& projectorSerialPort;
    device::ProjectorPort& projectorPort;
};

} // namespace mainwindow
