#include "mainwindow.h"

#include "baudratelist.h"
#include "delaytextbox.h"
#include "scanpriorityoptions.h"
#include "slotpanel.h"
#include "statusline.h"
#include "stringfileimport.h"
#include "supportwindows.h"

#include "builder/buildstringform.h"
#include "builder/timefieldcaption.h"

#include "device/portselection.h"
#include "device/uploadpreparation.h"

#include "platform/focusreason.h"
#include "platform/programidentity.h"
#include "platform/programlook.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

const QString kShadedButton
    = u"QPushButton { background-color: rgb(%1); border: 1px solid rgb(64, 64, 64); padding: 4px 12px; }"_s;

QFrame* separator(const QString& name, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QAction* addCommand(QMenu* menu, const QString& caption, const QString& name, QKeySequence shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

MainWindow::MainWindow(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_upload(m_services, *this)
    , m_fileCommands(m_services, *this)
    , m_tryOnProjector({ m_services.prompts, m_services.projectorSerialPort, m_services.clock, m_services.projectorPort,
                           m_services.configuration.commPort, m_services.portChoices },
          *this)
{
    setObjectName(u"Main"_s);
    platform::paintProgramBackground(this);
    buildMenus();
    setCentralWidget(buildControls());
    buildStatusBar();
    updateCaption();
    m_tryOnProjector.holdDuringTrial({ m_uploadButton }, { m_newAction, m_loadAction, m_portAction });
}

void MainWindow::buildStatusBar()
{
    // The message part: the last upload's receipt, or a newer note about the file.
    m_statusLine = new StatusLine(this);
    statusBar()->addWidget(m_statusLine, 1);
    // The permanent part: where an upload goes, and whether the file lags behind the window.
    m_portInUse = platform::namedLabel(QString(), u"PortInUseLabel"_s, this);
    m_portInUse->setTextFormat(Qt::PlainText);
    statusBar()->addPermanentWidget(m_portInUse);
    m_unsavedMark = platform::namedLabel(u"unsaved changes"_s, u"UnsavedLabel"_s, this);
    m_unsavedMark->hide();
    statusBar()->addPermanentWidget(m_unsavedMark);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(u"File"_s);
    file->setObjectName(u"File"_s);
    m_newAction = addCommand(file, u"New Configuration File..."_s, u"New"_s, QKeySequence(u"Ctrl+N"_s));
    m_loadAction = addCommand(file, u"Load Configuration File..."_s, u"Load"_s, QKeySequence(u"Ctrl+L"_s));
    m_saveAction = addCommand(file, u"Save Configuration File..."_s, u"Save"_s, QKeySequence(u"Ctrl+S"_s));
    m_portAction = addCommand(file, u"Port..."_s, u"Port"_s, QKeySequence(u"Ctrl+P"_s));
    m_quitAction = addCommand(file, u"Quit QX-7M Programmer..."_s, u"Quit"_s, QKeySequence(u"Ctrl+Q"_s));
    connect(m_newAction, &QAction::triggered, this, [this] { m_fileCommands.newFile(); });
    connect(m_loadAction, &QAction::triggered, this, [this] { static_cast<void>(m_fileCommands.load()); });
    connect(m_saveAction, &QAction::triggered, this, [this] { static_cast<void>(m_fileCommands.save()); });
    connect(m_portAction, &QAction::triggered, this, &MainWindow::choosePort);
    connect(m_quitAction, &QAction::triggered, this, [this] { m_fileCommands.quit(); });
    QMenu* help = menuBar()->addMenu(u"Help"_s);
    help->setObjectName(u"Help"_s);
    connect(addCommand(help, u"Free Tech Support"_s, u"FreeSupport"_s), &QAction::triggered, this,
        [this] { showSupportForm(m_freeSupport, createFreeSupportForm); });
    connect(addCommand(help, u"Paid Tech Support"_s, u"PaidSupport"_s), &QAction::triggered, this,
        [this] { showSupportForm(m_paidSupport, createPaidSupportForm); });
}

QWidget* MainWindow::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(buildTitleBand(central));
    layout->addWidget(separator(u"Line1"_s, central));
    layout->addWidget(buildSlotBand(central));
    layout->addWidget(separator(u"Line2"_s, central));
    layout->addLayout(buildSettingsBand(central));
    layout->addWidget(separator(u"Line3"_s, central));
    layout->addLayout(buildDelayBand(central));
    layout->addWidget(separator(u"Line4"_s, central));
    layout->addLayout(buildUploadBand(central));
    // The bands keep together at the top when the window grows.
    layout->addStretch();
    layout->addWidget(platform::namedLabel(u"qx7m.example"_s, u"URLLabel"_s, central));
    layout->addWidget(
        platform::namedLabel(u"QX-7M Programmer. All rights reserved by its maker."_s, u"RightsLabel"_s, central));
    return central;
}

QLayout* MainWindow::buildTitleBand(QWidget* central)
{
    auto* title = new QHBoxLayout;
    QLabel* titleLabel = platform::namedLabel(QString(platform::kProgramTitle), u"TitleLabel"_s, central);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleLabel->setFont(titleFont);
    title->addWidget(titleLabel);
    title->addWidget(platform::namedLabel(u"Projector Automation Device"_s, u"Label2"_s, central));
    title->addStretch();
    title->addWidget(platform::namedLabel(u"Version "_s.append(platform::kProgramVersion), u"Label3"_s, central));
    return title;
}

QWidget* MainWindow::buildSlotBand(QWidget* central)
{
    m_slotPanel = new SlotPanel(m_services.configuration, m_services.handOver, central);
    connect(m_slotPanel, &SlotPanel::slotTextStored, this, [this] {
        showUploadButton(m_uploadButton->text(), UploadButtonShade::Red);
        recordChanged();
    });
    connect(m_slotPanel->buildStringButton(), &QPushButton::clicked, this, &MainWindow::openBuilder);
    connect(m_slotPanel->tryOnProjectorButton(), &QPushButton::clicked, this, [this] {
        if (const std::optional<config::SlotId> id = m_slotPanel->selectedSlot())
            tryOnProjector(m_services.configuration.slot(*id).commandBytes);
    });
    connect(m_slotPanel->selectFileButton(), &QPushButton::clicked, this, [this] {
        importStringFile(m_services.prompts, m_services.configuration, *m_slotPanel);
        // A file of the same name as the slot's text changes the bytes alone.
        recordChanged();
    });
    return m_slotPanel;
}

QLayout* MainWindow::buildSettingsBand(QWidget* central)
{
    auto* settings = new QHBoxLayout;
    m_scanPriority = new ScanPriorityOptions(m_services.configuration.scanPriority, central);
    connect(m_scanPriority, &ScanPriorityOptions::priorityChosen, this, &MainWindow::recordChanged);
    settings->addWidget(m_scanPriority);
    settings->addStretch();
    auto* baud = new QVBoxLayout;
    m_baudRateList = new BaudRateList(m_services.configuration, central);
    connect(m_baudRateList, &QComboBox::currentTextChanged, this, &MainWindow::recordChanged);
    baud->addWidget(platform::captionLabel(u"Projector Baud Rate"_s, u"Label1"_s, m_baudRateList));
    baud->addWidget(m_baudRateList);
    baud->addStretch();
    settings->addLayout(baud);
    return settings;
}

QLayout* MainWindow::buildDelayBand(QWidget* central)
{
    auto* delay = new QGridLayout;
    delay->addWidget(
        platform::namedLabel(u"Delay time for \"No Input Active\" String"_s, u"NoneActiveTimeLabel"_s, central), 0, 0,
        1, 6);
    config::NoInputDelay& values = m_services.configuration.delay;
    m_hours = new DelayTextBox(config::kHoursField, values.hours, m_services.prompts, central);
    m_minutes = new DelayTextBox(config::kMinutesField, values.minutes, m_services.prompts, central);
    m_seconds = new DelayTextBox(config::kSecondsField, values.seconds, m_services.prompts, central);
    int column = 0;
    for (const auto& [box, unit] :
        { std::pair { m_hours, builder::TimeUnit::Hours }, std::pair { m_minutes, builder::TimeUnit::Minutes },
            std::pair { m_seconds, builder::TimeUnit::Seconds } }) {
        delay->addWidget(builder::captionTimeField(*box, unit), 1, column++);
        delay->addWidget(box, 1, column++);
        connect(box, &QLineEdit::textChanged, this, &MainWindow::recordChanged);
    }
    // Each caption stays beside its field when the window grows.
    delay->setColumnStretch(column, 1);
    return delay;
}

QLayout* MainWindow::buildUploadBand(QWidget* central)
{
    auto* upload = new QHBoxLayout;
    m_uploadButton = new QPushButton(u"Save and Upload"_s, central);
    m_uploadButton->setObjectName(u"UploadCommandsButton"_s);
    m_uploadButton->installEventFilter(this);
    connect(m_uploadButton, &QPushButton::clicked, this, [this] { m_upload.run(); });
    upload->addWidget(m_uploadButton);
    m_progress = new QProgressBar(central);
    m_progress->setObjectName(u"UploadProgressBar"_s);
    m_progress->setFocusPolicy(Qt::NoFocus);
    m_progress->setFormat(u"%v of %m bytes"_s);
    // Empty until the first upload: there is nothing to count yet.
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    upload->addWidget(m_progress, 1);
    return upload;
}

void MainWindow::fillFromRecordWithoutLeavingFields()
{
    config::Configuration& configuration = m_services.configuration;
    updateCaption();
    if (configuration.fileLoaded) {
        m_baudRateList->showRate(configuration.baudRateText);
        showFileDelayTextsAgain(
            { configuration.delay.hoursText, configuration.delay.minutesText, configuration.delay.secondsText });
        m_scanPriority->selectPriority(configuration.scanPriority);
        noteWhatTheFileHoldsBeyondTheControls();
    } else {
        configuration.baudRateText = u"9600"_s;
        m_baudRateList->showRate(configuration.baudRateText);
    }
    m_slotPanel->selectSlot(config::SlotId::VgaInputActive);
    showPortInUse();
    m_fileCommands.markSaved();
}

void MainWindow::noteWhatTheFileHoldsBeyondTheControls()
{
    const config::Configuration& configuration = m_services.configuration;
    QStringList notes;
    if (!config::hasOption(configuration.scanPriority))
        notes.append(u"Scan priority %1 from the file is none of the four options; the box receives %1 until one is "
                     "chosen"_s.arg(int(configuration.scanPriority)));
    if (m_baudRateList->currentText() != configuration.baudRateText)
        notes.append(
            u"Baud rate %1 from the file is none of the five rates; the box receives %2, as the list shows"_s.arg(
                configuration.baudRateText, m_baudRateList->currentText()));
    if (!notes.isEmpty()) {
        m_statusLine->showMessage(notes.join(u". "_s));
        m_statusLineShowsReceipt = false;
    }
}

void MainWindow::showPortInUse()
{
    const QString answer = m_services.configuration.commPort;
    const platform::Result<QString>& device = m_services.portDevice.deviceFor(answer);
    if (answer.isEmpty())
        m_portInUse->clear();
    else if (!device)
        m_portInUse->setText(u"Port %1: not found"_s.arg(answer));
    else if (device.value() == answer)
        m_portInUse->setText(u"Port: "_s + answer);
    else
        m_portInUse->setText(u"Port %1: %2"_s.arg(answer, device.value()));
}

void MainWindow::choosePort()
{
    config::Configuration& configuration = m_services.configuration;
    const QString inUse = configuration.commPort;
    const device::PortDeviceChoice before = m_services.portDevice;
    m_services.portDevice.forget();
    const device::PortAnswer answer = device::askForPort(
        { m_services.prompts, m_services.port, m_services.portDevice, inUse, m_services.portChoices() }, configuration);
    if (answer != device::PortAnswer::Given) {
        // Cancelled, or a port that failed and was reported: the port in use stays.
        configuration.commPort = inUse;
        m_services.portDevice = before;
    }
    showPortInUse();
}

void MainWindow::recordChanged()
{
    showUnsaved(m_fileCommands.unsaved());
    if (!m_uploadedContent || programmedContentNow() == *m_uploadedContent)
        return;
    // The box now differs from the window: the last upload's figures become history.
    m_uploadedContent.reset();
    showUploadButton(m_uploadButton->text(), UploadButtonShade::Red);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    if (m_statusLineShowsReceipt)
        m_statusLine->showMessage(u"Last upload "_s + m_statusLine->text() + u" (before later changes)"_s);
    m_statusLineShowsReceipt = false;
}

QByteArray MainWindow::programmedContentNow() const
{
    const config::Configuration& configuration = m_services.configuration;
    return device::programmedContent(
        configuration, device::prepareUpload(configuration, delayFieldTexts(), baudListText()));
}

void MainWindow::showUnsaved(bool unsaved) { m_unsavedMark->setVisible(unsaved); }

void MainWindow::updateCaption()
{
    // A title's "[*]" is where Qt puts its modified mark, and "[*][*]" shows one "[*]": the file's
    // name must show as it stands.
    QString name = m_services.configuration.configFileName;
    setWindowTitle(name.replace(u"[*]"_s, u"[*][*]"_s) + u"  -  QX-7M"_s);
}

config::DelayFieldTexts MainWindow::delayFieldTexts() const
{
    return { m_hours->text(), m_minutes->text(), m_seconds->text() };
}

MainWindow::~MainWindow() { delete m_builder.data(); }

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        followWindowState();
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_builder && m_builder->isVisible()) {
        // The composition is not finished: say so, and put the user back in it.
        m_services.prompts.beep();
        m_builder->raise();
        m_builder->activateWindow();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    followWindowState();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The trial ends first: the projector's port must not stay open behind the save question.
    m_tryOnProjector.stopAndClose();
    // Asked before the builder goes: Cancel keeps both windows and the composition as they were.
    if (!m_fileCommands.mayReplaceRecord()) {
        event->ignore();
        return;
    }
    if (m_builder)
        m_builder->close();
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closedByUser();
}

void MainWindow::followWindowState()
{
    const Qt::WindowStates state = builder::LinkedWindowStates::sizeState(*this);
    // The start dialog stands alone on the screen until it is answered.
    if (state != Qt::WindowNoState && m_startFileSelection && m_startFileSelection->isVisible()) {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        return;
    }
    // Only the user's change of this window: not one that the builder's rule just made.
    if (!m_builder || m_linkedStates.isFollowing())
        return;
    if (state != Qt::WindowNoState)
        m_linkedStates.follow(*m_builder, Qt::WindowMinimized);
    else
        m_linkedStates.follow(*m_builder, Qt::WindowNoState);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_uploadButton && event->type() == QEvent::FocusOut
        && platform::focusMovedToAnotherControl(static_cast<QFocusEvent*>(event)->reason()))
        m_uploadButton->setText(kUploadCommandsCaption);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::openBuilder()
{
    const std::optional<config::SlotId> id = m_slotPanel->selectedSlot();
    if (!id)
        return;
    // The builder serves one slot: asked again for another, it goes on for that one.
    m_services.handOver.clearAllPending();
    m_services.handOver.builderPending[config::indexOf(*id)] = true;
    // A builder closed a moment ago is hidden until it is deleted; the new opening starts afresh.
    if (!m_builder || m_builder->isHidden()) {
        m_builder = new builder::BuildStringForm(
            m_services.handOver, m_services.prompts, *this, m_linkedStates,
            [this](const QString& sourceText) { takeBuiltString(sourceText); },
            [this](const QByteArray& bytes) { tryOnProjector(bytes); });
    }
    m_builder->show();
    m_builder->raise();
    m_builder->activateWindow();
}

void MainWindow::takeBuiltString(const QString& sourceText)
{
    notation::BuilderHandOver& handOver = m_services.handOver;
    for (const config::SlotId id : config::kRecordOrder) {
        if (handOver.isPending(id)) {
            // To the slot the builder was opened for, even if the list shows another one by now.
            m_slotPanel->selectSlot(id);
            m_slotPanel->takeBuiltString(sourceText);
            break;
        }
    }
    handOver.clearAllPending();
}

void MainWindow::showSupportForm(QPointer<QWidget>& form, QWidget* (*create)(QWidget*))
{
    if (!form)
        form = create(this);
    form->show();
    form->raise();
    form->activateWindow();
}

void MainWindow::showFileDelayTextsAgain(const config::DelayFieldTexts& texts)
{
    // The file's reading told the user of a refused text once already.
    m_hours->setEntryToldBefore(texts.hours);
    m_minutes->setEntryToldBefore(texts.minutes);
    m_seconds->setEntryToldBefore(texts.seconds);
}

void MainWindow::showDelayFieldTexts(const config::DelayFieldTexts& texts)
{
    m_hours->setEntry(texts.hours);
    m_minutes->setEntry(texts.minutes);
    m_seconds->setEntry(texts.seconds);
}

QString MainWindow::baudListText() const { return m_baudRateList->currentText(); }

void MainWindow::selectSlot(config::SlotId id) { m_slotPanel->selectSlot(id); }

void MainWindow::showUploadButton(const QString& caption, UploadButtonShade shade)
{
    m_uploadButton->setText(caption);
    // A style sheet, not the palette: several platform styles paint buttons in their own colour or
    // shade it. With a border of its own the button is painted flat in exactly this colour.
    switch (shade) {
    case UploadButtonShade::Normal:
        m_uploadButton->setStyleSheet(QString());
        break;
    case UploadButtonShade::Red:
        m_uploadButton->setStyleSheet(kShadedButton.arg(u"255, 0, 0"_s));
        break;
    case UploadButtonShade::Green:
        m_uploadButton->setStyleSheet(kShadedButton.arg(u"0, 255, 0"_s));
        break;
    }
    m_uploadButton->repaint();
}

void MainWindow::showProgress(int acknowledged, int total)
{
    if (acknowledged == 0)
        m_uploadedContent = programmedContentNow();
    m_progress->setTextVisible(true);
    m_progress->setMaximum(total);
    m_progress->setValue(acknowledged);
}

void MainWindow::showReceipt(const QString& text)
{
    m_statusLine->showMessage(text);
    m_statusLineShowsReceipt = true;
}

void MainWindow::showReplacedRecordLeavingFields()
{
    const config::Configuration& configuration = m_services.configuration;
    m_slotPanel->selectSlot(config::SlotId::VgaInputActive);
    m_scanPriority->selectPriority(configuration.scanPriority);
    m_baudRateList->showRate(configuration.baudRateText);
    const config::NoInputDelay& delay = configuration.delay;
    for (const auto& [box, text] : { std::pair { m_hours, delay.hoursText }, std::pair { m_minutes, delay.minutesText },
             std::pair { m_seconds, delay.secondsText } }) {
        box->setEntry(text);
        box->applyEmptyRule();
    }
    noteWhatTheFileHoldsBeyondTheControls();
}

} // namespace mainwindow
