#include "device/portselection.h"

#include "tests/device/fakeserialport.h"
#include "tests/support/scriptedprompts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using platform::ErrorCode;

Q_DECLARE_METATYPE(device::PortAnswer)

namespace {

using OpenFailures = QList<ErrorCode>;

QStringList sevenPorts()
{
    return { u"/dev/ttyUSB0"_s, u"/dev/ttyS5"_s, u"/dev/ttyS4"_s, u"/dev/ttyS3"_s, u"/dev/ttyS2"_s, u"/dev/ttyS1"_s,
        u"/dev/ttyS0"_s };
}

} // namespace

class tst_PortSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portIsAskedForAndTriedOnce_data();
    void portIsAskedForAndTriedOnce();
};

void tst_PortSelection::portIsAskedForAndTriedOnce_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<OpenFailures>("failures");
    // The boxes after each answer: "busy" for the one box of a port not available, or "number|description"
    // for the two boxes of an error report.
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<device::PortAnswer>("outcome");
    QTest::addColumn<QStringList>("opened");

    const auto given = device::PortAnswer::Given;
    QTest::newRow("initial answer taken") << u"1"_s << QStringList { u"1"_s } << OpenFailures {} << QStringList {}
                                          << given << QStringList { u"/dev/ttyS0"_s };
    QTest::newRow("cancel ends at once") << u"1"_s << QStringList { QString() } << OpenFailures {} << QStringList {}
                                         << device::PortAnswer::Empty << QStringList {};
    QTest::newRow("busy port asked again with the same initial text")
        << u"/dev/pts/3"_s << QStringList { u"/dev/pts/3"_s, u"2"_s } << OpenFailures { ErrorCode::PortAlreadyOpen }
        << QStringList { u"busy"_s } << given << QStringList { u"/dev/pts/3"_s, u"/dev/ttyS1"_s };
    QTest::newRow("port that did not open asked again")
        << u"1"_s << QStringList { u"1"_s, u"1"_s } << OpenFailures { ErrorCode::PortNotOpen }
        << QStringList { u"busy"_s } << given << QStringList { u"/dev/ttyS0"_s, u"/dev/ttyS0"_s };
    QTest::newRow("port not permitted reported and asked again")
        << u"1"_s << QStringList { u"1"_s, u"3"_s } << OpenFailures { ErrorCode::PermissionDenied }
        << QStringList { u"70|Permission denied: 1"_s } << given << QStringList { u"/dev/ttyS0"_s, u"/dev/ttyS2"_s };
    QTest::newRow("a name, not a number, reported and kept")
        << u"1"_s << QStringList { u"COM2"_s } << OpenFailures {}
        << QStringList { u"8002|There is no such serial port on this computer: \"COM2\" names no port; this computer "
                         "lists 7 serial ports"_s }
        << given << QStringList {};
    QTest::newRow("missing device reported and kept")
        << u"1"_s << QStringList { u"/dev/ttyUSB9"_s } << OpenFailures { ErrorCode::SerialPortNotFound }
        << QStringList { u"8002|There is no such serial port on this computer: /dev/ttyUSB9"_s } << given
        << QStringList { u"/dev/ttyUSB9"_s };
    QTest::newRow("a port above five that opens is taken without a box")
        << u"1"_s << QStringList { u"7"_s } << OpenFailures {} << QStringList {} << given
        << QStringList { u"/dev/ttyUSB0"_s };
}

void tst_PortSelection::portIsAskedForAndTriedOnce()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, answers);
    QFETCH(OpenFailures, failures);
    QFETCH(QStringList, boxes);
    QFETCH(device::PortAnswer, outcome);
    QFETCH(QStringList, opened);

    const QStringList choices { u"1 - ttyS0"_s, u"7 - ttyUSB0, FT232R USB UART"_s };
    testsupport::ScriptedPrompts prompts;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        prompts.expectTextInput(u"Which com port will the QX-7M be connected to for programming?"_s,
            u"Com port selection"_s, initial, answers.at(i), choices);
        if (i >= boxes.size())
            continue;
        if (boxes.at(i) == u"busy"_s) {
            prompts.expectMessage(u"Port not available, please free up the selected port"_s, u"Comm Port Error"_s);
        } else {
            prompts.expectMessage(u"Error Number:  "_s + boxes.at(i).section(u'|', 0, 0));
            prompts.expectMessage(u"error msg: "_s + boxes.at(i).section(u'|', 1));
        }
    }
    FakeClock clock;
    FakeSerialPort port(clock);
    for (const ErrorCode failure : failures)
        port.openErrors.append(platform::Error(failure, answers.constFirst()));
    device::PortDeviceChoice deviceChoice(sevenPorts);
    config::Configuration configuration;

    QCOMPARE(device::askForPort({ prompts, port, deviceChoice, initial, choices }, configuration), outcome);
    QCOMPARE(prompts.problems(), QStringList());
    QCOMPARE(configuration.comm_port, answers.constLast());
    QCOMPARE(port.opened, opened);
    QVERIFY(!port.isOpen());
}

QTEST_GUILESS_MAIN(tst_PortSelection)
#include "tst_portselection.moc"
