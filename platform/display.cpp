#include "display.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace platform {

QString missingDisplayReason()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return u"No display: the QX-7M Programmer is a windowed program. Start it from a desktop session (DISPLAY "
               "or WAYLAND_DISPLAY set), or over ssh -X; to program a QX-7M from this terminal, use qx7m-upload."_s;
    }
#endif
    return {};
}

} // namespace platform
