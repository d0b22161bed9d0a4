// The message boxes, input box and file dialogs of the windowed program.
#pragma once

#include "prompts.h"

namespace platform {

// Modal Qt dialogs over whichever window is active. The only part of the program's boxes that
// needs a display: the device layer and the command line never see it.
class DialogPrompts final : public Prompts {
public:
    void showMessage(const QString& text, const QString& title = kApplicationTitle) override;
    Answer askYesNoCancel(const QString& text, const QString& title) override;
    Answer askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initialText) override;
    QString askTextOrChoice(
        const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText) override;
    FileChoice chooseFileToOpen(const FileDialogSettings& settings) override;
    FileChoice chooseFileToSave(const FileDialogSettings& settings) override;
    void beep() override;
};

} // namespace platform
