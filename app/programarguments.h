// The command line of qx7m-programmer.
#pragma once

#include <QString>
#include <QStringList>

// True when the command line asks for the help or the version: answered on the terminal, before
// anything needs a display.
bool asksForHelpOrVersion(const QStringList& arguments);

// Prints the help or the version and returns the exit code, 4 when the text could not be written.
// Needs an application object.
int printHelpOrVersion(const QStringList& arguments);

struct ProgramArguments {
    // The port question's initial answer as --port gave it; empty when it gave none.
    QString port;
    // The projector port question's initial answer as --projector-port gave it; empty when it gave none.
    QString projectorPort;
    // A configuration file to open at start-up; empty for none.
    QString file;
    // Why the command line cannot be used; empty when it can.
    QString refusal;
};

// Reads the arguments left once the toolkit took its own (-platform, -style, ...).
ProgramArguments readProgramArguments(const QStringList& arguments);
