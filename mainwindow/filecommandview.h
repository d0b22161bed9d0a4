// The main window as the File commands see it.
#pragma once

#include "config/configurationfile.h"

#include <QString>

namespace mainwindow {

class FileCommandView {
public:
    virtual ~FileCommandView() = default;
    // What the delay fields show and the baud list holds: what Save writes.
    virtual config::DelayFieldTexts delayFieldTexts() const = 0;
    virtual QString baudListText() const = 0;
    // The caption names the record's file.
    virtual void updateCaption() = 0;
    // The record now holds a file's contents or New's defaults. Shows them as the file's reader
    // does: the "VGA Input Active" slot selected, the scan priority's option clicked, the baud
    // text in the list, and each delay field given its text and then left.
    virtual void showReplacedRecordLeavingFields() = 0;
    // Whether what Save would write differs from the record's file.
    virtual void showUnsaved(bool unsaved) = 0;
};

} // namespace mainwindow
