#include "config/configuration.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

class tst_Configuration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void baudListTextOutsideTheListChangesNothing();
    void everySlotNameFindsItsOwnSlot();
    void newRecordKeepsNoStringOfTheOldOne();
};

void tst_Configuration::baudListTextOutsideTheListChangesNothing()
{
    // The bytes of every listed rate go out in tst_uploadpreparation; a rate the device lacks is no rate.
    Configuration configuration;
    QVERIFY(configuration.commitBaudRate(u"57600"_s));
    const Configuration before = configuration;
    QVERIFY(!configuration.commitBaudRate(u"38400"_s));
    QCOMPARE(configuration, before);
}

void tst_Configuration::everySlotNameFindsItsOwnSlot()
{
    // The slot list shows these names; the label above the string field has its own caption.
    QCOMPARE(selStringLabelCaption(SlotId::NoInputActive), u"No Active Inputs String"_s);
    for (const SlotId id : kRecordOrder)
        QCOMPARE(slotIdFromDisplayName(displayName(id)), id);
    QCOMPARE(slotIdFromDisplayName(u"S-Video Input Active "_s), std::nullopt);
}

void tst_Configuration::newRecordKeepsNoStringOfTheOldOne()
{
    Configuration configuration;
    configuration.slot(SlotId::SVideoInputActive) = StringSlot { "PWR\r", u"PWR '&h0D'"_s, 4 };
    configuration.resetToDefaults();
    QCOMPARE(configuration.slot(SlotId::SVideoInputActive), StringSlot {});
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
