#include "windowfixture.h"

// The builder opened from the main window's Build String, for the "No Input Active" slot.
class tst_BuilderWindow : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void doneHandsTheCompositionToTheBuildersSlot_data();
    void doneHandsTheCompositionToTheBuildersSlot();
    void closingWithoutDoneLeavesEverySlot_data();
    void closingWithoutDoneLeavesEverySlot();
    void mainWindowBeepsAndSendsTheUserBack();

private:
    QWidget* openBuilder()
    {
        chooseSlot(SlotId::NoInputActive);
        return m_fixture->openBuilder();
    }
    void chooseSlot(SlotId id) { m_fixture->window->slotPanel().selectSlot(id); }
    config::StringSlot& slot(SlotId id) { return m_fixture->configuration.slot(id); }

    const config::StringSlot m_discreteOn { "on", u"on"_s, 2 };
};

void tst_BuilderWindow::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    slot(SlotId::NoInputActive) = { "\x01\x02", u"PWR"_s, 2 };
    slot(SlotId::DiscreteOn) = m_discreteOn;
    m_fixture->open();
}

void tst_BuilderWindow::doneHandsTheCompositionToTheBuildersSlot_data()
{
    QTest::addColumn<QString>("typed");
    // What the user did in the main window before Done: chose another slot, or had the builder
    // opened for another slot first.
    QTest::addColumn<QString>("meanwhile");

    QTest::newRow("typed string") << u"ON"_s << QString();
    QTest::newRow("nothing composed") << QString() << QString();
    QTest::newRow("same text as shown") << u"PWR"_s << QString();
    QTest::newRow("another slot chosen meanwhile") << u"ON"_s << u"chosen"_s;
    QTest::newRow("opened for another slot first") << u"ON"_s << u"opened"_s;
}

void tst_BuilderWindow::doneHandsTheCompositionToTheBuildersSlot()
{
    QFETCH(QString, typed);
    QFETCH(QString, meanwhile);
    if (meanwhile == u"opened"_s) {
        chooseSlot(SlotId::DiscreteOn);
        QTest::mouseClick(m_fixture->find<QPushButton>(u"BuildStringButton"_s), Qt::LeftButton);
    }
    QWidget* builder = openBuilder();
    QVERIFY(builder);
    QTest::keyClicks(builder->findChild<QPlainTextEdit*>(u"StringTextBox"_s), typed);
    if (meanwhile == u"chosen"_s)
        chooseSlot(SlotId::DiscreteOn);
    QTest::mouseClick(builder->findChild<QPushButton*>(u"DoneButton"_s), Qt::LeftButton);

    QVERIFY(!builder->isVisible());
    QCOMPARE(slot(SlotId::NoInputActive), (config::StringSlot { typed.toLatin1(), typed, quint8(typed.size()) }));
    QCOMPARE(slot(SlotId::DiscreteOn), m_discreteOn);
    QCOMPARE(m_fixture->window->slotPanel().selectedSlot(), SlotId::NoInputActive);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), QString::number(typed.size()));
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringBytesTextBox"_s)->text(),
        QString::fromLatin1(typed.toLatin1().toHex(' ').toUpper()));
    QCOMPARE(m_fixture->handOver.builderPending, (std::array<bool, config::kSlotCount> {}));
}

void tst_BuilderWindow::closingWithoutDoneLeavesEverySlot_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << u"CancelButton"_s;
    QTest::newRow("Esc") << u"Esc"_s;
    QTest::newRow("close box") << u"close"_s;
    QTest::newRow("main window closed") << u"main"_s;
}

void tst_BuilderWindow::closingWithoutDoneLeavesEverySlot()
{
    QFETCH(QString, how);
    const auto before = m_fixture->configuration.slots;
    QPointer<QWidget> builder = openBuilder();
    QVERIFY(builder);
    auto* composition = builder->findChild<QPlainTextEdit*>(u"StringTextBox"_s);
    QTest::keyClicks(composition, u"ON"_s);
    // Going to another slot and back while composing takes nothing from the composition.
    chooseSlot(SlotId::DiscreteOn);
    chooseSlot(SlotId::NoInputActive);
    if (how == u"Esc"_s)
        QTest::keyClick(composition, Qt::Key_Escape);
    else if (how == u"close"_s)
        builder->close();
    else if (how == u"main"_s)
        m_fixture->window->close();
    else
        QTest::mouseClick(builder->findChild<QPushButton*>(how), Qt::LeftButton);

    QVERIFY(!builder || !builder->isVisible());
    QCOMPARE(m_fixture->configuration.slots, before);
    QCOMPARE(m_fixture->handOver.builderPending, (std::array<bool, config::kSlotCount> {}));
    if (how == u"main"_s)
        return;
    // Opened again at once, before the closed one is gone, it starts from nothing.
    builder = openBuilder();
    QVERIFY(builder);
    QCOMPARE(builder->findChild<QPlainTextEdit*>(u"StringTextBox"_s)->toPlainText(), QString());
    QCOMPARE(builder->findChild<QLineEdit*>(u"FileLenTextBox"_s)->text(), u"#"_s);
}

void tst_BuilderWindow::mainWindowBeepsAndSendsTheUserBack()
{
    QWidget* builder = openBuilder();
    QVERIFY(builder);
    // The composition is not finished: a beep, and the builder is active again.
    m_fixture->prompts.expectBeep();
    m_fixture->window->activateWindow();
    QTRY_VERIFY(m_fixture->prompts.problems().isEmpty());
    QTRY_VERIFY(builder->isActiveWindow());
}

QTEST_MAIN(tst_BuilderWindow)
#include "tst_builderwindow.moc"
