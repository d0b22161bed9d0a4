#include "device/portdevicename.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::PortNaming;

Q_DECLARE_METATYPE(PortNaming)

class tst_PortDeviceName : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answerNamesADevice_data();
    void answerNamesADevice();
    void choiceItemsAnswerWithTheirOwnPort_data();
    void choiceItemsAnswerWithTheirOwnPort();
    void answerKeepsTheDeviceItNamedFirst();
};

void tst_PortDeviceName::answerNamesADevice_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<PortNaming>("naming");
    QTest::addColumn<QString>("device");

    const PortNaming listed = PortNaming::ListedPorts;
    const PortNaming windows = PortNaming::WindowsComNames;
    // The system lists /dev/ttyUSB0, /dev/ttyS10, /dev/ttyS9, /dev/ttyS0, /dev/ttyACM0: numbered by kind, then
    // by number.
    QTest::newRow("first port by kind") << u"1"_s << listed << u"/dev/ttyACM0"_s;
    QTest::newRow("ttyS0 first of its kind") << u"2"_s << listed << u"/dev/ttyS0"_s;
    QTest::newRow("ttyS9 before ttyS10") << u"3"_s << listed << u"/dev/ttyS9"_s;
    QTest::newRow("blanks and a fraction") << u" 4.0"_s << listed << u"/dev/ttyS10"_s;
    QTest::newRow("half rounds to even, down") << u"4.5"_s << listed << u"/dev/ttyS10"_s;
    QTest::newRow("half rounds to even, up") << u"3.5"_s << listed << u"/dev/ttyS10"_s;
    QTest::newRow("last port") << u"5"_s << listed << u"/dev/ttyUSB0"_s;
    QTest::newRow("beyond the listed ports") << u"6"_s << listed << QString();
    QTest::newRow("zero") << u"0"_s << listed << QString();
    QTest::newRow("a name, not a number") << u"COM2"_s << listed << QString();
    QTest::newRow("huge") << u"1e300"_s << listed << QString();
    QTest::newRow("device path as it stands") << u"/dev/pts/7"_s << listed << u"/dev/pts/7"_s;
    QTest::newRow("path that starts with a digit") << u"3/../../dev/ttyACM0"_s << listed << u"3/../../dev/ttyACM0"_s;
    QTest::newRow("windows two-digit port") << u"12"_s << windows << u"COM12"_s;
    QTest::newRow("windows half rounds to zero") << u"0.5"_s << windows << QString();
}

void tst_PortDeviceName::answerNamesADevice()
{
    QFETCH(QString, answer);
    QFETCH(PortNaming, naming);
    QFETCH(QString, device);

    const QStringList listedPorts { u"/dev/ttyUSB0"_s, u"/dev/ttyS10"_s, u"/dev/ttyS9"_s, u"/dev/ttyS0"_s,
        u"/dev/ttyACM0"_s };
    const auto result = device::serialDeviceForAnswer(answer, naming, listedPorts);
    if (device.isEmpty()) {
        QVERIFY(!result);
        QCOMPARE(result.error().number(), 8002);
        const QString listed
            = naming == PortNaming::ListedPorts ? u"; this computer lists 5 serial ports"_s : QString();
        QCOMPARE(result.error().description(),
            u"There is no such serial port on this computer: \""_s + answer + u"\" names no port"_s + listed);
    } else {
        QVERIFY(result);
        QCOMPARE(result.value(), device);
    }
}

using Listing = QList<platform::ListedSerialPort>;
Q_DECLARE_METATYPE(Listing)

void tst_PortDeviceName::choiceItemsAnswerWithTheirOwnPort_data()
{
    QTest::addColumn<PortNaming>("naming");
    QTest::addColumn<Listing>("listed");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("numbered by kind, then by number")
        << PortNaming::ListedPorts
        << Listing { { u"/dev/ttyUSB0"_s, u"ttyUSB0"_s, u"FT232R USB UART"_s }, { u"/dev/ttyS10"_s, u"ttyS10"_s, {} },
               { u"/dev/ttyS0"_s, u"ttyS0"_s, {} } }
        << QStringList { u"1 - ttyS0"_s, u"2 - ttyS10"_s, u"3 - ttyUSB0, FT232R USB UART"_s };
    QTest::newRow("a slash in a description would make the item a path")
        << PortNaming::ListedPorts << Listing { { u"/dev/ttyACM0"_s, u"ttyACM0"_s, u"RS-232/485 bridge"_s } }
        << QStringList { u"1 - ttyACM0, RS-232-485 bridge"_s };
    QTest::newRow("windows numbers by COM name")
        << PortNaming::WindowsComNames
        << Listing { { u"\\\\.\\COM12"_s, u"COM12"_s, {} }, { u"\\\\.\\COM3"_s, u"COM3"_s, u"USB Serial Port"_s } }
        << QStringList { u"3 - COM3, USB Serial Port"_s, u"12 - COM12"_s };
}

void tst_PortDeviceName::choiceItemsAnswerWithTheirOwnPort()
{
    QFETCH(PortNaming, naming);
    QFETCH(Listing, listed);
    QFETCH(QStringList, items);

    QCOMPARE(device::portChoiceItems(naming, listed), items);
    QStringList locations;
    for (const platform::ListedSerialPort& port : listed)
        locations.append(port.location);
    for (const QString& item : items) {
        const auto named = device::serialDeviceForAnswer(item, naming, locations);
        QVERIFY2(named, qPrintable(item));
        const QString portName = item.section(u" - "_s, 1).section(u", "_s, 0, 0);
        const QString expected = naming == PortNaming::ListedPorts ? u"/dev/"_s + portName : portName;
        QCOMPARE(named.value(), expected);
    }
}

namespace {

QStringList g_listedPorts;
QStringList listedNow() { return g_listedPorts; }

} // namespace

void tst_PortDeviceName::answerKeepsTheDeviceItNamedFirst()
{
    g_listedPorts = { u"/dev/ttyUSB0"_s };
    device::PortDeviceChoice choice(listedNow);
    QCOMPARE(choice.deviceFor(u"2"_s).error().number(), 8002);
    QCOMPARE(choice.deviceFor(u"1"_s).value(), u"/dev/ttyUSB0"_s);
    // An adapter plugged in later numbers before the first one; the answer keeps its device.
    g_listedPorts.prepend(u"/dev/ttyACM0"_s);
    QCOMPARE(choice.deviceFor(u"1"_s).value(), u"/dev/ttyUSB0"_s);
    QCOMPARE(choice.deviceFor(u"/dev/pts/4"_s).value(), u"/dev/pts/4"_s);
}

QTEST_GUILESS_MAIN(tst_PortDeviceName)
#include "tst_portdevicename.moc"
