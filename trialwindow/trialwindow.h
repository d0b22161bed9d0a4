// The projector trial's window: one string sent straight to the projector, and what it answers.
#pragma once

#include "device/portselection.h"
#include "device/projectortrial.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/serialport.h"

#include <QWidget>

#include <memory>

class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace trialwindow {

// What a trial needs of the application, all alive for the whole run.
struct TrialServices {
    platform::Prompts& prompts;
    // The projector's own port, never the one the box is programmed through.
    platform::SerialPort& port;
    const platform::Clock& clock;
    device::ProjectorPort& projectorPort;
    // The box's port answer, offered in the projector's question.
    const QString& boxPortAnswer;
    // The ports this computer has now, as the port questions offer them.
    QStringList (*portChoices)();
};

// Runs one trial at a time and logs each step as it happens: the bytes sent, each wait with its
// countdown, and what the projector sends back (16 bytes a line, up to the 64 KiB a trial keeps)
// until the listening time is over. It keeps its own copy of the steps and the rate, so that
// editing the string meanwhile changes nothing on the wire, and Try Again sends them again. It
// never waits: its timer, or a test after moving the clock, calls advance(). The port is open only
// while a trial runs, and closed by Stop, by closing the window and when it goes.
class TrialWindow final : public QWidget {
    Q_OBJECT

public:
    TrialWindow(const TrialServices& services, QWidget* parent);
    ~TrialWindow() override;

    // Clears the log and sends the plan's steps to the projector's port at the rate given.
    void start(const device::TrialPlan& plan, qint32 baudRate);
    void stop();
    [[nodiscard]] bool isRunning() const;

public Q_SLOTS:
    // Takes what the projector sent and does whatever the clock says is due.
    void advance();

Q_SIGNALS:
    // A trial began, or ended in any way: the main window holds its port commands meanwhile.
    void runningChanged(bool running);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void run();
    void changePort();
    void showPort();
    void logNewEvents();
    void log(qint64 atMs, const QString& text);
    void showState();
    void finish();

    TrialServices m_services;
    QList<notation::BoxStep> m_steps;
    qint32 m_baudRate = 0;
    std::unique_ptr<device::ProjectorTrial> m_trial;
    qint64 m_startMs = 0;
    qsizetype m_eventsLogged = 0;
    QTimer* m_timer;
    QLabel* m_portLabel;
    QPushButton* m_changePort;
    QDoubleSpinBox* m_listenSeconds;
    QLabel* m_note;
    QPlainTextEdit* m_log;
    QLabel* m_status;
    QPushButton* m_skipWait;
    QPushButton* m_stop;
    QPushButton* m_tryAgain;
};

} // namespace trialwindow
