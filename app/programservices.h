// The real parts behind the windows, as the program runs them.
#pragma once

#include "mainwindow/startup.h"
#include "mainwindow/windowservices.h"

#include "platform/dialogprompts.h"
#include "platform/qtserialport.h"

namespace app {

// The ports this computer has now, as the port question offers them.
QStringList portChoicesOnThisComputer();

// The record, the real dialogs, serial ports and clock, and the end of the process, all alive for
// the whole run.
struct ProgramServices {
    config::Configuration configuration;
    notation::BuilderHandOver handOver;
    platform::DialogPrompts prompts;
    platform::QtSerialPort port { platform::WaitStyle::KeepWindowsPainting };
    device::PortDeviceChoice portDevice;
    platform::SystemClock clock;
    platform::ProcessEnd programEnd;
    platform::QtSerialPort projectorSerialPort { platform::WaitStyle::KeepWindowsPainting };
    device::ProjectorPort projectorPort;

    mainwindow::WindowServices services()
    {
        return { configuration, handOver, prompts, port, portDevice, clock, programEnd, portChoicesOnThisComputer,
            projectorSerialPort, projectorPort };
    }
};

// Start-up as the command line asks for it, offering the ports this computer has now; with no port
// given, the question opens on the first USB serial adapter.
mainwindow::StartOptions startOptionsOnThisComputer(const QString& initialPortAnswer, const QString& givenFile);

} // namespace app
