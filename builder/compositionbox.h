// The builder's text field: the source text of the composition, kept in step with its bytes.
#pragma once

#include "notation/composition.h"
#include "notation/notation.h"

#include "platform/prompts.h"

#include <QPlainTextEdit>

namespace builder {

// Runs the change rule on every change of its text, its own clearing included, and carries out
// what the rule asks. Typing always appends: every key and every click first puts the caret at
// the end.
class CompositionBox final : public QPlainTextEdit {
    Q_OBJECT

public:
    CompositionBox(QByteArray& builtBytes, platform::Prompts& prompts, QWidget* parent = nullptr);

    // A token's text, then its bytes. The change rule checks the length before the bytes are in;
    // the check after them comes with takeFocusAfterInsertion().
    void appendToken(const notation::Token& token);
    // Back to the field; a token that took the string past 30 bytes is shown, then refused.
    void takeFocusAfterInsertion();

    const notation::Composition& composition() const { return m_composition; }
    // The text as the user composed it. toPlainText() would turn a no-break space into a blank and
    // a line separator into a line feed, bytes the user never typed.
    QString rawText() const { return document()->toRawText(); }

Q_SIGNALS:
    // The bytes changed: the count and the hex view follow.
    void bytesChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyChangeRule();
    void refuseTooLong();
    void clearComposition();
    void moveCaretToEnd();

    notation::Composition m_composition;
    platform::Prompts& m_prompts;
};

} // namespace builder
