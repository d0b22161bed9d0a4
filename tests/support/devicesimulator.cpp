#include "devicesimulator.h"

#include <QDeadlineTimer>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace testsupport {

namespace {

constexpr int kStartMsecs = 5000;

} // namespace

DeviceSimulator::DeviceSimulator(const QStringList& options)
    : m_options(options)
{
    m_process.setProgram(QString::fromLocal8Bit(QX7M_SIM_PATH));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

DeviceSimulator::~DeviceSimulator()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool DeviceSimulator::start()
{
    m_process.setArguments(QStringList { u"--json"_s } + m_options);
    m_process.start();
    if (!m_process.waitForStarted(kStartMsecs))
        return false;
    const std::optional<QByteArray> line = waitForLine(kStartMsecs);
    if (!line)
        return false;
    m_devicePath = QString::fromLocal8Bit(line->trimmed());
    return m_devicePath.startsWith(u'/');
}

QString DeviceSimulator::devicePath() const { return m_devicePath; }

QJsonObject DeviceSimulator::waitForReport(int msecs)
{
    const std::optional<QByteArray> line = waitForLine(msecs);
    return line ? QJsonDocument::fromJson(*line).object() : QJsonObject();
}

bool DeviceSimulator::waitForExit(int msecs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(msecs);
}

std::optional<QByteArray> DeviceSimulator::waitForLine(int msecs)
{
    const QDeadlineTimer deadline(msecs);
    while (!m_process.canReadLine()) {
        // A process that has ended leaves nothing more to wait for.
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    return m_process.readLine();
}

} // namespace testsupport
