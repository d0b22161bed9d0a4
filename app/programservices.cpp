#include "programservices.h"

#include "device/portdevicename.h"
#include "platform/serialportlist.h"

namespace app {

mainwindow::StartOptions startOptionsOnThisComputer(const QString& initialPortAnswer, const QString& givenFile)
{
    return { initialPortAnswer,
        device::portChoiceItems(device::portNamingOfThisSystem(), platform::listedSerialPorts()), givenFile };
}

} // namespace app
