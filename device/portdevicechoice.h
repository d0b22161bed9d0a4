// The device that the port answer names, fixed for the whole run.
#pragma once

#include "platform/result.h"
#include "platform/serialportlist.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace device {

// Which device an answer names, decided the first time that answer names one (the port test at
// start-up) and kept until the user chooses the port again: an adapter plugged in later must not
// renumber the ports under the user. An answer that named no port is looked up again each time,
// so that the adapter plugged in after start-up is found by the next upload.
class PortDeviceChoice {
public:
    using ListPorts = QStringList (*)();
    explicit PortDeviceChoice(ListPorts listPorts = platform::serialPortLocations);

    const platform::Result<QString>& deviceFor(const QString& answer);
    // The next question about any answer looks it up afresh.
    void forget() { m_device.reset(); }

private:
    ListPorts m_listPorts;
    QString m_answer;
    std::optional<platform::Result<QString>> m_device;
};

} // namespace device
