// What the main window and its commands are given by the application.
#pragma once

#include "config/configuration.h"
#include "device/portdevicename.h"
#include "platform/clock.h"
#include "platform/programend.h"
#include "platform/prompts.h"
#include "platform/serialport.h"
#include "notation/builderhandover.h"

namespace mainwindow {

// All owned by the application and alive for the whole run; tests pass scripted prompts, a
// recorder for the program's end and, where no time may pass, a fake port and clock.
struct WindowServices {
    config::Configuration& configuration;
    notation::BuilderHandOver& handOver;
    platform::Prompts& prompts;
    platform::SerialPort& port;
    // The device the port answer named when start-up tried it; every upload goes there.
    device::PortDeviceChoice& portDevice;
    const platform::Clock& clock;
    platform::ProgramEnd& programEnd;
};

} // namespace mainwindow
