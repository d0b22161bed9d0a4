// Which focus changes the main window's leave rules answer to.
#pragma once

#include <Qt>

namespace mainwindow {

// True when the focus went to another control of the same window (Tab, a click). A menu, a list's
// popup or a message box also take the focus away, but the control is still the one in use: a
// menu command must find the baud list and an emptied delay field as they were, and the upload
// button keeps its caption while the result box is up.
constexpr bool focusMovedToAnotherControl(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::MenuBarFocusReason;
}

} // namespace mainwindow
