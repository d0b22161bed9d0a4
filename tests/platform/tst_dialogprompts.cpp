#include "platform/dialogprompts.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_DialogPrompts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portQuestionTakesWhatIsTypedOrPicked_data();
    void portQuestionTakesWhatIsTypedOrPicked();
};

void tst_DialogPrompts::portQuestionTakesWhatIsTypedOrPicked_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("answer");

    QTest::newRow("initial text kept") << QString() << -1 << u"1"_s;
    // Typing the first character of an item must not complete it into the item.
    QTest::newRow("typed, not completed") << u"2"_s << -1 << u"2"_s;
    QTest::newRow("device path typed") << u"/dev/pts/4"_s << -1 << u"/dev/pts/4"_s;
    QTest::newRow("item picked") << QString() << 1 << u"2 - ttyUSB0, FT232R USB UART"_s;
}

void tst_DialogPrompts::portQuestionTakesWhatIsTypedOrPicked()
{
    QFETCH(QString, typed);
    QFETCH(int, picked);
    QFETCH(QString, answer);

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
    QCOMPARE(prompts.askTextOrChoice(
                 u"Which port?"_s, u"Port"_s, { u"1 - ttyS0"_s, u"2 - ttyUSB0, FT232R USB UART"_s }, u"1"_s),
        answer);
    QCOMPARE(shownText, u"Port|Which port?|1"_s);
}

QTEST_MAIN(tst_DialogPrompts)
#include "tst_dialogprompts.moc"
