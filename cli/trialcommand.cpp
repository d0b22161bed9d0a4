#include "trialcommand.h"

#include "trialrun.h"
#include "trialsetup.h"

using namespace Qt::StringLiterals;

namespace cli {

TrialReceipt tryString(const Arguments& arguments, const config::StoredConfiguration& stored,
    platform::SerialPort& serialPort, const platform::Clock& clock,
    const std::function<platform::StopRequest()>& interrupted, const LinePrinter& print)
{
    const TrialSetup setup = setUpTrial(stored, *arguments.trySlot);
    if (!setup.refusal.isEmpty())
        return trialRefusal(arguments.port, arguments.file + u": "_s + setup.refusal);
    for (const QString& warning : setup.warnings)
        print(false, u"qx7m-upload: warning: "_s + arguments.file + u": "_s + warning);
    if (arguments.dryRun) {
        for (const QString& line : trialStepLines(setup, arguments.listenMs, arguments.skipWaits))
            print(true, line);
        TrialReceipt receipt;
        receipt.outcome = TrialOutcome::Sent;
        return receipt;
    }
    TrialReceipt receipt
        = runTrial(setup, arguments.port, { arguments.listenMs, arguments.skipWaits }, serialPort, clock, interrupted);
    receipt.warnings = setup.warnings;
    return receipt;
}

} // namespace cli
