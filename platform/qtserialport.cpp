#include "qtserialport.h"

#include "devicewrite.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// A byte takes about a millisecond at 9600 baud; a write that is not out after this long will
// not go out at all.
constexpr int kWriteTimeoutMs = 2000;

// The most that Qt takes from the device before the program reads it. Qt reads whenever an event
// loop runs, so without a bound a device that floods the line fills the memory; with it, Qt stops
// reading until the program reads, and what comes meanwhile waits in the system's own buffer. Less
// than the 32 KiB Qt reads at a time: on Windows, a wait whose read took that much looks for more,
// which a full buffer never brings.
constexpr qint64 kLargestUnreadBytes = 16384;

ErrorCode openErrorCode(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return ErrorCode::SerialPortNotFound;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return ErrorCode::PortAlreadyOpen;
    default:
        return ErrorCode::PortNotOpen;
    }
}

#ifdef Q_OS_LINUX
// QSerialPort reports a device this user may not open like a port that another program holds,
// which sends the user looking for a program that does not exist; so access is asked first.
std::optional<Error> accessRefused(const QString& deviceName, const QString& portPath)
{
    const QFileInfo device(portPath);
    if (!device.exists() || (device.isReadable() && device.isWritable()))
        return std::nullopt;
    const QString group = device.group().isEmpty() ? u"dialout"_s : device.group();
    return Error(ErrorCode::PermissionDenied,
        u"this user may not read and write %1. Serial ports are opened by the members of the group that owns "
        "them, here \"%2\": ask for this user to be added to it (sudo usermod -aG %2 USERNAME), then log in "
        "again."_s.arg(deviceName, group));
}
#endif

} // namespace

QtSerialPort::QtSerialPort(WaitStyle waitStyle, const QString& lockFolder)
    : m_waitStyle(waitStyle)
    , m_claim(lockFolder)
{
    m_port.setReadBufferSize(kLargestUnreadBytes);
    // The deadline and the connections are made once, with the port: a wait per byte would
    // otherwise cost more in setting them up than a blocking wait costs in all.
    m_waitDeadline.setSingleShot(true);
    m_waitDeadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_waitDeadline, &QTimer::timeout, &m_waitDeadline, [this] { m_waitOver = true; });
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { m_waitOver = true; });
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
        [this](QSerialPort::SerialPortError error) { m_waitOver = m_waitOver || error != QSerialPort::NoError; });
}

std::optional<Error> QtSerialPort::open(const QString& deviceName, qint32 baudRate)
{
    if (m_port.isOpen())
        return Error(ErrorCode::PortAlreadyOpen, m_deviceName);
    if (std::optional<Error> refused = m_claim.checkBeforeOpening(deviceName))
        return refused;
#ifdef Q_OS_LINUX
    if (std::optional<Error> refused = accessRefused(deviceName, m_claim.portPath())) {
        m_claim.release();
        return refused;
    }
#endif
    m_deviceName = deviceName;
    m_port.setPortName(m_claim.portPath());
    m_port.setBaudRate(baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    const bool opened = m_port.open(QIODevice::ReadWrite);
    std::optional<Error> held;
    if (opened)
        held = m_claim.holdOpenedPort(qintptr(m_port.handle()), deviceName);
    m_claim.release();
    if (!opened) {
        // Qt tells a lock file it could not take as a permission error: it is a busy port.
        const bool locked = m_port.error() == QSerialPort::PermissionError && QFileInfo::exists(m_claim.qtLockPath());
        const Error error = locked
            ? Error(ErrorCode::PortAlreadyOpen,
                u"%1 is locked by another program (%2)"_s.arg(deviceName, m_claim.qtLockPath()))
            : Error(openErrorCode(m_port.error()), deviceName + u" ("_s + m_port.errorString() + u')');
        m_port.clearError();
        return error;
    }
    if (held) {
        close();
        return held;
    }
    // Opening reads the modem lines; a pseudo-terminal has none and leaves an error behind that
    // says nothing about the link.
    m_port.clearError();
    return std::nullopt;
}

void QtSerialPort::close()
{
    m_port.close();
    m_port.clearError();
}

bool QtSerialPort::isOpen() const { return m_port.isOpen(); }

std::optional<Error> QtSerialPort::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return Error(ErrorCode::PortNotOpen);
    // Straight to the device where the system allows it: through QSerialPort's queue, every write
    // would switch a write watch on and off and wake the windows' event loop twice for nothing.
    if (const std::optional<DeviceWrite> written = writeToDevice(qintptr(m_port.handle()), bytes, kWriteTimeoutMs)) {
        switch (*written) {
        case DeviceWrite::Written:
            return std::nullopt;
        case DeviceWrite::NotTaken:
            return notTaken();
        case DeviceWrite::Stopped:
            // Whoever asked to stop tells the stop; the port is closed as every way out leaves it.
            close();
            return Error(ErrorCode::PortNotOpen, m_deviceName);
        case DeviceWrite::Gone:
            break;
        }
        return lostLink();
    }
    if (m_port.write(bytes) != bytes.size())
        return lostLink();
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(kWriteTimeoutMs))
            return m_port.error() == QSerialPort::TimeoutError ? notTaken() : lostLink();
    }
    return std::nullopt;
}

std::optional<Error> QtSerialPort::discardWaiting()
{
    if (!m_port.isOpen())
        return Error(ErrorCode::PortNotOpen);
    if (!m_port.clear(QSerialPort::Input))
        return lostLink();
    // A full buffer stopped Qt's reading, and only a read starts it again, which emptying the
    // buffer is not: the next answer would never be read.
    m_port.setReadBufferSize(kLargestUnreadBytes);
    return std::nullopt;
}

Result<Arrival> QtSerialPort::waitForBytes(qint64 msecs)
{
    if (!m_port.isOpen())
        return Error(ErrorCode::PortNotOpen);
    if (m_port.bytesAvailable() > 0)
        return Arrival::ByteWaiting;
    const int timeout = static_cast<int>(std::clamp<qint64>(msecs, 0, INT_MAX));
    // A look without waiting (timeout 0) takes what the driver holds and runs no event.
    if (m_waitStyle == WaitStyle::KeepWindowsPainting && timeout > 0)
        return waitInEventLoop(timeout);
    if (m_port.waitForReadyRead(timeout))
        return m_port.bytesAvailable() > 0 ? Arrival::ByteWaiting : Arrival::TimedOut;
    // On Windows a wait whose time runs out just after the port's other news (the driver's "a byte
    // is coming", a write done) ends with no error set: nothing came, the link is fine.
    if (m_port.error() == QSerialPort::TimeoutError || m_port.error() == QSerialPort::NoError) {
        m_port.clearError();
        return Arrival::TimedOut;
    }
    return lostLink();
}

Result<Arrival> QtSerialPort::waitInEventLoop(int msecs)
{
    // Each turn handles what woke it and returns, the byte's arrival included: nothing has to
    // wake the loop again to end it.
    m_waitOver = false;
    m_waitDeadline.start(msecs);
    while (!m_waitOver)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_waitDeadline.stop();
    if (m_port.bytesAvailable() > 0)
        return Arrival::ByteWaiting;
    if (m_port.error() != QSerialPort::NoError && m_port.error() != QSerialPort::TimeoutError)
        return lostLink();
    m_port.clearError();
    return Arrival::TimedOut;
}

QByteArray QtSerialPort::readWaiting() { return m_port.readAll(); }

void QtSerialPort::pause(qint64 msecs) { QThread::msleep(static_cast<unsigned long>(std::max<qint64>(msecs, 0))); }

Error QtSerialPort::notTaken()
{
    // The adapter is still there and the port stays open; the bytes may still go out later.
    m_port.clearError();
    return Error(ErrorCode::PortTookNoBytes,
        u"%1 (none went out in %2 s)"_s.arg(m_deviceName, QString::number(kWriteTimeoutMs / 1000)));
}

Error QtSerialPort::lostLink()
{
    // The system's reason is usually a leftover of opening a port without modem lines and would
    // mislead; the device name the user gave says enough. A port whose device went away stays
    // readable for ever, so it is closed here rather than left to wake every event loop.
    Error error(ErrorCode::SerialLinkLost, m_deviceName);
    close();
    return error;
}

} // namespace platform
