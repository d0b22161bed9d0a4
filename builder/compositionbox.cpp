#include "compositionbox.h"

#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace builder {

CompositionBox::CompositionBox(QByteArray& builtBytes, platform::Prompts& prompts, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_composition(builtBytes)
    , m_prompts(prompts)
{
    setObjectName(u"StringTextBox"_s);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab and Enter move on to Done, as in every other field of the builder.
    setTabChangesFocus(true);
    // Runs inside the call that changed the text, and again inside its own clearing.
    connect(this, &QPlainTextEdit::textChanged, this, &CompositionBox::applyChangeRule);
}

void CompositionBox::appendToken(const notation::Token& token)
{
    m_composition.beginInsertion();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(token.text);
    m_composition.appendTokenBytes(token.bytes);
    Q_EMIT bytesChanged();
}

void CompositionBox::takeFocusAfterInsertion()
{
    setFocus(Qt::OtherFocusReason);
    if (m_composition.isTooLong())
        refuseTooLong();
}

void CompositionBox::keyPressEvent(QKeyEvent* event)
{
    moveCaretToEnd();
    QPlainTextEdit::keyPressEvent(event);
}

void CompositionBox::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    moveCaretToEnd();
}

void CompositionBox::applyChangeRule()
{
    // Typing, input methods, pastes and a screen reader's insertions all change the document; a
    // line break in any of them reaches it as a paragraph separator, which has no byte and is refused.
    const QString text = rawText();
    const qsizetype typedEscapes = m_composition.typedEscapes().size();
    switch (m_composition.takeText(text)) {
    case notation::TextChange::Counted:
        // Kept as typed, but the box reads the bytes after it as a wait: the builder says how.
        if (m_composition.typedEscapes().size() > typedEscapes)
            m_prompts.beep();
        break;
    case notation::TextChange::Cleared:
        clearComposition();
        break;
    case notation::TextChange::TooLong:
        refuseTooLong();
        break;
    case notation::TextChange::Refused:
        // A byte the user did not mean would reach the projector without a word: drop the
        // character instead. The shorter text is what was counted, so the rule then does nothing.
        m_prompts.beep();
        setPlainText(text.chopped(text.back().isLowSurrogate() ? 2 : 1));
        break;
    }
    moveCaretToEnd();
    Q_EMIT bytesChanged();
}

void CompositionBox::refuseTooLong()
{
    m_prompts.showMessage(
        u"This string may not be over 30 characters in length. Please re-enter the string"_s, u"String Too Long"_s);
    clearComposition();
}

void CompositionBox::clearComposition()
{
    m_composition.clear();
    // Emptying the text runs the change rule once more; it finds nothing left to count.
    if (!rawText().isEmpty())
        clear();
}

void CompositionBox::moveCaretToEnd() { moveCursor(QTextCursor::End); }

} // namespace builder
