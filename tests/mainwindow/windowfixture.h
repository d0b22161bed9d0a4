// One main window over a record, with a scripted user and a recorder for the program's end.
#pragma once

#include "config/configurationfile.h"
#include "mainwindow/baudratelist.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/slotpanel.h"
#include "platform/qtserialport.h"

#include "tests/support/scriptedprompts.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using config::SlotId;

// The Open and Save dialogs of configuration files.
inline const platform::FileDialogSettings kQxcDialog { u"qxc"_s, u"QX-7M Files (*.qxc)"_s, u"*.qxc"_s, {} };

// The system's own words for a file in a folder that is missing, or that is a file.
#ifdef Q_OS_WIN
inline const QString kNoSuchFolder = qt_error_string(3); // ERROR_PATH_NOT_FOUND
inline const QString kNotAFolder = kNoSuchFolder;
#else
inline const QString kNoSuchFolder = u"No such file or directory"_s;
inline const QString kNotAFolder = u"Not a directory"_s;
#endif

// Records that the program would have ended, and with which code.
class RecordedEnd final : public platform::ProgramEnd {
public:
    void endNow(int exitCode) override { code = exitCode; }
    std::optional<int> code;
};

// The program's top-level window of this name that is on screen, or none.
inline QWidget* shownWindow(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

// open() shows the window filled from the record as start-up leaves it. The real serial port
// waits as the window's does: painting, not blocking.
struct WindowFixture {
    explicit WindowFixture(platform::SerialPort* port = nullptr, const platform::Clock* clock = nullptr,
        platform::SerialPort* projectorSerialPort = nullptr)
        : services { configuration, handOver, prompts, port ? *port : realPort, portDevice,
            clock ? *clock : systemClock, end,
            [] {
                return QStringList { u"1 - ttyS0"_s, u"2 - ttyUSB0"_s };
            },
            projectorSerialPort ? *projectorSerialPort : realProjectorPort, projectorPort }
    {
    }

    mainwindow::MainWindow& open()
    {
        window = std::make_unique<mainwindow::MainWindow>(services);
        window->show();
        window->fillFromRecordWithoutLeavingFields();
        window->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    // Build String clicked: the builder, once it is on screen and active; none otherwise.
    QWidget* openBuilder() const
    {
        QTest::mouseClick(find<QPushButton>(QStringLiteral("BuildStringButton")), Qt::LeftButton);
        QWidget* builder = shownWindow(QStringLiteral("BuildStringForm"));
        return builder && QTest::qWaitForWindowActive(builder) ? builder : nullptr;
    }

    template <typename T>
    T* find(const QString& name) const
    {
        return window->findChild<T*>(name);
    }

    config::Configuration configuration;
    notation::BuilderHandOver handOver;
    testsupport::ScriptedPrompts prompts;
    platform::QtSerialPort realPort { platform::WaitStyle::KeepWindowsPainting };
    device::PortDeviceChoice portDevice;
    platform::SystemClock systemClock;
    RecordedEnd end;
    platform::QtSerialPort realProjectorPort { platform::WaitStyle::KeepWindowsPainting };
    device::ProjectorPort projectorPort;
    mainwindow::WindowServices services;
    std::unique_ptr<mainwindow::MainWindow> window;
};

// A fresh window for each test function; after it, no expected box may be left unshown and no
// box may have come unexpected.
class WindowTestCase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        if (m_fixture)
            QVERIFY2(m_fixture->prompts.problems().isEmpty(), qPrintable(m_fixture->prompts.problems().join(u'\n')));
        m_fixture.reset();
    }

protected:
    std::unique_ptr<WindowFixture> m_fixture;
};
