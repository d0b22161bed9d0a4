#include "trialrun.h"

#include "device/portdevicename.h"
#include "device/projectortrial.h"
#include "platform/serialportlist.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

// The longest the program sleeps in one wait for bytes: Ctrl+C must end a wait of minutes at once.
constexpr qint64 kLongestWaitMs = 100;

// Once bytes come, the next ones are left to gather this long before the trial reads them: a
// projector at 9600 baud would otherwise wake the program once a byte, and one that floods the
// line would keep it spinning for the whole listening time.
constexpr qint64 kGatherMs = 20;

TrialReceipt portFailed(TrialReceipt receipt, const platform::Error& error)
{
    receipt.outcome = TrialOutcome::PortError;
    receipt.problem = u"Error %1: %2"_s.arg(QString::number(error.number()), error.description());
    return receipt;
}

QList<int> waitsAsRun(const device::ProjectorTrial& trial, bool skipWaits)
{
    QList<int> waits;
    for (const device::TrialEvent& event : trial.events()) {
        if (event.kind == device::TrialEvent::Kind::WaitBegun)
            waits.append(skipWaits ? 0 : event.waitSeconds);
    }
    return waits;
}

} // namespace

TrialReceipt runTrial(const TrialSetup& setup, const QString& portAnswer, TrialChoices choices,
    platform::SerialPort& serialPort, const platform::Clock& clock, const std::function<bool()>& interrupted)
{
    TrialReceipt receipt;
    receipt.port = portAnswer;
    receipt.baudRate = setup.baudRate;
    receipt.listenMs = choices.listenMs;
    const platform::Result<QString> deviceName
        = device::serialDeviceForAnswer(portAnswer, device::portNamingOfThisSystem(), platform::serialPortLocations());
    if (!deviceName)
        return portFailed(receipt, deviceName.error());
    receipt.port = deviceName.value();

    device::ProjectorTrial trial(serialPort, clock, setup.steps, choices.listenMs, choices.skipWaits);
    if (const std::optional<platform::Error> error = trial.start(deviceName.value(), setup.baudRate))
        return portFailed(receipt, *error);
    // A port that fails in this wait is closed by it; the trial would only see it closed.
    std::optional<platform::Error> lost;
    for (trial.advance(); !trial.isOver(); trial.advance()) {
        if (interrupted()) {
            trial.stop();
            break;
        }
        const platform::Result<platform::Arrival> arrival
            = serialPort.waitForBytes(qMin(trial.msUntilDue(), kLongestWaitMs));
        if (!arrival) {
            lost = arrival.error();
            trial.stop();
            break;
        }
        if (arrival.value() == platform::Arrival::ByteWaiting)
            serialPort.pause(qMin(trial.msUntilDue(), kGatherMs));
    }
    receipt.sent = trial.sentBytes();
    receipt.reply = trial.reply();
    receipt.replyBytes = trial.replyBytes();
    receipt.waits = waitsAsRun(trial, choices.skipWaits);
    if (lost || trial.failure())
        return portFailed(receipt, lost ? *lost : *trial.failure());
    receipt.outcome
        = trial.phase() == device::ProjectorTrial::Phase::Stopped ? TrialOutcome::Stopped : TrialOutcome::Sent;
    return receipt;
}

} // namespace cli
