#include "windowfixture.h"

// The builder opened from the main window's Build String, for the "No Input Active" slot.
class tst_BuilderWindow : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void onlyDoneHandsTheCompositionToTheBuildersSlot_data();
    void onlyDoneHandsTheCompositionToTheBuildersSlot();
    void mainWindowBeepsAndSendsTheUserBack();

private:
    QWidget* openBuilder()
    {
        chooseSlot(SlotId::NoInputActive);
        return m_fixture->openBuilder();
    }
    void chooseSlot(SlotId id) { m_fixture->window->slotPanel().selectSlot(id); }
    config::StringSlot& slot(SlotId id) { return m_fixture->configuration.slot(id); }
};

void tst_BuilderWindow::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    slot(SlotId::NoInputActive) = { "\x01\x02", u"PWR"_s, 2 };
    slot(SlotId::DiscreteOn) = { "on", u"on"_s, 2 };
    m_fixture->open();
}

void tst_BuilderWindow::onlyDoneHandsTheCompositionToTheBuildersSlot_data()
{
    QTest::addColumn<QString>("typed");
    // What the user did in the main window before leaving the builder: chose another slot (and
    // came back), or had the builder opened for another slot first.
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("how"); // a button's name, Esc, the close box, or the main window closed

    const QString done = u"DoneButton"_s;
    QTest::newRow("typed string") << u"ON"_s << QString() << done;
    QTest::newRow("nothing composed") << QString() << QString() << done;
    QTest::newRow("same text as shown") << u"PWR"_s << QString() << done;
    QTest::newRow("another slot chosen meanwhile") << u"ON"_s << u"chosen"_s << done;
    QTest::newRow("opened for another slot first") << u"ON"_s << u"opened"_s << done;
    QTest::newRow("Cancel") << u"ON"_s << u"back"_s << u"CancelButton"_s;
    QTest::newRow("Esc") << u"ON"_s << u"back"_s << u"Esc"_s;
    QTest::newRow("close box") << u"ON"_s << u"back"_s << u"close"_s;
    QTest::newRow("main window closed") << u"ON"_s << u"back"_s << u"main"_s;
}

void tst_BuilderWindow::onlyDoneHandsTheCompositionToTheBuildersSlot()
{
    QFETCH(QString, typed);
    QFETCH(QString, meanwhile);
    QFETCH(QString, how);
    auto expected = m_fixture->configuration.slots;
    if (how == u"DoneButton"_s)
        expected[config::indexOf(SlotId::NoInputActive)] = { typed.toLatin1(), typed, quint8(typed.size()) };
    if (meanwhile == u"opened"_s) {
        chooseSlot(SlotId::DiscreteOn);
        QTest::mouseClick(m_fixture->find<QPushButton>(u"BuildStringButton"_s), Qt::LeftButton);
    }
    QPointer<QWidget> builder = openBuilder();
    QVERIFY(builder);
    auto* composition = builder->findChild<QPlainTextEdit*>(u"StringTextBox"_s);
    QTest::keyClicks(composition, typed);
    if (meanwhile == u"chosen"_s || meanwhile == u"back"_s)
        chooseSlot(SlotId::DiscreteOn);
    if (meanwhile == u"back"_s)
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
    QCOMPARE(m_fixture->configuration.slots, expected);
    QCOMPARE(m_fixture->handOver.builderPending, (std::array<bool, config::kSlotCount> {}));
    QCOMPARE(m_fixture->window->slotPanel().selectedSlot(), SlotId::NoInputActive);
    const config::StringSlot& shown = slot(SlotId::NoInputActive);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), QString::number(shown.byteCount));
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringBytesTextBox"_s)->text(),
        QString::fromLatin1(shown.commandBytes.toHex(' ').toUpper()));
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
