#include "slotpanel.h"

#include "notation/notation.h"
#include "platform/listselection.h"
#include "platform/programlook.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;
using config::SlotId;

namespace mainwindow {

SlotPanel::SlotPanel(config::Configuration& configuration, notation::BuilderHandOver& handOver, QWidget* parent)
    : QWidget(parent)
    , m_configuration(configuration)
    , m_handOver(handOver)
    , m_slotList(new QComboBox(this))
    , m_slotLabel(platform::namedLabel(u"Composite Input Active String"_s, u"SelStringLabel"_s, this))
    , m_slotText(new QLineEdit(m_shownText, this))
    , m_slotLength(new QLineEdit(u"#"_s, this))
    , m_slotBytes(new QLineEdit(this))
    , m_buildStringButton(new QPushButton(u"Build String"_s, this))
    , m_tryOnProjectorButton(new QPushButton(u"Try on Projector..."_s, this))
    , m_selectFileButton(new QPushButton(u"Select File"_s, this))
{
    m_slotList->setObjectName(u"DDList"_s);
    for (const SlotId id : config::kListOrder)
        m_slotList->addItem(config::displayName(id));
    // No slot is named until the window is filled from the record.
    m_slotList->setCurrentIndex(-1);
    m_slotText->setObjectName(u"SelStringTextBox"_s);
    // Named by the slot's caption above it, which changes with the slot.
    m_slotLabel->setBuddy(m_slotText);
    m_slotText->setReadOnly(true);
    m_slotLength->setObjectName(u"SelStringLenTextBox"_s);
    m_slotLength->setReadOnly(true);
    m_slotLength->setMaximumWidth(m_slotLength->fontMetrics().horizontalAdvance(u"00000"_s) + 12);
    // What the slot sends, byte for byte: a name or a notation does not show a CR LF or a 0x00.
    m_slotBytes->setObjectName(u"SelStringBytesTextBox"_s);
    m_slotBytes->setReadOnly(true);
    m_slotBytes->setFocusPolicy(Qt::NoFocus);
    m_slotBytes->setMinimumWidth(m_slotBytes->fontMetrics().horizontalAdvance(QString(u"FF "_s).repeated(30)) + 12);
    m_buildStringButton->setObjectName(u"BuildStringButton"_s);
    m_tryOnProjectorButton->setObjectName(u"TryOnProjectorButton"_s);
    m_tryOnProjectorButton->setShortcut(QKeySequence(u"Ctrl+T"_s));
    m_tryOnProjectorButton->setToolTip(u"Send this string to the projector now, as the QX-7M would (Ctrl+T)"_s);
    m_selectFileButton->setObjectName(u"SelFileButton"_s);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(platform::captionLabel(u"Select a string"_s, u"SelectStringLabel"_s, m_slotList), 0, 0);
    layout->addWidget(m_slotList, 0, 1, 1, 5);
    layout->addWidget(m_slotLabel, 1, 0, 1, 6);
    layout->addWidget(m_slotText, 2, 0, 1, 6);
    layout->addWidget(platform::captionLabel(u"String Length:"_s, u"SelStringLenLabel"_s, m_slotLength), 3, 0);
    layout->addWidget(m_slotLength, 3, 1);
    layout->addWidget(m_buildStringButton, 3, 3);
    layout->addWidget(m_tryOnProjectorButton, 3, 4);
    layout->addWidget(m_selectFileButton, 3, 5);
    // A row of its own, wide enough for the 30 bytes the box takes.
    layout->addWidget(m_slotBytes, 4, 0, 1, 6);
    layout->setColumnStretch(2, 1);

    // Any change of the list switches, the program's own included; activated too, so that
    // choosing the slot already shown switches to it again.
    connect(m_slotList, &QComboBox::currentIndexChanged, this, &SlotPanel::switchSlot);
    connect(m_slotList, &QComboBox::activated, this, &SlotPanel::switchSlot);
    platform::keepSelectedItemCurrent(*m_slotList->view());
    // Runs inside the call that set the text, before it returns: the slot switch, Done and the
    // import read the slot again only afterwards.
    connect(m_slotText, &QLineEdit::textChanged, this, &SlotPanel::storeBack);
}

std::optional<SlotId> SlotPanel::selectedSlot() const
{
    return config::slotIdFromDisplayName(m_slotList->currentText());
}

void SlotPanel::showSlotText(const QString& text)
{
    m_shownText = text;
    m_slotText->setText(text);
}

void SlotPanel::showSlotLength(int length)
{
    m_slotLength->setText(QString::number(length));
    showSlotBytes();
}

void SlotPanel::selectSlot(SlotId id)
{
    m_slotList->setCurrentText(config::displayName(id));
    // Also the slot already shown, to which no change of the list switches again.
    switchSlot();
}

void SlotPanel::takeBuiltString(const QString& notationText)
{
    m_takingBuiltString = true;
    if (m_slotText->text() == notationText)
        storeBack();
    else
        showSlotText(notationText);
    m_takingBuiltString = false;
    showSlotLength(int(m_handOver.builtBytes.size()));
}

void SlotPanel::switchSlot()
{
    const std::optional<SlotId> id = selectedSlot();
    if (!id)
        return;
    m_slotLabel->setText(config::selStringLabelCaption(*id));
    showSlotText(m_configuration.slot(*id).sourceText);
    showSlotLength(m_configuration.slot(*id).byteCount);
}

void SlotPanel::storeBack()
{
    if (m_slotText->text() != m_shownText) {
        // Read-only to the keyboard, yet a screen reader's text interface can still set it: the
        // slot would take a text that its bytes do not follow.
        const QSignalBlocker quiet(m_slotText);
        m_slotText->setText(m_shownText);
        return;
    }
    if (const std::optional<SlotId> id = selectedSlot()) {
        config::StringSlot& slot = m_configuration.slot(*id);
        slot.sourceText = m_slotText->text();
        if (m_takingBuiltString && m_handOver.isPending(*id)) {
            slot.commandBytes = m_handOver.builtBytes;
            slot.byteCount = static_cast<quint8>(m_handOver.builtBytes.size());
        }
    }
    showSlotBytes();
    Q_EMIT slotTextStored();
}

void SlotPanel::showSlotBytes()
{
    if (const std::optional<SlotId> id = selectedSlot()) {
        m_slotBytes->setText(notation::hexPairs(m_configuration.slot(*id).commandBytes));
        // From the first byte, where the projector starts reading, when the field is too narrow for all.
        m_slotBytes->home(false);
    }
}

} // namespace mainwindow
