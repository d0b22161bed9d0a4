#include "linkedwindowstates.h"

#include <QScopedValueRollback>

namespace builder {

namespace {

constexpr Qt::WindowStates kSizeStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

void LinkedWindowStates::follow(QWidget& window, Qt::WindowStates state)
{
    if (sizeState(window) == state)
        return;
    const QScopedValueRollback following(m_following, true);
    window.setWindowState((window.windowState() & ~kSizeStates) | state);
}

Qt::WindowStates LinkedWindowStates::sizeState(const QWidget& window) { return window.windowState() & kSizeStates; }

} // namespace builder
