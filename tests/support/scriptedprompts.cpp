#include "scriptedprompts.h"

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::FileDialogSettings;

namespace testsupport {

namespace {

QString kindName(int kind)
{
    static const char* const names[] = { "message box", "question", "input box", "open dialog", "save dialog", "beep" };
    return QString::fromLatin1(names[kind]);
}

// Dialog settings compared as one text, so that a mismatch says which setting differed.
QString settingsText(const FileDialogSettings& settings)
{
    return settings.defaultExtension + u" | "_s + settings.filter + u" | "_s + settings.initialName;
}

// What an input box shows besides its prompt, compared as part of its text.
QString inputBoxText(const QString& prompt, const QString& initialText, const QStringList& choices)
{
    QString text = prompt + u" | initially \""_s + initialText + u'"';
    if (!choices.isEmpty())
        text.append(u" | offering "_s).append(choices.join(u"; "_s));
    return text;
}

} // namespace

void ScriptedPrompts::expectQuestion(const QString& text, const QString& title, Answer answer, Moment whileShown)
{
    m_expected.append({ Kind::Question, text, title, {}, answer, std::move(whileShown) });
}

void ScriptedPrompts::expectTextInput(const QString& prompt, const QString& title, const QString& initialText,
    const QString& answer, const QStringList& choices)
{
    m_expected.append({ Kind::TextInput, inputBoxText(prompt, initialText, choices), title, answer, {}, {} });
}

void ScriptedPrompts::expectSaveFile(const FileDialogSettings& settings, const QString& path)
{
    m_expected.append({ Kind::SaveFile, settingsText(settings), {}, path, {}, {} });
}

void ScriptedPrompts::expectMessage(const QString& text, const QString& title, Moment whileShown)
{
    m_expected.append({ Kind::Message, text, title, {}, {}, std::move(whileShown) });
}

void ScriptedPrompts::expectOpenFile(const FileDialogSettings& settings, const QString& path)
{
    m_expected.append({ Kind::OpenFile, settingsText(settings), {}, path, {}, {} });
}

void ScriptedPrompts::expectBeep() { m_expected.append({ Kind::Beep, {}, {}, {}, {}, {} }); }

const ScriptedPrompts::Expected* ScriptedPrompts::take(Kind kind, const QString& text, const QString& title)
{
    const QString shown = kindName(int(kind)) + u" \""_s + text + u"\" titled \""_s + title + u'"';
    if (m_next >= m_expected.size()) {
        m_problems.append(u"unexpected "_s + shown);
        return nullptr;
    }
    const Expected& expected = m_expected.at(m_next++);
    if (expected.kind != kind || expected.text != text || expected.title != title) {
        m_problems.append(shown + u", expected "_s + kindName(int(expected.kind)) + u" \""_s + expected.text
            + u"\" titled \""_s + expected.title + u'"');
        return nullptr;
    }
    if (expected.whileShown)
        expected.whileShown();
    return &expected;
}

void ScriptedPrompts::showMessage(const QString& text, const QString& title) { take(Kind::Message, text, title); }

Answer ScriptedPrompts::askYesNoCancel(const QString& text, const QString& title)
{
    const Expected* expected = take(Kind::Question, text, title);
    return expected ? expected->choice : Answer::Cancel;
}

QString ScriptedPrompts::askText(const QString& prompt, const QString& title, const QString& initialText)
{
    return askTextOrChoice(prompt, title, {}, initialText);
}

QString ScriptedPrompts::askTextOrChoice(
    const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText)
{
    const Expected* expected = take(Kind::TextInput, inputBoxText(prompt, initialText, choices), title);
    return expected ? expected->answer : QString();
}

platform::FileChoice ScriptedPrompts::chooseFile(Kind kind, const FileDialogSettings& settings)
{
    const Expected* expected = take(kind, settingsText(settings), {});
    if (!expected || expected->answer.isEmpty())
        return {};
    return { expected->answer, platform::extensionDiffers(expected->answer, settings.defaultExtension) };
}

platform::FileChoice ScriptedPrompts::chooseFileToOpen(const FileDialogSettings& settings)
{
    return chooseFile(Kind::OpenFile, settings);
}

platform::FileChoice ScriptedPrompts::chooseFileToSave(const FileDialogSettings& settings)
{
    return chooseFile(Kind::SaveFile, settings);
}

void ScriptedPrompts::beep() { take(Kind::Beep, {}, {}); }

QStringList ScriptedPrompts::problems() const
{
    QStringList all = m_problems;
    for (qsizetype i = m_next; i < m_expected.size(); ++i) {
        all.append(u"expected "_s + kindName(int(m_expected.at(i).kind)) + u" \""_s + m_expected.at(i).text
            + u"\" was never shown"_s);
    }
    return all;
}

} // namespace testsupport
