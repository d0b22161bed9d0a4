#include "config/configuration.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

class tst_Configuration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void baudListTextSetsTheRateBytes();
    void everySlotNameFindsItsOwnSlot();
};

void tst_Configuration::baudListTextSetsTheRateBytes()
{
    // The two bytes are the rate itself, high byte first.
    Configuration configuration;
    for (const QString& rate : { u"2400"_s, u"4800"_s, u"9600"_s, u"19200"_s, u"57600"_s }) {
        QVERIFY(configuration.commitBaudRate(rate));
        QCOMPARE(configuration.baudRateText, rate);
        QCOMPARE(configuration.baudRateHigh * 256 + configuration.baudRateLow, rate.toInt());
    }
    // Any other text, a rate the device lacks here, changes nothing.
    const Configuration before = configuration;
    QVERIFY(!configuration.commitBaudRate(u"38400"_s));
    QCOMPARE(configuration, before);
}

void tst_Configuration::everySlotNameFindsItsOwnSlot()
{
    QCOMPARE(displayName(SlotId::SVideoInputActive), u"S-Video Input Active"_s);
    QCOMPARE(selStringLabelCaption(SlotId::NoInputActive), u"No Active Inputs String"_s);
    for (const SlotId id : kRecordOrder)
        QCOMPARE(slotIdFromDisplayName(displayName(id)), id);
    QCOMPARE(slotIdFromDisplayName(u"S-Video Input Active "_s), std::nullopt);
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
