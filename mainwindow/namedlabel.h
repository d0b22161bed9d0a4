// Labels that tests and the builder find by their name in the window.
#pragma once

#include <QLabel>

namespace mainwindow {

inline QLabel* namedLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace mainwindow
