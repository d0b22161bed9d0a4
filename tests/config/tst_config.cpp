#include "config/configurationfile.h"
#include "config/configurationfileformat.h"
#include "config/delayfield.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

namespace {

// Each delay field with its refusal's message and title, restated so that a wrong text in the code
// cannot agree with itself.
const std::tuple<const DelayFieldKind&, QString, QString> kFields[] = {
    { kHoursField, u"You must enter a number of hours between 0 and 16."_s, u"Hours Wrong"_s },
    { kMinutesField, u"You must enter a number of minutes between 0 and 59."_s, u"Minutes Wrong"_s },
    { kSecondsField, u"You must enter a number of seconds between 0 and 59."_s, u"Seconds Wrong"_s },
};
constexpr int kHours = 0, kMinutes = 1, kSeconds = 2;
constexpr int kNothing = -1, kRefused = -2;

// The file of a record with every slot empty, scan priority 2, baud 9600 and the delay fields
// showing 0, 0 and 5, with some of its 38 lines (counted from 0) replaced.
QByteArray workedExampleFile(std::initializer_list<std::pair<int, QByteArray>> edits = {})
{
    QByteArrayList lines;
    for (int field = 0; field < 14; ++field)
        lines += { " 0", "" };
    lines += { " 1", " 2", " 4", "9600", " 1", "0", " 1", "0", " 1", "5" };
    for (const auto& [index, text] : edits)
        lines[index] = text;
    return lines.join("\r\n") + "\r\n";
}

StoredConfiguration workedExample()
{
    StoredConfiguration stored;
    stored.scanPriority = ScanPriority::Composite;
    stored.baudRateText = u"9600"_s;
    stored.hoursText = stored.minutesText = u"0"_s;
    stored.secondsText = u"5"_s;
    return stored;
}

StringSlot slotOf(const QByteArray& bytes, const QString& text = {})
{
    return StringSlot { bytes, text, static_cast<quint8>(bytes.size()) };
}

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

// The record, its delay fields' entries and its .qxc file.
class tst_Config : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void baudRateOutsideTheListIsNoRate();
    void everySlotNameFindsItsOwnSlot();
    void delayEntryIsTakenLeftOrRefused_data();
    void delayEntryIsTakenLeftOrRefused();
    void workedExampleIsWrittenByteForByte();
    void everyByteSurvivesAndAFileCutShortIsRefused();
    void brokenFilesAreRefusedWithTheirError_data();
    void brokenFilesAreRefusedWithTheirError();
    void fileIsWrittenWholeAndReadWithinItsSizes();
};

void tst_Config::baudRateOutsideTheListIsNoRate()
{
    // The bytes of every listed rate go out in tst_deviceupload; New's reset is the File menu's test.
    Configuration configuration;
    QVERIFY(configuration.commitBaudRate(u"57600"_s));
    const Configuration before = configuration;
    QVERIFY(!configuration.commitBaudRate(u"38400"_s));
    QCOMPARE(configuration, before);
}

void tst_Config::everySlotNameFindsItsOwnSlot()
{
    // The label above the string field has its own caption; each listed name finds its slot in tst_main.
    QCOMPARE(selStringLabelCaption(SlotId::NoInputActive), u"No Active Inputs String"_s);
    QCOMPARE(slotIdFromDisplayName(u"S-Video Input Active "_s), std::nullopt);
}

void tst_Config::delayEntryIsTakenLeftOrRefused_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // kNothing: left as it was; kRefused: 255 and the field's box

    QTest::newRow("empty") << kHours << QString() << kNothing;
    QTest::newRow("hours hint") << kHours << u"0-16"_s << kNothing;
    QTest::newRow("minutes hint") << kMinutes << u"0-59"_s << kNothing;
    QTest::newRow("another field's hint") << kHours << u"0-59"_s << kRefused;
    QTest::newRow("most hours") << kHours << u"16"_s << 16;
    QTest::newRow("hours beyond") << kHours << u"17"_s << kRefused;
    QTest::newRow("most minutes") << kMinutes << u"59"_s << 59;
    QTest::newRow("minutes beyond") << kMinutes << u"60"_s << kRefused;
    QTest::newRow("most seconds") << kSeconds << u"59"_s << 59;
    QTest::newRow("seconds beyond") << kSeconds << u"60"_s << kRefused;
    QTest::newRow("half rounds to even, down") << kHours << u"2.5"_s << 2;
    QTest::newRow("half at the top rounds down") << kHours << u"16.5"_s << 16;
    QTest::newRow("a little below 0 is 0") << kHours << u"-0.4"_s << 0;
    QTest::newRow("rounds beyond the top") << kHours << u"16.6"_s << kRefused;
    QTest::newRow("below 0 once rounded") << kMinutes << u"-0.6"_s << kRefused;
    QTest::newRow("blank, sign and leading point") << kSeconds << u" +.5"_s << 0;
    QTest::newRow("exponent with its sign") << kHours << u"1.5e+1"_s << 15;
    QTest::newRow("letters") << kHours << u"abc"_s << kRefused;
    QTest::newRow("huge") << kSeconds << u"1e300"_s << kRefused;
}

void tst_Config::delayEntryIsTakenLeftOrRefused()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, value);

    const auto& [kind, message, title] = kFields[field];
    qint16 number = 77;
    const std::optional<DelayRefusal> refusal = takeDelayEntry(text, kind, number);
    QCOMPARE(number, value == kNothing ? 77 : value == kRefused ? 255 : value);
    QCOMPARE(refusal ? QString(refusal->message) : QString(), value == kRefused ? message : QString());
    QCOMPARE(refusal ? QString(refusal->title) : QString(), value == kRefused ? title : QString());
    // The field shows a valid text as given and nothing for any other.
    QCOMPARE(delayFieldTextAfterSetting(text, kind), value >= 0 ? text : QString());
}

void tst_Config::workedExampleIsWrittenByteForByte()
{
    const platform::Result<QByteArray> encoded = encodeConfigurationFile(workedExample());
    QVERIFY(encoded);
    QCOMPARE(encoded.value(), workedExampleFile());
    // A priority that is no digit reads as none.
    const platform::Result<StoredConfiguration> read = decodeConfigurationFile(workedExampleFile({ { 29, " x" } }));
    QVERIFY(read);
    QCOMPARE(read.value().scanPriority, ScanPriority::None);
    // A string must fit the file's count byte.
    StoredConfiguration tooLong = workedExample();
    tooLong.slots[2] = slotOf(QByteArray(256, 'x'));
    const platform::Result<QByteArray> refused = encodeConfigurationFile(tooLong);
    QCOMPARE(refused ? 0 : refused.error().number(), 63);
}

void tst_Config::everyByteSurvivesAndAFileCutShortIsRefused()
{
    // Every byte value 0 to 255 spread over the slots, with line ends and blank-led digits among
    // them that a line-based reader would take for the file's own structure.
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    StoredConfiguration stored = workedExample();
    stored.slots = { slotOf(all.left(100), u"low"_s), slotOf(all.mid(100), u"high"_s), slotOf("\r\n 5\r\n", u"ends"_s),
        slotOf(QByteArray("\0\0\x1b\xff", 4)), slotOf(QByteArray(255, '\n'), u"longest"_s),
        slotOf("PWR\r\n", QString(300, QChar(0xE9)) + u"\r\n 3\r\n"_s) };
    // The largest priority digit a file can hold, although no option button stands for it.
    stored.scanPriority = ScanPriority { 9 };
    stored.hoursText = u"0-16"_s;
    const platform::Result<QByteArray> encoded = encodeConfigurationFile(stored);
    QVERIFY(encoded);
    const QByteArray& file = encoded.value();
    QByteArray slotsInFileOrder;
    for (int id : { 4, 5, 3, 6, 0, 1, 2 }) {
        for (const QByteArray& value : { stored.slots[id].commandBytes, stored.slots[id].sourceText.toLatin1() })
            slotsInFileOrder += ' ' + QByteArray::number(value.size()) + "\r\n" + value + "\r\n";
    }
    QVERIFY(file.startsWith(slotsInFileOrder));

    // The last line end is never read; a file cut anywhere before it is refused.
    const qsizetype lastValueEnd = file.size() - 2;
    const platform::Result<StoredConfiguration> decoded = decodeConfigurationFile(file.left(lastValueEnd));
    QVERIFY(decoded);
    QCOMPARE(decoded.value(), stored);
    for (qsizetype length = 0; length < lastValueEnd; ++length) {
        const platform::Result<StoredConfiguration> read = decodeConfigurationFile(file.left(length));
        QVERIFY2(!read, qPrintable(u"a file cut to %1 bytes was read"_s.arg(length)));
        QCOMPARE(read.error().code(), platform::ErrorCode::FileEndsEarly);
    }
}

void tst_Config::brokenFilesAreRefusedWithTheirError_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("field");

    const auto row = [](const char* name, int line, const QByteArray& text, int errorNumber, const QString& field) {
        QTest::newRow(name) << workedExampleFile({ { line, text } }) << errorNumber << field;
    };
    row("slot count line without a number", 4, " x", 13, u"S-Video Input Active bytes"_s);
    row("text count line without a number", 2, " 1a", 13, u"Composite Input Active text"_s);
    row("slot count 255.5 rounds to 256", 8, " 255.5", 63, u"VGA Input Active bytes"_s);
    row("huge text count", 36, " 1e300", 63, u"seconds"_s);
    // Fourteen empty fields of six bytes, then the priority's " 1" cut after its blank.
    QTest::newRow("file that ends in the scan priority") << workedExampleFile().first(85) << 62 << u"scan priority"_s;
}

void tst_Config::brokenFilesAreRefusedWithTheirError()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, field);
    const platform::Result<StoredConfiguration> read = decodeConfigurationFile(file);
    QVERIFY(!read);
    QTEST(read.error().number(), "errorNumber");
    QVERIFY2(read.error().description().endsWith(u"at the "_s + field), qPrintable(read.error().description()));
}

void tst_Config::fileIsWrittenWholeAndReadWithinItsSizes()
{
    QTemporaryDir dir;
    Configuration hall = hallConfiguration(dir.filePath(u"hall 3.qxc"_s));
    QVERIFY(!writeConfiguration(hall, kDelayFields));
    QVERIFY(contentsOf(hall.configPath)
                .endsWith(" 4\r\nPWR\r\r\n 11\r\nPWR '&h0D' \r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n 0\r\n\r\n"
                          " 1\r\n 2\r\n 4\r\n9600\r\n 1\r\n0\r\n 1\r\n0\r\n 1\r\n5\r\n"));
    QCOMPARE(hall.configFileName, u"hall 3.qxc"_s);
    // The largest file Load reads is written; a byte more is refused and the file stays as it was.
    // An empty text's length line " 0" becomes " 5xxx": the text and three digits more.
    hall.slot(SlotId::VgaInputActive).sourceText = QString(6000 - contentsOf(hall.configPath).size() - 3, u'x');
    QVERIFY(!writeConfiguration(hall, kDelayFields));
    const QByteArray written = contentsOf(hall.configPath);
    QCOMPARE(written.size(), 6000);
    hall.slot(SlotId::VgaInputActive).sourceText += u'x';
    const std::optional<platform::Error> tooLarge = writeConfiguration(hall, kDelayFields);
    QCOMPARE(tooLarge ? tooLarge->number() : 0, 321);
    QCOMPARE(contentsOf(hall.configPath), written);
    // Load checks the size first: 6000 bytes are read, 6001 are not, 100 reach the reader.
    QVERIFY(readConfiguration(hall.configPath));
    for (const auto& [size, errorNumber] : { std::pair { 6001, 321 }, { 100, 62 } }) {
        QVERIFY(QFile::resize(hall.configPath, size));
        const platform::Result<StoredConfiguration> read = readConfiguration(hall.configPath);
        QCOMPARE(read ? 0 : read.error().number(), errorNumber);
    }

    // A cancelled file dialog's "*.qxc" is no name to create a file under.
    Configuration wildcard = hallConfiguration(dir.filePath(u"*.qxc"_s));
    const std::optional<platform::Error> notCreated = writeConfiguration(wildcard, kDelayFields);
    QCOMPARE(notCreated ? notCreated->number() : 0, 75);
    QCOMPARE(wildcard.configFileName, QString());
}

QTEST_GUILESS_MAIN(tst_Config)
#include "tst_config.moc"
