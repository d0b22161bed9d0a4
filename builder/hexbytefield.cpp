#include "hexbytefield.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace builder {

namespace {

const QString kHint = u"XX"_s;

bool isHexDigit(QChar character)
{
    const char16_t code = character.toUpper().unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'F');
}

} // namespace

HexByteField::HexByteField(platform::Prompts& prompts, QWidget* parent)
    : QLineEdit(kHint, parent)
    , m_prompts(prompts)
{
    setMaxLength(2);
    // Typed keys are checked before they arrive; a paste or an input method is checked here.
    connect(this, &QLineEdit::textChanged, this, &HexByteField::applyChangeRule);
}

void HexByteField::showInvalidHexMessage(platform::Prompts& prompts, bool valueMissing)
{
    prompts.showMessage(
        u"Invalid Hex number. Hex numbers must be between 00 and FF"_s + (valueMissing ? u" "_s : QString()));
}

void HexByteField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (text() == kHint)
        clear();
}

void HexByteField::keyPressEvent(QKeyEvent* event)
{
    // Only typed characters are checked: Backspace, the arrows and key combinations such as Ctrl+V
    // or the main window's Ctrl+N go on as usual, whatever text a platform gives the combination.
    const QString typed = event->text();
    const bool combination = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!combination && typed.size() == 1 && typed.front().isPrint() && !isHexDigit(typed.front())) {
        refuse();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void HexByteField::applyChangeRule()
{
    const QString entry = text();
    if (entry == kHint)
        return;
    if (!std::all_of(entry.cbegin(), entry.cend(), isHexDigit))
        refuse();
    else if (entry != entry.toUpper())
        setText(entry.toUpper());
}

void HexByteField::refuse()
{
    showInvalidHexMessage(m_prompts);
    clear();
}

} // namespace builder
