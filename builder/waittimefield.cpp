#include "waittimefield.h"

#include "platform/focusreason.h"

#include <QFocusEvent>

namespace builder {

WaitTimeField::WaitTimeField(const config::DelayFieldKind& kind, platform::Prompts& prompts, QWidget* parent)
    : QLineEdit(QString(kind.placeholder), parent)
    , m_kind(kind)
    , m_prompts(prompts)
{
    connect(this, &QLineEdit::textChanged, this, &WaitTimeField::applyChangeRule);
}

void WaitTimeField::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (text() == m_kind.placeholder) {
        clear();
        m_value = kNothingUsable;
    }
    // From the caret on: a click at the start selects the whole entry, ready to be typed over.
    setSelection(cursorPosition(), int(text().size()));
}

void WaitTimeField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu, the field's own context menu or another window took the focus: the user is still
    // typing here, and a hint put back now would end up in front of the next digit.
    if (platform::focusMovedToAnotherControl(event->reason()) && text().isEmpty())
        setText(QString(m_kind.placeholder));
}

void WaitTimeField::applyChangeRule()
{
    // After a refused entry the hint shows, selected: the next key typed replaces it.
    if (const auto refusal = config::takeDelayEntry(text(), m_kind, m_value)) {
        m_prompts.showMessage(QString(refusal->message), QString(refusal->title));
        setText(QString(m_kind.placeholder));
        selectAll();
    }
}

} // namespace builder
