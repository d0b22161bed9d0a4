// A QX-7M emulator on a pseudo-terminal, started for one test; with --projector, a projector.
#pragma once

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace testsupport {

// Starts qx7m-sim --json with the given extra options as a child process; kills it in the destructor.
// Its error output goes to the test's own, so that a failing emulator explains itself in the test log.
class DeviceSimulator {
public:
    explicit DeviceSimulator(const QStringList& options = {})
    {
        m_process.setProgram(QString::fromLocal8Bit(QX7M_SIM_PATH));
        m_process.setArguments(QStringList { QStringLiteral("--json") } + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~DeviceSimulator()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Starts and waits (up to 5 s) for the device path line; false on failure.
    bool start()
    {
        m_process.start();
        m_devicePath = QString::fromLocal8Bit(waitForLine(5000).trimmed());
        return m_devicePath.startsWith(u'/');
    }
    QString devicePath() const { return m_devicePath; }
    // The next JSON line printed (upload, hang-up or a projector's line); an empty object on time-out.
    QJsonObject waitForReport(int msecs) { return QJsonDocument::fromJson(waitForLine(msecs)).object(); }

private:
    // Empty on time-out or when the emulator has ended.
    QByteArray waitForLine(int msecs)
    {
        const QDeadlineTimer deadline(msecs);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        }
        return m_process.readLine();
    }

    QProcess m_process;
    QString m_devicePath;
};

} // namespace testsupport
