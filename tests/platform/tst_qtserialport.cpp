#include "platform/qtserialport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_QtSerialPort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portHeldElsewhereOrNoSerialPortIsRefused_data();
    void portHeldElsewhereOrNoSerialPortIsRefused();
    void answerAfterAFloodIsRead();
};

void tst_QtSerialPort::portHeldElsewhereOrNoSerialPortIsRefused_data()
{
    QTest::addColumn<QString>("holder"); // how another program holds the pseudo-terminal
    QTest::addColumn<QString>("port"); // empty: the pseudo-terminal
    QTest::addColumn<QString>("refusal"); // "number|description", %1 the port, %2 the lock folder; empty: opens

    const QString busy = u"8005|The port is already open: %1 "_s;
    QTest::newRow("free pseudo-terminal") << QString() << QString() << QString();
    QTest::newRow("exclusive flock") << u"flock"_s << QString() << busy + u"is held by another program"_s;
    QTest::newRow("exclusive mode, root too")
        << u"exclusive"_s << QString() << busy + u"is in exclusive use by another program"_s;
    QTest::newRow("lock file of a live process, ASCII")
        << u"ascii"_s << QString() << busy + u"is locked by process %3 (%2/LCK..pts_%4)"_s;
    QTest::newRow("lock file of a live process, binary")
        << u"binary"_s << QString() << busy + u"is locked by process %3 (%2/LCK..pts_%4)"_s;
    QTest::newRow("lock file of a process that has ended") << u"ended"_s << QString() << QString();
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
    // No process has the largest number: the system never counts that far.
    const pid_t pid = holder == u"ended"_s ? std::numeric_limits<qint32>::max() : ::getpid();
    QFile lock(lockFolder.filePath(u"LCK..pts_"_s + terminal.section(u'/', -1)));
    if (!holder.isEmpty() && holder != u"flock"_s && holder != u"exclusive"_s) {
        QVERIFY(lock.open(QIODevice::WriteOnly));
        const qint32 binary = pid;
        lock.write(holder == u"binary"_s ? QByteArray(reinterpret_cast<const char*>(&binary), 4)
                                         : QString::number(pid).rightJustified(10).toLatin1() + '\n');
        lock.close();
    }

    const QString device = port.isEmpty() ? terminal : QString(port).replace(u"%2"_s, lockFolder.path());
    platform::QtSerialPort serialPort(platform::WaitStyle::Blocking, lockFolder.path());
    const std::optional<platform::Error> error = serialPort.open(device);
    QCOMPARE(error ? QString::number(error->number()) + u'|' + error->description() : QString(),
        refusal.replace(u"%1"_s, device)
            .replace(u"%2"_s, lockFolder.path())
            .replace(u"%3"_s, QString::number(pid))
            .replace(u"%4"_s, terminal.section(u'/', -1)));
    QCOMPARE(serialPort.isOpen(), refusal.isEmpty());
    serialPort.close();
    // Another program's exclusive mode outlasts the refusal: only a flag this program set is cleared.
    int exclusive = 0;
    QCOMPARE(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    QCOMPARE(exclusive != 0, holder == u"exclusive"_s);
    ::close(other);
    ::close(master);
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
