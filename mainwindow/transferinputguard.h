// Keeps the user's input away from the program while it talks to the device.
#pragma once

#include <QObject>

namespace mainwindow {

// While it lives, the windows keep painting but every key, click, wheel turn, shortcut and close
// request is dropped, not queued: a click must not upload again after the transfer and a key
// must not dismiss the result box unseen. Input that arrived meanwhile and is still queued when
// the guard goes is dropped too.
class TransferInputGuard final : public QObject {
    Q_OBJECT

public:
    TransferInputGuard();
    ~TransferInputGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mainwindow
