#include "startup.h"

#include "device/portselection.h"

#include <QPushButton>

namespace mainwindow {

StartUp::StartUp(const WindowServices& services, QObject* parent)
    : QObject(parent)
    , m_services(services)
{
}

StartUp::~StartUp() { delete m_startFileSelection.data(); }

void StartUp::begin(const StartOptions& options)
{
    buildMainWindow();
    m_main->fillFromRecordWithoutLeavingFields();
    const device::PortQuestion question { m_services.prompts, m_services.port, m_services.portDevice,
        options.initialPortAnswer, options.portChoices };
    if (device::askForPort(question, m_services.configuration) == device::PortAnswer::Empty) {
        m_services.programEnd.endNow(0);
        return;
    }
    if (!options.givenFile.isEmpty() && m_main->fileCommands().loadGivenFile(options.givenFile)) {
        showMainWindowFor(true);
        return;
    }
    showStartFileSelection();
}

void StartUp::buildMainWindow()
{
    m_main = std::make_unique<MainWindow>(m_services);
    connect(m_main.get(), &MainWindow::closedByUser, this, &StartUp::finished);
}

void StartUp::showStartFileSelection()
{
    m_startFileSelection = new StartFileSelection;
    m_main->setStartFileSelection(m_startFileSelection);
    connect(m_startFileSelection->createNewButton(), &QPushButton::clicked, this, &StartUp::createNew);
    connect(m_startFileSelection->editExistingButton(), &QPushButton::clicked, this, &StartUp::editExisting);
    connect(m_startFileSelection, &StartFileSelection::closedByUser, this, &StartUp::finished);
    m_startFileSelection->show();
}

// The main window stays hidden meanwhile: the start dialog is the one window on screen.
void StartUp::createNew()
{
    // The record, still as the program started, goes to the file the user names.
    if (m_main->fileCommands().save())
        showMainWindowFor(false);
}

void StartUp::editExisting()
{
    if (m_main->fileCommands().load())
        showMainWindowFor(true);
}

void StartUp::showMainWindowFor(bool fileLoaded)
{
    m_services.configuration.fileLoaded = fileLoaded;
    if (m_startFileSelection) {
        // Answered, not closed by the user: hidden without its close handling, which ends the program.
        m_startFileSelection->hide();
        m_startFileSelection->deleteLater();
    }
    buildMainWindow();
    m_main->show();
    m_main->fillFromRecordWithoutLeavingFields();
}

} // namespace mainwindow
