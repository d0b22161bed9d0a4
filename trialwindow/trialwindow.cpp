#include "trialwindow.h"

#include "device/linkerrorreport.h"
#include "notation/notation.h"
#include "notation/readabletext.h"
#include "platform/programlook.h"

#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using device::ProjectorTrial;
using device::TrialEvent;

namespace trialwindow {

namespace {

// How often the window looks for the projector's answer and moves the countdown on: the port
// tells no arrival by itself, and a tenth of a second is what the countdown shows.
constexpr int kLookEveryMs = 50;

// A reply is logged this many bytes a line, as a hex dump is read: the 64 KiB a flooding projector
// fills the trial with would take the log seconds to lay out as one line.
constexpr qsizetype kBytesPerLine = 16;

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(name);
    pushButton->setAutoDefault(false);
    return pushButton;
}

// "0.501 s  received 4F 4B 0D  "OK<CR>"": each step with its time from the port's opening.
QString logLine(qint64 atMs, const QString& text)
{
    return QString::number(double(atMs) / 1000, 'f', 3) + u" s  "_s + text;
}

// "1.5": a countdown never shows 0.0 while time is left.
QString tenthsLeft(qint64 ms) { return QString::number(double((ms + 99) / 100) / 10, 'f', 1); }

} // namespace

TrialWindow::TrialWindow(const TrialServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_timer(new QTimer(this))
    , m_portLabel(platform::namedLabel(QString(), u"TrialPortLabel"_s, this))
    , m_changePort(button(u"Change Port..."_s, u"ChangeTrialPortButton"_s, this))
    , m_listenSeconds(new QDoubleSpinBox(this))
    , m_note(platform::namedLabel(QString(), u"TrialNoteLabel"_s, this))
    , m_log(new QPlainTextEdit(this))
    , m_status(platform::namedLabel(QString(), u"TrialStatusLabel"_s, this))
    , m_skipWait(button(u"Skip wait"_s, u"SkipWaitButton"_s, this))
    , m_stop(button(u"Stop"_s, u"StopTrialButton"_s, this))
    , m_tryAgain(button(u"Try Again"_s, u"TryAgainButton"_s, this))
{
    setObjectName(u"TrialWindow"_s);
    setWindowTitle(u"Try on Projector"_s);
    platform::paintProgramBackground(this);
    m_portLabel->setTextFormat(Qt::PlainText);
    m_listenSeconds->setObjectName(u"ListenSecondsBox"_s);
    m_listenSeconds->setRange(double(device::kShortestListenMs) / 1000, double(device::kLongestListenMs) / 1000);
    m_listenSeconds->setDecimals(1);
    m_listenSeconds->setSingleStep(0.5);
    m_listenSeconds->setSuffix(u" s"_s);
    m_listenSeconds->setValue(double(device::kDefaultListenMs) / 1000);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_log->setObjectName(u"TrialLog"_s);
    m_log->setReadOnly(true);
    // Hex pairs line up under each other only in a fixed-width font.
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    auto* port = new QHBoxLayout;
    port->addWidget(m_portLabel, 1);
    port->addWidget(m_changePort);
    layout->addLayout(port);
    auto* listen = new QHBoxLayout;
    listen->addWidget(
        platform::captionLabel(u"Listen after the last byte:"_s, u"ListenSecondsLabel"_s, m_listenSeconds));
    listen->addWidget(m_listenSeconds);
    listen->addStretch();
    layout->addLayout(listen);
    layout->addWidget(m_note);
    layout->addWidget(m_log, 1);
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_skipWait);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    buttons->addWidget(m_tryAgain);
    layout->addLayout(buttons);
    resize(560, 360);

    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &TrialWindow::advance);
    connect(m_changePort, &QPushButton::clicked, this, &TrialWindow::changePort);
    connect(m_skipWait, &QPushButton::clicked, this, [this] {
        if (isRunning())
            m_trial->skipWait();
        advance();
    });
    connect(m_stop, &QPushButton::clicked, this, &TrialWindow::stop);
    connect(m_tryAgain, &QPushButton::clicked, this, &TrialWindow::run);
    showPort();
    showState();
}

// The trial closes the port as it goes; no one is told, since the window goes with its owner.
TrialWindow::~TrialWindow() = default;

void TrialWindow::start(const device::TrialPlan& plan, qint32 baudRate)
{
    m_steps = plan.steps;
    m_baudRate = baudRate;
    m_note->setText(plan.note.isEmpty() ? QString() : u"Note: "_s + plan.note + u'.');
    m_note->setVisible(!plan.note.isEmpty());
    run();
}

void TrialWindow::stop()
{
    if (!isRunning())
        return;
    m_trial->stop();
    finish();
}

bool TrialWindow::isRunning() const { return m_trial && !m_trial->isOver(); }

void TrialWindow::advance()
{
    if (!isRunning())
        return;
    m_trial->advance();
    logNewEvents();
    if (m_trial->isOver()) {
        finish();
        return;
    }
    showState();
    // The wait or the listening ends at its time, not at the next look after it.
    m_timer->start(int(qMin<qint64>(kLookEveryMs, m_trial->msUntilDue())));
}

void TrialWindow::closeEvent(QCloseEvent* event)
{
    stop();
    QWidget::closeEvent(event);
}

void TrialWindow::run()
{
    if (isRunning())
        return;
    m_log->clear();
    device::ProjectorPort& projectorPort = m_services.projectorPort;
    const platform::Result<QString>& device = projectorPort.deviceChoice.deviceFor(projectorPort.answer);
    if (!device) {
        m_status->setText(device::linkErrorLine(device.error()));
        return;
    }
    m_eventsLogged = 0;
    m_trial = std::make_unique<ProjectorTrial>(
        m_services.port, m_services.clock, m_steps, qRound64(m_listenSeconds->value() * 1000));
    m_startMs = m_services.clock.monotonicMs();
    if (m_trial->start(device.value(), m_baudRate)) {
        finish();
        return;
    }
    log(0, u"%1 opened at %2 baud"_s.arg(device.value(), QString::number(m_baudRate)));
    Q_EMIT runningChanged(true);
    advance();
}

void TrialWindow::changePort()
{
    if (device::askForProjectorPort(
            m_services.prompts, m_services.projectorPort, m_services.portChoices(), m_services.boxPortAnswer))
        showPort();
}

void TrialWindow::showPort() { m_portLabel->setText(u"Projector port: "_s + m_services.projectorPort.answer); }

void TrialWindow::logNewEvents()
{
    // One append for all the lines of a turn: the log lays itself out once, not once a line.
    QStringList lines;
    const QList<TrialEvent>& events = m_trial->events();
    for (; m_eventsLogged < events.size(); ++m_eventsLogged) {
        const TrialEvent& event = events.at(m_eventsLogged);
        switch (event.kind) {
        case TrialEvent::Kind::Sent:
            lines.append(logLine(event.atMs, u"sent "_s + notation::hexPairs(event.bytes)));
            break;
        case TrialEvent::Kind::WaitBegun:
            lines.append(logLine(event.atMs, u"wait of %1 s"_s.arg(event.waitSeconds)));
            break;
        case TrialEvent::Kind::WaitEnded:
            lines.append(logLine(event.atMs, event.skipped ? u"wait skipped"_s : u"wait over"_s));
            break;
        case TrialEvent::Kind::Received:
            for (qsizetype at = 0; at < event.bytes.size(); at += kBytesPerLine) {
                const QByteArray bytes = event.bytes.mid(at, kBytesPerLine);
                lines.append(logLine(event.atMs,
                    u"received %1  \"%2\""_s.arg(notation::hexPairs(bytes), notation::readableText(bytes))));
            }
            break;
        }
    }
    if (!lines.isEmpty())
        m_log->appendPlainText(lines.join(u'\n'));
}

void TrialWindow::log(qint64 atMs, const QString& text) { m_log->appendPlainText(logLine(atMs, text)); }

void TrialWindow::showState()
{
    const bool running = isRunning();
    if (running) {
        const ProjectorTrial::Phase phase = m_trial->phase();
        if (phase == ProjectorTrial::Phase::Waiting)
            m_status->setText(u"Waiting: %1 s left"_s.arg(tenthsLeft(m_trial->msLeft())));
        else if (phase == ProjectorTrial::Phase::Listening)
            m_status->setText(u"Listening: %1 s left"_s.arg(tenthsLeft(m_trial->msLeft())));
        else
            m_status->setText(u"Sending"_s);
    }
    m_skipWait->setEnabled(running && m_trial->phase() == ProjectorTrial::Phase::Waiting);
    m_stop->setEnabled(running);
    m_tryAgain->setEnabled(!running && !m_steps.isEmpty());
    m_changePort->setEnabled(!running);
    m_listenSeconds->setEnabled(!running);
}

void TrialWindow::finish()
{
    m_timer->stop();
    logNewEvents();
    const qint64 nowMs = m_services.clock.monotonicMs() - m_startMs;
    if (const qint64 notKept = m_trial->replyBytes() - m_trial->reply().size(); notKept > 0)
        log(nowMs, device::notKeptText(notKept));
    switch (m_trial->phase()) {
    case ProjectorTrial::Phase::Finished: {
        const qint64 answered = m_trial->replyBytes();
        m_status->setText(answered == 0 ? u"Finished: no answer from the projector"_s
                                        : u"Finished: %1 bytes from the projector"_s.arg(answered));
        log(nowMs, u"listening over"_s);
        break;
    }
    case ProjectorTrial::Phase::Stopped:
        m_status->setText(u"Stopped; the port is closed"_s);
        log(nowMs, u"stopped"_s);
        break;
    default:
        m_status->setText(device::linkErrorLine(m_trial->failure().value()));
        log(nowMs, u"failed"_s);
        break;
    }
    showState();
    Q_EMIT runningChanged(false);
}

} // namespace trialwindow
