// A QX-7M emulator on a pseudo-terminal, started for one test.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace testsupport {

// Starts qx7m-sim --json with the given extra options as a child process; kills it in the destructor.
// Its error output goes to the test's own, so that a failing emulator explains itself in the test log.
class DeviceSimulator {
public:
    explicit DeviceSimulator(const QStringList& options = {});
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    bool start(); // starts and waits (up to 5 s) for the device path line; false on failure
    QString devicePath() const;
    QJsonObject waitForReport(int msecs); // next JSON line printed (upload or hang-up); empty object on time-out
    bool waitForExit(int msecs);

private:
    std::optional<QByteArray> waitForLine(int msecs);

    QStringList m_options;
    QProcess m_process;
    QString m_devicePath;
};

} // namespace testsupport
