#include "cli/jsonreceipt.h"
#include "cli/resultline.h"
#include "cli/uploadplan.h"
#include "cli/uploadrun.h"
#include "cli/wireimage.h"
#include "config/configurationfileformat.h"

#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"
#include "tests/support/sampleconfiguration.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using cli::Outcome;

Q_DECLARE_METATYPE(config::StoredConfiguration)
Q_DECLARE_METATYPE(cli::UploadReceipt)

namespace {

const QString kSwitchOffAndOn = u" Switch the QX-7M off and on again before the next try."_s;

// The sample record as the window saves it with 19200 baud and a delay of 1 h 2 min 3 s.
config::StoredConfiguration sampleFile(const QString& hours = u"1"_s, const QString& minutes = u"2"_s)
{
    config::StoredConfiguration stored;
    stored.slots = sampleConfiguration().slots;
    stored.scanPriority = config::ScanPriority::Composite;
    stored.baudRateText = u"19200"_s;
    stored.hoursText = hours;
    stored.minutesText = minutes;
    stored.secondsText = u"3"_s;
    return stored;
}

cli::UploadReceipt receipt(Outcome outcome, const QString& port, int sent, int acknowledged, qint64 ms,
    std::optional<device::UploadStop> stop = {}, const QString& problem = {})
{
    return { outcome, port, sent, acknowledged, ms, std::move(stop), problem };
}

} // namespace

class tst_Qx7mUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileIsProgrammedByteForByteWithProgressAndReceipt();
    void runsThatSendNothingEndWithTheirExitCode_data();
    void runsThatSendNothingEndWithTheirExitCode();
    void planRefusesOrWarnsAsTheWindowWouldNot_data();
    void planRefusesOrWarnsAsTheWindowWouldNot();
    void wireImageShowsTheBytesInUploadOrder();
    void receiptTellsTheOutcomeInWordsAndJson_data();
    void receiptTellsTheOutcomeInWordsAndJson();
    void failedRunTellsTheByteUnderWay_data();
    void failedRunTellsTheByteUnderWay();

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

void tst_Qx7mUpload::fileIsProgrammedByteForByteWithProgressAndReceipt()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    const QString path = writeFile(sampleFile());
    const QDateTime written = QFileInfo(path).lastModified();
    // Standard error on a terminal gets the progress bar; standard output on a pipe gets the receipt.
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    QProcess process;
    process.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(terminal)));
    process.start(QString::fromLocal8Bit(QX7M_UPLOAD_PATH), { path, u"--port"_s, simulator.devicePath(), u"--json"_s });
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
    QCOMPARE(simulator.waitForReport(5000).value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    QJsonObject json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QVERIFY2(json.take(u"seconds"_s).toDouble() > 0.0, QJsonDocument(json).toJson().constData());
    QCOMPARE(json,
        (QJsonObject { { u"outcome"_s, u"programmed"_s }, { u"port"_s, simulator.devicePath() },
            { u"bytes_sent"_s, 53 }, { u"bytes_acknowledged"_s, 53 } }));
    const QByteArray last = "\r[" + QByteArray(30, '#') + "] 53 of 53 bytes";
    QVERIFY2(drawn.startsWith("\r[" + QByteArray(30, '.') + "] 0 of 53 bytes\r[") && drawn.contains("] 21 of 53 bytes"),
        drawn.constData());
    QVERIFY2(drawn.endsWith(last + '\r' + QByteArray(last.size() - 1, ' ') + '\r'), drawn.constData());
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void tst_Qx7mUpload::runsThatSendNothingEndWithTheirExitCode_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: a file of the sample record with these delay texts
    QTest::addColumn<QStringList>("delay");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answer"); // standard output, then standard error

    const QStringList sample { u"1"_s, u"2"_s };
    const QString refusal = u"^qx7m-upload: %1 \\(see qx7m-upload --help\\); nothing was sent\\.\n$"_s;
    QTest::newRow("unknown option") << QStringList { u"%1"_s, u"--port"_s, u"1"_s, u"--bogus"_s } << sample << 2
                                    << refusal.arg(u"Unknown option 'bogus'"_s);
    QTest::newRow("no port") << QStringList { u"%1"_s } << sample << 2
                             << refusal.arg(u"give the port with --port, or --dry-run to send nothing"_s);
    // The help tells where the tool departs from the window, and what each exit code means.
    QTest::newRow("help") << QStringList { u"--help"_s } << sample << 0
                          << u"FILE\n.*\"Minutes Wrong\".*\n  1  .*\n  2  .*delay text out of range\n  3  "_s;
    // Opened, the missing port would give exit code 3.
    QTest::newRow("delay out of range before the port")
        << QStringList { u"%1"_s, u"--port"_s, u"/dev/qx7m-no-such-port"_s } << QStringList { u"1"_s, u"60"_s } << 2
        << u"^qx7m-upload: [^ ]*hall.qxc: the \"No Input Active\" delay's minutes text \"60\" is not a number from 0 "
           "to 59 \\(the window would show \"Minutes Wrong\" and send 0 minutes\\); nothing was sent\\.\n$"_s;
    QTest::newRow("missing port as JSON")
        << QStringList { u"%1"_s, u"--port"_s, u"/dev/qx7m-no-such-port"_s, u"--json"_s } << sample << 3
        << u"^\\{\"bytes_acknowledged\":0,\"bytes_sent\":0,\"expected\":null,\"failed_byte\":null,\"message\":\"not "
           "uploaded\\. Error 8002: [^\"]*\",\"outcome\":\"port-error\",\"port\":\"/dev/qx7m-no-such-port\","
           "\"received\":null,\"seconds\":0,\"where\":null\\}\n$"_s;
    QTest::newRow("dry run")
        << QStringList { u"%1"_s, u"--dry-run"_s } << QStringList { u"0-16"_s, u"0-59"_s } << 0
        << u"^handshake: 16 16\nsettings: 4B 00 02 00 03\nDiscrete ON: 07 50 57 52 20 4F 4E 0D\n"_s;
}

void tst_Qx7mUpload::runsThatSendNothingEndWithTheirExitCode()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, delay);
    QFETCH(int, exitCode);
    QFETCH(QString, answer);

    const QString path = writeFile(sampleFile(delay.at(0), delay.at(1)));
    for (QString& argument : arguments)
        argument.replace(u"%1"_s, path);
    QProcess process;
    process.setWorkingDirectory(m_folder.path());
    process.start(QString::fromLocal8Bit(QX7M_UPLOAD_PATH), arguments);
    QVERIFY(process.waitForFinished(20000));
    const QString said = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(
        said.contains(QRegularExpression(answer, QRegularExpression::DotMatchesEverythingOption)), qPrintable(said));
}

void tst_Qx7mUpload::planRefusesOrWarnsAsTheWindowWouldNot_data()
{
    QTest::addColumn<config::StoredConfiguration>("file");
    QTest::addColumn<int>("delay"); // the two delay bytes as one number
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("warning");

    QTest::newRow("as saved") << sampleFile() << 0x0E8B << QString() << QString();
    config::StoredConfiguration hints = sampleFile(u"0-16"_s, QString());
    hints.secondsText = u"0-59"_s;
    hints.baudRateText = u"38400"_s;
    QTest::newRow("hints and empty as 0, 0 seconds as 1, an unknown rate as 9600")
        << hints << 1 << QString()
        << u"the projector baud rate \"38400\" is none of 2400, 4800, 9600, 19200 and 57600; 9600 is sent, as from "
           "the window"_s;
    config::StoredConfiguration longSlot = sampleFile();
    longSlot.slots[config::indexOf(config::SlotId::VgaInputActive)] = { QByteArray(31, 'v'), {}, 31 };
    QTest::newRow("string of 31 bytes")
        << longSlot << 0 << u"the \"VGA Input Active\" string is 31 bytes long; the QX-7M takes at most 30"_s
        << QString();
}

void tst_Qx7mUpload::planRefusesOrWarnsAsTheWindowWouldNot()
{
    QFETCH(config::StoredConfiguration, file);
    QFETCH(int, delay);
    QFETCH(QString, refusal);
    QFETCH(QString, warning);

    const cli::UploadPlan plan = cli::planUpload(file);
    QCOMPARE(plan.refusal, refusal);
    QCOMPARE(plan.warning, warning);
    if (refusal.isEmpty())
        QCOMPARE(plan.delay.high * 256 + plan.delay.low, delay);
}

void tst_Qx7mUpload::wireImageShowsTheBytesInUploadOrder()
{
    const QStringList lines = cli::wireImageLines(sampleConfiguration(), { 0x0E, 0x8B });
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.at(2), u"Discrete ON: 07 50 57 52 20 4F 4E 0D"_s);
    QString bytes;
    for (const QString& line : lines)
        bytes += line.section(u": "_s, 1).remove(u' ');
    QCOMPARE(bytes, testsupport::hex(kSampleWireImage));
}

void tst_Qx7mUpload::receiptTellsTheOutcomeInWordsAndJson_data()
{
    QTest::addColumn<cli::UploadReceipt>("receipt");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("json"); // %1: the text

    const QString port = u"/dev/ttyUSB0"_s;
    QTest::newRow("programmed")
        << receipt(Outcome::Programmed, port, 53, 53, 400) << u"53 bytes uploaded in 0.4 s."_s
        << u"{'bytes_acknowledged':53,'bytes_sent':53,'outcome':'programmed','port':'/dev/ttyUSB0','seconds':0.4}"_s;
    QTest::newRow("0xFF without 0x07")
        << receipt(Outcome::NoAnswer, port, 2, 1, 6100, device::UploadStop { 2, 53, u"second SYN"_s, 0x07, {}, 6000 })
        << u"upload failed. Second SYN: 0xFF came, 0x07 did not (byte 2 of 53, waited 6.0 s)."_s + kSwitchOffAndOn
        << u"{'bytes_acknowledged':1,'bytes_sent':2,'expected':'07','failed_byte':2,'message':'%1','outcome':"
           "'no-answer','port':'/dev/ttyUSB0','received':null,'seconds':6.1,'where':'second SYN'}"_s;
    QTest::newRow("wrong answer")
        << receipt(Outcome::NoAnswer, port, 7, 6, 6000,
               device::UploadStop { 7, 53, u"delay, low byte"_s, 0x06, quint8(0x15), 5900 })
        << u"upload failed. Wrong answer to byte 7 of 53 (delay, low byte): 0x15 came instead of 0x06 (waited 5.9 s)."_s
            + kSwitchOffAndOn
        << u"{'bytes_acknowledged':6,'bytes_sent':7,'expected':'06','failed_byte':7,'message':'%1','outcome':"
           "'no-answer','port':'/dev/ttyUSB0','received':'15','seconds':6,'where':'delay, low byte'}"_s;
    // A port that went away had no answer awaited.
    QTest::newRow("cable pulled in a string")
        << receipt(Outcome::PortError, port, 21, 20, 1234,
               device::UploadStop { 21, 53, u"Discrete OFF string"_s, 0x06, quint8(0x15) }, u"Error 8010: lost"_s)
        << u"upload failed at byte 21 of 53 (Discrete OFF string) after 1.2 s. Error 8010: lost."_s + kSwitchOffAndOn
        << u"{'bytes_acknowledged':20,'bytes_sent':21,'expected':null,'failed_byte':21,'message':'%1','outcome':"
           "'port-error','port':'/dev/ttyUSB0','received':null,'seconds':1.234,'where':'Discrete OFF string'}"_s;
}

void tst_Qx7mUpload::receiptTellsTheOutcomeInWordsAndJson()
{
    QFETCH(cli::UploadReceipt, receipt);
    QFETCH(QString, text);
    QFETCH(QString, json);

    QCOMPARE(cli::outcomeText(receipt), text);
    // One line of compact JSON; the quotes are written as ' above for legibility.
    QCOMPARE(QString::fromUtf8(cli::jsonReceipt(receipt)), json.replace(u'\'', u'"').replace(u"%1"_s, text) + u'\n');
    // "14:02:11, port /dev/ttyUSB0: ..."
    QCOMPARE(cli::resultLine(receipt).mid(8), u", port "_s + receipt.port + u": "_s + text);
}

void tst_Qx7mUpload::failedRunTellsTheByteUnderWay_data()
{
    QTest::addColumn<QStringList>("box"); // the emulator's options
    QTest::addColumn<QString>("port"); // empty: the emulator's
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("failedByte");
    QTest::addColumn<QString>("problem");

    QTest::newRow("0xFF without 0x07") << QStringList { u"--ff-only"_s } << QString() << Outcome::NoAnswer << 2
                                       << QString();
    // Whether byte 21 still went out before the cable was gone is the system's to decide.
    QTest::newRow("cable pulled in a string")
        << QStringList { u"--hang-up-after"_s, u"20"_s } << QString() << Outcome::PortError << 21
        << u"Error 8010: The connection to the serial port was lost: "_s;
}

void tst_Qx7mUpload::failedRunTellsTheByteUnderWay()
{
    QFETCH(QStringList, box);
    QFETCH(QString, port);
    QFETCH(Outcome, outcome);
    QFETCH(int, failedByte);
    QFETCH(QString, problem);

    testsupport::DeviceSimulator simulator(box);
    QVERIFY(simulator.start());
    cli::ProgressLine progress(false);
    const cli::UploadReceipt run
        = cli::runUpload(cli::planUpload(sampleFile()), port.isEmpty() ? simulator.devicePath() : port, progress);
    QCOMPARE(run.outcome, outcome);
    QCOMPARE(run.port, port.isEmpty() ? simulator.devicePath() : port);
    QVERIFY2(run.problem.startsWith(problem), qPrintable(run.problem));
    QCOMPARE(run.stop ? run.stop->byteNumber : 0, failedByte);
    QCOMPARE(run.bytesAcknowledged, qMax(failedByte - 1, 0));
    QVERIFY(run.bytesSent == failedByte || run.bytesSent == failedByte - 1);
    if (failedByte == 21)
        QCOMPARE(run.stop->what, u"Discrete OFF string, character 5 of 8"_s);
}

QTEST_GUILESS_MAIN(tst_Qx7mUpload)
#include "tst_qx7mupload.moc"
