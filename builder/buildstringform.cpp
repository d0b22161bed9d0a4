#include "buildstringform.h"

#include "compositionbox.h"
#include "hexbytefield.h"
#include "notation/boxreading.h"
#include "notation/notation.h"
#include "timefieldcaption.h"
#include "waittimefield.h"

#include "config/slotid.h"
#include "platform/listselection.h"
#include "platform/programlook.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using platform::namedLabel;

namespace builder {

namespace {

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(name);
    // Enter moves on from a field; it must never press Done on the way.
    pushButton->setAutoDefault(false);
    return pushButton;
}

// A line the user reads but never edits or tabs to.
QLineEdit* displayLine(const QString& text, const QString& name, QWidget* parent)
{
    auto* line = new QLineEdit(text, parent);
    line->setObjectName(name);
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::NoFocus);
    return line;
}

// What the box makes of each 0x1B the user typed (not escaped, unlike a token's), one line each:
// "1B 41 42 is read by the box as a wait of 4 h 38 min 26 s". Empty when none was typed.
QString typedEscapeReading(const notation::Composition& composition)
{
    const QByteArray& bytes = composition.bytes();
    const notation::BoxReading reading = notation::readAsTheBox(bytes);
    const auto typed = [&](qsizetype at) { return composition.typedEscapes().contains(at); };
    const auto hex = [&](qsizetype from, qsizetype length) { return notation::hexPairs(bytes.sliced(from, length)); };
    QStringList lines;
    for (const notation::BoxStep& step : reading.steps) {
        if (!typed(step.from))
            continue;
        const QString read = hex(step.from, step.length) + u" is read by the box as "_s;
        if (step.kind == notation::BoxStep::Kind::Send) {
            lines.append(read + u"one 1B byte"_s);
        } else {
            const int seconds = step.waitSeconds;
            lines.append(read
                + u"a wait of %1 h %2 min %3 s"_s.arg(QString::number(seconds / 3600),
                    QString::number(seconds / 60 % 60), QString::number(seconds % 60)));
        }
    }
    if (const std::optional<qsizetype> at = reading.unreadableEscapeAt; at && typed(*at)) {
        // Cut off: the string ends before the wait's two bytes; otherwise 0xF0 to 0xFE follows.
        const bool cutOff = *at + 1 == bytes.size() || quint8(bytes[*at + 1]) <= notation::kLongestWaitHighByte;
        lines.append(hex(*at, cutOff ? bytes.size() - *at : 2) + (cutOff ? u" at the end"_s : QString())
            + u" cannot be read by the box"_s);
    }
    return lines.join(u'\n');
}

} // namespace

BuildStringForm::BuildStringForm(notation::BuilderHandOver& handOver, platform::Prompts& prompts, QWidget& mainWindow,
    LinkedWindowStates& linkedStates, TakeBuiltString takeBuiltString, TryOnProjector tryOnProjector)
    : m_handOver(handOver)
    , m_prompts(prompts)
    , m_mainWindow(mainWindow)
    , m_linkedStates(linkedStates)
    , m_takeBuiltString(std::move(takeBuiltString))
    , m_tryOnProjector(std::move(tryOnProjector))
{
    setObjectName(u"BuildStringForm"_s);
    setWindowTitle(u"Build String"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    platform::paintProgramBackground(this);

    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    groups->addWidget(buildWaitGroup());
    groups->addWidget(buildHexGroup());
    groups->addWidget(buildControlCharacterGroup());
    layout->addLayout(groups);

    auto* heading = new QHBoxLayout;
    heading->addWidget(namedLabel(u"Enter codes for"_s, u"EnterCodesLabel"_s, this));
    m_slotName = namedLabel(u"Label1"_s, u"StringNameLabel"_s, this);
    heading->addWidget(m_slotName, 1);
    layout->addLayout(heading);
    m_composition = new CompositionBox(m_handOver.builtBytes, m_prompts, this);
    layout->addWidget(m_composition, 1);
    m_bytesInHex = displayLine(QString(), u"BuiltBytesHexTextBox"_s, this);
    layout->addWidget(m_bytesInHex);
    m_typedEscapeReading = namedLabel(QString(), u"TypedEscapeLabel"_s, this);
    m_typedEscapeReading->setTextFormat(Qt::PlainText);
    m_typedEscapeReading->setWordWrap(true);
    layout->addWidget(m_typedEscapeReading);

    auto* bottom = new QHBoxLayout;
    m_byteCount = displayLine(u"#"_s, u"FileLenTextBox"_s, this);
    m_byteCount->setMaximumWidth(m_byteCount->fontMetrics().horizontalAdvance(u"00000"_s) + 12);
    bottom->addWidget(platform::captionLabel(u"File length:"_s, u"BuildFileLengthLabel"_s, m_byteCount));
    bottom->addWidget(m_byteCount);
    bottom->addStretch();
    m_tryOnProjectorButton = button(u"Try on Projector..."_s, u"TryOnProjectorButton"_s, this);
    // Alt+T only, outside the Tab chain: the builder's Tab and Enter order stays as installers know it.
    m_tryOnProjectorButton->setFocusPolicy(Qt::NoFocus);
    m_tryOnProjectorButton->setShortcut(QKeySequence(u"Alt+T"_s));
    m_tryOnProjectorButton->setToolTip(u"Send what is composed to the projector now, as the QX-7M would (Alt+T)"_s);
    bottom->addWidget(m_tryOnProjectorButton);
    m_done = button(u"Done"_s, u"DoneButton"_s, this);
    m_cancel = button(u"Cancel"_s, u"CancelButton"_s, this);
    bottom->addWidget(m_done);
    bottom->addWidget(m_cancel);
    layout->addLayout(bottom);

    connect(m_composition, &CompositionBox::bytesChanged, this, &BuildStringForm::showByteCount);
    connect(m_done, &QPushButton::clicked, this, &BuildStringForm::done);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_tryOnProjectorButton, &QPushButton::clicked, this, [this] {
        if (m_tryOnProjector)
            m_tryOnProjector(m_composition->composition().bytes());
    });
    orderTabStops();
    // The builder sees every key before the control that has the focus.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->focusPolicy() != Qt::NoFocus)
            control->installEventFilter(this);
    }
    m_composition->setFocus();
}

QWidget* BuildStringForm::buildWaitGroup()
{
    auto* group = new QWidget(this);
    auto* layout = new QGridLayout(group);
    layout->addWidget(
        namedLabel(u"Input a wait time in Hours, Minutes, and Seconds."_s, u"AddWaitPromptLabel"_s, group), 0, 0, 1, 2);
    m_hours = new WaitTimeField(config::kHoursField, m_prompts, group);
    m_minutes = new WaitTimeField(config::kMinutesField, m_prompts, group);
    m_seconds = new WaitTimeField(config::kSecondsField, m_prompts, group);
    int row = 1;
    for (const auto& [field, unit] : { std::pair { m_hours, TimeUnit::Hours },
             std::pair { m_minutes, TimeUnit::Minutes }, std::pair { m_seconds, TimeUnit::Seconds } }) {
        layout->addWidget(captionTimeField(*field, unit), row, 0);
        layout->addWidget(field, row++, 1);
    }
    m_insertWait = button(u"Insert Wait Time"_s, u"InsertWaitButton"_s, group);
    connect(m_insertWait, &QPushButton::clicked, this, &BuildStringForm::insertWait);
    layout->addWidget(m_insertWait, row, 0, 1, 2);
    layout->setRowStretch(row + 1, 1);
    return group;
}

QWidget* BuildStringForm::buildHexGroup()
{
    auto* group = new QWidget(this);
    auto* layout = new QVBoxLayout(group);
    m_hexByte = new HexByteField(m_prompts, group);
    layout->addWidget(platform::captionLabel(u"Insert Hex Byte"_s, u"Label1"_s, m_hexByte));
    m_hexByte->setObjectName(u"HexText"_s);
    m_hexByte->setMaximumWidth(m_hexByte->fontMetrics().horizontalAdvance(u"XXXX"_s) + 12);
    layout->addWidget(m_hexByte);
    m_insertHex = button(u"Insert Hex Byte"_s, u"HexButton"_s, group);
    connect(m_insertHex, &QPushButton::clicked, this, &BuildStringForm::insertHexByte);
    layout->addWidget(m_insertHex);
    layout->addStretch();
    return group;
}

QWidget* BuildStringForm::buildControlCharacterGroup()
{
    auto* group = new QWidget(this);
    auto* layout = new QVBoxLayout(group);
    m_controlCharacters = new QListWidget(group);
    layout->addWidget(platform::captionLabel(u"   Control  Characters"_s, u"ControlChrLabel"_s, m_controlCharacters));
    m_controlCharacters->setObjectName(u"ControlChrList"_s);
    for (const QLatin1StringView item : notation::kControlCharacterItems)
        m_controlCharacters->addItem(QString(item));
    m_controlCharacters->setCurrentRow(0);
    platform::keepSelectedItemCurrent(*m_controlCharacters);
    connect(m_controlCharacters, &QListWidget::itemDoubleClicked, this, &BuildStringForm::insertControlCharacter);
    layout->addWidget(m_controlCharacters);
    m_insertControlCharacter = button(u"Insert Control Character"_s, u"InsertCtlChr"_s, group);
    connect(m_insertControlCharacter, &QPushButton::clicked, this, &BuildStringForm::insertControlCharacter);
    layout->addWidget(m_insertControlCharacter);
    return group;
}

void BuildStringForm::orderTabStops()
{
    QWidget* const order[] = { m_composition, m_done, m_cancel, m_hours, m_minutes, m_seconds, m_insertWait,
        m_controlCharacters, m_insertControlCharacter, m_insertHex, m_hexByte };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool BuildStringForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return handleKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool BuildStringForm::handleKey(QWidget* control, int key)
{
    if (key == Qt::Key_Escape) {
        m_cancel->click();
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Enter on a button presses it, as on any dialog; in a field or the list it moves on as Tab.
    if (auto* pushButton = qobject_cast<QPushButton*>(control))
        pushButton->click();
    else
        focusNextPrevChild(true);
    return true;
}

void BuildStringForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showPendingSlotName();
    else if (event->type() == QEvent::WindowStateChange)
        followWindowState();
}

void BuildStringForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    followWindowState();
}

void BuildStringForm::closeEvent(QCloseEvent* event)
{
    if (!m_handedOver)
        m_handOver.clearAllPending();
    QWidget::closeEvent(event);
}

void BuildStringForm::showPendingSlotName()
{
    for (const config::SlotId id : config::kRecordOrder) {
        if (m_handOver.isPending(id)) {
            m_slotName->setText(config::displayName(id) + u" String"_s);
            m_composition->setAccessibleName(u"Enter codes for "_s + m_slotName->text());
            return;
        }
    }
}

void BuildStringForm::followWindowState()
{
    // The user's change of the builder, not one that the main window's rule just made.
    if (!isVisible() || m_linkedStates.isFollowing())
        return;
    const Qt::WindowStates state = LinkedWindowStates::sizeState(*this);
    if (state.testFlag(Qt::WindowMinimized))
        m_linkedStates.follow(m_mainWindow, Qt::WindowMinimized);
    else if (state == Qt::WindowNoState)
        m_linkedStates.follow(m_mainWindow, Qt::WindowNoState);
}

void BuildStringForm::showByteCount()
{
    const QByteArray& bytes = m_composition->composition().bytes();
    m_byteCount->setText(notation::numberAfterBlank(int(bytes.size())));
    m_bytesInHex->setText(notation::hexPairs(bytes));
    m_typedEscapeReading->setText(typedEscapeReading(m_composition->composition()));
}

void BuildStringForm::insertHexByte()
{
    const QString digits = m_hexByte->text();
    // Two hex digits at most, so every value fits a byte; an empty field or the hint has none.
    bool isNumber = false;
    const uint value = digits.toUInt(&isNumber, 16);
    if (!isNumber || (value == 0 && digits != u"00"_s && digits != u"0"_s)) {
        HexByteField::showInvalidHexMessage(m_prompts, true);
        m_hexByte->clear();
        m_hexByte->setFocus();
        return;
    }
    m_composition->appendToken(notation::hexByteToken(digits));
    m_hexByte->clear();
    m_composition->takeFocusAfterInsertion();
}

void BuildStringForm::insertControlCharacter()
{
    // The selected item, which a screen reader can set without moving the current one.
    const QList<QListWidgetItem*> selected = m_controlCharacters->selectedItems();
    if (selected.isEmpty()) {
        m_prompts.beep();
        return;
    }
    const QString text = selected.front()->text();
    m_composition->appendToken(notation::controlCharacterToken(QStringView(text).first(text.indexOf(u' '))));
    m_composition->takeFocusAfterInsertion();
}

void BuildStringForm::insertWait()
{
    // One message per click, for the first field whose value is not usable; a hint counts as none.
    for (const WaitTimeField* field : { m_hours, m_minutes, m_seconds }) {
        if (field->value() < 0 || field->value() > field->kind().largest) {
            m_prompts.showMessage(field->kind().message, field->kind().title);
            return;
        }
    }
    const std::optional<notation::Token> token
        = notation::waitToken(m_hours->value(), m_minutes->value(), m_seconds->value());
    if (!token)
        return;
    m_composition->appendToken(*token);
    m_composition->takeFocusAfterInsertion();
}

void BuildStringForm::done()
{
    m_handedOver = true;
    m_takeBuiltString(m_composition->rawText());
    close();
}

} // namespace builder
