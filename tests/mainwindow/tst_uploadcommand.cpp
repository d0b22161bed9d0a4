#include "windowfixture.h"

#include "mainwindow/baudratelist.h"
#include "mainwindow/slotpanel.h"
#include "platform/serialportlist.h"

#include "tests/support/fakeserialport.h"
#include "tests/support/sampleconfiguration.h"
#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;
using config::SlotId;

namespace {

const QString kUploadStatus = u"Upload Status"_s;

// Counts the paint events of one widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class tst_UploadCommand : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void windowUploadReachesTheDeviceByteForByte();
    void unansweredHandshakeFailsTheUploadAndFreesThePort();
    void portHeldElsewhereOrUnknownIsReportedAndNothingIsSaved();
    void lostDeviceClosesThePortAfterTheWindowPaintedAndDroppedInput();
    void unacknowledgedStringEndsTheProgram();
    void recordThatCannotBeSavedIsReportedAndNothingIsSent();
    void overlongSlotIsRefusedAndSelected_data();
    void overlongSlotIsRefusedAndSelected();

private:
    // The window over a record with a file to save to, uploading to port.
    void openWindow(const QString& port);
    QPushButton* uploadButton() const { return m_fixture->find<QPushButton>(u"UploadCommandsButton"_s); }
    QString receipt() const { return m_fixture->find<QLabel>(u"UploadReceiptLabel"_s)->text(); }

    QTemporaryDir m_folder;
    QString m_configPath;
};

void tst_UploadCommand::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_configPath = m_folder.filePath(u"hall.qxc"_s);
    QFile::remove(m_configPath);
}

void tst_UploadCommand::openWindow(const QString& port)
{
    m_fixture->configuration.configPath = m_configPath;
    m_fixture->configuration.commPort = port;
    m_fixture->open();
}

void tst_UploadCommand::windowUploadReachesTheDeviceByteForByte()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    m_fixture->configuration = sampleConfiguration();
    m_fixture->configuration.baudRateHigh = m_fixture->configuration.baudRateLow = 0;
    openWindow(simulator.devicePath());
    mainwindow::MainWindow& window = *m_fixture->window;
    window.baudRateList().setCurrentText(u"19200"_s);
    m_fixture->find<QLineEdit>(u"HoursTextBox"_s)->setText(u"1"_s);
    m_fixture->find<QLineEdit>(u"MinutesTextBox"_s)->setText(u"2"_s);
    m_fixture->find<QLineEdit>(u"SecondsTextBox"_s)->setText(u"3"_s);
    m_fixture->prompts.expectMessage(u"Upload Completed Successfully"_s, kUploadStatus, [this] {
        QVERIFY(!m_fixture->realPort.isOpen());
        QCOMPARE(uploadButton()->text(), u"Finished Uploading"_s);
        QCOMPARE_NE(buttonFaceAt(uploadButton()), QColor(255, 0, 0));
        QCOMPARE_NE(buttonFaceAt(uploadButton()), QColor(0, 255, 0));
    });

    QElapsedTimer click;
    click.start();
    QTest::mouseClick(uploadButton(), Qt::LeftButton);
    const qint64 clickMs = click.elapsed();

    const QJsonObject report = simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    QCOMPARE(uploadButton()->text(), u"Upload Commands"_s);
    const auto* progress = m_fixture->find<QProgressBar>(u"UploadProgressBar"_s);
    QCOMPARE(progress->maximum(), kSampleWireImage.size());
    QCOMPARE(progress->value(), kSampleWireImage.size());
    // The time told is the upload's own, which cannot be longer than the click that ran it.
    const QRegularExpressionMatch told = QRegularExpression(u"53 bytes uploaded in (\\d+\\.\\d) s"_s).match(receipt());
    QVERIFY2(told.hasMatch(), qPrintable(receipt()));
    QCOMPARE_LE(told.captured(1).toDouble() * 1000, clickMs + 50);
    const platform::Result<config::StoredConfiguration> saved = config::readConfiguration(m_configPath);
    QVERIFY(saved);
    QCOMPARE(saved.value().baudRateText, u"19200"_s);
    QCOMPARE(saved.value().minutesText, u"2"_s);
}

void tst_UploadCommand::unansweredHandshakeFailsTheUploadAndFreesThePort()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    port.device = [](quint8) { return QByteArray(); };
    m_fixture = std::make_unique<WindowFixture>(&port, &clock);
    openWindow(u"/dev/QX-7M"_s);
    m_fixture->prompts.expectMessage(u"Power off the QX-7M and then turn power back on"_s, u"Error With QX-7M"_s,
        [this] { QCOMPARE(uploadButton()->text(), u"Uploading ..."_s); });
    m_fixture->prompts.expectMessage(u"Upload FAILED"_s, kUploadStatus, [this, &port] {
        QVERIFY(!port.isOpen());
        QCOMPARE(uploadButton()->text(), u"Upload FAILED!"_s);
        QCOMPARE(buttonFaceAt(uploadButton()), QColor(255, 0, 0));
    });

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    const auto* progress = m_fixture->find<QProgressBar>(u"UploadProgressBar"_s);
    QCOMPARE(progress->maximum(), 14);
    QCOMPARE(progress->value(), 0);
    QCOMPARE(uploadButton()->text(), u"Upload Commands"_s);
    QCOMPARE(buttonFaceAt(uploadButton()), QColor(255, 0, 0));
    QVERIFY2(receipt().endsWith(u"upload failed. No answer to byte 1 of 14 (first SYN) after 6.0 s."_s),
        qPrintable(receipt()));
}

void tst_UploadCommand::portHeldElsewhereOrUnknownIsReportedAndNothingIsSaved()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    platform::QtSerialPort otherProgram;
    QCOMPARE(otherProgram.open(simulator.devicePath()), std::nullopt);
    openWindow(u"0"_s);
    m_fixture->prompts.expectMessage(u"Error Number:  8002"_s);
    m_fixture->prompts.expectMessage(
        u"error msg: There is no such serial port on this computer: \"0\" names no port; this computer lists %1 serial ports"_s
            .arg(platform::serialPortLocations().size()));
    m_fixture->prompts.expectMessage(u"Port not available, please free up the selected port"_s, u"Comm Port Error"_s);

    QTest::mouseClick(uploadButton(), Qt::LeftButton);
    m_fixture->configuration.commPort = simulator.devicePath();
    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QVERIFY(!QFileInfo::exists(m_configPath));
    QCOMPARE(m_fixture->configuration.baudRateHigh, 0);
    QCOMPARE_NE(buttonFaceAt(uploadButton()), QColor(0, 255, 0));
}

void tst_UploadCommand::lostDeviceClosesThePortAfterTheWindowPaintedAndDroppedInput()
{
    // The first answer takes a second and a half, then the cable is pulled.
    testsupport::DeviceSimulator simulator({ u"--answer-delay"_s, u"1500"_s, u"--hang-up-after"_s, u"1"_s });
    QVERIFY(simulator.start());
    openWindow(simulator.devicePath());
    mainwindow::MainWindow& window = *m_fixture->window;
    auto* label = m_fixture->find<QLabel>(u"SelStringLabel"_s);
    auto* hours = m_fixture->find<QLineEdit>(u"HoursTextBox"_s);
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
    m_fixture->prompts.expectMessage(u"Error Number:  8010"_s);
    m_fixture->prompts.expectMessage(
        u"error msg: The connection to the serial port was lost: "_s + simulator.devicePath());

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QVERIFY2(paintedWhileUploading, "the window did not paint while it waited for the device");
    QVERIFY(window.isVisible());
    QCOMPARE(hours->text(), u"0"_s);
    QVERIFY(!m_fixture->realPort.isOpen());
    QCOMPARE(uploadButton()->text(), u"Upload Commands"_s);
    QCOMPARE(buttonFaceAt(uploadButton()), QColor(255, 0, 0));
}

void tst_UploadCommand::unacknowledgedStringEndsTheProgram()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    int answered = 0;
    // Acknowledges the handshake, the settings and 20 bytes of strings, then falls silent.
    port.device = [&answered](quint8) {
        ++answered;
        return answered == 2 ? QByteArray("\xFF\x07") : answered <= 27 ? QByteArray("\x06") : QByteArray();
    };
    m_fixture = std::make_unique<WindowFixture>(&port, &clock);
    m_fixture->configuration = sampleConfiguration();
    openWindow(u"/dev/QX-7M"_s);
    m_fixture->prompts.expectMessage(
        u"Problem uploading data. Turn off power to the QX-7M and then turn power back on."_s, u"QX-7M error"_s);

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QCOMPARE(m_fixture->end.code, 1);
    // The handshake and settings went through (9600 and the hints here); the strings stopped at their 21st byte.
    QCOMPARE(port.written.mid(7), kSampleWireImage.mid(7, 21));
}

void tst_UploadCommand::recordThatCannotBeSavedIsReportedAndNothingIsSent()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    m_fixture = std::make_unique<WindowFixture>(&port, &clock);
    // The record's folder is a file: the record cannot be written there.
    QFile blocker(m_folder.filePath(u"blocker"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    m_configPath = blocker.fileName() + u"/hall.qxc"_s;
    openWindow(u"/dev/QX-7M"_s);
    m_fixture->prompts.expectMessage(u"Error Number:  75"_s);
    m_fixture->prompts.expectMessage(
        u"error msg: The file cannot be created or written: %1 (Not a directory)"_s.arg(m_configPath));

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QCOMPARE(port.written, QByteArray());
    QVERIFY(!port.isOpen());
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
    m_fixture->configuration.slots[laterSlotId].byteCount = 200;
    m_fixture->configuration.slots[slotId].byteCount = 31;
    openWindow(QString());
    m_fixture->prompts.expectMessage(u"The length of the "_s + subject
            + u" must be at least 1 character and no more than 30 characters. The file you have selected is  31 "
              "characters long. Please select a different file."_s,
        u"Wrong File Length"_s);

    QTest::mouseClick(uploadButton(), Qt::LeftButton);

    QCOMPARE(m_fixture->find<QComboBox>(u"DDList"_s)->currentText(), config::displayName(SlotId(slotId)));
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), u"31"_s);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SecondsTextBox"_s)->text(), u"0-59"_s);
    QVERIFY(!QFileInfo::exists(m_configPath));
}

QTEST_MAIN(tst_UploadCommand)
#include "tst_uploadcommand.moc"
