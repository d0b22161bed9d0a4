#include "scriptedprompts.h"

using namespace Qt::StringLiterals;

namespace testsupport {

void ScriptedPrompts::expectMessage(const QString& text, const QString& title) { m_expected.append({ text, title }); }

void ScriptedPrompts::showMessage(const QString& text, const QString& title)
{
    if (m_next >= m_expected.size()) {
        m_problems.append(u"unexpected message box \""_s + text + u"\" titled \""_s + title + u'"');
        return;
    }
    const Expected& expected = m_expected.at(m_next++);
    if (expected.text != text || expected.title != title) {
        m_problems.append(u"message box \""_s + text + u"\" titled \""_s + title + u"\", expected \""_s + expected.text
            + u"\" titled \""_s + expected.title + u'"');
    }
}

QStringList ScriptedPrompts::problems() const
{
    QStringList all = m_problems;
    for (qsizetype i = m_next; i < m_expected.size(); ++i)
        all.append(u"expected message box \""_s + m_expected.at(i).text + u"\" was never shown"_s);
    return all;
}

} // namespace testsupport
