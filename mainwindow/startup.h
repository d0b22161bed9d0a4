// From the port question to the main window.
#pragma once

#include "mainwindow.h"
#include "startfileselection.h"
#include "windowservices.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace mainwindow {

struct StartOptions {
    // In the port question's field, each time it is asked.
    QString initialPortAnswer;
    // The ports this computer has, offered in the port question.
    QStringList portChoices;
    // A configuration file to open instead of asking with the start dialog; empty for none.
    QString givenFile;
};

// Owns the main window and the start dialog. The main window is built hidden before the port
// question, and built again, shown, once the start dialog was answered: the second build shows
// a file chosen there with its baud rate, delay texts and scan priority.
class StartUp final : public QObject {
    Q_OBJECT

public:
    explicit StartUp(const WindowServices& services, QObject* parent = nullptr);
    ~StartUp() override;

    // The port question, then the given file or the start dialog. An empty answer ends the
    // program at once.
    void begin(const StartOptions& options);

    MainWindow* mainWindow() const { return m_main.get(); }
    StartFileSelection* startFileSelection() const { return m_startFileSelection; }

Q_SIGNALS:
    // The user closed the main window (the builder went with it) or the start dialog: the program
    // is to end, with nothing asked.
    void finished();

private:
    void buildMainWindow();
    void showStartFileSelection();
    void createNew();
    void editExisting();
    void showMainWindowFor(bool fileLoaded);

    WindowServices m_services;
    std::unique_ptr<MainWindow> m_main;
    QPointer<StartFileSelection> m_startFileSelection;
};

} // namespace mainwindow
