#include "device/delaybytes.h"

#include <QTest>

using config::NoInputDelay;

class tst_DelayBytes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void delayBecomesTwoBytesHighFirst_data();
    void delayBecomesTwoBytesHighFirst();
};

void tst_DelayBytes::delayBecomesTwoBytesHighFirst_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");

    QTest::newRow("1 h 2 min 3 s") << 1 << 2 << 3 << true << 0x0E << 0x8B;
    QTest::newRow("16 h 59 min 59 s") << 16 << 59 << 59 << true << 0xEF << 0x0F;
    QTest::newRow("no delay at all") << 0 << 0 << 0 << true << 0x00 << 0x00;
    QTest::newRow("largest that fits") << 18 << 12 << 15 << true << 0xFF << 0xFF;
    QTest::newRow("one second too many") << 18 << 12 << 16 << false << 0 << 0;
    QTest::newRow("rejected entries in minutes and seconds") << 0 << 255 << 255 << true << 0x3C << 0xC3;
    QTest::newRow("negative total") << 0 << 0 << -1 << false << 0 << 0;
    // The minutes are multiplied in 16 bits: 547 x 60 does not fit, although the total would.
    QTest::newRow("minutes beyond 16 bits") << 0 << 547 << 0 << false << 0 << 0;
    QTest::newRow("minutes just within 16 bits") << 0 << 546 << 0 << true << 0x7F << 0xF8;
}

void tst_DelayBytes::delayBecomesTwoBytesHighFirst()
{
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QFETCH(bool, fits);
    QFETCH(int, high);
    QFETCH(int, low);

    NoInputDelay delay;
    delay.hours = static_cast<qint16>(hours);
    delay.minutes = static_cast<qint16>(minutes);
    delay.seconds = static_cast<qint16>(seconds);

    const auto bytes = device::delayBytes(delay);
    QCOMPARE(bool(bytes), fits);
    if (fits) {
        QCOMPARE(bytes.value().high, high);
        QCOMPARE(bytes.value().low, low);
    } else {
        QCOMPARE(bytes.error().number(), 6);
    }
}

QTEST_GUILESS_MAIN(tst_DelayBytes)
#include "tst_delaybytes.moc"
