#include "cli/arguments.h"
#include "cli/jsonreceipt.h"
#include "cli/resultline.h"
#include "cli/trialcommand.h"
#include "cli/uploadplan.h"
#include "cli/uploadrun.h"
#include "cli/wireimage.h"
#include "config/configurationfileformat.h"

#include "tests/support/fakeserialport.h"
#include "tests/support/hex.h"
#include "tests/support/sampleconfiguration.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
// The emulator needs a Linux pseudo-terminal: on Windows its cases are left out.
#ifndef Q_OS_WIN
#include "tests/support/devicesimulator.h"
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(config::StoredConfiguration)

namespace {

// The sample record as the window saves it with 19200 baud and a delay of 1 h 2 min 3 s.
config::StoredConfiguration sampleFile(const QString& minutes = u"2"_s)
{
    config::StoredConfiguration stored;
    stored.slots = sampleConfiguration().slots;
    stored.scanPriority = config::ScanPriority::Composite;
    stored.baudRateText = u"19200"_s;
    stored.hoursText = u"1"_s;
    stored.minutesText = minutes;
    stored.secondsText = u"3"_s;
    return stored;
}

// The box on the other end of the fake port, or no run at all.
enum class Box { Sound, NakToTheFirstSyn, PortMissing, CablePulledAtByte3, CablePulledAtByte4, NotRun };

} // namespace

Q_DECLARE_METATYPE(Box)

class tst_Qx7mUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
#ifndef Q_OS_WIN
    void fileIsProgrammedByteForByteWithItsJsonReceipt();
    void runIsToldWithItsExitCode_data();
    void runIsToldWithItsExitCode();
#endif
    void commandLineIsTakenOrRefused_data();
    void commandLineIsTakenOrRefused();
    void wireImageShowsTheBytesInUploadOrder();
    void runEndsInItsReceiptAndExitCode_data();
    void runEndsInItsReceiptAndExitCode();
    void trialEndsInItsReceiptAndExitCode_data();
    void trialEndsInItsReceiptAndExitCode();
};

#ifndef Q_OS_WIN
void tst_Qx7mUpload::fileIsProgrammedByteForByteWithItsJsonReceipt()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    QTemporaryDir folder;
    const QString path = folder.filePath(u"hall.qxc"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config::encodeConfigurationFile(sampleFile()).value()) > 0);
    file.close();
    // Standard error on a terminal gets the progress line; standard output on a pipe gets the receipt.
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
    // The bar is redrawn in place from 0 to 53 bytes, then blanked for the result line.
    const QByteArray last = "\r[" + QByteArray(30, '#') + "] 53 of 53 bytes";
    QVERIFY2(drawn.startsWith("\r[" + QByteArray(30, '.') + "] 0 of 53 bytes\r["), drawn.constData());
    QVERIFY2(drawn.endsWith(last + '\r' + QByteArray(last.size() - 1, ' ') + '\r'), drawn.constData());
    QJsonObject json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    const double seconds = json.take(u"seconds"_s).toDouble();
    QVERIFY2(seconds > 0.0 && seconds < 20.0, QJsonDocument(json).toJson().constData());
    QCOMPARE(json,
        (QJsonObject { { u"outcome"_s, u"programmed"_s }, { u"port"_s, simulator.devicePath() },
            { u"bytes_sent"_s, 53 }, { u"bytes_acknowledged"_s, 53 }, { u"warnings"_s, QJsonArray() } }));
}

void tst_Qx7mUpload::runIsToldWithItsExitCode_data()
{
    QTest::addColumn<config::StoredConfiguration>("stored");
    QTest::addColumn<QString>("arguments"); // as a shell takes them: $1 a configuration file, $2 its folder
    QTest::addColumn<QString>("output"); // "full" disk, "gone" reader, or a pipe read to the end
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("told"); // on standard error, $1 for the file's path

    const QByteArray notWritten = "qx7m-upload: the result could not be written to standard output: ";
    const config::StoredConfiguration sound = sampleFile();
    QTest::newRow("dry run to a full disk")
        << sound << u"\"$1\" --dry-run"_s << u"full"_s << 4 << notWritten + "No space left on device\n";
    QTest::newRow("dry run to a reader that has gone")
        << sound << u"\"$1\" --dry-run"_s << u"gone"_s << 4 << notWritten + "Broken pipe\n";
    QTest::newRow("help to a full disk") << sound << u"--help"_s << u"full"_s << 4
                                         << notWritten + "No space left on device\n";
    QTest::newRow("bad input keeps its code")
        << sound << u"missing.qxc --json --port 1"_s << u"full"_s << 2 << notWritten + "No space left on device\n";
    QTest::newRow("file name quoted as it stands, a terminal escape in it written out")
        << sound << u"\"$(printf 'a\\033[31m')\"'%1 %2 %3 %L1 %% [*]\".qxc' --dry-run"_s << QString() << 2
        << QByteArray("qx7m-upload: cannot read a\\x1b[31m%1 %2 %3 %L1 %% [*]\".qxc: error 53, File not found: "
                      "a\\x1b[31m%1 %2 %3 %L1 %% [*]\".qxc; nothing was sent.\n");
    // As file managers pass such a name.
    QTest::newRow("name that is not text, opened by its bytes")
        << sound << u"\"$2/$(printf 'caf\\351.qxc')\" --dry-run"_s << QString() << 0 << QByteArray();
    // What the fields' texts send is the upload preparation's; here what a script is told of them.
    config::StoredConfiguration noControl = sound;
    noControl.scanPriority = config::ScanPriority(7);
    noControl.baudRateText = u"38400"_s;
    QTest::newRow("a priority and a rate no control stands for")
        << noControl << u"\"$1\" --dry-run"_s << QString() << 0
        << QByteArray("qx7m-upload: warning: $1: the scan priority 7 is none of the four options; 7 is sent, as from "
                      "the window\nqx7m-upload: warning: $1: the projector baud rate \"38400\" is none of 2400, 4800, "
                      "9600, 19200 and 57600; 9600 is sent, as from the window\n");
    // The window would show its box and send 0 minutes; a script has nobody to read the box.
    QTest::newRow("delay text the window refuses, quoted as it stands")
        << sampleFile(u"%1 %2 %3 %L1 %% [*]\""_s) << u"\"$1\" --dry-run"_s << QString() << 2
        << QByteArray(
               "qx7m-upload: $1: the \"No Input Active\" delay's minutes text \"%1 %2 %3 %L1 %% [*]\"\" is not a "
               "number from 0 to 59 (the window would show \"Minutes Wrong\" and send 0 minutes); nothing was "
               "sent.\n");
    config::StoredConfiguration longSlot = sound;
    longSlot.slots[config::indexOf(config::SlotId::VgaInputActive)] = { QByteArray(31, 'v'), {}, 31 };
    QTest::newRow("string of 31 bytes")
        << longSlot << u"\"$1\" --port 1"_s << QString() << 2
        << QByteArray("qx7m-upload: $1: the \"VGA Input Active\" string is 31 bytes long; the QX-7M takes at most "
                      "30; nothing was sent.\n");
}

void tst_Qx7mUpload::runIsToldWithItsExitCode()
{
    QFETCH(QString, arguments);
    QFETCH(QString, output);
    QFETCH(QByteArray, told);
    QFETCH(config::StoredConfiguration, stored);
    QTemporaryDir folder;
    const QByteArray bytes = config::encodeConfigurationFile(stored).value();
    const QByteArray notText = QFile::encodeName(folder.path()) + "/caf\xe9.qxc";
    for (const QByteArray& name : { QFile::encodeName(folder.filePath(u"hall.qxc"_s)), notText }) {
        const int file = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(
            file >= 0 && ::write(file, bytes.constData(), size_t(bytes.size())) == bytes.size() && ::close(file) == 0);
    }
    int pipeEnds[2];
    QVERIFY(::pipe(pipeEnds) == 0);
    ::close(pipeEnds[0]);
    QProcess process;
    if (output == u"full"_s)
        process.setStandardOutputFile(u"/dev/full"_s);
    // As a shell starts it: a write into a pipe that nobody reads any more would end it at once.
    if (output == u"gone"_s) {
        process.setChildProcessModifier([&pipeEnds] {
            std::signal(SIGPIPE, SIG_DFL);
            ::dup2(pipeEnds[1], STDOUT_FILENO);
        });
    }
    process.start(u"sh"_s,
        { u"-c"_s, u"exec \"$0\" "_s + arguments, QString::fromLocal8Bit(QX7M_UPLOAD_PATH),
            folder.filePath(u"hall.qxc"_s), folder.path() });
    QVERIFY(process.waitForFinished());
    ::close(pipeEnds[1]);
    ::unlink(notText.constData());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QTEST(process.exitCode(), "exitCode");
    QCOMPARE(process.readAllStandardError(), told.replace("$1", QFile::encodeName(folder.filePath(u"hall.qxc"_s))));
}
#endif

void tst_Qx7mUpload::commandLineIsTakenOrRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("taken"); // file|port|json|dry run, or the refusal

    const QString help = u" (see qx7m-upload --help)"_s;
    QTest::newRow("dry run") << QStringList { u"--dry-run"_s, u"hall.qxc"_s } << u"hall.qxc||0|1"_s;
    QTest::newRow("unknown option") << QStringList { u"hall.qxc"_s, u"--port"_s, u"1"_s, u"--bogus"_s }
                                    << u"Unknown option 'bogus'"_s + help;
    QTest::newRow("no port") << QStringList { u"hall.qxc"_s }
                             << u"give the port with --port, or --dry-run to send nothing"_s + help;
    QTest::newRow("two files") << QStringList { u"a.qxc"_s, u"b.qxc"_s, u"--port"_s, u"1"_s }
                               << u"give exactly one configuration file"_s + help;
    QTest::newRow("an option as the port") << QStringList { u"hall.qxc"_s, u"--port"_s, u"--json"_s }
                                           << u"--port needs a value, but --json is an option"_s + help;
    QTest::newRow("an option twice") << QStringList { u"hall.qxc"_s, u"--port"_s, u"1"_s, u"--port=2"_s }
                                     << u"--port is given more than once"_s + help;
    QTest::newRow("a file whose name begins with a dash")
        << QStringList { u"-dash.qxc"_s, u"--port"_s, u"1"_s }
        << u"-dash.qxc is not an option; to give a file whose name begins with a dash, use ./-dash.qxc or -- "
           "-dash.qxc"_s
            + help;
    QTest::newRow("such a file after --")
        << QStringList { u"--port"_s, u"1"_s, u"--"_s, u"-dash.qxc"_s } << u"-dash.qxc|1|0|0"_s;
    QTest::newRow("dry run as JSON") << QStringList { u"hall.qxc"_s, u"--dry-run"_s, u"--json"_s }
                                     << u"--dry-run prints the bytes as text; it does not go with --json"_s + help;
}

void tst_Qx7mUpload::commandLineIsTakenOrRefused()
{
    QFETCH(QStringList, arguments);

    const cli::Arguments read = cli::readArguments(QStringList { u"qx7m-upload"_s } + arguments);
    QTEST(read.refusal.isEmpty()
            ? u"%1|%2|%3|%4"_s.arg(read.file, read.port, QString::number(read.json), QString::number(read.dryRun))
            : read.refusal,
        "taken");
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

void tst_Qx7mUpload::runEndsInItsReceiptAndExitCode_data()
{
    QTest::addColumn<Box>("box");
    QTest::addColumn<int>("exitCode"); // installers' scripts branch on it
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("json"); // $text: the text

    QTest::newRow("programmed")
        << Box::Sound << 0 << u"53 bytes uploaded in 0.1 s."_s
        << u"{'bytes_acknowledged':53,'bytes_sent':53,'outcome':'programmed','port':'/dev/ttyUSB0','seconds':0.053,"
           "'warnings':[]}"_s;
    QTest::newRow("wrong answer")
        << Box::NakToTheFirstSyn << 1
        << u"upload failed. Wrong answer to byte 1 of 53 (first SYN): 0x15 came instead of 0x06 (waited 6.0 s). "
           "Switch the QX-7M off and on again before the next try."_s
        << u"{'bytes_acknowledged':0,'bytes_sent':1,'expected':'06','failed_byte':1,'message':'$text','outcome':"
           "'no-answer','port':'/dev/ttyUSB0','received':'15','seconds':6,'warnings':[],'where':'first SYN'}"_s;
    QTest::newRow("bad input") << Box::NotRun << 2 << u"no port; nothing was sent."_s
                               << u"{'bytes_acknowledged':0,'bytes_sent':0,'expected':null,'failed_byte':null,"
                                  "'message':'$text','outcome':'bad-input','port':null,'received':null,'seconds':0,"
                                  "'warnings':[],'where':null}"_s;
    QTest::newRow("missing port")
        << Box::PortMissing << 3
        << u"not uploaded. Error 8002: There is no such serial port on this computer: /dev/ttyUSB0. Is the USB "
           "serial adapter plugged in?"_s
        << u"{'bytes_acknowledged':0,'bytes_sent':0,'expected':null,'failed_byte':null,'message':'$text','outcome':"
           "'port-error','port':'/dev/ttyUSB0','received':null,'seconds':0,'warnings':[],'where':null}"_s;
    // The port went away: no answer was awaited in vain, but the receipt tells the byte under way.
    // Until byte 3 is acknowledged the box has taken nothing in.
    QTest::newRow("cable pulled before the box took a byte in")
        << Box::CablePulledAtByte3 << 3
        << u"not uploaded. Error 8010: The connection to the serial port was lost: /dev/ttyUSB0. Is the USB serial "
           "adapter plugged in?"_s
        << u"{'bytes_acknowledged':2,'bytes_sent':3,'expected':null,'failed_byte':3,'message':'$text','outcome':"
           "'port-error','port':'/dev/ttyUSB0','received':null,'seconds':0.002,'warnings':[],'where':'projector "
           "baud rate, high byte'}"_s;
    QTest::newRow("cable pulled once the box took a byte in, port quoted as it stands")
        << Box::CablePulledAtByte4 << 3
        << u"upload failed at byte 4 of 53 (projector baud rate, low byte) after 0.0 s. Error 8010: The connection "
           "to the serial port was lost: /dev/%1 %2 %3 %L1 %% [*]. Is the USB serial adapter plugged in? The QX-7M "
           "acknowledged 3 of 53 bytes and may hold part of this programming: switch it off and on, then upload "
           "again."_s
        << u"{'bytes_acknowledged':3,'bytes_sent':4,'expected':null,'failed_byte':4,'message':'$text','outcome':"
           "'port-error','port':'/dev/%1 %2 %3 %L1 %% [*]','received':null,'seconds':0.003,'warnings':[],'where':"
           "'projector baud rate, low byte'}"_s;
}

void tst_Qx7mUpload::runEndsInItsReceiptAndExitCode()
{
    QFETCH(Box, box);
    QFETCH(QString, text);
    QFETCH(QString, json);

    FakeClock clock;
    clock.now = 5000; // the run is timed from its own start
    FakeSerialPort port(clock);
    int answered = 0;
    port.device = [&](quint8) {
        ++answered;
        if (box == Box::NakToTheFirstSyn)
            return answered == 1 ? "\x15"_ba : QByteArray();
        return answered == 2 ? "\xFF\x07"_ba : "\x06"_ba;
    };
    port.hangUpAfter = box == Box::CablePulledAtByte3 ? 3 : box == Box::CablePulledAtByte4 ? 4 : -1;
    const QString path = box == Box::CablePulledAtByte4 ? u"/dev/%1 %2 %3 %L1 %% [*]"_s : u"/dev/ttyUSB0"_s;
    if (box == Box::PortMissing)
        port.openErrors.append(platform::Error(platform::ErrorCode::SerialPortNotFound, path));
    cli::ProgressLine progress(false);
    cli::UploadReceipt receipt; // what the program reports for bad input, before any run
    receipt.problem = u"no port"_s;
    if (box != Box::NotRun)
        receipt = cli::runUpload(cli::planUpload(sampleFile()), path, port, clock, progress);
    QVERIFY(!port.isOpen());

    QTEST(int(receipt.outcome), "exitCode");
    QCOMPARE(cli::outcomeText(receipt), text);
    // One line of compact JSON; the quotes are written as ' above for legibility.
    QCOMPARE(QString::fromUtf8(cli::jsonReceipt(receipt)), json.replace(u'\'', u'"').replace(u"$text"_s, text) + u'\n');
    // "qx7m-upload: ..." for bad input, else "14:02:11, port /dev/ttyUSB0: ..."
    const QString line = cli::resultLine(receipt);
    if (receipt.outcome == cli::Outcome::BadInput)
        QCOMPARE(line, u"qx7m-upload: "_s + text);
    else
        QCOMPARE(line.mid(8), u", port "_s + receipt.port + u": "_s + text);
}

void tst_Qx7mUpload::trialEndsInItsReceiptAndExitCode_data()
{
    QTest::addColumn<QStringList>("arguments"); // after hall.qxc; only /dev/ttyUSB1 is there
    QTest::addColumn<QString>("rate"); // the file's baud text
    QTest::addColumn<QByteArray>("vga"); // the VGA Input Active string
    QTest::addColumn<qint64>("ctrlCAtMs"); // -1: never
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed"); // the JSON, ' for ", or the dry run's lines

    const auto refused = [](const QString& port, const QString& message) {
        return u"{'baud_rate':null,'message':'%1; nothing was sent.','outcome':'bad-input','port':'%2','reply_bytes':0,"
               "'reply_hex':'','reply_text':'','reply_truncated':false,'sent_hex':'','waits':[],'warnings':[]}"_s.arg(
                   message, port);
    };
    const QByteArray powerOnAfterOneSecond = "PWR\x1B\x00\x01ON\r"_ba;
    const QStringList vgaAsJson { u"--try"_s, u"1"_s, u"--json"_s, u"--port"_s };
    QTest::newRow("sent with a reply")
        << QStringList { u"--try"_s, u"VGA Input Active"_s, u"--json"_s, u"--port"_s, u"/dev/ttyUSB1"_s } << u"19200"_s
        << powerOnAfterOneSecond << qint64(-1) << 0
        << u"{'baud_rate':19200,'message':'sent 6 bytes at 19200 baud; the projector answered OK<CR>.','outcome':"
           "'sent','port':'/dev/ttyUSB1','reply_bytes':3,'reply_hex':'4F4B0D','reply_text':'OK<CR>',"
           "'reply_truncated':false,'sent_hex':'5057524F4E0D','waits':[1],'warnings':[]}"_s;
    // 40 bytes a millisecond from the "~" on, counted until the listening ends 2 s after it.
    QTest::newRow("a flood: 64 KiB kept, the rest counted to the end of the listening")
        << vgaAsJson + QStringList { u"/dev/ttyUSB1"_s } << u"19200"_s << "PWR\r~"_ba << qint64(-1) << 0
        << u"{'baud_rate':19200,'message':'sent 5 bytes at 19200 baud; the projector answered OK<CR>"_s
            + QString(65533, u'~')
            + u" ... and 14467 more bytes.','outcome':'sent','port':'/dev/ttyUSB1','reply_bytes':80003,'reply_hex':"
              "'4F4B0D"_s
            + u"7E"_s.repeated(65533) + u"','reply_text':'OK<CR>"_s + QString(65533, u'~')
            + u"','reply_truncated':true,'sent_hex':'5057520D7E','waits':[],'warnings':[]}"_s;
    QTest::newRow("Ctrl+C in the wait, at 9600 for a rate no control stands for")
        << vgaAsJson + QStringList { u"/dev/ttyUSB1"_s } << u"38400"_s << powerOnAfterOneSecond << qint64(500) << 130
        << u"{'baud_rate':9600,'message':'stopped by Ctrl+C after it sent 3 bytes at 9600 baud; the projector did not "
           "answer.','outcome':'stopped','port':'/dev/ttyUSB1','reply_bytes':0,'reply_hex':'','reply_text':'',"
           "'reply_truncated':false,'sent_hex':'505752',"
           "'waits':[1],'warnings':['the projector baud rate \\'38400\\' is none of 2400, 4800, 9600, 19200 and "
           "57600; 9600 is sent, as from the window']}"_s;
    QTest::newRow("missing port")
        << vgaAsJson + QStringList { u"/dev/ttyUSB9"_s } << u"19200"_s << powerOnAfterOneSecond << qint64(-1) << 3
        << u"{'baud_rate':19200,'message':'not sent. Error 8002: There is no such serial port "
           "on this computer: /dev/ttyUSB9. Is the USB serial adapter plugged in?','outcome':"
           "'port-error','port':'/dev/ttyUSB9','reply_bytes':0,'reply_hex':'','reply_text':'','reply_truncated':"
           "false,'sent_hex':'','waits':[],'warnings':[]}"_s;
    QTest::newRow("slot 8") << QStringList { u"--try"_s, u"8"_s, u"--json"_s, u"--port"_s, u"2"_s } << u"19200"_s
                            << powerOnAfterOneSecond << qint64(-1) << 2
                            << refused(u"2"_s,
                                   u"\\'8\\' is no slot; give its name as the window lists it (\\'VGA Input "
                                   "Active\\') or its number there, 1 to 7 (see qx7m-upload --help)"_s);
    QTest::newRow("listening out of range")
        << vgaAsJson + QStringList { u"2"_s, u"--listen"_s, u"30.5"_s } << u"19200"_s << powerOnAfterOneSecond
        << qint64(-1) << 2
        << refused(
               u"2"_s, u"--listen needs a number of seconds from 0.5 to 30, not \\'30.5\\' (see qx7m-upload --help)"_s);
    QTest::newRow("empty slot") << vgaAsJson + QStringList { u"2"_s } << u"19200"_s << QByteArray() << qint64(-1) << 2
                                << refused(u"2"_s, u"hall.qxc: the \\'VGA Input Active\\' string: nothing to send"_s);
    QTest::newRow("dry run")
        << QStringList { u"--try"_s, u"1"_s, u"--dry-run"_s, u"--skip-waits"_s, u"--listen"_s, u"0.75"_s } << u"57600"_s
        << "\x1B\xFF\x1B\xFFPWR\x1B\x00\x01ON\r"_ba << qint64(-1) << 0
        << u"projector link: 57600 baud, 8N1\nsend: 1B 1B 50 57 52\nwait: 1 s, skipped\nsend: 4F 4E "
           "0D\nlisten: 0.75 s"_s;
}

void tst_Qx7mUpload::trialEndsInItsReceiptAndExitCode()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, rate);
    QFETCH(QByteArray, vga);
    QFETCH(qint64, ctrlCAtMs);
    QFETCH(QString, printed);

    config::StoredConfiguration file = sampleFile();
    file.baudRateText = rate;
    file.slots[config::indexOf(config::SlotId::VgaInputActive)] = { vga, {}, quint8(vga.size()) };
    FakeClock clock;
    FakeSerialPort port(clock);
    port.device = [&](quint8 byte) {
        for (qint64 ms = 1; byte == '~' && ms <= 2500; ++ms)
            port.arriveAt(clock.now + ms, QByteArray(40, '~'));
        return byte == '\r' ? "OK\r"_ba : QByteArray();
    };
    const cli::Arguments read = cli::readArguments(QStringList { u"qx7m-upload"_s, u"hall.qxc"_s } + arguments);
    if (read.port != u"/dev/ttyUSB1"_s)
        port.openErrors.append(platform::Error(platform::ErrorCode::SerialPortNotFound, read.port));
    QStringList lines;
    const cli::TrialReceipt receipt = read.refusal.isEmpty()
        ? cli::tryString(
            read, file, port, clock, [&] { return ctrlCAtMs >= 0 && clock.now >= ctrlCAtMs; },
            [&](bool toOutput, const QString& line) { toOutput ? void(lines.append(line)) : void(); })
        : cli::trialRefusal(read.port, read.refusal);
    QVERIFY(!port.isOpen());
    // Bytes are left to gather: the port is looked at once every 5 ms at most, not as each one comes.
    QVERIFY(port.waits <= clock.now / 5);

    QTEST(int(receipt.outcome), "exitCode");
    if (read.dryRun) {
        QCOMPARE(lines.join(u'\n'), printed);
        QVERIFY(port.opened.isEmpty());
        return;
    }
    QCOMPARE(QString::fromUtf8(cli::trialJsonReceipt(receipt)), printed.replace(u'\'', u'"') + u'\n');
    QCOMPARE(port.openedRates, port.opened.isEmpty() ? QList<qint32>() : QList<qint32> { receipt.baudRate });
}

QTEST_GUILESS_MAIN(tst_Qx7mUpload)
#include "tst_qx7mupload.moc"
