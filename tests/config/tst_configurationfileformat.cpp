#include "config/configurationfileformat.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

namespace {

using LineEdits = std::initializer_list<std::pair<int, QByteArray>>;

// The file of a record with every slot empty, scan priority 2, baud 9600 and the delay fields
// showing 0, 0 and 5, with some of its 38 lines (counted from 0) replaced.
QByteArray workedExampleFile(LineEdits edits = {})
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

// Every byte value 0 to 255 spread over the slots, with line ends and blank-led digits among
// them that a line-based reader would take for the file's own structure.
StoredConfiguration everyByteValue()
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    StoredConfiguration stored;
    stored.slots = { slotOf(all.left(100), u"low"_s), slotOf(all.mid(100), u"high"_s), slotOf("\r\n 5\r\n", u"ends"_s),
        slotOf(QByteArray("\0\0\x1b\xff", 4)), slotOf(QByteArray(255, '\n'), u"longest"_s),
        slotOf("PWR\r\n", QString(300, QChar(0xE9)) + u"\r\n 3\r\n"_s) };
    // The largest priority digit a file can hold, although no option button stands for it.
    stored.scanPriority = ScanPriority { 9 };
    stored.baudRateText = u"57600"_s;
    stored.hoursText = u"0-16"_s;
    stored.minutesText = u"0-59"_s;
    stored.secondsText = u"59"_s;
    return stored;
}

} // namespace

class tst_ConfigurationFileFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workedExampleIsWrittenByteForByte();
    void everyByteSurvivesAndAFileCutShortIsRefused();
    void brokenFilesAreRefusedWithTheirError_data();
    void brokenFilesAreRefusedWithTheirError();
};

void tst_ConfigurationFileFormat::workedExampleIsWrittenByteForByte()
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

void tst_ConfigurationFileFormat::everyByteSurvivesAndAFileCutShortIsRefused()
{
    const StoredConfiguration stored = everyByteValue();
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

void tst_ConfigurationFileFormat::brokenFilesAreRefusedWithTheirError_data()
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

void tst_ConfigurationFileFormat::brokenFilesAreRefusedWithTheirError()
{
    QFETCH(QByteArray, file);
    QFETCH(int, errorNumber);
    QFETCH(QString, field);
    const platform::Result<StoredConfiguration> read = decodeConfigurationFile(file);
    QVERIFY(!read);
    QCOMPARE(read.error().number(), errorNumber);
    QVERIFY2(read.error().description().endsWith(u"at the "_s + field), qPrintable(read.error().description()));
}

QTEST_GUILESS_MAIN(tst_ConfigurationFileFormat)
#include "tst_configurationfileformat.moc"
