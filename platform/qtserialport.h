// The serial port of the running computer.
#pragma once

#include "serialdeviceclaim.h"
#include "serialport.h"

#include <QSerialPort>
#include <QTimer>

namespace platform {

// How a wait for the device's answer spends its time.
enum class WaitStyle {
    // Blocks the thread: for a program without windows.
    Blocking,
    // Runs a local event loop, so that windows keep painting and the desktop does not offer to
    // end a program that looks dead. Whoever starts a transfer must keep the user's input out.
    KeepWindowsPainting,
};

// Owns one QSerialPort. A wait ends when a byte comes, the device goes away or the time is up,
// whichever is first, without polling. A port that another program holds, by a lock file in
// lockFolder or by the system's own locks, is refused as busy.
class QtSerialPort final : public SerialPort {
public:
    explicit QtSerialPort(
        WaitStyle waitStyle = WaitStyle::Blocking, const QString& lockFolder = standardSerialLockFolder());

    [[nodiscard]] std::optional<Error> open(const QString& deviceName, qint32 baudRate = kBoxLinkBaudRate) override;
    void close() override;
    bool isOpen() const override;
    [[nodiscard]] std::optional<Error> write(const QByteArray& bytes) override;
    [[nodiscard]] std::optional<Error> discardWaiting() override;
    Result<Arrival> waitForBytes(qint64 msecs) override;
    [[nodiscard]] QByteArray readWaiting() override;
    // Sleeps, in either wait style: the windows miss a paint or two, which only a flood costs.
    void pause(qint64 msecs) override;

private:
    Error notTaken();
    Error lostLink();
    Result<Arrival> waitInEventLoop(int msecs);

    WaitStyle m_waitStyle;
    QSerialPort m_port;
    QTimer m_waitDeadline;
    bool m_waitOver = false;
    SerialDeviceClaim m_claim;
    QString m_deviceName;
};

} // namespace platform
