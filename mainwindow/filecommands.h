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
// comes again.
class FileCommands {
public:
    FileCommands(const WindowServices& services, FileCommandView& view);

    // Offers to save first; "Yes" goes on only once the record was saved. Then asks for a name and
    // writes the defaults to that name in the working directory before the record takes them.
    void newFile();
    // True when a file's contents are now the record.
    bool load();
    // True when the record was written to the file the user chose.
    bool save();
    // Offers to save first, then ends the program at once; "Yes" ends it only once the record was saved.
    void quit();
    // A file given on the command line, read as if the user had chosen it in Load's dialog; a
    // refused or unreadable one is told and nothing else happens.
    bool loadGivenFile(const QString& path);

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
    ReadOutcome read(const QString& path);
    bool saveCurrentFirst(const QString& question);

    const WindowServices& m_services;
    FileCommandView& m_view;
};

} // namespace mainwindow
