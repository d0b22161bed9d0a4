#include "composition.h"

#include "boxreading.h"
#include "notation.h"

#include "config/stringslot.h"

#include <QList>

namespace notation {

Composition::Composition(QByteArray& builtBytes)
    : m_builtBytes(builtBytes)
{
    m_builtBytes.clear();
}

TextChange Composition::takeText(const QString& text)
{
    // The caret is kept at the end, so anything else that touched the counted text (a deletion,
    // a drop or a middle-click paste inside it) leaves bytes that no longer match the text.
    if (text.size() < m_countedText.size() || !text.startsWith(m_countedText))
        return TextChange::Cleared;
    const QStringView added = QStringView(text).sliced(m_countedText.size());
    if (m_inserting) {
        m_inserting = false;
        m_countedText = text;
    } else if (!added.isEmpty()) {
        // One typed character, which may arrive as a surrogate pair (an emoji).
        const QList<uint> codes = added.toUcs4();
        if (codes.size() != 1)
            return TextChange::Cleared;
        const std::optional<Token> token = typedCharacterToken(char32_t(codes.front()));
        if (!token)
            return TextChange::Refused;
        if (token->bytes == QByteArray(1, char(kEscapeByte)))
            m_typedEscapes.append(m_builtBytes.size());
        m_builtBytes.append(token->bytes);
        m_countedText = text;
    }
    return isTooLong() ? TextChange::TooLong : TextChange::Counted;
}

void Composition::clear()
{
    m_builtBytes.clear();
    m_typedEscapes.clear();
    m_countedText.clear();
}

bool Composition::isTooLong() const { return m_builtBytes.size() > config::kLongestCommandString; }

} // namespace notation
