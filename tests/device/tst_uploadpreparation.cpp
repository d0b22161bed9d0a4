#include "device/uploadpreparation.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytePair(quint8 high, quint8 low) { return QByteArray().append(char(high)).append(char(low)); }

} // namespace

class tst_UploadPreparation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void delayFieldsAndBaudListGiveTheBytesSent_data();
    void delayFieldsAndBaudListGiveTheBytesSent();
};

void tst_UploadPreparation::delayFieldsAndBaudListGiveTheBytesSent_data()
{
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("sentTexts");
    QTest::addColumn<QByteArray>("delayBytes");
    QTest::addColumn<QString>("baudList");
    QTest::addColumn<QByteArray>("baudBytes");

    const QStringList zeros { u"0"_s, u"0"_s, u"0"_s };
    QTest::newRow("hints of a new file") << QStringList { u"0-16"_s, u"0-59"_s, u"0-59"_s } << zeros
                                         << QByteArray("\x00\x01", 2) << u"2400"_s << QByteArray("\x09\x60");
    QTest::newRow("emptied fields of a reopened file")
        << QStringList { QString(), QString(), QString() } << zeros << QByteArray("\x00\x01", 2) << u"4800"_s
        << QByteArray("\x12\xC0");
    QTest::newRow("zero seconds go out as one") << QStringList { u"0"_s, u"0"_s, u"0"_s } << zeros
                                                << QByteArray("\x00\x01", 2) << u"9600"_s << QByteArray("\x25\x80");
    QTest::newRow("one minute and the seconds hint")
        << QStringList { u"0"_s, u"1"_s, u"0-59"_s } << QStringList { u"0"_s, u"1"_s, u"0"_s }
        << QByteArray("\x00\x3D", 2) << u"57600"_s << QByteArray("\xE1\x00", 2);
    QTest::newRow("rounded entries") << QStringList { u"2.5"_s, u"0.5"_s, u"1.5"_s }
                                     << QStringList { u"2.5"_s, u"0.5"_s, u"1.5"_s } << QByteArray("\x1C\x22")
                                     << u"38400"_s << QByteArray("\x25\x80");
    QTest::newRow("texts a field refuses count as zero")
        << QStringList { u"17"_s, u"abc"_s, u"60"_s } << zeros << QByteArray("\x00\x01", 2) << u"9600"_s
        << QByteArray("\x25\x80");
}

void tst_UploadPreparation::delayFieldsAndBaudListGiveTheBytesSent()
{
    QFETCH(QStringList, shown);
    QFETCH(QStringList, sentTexts);
    QFETCH(QByteArray, delayBytes);
    QFETCH(QString, baudList);
    QFETCH(QByteArray, baudBytes);

    // Every slot at the longest length the device takes: none is refused.
    config::Configuration configuration;
    for (config::StringSlot& slot : configuration.slots)
        slot.byteCount = 30;
    const device::UploadPreparation preparation
        = device::prepareUpload(configuration, { shown[0], shown[1], shown[2] }, baudList);

    QVERIFY(!preparation.refusedSlot);
    QCOMPARE(
        (QStringList { preparation.delayTexts.hours, preparation.delayTexts.minutes, preparation.delayTexts.seconds }),
        sentTexts);
    QVERIFY(preparation.delay);
    QCOMPARE(bytePair(preparation.delay.value().high, preparation.delay.value().low), delayBytes);
    QCOMPARE(bytePair(preparation.baudRate.high, preparation.baudRate.low), baudBytes);
}

QTEST_GUILESS_MAIN(tst_UploadPreparation)
#include "tst_uploadpreparation.moc"
