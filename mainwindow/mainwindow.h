// The main window: the editing surface of the record and the way to the device.
#pragma once

#include "filecommands.h"
#include "filecommandview.h"
#include "uploadcommand.h"
#include "uploadview.h"
#include "windowservices.h"

#include "builder/linkedwindowstates.h"
#include "trialwindow/tryonprojector.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace mainwindow {

class BaudRateList;
class DelayTextBox;
class ScanPriorityOptions;
class SlotPanel;
class StatusLine;

// Wires the window's parts together: the slot panel, the scan priority, the baud list, the three
// delay fields, the upload command with its progress and status line, the menus and the trial. A view of
// the record: it may be built again at any time and loses nothing when it is.
class MainWindow final : public QMainWindow, private UploadView, private FileCommandView {
    Q_OBJECT

public:
    explicit MainWindow(const WindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Fills the controls from the record and selects the "VGA Input Active" slot. A record read
    // from a file refills the baud list, the delay fields and the scan priority; otherwise the
    // list shows "9600" and the fields keep their hints. The window was just built: no field is
    // left, so a delay field emptied by its text stays empty (New and Load leave each one).
    void fillFromRecordWithoutLeavingFields();
    // The caption names the configuration file: "name.qxc  -  QX-7M".
    void updateCaption() override;

    // New, Load, Save and Quit, also for the start dialog's "Create New" and "Edit Existing".
    FileCommands& fileCommands() { return m_fileCommands; }

    SlotPanel& slotPanel() const { return *m_slotPanel; }
    BaudRateList& baudRateList() const { return *m_baudRateList; }
    ScanPriorityOptions& scanPriorityOptions() const { return *m_scanPriority; }

    // The File menu's items.
    QAction* newAction() const { return m_newAction; }
    QAction* loadAction() const { return m_loadAction; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* quitAction() const { return m_quitAction; }
    QAction* portAction() const { return m_portAction; }

    // While the start dialog shows, the main window may be neither minimized nor maximized.
    void setStartFileSelection(QWidget* startFileSelection) { m_startFileSelection = startFileSelection; }

    // The texts of the three delay fields, as the file keeps them.
    config::DelayFieldTexts delayFieldTexts() const override;

Q_SIGNALS:
    // The user closed the window (the builder went with it): the program is to end, nothing asked.
    void closedByUser();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // The window from top to bottom, one band at a time.
    QWidget* buildControls();
    QLayout* buildTitleBand(QWidget* central);
    QWidget* buildSlotBand(QWidget* central);
    QLayout* buildSettingsBand(QWidget* central);
    QLayout* buildDelayBand(QWidget* central);
    QLayout* buildUploadBand(QWidget* central);
    void openBuilder();
    void takeBuiltString(const QString& sourceText);
    void tryOnProjector(const QByteArray& bytes) { m_tryOnProjector.tryBytes(bytes, baudListText()); }
    void followWindowState();
    void showSupportForm(QPointer<QWidget>& form, QWidget* (*create)(QWidget*));
    void buildStatusBar();
    // Something an upload or Save would take changed in the window.
    void recordChanged();
    QByteArray programmedContentNow() const;
    // Says in the status line what the window cannot show of a file: a scan priority or a baud
    // rate that none of its controls has.
    void noteWhatTheFileHoldsBeyondTheControls();
    void showPortInUse();
    // The port question again, its list as the computer has it now; the answer replaces the port
    // in use only once its device opened.
    void choosePort();
    // The delay texts of a file that the window read before it was built again.
    void showFileDelayTextsAgain(const config::DelayFieldTexts& texts);

    // What "Save and Upload" reads and shows.
    void showDelayFieldTexts(const config::DelayFieldTexts& texts) override;
    QString baudListText() const override;
    void selectSlot(config::SlotId id) override;
    void showUploadButton(const QString& caption, UploadButtonShade shade) override;
    void showProgress(int acknowledged, int total) override;
    void showReceipt(const QString& text) override;
    void showSaved() override { m_fileCommands.markSaved(); }

    // What New and Load show once the record holds the new configuration.
    void showReplacedRecordLeavingFields() override;
    void showUnsaved(bool unsaved) override;

    WindowServices m_services;
    SlotPanel* m_slotPanel = nullptr;
    ScanPriorityOptions* m_scanPriority = nullptr;
    BaudRateList* m_baudRateList = nullptr;
    DelayTextBox* m_hours = nullptr;
    DelayTextBox* m_minutes = nullptr;
    DelayTextBox* m_seconds = nullptr;
    QPushButton* m_uploadButton = nullptr;
    QProgressBar* m_progress = nullptr;
    StatusLine* m_statusLine = nullptr;
    QLabel* m_portInUse = nullptr;
    QLabel* m_unsavedMark = nullptr;
    // What the box was last programmed with from this window, as the receipt tells.
    std::optional<QByteArray> m_uploadedContent;
    bool m_statusLineShowsReceipt = false;
    QAction* m_newAction = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_portAction = nullptr;
    UploadCommand m_upload;
    FileCommands m_fileCommands;
    trialwindow::TryOnProjector m_tryOnProjector;
    QPointer<QWidget> m_startFileSelection;
    QPointer<QWidget> m_builder;
    builder::LinkedWindowStates m_linkedStates;
    QPointer<QWidget> m_freeSupport;
    QPointer<QWidget> m_paidSupport;
};

} // namespace mainwindow
