// Plays the user in front of the program's message boxes.
#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

// Holds the boxes a test expects, in order. Each box shown must be the next one expected, with
// exactly its text and title; anything unexpected or left over is reported by problems(), which a
// test checks in cleanup(). Nothing modal ever opens.
class ScriptedPrompts final : public platform::Prompts {
public:
    void expectMessage(const QString& text, const QString& title);

    void showMessage(const QString& text, const QString& title) override;

    // Every mismatch, unexpected box and box that was expected but never shown.
    QStringList problems() const;

private:
    struct Expected {
        QString text;
        QString title;
    };
    QList<Expected> m_expected;
    qsizetype m_next = 0;
    QStringList m_problems;
};

} // namespace testsupport
