// What every window of the program shares in how it looks.
#pragma once

#include <QLabel>

namespace platform {

// A label that the windows' rules and desktop automation find by its name.
inline QLabel* namedLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A label that captions the control beside it. A screen reader and desktop automation name the
// control by it, as the eye does: by the name given here, or (lists on Linux, which are named by
// their current item) by the label, which they look for among the control's siblings.
inline QLabel* captionLabel(const QString& text, const QString& name, QWidget* control)
{
    QLabel* label = namedLabel(text, name, control->parentWidget());
    label->setBuddy(control);
    control->setAccessibleName(text.simplified());
    return label;
}

// The light grey of the program's windows.
void paintProgramBackground(QWidget* window);

} // namespace platform
