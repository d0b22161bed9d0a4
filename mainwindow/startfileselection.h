// The start dialog: a new configuration file, or an existing one.
#pragma once

#include <QWidget>

class QPushButton;

namespace mainwindow {

// Modeless, shown alone between the port question and the main window. It only tells which
// answer was given: what the answers do is the start-up's.
class StartFileSelection final : public QWidget {
    Q_OBJECT

public:
    explicit StartFileSelection(QWidget* parent = nullptr);

    QPushButton* createNewButton() const { return m_createNew; }
    QPushButton* editExistingButton() const { return m_editExisting; }

Q_SIGNALS:
    // The user closed the dialog instead of answering it.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* m_createNew;
    QPushButton* m_editExisting;
};

} // namespace mainwindow
