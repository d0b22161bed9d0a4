// The message part of the main window's status bar: the last receipt, or a newer note.
#pragma once

#include <QLabel>

namespace mainwindow {

// Shows as much of its text as fits, ending in "...", and the whole text as its tooltip; it never
// widens the window. text() is always the whole text.
class StatusLine final : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    void showMessage(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mainwindow
