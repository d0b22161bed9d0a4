// The window in which the user composes one slot's command string.
#pragma once

#include "linkedwindowstates.h"
#include "notation/builderhandover.h"

#include "platform/prompts.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace builder {

class CompositionBox;
class HexByteField;
class WaitTimeField;

// Composes from nothing, token by token, for the slot whose hand-over is pending; it never
// sees the slot's current string. Done gives the text to the main window, whose store-back takes
// the bytes; any other way of closing leaves every slot as it was. Destroyed when closed, so the
// next opening starts afresh.
class BuildStringForm final : public QWidget {
    Q_OBJECT

public:
    using TakeBuiltString = std::function<void(const QString& sourceText)>;
    using TryOnProjector = std::function<void(const QByteArray& bytes)>;

    BuildStringForm(notation::BuilderHandOver& handOver, platform::Prompts& prompts, QWidget& mainWindow,
        LinkedWindowStates& linkedStates, TakeBuiltString takeBuiltString, TryOnProjector tryOnProjector = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildWaitGroup();
    QWidget* buildHexGroup();
    QWidget* buildControlCharacterGroup();
    void orderTabStops();
    bool handleKey(QWidget* control, int key);
    void showPendingSlotName();
    void followWindowState();
    void showByteCount();
    void insertHexByte();
    void insertControlCharacter();
    void insertWait();
    void done();

    notation::BuilderHandOver& m_handOver;
    platform::Prompts& m_prompts;
    QWidget& m_mainWindow;
    LinkedWindowStates& m_linkedStates;
    TakeBuiltString m_takeBuiltString;
    TryOnProjector m_tryOnProjector;
    bool m_handedOver = false;

    CompositionBox* m_composition = nullptr;
    QLabel* m_slotName = nullptr;
    QLineEdit* m_byteCount = nullptr;
    QLineEdit* m_bytesInHex = nullptr;
    QLabel* m_typedEscapeReading = nullptr;
    QPushButton* m_done = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_tryOnProjectorButton = nullptr;
    WaitTimeField* m_hours = nullptr;
    WaitTimeField* m_minutes = nullptr;
    WaitTimeField* m_seconds = nullptr;
    QPushButton* m_insertWait = nullptr;
    QListWidget* m_controlCharacters = nullptr;
    QPushButton* m_insertControlCharacter = nullptr;
    QPushButton* m_insertHex = nullptr;
    HexByteField* m_hexByte = nullptr;
};

} // namespace builder
