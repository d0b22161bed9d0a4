// The command line of qx7m-upload.
#pragma once

#include <QString>
#include <QStringList>

namespace cli {

struct Arguments {
    QString file;
    // As the window's port question takes it: a number or a device path.
    QString port;
    bool json = false;
    bool dryRun = false;
    // Why the command line cannot be used; empty when it can.
    QString refusal;
};

// Reads the program's arguments (its own name first). --help and --version print and end the
// program with exit code 0.
Arguments readArguments(const QStringList& arguments);

} // namespace cli
