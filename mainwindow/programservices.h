// The real parts behind the windows, as the program runs them.
#pragma once

#include "startup.h"
#include "windowservices.h"

#include "platform/dialogprompts.h"
#include "platform/qtserialport.h"
#include "platform/serialportlist.h"

namespace mainwindow {

// The record, the real dialogs, serial port and clock, and the end of the process, all alive for
// the whole run. Tests build their own WindowServices with a scripted user instead.
struct ProgramServices {
    config::Configuration configuration;
    notation::BuilderHandOver handOver;
    platform::DialogPrompts prompts;
    platform::QtSerialPort commControl { platform::WaitStyle::KeepWindowsPainting };
    device::PortDeviceChoice portDevice;
    platform::SystemClock clock;
    platform::ProcessEnd programEnd;

    WindowServices services()
    {
        return { configuration, handOver, prompts, commControl, portDevice, clock, programEnd };
    }
};

// Start-up as the command line asks for it, offering the ports this computer has now.
inline StartOptions startOptionsOnThisComputer(const QString& initialPortAnswer, const QString& givenFile)
{
    return { initialPortAnswer,
        device::portChoiceItems(device::portNamingOfThisSystem(), platform::listedSerialPorts()), givenFile };
}

} // namespace mainwindow
