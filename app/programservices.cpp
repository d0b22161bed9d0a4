#include "programservices.h"

#include "device/portdevicename.h"
#include "platform/serialportlist.h"

namespace app {

QStringList portChoicesOnThisComputer()
{
    return device::portChoiceItems(device::portNamingOfThisSystem(), platform::listedSerialPorts());
}

mainwindow::StartOptions startOptionsOnThisComputer(const QString& initialPortAnswer, const QString& givenFile)
{
    const QList<platform::ListedSerialPort> listed = platform::listedSerialPorts();
    const device::PortNaming naming = device::portNamingOfThisSystem();
    return { initialPortAnswer.isEmpty() ? device::firstAdapterAnswer(naming, listed) : initialPortAnswer,
        device::portChoiceItems(naming, listed), givenFile };
}

} // namespace app
