#include "platform/nativename.h"
#include "platform/qtserialport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_QtSerialPort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portHeldElsewhereOrNoSerialPortIsRefused_data();
    void portHeldElsewhereOrNoSerialPortIsRefused();
    void writeWaitsUpTo2SecondsForTheDevice_data();
    void writeWaitsUpTo2SecondsForTheDevice();
    void answerAfterAFloodIsRead();
};

void tst_QtSerialPort::portHeldElsewhereOrNoSerialPortIsRefused_data()
{
    QTest::addColumn<QString>("holder"); // how another program holds the pseudo-terminal; a lock file as
                                         // "claim" (the port's lock folder) or "qt" (Qt's), kind, whose pid
    QTest::addColumn<QString>("port"); // empty: the pseudo-terminal
    QTest::addColumn<QString>("refusal"); // "number|description", %1 the port, %2 the lock folder; empty: opens

    const QString busy = u"8005|The port is already open: %1 "_s;
    QTest::newRow("free pseudo-terminal") << QString() << QString() << QString();
    QTest::newRow("exclusive flock") << u"flock"_s << QString() << busy + u"is held by another program"_s;
    QTest::newRow("exclusive mode, root too")
        << u"exclusive"_s << QString() << busy + u"is in exclusive use by another program"_s;
    QTest::newRow("lock file of a live process, ASCII")
        << u"claim:ascii:live"_s << QString() << busy + u"is locked by process %3 (%2/LCK..pts_%4)"_s;
    QTest::newRow("lock file of a live process, binary, where Qt locks")
        << u"qt:binary:live"_s << QString() << busy + u"is locked by process %3 (/var/lock/LCK..pts_%4)"_s;
    // Each of these kept Qt from taking its own lock for half a minute.
    QTest::newRow("lock file of a process that has ended, ASCII") << u"claim:ascii:ended"_s << QString() << QString();
    QTest::newRow("lock file of a process that has ended, binary, where Qt locks")
        << u"qt:binary:ended"_s << QString() << QString();
    QTest::newRow("empty lock file where Qt locks") << u"qt:empty:"_s << QString() << QString();
    QTest::newRow("lock file that names no process, where Qt locks") << u"qt:text:"_s << QString() << QString();
    QTest::newRow("lock file of this very process") << u"claim:ascii:own"_s << QString() << QString();
    QTest::newRow("lock that cannot be removed, where Qt locks")
        << u"qt:folder:"_s << QString()
        << busy + u"is locked by a lock file that this user may not remove (/var/lock/LCK..pts_%4)"_s;
    // As a script may pass it: opened by its bytes, not by the name's text.
    QTest::newRow("link whose name is not text") << u"link"_s << QString() << QString();
    QTest::newRow("regular file") << QString() << u"%2/hall.qxc"_s << u"8015|%1 is not a serial port"_s;
    QTest::newRow("folder") << QString() << u"%2"_s << u"8015|%1 is not a serial port"_s;
    QTest::newRow("device that is no terminal") << QString() << u"/dev/null"_s << u"8015|%1 is not a serial port"_s;
    QTest::newRow("path of 5,000 characters")
        << QString() << u"/dev/"_s + QString(4995, u'x')
        << u"8002|There is no such serial port on this computer: %1. Is the USB serial adapter plugged in?"_s;
}

void tst_QtSerialPort::portHeldElsewhereOrNoSerialPortIsRefused()
{
    QFETCH(QString, holder);
    QFETCH(QString, port);
    QFETCH(QString, refusal);
    QTemporaryDir lockFolder;
    QVERIFY(QFile(lockFolder.filePath(u"hall.qxc"_s)).open(QIODevice::WriteOnly));
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString terminal = QString::fromLocal8Bit(::ptsname(master));
    const int other = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(other >= 0);
    if (holder == u"flock"_s)
        QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
    if (holder == u"exclusive"_s)
        QCOMPARE(::ioctl(other, TIOCEXCL), 0);
    const QStringList lock = holder.split(u':');
    // The parent lives as long as the test; no process has the largest number.
    const pid_t pid = lock.value(2) == u"live"_s ? ::getppid()
        : lock.value(2) == u"own"_s              ? ::getpid()
                                                 : std::numeric_limits<qint32>::max();
    const QString lockPath = lock.size() < 3
        ? QString()
        : (lock.at(0) == u"qt"_s ? u"/var/lock"_s : lockFolder.path()) + u"/LCK..pts_"_s + terminal.section(u'/', -1);
    if (!lockPath.isEmpty() && !QFileInfo(QFileInfo(lockPath).path()).isWritable())
        QSKIP("this user may not write where Qt Serial Port locks a port");
    const auto removeLock
        = qScopeGuard([&lockPath] { lockPath.isEmpty() || QFile::remove(lockPath) || QDir().rmdir(lockPath); });
    QFile lockFile(lockPath);
    if (lock.value(1) == u"folder"_s)
        QVERIFY(QDir().mkdir(lockPath));
    else if (!lockPath.isEmpty())
        QVERIFY(lockFile.open(QIODevice::WriteOnly));
    const qint32 binary = pid;
    if (lock.value(1) == u"binary"_s)
        lockFile.write(QByteArray(reinterpret_cast<const char*>(&binary), 4));
    if (lock.value(1) == u"ascii"_s)
        lockFile.write(QString::number(pid).rightJustified(10).toLatin1() + '\n');
    if (lock.value(1) == u"text"_s)
        lockFile.write("tty\n");
    lockFile.close();

    QString device = port.isEmpty() ? terminal : QString(port).replace(u"%2"_s, lockFolder.path());
    if (holder == u"link"_s) {
        device = platform::nameFromNativeBytes(QFile::encodeName(lockFolder.path()) + "/caf\xe9");
        QCOMPARE(::symlink(::ptsname(master), platform::nativeName(device).constData()), 0);
    }
    platform::QtSerialPort serialPort(platform::WaitStyle::Blocking, lockFolder.path());
    const std::optional<platform::Error> error = serialPort.open(device);
    QCOMPARE(error ? QString::number(error->number()) + u'|' + error->description() : QString(),
        refusal.replace(u"%1"_s, device)
            .replace(u"%2"_s, lockFolder.path())
            .replace(u"%3"_s, QString::number(pid))
            .replace(u"%4"_s, terminal.section(u'/', -1)));
    QCOMPARE(serialPort.isOpen(), refusal.isEmpty());
    serialPort.close();
    // Another program's exclusive mode and lock file outlast the refusal: only a flag this program
    // set is cleared, and only a lock nobody holds is removed.
    int exclusive = 0;
    QCOMPARE(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    QCOMPARE(exclusive != 0, holder == u"exclusive"_s);
    QCOMPARE(QFileInfo::exists(lockPath), !lockPath.isEmpty() && !refusal.isEmpty());
    // QTemporaryDir cannot name a file whose name is not text; every other row names a device or
    // a path of the test's own, which must outlive it (/dev/null above all).
    if (holder == u"link"_s)
        ::unlink(platform::nativeName(device).constData());
    ::close(other);
    ::close(master);
}

void tst_QtSerialPort::writeWaitsUpTo2SecondsForTheDevice_data()
{
    QTest::addColumn<QString>("meanwhile"); // 100 ms into the write, on output stopped by the other end
    QTest::addColumn<QString>("outcome"); // "number|description", %1 the port; empty: written

    // A window's or a library's signal: the write goes on for the time left, then gives up.
    QTest::newRow("a signal that is no request to stop")
        << u"signal"_s << u"8019|The serial port did not take the bytes: %1 (none went out in 2 s)"_s;
    QTest::newRow("output resumed") << u"resume"_s << QString();
    QTest::newRow("device gone") << u"gone"_s
                                 << u"8010|The connection to the serial port was lost: %1. Is the USB serial adapter "
                                    "plugged in?"_s;
}

void tst_QtSerialPort::writeWaitsUpTo2SecondsForTheDevice()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, outcome);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString terminal = QString::fromLocal8Bit(::ptsname(master));
    const int other = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(other >= 0 && ::tcflow(other, TCOOFF) == 0);
    platform::QtSerialPort serialPort;
    QCOMPARE(serialPort.open(terminal), std::nullopt);
    std::signal(SIGUSR1, [](int) {});
    std::thread otherEnd([&meanwhile, master, other, writer = ::pthread_self()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (meanwhile == u"signal"_s)
            ::pthread_kill(writer, SIGUSR1);
        if (meanwhile == u"resume"_s)
            ::tcflow(other, TCOON);
        if (meanwhile == u"gone"_s) {
            ::close(other);
            ::close(master);
        }
    });
    QElapsedTimer timer;
    timer.start();
    const std::optional<platform::Error> error = serialPort.write("\x16"_ba);
    const qint64 elapsedMs = timer.elapsed();
    otherEnd.join();
    QCOMPARE(error ? QString::number(error->number()) + u'|' + error->description() : QString(), outcome.arg(terminal));
    QVERIFY2(outcome.startsWith(u"8019"_s) ? elapsedMs >= 1990 && elapsedMs < 3000 : elapsedMs < 1000,
        qPrintable(QString::number(elapsedMs)));
    if (meanwhile != u"gone"_s) {
        ::close(other);
        ::close(master);
    }
}

void tst_QtSerialPort::answerAfterAFloodIsRead()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    platform::QtSerialPort serialPort(platform::WaitStyle::KeepWindowsPainting);
    QVERIFY(!serialPort.open(QString::fromLocal8Bit(::ptsname(master))));
    // A flood, offered as the event loop takes it, until the system's buffer is full too.
    const auto flood = [master] {
        const QByteArray bytes(4096, '\x15');
        qsizetype written = 0;
        for (int turn = 0; turn < 20; ++turn) {
            written += qMax<qsizetype>(0, ::write(master, bytes.constData(), bytes.size()));
            QTest::qWait(10);
        }
        return written;
    };
    // Qt stops taking it at a bound, and leaves the rest in the system.
    const qsizetype flooded = flood();
    QVERIFY(serialPort.readWaiting().size() < flooded);
    // Qt's full buffer thrown away, as the link does before each byte it sends.
    flood();
    QVERIFY(!serialPort.discardWaiting());

    QCOMPARE(::write(master, "\x06", 1), 1);
    const platform::Result<platform::Arrival> arrival = serialPort.waitForBytes(2000);
    QVERIFY(arrival && arrival.value() == platform::Arrival::ByteWaiting);
    QCOMPARE(serialPort.readWaiting(), "\x06"_ba);
    ::close(master);
}

QTEST_GUILESS_MAIN(tst_QtSerialPort)
#include "tst_qtserialport.moc"
