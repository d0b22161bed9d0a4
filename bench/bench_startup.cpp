// Times the QX-7M Programmer from its start to the port question, and prints its peak memory with a
// configuration loaded and the builder open; each measured in a child process that starts as the program does.
#include "app/programicon.h"
#include "app/programservices.h"
#include "config/configurationfile.h"
#include "mainwindow/startup.h"
#include "notation/notation.h"
#include "platform/display.h"
#include "platform/programidentity.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString kPortQuestionMode = u"--until-port-question"_s;
const QString kBuilderMode = u"--until-builder-open"_s;
constexpr int kPortQuestionRuns = 15;
constexpr int kBuilderRuns = 3;
// A child that hangs on a dialog it does not know says so and ends, well before the parent gives up on it.
constexpr int kChildTimeoutMs = 20000;
constexpr int kParentTimeoutMs = 30000;

[[noreturn]] void endChild(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    // The child ends where it stands, inside a dialog's event loop, as the program's own quick end does.
    std::_Exit(exitCode);
}

[[noreturn]] void failChild(const QString& reason)
{
    std::fprintf(stderr, "bench_startup child: %s\n", qPrintable(reason));
    endChild(1);
}

// What app/main.cpp builds, in its order and with the same real dialogs, serial port and clock. Without
// command-line options the port question starts with "1" and no file is given. The watcher sees every
// event of the application from the port question on; it ends the process when it has its figure.
int runTheProgram(int& argc, char** argv, const std::function<std::unique_ptr<QObject>()>& makeWatcher)
{
    QCoreApplication::setApplicationName(u"qx7m-programmer"_s);
    QCoreApplication::setApplicationVersion(QString(platform::kProgramVersion));
    if (const QString reason = platform::missingDisplayReason(); !reason.isEmpty())
        failChild(reason);

    QApplication application(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QString(platform::kApplicationId));
    QApplication::setQuitOnLastWindowClosed(false);

    app::ProgramServices program;
    const std::unique_ptr<QObject> watcher = makeWatcher();
    application.installEventFilter(watcher.get());
    mainwindow::StartUp startUp(program.services());
    QObject::connect(&startUp, &mainwindow::StartUp::finished, &application, &QApplication::quit);
    startUp.begin(app::startOptionsOnThisComputer(u"1"_s, QString()));
    QApplication::exec();
    failChild(u"the program ended before the watcher had its figure"_s);
}

// Reports the port question's first Show event on standard output, with the milliseconds since
// main() began, and ends the process there.
class PortQuestionWatch final : public QObject {
public:
    explicit PortQuestionWatch(const QElapsedTimer& sinceMain)
        : m_sinceMain(sinceMain)
    {
        QTimer::singleShot(kChildTimeoutMs, this, [] { failChild(u"no port question within 20 s"_s); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QInputDialog*>(watched)) {
            std::printf("port-question-shown %.3f\n", double(m_sinceMain.nsecsElapsed()) / 1e6);
            endChild(0);
        }
        return false;
    }

private:
    const QElapsedTimer& m_sinceMain;
};

// (VmHWM, VmRSS) of this process in kB, or zeros when /proc cannot tell.
std::pair<long, long> peakAndResidentKb()
{
    long peak = 0;
    long resident = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            std::sscanf(line, "VmHWM: %ld kB", &peak);
            std::sscanf(line, "VmRSS: %ld kB", &resident);
        }
        std::fclose(status);
    }
    return { peak, resident };
}

// Answers the start-up as an installer who edits an existing file does: the port question with
// portAnswer, any port error box with OK, the start dialog with "Edit Existing", the file dialog
// with file; then clicks Build String in the main window and, once the builder has painted,
// reports the peak memory on standard output and ends the process. Every answer is given from the
// event loop after the Show event, as a user's click would come, never inside it.
class BuilderOpening final : public QObject {
public:
    BuilderOpening(QString portAnswer, QString file)
        : m_portAnswer(std::move(portAnswer))
        , m_file(std::move(file))
    {
        QTimer::singleShot(kChildTimeoutMs, this,
            [this] { failChild(u"the builder did not open within 20 s; the last step was: "_s + m_step); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            answer(static_cast<QWidget*>(watched));
        else if (event->type() == QEvent::Paint && m_builderShown && watched->objectName() == u"BuildStringForm") {
            m_builderShown = false;
            QTimer::singleShot(0, this, [] {
                const auto [peak, resident] = peakAndResidentKb();
                std::printf("builder-open %ld %ld\n", peak, resident);
                endChild(0);
            });
        }
        return false;
    }

private:
    void answer(QWidget* widget)
    {
        if (auto* question = qobject_cast<QInputDialog*>(widget)) {
            if (m_portAnswered)
                failChild(u"the port question came again: the answer "_s + m_portAnswer + u" was refused"_s);
            m_portAnswered = true;
            m_step = u"port question answered with "_s + m_portAnswer;
            QTimer::singleShot(0, question, [this, question] {
                question->setTextValue(m_portAnswer);
                question->accept();
            });
        } else if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            std::fprintf(stderr, "bench_startup child: closing the box \"%s\": %s\n", qPrintable(box->windowTitle()),
                qPrintable(box->text()));
            QTimer::singleShot(0, box, [box] { box->accept(); });
        } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
            if (m_fileChosen)
                failChild(u"the file dialog came again: "_s + m_file + u" was refused"_s);
            m_fileChosen = true;
            m_step = u"file dialog answered with "_s + m_file;
            QTimer::singleShot(0, dialog, [this, dialog] {
                dialog->selectFile(m_file);
                // QFileDialog's own accept, which checks the file as the Open button does; it is
                // public only through QDialog.
                static_cast<QDialog*>(dialog)->accept();
            });
        } else if (widget->objectName() == u"StartFileSelection") {
            m_step = u"start dialog shown"_s;
            clickLater(widget, u"EditExistingButton"_s);
        } else if (widget->objectName() == u"Main") {
            m_step = u"main window shown"_s;
            clickLater(widget, u"BuildStringButton"_s);
        } else if (widget->objectName() == u"BuildStringForm") {
            m_step = u"builder shown, not yet painted"_s;
            m_builderShown = true;
        }
    }

    void clickLater(QWidget* window, const QString& buttonName)
    {
        QTimer::singleShot(0, window, [this, window, buttonName] {
            auto* button = window->findChild<QPushButton*>(buttonName);
            if (!button)
                failChild(window->objectName() + u" has no push button named "_s + buttonName);
            m_step = u"clicked "_s + buttonName;
            button->click();
        });
    }

    QString m_portAnswer;
    QString m_file;
    QString m_step = u"waiting for the port question"_s;
    bool m_portAnswered = false;
    bool m_fileChosen = false;
    bool m_builderShown = false;
};

// A pseudo-terminal's device path, which the port question opens and closes as it would a serial
// port: no port error box, as with a working adapter. The controlling side stays open until the end.
QString pseudoTerminalPath()
{
    const int controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0)
        return {};
    return QString::fromLocal8Bit(ptsname(controller));
}

// Seven different projector commands of 30 bytes, each composed as in the builder: STX, typed
// characters, ETX and CR; with the delay, the scan priority and a baud rate set.
std::optional<platform::Error> writeFullConfiguration(const QString& path)
{
    config::Configuration configuration;
    configuration.commitBaudRate(u"19200");
    configuration.scanPriority = config::ScanPriority::Composite;
    const QString commands[] = { u"SOURCE 11;"_s, u"SOURCE 21;"_s, u"SOURCE 31;"_s, u"POWER OFF;"_s, u"INPUT 1 ON;"_s,
        u"INPUT 1 OFF;"_s, u"PICTURE MUTE 0;"_s };
    for (int index = 0; index < config::kSlotCount; ++index) {
        QList<notation::Token> tokens { notation::hexByteToken(u"02") };
        for (const QChar character : commands[index].repeated(3).left(27))
            tokens.append(*notation::typedCharacterToken(character.unicode()));
        tokens.append(notation::hexByteToken(u"03"));
        tokens.append(notation::controlCharacterToken(u"CR"));
        config::StringSlot& slot = configuration.slots[std::size_t(index)];
        for (const notation::Token& token : tokens) {
            slot.sourceText += token.text;
            slot.commandBytes += token.bytes;
        }
        slot.byteCount = quint8(slot.commandBytes.size());
    }
    configuration.configPath = path;
    return config::writeConfiguration(configuration, { u"1"_s, u"30"_s, u"0"_s });
}

struct ChildRun {
    // The child's one line on standard output.
    QByteArray line;
    // From just before the start to the moment the line came.
    double wallMs = 0;
};

// Runs this program in a child mode and waits for its line. The child gets the offscreen platform
// unless the caller's environment names one.
std::optional<ChildRun> runChild(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(u"QT_QPA_PLATFORM"_s))
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments(arguments);

    const QDeadlineTimer deadline(kParentTimeoutMs);
    QElapsedTimer wall;
    wall.start();
    child.start();
    while (!child.canReadLine() && child.waitForReadyRead(int(deadline.remainingTime()))) { }
    ChildRun run { child.readLine().trimmed(), double(wall.nsecsElapsed()) / 1e6 };
    if (!child.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1000)))) {
        child.kill();
        child.waitForFinished();
    }
    if (run.line.isEmpty() || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_startup: the child %s ended with exit code %d and no figure:\n%s\n",
            qPrintable(arguments.join(u' ')), child.exitCode(), child.readAllStandardError().constData());
        return std::nullopt;
    }
    return run;
}

// The numbers after the expected word of a child's line; none when the line is another.
std::optional<QList<double>> figures(const QByteArray& line, const QByteArray& word, qsizetype count)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != count + 1 || parts.constFirst() != word)
        return std::nullopt;
    QList<double> numbers;
    for (qsizetype index = 1; index < parts.size(); ++index) {
        bool isNumber = false;
        numbers.append(parts[index].toDouble(&isNumber));
        if (!isNumber)
            return std::nullopt;
    }
    return numbers;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int timePortQuestion()
{
    QList<double> wall;
    QList<double> inProcess;
    for (int run = 0; run < kPortQuestionRuns; ++run) {
        const std::optional<ChildRun> child = runChild({ kPortQuestionMode });
        const auto shown = child ? figures(child->line, "port-question-shown", 1) : std::nullopt;
        if (!shown) {
            std::fprintf(stderr, "bench_startup: no port question: %s\n", child ? child->line.constData() : "");
            return 1;
        }
        wall.append(child->wallMs);
        inProcess.append(shown->constFirst());
    }
    std::printf("Start to the port question on screen (target under 250 ms), %d runs: median %.1f ms, worst %.1f "
                "ms; of which after main() began: median %.1f ms, worst %.1f ms\n",
        kPortQuestionRuns, median(wall), *std::max_element(wall.begin(), wall.end()), median(inProcess),
        *std::max_element(inProcess.begin(), inProcess.end()));
    return 0;
}

int measureBuilderOpen()
{
    const QTemporaryDir directory;
    const QString file = directory.filePath(u"hall.qxc"_s);
    if (const std::optional<platform::Error> error = writeFullConfiguration(file)) {
        std::fprintf(stderr, "bench_startup: %s cannot be written: %s\n", qPrintable(file),
            qPrintable(error->descriptionMessage()));
        return 1;
    }
    double peakKb = 0;
    double residentKb = 0;
    for (int run = 0; run < kBuilderRuns; ++run) {
        const std::optional<ChildRun> child = runChild({ kBuilderMode, file });
        const auto memory = child ? figures(child->line, "builder-open", 2) : std::nullopt;
        if (!memory || memory->constFirst() <= 0) {
            std::fprintf(stderr, "bench_startup: no memory figure: %s\n", child ? child->line.constData() : "");
            return 1;
        }
        if (memory->constFirst() > peakKb) {
            peakKb = memory->constFirst();
            residentKb = memory->constLast();
        }
    }
    std::printf("Peak memory with a file of seven 30-byte strings loaded and the builder open (target under 60 MB): "
                "%.1f MB (VmHWM, largest of %d runs; resident then %.1f MB)\n",
        peakKb / 1024, kBuilderRuns, residentKb / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    const QString mode = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == kPortQuestionMode)
        return runTheProgram(argc, argv, [&sinceMain] { return std::make_unique<PortQuestionWatch>(sinceMain); });
    if (mode == kBuilderMode && argc >= 3) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        const QString port = pseudoTerminalPath();
        if (port.isEmpty())
            failChild(u"no pseudo-terminal for the port question"_s);
        return runTheProgram(argc, argv, [&] { return std::make_unique<BuilderOpening>(port, file); });
    }

    const QCoreApplication application(argc, argv);
    const QByteArray qpa = qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM") : "offscreen";
    std::printf("QX-7M Programmer start-up, QT_QPA_PLATFORM=%s\n", qpa.constData());
    if (const int failed = timePortQuestion())
        return failed;
    return measureBuilderOpen();
}
