#include "config/configurationfileformat.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace config;

namespace {

// The file of a record with every slot empty, scan priority 2, baud 9600 and the delay fields
// showing 0, 0 and 5: 28 lines alternating " 0" and empty, then the settings.
QList<QByteArray> workedExampleLines()
{
    QList<QByteArray> lines;
    for (int field = 0; field < 14; ++field)
        lines << " 0"
              << "";
    lines << " 1"
          << " 2"
          << " 4"
          << "9600"
          << " 1"
          << "0"
          << " 1"
          << "0"
          << " 1"
          << "5";
    return lines;
}

QByteArray fileOf(const QList<QByteArray>& lines)
{
    QByteArray file;
    for (const QByteArray& line : lines)
        file += line + "\r\n";
    return file;
}

StoredConfiguration workedExample()
{
    StoredConfiguration stored;
    stored.scan_priority = ScanPriority::Composite;
    stored.baud_rate_text = u"9600"_s;
    stored.hours_text = u"0"_s;
    stored.minutes_text = u"0"_s;
    stored.seconds_text = u"5"_s;
    return stored;
}

StringSlot slotOf(const QByteArray& bytes, const QString& text)
{
    return StringSlot { bytes, text, static_cast<quint8>(bytes.size()) };
}

// Every byte value 0 to 255 spread over the slots, with line ends and blank-led digits among
// them that a line-based reader would take for the file's own structure.
StoredConfiguration everyByteValue()
{
    StoredConfiguration stored;
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    stored.slots[0] = slotOf(all.left(128), u"low half"_s);
    stored.slots[1] = slotOf(all.mid(128), u"high half"_s);
    stored.slots[2] = slotOf(QByteArray("\r\n 5\r\n", 6), u"line ends"_s);
    stored.slots[3] = slotOf(QByteArray("\0\0\x1b\xff", 4), QString());
    stored.slots[4] = slotOf(QByteArray(255, '\n'), u"longest"_s);
    stored.slots[5] = slotOf("PWR\r", QString(300, QChar(0xE9)) + u"\r\n 3\r\n"_s);
    stored.scan_priority = ScanPriority::SVideo;
    stored.baud_rate_text = u"57600"_s;
    stored.hours_text = u"0-16"_s;
    stored.minutes_text = u"0-59"_s;
    stored.seconds_text = u"59"_s;
    return stored;
}

} // namespace

class tst_ConfigurationFileFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptySlotsWithPriorityTwoGiveKnownBytes();
    void everyByteAndLongTextsSurviveWriteAndRead();
    void oddFilesReadAsTheyAlwaysHave_data();
    void oddFilesReadAsTheyAlwaysHave();
    void brokenFilesAreRefusedWithTheirError_data();
    void brokenFilesAreRefusedWithTheirError();
    void fileCutAnywhereBeforeItsLastValueIsRefused();
    void valuesNoFileCanHoldAreRefused();
    void textCharactersWithoutAByteBecomeQuestionMarks();
};

void tst_ConfigurationFileFormat::emptySlotsWithPriorityTwoGiveKnownBytes()
{
    const QByteArray expected = fileOf(workedExampleLines());
    QCOMPARE(expected.size(), 123);
    QCOMPARE(encodeConfigurationFile(workedExample()).value(), expected);
    QCOMPARE(decodeConfigurationFile(expected).value(), workedExample());
}

void tst_ConfigurationFileFormat::everyByteAndLongTextsSurviveWriteAndRead()
{
    const StoredConfiguration stored = everyByteValue();
    const QByteArray file = encodeConfigurationFile(stored).value();
    QVERIFY(file.startsWith(" 255\r\n" + QByteArray(255, '\n') + "\r\n 7\r\nlongest\r\n"));
    QVERIFY(file.size() < 6000);
    QCOMPARE(decodeConfigurationFile(file).value(), stored);
}

void tst_ConfigurationFileFormat::oddFilesReadAsTheyAlwaysHave_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<StoredConfiguration>("expected");

    const auto changed = [](std::initializer_list<std::pair<int, QByteArray>> lines) {
        QList<QByteArray> file = workedExampleLines();
        for (const auto& [index, text] : lines)
            file[index] = text;
        return fileOf(file);
    };
    StoredConfiguration expected = workedExample();

    QTest::newRow("first line without a number reads as 0") << changed({ { 0, "none" } }) << expected;
    expected.slots[indexOf(SlotId::CompositeInputActive)] = slotOf("AB", QString());
    QTest::newRow("first count 2.5 rounds to 2") << changed({ { 0, " 2.5" }, { 1, "AB" } }) << expected;
    expected = workedExample();
    expected.slots[indexOf(SlotId::SVideoInputActive)] = slotOf("ABCD", QString());
    QTest::newRow("count 3.5 rounds to 4") << changed({ { 4, " 3.5" }, { 5, "ABCD" } }) << expected;
    QTest::newRow("count in exponent form") << changed({ { 4, " 4e0" }, { 5, "ABCD" } }) << expected;
    expected.slots[indexOf(SlotId::SVideoInputActive)] = slotOf("AB", QString());
    QTest::newRow("length line without its blank loses its first digit")
        << changed({ { 4, "12" }, { 5, "ABC" } }) << expected;
    expected = workedExample();
    expected.slots[indexOf(SlotId::VgaInputActive)] = slotOf(QByteArray(255, 'x'), QString());
    QTest::newRow("slot of 255 bytes") << changed({ { 8, " 255" }, { 9, QByteArray(255, 'x') } }) << expected;
    expected = workedExample();
    expected.scan_priority = static_cast<ScanPriority>(7);
    QTest::newRow("priority digit 7 is kept") << changed({ { 29, " 7" } }) << expected;
    expected.scan_priority = ScanPriority::None;
    QTest::newRow("priority that is no digit reads as 0") << changed({ { 29, " x" } }) << expected;
    expected = workedExample();
    expected.baud_rate_text = u"38400"_s;
    QTest::newRow("baud text none of the five is kept") << changed({ { 30, " 5" }, { 31, "38400" } }) << expected;
    expected = workedExample();
    expected.hours_text = u"0-16"_s;
    QTest::newRow("delay hint is kept") << changed({ { 32, " 4" }, { 33, "0-16" } }) << expected;
    QTest::newRow("bytes after the seconds are ignored") << fileOf(workedExampleLines()) + "trailing\r\n"
                                                         << workedExample();
    QTest::newRow("last line without its line end") << fileOf(workedExampleLines()).chopped(2) << workedExample();
}

void tst_ConfigurationFileFormat::oddFilesReadAsTheyAlwaysHave()
{
    QFETCH(QByteArray, file);
    QFETCH(StoredConfiguration, expected);
    const platform::Result<StoredConfiguration> read = decodeConfigurationFile(file);
    QVERIFY2(read, read ? "" : qPrintable(read.error().description()));
    QCOMPARE(read.value(), expected);
}

void tst_ConfigurationFileFormat::brokenFilesAreRefusedWithTheirError_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("field");

    const auto changed = [](int index, const QByteArray& text) {
        QList<QByteArray> file = workedExampleLines();
        file[index] = text;
        return fileOf(file);
    };
    QTest::newRow("slot count line without a number") << changed(4, " x") << 13 << u"S-Video Input Active bytes"_s;
    QTest::newRow("empty count line") << changed(4, " ") << 13 << u"S-Video Input Active bytes"_s;
    QTest::newRow("text count line without a number") << changed(2, " 1a") << 13 << u"Composite Input Active text"_s;
    QTest::newRow("baud count line without a number") << changed(30, " four") << 13 << u"baud rate"_s;
    QTest::newRow("negative slot count") << changed(4, " -1") << 63 << u"S-Video Input Active bytes"_s;
    QTest::newRow("slot count above 255") << changed(8, " 256") << 63 << u"VGA Input Active bytes"_s;
    QTest::newRow("slot count 255.5 rounds to 256") << changed(8, " 255.5") << 63 << u"VGA Input Active bytes"_s;
    QTest::newRow("first line above 255") << changed(0, " 300") << 63 << u"Composite Input Active bytes"_s;
    QTest::newRow("negative text count") << changed(6, " -2") << 63 << u"S-Video Input Active text"_s;
    QTest::newRow("huge text count") << changed(36, " 1e300") << 63 << u"seconds"_s;
    QTest::newRow("count larger than the rest of the file")
        << changed(6, " 5000") << 62 << u"S-Video Input Active text"_s;
    QTest::newRow("empty file") << QByteArray() << 62 << u"Composite Input Active bytes"_s;
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

void tst_ConfigurationFileFormat::fileCutAnywhereBeforeItsLastValueIsRefused()
{
    const StoredConfiguration stored = everyByteValue();
    const QByteArray file = encodeConfigurationFile(stored).value();
    const qsizetype lastValueEnd = file.size() - 2;
    for (qsizetype length = 0; length < lastValueEnd; ++length) {
        const platform::Result<StoredConfiguration> read = decodeConfigurationFile(file.left(length));
        QVERIFY2(!read, qPrintable(u"a file cut to %1 bytes was read"_s.arg(length)));
        QCOMPARE(read.error().code(), platform::ErrorCode::FileEndsEarly);
    }
    QCOMPARE(decodeConfigurationFile(file.left(lastValueEnd)).value(), stored);
}

void tst_ConfigurationFileFormat::valuesNoFileCanHoldAreRefused()
{
    StoredConfiguration stored = workedExample();
    stored.slots[indexOf(SlotId::DiscreteOff)] = slotOf(QByteArray(256, 'x'), QString());
    const platform::Result<QByteArray> tooLong = encodeConfigurationFile(stored);
    QVERIFY(!tooLong);
    QCOMPARE(tooLong.error().number(), 63);
    QVERIFY(tooLong.error().description().contains(u"Discrete OFF"_s));

    stored = workedExample();
    stored.scan_priority = static_cast<ScanPriority>(10);
    QCOMPARE(encodeConfigurationFile(stored).error().number(), 6);
}

void tst_ConfigurationFileFormat::textCharactersWithoutAByteBecomeQuestionMarks()
{
    StoredConfiguration stored = workedExample();
    stored.slots[0].source_text = u"Beamer \u20AC1 \U0001F4FD"_s;
    const QByteArray file = encodeConfigurationFile(stored).value();
    QVERIFY(file.contains(" 12\r\nBeamer ?1 ??\r\n"));
    QCOMPARE(decodeConfigurationFile(file).value().slots[0].source_text, u"Beamer ?1 ??"_s);
}

QTEST_GUILESS_MAIN(tst_ConfigurationFileFormat)
#include "tst_configurationfileformat.moc"
