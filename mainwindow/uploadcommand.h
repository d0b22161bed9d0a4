// "Save and Upload": checks the record, saves it and sends it to the QX-7M.
#pragma once

#include "uploadview.h"
#include "windowservices.h"

#include "device/uploadobserver.h"
#include "platform/error.h"

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

    void reportError(const platform::Error& error, const QString& portName);

    const WindowServices& m_services;
    UploadView& m_view;
    bool m_running = false;
    int m_byteTotal = 0;
    device::UploadStop m_stop;
};

} // namespace mainwindow
