// The File menu: New, Load, Save and Quit, and the start dialog's use of Load and Save.
#pragma once

#include "filecommandview.h"
#include "windowservices.h"

#include <optional>

namespace mainwindow {

// The record's path and file name change only when a file was read or written: a cancelled
// dialog, a refused file or a failed write leaves the record, its file and the caption as they
// were, so that "Save and Upload" never writes to a file the user did not choose. A wrong
// extension, a name that is not all text or a file of the wrong size is told and the dialog
// comes again. No file is replaced without the user's Yes, and Load and closing the window ask
// first while something is unsaved.
class FileCommands {
public:
    FileCommands(const WindowServices& services, FileCommandView& view);

    // Offers to save first; "Yes" goes on only once the record was saved. Then asks for a name and
    // writes the defaults to that name in the working directory before the record takes them.
    // Cancel in the name box ends New with nothing reset; an empty name is asked again.
    void newFile();
    // Offers to save first while something is unsaved. True when a file's contents are now the record.
    bool load();
    // True when the record was written to the file the user chose.
    bool save();
    // Offers to save first, then ends the program at once; "Yes" ends it only once the record was saved.
    void quit();
    // A file given on the command line, read as if the user had chosen it in Load's dialog; a
    // refused or unreadable one is told and nothing else happens.
    bool loadGivenFile(const QString& path);
    // Offers to save first while something is unsaved (before Load, or closing the window); false
    // when the record is to stay as it is.
    bool mayReplaceRecord();

    // What Save would write now differs from what the last Load, Save or New left.
    bool unsaved() const;
    // What the window now shows is what its file holds (after start-up's file, Load, Save, New).
    void markSaved();

private:
    enum class ReadOutcome {
        Read,
        // The file's size is not a configuration file's: told, and Load asks again.
        SizeRefused,
        // Told with the error report.
        Failed,
    };
    using FileDialog = platform::FileChoice (platform::Prompts::*)(const platform::FileDialogSettings&);
    // The dialog again after a wrong extension, which is told; none when it was cancelled.
    std::optional<QString> chooseConfigurationFile(FileDialog dialog);
    platform::FileDialogSettings configurationFileDialog(FileDialog dialog) const;
    // Yes to replacing the file at path, or true when there is none.
    bool mayReplace(const QString& path);
    // The configuration file that Save would write now.
    config::StoredConfiguration storedFormNow() const;
    ReadOutcome read(const QString& path);
    bool saveCurrentFirst(const QString& question);

    const WindowServices& m_services;
    FileCommandView& m_view;
    std::optional<config::StoredConfiguration> m_saved;
};

} // namespace mainwindow
