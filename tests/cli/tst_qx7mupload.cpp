#include "config/configurationfileformat.h"
#include "platform/qtserialport.h"

#include "tests/device/sampleconfiguration.h"
#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kSwitchOffAndOn = u" Switch the QX-7M off and on again before the next try\\.$"_s;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

Run upload(const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromLocal8Bit(QX7M_UPLOAD_PATH), arguments);
    const bool finished = process.waitForFinished(20000);
    return { finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()) };
}

// The sample record as the window saves it with 19200 baud and a delay of 1 h 2 min 3 s.
config::StoredConfiguration sampleFile()
{
    config::StoredConfiguration stored;
    stored.slots = sampleConfiguration().slots;
    stored.scan_priority = config::ScanPriority::Composite;
    stored.baud_rate_text = u"19200"_s;
    stored.hours_text = u"1"_s;
    stored.minutes_text = u"2"_s;
    stored.seconds_text = u"3"_s;
    return stored;
}

config::StoredConfiguration emptySlotsFile(int priority, const QString& baud, const QStringList& delay)
{
    config::StoredConfiguration stored;
    stored.scan_priority = config::ScanPriority(priority);
    stored.baud_rate_text = baud;
    stored.hours_text = delay[0];
    stored.minutes_text = delay[1];
    stored.seconds_text = delay[2];
    return stored;
}

} // namespace

Q_DECLARE_METATYPE(config::StoredConfiguration)

class tst_Qx7mUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileIsProgrammedByteForByteAndLeftAsItWas();
    void progressBarIsDrawnOnATerminalAndBlankedAtTheEnd();
    void boxThatDoesNotAnswerAsItMustIsReportedWithItsByte_data();
    void boxThatDoesNotAnswerAsItMustIsReportedWithItsByte();
    void badInputIsRefusedBeforeThePortIsOpened_data();
    void badInputIsRefusedBeforeThePortIsOpened();
    void argumentsAloneGetTheirAnswer_data();
    void argumentsAloneGetTheirAnswer();
    void dryRunPrintsWhatTheWindowWouldSend_data();
    void dryRunPrintsWhatTheWindowWouldSend();

private:
    QString writeFile(const config::StoredConfiguration& stored)
    {
        const QString path = m_folder.filePath(u"hall.qxc"_s);
        QFile file(path);
        const auto bytes = config::encodeConfigurationFile(stored);
        return bytes && file.open(QIODevice::WriteOnly) && file.write(bytes.value()) == bytes.value().size()
            ? path
            : QString();
    }

    QTemporaryDir m_folder;
};

void tst_Qx7mUpload::fileIsProgrammedByteForByteAndLeftAsItWas()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    const QString path = writeFile(sampleFile());
    const QDateTime written = QFileInfo(path).lastModified();

    QElapsedTimer timer;
    timer.start();
    const Run run = upload({ path, u"--port"_s, simulator.devicePath(), u"--json"_s });
    const qint64 runMs = timer.elapsed();

    QCOMPARE(run.exitCode, 0);
    // The same bytes as the window sends for this record, from the window's own test, on the device's line
    // settings; the emulator reads back what it was sent.
    const QJsonObject report = simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    QCOMPARE(report.value(u"line"_s).toString(), u"9600 8N1, raw, no flow control"_s);
    // The 0xFF 0x07 pair comes in one write, and both bytes are taken.
    QCOMPARE(report.value(u"answered"_s).toString(), u"06FF07"_s + u"06"_s.repeated(kSampleWireImage.size() - 2));
    QCOMPARE(report.value(u"baud_rate"_s).toInt(), 19200);
    QCOMPARE(report.value(u"scan_priority"_s).toInt(), 2);
    QCOMPARE(report.value(u"delay_seconds"_s).toInt(), 3723);
    const QJsonObject receipt = run.json();
    QCOMPARE(receipt.value(u"outcome"_s).toString(), u"programmed"_s);
    QCOMPARE(receipt.value(u"port"_s).toString(), simulator.devicePath());
    QCOMPARE(receipt.value(u"bytes_sent"_s).toInt(), 53);
    QCOMPARE(receipt.value(u"bytes_acknowledged"_s).toInt(), 53);
    // The time the upload took, which cannot be longer than the whole run of the tool.
    const double seconds = receipt.value(u"seconds"_s).toDouble();
    QVERIFY2(seconds > 0.0 && seconds * 1000 <= runMs, qPrintable(run.out));
    QVERIFY(!receipt.contains(u"failed_byte"_s));
    // Nothing but the receipt: no progress bar on a pipe.
    QCOMPARE(run.err, QString());
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void tst_Qx7mUpload::progressBarIsDrawnOnATerminalAndBlankedAtTheEnd()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    QProcess process;
    process.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(terminal)));
    process.start(
        QString::fromLocal8Bit(QX7M_UPLOAD_PATH), { writeFile(sampleFile()), u"--port"_s, simulator.devicePath() });
    QByteArray drawn;
    // Read while it runs: a full terminal would hold the tool up.
    for (bool finished = false; !finished;) {
        finished = process.waitForFinished(50) || process.state() == QProcess::NotRunning;
        char buffer[4096];
        for (ssize_t count; (count = ::read(terminal, buffer, sizeof buffer)) > 0;)
            drawn.append(buffer, count);
    }
    ::close(terminal);

    QCOMPARE(process.exitCode(), 0);
    const QByteArray first = "\r[" + QByteArray(30, '.') + "] 0 of 53 bytes";
    const QByteArray last = "\r[" + QByteArray(30, '#') + "] 53 of 53 bytes";
    QVERIFY2(drawn.startsWith(first + "\r[") && drawn.contains("] 21 of 53 bytes"), drawn.constData());
    QVERIFY2(drawn.endsWith(last + '\r' + QByteArray(last.size() - 1, ' ') + '\r'), drawn.constData());
}

void tst_Qx7mUpload::boxThatDoesNotAnswerAsItMustIsReportedWithItsByte_data()
{
    QTest::addColumn<QStringList>("box");
    QTest::addColumn<QString>("port"); // empty: the emulator's
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QJsonObject>("expected");
    QTest::addColumn<QString>("message");

    const QJsonValue null(QJsonValue::Null);
    QTest::newRow("0xFF without 0x07")
        << QStringList { u"--ff-only"_s } << QString() << 1
        << QJsonObject { { u"outcome"_s, u"no-answer"_s }, { u"bytes_sent"_s, 2 }, { u"bytes_acknowledged"_s, 1 },
               { u"failed_byte"_s, 2 }, { u"where"_s, u"second SYN"_s }, { u"expected"_s, u"07"_s },
               { u"received"_s, null } }
        << u"^upload failed\\. Second SYN: 0xFF came, 0x07 did not \\(byte 2 of 53, waited [56]\\.\\d s\\)\\."_s
            + kSwitchOffAndOn;
    // Whether byte 21 still went out before the cable was gone is the system's to decide.
    QTest::newRow("cable pulled in a string")
        << QStringList { u"--hang-up-after"_s, u"20"_s } << QString() << 3
        << QJsonObject { { u"outcome"_s, u"port-error"_s }, { u"bytes_acknowledged"_s, 20 }, { u"failed_byte"_s, 21 },
               { u"where"_s, u"Discrete OFF string, character 5 of 8"_s }, { u"expected"_s, null },
               { u"received"_s, null } }
        << u"^upload failed at byte 21 of 53 \\(Discrete OFF string, character 5 of 8\\) after \\d+\\.\\d s\\. "
           "Error 8010: The connection to the serial port was lost: /dev/pts/\\d+\\."_s
            + kSwitchOffAndOn;
    QTest::newRow("no such port") << QStringList() << u"/dev/qx7m-no-such-port"_s << 3
                                  << QJsonObject { { u"outcome"_s, u"port-error"_s },
                                         { u"port"_s, u"/dev/qx7m-no-such-port"_s }, { u"bytes_sent"_s, 0 },
                                         { u"failed_byte"_s, null }, { u"where"_s, null } }
                                  << u"^not uploaded\\. Error 8002: There is no such serial port on this computer: "
                                     "/dev/qx7m-no-such-port [^.]*\\.$"_s;
}

void tst_Qx7mUpload::boxThatDoesNotAnswerAsItMustIsReportedWithItsByte()
{
    QFETCH(QStringList, box);
    QFETCH(QString, port);
    QFETCH(int, exitCode);
    QFETCH(QJsonObject, expected);
    QFETCH(QString, message);
    testsupport::DeviceSimulator simulator(box);
    QVERIFY(simulator.start());

    const Run run
        = upload({ writeFile(sampleFile()), u"--port"_s, port.isEmpty() ? simulator.devicePath() : port, u"--json"_s });

    QCOMPARE(run.exitCode, exitCode);
    const QJsonObject receipt = run.json();
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
        QVERIFY2(receipt.value(it.key()) == it.value(), qPrintable(it.key() + u" in "_s + run.out));
    QVERIFY2(receipt.value(u"message"_s).toString().contains(QRegularExpression(message)), qPrintable(run.out));
}

void tst_Qx7mUpload::badInputIsRefusedBeforeThePortIsOpened_data()
{
    QTest::addColumn<config::StoredConfiguration>("file");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("cause"); // %1: the file's path

    config::StoredConfiguration longSlot = sampleFile();
    longSlot.slots[config::indexOf(config::SlotId::VgaInputActive)].command_bytes = QByteArray(31, 'v');
    QTest::newRow("string of 31 bytes") << longSlot << true
                                        << u"%1: the \"VGA Input Active\" string is 31 bytes long; the QX-7M takes at "
                                           "most 30"_s;
    config::StoredConfiguration sixtyMinutes = sampleFile();
    sixtyMinutes.minutes_text = u"60"_s;
    QTest::newRow("60 minutes") << sixtyMinutes << true
                                << u"%1: the \"No Input Active\" delay's minutes text \"60\" is not a number from 0 to "
                                   "59 (the window would show \"Minutes Wrong\" and send 0 minutes)"_s;
    QTest::newRow("no file") << sampleFile() << false << u"cannot read %1: error 53, File not found: %1"_s;
}

void tst_Qx7mUpload::badInputIsRefusedBeforeThePortIsOpened()
{
    QFETCH(config::StoredConfiguration, file);
    QFETCH(bool, written);
    QFETCH(QString, cause);
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    // Held here, the port would give exit code 3 to a tool that went on to open it.
    platform::QtSerialPort otherProgram;
    QCOMPARE(otherProgram.open(simulator.devicePath()), std::nullopt);
    const QString path = written ? writeFile(file) : m_folder.filePath(u"none.qxc"_s);

    const Run run = upload({ path, u"--port"_s, simulator.devicePath() });

    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, u"qx7m-upload: "_s + cause.arg(path) + u"; nothing was sent.\n"_s);
}

void tst_Qx7mUpload::argumentsAloneGetTheirAnswer_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answer"); // on standard output, then standard error

    const QString refusal = u"^qx7m-upload: %1 \\(see qx7m-upload --help\\); nothing was sent\\.\n$"_s;
    QTest::newRow("unknown option") << QStringList { u"hall.qxc"_s, u"--port"_s, u"1"_s, u"--bogus"_s } << 2
                                    << refusal.arg(u"Unknown option 'bogus'"_s);
    QTest::newRow("no port") << QStringList { u"hall.qxc"_s } << 2
                             << refusal.arg(u"give the port with --port, or --dry-run to send nothing"_s);
    // The help tells where the tool departs from the window, and what each exit code means.
    QTest::newRow("help") << QStringList { u"--help"_s } << 0
                          << u"FILE\n.*\"Minutes Wrong\".*\n  1  .*\n  2  .*delay text out of range\n  3  "_s;
    QTest::newRow("version") << QStringList { u"--version"_s } << 0 << u"^qx7m-upload \\d+\\.\\d+(\\.\\d+)?\n$"_s;
}

void tst_Qx7mUpload::argumentsAloneGetTheirAnswer()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, answer);

    const Run run = upload(arguments);

    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(QRegularExpression(answer, QRegularExpression::DotMatchesEverythingOption)),
        qPrintable(run.out + run.err));
}

void tst_Qx7mUpload::dryRunPrintsWhatTheWindowWouldSend_data()
{
    QTest::addColumn<config::StoredConfiguration>("file");
    QTest::addColumn<QStringList>("wireImage");
    QTest::addColumn<QString>("warning");

    const QStringList emptySlots { u"Discrete ON: 00"_s, u"Discrete OFF: 00"_s, u"Video First Detected: 00"_s,
        u"VGA Input Active: 00"_s, u"Composite Input Active: 00"_s, u"S-Video Input Active: 00"_s,
        u"No Input Active: 00"_s };
    QTest::newRow("every slot empty, delay 5 s")
        << emptySlotsFile(2, u"9600"_s, { u"0"_s, u"0"_s, u"5"_s })
        << QStringList { u"handshake: 16 16"_s, u"settings: 25 80 02 00 05"_s } + emptySlots << QString();
    QTest::newRow("hints as 0, 0 seconds as 1, an unknown rate as 9600")
        << emptySlotsFile(0, u"38400"_s, { u"0-16"_s, u"1"_s, u"0"_s })
        << QStringList { u"handshake: 16 16"_s, u"settings: 25 80 00 00 3D"_s } + emptySlots << u"\"38400\""_s;
    QTest::newRow("every string in upload order")
        << sampleFile()
        << QStringList { u"handshake: 16 16"_s, u"settings: 4B 00 02 0E 8B"_s,
               u"Discrete ON: 07 50 57 52 20 4F 4E 0D"_s, u"Discrete OFF: 08 50 57 52 20 4F 46 46 0D"_s,
               u"Video First Detected: 03 02 00 FF"_s, u"VGA Input Active: 0A 53 4F 55 52 43 45 20 31 30 0D"_s,
               u"Composite Input Active: 03 06 06 06"_s, u"S-Video Input Active: 02 16 16"_s,
               u"No Input Active: 06 53 4C 45 45 50 0D"_s }
        << QString();
}

void tst_Qx7mUpload::dryRunPrintsWhatTheWindowWouldSend()
{
    QFETCH(config::StoredConfiguration, file);
    QFETCH(QStringList, wireImage);
    QFETCH(QString, warning);

    const Run run = upload({ writeFile(file), u"--dry-run"_s });

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, wireImage.join(u'\n') + u'\n');
    QCOMPARE(run.err.contains(u"warning"_s), !warning.isEmpty());
    QVERIFY2(run.err.contains(warning), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(tst_Qx7mUpload)
#include "tst_qx7mupload.moc"
