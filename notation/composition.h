// What the builder has composed so far, and the rule that keeps its text and its bytes together.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace notation {

// What the text field must do after the change rule has seen its new text.
enum class TextChange {
    // The text and the bytes agree; nothing more to do.
    Counted,
    // A deletion, several characters at once (a paste) or an edit inside what was already counted:
    // the bytes can no longer be told from the text, so the field must be emptied.
    Cleared,
    // The bytes passed 30: tell the user, then empty the field.
    TooLong,
    // The last character typed has no single-byte code: drop it, with a beep.
    Refused,
};

// The bytes composed so far (the hand-over's builtBytes) and how much of the text they account
// for. Plain rules, no widgets: the text field reports each new text and carries out the answer.
// Only an append of one character, or of a token's text the builder announced, is counted; every
// other change clears, since no byte can be recovered from a text.
class Composition {
public:
    // Starts empty: an earlier composition's bytes are gone.
    explicit Composition(QByteArray& builtBytes);

    // The change rule, run after every change of the field's text, the program's own included.
    // Cleared and TooLong leave the clearing to the field, which must clear() and empty itself.
    TextChange takeText(const QString& text);

    // The builder is about to append a token's text: the next change counts as one step.
    void beginInsertion() { m_inserting = true; }
    // The token's bytes follow its text, after the change rule has checked the length without them.
    void appendTokenBytes(const QByteArray& bytes) { m_builtBytes.append(bytes); }

    void clear();
    bool isTooLong() const;
    const QByteArray& bytes() const { return m_builtBytes; }
    // Where the bytes hold a typed 0x1B: unlike a token's, it is not escaped, so the box reads
    // what follows it as a wait.
    const QList<qsizetype>& typedEscapes() const { return m_typedEscapes; }

private:
    QByteArray& m_builtBytes;
    QList<qsizetype> m_typedEscapes;
    // The part of the field's text that the bytes account for.
    QString m_countedText;
    bool m_inserting = false;
};

} // namespace notation
