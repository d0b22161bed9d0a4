// The main window as "Save and Upload" sees it.
#pragma once

#include "config/configurationfile.h"
#include "config/slotid.h"

#include <QString>

namespace mainwindow {

// The upload button's background: its status display.
enum class UploadButtonShade {
    // The style's own button colour: the last upload went through.
    Normal,
    // Changed since the last upload, or the last upload failed.
    Red,
    // Uploading now.
    Green,
};

// What the upload button says when no upload runs and none has just ended.
inline const QString kUploadCommandsCaption = QStringLiteral("Upload Commands");

class UploadView {
public:
    virtual ~UploadView() = default;
    virtual config::DelayFieldTexts delayFieldTexts() const = 0;
    // Each field's change rule runs on its new text.
    virtual void showDelayFieldTexts(const config::DelayFieldTexts& texts) = 0;
    virtual QString baudListText() const = 0;
    virtual void selectSlot(config::SlotId id) = 0;
    // Painted at once: the transfer that follows lets the window paint only while it waits.
    virtual void showUploadButton(const QString& caption, UploadButtonShade shade) = 0;
    virtual void showProgress(int acknowledged, int total) = 0;
    // The status line at the foot of the window.
    virtual void showReceipt(const QString& text) = 0;
    // The record's file now holds what the window shows.
    virtual void showSaved() = 0;
};

} // namespace mainwindow
