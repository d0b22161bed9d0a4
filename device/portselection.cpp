#include "portselection.h"

#include "linkerrorreport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace device {

namespace {

// Asking again helps only when the user can free the port or choose another: a busy port, one
// this user may not open, or something that is no serial port would fail again at the first upload.
bool worthAskingAgain(const platform::Error& error, LinkErrorReport report)
{
    return report == LinkErrorReport::PortNotAvailable || error.code() == platform::ErrorCode::PermissionDenied
        || error.code() == platform::ErrorCode::NotASerialPort;
}

} // namespace

PortAnswer askForPort(const PortQuestion& question, config::Configuration& configuration)
{
    for (;;) {
        configuration.commPort
            = question.prompts.askTextOrChoice(u"Which com port will the QX-7M be connected to for programming?"_s,
                u"Com port selection"_s, question.choices, question.initialAnswer);
        if (configuration.commPort.isEmpty())
            return PortAnswer::Empty;
        const platform::Result<QString>& device = question.deviceChoice.deviceFor(configuration.commPort);
        std::optional<platform::Error> error = device ? question.port.open(device.value()) : device.error();
        question.port.close();
        if (!error)
            return PortAnswer::Given;
        if (!worthAskingAgain(*error, reportLinkError(question.prompts, *error)))
            return PortAnswer::Failed;
    }
}

bool askForProjectorPort(
    platform::Prompts& prompts, ProjectorPort& projectorPort, QStringList choices, const QString& boxPortAnswer)
{
    const bool listed = std::any_of(choices.cbegin(), choices.cend(),
        [&](const QString& item) { return item == boxPortAnswer || item.startsWith(boxPortAnswer + u" - "_s); });
    if (!boxPortAnswer.isEmpty() && !listed)
        choices.prepend(boxPortAnswer);
    const QString answer = prompts.askTextOrChoice(u"Which port is the projector connected to?"_s, u"Projector Port"_s,
        choices, projectorPort.answer.isEmpty() ? boxPortAnswer : projectorPort.answer);
    if (answer.isEmpty())
        return false;
    projectorPort.answer = answer;
    projectorPort.answered = true;
    projectorPort.deviceChoice.forget();
    return true;
}

} // namespace device
