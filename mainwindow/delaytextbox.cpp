#include "delaytextbox.h"

#include "focusreason.h"

#include <QFocusEvent>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mainwindow {

DelayTextBox::DelayTextBox(
    const config::DelayFieldKind& kind, qint16& value, platform::Prompts& prompts, QWidget* parent)
    : QLineEdit(QString(kind.placeholder), parent)
    , m_kind(kind)
    , m_value(value)
    , m_prompts(prompts)
{
    // Runs inside the call that set the text, and again inside its own settings of the text.
    connect(this, &QLineEdit::textChanged, this, &DelayTextBox::applyChangeRule);
}

void DelayTextBox::setEntry(const QString& text)
{
    if (text == this->text())
        applyChangeRule();
    else
        setText(text);
}

void DelayTextBox::applyEmptyRule()
{
    if (text().isEmpty())
        setText(u"0"_s);
}

void DelayTextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!focusMovedToAnotherControl(event->reason()))
        return;
    // The first key typed replaces the whole text, the hint included. A click places the cursor
    // after this event, so the selection is made once the click is done.
    if (event->reason() == Qt::MouseFocusReason)
        QTimer::singleShot(0, this, &QLineEdit::selectAll);
    else
        selectAll();
}

void DelayTextBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (focusMovedToAnotherControl(event->reason()))
        applyEmptyRule();
}

void DelayTextBox::applyChangeRule()
{
    if (text() == m_kind.placeholder)
        setText(QString());
    const config::DelayEntry entry = config::readDelayEntry(text(), m_kind);
    switch (entry.kind) {
    case config::DelayEntryKind::Nothing:
        return;
    case config::DelayEntryKind::Valid:
        m_value = entry.value;
        return;
    case config::DelayEntryKind::Refused:
        m_prompts.showMessage(m_kind.message, m_kind.title);
        m_value = config::NoInputDelay::kRejectedEntry;
        // The hint empties the field at once: the user types the entry again from nothing.
        setText(m_kind.placeholder);
        return;
    }
}

} // namespace mainwindow
