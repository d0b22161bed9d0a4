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

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

Configuration hallConfiguration(const QString& path)
{
    Configuration configuration;
    configuration.reset_to_defaults();
    configuration.slot(SlotId::DiscreteOn) = StringSlot { "PWR\r", u"PWR '&h0D' "_s, 4 };
    configuration.scan_priority = ScanPriority::Composite;
    configuration.config_path = path;
    configuration.config_file_name = u"old.qxc"_s;
    return configuration;
}

const DelayFieldTexts kDelayFields { u"0"_s, u"0"_s, u"5"_s };

} // namespace

class tst_ConfigurationFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writtenFileReadsBackAndNamesTheRecord();
    void sizeRuleIsCheckedBeforeTheFileIsRead_data();
    void sizeRuleIsCheckedBeforeTheFileIsRead();
    void failedWriteKeepsTheOldFileAndName();
    void missingFileIsReportedAsNotFound();
};

void tst_ConfigurationFile::writtenFileReadsBackAndNamesTheRecord()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"hall 3.qxc"_s);
    Configuration configuration = hallConfiguration(path);

    QVERIFY(!write_configuration(configuration, kDelayFields));
    QCOMPARE(configuration.config_file_name, u"hall 3.qxc"_s);
    const QByteArray file = contentsOf(path);
    QVERIFY(file.contains("\r\n 4\r\nPWR\r\r\n 11\r\nPWR '&h0D' \r\n"));
    QVERIFY(file.endsWith("\r\n 1\r\n 2\r\n 4\r\n9600\r\n 1\r\n0\r\n 1\r\n0\r\n 1\r\n5\r\n"));

    const platform::Result<StoredConfiguration> read = read_configuration(path);
    QVERIFY(read);
    QCOMPARE(read.value().slots, configuration.slots);
    QCOMPARE(read.value().scan_priority, ScanPriority::Composite);
    QCOMPARE(read.value().baud_rate_text, u"9600"_s);
    QCOMPARE(read.value().seconds_text, u"5"_s);
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("errorNumber");

    // Padding after the last field is never read, so a valid file can be grown to any size.
    QTest::newRow("99 bytes") << 99 << 321;
    QTest::newRow("100 bytes reaches the reader") << 100 << 62;
    QTest::newRow("6000 bytes") << 6000 << 0;
    QTest::newRow("6001 bytes") << 6001 << 321;
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead()
{
    QFETCH(int, size);
    QFETCH(int, errorNumber);

    QTemporaryDir dir;
    Configuration configuration = hallConfiguration(dir.filePath(u"valid.qxc"_s));
    QVERIFY(!write_configuration(configuration, kDelayFields));
    QByteArray file = contentsOf(configuration.config_path);
    file = file.size() >= size ? file.left(size) : file + QByteArray(size - file.size(), ' ');
    const QString path = dir.filePath(u"sized.qxc"_s);
    putFile(path, file);

    const platform::Result<StoredConfiguration> read = read_configuration(path);
    QCOMPARE(read ? 0 : read.error().number(), errorNumber);
}

void tst_ConfigurationFile::failedWriteKeepsTheOldFileAndName()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"hall.qxc"_s);
    const QByteArray old = "what the last save wrote";
    putFile(path, old);

    Configuration tooLong = hallConfiguration(path);
    tooLong.slot(SlotId::NoInputActive).command_bytes = QByteArray(256, 'x');
    const std::optional<platform::Error> refused = write_configuration(tooLong, kDelayFields);
    QVERIFY(refused);
    QCOMPARE(refused->number(), 63);
    QCOMPARE(contentsOf(path), old);
    QCOMPARE(tooLong.config_file_name, u"old.qxc"_s);

    Configuration nowhere = hallConfiguration(dir.filePath(u"no-such-folder/hall.qxc"_s));
    const std::optional<platform::Error> notCreated = write_configuration(nowhere, kDelayFields);
    QVERIFY(notCreated);
    QCOMPARE(notCreated->number(), 75);
    QCOMPARE(nowhere.config_file_name, u"old.qxc"_s);
}

void tst_ConfigurationFile::missingFileIsReportedAsNotFound()
{
    QTemporaryDir dir;
    const platform::Result<StoredConfiguration> read = read_configuration(dir.filePath(u"gone.qxc"_s));
    QVERIFY(!read);
    QCOMPARE(read.error().numberMessage(), u"Error Number:  53"_s);
    QVERIFY(read.error().descriptionMessage().startsWith(u"error msg: File not found: "_s));
}

QTEST_GUILESS_MAIN(tst_ConfigurationFile)
#include "tst_configurationfile.moc"
