#include "windowfixture.h"

using platform::Answer;

namespace {

// The controls the keyboard reaches in a window, in the order Tab visits them from the first.
QStringList tabStops(QWidget* window, const QString& firstName)
{
    QStringList stops;
    for (QWidget* control = window->findChild<QWidget*>(firstName); control && !stops.contains(control->objectName());
         control = control->nextInFocusChain()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window) && control->window() == window
            && !control->focusProxy())
            stops.append(control->objectName());
    }
    return stops;
}

} // namespace

class tst_Main : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void choosingASlotShowsItsCaptionTextAndBytes();
    void optionClickSetsScanPriority();
    void delayFieldSelectsOnEntryEmptiesOnRefusalAndLeftEmptyIsZero();
    void tabFollowsTheLayoutAndFileShortcutsWorkOnlyInTheMainWindow_data();
    void tabFollowsTheLayoutAndFileShortcutsWorkOnlyInTheMainWindow();

private:
    QLineEdit* field(const QString& name) const { return m_fixture->find<QLineEdit>(name); }
};

void tst_Main::init() { m_fixture = std::make_unique<WindowFixture>(); }

void tst_Main::choosingASlotShowsItsCaptionTextAndBytes()
{
    // One text for all: the slot shown is told by its length and its bytes.
    for (int i = 0; i < config::kSlotCount; ++i)
        m_fixture->configuration.slots[i] = { QByteArray(1, char(i)), u"same text"_s, quint8(10 + i) };
    mainwindow::MainWindow& window = m_fixture->open();
    auto* list = m_fixture->find<QComboBox>(u"DDList"_s);
    // The list's order, which installers know, is not the record's.
    const SlotId listed[] { SlotId::VgaInputActive, SlotId::SVideoInputActive, SlotId::CompositeInputActive,
        SlotId::NoInputActive, SlotId::DiscreteOn, SlotId::DiscreteOff, SlotId::VideoFirstDetected };
    for (int row = 0; row < config::kSlotCount; ++row) {
        const int id = config::indexOf(listed[row]);
        // Set by the program, with no click: the change alone switches.
        list->setCurrentIndex(row);
        QCOMPARE(list->currentText(), config::displayName(listed[row]));
        QCOMPARE(m_fixture->find<QLabel>(u"SelStringLabel"_s)->text(), config::selStringLabelCaption(listed[row]));
        QCOMPARE(field(u"SelStringTextBox"_s)->text(), u"same text"_s);
        QCOMPARE(field(u"SelStringLenTextBox"_s)->text() + field(u"SelStringBytesTextBox"_s)->text(),
            QString::asprintf("%d%02d", 10 + id, id));
        QCOMPARE(window.slotPanel().selectedSlot(), listed[row]);
    }
}

void tst_Main::optionClickSetsScanPriority()
{
    m_fixture->open();
    // The record's scan priority without a file.
    QVERIFY(m_fixture->find<QRadioButton>(u"NoneOption"_s)->isChecked());
    const std::pair<QString, int> options[]
        = { { u"VGAOption"_s, 1 }, { u"CompOption"_s, 2 }, { u"SvidOption"_s, 3 }, { u"NoneOption"_s, 0 } };
    for (const auto& [option, priority] : options) {
        QTest::mouseClick(m_fixture->find<QRadioButton>(option), Qt::LeftButton);
        QCOMPARE(int(m_fixture->configuration.scanPriority), priority);
    }
}

// The ranges, rounding and refusals are the delay rule's; here what the field does with them.
void tst_Main::delayFieldSelectsOnEntryEmptiesOnRefusalAndLeftEmptyIsZero()
{
    m_fixture->open();
    auto* hours = field(u"HoursTextBox"_s);
    auto* minutes = field(u"MinutesTextBox"_s);
    // Entering a field selects all of it, the hint included, however the focus came.
    QTest::mouseClick(hours, Qt::LeftButton);
    QTRY_COMPARE(hours->selectedText(), u"0-16"_s);
    minutes->setFocus(Qt::OtherFocusReason);
    QCOMPARE(minutes->selectedText(), u"0-59"_s);
    // A refused key empties the field at once: the next key lands in an empty field.
    m_fixture->prompts.expectMessage(u"You must enter a number of minutes between 0 and 59."_s, u"Minutes Wrong"_s);
    QTest::keyClicks(minutes, u"-9"_s);
    QCOMPARE(minutes->text(), u"9"_s);
    QCOMPARE(m_fixture->configuration.delay.minutes, 9);
    // Emptied, the field keeps its number until it is left; then it shows "0" and is 0.
    minutes->clear();
    QCOMPARE(m_fixture->configuration.delay.minutes, 9);
    hours->setFocus(Qt::TabFocusReason);
    QCOMPARE(minutes->text(), u"0"_s);
    QCOMPARE(m_fixture->configuration.delay.minutes, 0);
    QCOMPARE(hours->text(), u"0-16"_s);
}

void tst_Main::tabFollowsTheLayoutAndFileShortcutsWorkOnlyInTheMainWindow_data()
{
    QTest::addColumn<bool>("builder");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("main window") << false
                                 << QStringList { u"DDList"_s, u"SelStringTextBox"_s, u"SelStringLenTextBox"_s,
                                        u"BuildStringButton"_s, u"TryOnProjectorButton"_s, u"SelFileButton"_s,
                                        u"VGAOption"_s, u"CompOption"_s, u"SvidOption"_s, u"NoneOption"_s,
                                        u"BaudRateListBox"_s, u"HoursTextBox"_s, u"MinutesTextBox"_s,
                                        u"SecondsTextBox"_s, u"UploadCommandsButton"_s };
    // The builder's own order: the composition first, then its buttons, then the groups above it.
    QTest::newRow("builder") << true
                             << QStringList { u"StringTextBox"_s, u"DoneButton"_s, u"CancelButton"_s, u"HoursTextBox"_s,
                                    u"MinutesTextBox"_s, u"SecondsTextBox"_s, u"InsertWaitButton"_s,
                                    u"ControlChrList"_s, u"InsertCtlChr"_s, u"HexButton"_s, u"HexText"_s };
}

void tst_Main::tabFollowsTheLayoutAndFileShortcutsWorkOnlyInTheMainWindow()
{
    QFETCH(bool, builder);
    QFETCH(QStringList, stops);
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    m_fixture->open();
    QWidget* window = builder ? m_fixture->openBuilder() : m_fixture->window.get();
    QVERIFY(window);
    QCOMPARE(tabStops(window, stops.first()), stops);
    // From each control, each command's first question, answered so that it goes no further; none in the builder.
    for (const QString& name : stops) {
        if (!builder) {
            prompts.expectQuestion(u"Do you wish to save your current configuration?"_s, u"New File"_s, Answer::Cancel);
            prompts.expectOpenFile(kQxcDialog, QString());
            prompts.expectSaveFile(kQxcDialog, QString());
            prompts.expectQuestion(
                u"Do you wish to save your current configuration before quitting?"_s, u"New File"_s, Answer::Cancel);
        }
        window->findChild<QWidget*>(name)->setFocus();
        for (const Qt::Key key : { Qt::Key_N, Qt::Key_L, Qt::Key_S, Qt::Key_Q })
            QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        QVERIFY2(prompts.problems().isEmpty(), qPrintable(name));
    }
    QVERIFY(window->isVisible());
}

QTEST_MAIN(tst_Main)
#include "tst_main.moc"
