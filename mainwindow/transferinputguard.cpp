#include "transferinputguard.h"

#include <QCoreApplication>
#include <QEvent>

namespace mainwindow {

TransferInputGuard::TransferInputGuard() { QCoreApplication::instance()->installEventFilter(this); }

// Input still queued meets the filter once more; the filter goes with this object.
TransferInputGuard::~TransferInputGuard() { QCoreApplication::processEvents(); }

bool TransferInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // A close event starts accepted: filtering it alone would still close the window.
        event->ignore();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace mainwindow
