// The icon of the program's windows.
#pragma once

#include <QIcon>

// Every PNG size of the application icon built into the program; the window system picks the size
// it shows in the title bar, the task bar and the window switcher.
QIcon programIcon();
