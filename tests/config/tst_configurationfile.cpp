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

bool putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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
};

void tst_ConfigurationFile::writtenFileReadsBackAndNamesTheRecord()
{
    QTemporaryDir dir;
    Configuration configuration = hallConfiguration(dir.filePath(u"hall 3.qxc"_s));
    QVERIFY(!write_configuration(configuration, kDelayFields));
    QCOMPARE(configuration.config_file_name, u"hall 3.qxc"_s);
    QVERIFY(contentsOf(configuration.config_path)
                .endsWith(" 4\r\nPWR\r\r\n 11\r\nPWR '&h0D' \r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n"
                          " 1\r\n 2\r\n 4\r\n9600\r\n 1\r\n0\r\n 1\r\n0\r\n 1\r\n5\r\n"));

    const platform::Result<StoredConfiguration> read = read_configuration(configuration.config_path);
    QVERIFY(read);
    QCOMPARE(read.value().slots, configuration.slots);
    QCOMPARE(read.value().scan_priority, ScanPriority::Composite);
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("errorNumber");

    // A valid file cut or padded after its last field, which is never read.
    QTest::newRow("99 bytes") << 99 << 321;
    QTest::newRow("100 bytes reaches the reader") << 100 << 62;
    QTest::newRow("6000 bytes") << 6000 << 0;
    QTest::newRow("6001 bytes") << 6001 << 321;
    QTest::newRow("missing file") << -1 << 53;
}

void tst_ConfigurationFile::sizeRuleIsCheckedBeforeTheFileIsRead()
{
    QFETCH(int, size);
    QFETCH(int, errorNumber);

    QTemporaryDir dir;
    Configuration configuration = hallConfiguration(dir.filePath(u"sized.qxc"_s));
    QVERIFY(!write_configuration(configuration, kDelayFields));
    const QByteArray file = contentsOf(configuration.config_path);
    if (size < 0)
        QVERIFY(QFile::remove(configuration.config_path));
    else
        QVERIFY(putFile(configuration.config_path, file.leftJustified(size, ' ', true)));

    const platform::Result<StoredConfiguration> read = read_configuration(configuration.config_path);
    QCOMPARE(read ? 0 : read.error().number(), errorNumber);
}

void tst_ConfigurationFile::failedWriteKeepsTheOldFileAndName()
{
    QTemporaryDir dir;
    Configuration tooLong = hallConfiguration(dir.filePath(u"hall.qxc"_s));
    QVERIFY(putFile(tooLong.config_path, "what the last save wrote"));
    // A slot's length must fit the file's count byte; a file that could not be read back is not written.
    tooLong.slot(SlotId::NoInputActive).command_bytes = QByteArray(256, 'x');
    const std::optional<platform::Error> refused = write_configuration(tooLong, kDelayFields);
    QVERIFY(refused);
    QCOMPARE(refused->number(), 63);
    QVERIFY(refused->description().contains(u"No Input Active"_s));
    QCOMPARE(contentsOf(tooLong.config_path), "what the last save wrote");
    QCOMPARE(tooLong.config_file_name, u"old.qxc"_s);

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
    QVERIFY(tooLarge);
    QCOMPARE(tooLarge->number(), 321);
    QCOMPARE(contentsOf(largest.config_path), written);

    for (const QString& path : { dir.filePath(u"no-such-folder/hall.qxc"_s), dir.filePath(u"*.qxc"_s) }) {
        Configuration nowhere = hallConfiguration(path);
        const std::optional<platform::Error> notCreated = write_configuration(nowhere, kDelayFields);
        QVERIFY(notCreated);
        QCOMPARE(notCreated->numberMessage(), u"Error Number:  75"_s);
        QVERIFY(notCreated->descriptionMessage().startsWith(u"error msg: The file cannot be created or written: "_s));
        QCOMPARE(nowhere.config_file_name, u"old.qxc"_s);
    }
    QVERIFY(!QFile::exists(dir.filePath(u"*.qxc"_s)));
}

QTEST_GUILESS_MAIN(tst_ConfigurationFile)
#include "tst_configurationfile.moc"
