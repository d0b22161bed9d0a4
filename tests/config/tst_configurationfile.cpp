#include "config/configurationfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Configuration hallConfiguration(const QString& path)
{
    Configuration configuration;
    configuration.resetToDefaults();
    configuration.slot(SlotId::DiscreteOn) = StringSlot { "PWR\r", u"PWR '&h0D' "_s, 4 };
    configuration.scanPriority = ScanPriority::Composite;
    configuration.configPath = path;
    return configuration;
}

const DelayFieldTexts kDelayFields { u"0"_s, u"0"_s, u"5"_s };

} // namespace

class tst_ConfigurationFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writtenFileEndsWithTheRecordsBytes();
    void sizeRuleIsCheckedBeforeTheFileIsRead_data();
    void sizeRuleIsCheckedBeforeTheFileIsRead();
    void badWritesAreRefusedBeforeTheFileIsTouched();
};

void tst_ConfigurationFile::writtenFileEndsWithTheRecordsBytes()
{
    QTemporaryDir dir;
    Configuration configuration = hallConfiguration(dir.filePath(u"hall 3.qxc"_s));
    QVERIFY(!writeConfiguration(configuration, kDelayFields));
    QVERIFY(contentsOf(configuration.configPath)
                .endsWith(" 4\r\nPWR\r\r\n 11\r\nPWR '&h0D' \r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n"
                          " 1\r\n 2\r\n 4\r\n9600\r\n 1\r\n0\r\n 1\r\n0\r\n 1\r\n5\r\n"));
    QCOMPARE(configuration.configFileName, u"hall 3.qxc"_s);
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("errorNumber");

    // A valid file cut short, or padded with zero bytes after its last field, which is never read.
    QTest::newRow("100 bytes reaches the reader") << 100 << 62;
    QTest::newRow("6000 bytes") << 6000 << 0;
    QTest::newRow("6001 bytes") << 6001 << 321;
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead()
{
    QFETCH(int, size);
    QFETCH(int, errorNumber);

    QTemporaryDir dir;
    Configuration configuration = hallConfiguration(dir.filePath(u"sized.qxc"_s));
    QVERIFY(!writeConfiguration(configuration, kDelayFields));
    QVERIFY(QFile::resize(configuration.configPath, size));
    const platform::Result<StoredConfiguration> read = readConfiguration(configuration.configPath);
    QCOMPARE(read ? 0 : read.error().number(), errorNumber);
}

void tst_ConfigurationFile::badWritesAreRefusedBeforeTheFileIsTouched()
{
    QTemporaryDir dir;
    // The largest file Load reads is written; a byte more is refused and the file stays as it was.
    Configuration largest = hallConfiguration(dir.filePath(u"largest.qxc"_s));
    QVERIFY(!writeConfiguration(largest, kDelayFields));
    // An empty text's length line " 0" becomes " 5xxx": the text and three digits more.
    largest.slot(SlotId::VgaInputActive).sourceText = QString(6000 - contentsOf(largest.configPath).size() - 3, u'x');
    QVERIFY(!writeConfiguration(largest, kDelayFields));
    const QByteArray written = contentsOf(largest.configPath);
    QCOMPARE(written.size(), 6000);
    largest.slot(SlotId::VgaInputActive).sourceText += u'x';
    const std::optional<platform::Error> tooLarge = writeConfiguration(largest, kDelayFields);
    QCOMPARE(tooLarge ? tooLarge->number() : 0, 321);
    QCOMPARE(contentsOf(largest.configPath), written);

    // A cancelled file dialog's "*.qxc" is no name to create a file under.
    Configuration wildcard = hallConfiguration(dir.filePath(u"*.qxc"_s));
    const std::optional<platform::Error> notCreated = writeConfiguration(wildcard, kDelayFields);
    QCOMPARE(notCreated ? notCreated->number() : 0, 75);
    QCOMPARE(wildcard.configFileName, QString());
}

QTEST_GUILESS_MAIN(tst_ConfigurationFile)
#include "tst_configurationfile.moc"
