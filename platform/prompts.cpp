#include "prompts.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

void DialogPrompts::showMessage(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace platform
