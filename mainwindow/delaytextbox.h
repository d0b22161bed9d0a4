// One of the three fields of the "No Input Active" delay: hours, minutes or seconds.
#pragma once

#include "config/delayfield.h"
#include "config/noinputdelay.h"
#include "platform/prompts.h"

#include <QLineEdit>

namespace mainwindow {

// Checks its whole text at every change, also when the program sets it, and keeps the number in
// the record's delay: the entry's number while it is valid, 255 after a refused one. Its hint
// shows until it is first filled in; left empty, it becomes "0".
// Unlike the builder's WaitTimeField: a refused entry empties it, a click keeps its hint, left empty it is "0".
class DelayTextBox final : public QLineEdit {
    Q_OBJECT

public:
    DelayTextBox(
        const config::DelayFieldKind& kind, qint16& value, platform::Prompts& prompts, QWidget* parent = nullptr);

    // The program's way to fill the field: the change rule runs even when the field already shows
    // this text, so that the hint put back from a file leaves the field empty as any other time.
    void setEntry(const QString& text);
    // The same, for a text whose refusal the user was told already: no second box.
    void setEntryToldBefore(const QString& text);

    // What leaving the field does: an empty field becomes "0".
    void applyEmptyRule();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyChangeRule();

    const config::DelayFieldKind& m_kind;
    qint16& m_value;
    platform::Prompts& m_prompts;
    bool m_refusalToldBefore = false;
};

} // namespace mainwindow
