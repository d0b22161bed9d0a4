// "Save and Upload": checks the record, saves it and sends it to the QX-7M.
#pragma once

#include "uploadview.h"
#include "windowservices.h"

#include "device/deviceupload.h"
#include "device/uploadobserver.h"
#include "device/uploadpreparation.h"
#include "platform/error.h"

#include <optional>

namespace mainwindow {

// One run per click. It blocks until the device has answered or timed out, but the windows keep
// painting meanwhile and the user's input is dropped, so nothing can start during a transfer.
// The port is open only while it runs, and closed by every way out.
class UploadCommand final : private device::UploadObserver {
public:
    UploadCommand(const WindowServices& services, UploadView& view);

    void run();

private:
    void uploadStarting(int byteTotal) override;
    void byteAcknowledged(int byteNumber) override;
    void uploadStopped(const device::UploadStop& stop) override;

    // The four steps of a run. Each one that fails has told the user why, and the run ends there.
    std::optional<device::UploadPreparation> prepare();
    bool save(const device::UploadPreparation& preparation, const QString& deviceName);
    platform::Result<device::UploadOutcome> transfer(device::SerialLink& link, device::DelayBytes delay);
    void reportOutcome(const platform::Result<device::UploadOutcome>& outcome, device::SerialLink& link,
        const QString& deviceName, qint64 elapsedMs);

    // The error's boxes, and the receipt: with the byte under way when the port failed during the
    // transfer, or none before it.
    void reportError(const platform::Error& error, const QString& portName,
        const std::optional<device::UploadStop>& stop = {}, int acknowledged = 0, qint64 elapsedMs = 0);

    const WindowServices& m_services;
    UploadView& m_view;
    bool m_running = false;
    int m_byteTotal = 0;
    int m_acknowledged = 0;
    device::UploadStop m_stop;
};

} // namespace mainwindow
