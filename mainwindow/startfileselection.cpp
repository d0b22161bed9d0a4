#include "startfileselection.h"

#include "platform/programlook.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

QPushButton* namedButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter presses the button that has the focus, as in a dialog; Esc does nothing here.
    button->setAutoDefault(true);
    return button;
}

} // namespace

StartFileSelection::StartFileSelection(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_createNew(namedButton(u"Create New"_s, u"CreateNewButton"_s, this))
    , m_editExisting(namedButton(u"Edit Existing"_s, u"EditExistingButton"_s, this))
{
    setObjectName(u"StartFileSelection"_s);
    setWindowTitle(u"Configuration File Selection"_s);
    platform::paintProgramBackground(this);
    auto* layout = new QVBoxLayout(this);
    QLabel* question = platform::namedLabel(u"Do you wish to create a new configuration file or do you wish to edit "
                                            "an existing configuration file?"_s,
        u"QuestionLabel"_s, this);
    question->setWordWrap(true);
    layout->addWidget(question);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_createNew);
    buttons->addWidget(m_editExisting);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(420, 120);
}

void StartFileSelection::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT closedByUser();
}

} // namespace mainwindow
