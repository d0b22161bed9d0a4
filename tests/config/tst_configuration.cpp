#include "config/configuration.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

class tst_Configuration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void baudListTextSetsTheRateBytes_data();
    void baudListTextSetsTheRateBytes();
    void slotIsFoundByItsExactDisplayName_data();
    void slotIsFoundByItsExactDisplayName();
    void resetEmptiesEverySlotAndRestoresTheDefaults();
};

void tst_Configuration::baudListTextSetsTheRateBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");

    QTest::newRow("2400") << u"2400"_s << u"2400"_s << 0x09 << 0x60;
    QTest::newRow("4800") << u"4800"_s << u"4800"_s << 0x12 << 0xC0;
    QTest::newRow("9600") << u"9600"_s << u"9600"_s << 0x25 << 0x80;
    QTest::newRow("19200") << u"19200"_s << u"19200"_s << 0x4B << 0x00;
    QTest::newRow("57600") << u"57600"_s << u"57600"_s << 0xE1 << 0x00;
    // Anything else leaves the last committed rate, here 4800.
    QTest::newRow("rate the device lacks") << u"38400"_s << u"4800"_s << 0x12 << 0xC0;
    QTest::newRow("empty") << QString() << u"4800"_s << 0x12 << 0xC0;
    QTest::newRow("blank before a rate") << u" 9600"_s << u"4800"_s << 0x12 << 0xC0;
}

void tst_Configuration::baudListTextSetsTheRateBytes()
{
    QFETCH(QString, text);
    QFETCH(QString, committed);
    QFETCH(int, high);
    QFETCH(int, low);

    Configuration configuration;
    QVERIFY(configuration.commit_baud_rate(u"4800"_s));
    QCOMPARE(configuration.commit_baud_rate(text), text == committed);
    QCOMPARE(configuration.baud_rate_text, committed);
    QCOMPARE(configuration.baud_rate_high, high);
    QCOMPARE(configuration.baud_rate_low, low);
}

void tst_Configuration::slotIsFoundByItsExactDisplayName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("slotId");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Discrete ON") << u"Discrete ON"_s << 0 << u"Discrete Input ON String"_s;
    QTest::newRow("Discrete OFF") << u"Discrete OFF"_s << 1 << u"Discrete Input OFF String"_s;
    QTest::newRow("Video First Detected") << u"Video First Detected"_s << 2 << u"Video First Detected String"_s;
    QTest::newRow("VGA Input Active") << u"VGA Input Active"_s << 3 << u"VGA Input Active String"_s;
    QTest::newRow("Composite Input Active") << u"Composite Input Active"_s << 4 << u"Composite Input Active String"_s;
    QTest::newRow("S-Video Input Active") << u"S-Video Input Active"_s << 5 << u"S-Video Input Active String"_s;
    QTest::newRow("No Input Active") << u"No Input Active"_s << 6 << u"No Active Inputs String"_s;
    QTest::newRow("other case") << u"vga input active"_s << -1 << QString();
    QTest::newRow("trailing blank") << u"Discrete ON "_s << -1 << QString();
}

void tst_Configuration::slotIsFoundByItsExactDisplayName()
{
    QFETCH(QString, name);
    QFETCH(int, slotId);
    QFETCH(QString, caption);

    Configuration configuration;
    StringSlot* found = configuration.slotByDisplayName(name);
    QCOMPARE(found, slotId < 0 ? nullptr : &configuration.slots[slotId]);
    if (slotId >= 0) {
        QCOMPARE(displayName(static_cast<SlotId>(slotId)), name);
        QCOMPARE(selStringLabelCaption(static_cast<SlotId>(slotId)), caption);
    }
}

void tst_Configuration::resetEmptiesEverySlotAndRestoresTheDefaults()
{
    Configuration configuration;
    configuration.slots.fill(StringSlot { "PWR\r", u"PWR '&h0D' "_s, 4 });
    configuration.scan_priority = ScanPriority::SVideo;
    QVERIFY(configuration.commit_baud_rate(u"57600"_s));
    configuration.config_path = u"/home/av/hall-3.qxc"_s;

    Configuration expected = configuration;
    expected.slots.fill(StringSlot {});
    expected.scan_priority = ScanPriority::None;
    // The bytes follow only at the next commit of the baud list.
    expected.baud_rate_text = u"9600"_s;
    expected.delay.hours_text = u"0-16"_s;
    expected.delay.minutes_text = u"0-59"_s;
    expected.delay.seconds_text = u"0-59"_s;

    configuration.reset_to_defaults();
    QCOMPARE(configuration, expected);
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
