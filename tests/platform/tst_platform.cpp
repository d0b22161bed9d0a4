#include "platform/dialogprompts.h"
#include "platform/filestore.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

// The real port question and the file store's saves.
class tst_Platform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portQuestionTakesWhatIsTypedOrPicked_data();
    void portQuestionTakesWhatIsTypedOrPicked();
    void saveThatRunsOutOfSpaceKeepsTheOldFile();
};

void tst_Platform::portQuestionTakesWhatIsTypedOrPicked_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("answer");

    QTest::newRow("initial text kept") << QString() << -1 << u"1"_s;
    // Typing the first character of an item must not complete it into the item.
    QTest::newRow("typed, not completed") << u"2"_s << -1 << u"2"_s;
    QTest::newRow("item picked") << QString() << 1 << u"2 - ttyUSB0, FT232R USB UART"_s;
}

void tst_Platform::portQuestionTakesWhatIsTypedOrPicked()
{
    QFETCH(QString, typed);
    QFETCH(int, picked);

    QString shownText;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* list = dialog->findChild<QComboBox*>();
        QVERIFY(list && list->isEditable());
        shownText = dialog->windowTitle() + u'|' + dialog->labelText() + u'|' + list->currentText();
        if (picked >= 0)
            list->setCurrentIndex(picked);
        if (!typed.isEmpty()) {
            list->lineEdit()->selectAll();
            QTest::keyClicks(list->lineEdit(), typed);
        }
        dialog->accept();
    });
    platform::DialogPrompts prompts;
    QTEST(prompts.askTextOrChoice(
              u"Which port?"_s, u"Port"_s, { u"1 - ttyS0"_s, u"2 - ttyUSB0, FT232R USB UART"_s }, u"1"_s),
        "answer");
    QCOMPARE(shownText, u"Port|Which port?|1"_s);
}

void tst_Platform::saveThatRunsOutOfSpaceKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lecture-hall.qxc"_s);
    const QByteArray old(300, 'o');
    QVERIFY(!platform::replaceFile(path, old));

    // A file-size limit makes every write past 64 bytes fail the way a full disk does.
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<platform::Error> error = platform::replaceFile(path, QByteArray(4000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(error);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
