#include "delaytextbox.h"

#include "platform/focusreason.h"

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

void DelayTextBox::setEntryToldBefore(const QString& text)
{
    m_refusalToldBefore = true;
    setEntry(text);
    m_refusalToldBefore = false;
}

void DelayTextBox::applyEmptyRule()
{
    if (text().isEmpty())
        setText(config::kLeftEmptyFieldText);
}

void DelayTextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!platform::focusMovedToAnotherControl(event->reason()))
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
    if (platform::focusMovedToAnotherControl(event->reason()))
        applyEmptyRule();
}

void DelayTextBox::applyChangeRule()
{
    if (text() == m_kind.placeholder)
        setText(QString());
    // After a refused entry the hint empties the field at once: the user types it again from nothing.
    if (const auto refusal = config::takeDelayEntry(text(), m_kind, m_value)) {
        if (!m_refusalToldBefore)
            m_prompts.showMessage(QString(refusal->message), QString(refusal->title));
        setText(m_kind.placeholder);
    }
}

} // namespace mainwindow
