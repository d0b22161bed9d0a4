// qx7m-upload: programs a QX-7M from a .qxc file without the window, and says what happened.
#include "arguments.h"
#include "jsonreceipt.h"
#include "progressline.h"
#include "resultline.h"
#include "trialcommand.h"
#include "uploadplan.h"
#include "uploadrun.h"
#include "wireimage.h"

#include "config/configurationfile.h"
#include "platform/clock.h"
#include "platform/interruption.h"
#include "platform/nativename.h"
#include "platform/programidentity.h"
#include "platform/qtserialport.h"
#include "platform/standardstreams.h"
#include "platform/terminal.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

// A port or file name goes out with its control characters escaped: it must not move the cursor
// or recolour the terminal.
void writeLine(bool toOutput, const QString& line)
{
    const QString text = platform::escapedForTerminal(line) + u'\n';
    // A failed write to standard output is told once, at the end, by finish().
    static_cast<void>(toOutput ? platform::writeTextToStandardOutput(text) : platform::writeTextToStandardError(text));
}

cli::UploadReceipt badInput(const QString& port, const QString& problem)
{
    cli::UploadReceipt receipt;
    receipt.outcome = cli::Outcome::BadInput;
    receipt.port = port;
    receipt.problem = problem;
    return receipt;
}

// A script reads the JSON on standard output; a person reads a success there and a failure
// among the errors.
int report(const cli::UploadReceipt& receipt, bool json)
{
    if (json)
        static_cast<void>(platform::writeToStandardOutput(cli::jsonReceipt(receipt)));
    else
        writeLine(receipt.outcome == cli::Outcome::Programmed, cli::resultLine(receipt));
    return cli::exitCode(receipt);
}

int reportTrial(const cli::TrialReceipt& receipt, bool json)
{
    if (json)
        static_cast<void>(platform::writeToStandardOutput(cli::trialJsonReceipt(receipt)));
    else
        writeLine(receipt.outcome == cli::TrialOutcome::Sent, cli::trialResultLine(receipt));
    return cli::exitCode(receipt);
}

// Told in the shape of the run that was asked for, so that a script reads one shape of JSON.
int refuse(const cli::Arguments& arguments, const QString& problem)
{
    if (arguments.trying)
        return reportTrial(cli::trialRefusal(arguments.port, problem), arguments.json);
    return report(badInput(arguments.port, problem), arguments.json);
}

int tryString(const cli::Arguments& arguments, const config::StoredConfiguration& stored)
{
    // A stop request in a wait or the listening time ends the trial with the port closed and the
    // trial told.
    platform::catchStopRequests();
    platform::QtSerialPort serialPort(platform::WaitStyle::Blocking);
    const platform::SystemClock clock;
    const cli::TrialReceipt receipt
        = cli::tryString(arguments, stored, serialPort, clock, platform::stopRequest, writeLine);
    if (arguments.dryRun && receipt.outcome == cli::TrialOutcome::Sent)
        return int(receipt.outcome);
    return reportTrial(receipt, arguments.json);
}

// A script must not read success from a result that never reached it. A failure's own code says
// more than the lost result would, and stays.
int finish(int exitCode)
{
    const QString failure = platform::standardOutputFailure();
    if (failure.isEmpty())
        return exitCode;
    writeLine(false, u"qx7m-upload: the result could not be written to standard output: "_s + failure);
    return exitCode == int(cli::Outcome::Programmed) ? cli::kResultNotWritten : exitCode;
}

int run(const cli::Arguments& arguments)
{
    if (!arguments.refusal.isEmpty())
        return refuse(arguments, arguments.refusal);
    if (!arguments.helpOrVersion.isEmpty()) {
        static_cast<void>(platform::writeToStandardOutput(arguments.helpOrVersion.toLocal8Bit()));
        return 0;
    }

    const platform::Result<config::StoredConfiguration> stored = config::readConfiguration(arguments.file);
    if (!stored) {
        return refuse(arguments,
            u"cannot read %1: error %2, %3"_s.arg(
                arguments.file, QString::number(stored.error().number()), stored.error().description()));
    }
    if (arguments.trying)
        return tryString(arguments, stored.value());
    const cli::UploadPlan plan = cli::planUpload(stored.value());
    if (!plan.refusal.isEmpty())
        return report(badInput(arguments.port, arguments.file + u": "_s + plan.refusal), arguments.json);
    for (const QString& warning : plan.warnings)
        writeLine(false, u"qx7m-upload: warning: "_s + arguments.file + u": "_s + warning);

    if (arguments.dryRun) {
        for (const QString& line : cli::wireImageLines(plan.configuration, plan.delay))
            writeLine(true, line);
        return int(cli::Outcome::Programmed);
    }
    // A stop request ends the upload with the port closed and the byte under way told.
    platform::catchStopRequests();
    platform::QtSerialPort serialPort(platform::WaitStyle::Blocking);
    const platform::SystemClock clock;
    cli::ProgressLine progress(platform::standardErrorIsTerminal());
    cli::UploadReceipt receipt
        = cli::runUpload(plan, arguments.port, serialPort, clock, progress, platform::stopRequest);
    receipt.warnings = plan.warnings;
    return report(receipt, arguments.json);
}

} // namespace

int main(int argc, char* argv[])
{
    platform::ignoreBrokenPipes();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"qx7m-upload"_s);
    QCoreApplication::setApplicationVersion(QString(platform::kProgramVersion));
    // The file is opened by the bytes it was given, which need not be text.
    return finish(run(cli::readArguments(platform::programArguments(argc, argv))));
}
