#include "uploadrun.h"

#include "countingport.h"

#include "device/deviceupload.h"
#include "device/portdevicename.h"
#include "platform/serialportlist.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

// Keeps count of the acknowledged bytes and where the box stopped, and moves the progress line.
class Recorder final : public device::UploadObserver {
public:
    explicit Recorder(ProgressLine& progress)
        : m_progress(progress)
    {
    }

    void uploadStarting(int byteTotal) override
    {
        m_byteTotal = byteTotal;
        m_progress.show(0, byteTotal);
    }
    void byteAcknowledged(int byteNumber) override
    {
        acknowledged = byteNumber;
        m_progress.show(byteNumber, m_byteTotal);
    }
    void uploadStopped(const device::UploadStop& upload) override { stop = upload; }

    int acknowledged = 0;
    std::optional<device::UploadStop> stop;

private:
    ProgressLine& m_progress;
    int m_byteTotal = 0;
};

// The strings' lengths were checked before the port was opened: what fails from here on is the
// port, at opening or during the upload.
UploadReceipt portFailed(UploadReceipt receipt, const platform::Error& error)
{
    receipt.outcome = Outcome::PortError;
    receipt.problem = u"Error %1: %2"_s.arg(QString::number(error.number()), error.description());
    return receipt;
}

} // namespace

UploadReceipt runUpload(const UploadPlan& plan, const QString& portAnswer, platform::SerialPort& serialPort,
    const platform::Clock& clock, ProgressLine& progress)
{
    UploadReceipt receipt;
    receipt.port = portAnswer;
    const platform::Result<QString> deviceName
        = device::serialDeviceForAnswer(portAnswer, device::portNamingOfThisSystem(), platform::serialPortLocations());
    if (!deviceName)
        return portFailed(receipt, deviceName.error());
    receipt.port = deviceName.value();

    CountingPort port(serialPort);
    device::SerialLink link(port, clock);
    const device::LinkSession session(link, deviceName.value());
    if (session.openError())
        return portFailed(receipt, *session.openError());

    Recorder recorder(progress);
    const qint64 startMs = clock.monotonicMs();
    const platform::Result<device::UploadOutcome> outcome
        = device::uploadToDevice(link, plan.configuration, plan.delay, &recorder);
    progress.finish();
    receipt.elapsedMs = clock.monotonicMs() - startMs;
    receipt.bytesSent = port.bytesWritten();
    receipt.bytesAcknowledged = recorder.acknowledged;
    if (!outcome) {
        // The port went away during the upload: the box may hold part of it, and the receipt says
        // which byte was under way.
        receipt.stop = device::byteUnderWay(plan.configuration, recorder.acknowledged);
        return portFailed(receipt, outcome.error());
    }
    if (outcome.value() == device::UploadOutcome::Completed) {
        receipt.outcome = Outcome::Programmed;
    } else {
        receipt.outcome = Outcome::NoAnswer;
        receipt.stop = recorder.stop;
    }
    return receipt;
}

} // namespace cli
