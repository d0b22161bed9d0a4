// Which focus changes the windows' leave rules answer to.
#pragma once

#include <Qt>

namespace platform {

// True when the focus went to another control of the same window (Tab, a click). A menu (the
// field's own context menu included), a list's popup, a message box or a click on another window
// also take the focus away, but the control is still the one in use: a menu command must find the
// baud list and an emptied time field as they were, and the upload button keeps its caption while
// the result box is up.
constexpr bool focusMovedToAnotherControl(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::MenuBarFocusReason;
}

} // namespace platform
