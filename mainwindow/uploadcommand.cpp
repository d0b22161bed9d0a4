#include "uploadcommand.h"

#include "transferinputguard.h"
#include "wronglengthmessage.h"

#include "device/deviceupload.h"
#include "device/linkerrorreport.h"
#include "device/portdevicename.h"
#include "device/uploadpreparation.h"

#include <QTextStream>
#include <QTime>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

namespace mainwindow {

namespace {

const QString kUploadStatusTitle = u"Upload Status"_s;

// How the upload's length box names each slot.
QLatin1StringView uploadLengthSubject(config::SlotId id)
{
    using config::SlotId;
    switch (id) {
    case SlotId::CompositeInputActive:
        return QLatin1StringView("Composite Input Active String");
    case SlotId::SVideoInputActive:
        return QLatin1StringView("S-Video Input String");
    case SlotId::VgaInputActive:
        return QLatin1StringView("VGA Input String");
    case SlotId::NoInputActive:
        return QLatin1StringView("Default File");
    case SlotId::DiscreteOn:
        return QLatin1StringView("Discrete Input ON String");
    case SlotId::DiscreteOff:
        return QLatin1StringView("Discrete Input OFF String");
    case SlotId::VideoFirstDetected:
        return QLatin1StringView("Video First Detected String");
    }
    return {};
}

} // namespace

UploadCommand::UploadCommand(const WindowServices& services, UploadView& view)
    : m_services(services)
    , m_view(view)
{
}

void UploadCommand::run()
{
    // A click cannot arrive during a transfer, but should one ever, it must not start another.
    if (m_running)
        return;
    const std::optional<device::UploadPreparation> preparation = prepare();
    if (!preparation)
        return;
    config::Configuration& configuration = m_services.configuration;
    const platform::Result<QString> deviceName = m_services.portDevice.deviceFor(configuration.commPort);
    if (!deviceName) {
        reportError(deviceName.error(), configuration.commPort);
        return;
    }
    device::SerialLink link(m_services.port, m_services.clock);
    const device::LinkSession session(link, deviceName.value());
    if (session.openError()) {
        reportError(*session.openError(), deviceName.value());
        return;
    }
    if (!save(*preparation, deviceName.value()))
        return;
    const qint64 startMs = m_services.clock.monotonicMs();
    const platform::Result<UploadOutcome> outcome = transfer(link, preparation->delay.value());
    reportOutcome(outcome, link, deviceName.value(), m_services.clock.monotonicMs() - startMs);
}

std::optional<device::UploadPreparation> UploadCommand::prepare()
{
    config::Configuration& configuration = m_services.configuration;
    const device::UploadPreparation preparation
        = device::prepareUpload(configuration, m_view.delayFieldTexts(), m_view.baudListText());
    if (preparation.refusedSlot) {
        const config::SlotId id = *preparation.refusedSlot;
        m_services.prompts.showMessage(
            wrongLengthMessage(uploadLengthSubject(id), configuration.slot(id).byteCount), kWrongFileLengthTitle);
        m_view.selectSlot(id);
        return std::nullopt;
    }
    m_view.showDelayFieldTexts(preparation.delayTexts);
    configuration.delay.hours = preparation.hours;
    configuration.delay.minutes = preparation.minutes;
    configuration.delay.seconds = preparation.seconds;
    if (!preparation.delay) {
        reportError(preparation.delay.error(), configuration.commPort);
        return std::nullopt;
    }
    return preparation;
}

bool UploadCommand::save(const device::UploadPreparation& preparation, const QString& deviceName)
{
    config::Configuration& configuration = m_services.configuration;
    configuration.commitBaudRate(QString(preparation.baudRate.text));
    if (auto error = config::writeConfiguration(configuration, preparation.delayTexts)) {
        // The port is open by now, so the user must be told that the box got none of it.
        reportError(
            platform::Error::described(error->code(), error->description() + u"; nothing was sent"_s), deviceName);
        return false;
    }
    m_view.showSaved();
    return true;
}

platform::Result<UploadOutcome> UploadCommand::transfer(device::SerialLink& link, device::DelayBytes delay)
{
    m_view.showUploadButton(u"Uploading ..."_s, UploadButtonShade::Green);
    const TransferInputGuard guard;
    m_running = true;
    platform::Result<UploadOutcome> outcome = device::uploadToDevice(link, m_services.configuration, delay, this);
    m_running = false;
    return outcome;
}

void UploadCommand::reportOutcome(const platform::Result<UploadOutcome>& outcome, device::SerialLink& link,
    const QString& deviceName, qint64 elapsedMs)
{
    platform::Prompts& prompts = m_services.prompts;
    if (!outcome) {
        // The port is closed and the button shows a failed upload: a retry must not find the
        // port held by this program, and a green "Uploading ..." would say it still runs.
        link.close();
        m_view.showUploadButton(kUploadCommandsCaption, UploadButtonShade::Red);
        reportError(outcome.error(), deviceName, device::byteUnderWay(m_services.configuration, m_acknowledged),
            m_acknowledged, elapsedMs);
        return;
    }
    switch (outcome.value()) {
    case UploadOutcome::Completed:
        m_view.showUploadButton(u"Finished Uploading"_s, UploadButtonShade::Normal);
        link.close();
        m_view.showReceipt(
            device::receiptHead(deviceName) + device::describeCompletedUpload(m_byteTotal, elapsedMs) + u'.');
        prompts.showMessage(u"Upload Completed Successfully"_s, kUploadStatusTitle);
        m_view.showUploadButton(kUploadCommandsCaption, UploadButtonShade::Normal);
        return;
    case UploadOutcome::HandshakeOrSettingsFailed:
        m_view.showReceipt(
            device::receiptHead(deviceName) + u"upload failed. "_s + device::describeUploadStop(m_stop) + u'.');
        prompts.showMessage(u"Power off the QX-7M and then turn power back on"_s, u"Error With QX-7M"_s);
        m_view.showUploadButton(u"Upload FAILED!"_s, UploadButtonShade::Red);
        link.close();
        prompts.showMessage(u"Upload FAILED"_s, kUploadStatusTitle);
        m_view.showUploadButton(kUploadCommandsCaption, UploadButtonShade::Red);
        return;
    case UploadOutcome::StringTransferFailed: {
        // The program ends after this box; the receipt goes where it outlives the window. Ending at
        // once skips the port's own closing, which takes it out of exclusive mode and removes its
        // lock file: the next run would find the port held.
        link.close();
        const QString failed = u"upload failed. "_s + device::describeUploadStop(m_stop) + u'.';
        QTextStream(stderr) << device::receiptHead(deviceName) << failed << u'\n';
        QString problem = u"Problem uploading data. Turn off power to the QX-7M and then turn power back on."_s;
#ifdef Q_OS_WIN
        // A Windows program with windows has no standard error: the box is all the user sees.
        problem += u"\n\nPort "_s + deviceName + u": "_s + failed;
#endif
        prompts.showMessage(problem, u"QX-7M error"_s);
        m_services.programEnd.endNow(1);
        return;
    }
    }
}

void UploadCommand::uploadStarting(int byteTotal)
{
    m_byteTotal = byteTotal;
    m_acknowledged = 0;
    m_stop = {};
    m_view.showProgress(0, byteTotal);
}

void UploadCommand::byteAcknowledged(int byteNumber)
{
    m_acknowledged = byteNumber;
    m_view.showProgress(byteNumber, m_byteTotal);
}

void UploadCommand::uploadStopped(const device::UploadStop& stop) { m_stop = stop; }

void UploadCommand::reportError(const platform::Error& error, const QString& portName,
    const std::optional<device::UploadStop>& stop, int acknowledged, qint64 elapsedMs)
{
    const QString problem = u"Error "_s + QString::number(error.number()) + u": "_s + error.description();
    m_view.showReceipt(
        device::receiptHead(portName) + device::describeFailedPortInUpload(stop, acknowledged, elapsedMs, problem));
    [[maybe_unused]] const device::LinkErrorReport report = device::reportLinkError(m_services.prompts, error);
}

} // namespace mainwindow
