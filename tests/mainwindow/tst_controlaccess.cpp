#include "windowfixture.h"

#include <QAccessible>

using namespace Qt::StringLiterals;
using platform::Answer;

namespace {

const platform::FileDialogSettings kQxcDialog { u"qxc"_s, u"QX-7M Files (*.qxc)"_s, u"*.qxc"_s };

// The controls the keyboard reaches in a window, in the order Tab visits them from the first.
QList<QWidget*> tabStops(QWidget* window, QWidget* first)
{
    QList<QWidget*> stops;
    for (QWidget* control = first; control && !stops.contains(control); control = control->nextInFocusChain()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window) && control->window() == window
            && !control->focusProxy())
            stops.append(control);
    }
    return stops;
}

// What a screen reader says of a control: its name and the labels that name it (on Linux a list
// is announced by its current item, its caption by the label).
QStringList announcedNames(QWidget* control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QStringList names { accessible->text(QAccessible::Name).simplified() };
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
        names.append(label->text(QAccessible::Name).simplified());
    return names;
}

} // namespace

class tst_ControlAccess : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tabFollowsTheLayoutAndEveryStopIsAnnouncedByItsCaption_data();
    void tabFollowsTheLayoutAndEveryStopIsAnnouncedByItsCaption();
    void fileShortcutsWorkFromEveryMainWindowControlButNotFromTheBuilder();
};

void tst_ControlAccess::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->open();
}

void tst_ControlAccess::tabFollowsTheLayoutAndEveryStopIsAnnouncedByItsCaption_data()
{
    QTest::addColumn<bool>("builder");
    // Each stop's object name and caption: its own text, or the label beside it.
    QTest::addColumn<QStringList>("stops");

    QTest::newRow("main window") << false
                                 << QStringList { u"DDList=Select a string"_s,
                                        u"SelStringTextBox=VGA Input Active String"_s,
                                        u"SelStringLenTextBox=String Length:"_s, u"BuildStringButton=Build String"_s,
                                        u"SelFileButton=Select File"_s, u"VGAOption=VGA"_s, u"CompOption=Composite"_s,
                                        u"SvidOption=S-Video"_s, u"NoneOption=None"_s,
                                        u"BaudRateListBox=Projector Baud Rate"_s, u"HoursTextBox=Hours:"_s,
                                        u"MinutesTextBox=Minutes:"_s, u"SecondsTextBox=Seconds:"_s,
                                        u"UploadCommandsButton=Save and Upload"_s };
    // The builder's own order: the composition first, then its buttons, then the groups above it.
    QTest::newRow("builder") << true
                             << QStringList { u"StringTextBox=Enter codes for VGA Input Active String"_s,
                                    u"DoneButton=Done"_s, u"CancelButton=Cancel"_s, u"HoursTextBox=Hours:"_s,
                                    u"MinutesTextBox=Minutes:"_s, u"SecondsTextBox=Seconds:"_s,
                                    u"InsertWaitButton=Insert Wait Time"_s, u"ControlChrList=Control Characters"_s,
                                    u"InsertCtlChr=Insert Control Character"_s, u"HexButton=Insert Hex Byte"_s,
                                    u"HexText=Insert Hex Byte"_s };
}

void tst_ControlAccess::tabFollowsTheLayoutAndEveryStopIsAnnouncedByItsCaption()
{
    QFETCH(bool, builder);
    QFETCH(QStringList, stops);
    QWidget* window = builder ? m_fixture->openBuilder() : m_fixture->window.get();
    QVERIFY(window);
    const QString firstName = stops.constFirst().section(u'=', 0, 0);
    auto* first = window->findChild<QWidget*>(firstName);
    QVERIFY(first);

    QStringList visited;
    for (QWidget* control : tabStops(window, first)) {
        const QStringList names = announcedNames(control);
        const QString expected = stops.value(int(visited.size())).section(u'=', 1);
        visited.append(control->objectName() + u'=' + (names.contains(expected) ? expected : names.join(u" | "_s)));
    }
    QCOMPARE(visited, stops);
}

void tst_ControlAccess::fileShortcutsWorkFromEveryMainWindowControlButNotFromTheBuilder()
{
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    QWidget* window = m_fixture->window.get();
    const QList<QWidget*> controls = tabStops(window, m_fixture->find<QWidget>(u"DDList"_s));
    QVERIFY(controls.size() > 10);
    for (QWidget* control : controls) {
        control->setFocus();
        // Each command's first question, answered so that it goes no further.
        prompts.expectQuestion(u"Do you wish to save your current configuration?"_s, u"New File"_s, Answer::Cancel);
        QTest::keyClick(control, Qt::Key_N, Qt::ControlModifier);
        prompts.expectOpenFile(kQxcDialog, QString());
        QTest::keyClick(control, Qt::Key_L, Qt::ControlModifier);
        prompts.expectSaveFile(kQxcDialog, QString());
        QTest::keyClick(control, Qt::Key_S, Qt::ControlModifier);
        prompts.expectQuestion(
            u"Do you wish to save your current configuration before quitting?"_s, u"New File"_s, Answer::Cancel);
        QTest::keyClick(control, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY2(prompts.problems().isEmpty(), qPrintable(control->objectName()));
    }

    QWidget* builder = m_fixture->openBuilder();
    QVERIFY(builder);
    const QList<QWidget*> builderControls = tabStops(builder, builder->findChild<QWidget*>(u"StringTextBox"_s));
    QVERIFY(builderControls.size() > 10);
    for (QWidget* control : builderControls) {
        control->setFocus();
        for (const Qt::Key key : { Qt::Key_N, Qt::Key_L, Qt::Key_S, Qt::Key_Q })
            QTest::keyClick(control, key, Qt::ControlModifier);
    }
    // Any box that came is in problems(), which cleanup() checks; the composition is still open.
    QVERIFY(builder->isVisible());
}

QTEST_MAIN(tst_ControlAccess)
#include "tst_controlaccess.moc"
