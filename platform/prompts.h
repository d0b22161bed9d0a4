// Everything the program asks or tells the user in a box of its own.
#pragma once

#include <QString>

namespace platform {

// The title of a message box that has none of its own.
inline constexpr QLatin1StringView kApplicationTitle("QX-7M Programmer");

// Every message box goes through here, so that a test can script the user's answers and check
// each text and title. The real one shows modal Qt dialogs.
class Prompts {
public:
    virtual ~Prompts() = default;

    // One OK button, no icon; returns when the user has closed it.
    virtual void showMessage(const QString& text, const QString& title) = 0;
};

// Modal Qt dialogs over whichever window is active.
class DialogPrompts final : public Prompts {
public:
    void showMessage(const QString& text, const QString& title) override;
};

} // namespace platform
