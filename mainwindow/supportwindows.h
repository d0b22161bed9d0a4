// The two windows of the Help menu, which say how to get help with the QX-7M.
#pragma once

#include <QWidget>

namespace mainwindow {

// Static text only; shown without blocking and brought up again when chosen again.
QWidget* createFreeSupportForm(QWidget* parent);
QWidget* createPaidSupportForm(QWidget* parent);

} // namespace mainwindow
