// The QX-7M Programmer: wires the real dialogs, serial port and clock into the start-up.
#include "programarguments.h"
#include "programicon.h"

#include "app/programservices.h"
#include "mainwindow/startup.h"
#include "platform/display.h"
#include "platform/programidentity.h"

#include <QApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(u"qx7m-programmer"_s);
    QCoreApplication::setApplicationVersion(QString(platform::kProgramVersion));
    if (asksForHelpOrVersion(rawArguments(argc, argv))) {
        const QCoreApplication terminalOnly(argc, argv);
        return printHelpOrVersion(QCoreApplication::arguments());
    }
    if (const QString reason = platform::missingDisplayReason(); !reason.isEmpty()) {
        std::fprintf(stderr, "qx7m-programmer: %s\n", qPrintable(reason));
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setWindowIcon(programIcon());
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QString(platform::kApplicationId));
    const ProgramArguments arguments = readProgramArguments(QCoreApplication::arguments());
    if (!arguments.refusal.isEmpty()) {
        std::fprintf(stderr, "qx7m-programmer: %s (see qx7m-programmer --help)\n", qPrintable(arguments.refusal));
        return 2;
    }
    // The program ends when the user closes the main window or the start dialog, not when the
    // port question, the last window on screen for a moment, closes.
    QApplication::setQuitOnLastWindowClosed(false);

    app::ProgramServices program;
    program.projectorPort.answer = arguments.projectorPort;
    mainwindow::StartUp startUp(program.services());
    QObject::connect(&startUp, &mainwindow::StartUp::finished, &application, &QApplication::quit);
    startUp.begin(app::startOptionsOnThisComputer(arguments.port, arguments.file));
    return QApplication::exec();
}
