#include "portdevicechoice.h"

#include "portdevicename.h"

namespace device {

PortDeviceChoice::PortDeviceChoice(ListPorts listPorts)
    : m_listPorts(listPorts)
{
}

const platform::Result<QString>& PortDeviceChoice::deviceFor(const QString& answer)
{
    if (!m_device || !*m_device || answer != m_answer) {
        m_answer = answer;
        // A device path names itself: no need to ask the system for its ports.
        m_device = serialDeviceForAnswer(
            answer, portNamingOfThisSystem(), answer.contains(u'/') ? QStringList() : m_listPorts());
    }
    return *m_device;
}

} // namespace device
