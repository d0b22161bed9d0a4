// The Windows stage's check of the window's upload: the real main window, serial port and clock, with the boxes
// answered here. Usage: qx7m-window-upload FILE PORT COUNT (run beside the installed programs' DLLs).
#include "app/programservices.h"
#include "mainwindow/startup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Answers the port question with the given port and tells every other box on standard output, one line each, so
// that the stage compares what a user would have seen.
class AnsweringPrompts final : public platform::Prompts {
public:
    explicit AnsweringPrompts(QString portAnswer)
        : m_portAnswer(std::move(portAnswer))
    {
    }

    void showMessage(const QString& text, const QString& title) override { tell(title + u": "_s + text); }
    platform::Answer askYesNoCancel(const QString& text, const QString& title) override
    {
        tell(u"unexpected question: "_s + title + u": "_s + text);
        return platform::Answer::Cancel;
    }
    platform::Answer askYesNo(const QString& text, const QString& title) override
    {
        tell(u"unexpected question: "_s + title + u": "_s + text);
        return platform::Answer::No;
    }
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString&) override
    {
        tell(u"unexpected question: "_s + title + u": "_s + prompt);
        return std::nullopt;
    }
    QString askTextOrChoice(const QString&, const QString&, const QStringList&, const QString&) override
    {
        return m_portAnswer;
    }
    platform::FileChoice chooseFileToOpen(const platform::FileDialogSettings&) override
    {
        tell(u"unexpected file dialog"_s);
        return {};
    }
    platform::FileChoice chooseFileToSave(const platform::FileDialogSettings&) override
    {
        tell(u"unexpected file dialog"_s);
        return {};
    }
    void beep() override { tell(u"beep"_s); }

private:
    static void tell(const QString& line)
    {
        std::fputs((line + u'\n').toUtf8().constData(), stdout);
        std::fflush(stdout);
    }

    QString m_portAnswer;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: qx7m-window-upload FILE PORT COUNT\n", stderr);
        return 2;
    }
    const int count = arguments.at(3).toInt();
    QApplication::setQuitOnLastWindowClosed(false);

    AnsweringPrompts prompts(arguments.at(2));
    config::Configuration configuration;
    notation::BuilderHandOver handOver;
    platform::QtSerialPort port { platform::WaitStyle::KeepWindowsPainting };
    device::PortDeviceChoice portDevice;
    const platform::SystemClock clock;
    platform::ProcessEnd programEnd;
    platform::QtSerialPort projectorSerialPort { platform::WaitStyle::KeepWindowsPainting };
    device::ProjectorPort projectorPort;
    mainwindow::StartUp startUp({ configuration, handOver, prompts, port, portDevice, clock, programEnd,
        app::portChoicesOnThisComputer, projectorSerialPort, projectorPort });
    startUp.begin({ arguments.at(2), {}, arguments.at(1) });

    auto* button = startUp.mainWindow()->findChild<QAbstractButton*>(u"UploadCommandsButton"_s);
    if (!button || !startUp.mainWindow()->isVisible()) {
        std::fputs("qx7m-window-upload: the main window did not open the file\n", stderr);
        return 1;
    }
    // The presses run from the event loop, as a click does; each upload is over before the next press.
    QTimer::singleShot(0, button, [button, count] {
        for (int press = 0; press < count; ++press)
            button->click();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
