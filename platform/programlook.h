// What every window of the program shares in how it looks.
#pragma once

#include <QLabel>

namespace platform {

// A label that tests and the windows' rules find by its name.
inline QLabel* namedLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The light grey of the program's windows.
void paintProgramBackground(QWidget* window);

} // namespace platform
