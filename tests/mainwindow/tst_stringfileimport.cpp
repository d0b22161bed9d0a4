#include "windowfixture.h"

#include "mainwindow/slotpanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using config::SlotId;

namespace {

const platform::FileDialogSettings kStringFileDialog { u"str"_s, u"Strings (*.str)"_s, u"*.str"_s };

QString lengthMessage(const QString& subject, int length)
{
    return u"The length of the "_s + subject
        + u" must be at least 1 character and no more than 30 characters. The file you have selected is  "_s
        + QString::number(length) + u" characters long. Please select a different file."_s;
}

} // namespace

class tst_StringFileImport : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void fileBytesBecomeTheSlotsCommand_data();
    void fileBytesBecomeTheSlotsCommand();
};

void tst_StringFileImport::fileBytesBecomeTheSlotsCommand_data()
{
    QTest::addColumn<int>("slotId");
    QTest::addColumn<QString>("fileName"); // empty: the dialog is cancelled
    QTest::addColumn<int>("fileSize"); // -1: the file does not exist
    QTest::addColumn<QString>("subject"); // of the refusal message; empty when none
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("shownText");

    QTest::newRow("12 bytes") << 3 << u"projector.str"_s << 12 << QString() << true << u"projector.str"_s;
    QTest::newRow("30 bytes") << 6 << u"max.str"_s << 30 << QString() << true << u"max.str"_s;
    // Each slot names itself in the refusal; up to 255 bytes are read, and then refused.
    const std::pair<int, QString> subjects[]
        = { { 3, u"VGA Input String"_s }, { 4, u"Component Input String"_s }, { 5, u"S-Video Input String"_s },
              { 6, u"Default File"_s }, { 0, u"Discrete Input 1 ON File"_s }, { 1, u"Discrete Input 1 OFF File"_s } };
    for (const auto& [id, subject] : subjects)
        QTest::addRow("%s, slot %d", id == 1 ? "255 bytes" : "31 bytes", id)
            << id << u"long.str"_s << (id == 1 ? 255 : 31) << subject << true << u"Please select a different file"_s;
    QTest::newRow("256 bytes, video first")
        << 2 << u"huge.str"_s << 256 << u"Video First Detected File"_s << false << u"old.str"_s;
    QTest::newRow("cancelled") << 3 << QString() << 0 << QString() << false << u"old.str"_s;
    QTest::newRow("missing") << 3 << u"gone.str"_s << -1 << QString() << false << u"old.str"_s;
    QTest::newRow("empty") << 3 << u"empty.str"_s << 0 << QString() << false << u"old.str"_s;
    QTest::newRow("name without a single-byte code")
        << 3 << u"\u03A9mega\u00FF.str"_s << 5 << QString() << true << u"?mega\u00FF.str"_s;
}

void tst_StringFileImport::fileBytesBecomeTheSlotsCommand()
{
    QFETCH(int, slotId);
    QFETCH(QString, fileName);
    QFETCH(int, fileSize);
    QFETCH(QString, subject);
    QFETCH(bool, taken);
    QFETCH(QString, shownText);
    const auto id = SlotId(slotId);
    QTemporaryDir folder;
    const QString path = fileName.isEmpty() ? QString() : folder.filePath(fileName);
    // Every byte value, CR LF among them, goes in unchanged.
    QByteArray bytes;
    for (int i = 0; i < fileSize; ++i)
        bytes.append(char((i * 37 + 13) % 256));
    if (fileSize >= 0 && !path.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    m_fixture = std::make_unique<WindowFixture>();
    const config::StringSlot old { "old", u"old.str"_s, 3 };
    m_fixture->configuration.slot(id) = old;
    mainwindow::MainWindow& window = m_fixture->open();
    window.slotPanel().selectSlot(id);
    m_fixture->prompts.expectOpenFile(kStringFileDialog, path);
    if (!subject.isEmpty())
        m_fixture->prompts.expectMessage(lengthMessage(subject, fileSize), u"Wrong File Length"_s);

    QTest::mouseClick(m_fixture->find<QPushButton>(u"SelFileButton"_s), Qt::LeftButton);

    const config::StringSlot& slot = m_fixture->configuration.slot(id);
    QCOMPARE(slot.commandBytes, taken ? bytes : old.commandBytes);
    QCOMPARE(slot.byteCount, taken ? fileSize : old.byteCount);
    QCOMPARE(slot.sourceText, shownText);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), shownText);
    // A refused file leaves the length shown before it.
    const bool accepted = taken && subject.isEmpty();
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), QString::number(accepted ? fileSize : 3));
}

QTEST_MAIN(tst_StringFileImport)
#include "tst_stringfileimport.moc"
