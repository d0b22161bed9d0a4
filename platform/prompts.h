// Everything the program asks or tells the user in a box of its own.
#pragma once

#include "platform/programidentity.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// The title of a message box that has none of its own.
inline constexpr QLatin1StringView kApplicationTitle = kProgramTitle;

enum class Answer {
    Yes,
    No,
    Cancel,
};

// How an open or save dialog is set up each time it is shown.
struct FileDialogSettings {
    // Added to a typed name that has none, and the one a chosen name is compared with: "qxc".
    QString defaultExtension;
    // The one file type offered, its pattern in brackets: "QX-7M Files (*.qxc)".
    QString filter;
    // The name in the dialog's name field when it opens: "*.qxc", or the file to save again.
    QString initialName;
    // The folder the dialog opens in; empty for the one it chooses itself.
    QString folder;

    friend bool operator==(const FileDialogSettings&, const FileDialogSettings&) = default;
};

// What the user chose in an open or save dialog.
struct FileChoice {
    // The full path, or empty when the dialog was cancelled.
    QString path;
    // The chosen name ends in another extension than the default one (letter case aside).
    bool extensionDiffers = false;

    bool cancelled() const { return path.isEmpty(); }
};

// Whether the path's extension is other than the default one; a name without one differs.
bool extensionDiffers(const QString& path, const QString& defaultExtension);

// Every box the program shows, and its beep, go through here: the boxes' order, texts and titles
// are the program's conversation with the user, owned by the commands. None has an icon. The real one, DialogPrompts,
// shows modal Qt dialogs.
class Prompts {
public:
    virtual ~Prompts() = default;

    // One OK button; returns when the user has closed it.
    virtual void showMessage(const QString& text, const QString& title = kApplicationTitle) = 0;
    // Yes, No and Cancel; closing the box is Cancel.
    virtual Answer askYesNoCancel(const QString& text, const QString& title) = 0;
    // Yes and No; closing the box is No.
    virtual Answer askYesNo(const QString& text, const QString& title) = 0;
    // An input box with OK and Cancel; Cancel gives none, OK on an empty field an empty text.
    virtual std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initialText) = 0;
    // The same box with a list of answers to pick from above a field that still takes any text: what
    // is typed, or the item picked, comes back exactly as it stands, with nothing completed.
    virtual QString askTextOrChoice(
        const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText)
        = 0;
    virtual FileChoice chooseFileToOpen(const FileDialogSettings& settings) = 0;
    // Replacing an existing file is not asked here: the command that saves asks, in its own words.
    virtual FileChoice chooseFileToSave(const FileDialogSettings& settings) = 0;
    // The system beep: the user did something the program will not take, and no box says why.
    virtual void beep() = 0;
};

class Error;

// The two boxes that report an error, both under the program's title: "Error Number:  75", then
// "error msg: " and its description.
void showErrorReport(Prompts& prompts, const Error& error);

} // namespace platform
