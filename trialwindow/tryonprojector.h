// "Try on Projector...": the main window's and the builder's way to the trial window.
#pragma once

#include "trialwindow.h"

#include <QList>
#include <QPointer>

class QAction;

namespace trialwindow {

// Refuses a string the box could not send before anything is opened, asks for the projector's
// port the first time, and starts the trial in the one trial window. While a trial runs, the
// controls held are disabled: the box's port commands must not meet a trial on the same adapter.
class TryOnProjector final {
public:
    TryOnProjector(const TrialServices& services, QWidget& mainWindow);
    ~TryOnProjector();
    TryOnProjector(const TryOnProjector&) = delete;
    TryOnProjector& operator=(const TryOnProjector&) = delete;

    void holdDuringTrial(QList<QWidget*> controls, QList<QAction*> commands);
    // bytes as the slot or the builder holds them; baudListText as the baud list shows it.
    void tryBytes(const QByteArray& bytes, QStringView baudListText);
    // Ends a running trial at once and closes the port; the window goes too.
    void stopAndClose();

private:
    void hold(bool running);

    TrialServices m_services;
    QWidget& m_mainWindow;
    QPointer<TrialWindow> m_window;
    QList<QPointer<QWidget>> m_controls;
    QList<QPointer<QAction>> m_commands;
};

} // namespace trialwindow
