// qx7m-upload: programs a QX-7M from a .qxc file without the window, and says what happened.
#include "arguments.h"
#include "jsonreceipt.h"
#include "progressline.h"
#include "resultline.h"
#include "uploadplan.h"
#include "uploadrun.h"
#include "wireimage.h"

#include "config/configurationfile.h"
#include "platform/nativename.h"
#include "platform/programidentity.h"
#include "platform/terminal.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void writeLine(std::FILE* stream, const QString& line) { std::fputs(qPrintable(line + u'\n'), stream); }

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
    if (json) {
        std::fputs(cli::jsonReceipt(receipt).constData(), stdout);
    } else {
        writeLine(receipt.outcome == cli::Outcome::Programmed ? stdout : stderr, cli::resultLine(receipt));
    }
    return int(receipt.outcome);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"qx7m-upload"_s);
    QCoreApplication::setApplicationVersion(QString(platform::kProgramVersion));

    // The file is opened by the bytes it was given, which need not be text.
    const cli::Arguments arguments = cli::readArguments(platform::programArguments(argc, argv));
    if (!arguments.refusal.isEmpty())
        return report(badInput(arguments.port, arguments.refusal), arguments.json);

    const platform::Result<config::StoredConfiguration> stored = config::readConfiguration(arguments.file);
    if (!stored) {
        return report(badInput(arguments.port,
                          u"cannot read %1: error %2, %3"_s.arg(arguments.file)
                              .arg(stored.error().number())
                              .arg(stored.error().description())),
            arguments.json);
    }
    const cli::UploadPlan plan = cli::planUpload(stored.value());
    if (!plan.refusal.isEmpty())
        return report(badInput(arguments.port, arguments.file + u": "_s + plan.refusal), arguments.json);
    if (!plan.warning.isEmpty())
        writeLine(stderr, u"qx7m-upload: warning: "_s + arguments.file + u": "_s + plan.warning);

    if (arguments.dryRun) {
        for (const QString& line : cli::wireImageLines(plan.configuration, plan.delay))
            writeLine(stdout, line);
        return int(cli::Outcome::Programmed);
    }
    cli::ProgressLine progress(platform::standardErrorIsTerminal());
    return report(cli::runUpload(plan, arguments.port, progress), arguments.json);
}
