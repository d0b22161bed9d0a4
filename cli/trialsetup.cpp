#include "trialsetup.h"

#include "uploadplan.h"

#include "device/projectortrial.h"
#include "device/uploadpreparation.h"
#include "notation/notation.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace cli {

TrialSetup setUpTrial(const config::StoredConfiguration& stored, config::SlotId slot)
{
    TrialSetup setup;
    const QString name = u"the \"%1\" string"_s.arg(config::displayName(slot));
    const device::TrialPlan plan = device::planTrial(stored.slots[config::indexOf(slot)].commandBytes);
    if (!plan.refusal.isEmpty()) {
        setup.refusal = name + u": "_s + plan.refusal;
        return setup;
    }
    setup.steps = plan.steps;
    // The rate depends on the baud text alone; prepared without the strings, so that a long string
    // in another slot, which an upload would refuse, does not stop this one's trial.
    const config::ProjectorBaudRate rate = device::prepareUpload({}, {}, stored.baudRateText).baudRate;
    setup.baudRate = device::bitsPerSecond(rate.high, rate.low);
    if (const QString warning = baudRateWarning(stored.baudRateText, rate.text); !warning.isEmpty())
        setup.warnings.append(warning);
    if (!plan.note.isEmpty())
        setup.warnings.append(name + u": "_s + plan.note);
    return setup;
}

QStringList trialStepLines(const TrialSetup& setup, qint64 listenMs, bool skipWaits)
{
    QStringList lines { u"projector link: %1 baud, 8N1"_s.arg(setup.baudRate) };
    QByteArray sending;
    for (const notation::BoxStep& step : setup.steps) {
        // An escaped 0x1B is a step of its own for the box, but goes out with its neighbours.
        if (step.kind == notation::BoxStep::Kind::Send) {
            sending += step.sent;
            continue;
        }
        if (!sending.isEmpty())
            lines.append(u"send: "_s + notation::hexPairs(std::exchange(sending, {})));
        lines.append(u"wait: %1 s%2"_s.arg(QString::number(step.waitSeconds), skipWaits ? u", skipped"_s : QString()));
    }
    if (!sending.isEmpty())
        lines.append(u"send: "_s + notation::hexPairs(sending));
    lines.append(u"listen: %1 s"_s.arg(QString::number(double(listenMs) / 1000.0)));
    return lines;
}

} // namespace cli
