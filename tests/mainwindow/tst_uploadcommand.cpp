#include "windowfixture.h"

#include "platform/serialportlist.h"

#include "tests/support/fakeserialport.h"
#include "tests/support/hex.h"
#include "tests/support/sampleconfiguration.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTimer>

// The emulator needs a Linux pseudo-terminal: on Windows its case is left out.
#ifndef Q_OS_WIN
#include "tests/support/devicesimulator.h"
#endif

namespace {

// Counts the paint events of one widget.
struct PaintCounter final : QObject {
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { return (paints += event->type() == QEvent::Paint) < 0; }
    int paints = 0;
};

} // namespace

class tst_UploadCommand : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
#ifndef Q_OS_WIN
    void windowPaintsAndDropsInputWhileTheDeviceTakesEveryByte();
#endif
    void failedUploadIsToldInOrderAndFreesThePort_data();
    void failedUploadIsToldInOrderAndFreesThePort();
    void overlongSlotIsRefusedAndSelected_data();
    void overlongSlotIsRefusedAndSelected();

private:
    QPushButton* uploadButton() const { return m_fixture->find<QPushButton>(u"UploadCommandsButton"_s); }

    QTemporaryDir m_folder;
    QString m_configPath;
};

void tst_UploadCommand::init()
{
    m_configPath = m_folder.filePath(u"hall.qxc"_s);
    QFile::remove(m_configPath);
}

#ifndef Q_OS_WIN
void tst_UploadCommand::windowPaintsAndDropsInputWhileTheDeviceTakesEveryByte()
{
    // Each answer takes 30 ms: the upload lasts well over the second in which the user acts.
    testsupport::DeviceSimulator simulator({ u"--answer-delay"_s, u"30"_s });
    QVERIFY(simulator.start());
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->configuration = sampleConfiguration();
    m_fixture->configuration.baudRateHigh = m_fixture->configuration.baudRateLow = 0;
    m_fixture->configuration.configPath = m_configPath;
    m_fixture->configuration.commPort = simulator.devicePath();
    mainwindow::MainWindow& window = m_fixture->open();
    window.baudRateList().setCurrentText(u"19200"_s);
    auto* hours = m_fixture->find<QLineEdit>(u"HoursTextBox"_s);
    hours->setText(u"1"_s);
    m_fixture->find<QLineEdit>(u"MinutesTextBox"_s)->setText(u"2"_s);
    m_fixture->find<QLineEdit>(u"SecondsTextBox"_s)->setText(u"3"_s);
    auto* label = m_fixture->find<QLabel>(u"SelStringLabel"_s);
    const PaintCounter painted(label);
    int paintsAsked = -1;
    bool paintedWhileUploading = false;
    QTimer::singleShot(300, this, [&] {
        // Input that comes while the transfer runs: none of it may act, now or later.
        QTest::mouseClick(uploadButton(), Qt::LeftButton);
        QTest::keyClick(hours, Qt::Key_7);
        window.close();
        label->update();
        paintsAsked = painted.paints;
    });
    QTimer::singleShot(700, this,
        [&] { paintedWhileUploading = painted.paints > paintsAsked && uploadButton()->text() == u"Uploading ..."_s; });
    m_fixture->prompts.expectMessage(u"Upload Completed Successfully"_s, u"Upload Status"_s, [this] {
        QVERIFY(!m_fixture->realPort.isOpen());
        QCOMPARE(uploadButton()->text(), u"Finished Uploading"_s);
    });

    QElapsedTimer click;
    click.start();
    QTest::mouseClick(uploadButton(), Qt::LeftButton);
    const qint64 clickMs = click.elapsed();

    QCOMPARE(simulator.waitForReport(5000).value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    QVERIFY2(paintedWhileUploading, "the window did not paint while it waited for the device");
    QVERIFY(window.isVisible());
    QCOMPARE(hours->text(), u"1"_s);
    QCOMPARE(uploadButton()->text(), u"Upload Commands"_s);
    // The time told is the upload's own, which cannot be longer than the click that ran it.
    const QString receipt = m_fixture->find<QLabel>(u"UploadReceiptLabel"_s)->text();
    const QRegularExpressionMatch told = QRegularExpression(u"53 bytes uploaded in (\\d+\\.\\d) s"_s).match(receipt);
    QVERIFY2(told.hasMatch(), qPrintable(receipt));
    QCOMPARE_LE(told.captured(1).toDouble() * 1000, clickMs + 50);
    const platform::Result<config::StoredConfiguration> saved = config::readConfiguration(m_configPath);
    QVERIFY(saved);
    QCOMPARE(saved.value().baudRateText, u"19200"_s);
    QCOMPARE(saved.value().minutesText, u"2"_s);
    QVERIFY(m_fixture->find<QLabel>(u"UnsavedLabel"_s)->isHidden());

    // Browsing the slots changes nothing the box holds; another scan priority makes the upload history.
    window.slotPanel().selectSlot(SlotId::DiscreteOn);
    QVERIFY(m_fixture->find<QProgressBar>(u"UploadProgressBar"_s)->isTextVisible());
    QTest::mouseClick(m_fixture->find<QRadioButton>(u"VGAOption"_s), Qt::LeftButton);
    QCOMPARE(m_fixture->find<QLabel>(u"UploadReceiptLabel"_s)->text(),
        u"Last upload "_s + receipt + u" (before later changes)"_s);
    QVERIFY(!m_fixture->find<QProgressBar>(u"UploadProgressBar"_s)->isTextVisible());
    QVERIFY(uploadButton()->styleSheet().contains(u"255, 0, 0"_s));
}
#endif

void tst_UploadCommand::failedUploadIsToldInOrderAndFreesThePort_data()
{
    // A number: the bytes the device acknowledges before it falls silent.
    QTest::addColumn<QString>("fault");
    // Each box as "text|title|the button's caption and the port while it shows".
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("written"); // bytes sent before the upload stopped
    QTest::addColumn<int>("endCode"); // -1: the program goes on

    // An error report: its number, then its text, both titled with the program's name.
    const auto report = [](const QString& number, const QString& text, const QString& state) {
        const QString shown = u'|' + platform::kApplicationTitle + u'|' + state;
        return QStringList { u"Error Number:  "_s + number + shown, u"error msg: "_s + text + shown };
    };
    QTest::newRow("no answer to the handshake")
        << u"0"_s
        << QStringList { u"Power off the QX-7M and then turn power back on|Error With QX-7M|Uploading ... open"_s,
               u"Upload FAILED|Upload Status|Upload FAILED! closed"_s }
        << 2 << -1;
    QTest::newRow("a string byte unacknowledged")
        << u"27"_s
        << QStringList { u"Problem uploading data. Turn off power to the QX-7M and then turn power back on."_s
#ifdef Q_OS_WIN
               // No standard error on Windows: the box tells what stopped.
               + u"\n\nPort /dev/QX-7M: upload failed. No answer to byte 28 of 53 (Video First Detected string, "
                 "character 3 of 3) after 6.0 s."_s
#endif
               // The program ends at once after it, without the port's own closing.
               + u"|QX-7M error|Uploading ... closed"_s }
        << 28 << 1;
    QTest::newRow("cable pulled") << u"cable"_s
                                  << report(u"8010"_s,
                                         u"The connection to the serial port was lost: /dev/QX-7M. Is the USB serial "
                                         "adapter plugged in?"_s,
                                         u"Upload Commands closed"_s)
                                  << 10 << -1;
    QTest::newRow("no such port") << u"unknown"_s
                                  << report(u"8002"_s,
                                         u"There is no such serial port on this computer: \"0\" names no port"_s
#ifndef Q_OS_WIN // Windows numbers its COM ports itself: no count of the listed ones
                                             + u"; this computer lists "_s
                                             + QString::number(platform::serialPortLocations().size())
                                             + (platform::serialPortLocations().size() == 1 ? u" serial port"_s
                                                                                            : u" serial ports"_s)
#endif
                                             + u". Is the USB serial adapter plugged in?"_s,
                                         u"Save and Upload closed"_s)
                                  << 0 << -1;
    QTest::newRow("port held by another program")
        << u"open"_s
        << QStringList { u"Port not available, please free up the selected port|Comm Port Error|Save and Upload closed"_s }
        << 0 << -1;
    // The record's folder is a file: the record cannot be written there.
    QTest::newRow("record cannot be saved")
        << u"save"_s
        << report(u"75"_s, u"The file cannot be created or written: %1 ("_s + kNotAFolder + u"); nothing was sent"_s,
               u"Save and Upload open"_s)
        << 0 << -1;
}

void tst_UploadCommand::failedUploadIsToldInOrderAndFreesThePort()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, boxes);
    FakeClock clock;
    FakeSerialPort port(clock);
    int answers = 0;
    bool silentAfterSome = false;
    const int answered = fault.toInt(&silentAfterSome);
    port.device = [&answers, answered, silentAfterSome](quint8) {
        ++answers;
        return silentAfterSome && answers > answered ? QByteArray() : answers == 2 ? QByteArray("\xFF\x07") : "\x06";
    };
    if (fault == u"cable"_s)
        port.hangUpAfter = 10;
    if (fault == u"open"_s)
        port.openErrors.append(platform::Error(platform::ErrorCode::PortAlreadyOpen));
    if (fault == u"save"_s) {
        QFile blocker(m_folder.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        m_configPath = blocker.fileName() + u"/hall.qxc"_s;
    }
    m_fixture = std::make_unique<WindowFixture>(&port, &clock);
    m_fixture->configuration = sampleConfiguration();
    m_fixture->configuration.configPath = m_configPath;
    m_fixture->configuration.commPort = fault == u"unknown"_s ? u"0"_s : u"/dev/QX-7M"_s;
    m_fixture->open();
    QStringList shown;
    QStringList states;
    // Once failed, the command runs again when clicked again: the same boxes come again.
    for (int run = 0; run < (fault == u"0"_s ? 2 : 1); ++run) {
        for (const QString& box : boxes) {
            m_fixture->prompts.expectMessage(
                box.section(u'|', 0, 0).replace(u"%1"_s, QDir::toNativeSeparators(m_configPath)),
                box.section(u'|', 1, 1),
                [&] { shown.append(uploadButton()->text() + (port.isOpen() ? u" open"_s : u" closed"_s)); });
            states.append(box.section(u'|', 2));
        }
        QTest::mouseClick(uploadButton(), Qt::LeftButton);
    }

    QCOMPARE(shown, states);
    QVERIFY(!port.isOpen());
    // How far the box was programmed when the cable went: nine bytes, the handshake among them.
    if (fault == u"cable"_s)
        QVERIFY(m_fixture->find<QLabel>(u"UploadReceiptLabel"_s)->text().contains(u"acknowledged 9 of 53 bytes"_s));
    // Past the length check, a field left with its hint shows what went out: "0".
    QCOMPARE(m_fixture->window->delayFieldTexts().hours, u"0"_s);
    QTEST(int(port.written.size()), "written");
    QCOMPARE(QFile::exists(m_configPath), !port.written.isEmpty());
    QTEST(m_fixture->end.code.value_or(-1), "endCode");
}

void tst_UploadCommand::overlongSlotIsRefusedAndSelected_data()
{
    QTest::addColumn<int>("slotId");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("laterSlotId"); // also too long, but checked later: not the one reported

    QTest::newRow("Composite") << 4 << u"Composite Input Active String"_s << 5;
    QTest::newRow("S-Video") << 5 << u"S-Video Input String"_s << 3;
    QTest::newRow("VGA") << 3 << u"VGA Input String"_s << 6;
    QTest::newRow("No input") << 6 << u"Default File"_s << 0;
    QTest::newRow("Discrete ON") << 0 << u"Discrete Input ON String"_s << 1;
    QTest::newRow("Discrete OFF") << 1 << u"Discrete Input OFF String"_s << 2;
    QTest::newRow("Video first") << 2 << u"Video First Detected String"_s << 2;
}

void tst_UploadCommand::overlongSlotIsRefusedAndSelected()
{
    QFETCH(int, slotId);
    QFETCH(QString, subject);
    QFETCH(int, laterSlotId);
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->configuration.slots[laterSlotId].byteCount = 200;
    m_fixture->configuration.slots[slotId].byteCount = 31;
    m_fixture->configuration.configPath = m_configPath;
    m_fixture->open();
    m_fixture->prompts.expectMessage(u"The length of the "_s + subject
            + u" must be at least 1 character and no more than 30 characters. The file you have selected is  31 "
              "characters long. Please select a different file."_s,
        u"Wrong File Length"_s);

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QCOMPARE(m_fixture->find<QComboBox>(u"DDList"_s)->currentText(), config::displayName(SlotId(slotId)));
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), u"31"_s);
    QVERIFY(!QFile::exists(m_configPath));
}

QTEST_MAIN(tst_UploadCommand)
#include "tst_uploadcommand.moc"
