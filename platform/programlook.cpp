#include "programlook.h"

namespace platform {

void paintProgramBackground(QWidget* window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace platform
