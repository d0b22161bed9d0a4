// The QX-7M Programmer: wires the real dialogs, serial port and clock into the main window.
#include "mainwindow/main.h"
#include "platform/dialogprompts.h"
#include "platform/qtserialport.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString(platform::kApplicationTitle));

    config::Configuration configuration;
    strings::BuilderHandOver handOver;
    platform::DialogPrompts prompts;
    platform::QtSerialPort commControl(platform::WaitStyle::KeepWindowsPainting);
    platform::SystemClock clock;
    platform::ProcessEnd programEnd;
    const mainwindow::WindowServices services { configuration, handOver, prompts, commControl, clock, programEnd };

    mainwindow::Main window(services);
    window.show();
    window.fillFromRecord();
    return QApplication::exec();
}
