// The slot list and the selected slot's string, length, the two ways to fill it and the way to try it.
#pragma once

#include "slotview.h"

#include "config/configuration.h"
#include "notation/builderhandover.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mainwindow {

// Shows one slot of the record at a time, with its bytes in hex, and writes the text it shows
// back into that slot on every change (the store-back). The builder's bytes are taken over only
// by Done: a slot switch or an import while the builder is open must not take a composition that
// is still growing. Owns no slot data: the record and the hand-over state belong to the application.
class SlotPanel final : public QWidget, public SlotView {
    Q_OBJECT

public:
    SlotPanel(config::Configuration& configuration, notation::BuilderHandOver& handOver, QWidget* parent = nullptr);

    std::optional<config::SlotId> selectedSlot() const override;
    void showSlotText(const QString& text) override;
    void showSlotLength(int length) override;
    void selectSlot(config::SlotId id) override;

    // Done in the builder: the notation text is shown and stored back even when it is the text
    // already shown, and the shown slot takes builtBytes when it is the pending one. The caller
    // clears the pending flags afterwards.
    void takeBuiltString(const QString& notationText);

    QPushButton* buildStringButton() const { return m_buildStringButton; }
    QPushButton* tryOnProjectorButton() const { return m_tryOnProjectorButton; }
    QPushButton* selectFileButton() const { return m_selectFileButton; }

Q_SIGNALS:
    // The shown slot text changed (or Done stored it back): the record differs from the device.
    void slotTextStored();

private:
    void switchSlot();
    void storeBack();
    void showSlotBytes();

    config::Configuration& m_configuration;
    notation::BuilderHandOver& m_handOver;
    // What the program last put into the slot's text field, the only text the slot takes from it.
    QString m_shownText = QStringLiteral("String Source");
    QComboBox* m_slotList;
    QLabel* m_slotLabel;
    QLineEdit* m_slotText;
    QLineEdit* m_slotLength;
    QLineEdit* m_slotBytes;
    QPushButton* m_buildStringButton;
    QPushButton* m_tryOnProjectorButton;
    QPushButton* m_selectFileButton;
    bool m_takingBuiltString = false;
};

} // namespace mainwindow
