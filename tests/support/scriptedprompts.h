// Plays the user in front of the program's boxes and dialogs.
#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace testsupport {

// Holds the boxes a test expects, in order, with the user's answers. Each box shown must be the
// next one expected, of the same kind, with exactly its text and title (or dialog settings);
// anything unexpected or left over is reported by problems(), which a test checks in cleanup().
// Nothing modal ever opens. whileShown, when given, runs at the moment the box is shown.
class ScriptedPrompts final : public platform::Prompts {
public:
    using Moment = std::function<void()>;

    void expectMessage(const QString& text, const QString& title = platform::kApplicationTitle, Moment whileShown = {});
    void expectQuestion(const QString& text, const QString& title, platform::Answer answer, Moment whileShown = {});
    // The box shows initialText and offers choices above its field (none for a plain input box);
    // the user's answer is taken exactly as given, an empty one standing for Cancel.
    void expectTextInput(const QString& prompt, const QString& title, const QString& initialText, const QString& answer,
        const QStringList& choices = {});
    // An empty path is a cancelled dialog.
    void expectOpenFile(const platform::FileDialogSettings& settings, const QString& path);
    void expectSaveFile(const platform::FileDialogSettings& settings, const QString& path);
    void expectBeep();

    void showMessage(const QString& text, const QString& title) override;
    platform::Answer askYesNoCancel(const QString& text, const QString& title) override;
    QString askText(const QString& prompt, const QString& title, const QString& initialText) override;
    QString askTextOrChoice(
        const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText) override;
    platform::FileChoice chooseFileToOpen(const platform::FileDialogSettings& settings) override;
    platform::FileChoice chooseFileToSave(const platform::FileDialogSettings& settings) override;
    void beep() override;

    // A box that is not the next one expected is answered with Cancel.

    // Every mismatch, unexpected box and box that was expected but never shown.
    QStringList problems() const;

private:
    enum class Kind { Message, Question, TextInput, OpenFile, SaveFile, Beep };
    struct Expected {
        Kind kind;
        QString text;
        QString title;
        QString answer;
        platform::Answer choice = platform::Answer::Cancel;
        Moment whileShown;
    };
    // The next expected box when it is of this kind with this text and title; a problem otherwise.
    const Expected* take(Kind kind, const QString& text, const QString& title);
    platform::FileChoice chooseFile(Kind kind, const platform::FileDialogSettings& settings);

    QList<Expected> m_expected;
    qsizetype m_next = 0;
    QStringList m_problems;
};

} // namespace testsupport
