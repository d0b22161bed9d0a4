// The device that the port answer names, fixed for the whole run.
#pragma once

#include "platform/result.h"
#include "platform/serialportlist.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace device {

// Which device an answer names, decided the first time that answer is asked about (the port test
// at start-up) and kept for the rest of the run: an adapter plugged in later must not renumber the
// ports under the user. A failure is kept too, so that the upload reports what start-up reported.
class PortDeviceChoice {
public:
    using ListPorts = QStringList (*)();
    explicit PortDeviceChoice(ListPorts listPorts = platform::serialPortLocations);

    const platform::Result<QString>& deviceFor(const QString& answer);

private:
    ListPorts m_listPorts;
    QString m_answer;
    std::optional<platform::Result<QString>> m_device;
};

} // namespace device
