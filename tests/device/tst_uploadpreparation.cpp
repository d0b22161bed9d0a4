#include "device/uploadpreparation.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_UploadPreparation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void delayFieldsAndBaudListGiveTheBytesSent_data();
    void delayFieldsAndBaudListGiveTheBytesSent();
};

void tst_UploadPreparation::delayFieldsAndBaudListGiveTheBytesSent_data()
{
    QTest::addColumn<QStringList>("shown"); // hours, minutes, seconds, baud list
    QTest::addColumn<QString>("sent"); // the texts the fields then show, the delay and baud bytes in hex

    QTest::newRow("hints of a new file, zero seconds go out as one")
        << QStringList { u"0-16"_s, u"0-59"_s, u"0-59"_s, u"2400"_s } << u"0 0 0 0001 0960"_s;
    QTest::newRow("emptied fields of a reopened file")
        << QStringList { QString(), QString(), QString(), u"4800"_s } << u"0 0 0 0001 12c0"_s;
    QTest::newRow("one minute and the seconds hint")
        << QStringList { u"0"_s, u"1"_s, u"0-59"_s, u"57600"_s } << u"0 1 0 003d e100"_s;
    QTest::newRow("rounded entries, a rate the list lacks")
        << QStringList { u"2.5"_s, u"0.5"_s, u"1.5"_s, u"38400"_s } << u"2.5 0.5 1.5 1c22 2580"_s;
    QTest::newRow("texts a field refuses count as zero")
        << QStringList { u"17"_s, u"abc"_s, u"60"_s, u"9600"_s } << u"0 0 0 0001 2580"_s;
}

void tst_UploadPreparation::delayFieldsAndBaudListGiveTheBytesSent()
{
    QFETCH(QStringList, shown);
    QFETCH(QString, sent);

    // Every slot at the longest length the device takes: none is refused.
    config::Configuration configuration;
    for (config::StringSlot& slot : configuration.slots)
        slot.byteCount = 30;
    const device::UploadPreparation prepared
        = device::prepareUpload(configuration, { shown[0], shown[1], shown[2] }, shown[3]);
    QVERIFY(!prepared.refusedSlot && prepared.delay);
    const auto hex = [](quint8 high, quint8 low) { return QString::asprintf("%02x%02x", high, low); };
    QCOMPARE(QStringList({ prepared.delayTexts.hours, prepared.delayTexts.minutes, prepared.delayTexts.seconds,
                             hex(prepared.delay.value().high, prepared.delay.value().low),
                             hex(prepared.baudRate.high, prepared.baudRate.low) })
                 .join(u' '),
        sent);
}

QTEST_GUILESS_MAIN(tst_UploadPreparation)
#include "tst_uploadpreparation.moc"
