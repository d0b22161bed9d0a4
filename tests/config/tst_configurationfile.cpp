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
    configuration.reset_to_defaults();
    configuration.slot(SlotId::DiscreteOn) = StringSlot { "PWR\r", u"PWR '&h0D' "_s, 4 };
    configuration.scan_priority = ScanPriority::Composite;
    configuration.config_path = path;
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
    QVERIFY(!write_configuration(configuration, kDelayFields));
    QVERIFY(contentsOf(configuration.config_path)
                .endsWith(" 4\r\nPWR\r\r\n 11\r\nPWR '&h0D' \r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n"
                          " 1\r\n 2\r\n 4\r\n9600\r\n 1\r\n0\r\n 1\r\n0\r\n 1\r\n5\r\n"));
    QCOMPARE(configuration.config_file_name, u"hall 3.qxc"_s);
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
    QVERIFY(!write_configuration(configuration, kDelayFields));
    QVERIFY(QFile::resize(configuration.config_path, size));
    const platform::Result<StoredConfiguration> read = read_configuration(configuration.config_path);
    QCOMPARE(read ? 0 : read.error().number(), errorNumber);
}

void tst_ConfigurationFile::badWritesAreRefusedBeforeTheFileIsTouched()
{
    QTemporaryDir dir;
    // The largest file Load reads is written; a byte more is refused and the file stays as it was.
    Configuration largest = hallConfiguration(dir.filePath(u"largest.qxc"_s));
    QVERIFY(!write_configuration(largest, kDelayFields));
    // An empty text's length line " 0" becomes " 5xxx": the text and three digits more.
    largest.slot(SlotId::VgaInputActive).source_text = QString(6000 - contentsOf(largest.config_path).size() - 3, u'x');
    QVERIFY(!write_configuration(largest, kDelayFields));
    const QByteArray written = contentsOf(largest.config_path);
    QCOMPARE(written.size(), 6000);
    largest.slot(SlotId::VgaInputActive).source_text += u'x';
    const std::optional<platform::Error> tooLarge = write_configuration(largest, kDelayFields);
    QCOMPARE(tooLarge ? tooLarge->number() : 0, 321);
    QCOMPARE(contentsOf(largest.config_path), written);

    // A cancelled file dialog's "*.qxc" is no name to create a file under.
    Configuration wildcard = hallConfiguration(dir.filePath(u"*.qxc"_s));
    const std::optional<platform::Error> notCreated = write_configuration(wildcard, kDelayFields);
    QCOMPARE(notCreated ? notCreated->number() : 0, 75);
    QCOMPARE(wildcard.config_file_name, QString());
}

QTEST_GUILESS_MAIN(tst_ConfigurationFile)
#include "tst_configurationfile.moc"
