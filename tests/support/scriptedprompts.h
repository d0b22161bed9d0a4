// Plays the user in front of the program's boxes and dialogs.
#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace testsupport {

using namespace Qt::StringLiterals;

// Holds the boxes a test expects, in order, with the user's answers. Each box shown must be the
// next one expected, of the same kind, with exactly its text and title (or dialog settings); a box
// that is not is answered with Cancel. Nothing modal ever opens. whileShown runs as the box shows.
class ScriptedPrompts final : public platform::Prompts {
public:
    using Moment = std::function<void()>;

    void expectMessage(const QString& text, const QString& title = platform::kApplicationTitle, Moment whileShown = {})
    {
        m_expected.append({ box("message box", text, title), {}, {}, std::move(whileShown) });
    }
    void expectQuestion(const QString& text, const QString& title, platform::Answer answer, Moment whileShown = {})
    {
        m_expected.append({ box("question", text, title), {}, answer, std::move(whileShown) });
    }
    void expectYesNo(const QString& text, const QString& title, platform::Answer answer)
    {
        m_expected.append({ box("yes/no question", text, title), {}, answer, {} });
    }
    // The box shows initialText and offers choices above its field; an empty answer is Cancel.
    void expectTextInput(const QString& prompt, const QString& title, const QString& initialText, const QString& answer,
        const QStringList& choices = {})
    {
        m_expected.append({ inputBox(prompt, title, initialText, choices), answer, {}, {} });
    }
    // An empty path is a cancelled dialog.
    void expectOpenFile(const platform::FileDialogSettings& settings, const QString& path)
    {
        m_expected.append({ fileDialog("open dialog", settings), path, {}, {} });
    }
    void expectSaveFile(const platform::FileDialogSettings& settings, const QString& path)
    {
        m_expected.append({ fileDialog("save dialog", settings), path, {}, {} });
    }
    void expectBeep() { m_expected.append({ box("beep", {}), {}, {}, {} }); }

    void showMessage(const QString& text, const QString& title) override { take(box("message box", text, title)); }
    platform::Answer askYesNoCancel(const QString& text, const QString& title) override
    {
        const Expected* expected = take(box("question", text, title));
        return expected ? expected->choice : platform::Answer::Cancel;
    }
    platform::Answer askYesNo(const QString& text, const QString& title) override
    {
        const Expected* expected = take(box("yes/no question", text, title));
        return expected ? expected->choice : platform::Answer::No;
    }
    // A null answer is Cancel; an empty one, OK on an empty field.
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initialText) override
    {
        const QString answer = askTextOrChoice(prompt, title, {}, initialText);
        return answer.isNull() ? std::nullopt : std::optional(answer);
    }
    QString askTextOrChoice(
        const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText) override
    {
        const Expected* expected = take(inputBox(prompt, title, initialText, choices));
        return expected ? expected->answer : QString();
    }
    platform::FileChoice chooseFileToOpen(const platform::FileDialogSettings& settings) override
    {
        return chosen(take(fileDialog("open dialog", settings)), settings);
    }
    platform::FileChoice chooseFileToSave(const platform::FileDialogSettings& settings) override
    {
        return chosen(take(fileDialog("save dialog", settings)), settings);
    }
    void beep() override { take(box("beep", {})); }

    // Every mismatch, unexpected box and box that was expected but never shown; checked in cleanup().
    QStringList problems() const
    {
        QStringList all = m_problems;
        for (qsizetype i = m_next; i < m_expected.size(); ++i)
            all.append(m_expected.at(i).shown + u" was never shown"_s);
        return all;
    }

private:
    struct Expected {
        QString shown; // kind, text and title, as a mismatch reports them
        QString answer;
        platform::Answer choice = platform::Answer::Cancel;
        Moment whileShown;
    };

    static QString box(const char* kind, const QString& text, const QString& title = {})
    {
        return QString::fromLatin1(kind) + u" \""_s + text + u"\" titled \""_s + title + u'"';
    }
    static QString inputBox(
        const QString& prompt, const QString& title, const QString& initialText, const QStringList& choices)
    {
        const QString offered = choices.isEmpty() ? QString() : u" | offering "_s + choices.join(u"; "_s);
        return box("input box", prompt + u" | initially \""_s + initialText + u'"' + offered, title);
    }
    // Dialog settings compared as one text, so that a mismatch says which setting differed.
    static QString fileDialog(const char* kind, const platform::FileDialogSettings& settings)
    {
        return box(kind,
            settings.defaultExtension + u" | "_s + settings.filter + u" | "_s + settings.initialName + u" in "_s
                + settings.folder);
    }
    static platform::FileChoice chosen(const Expected* expected, const platform::FileDialogSettings& settings)
    {
        if (!expected || expected->answer.isEmpty())
            return {};
        return { expected->answer, platform::extensionDiffers(expected->answer, settings.defaultExtension) };
    }

    const Expected* take(const QString& shown)
    {
        const Expected* expected = m_next < m_expected.size() ? &m_expected.at(m_next++) : nullptr;
        if (!expected || expected->shown != shown) {
            m_problems.append(shown + (expected ? u", expected "_s + expected->shown : u" unexpected"_s));
            return nullptr;
        }
        if (expected->whileShown)
            expected->whileShown();
        return expected;
    }

    QList<Expected> m_expected;
    qsizetype m_next = 0;
    QStringList m_problems;
};

} // namespace testsupport
