#include "config/configuration.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

class tst_Configuration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void baudListTextSetsTheRateBytes_data();
    void baudListTextSetsTheRateBytes();
    void slotIsFoundByItsExactDisplayName();
    void newEmptiesEverySlotAndShowsTheFieldHints();
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

void tst_Configuration::slotIsFoundByItsExactDisplayName()
{
    // In record order, which is the order the device receives them in.
    const QStringList names { u"Discrete ON"_s, u"Discrete OFF"_s, u"Video First Detected"_s, u"VGA Input Active"_s,
        u"Composite Input Active"_s, u"S-Video Input Active"_s, u"No Input Active"_s };
    const QStringList captions { u"Discrete Input ON String"_s, u"Discrete Input OFF String"_s,
        u"Video First Detected String"_s, u"VGA Input Active String"_s, u"Composite Input Active String"_s,
        u"S-Video Input Active String"_s, u"No Active Inputs String"_s };

    Configuration configuration;
    for (int id = 0; id < 7; ++id) {
        QCOMPARE(configuration.slotByDisplayName(names[id]), &configuration.slots[id]);
        QCOMPARE(displayName(SlotId(id)), names[id]);
        QCOMPARE(selStringLabelCaption(SlotId(id)), captions[id]);
    }
    QCOMPARE(configuration.slotByDisplayName(u"vga input active"_s), nullptr);
    QCOMPARE(configuration.slotByDisplayName(u"Discrete ON "_s), nullptr);
}

void tst_Configuration::newEmptiesEverySlotAndShowsTheFieldHints()
{
    Configuration configuration;
    configuration.slots.fill(StringSlot { "PWR\r", u"PWR '&h0D' "_s, 4 });
    configuration.scan_priority = ScanPriority::SVideo;
    QVERIFY(configuration.commit_baud_rate(u"57600"_s));

    configuration.reset_to_defaults();
    QCOMPARE(configuration.slots, decltype(configuration.slots) {});
    QCOMPARE(configuration.scan_priority, ScanPriority::None);
    QCOMPARE(configuration.baud_rate_text, u"9600"_s);
    const QStringList hints { configuration.delay.hours_text, configuration.delay.minutes_text,
        configuration.delay.seconds_text };
    QCOMPARE(hints, QStringList({ u"0-16"_s, u"0-59"_s, u"0-59"_s }));
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
