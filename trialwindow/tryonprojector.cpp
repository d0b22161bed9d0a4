#include "tryonprojector.h"

#include "config/projectorbaudrate.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace trialwindow {

TryOnProjector::TryOnProjector(const TrialServices& services, QWidget& mainWindow)
    : m_services(services)
    , m_mainWindow(mainWindow)
{
}

TryOnProjector::~TryOnProjector() { delete m_window.data(); }

void TryOnProjector::holdDuringTrial(QList<QWidget*> controls, QList<QAction*> commands)
{
    m_controls = { controls.cbegin(), controls.cend() };
    m_commands = { commands.cbegin(), commands.cend() };
}

void TryOnProjector::tryBytes(const QByteArray& bytes, QStringView baudListText)
{
    // One trial at a time: the running one is where the user is sent back to.
    if (m_window && m_window->isRunning()) {
        m_services.prompts.beep();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    const device::TrialPlan plan = device::planTrial(bytes);
    if (!plan.refusal.isEmpty()) {
        m_services.prompts.showMessage(u"Not sent to the projector: "_s + plan.refusal + u'.', u"Try on Projector"_s);
        return;
    }
    if (!m_services.projectorPort.answered
        && !device::askForProjectorPort(
            m_services.prompts, m_services.projectorPort, m_services.portChoices(), m_services.boxPortAnswer))
        return;
    // The rate an upload would give the box: the list's text, or 9600 for none of its five.
    const config::ProjectorBaudRate rate
        = *config::projectorBaudRateFromText(QString(config::baudListTextFor(baudListText)));
    if (!m_window) {
        m_window = new TrialWindow(m_services, &m_mainWindow);
        QObject::connect(
            m_window, &TrialWindow::runningChanged, &m_mainWindow, [this](bool running) { hold(running); });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->start(plan, device::bitsPerSecond(rate.high, rate.low));
}

void TryOnProjector::stopAndClose()
{
    if (m_window)
        m_window->close();
}

void TryOnProjector::hold(bool running)
{
    for (QWidget* control : std::as_const(m_controls)) {
        if (control)
            control->setEnabled(!running);
    }
    for (QAction* command : std::as_const(m_commands)) {
        if (command)
            command->setEnabled(!running);
    }
}

} // namespace trialwindow
