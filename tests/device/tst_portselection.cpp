#include "tests/support/fakeserialport.h"
#include "tests/support/scriptedprompts.h"

#include "device/linkerrorreport.h"
#include "device/portselection.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::PortNaming;
using platform::ErrorCode;

namespace {

using Listing = QList<platform::ListedSerialPort>;
using OpenFailures = QList<ErrorCode>;

QStringList portsListedNow;
QStringList listedNow() { return portsListedNow; }

// The boxes of one error report: "busy" for the plain box of a port in use, else "number|description".
void expectReport(testsupport::ScriptedPrompts& prompts, const QString& report)
{
    if (report == u"busy"_s) {
        prompts.expectMessage(u"Port not available, please free up the selected port"_s, u"Comm Port Error"_s);
        return;
    }
    prompts.expectMessage(u"Error Number:  "_s + report.section(u'|', 0, 0), u"QX-7M Programmer"_s);
    prompts.expectMessage(u"error msg: "_s + report.section(u'|', 1), u"QX-7M Programmer"_s);
}

} // namespace

Q_DECLARE_METATYPE(PortNaming)
Q_DECLARE_METATYPE(ErrorCode)
Q_DECLARE_METATYPE(device::PortAnswer)
Q_DECLARE_METATYPE(Listing)

class tst_PortSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answerNamesADevice_data();
    void answerNamesADevice();
    void choiceItemsAnswerWithTheirOwnPort_data();
    void choiceItemsAnswerWithTheirOwnPort();
    void answerKeepsTheDeviceItNamedFirst();
    void everyErrorIsToldByItsNumberOrAsABusyPort();
    void portIsAskedForAndTriedOnce_data();
    void portIsAskedForAndTriedOnce();
};

void tst_PortSelection::answerNamesADevice_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("device"); // empty: names no port

    // With Windows' names; the listed ports' answers are the device choice's table.
    QTest::newRow("half rounds to zero") << u"0.5"_s << QString();
    QTest::newRow("name as it stands") << u"com3"_s << u"com3"_s;
    QTest::newRow("device path") << u"\\\\.\\COM3"_s << u"\\\\.\\COM3"_s;
    QTest::newRow("COM without a number") << u"COM"_s << QString();
}

void tst_PortSelection::answerNamesADevice()
{
    QFETCH(QString, answer);
    QFETCH(QString, device);

    const auto result = device::serialDeviceForAnswer(answer, PortNaming::WindowsComNames, {});
    const QString noPort = u"There is no such serial port on this computer: \""_s + answer
        + u"\" names no port. Is the USB serial adapter plugged in?"_s;
    QCOMPARE(result ? result.value() : result.error().description(), device.isEmpty() ? noPort : device);
    QCOMPARE(result ? 0 : result.error().number(), device.isEmpty() ? 8002 : 0);
}

void tst_PortSelection::choiceItemsAnswerWithTheirOwnPort_data()
{
    QTest::addColumn<PortNaming>("naming");
    QTest::addColumn<Listing>("listed");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("firstAdapter"); // the port question's first answer

    QTest::newRow("numbered by kind, then by number")
        << PortNaming::ListedPorts
        << Listing { { u"/dev/ttyUSB0"_s, u"ttyUSB0"_s, u"FT232R USB UART"_s }, { u"/dev/ttyS11"_s, u"ttyS11"_s, {} },
               { u"/dev/ttyS10"_s, u"ttyS10"_s, {} }, { u"/dev/ttyS9"_s, u"ttyS9"_s, {} } }
        << QStringList { u"1 - ttyS9"_s, u"2 - ttyS10"_s, u"3 - ttyS11"_s, u"4 - ttyUSB0, FT232R USB UART"_s }
        << u"4"_s;
    QTest::newRow("a slash in a description would make the item a path")
        << PortNaming::ListedPorts << Listing { { u"/dev/ttyACM0"_s, u"ttyACM0"_s, u"RS-232/485 bridge"_s } }
        << QStringList { u"1 - ttyACM0, RS-232-485 bridge"_s } << u"1"_s;
    QTest::newRow("windows numbers by COM name")
        << PortNaming::WindowsComNames
        << Listing { { u"\\\\.\\COM12"_s, u"COM12"_s, {} }, { u"\\\\.\\COM3"_s, u"COM3"_s, u"USB Serial Port"_s } }
        << QStringList { u"3 - COM3, USB Serial Port"_s, u"12 - COM12"_s } << u"3"_s;
    QTest::newRow("no adapter") << PortNaming::ListedPorts << Listing { { u"/dev/ttyS1"_s, u"ttyS1"_s, {} } }
                                << QStringList { u"1 - ttyS1"_s } << u"1"_s;
}

void tst_PortSelection::choiceItemsAnswerWithTheirOwnPort()
{
    QFETCH(PortNaming, naming);
    QFETCH(Listing, listed);
    QFETCH(QStringList, items);

    QCOMPARE(device::portChoiceItems(naming, listed), items);
    QTEST(device::firstAdapterAnswer(naming, listed), "firstAdapter");
    QStringList locations;
    for (const platform::ListedSerialPort& port : listed)
        locations.append(port.location);
    for (const QString& item : items) {
        const auto named = device::serialDeviceForAnswer(item, naming, locations);
        const QString portName = item.section(u" - "_s, 1).section(u", "_s, 0, 0);
        QCOMPARE(
            named ? named.value() : QString(), naming == PortNaming::ListedPorts ? u"/dev/"_s + portName : portName);
    }
}

void tst_PortSelection::answerKeepsTheDeviceItNamedFirst()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names COMN for every number N: no listed port to keep");
#endif
    portsListedNow = { u"/dev/ttyUSB0"_s };
    device::PortDeviceChoice choice(listedNow);
    const auto noPort = [&choice](const QString& answer, const QString& listed) {
        const auto named = choice.deviceFor(answer);
        QCOMPARE(named ? 0 : named.error().number(), 8002);
        QCOMPARE(named.error().description(),
            u"There is no such serial port on this computer: \""_s + answer
                + u"\" names no port; this computer lists "_s + listed + u". Is the USB serial adapter plugged in?"_s);
    };
    noPort(u"2"_s, u"1 serial port"_s);
    // An answer that named no port is looked up again once an adapter is plugged in.
    portsListedNow.prepend(u"/dev/ttyACM0"_s);
    QCOMPARE(choice.deviceFor(u"2"_s).value(), u"/dev/ttyUSB0"_s);
    // Another adapter numbers before the first one; the answer keeps its device until forgotten.
    portsListedNow.append(u"/dev/ttyACM1"_s);
    QCOMPARE(choice.deviceFor(u"2"_s).value(), u"/dev/ttyUSB0"_s);
    choice.forget();
    QCOMPARE(choice.deviceFor(u"2"_s).value(), u"/dev/ttyACM1"_s);
    QCOMPARE(choice.deviceFor(u"/dev/pts/4"_s).value(), u"/dev/pts/4"_s);
    QCOMPARE(choice.deviceFor(u"1/../../dev/ttyACM0"_s).value(), u"1/../../dev/ttyACM0"_s);
    // Which number picks which port is the choice items' table.
    for (const QString& answer : { u"0"_s, u"4"_s, u"COM2"_s })
        noPort(answer, u"3 serial ports"_s);
}

void tst_PortSelection::everyErrorIsToldByItsNumberOrAsABusyPort()
{
    // Support staff learn these numbers. A port held elsewhere or not opened gets one plain box instead.
    const std::pair<ErrorCode, int> numbers[] { { ErrorCode::CommandStringTooLong, 5 }, { ErrorCode::Overflow, 6 },
        { ErrorCode::CountNotANumber, 13 }, { ErrorCode::FileNotFound, 53 }, { ErrorCode::FileCannotBeRead, 57 },
        { ErrorCode::FileEndsEarly, 62 }, { ErrorCode::CountDoesNotFit, 63 }, { ErrorCode::PermissionDenied, 70 },
        { ErrorCode::FileCannotBeCreated, 75 }, { ErrorCode::FileSizeNotValid, 321 },
        { ErrorCode::SerialPortNotFound, 8002 }, { ErrorCode::PortAlreadyOpen, 8005 },
        { ErrorCode::SerialLinkLost, 8010 }, { ErrorCode::PortNotOpen, 8012 }, { ErrorCode::PortTookNoBytes, 8019 } };
    for (const auto& [code, number] : numbers) {
        const platform::Error error(code, u"/dev/ttyUSB0"_s);
        QCOMPARE(error.number(), number);
        const bool busy = number == 8005 || number == 8012;
        testsupport::ScriptedPrompts prompts;
        expectReport(prompts, busy ? u"busy"_s : QString::number(number) + u'|' + error.description());
        QCOMPARE(device::reportLinkError(prompts, error) == device::LinkErrorReport::PortNotAvailable, busy);
        QCOMPARE(prompts.problems(), QStringList());
    }
}

void tst_PortSelection::portIsAskedForAndTriedOnce_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<OpenFailures>("failures");
    QTest::addColumn<QStringList>("reports"); // after each answer, as expectReport takes them
    QTest::addColumn<device::PortAnswer>("outcome");
    QTest::addColumn<QStringList>("opened");

    const auto given = device::PortAnswer::Given;
    QTest::newRow("initial answer taken")
        << QStringList { u"1"_s } << OpenFailures {} << QStringList {} << given << QStringList { u"/dev/ttyS0"_s };
    QTest::newRow("cancel ends at once") << QStringList { QString() } << OpenFailures {} << QStringList {}
                                         << device::PortAnswer::Empty << QStringList {};
    QTest::newRow("busy port asked again")
        << QStringList { u"/dev/pts/3"_s, u"2"_s } << OpenFailures { ErrorCode::PortAlreadyOpen }
        << QStringList { u"busy"_s } << given << QStringList { u"/dev/pts/3"_s, u"/dev/ttyS1"_s };
    QTest::newRow("port not permitted reported and asked again")
        << QStringList { u"1"_s, u"3"_s } << OpenFailures { ErrorCode::PermissionDenied }
        << QStringList { u"70|Permission denied: 1"_s } << given << QStringList { u"/dev/ttyS0"_s, u"/dev/ttyS2"_s };
    QTest::newRow("no serial port reported and asked again")
        << QStringList { u"/dev/null"_s, u"1"_s } << OpenFailures { ErrorCode::NotASerialPort }
        << QStringList { u"8015|This is not a serial port: /dev/null"_s } << given
        << QStringList { u"/dev/null"_s, u"/dev/ttyS0"_s };
    QTest::newRow("missing device reported and kept")
        << QStringList { u"/dev/ttyUSB9"_s } << OpenFailures { ErrorCode::SerialPortNotFound }
        << QStringList { u"8002|There is no such serial port on this computer: /dev/ttyUSB9. Is the USB serial adapter "
                         "plugged in?"_s }
        << device::PortAnswer::Failed << QStringList { u"/dev/ttyUSB9"_s };
}

void tst_PortSelection::portIsAskedForAndTriedOnce()
{
    QFETCH(QStringList, answers);
    QFETCH(OpenFailures, failures);
    QFETCH(QStringList, reports);
    QFETCH(QStringList, opened);
#ifdef Q_OS_WIN
    // Windows names the port of a number itself: 1 is COM1, whatever the system lists.
    for (QString& device : opened) {
        if (device.startsWith(u"/dev/ttyS"_s))
            device = u"COM"_s + QString::number(device.mid(9).toInt() + 1);
    }
#endif

    // The question opens with the same initial text each time it is asked.
    const QStringList choices { u"1 - ttyS0"_s, u"7 - ttyUSB0, FT232R USB UART"_s };
    testsupport::ScriptedPrompts prompts;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        prompts.expectTextInput(u"Which com port will the QX-7M be connected to for programming?"_s,
            u"Com port selection"_s, u"/dev/pts/3"_s, answers.at(i), choices);
        if (i < reports.size())
            expectReport(prompts, reports.at(i));
    }
    FakeClock clock;
    FakeSerialPort port(clock);
    for (const ErrorCode failure : failures)
        port.openErrors.append(platform::Error(failure, answers.constFirst()));
    portsListedNow = { u"/dev/ttyUSB0"_s, u"/dev/ttyS5"_s, u"/dev/ttyS4"_s, u"/dev/ttyS3"_s, u"/dev/ttyS2"_s,
        u"/dev/ttyS1"_s, u"/dev/ttyS0"_s };
    device::PortDeviceChoice deviceChoice(listedNow);
    config::Configuration configuration;

    QTEST(device::askForPort({ prompts, port, deviceChoice, u"/dev/pts/3"_s, choices }, configuration), "outcome");
    QCOMPARE(prompts.problems(), QStringList());
    QCOMPARE(configuration.commPort, answers.constLast());
    QCOMPARE(port.opened, opened);
    QVERIFY(!port.isOpen());
}

QTEST_GUILESS_MAIN(tst_PortSelection)
#include "tst_portselection.moc"
