#include "scanpriorityoptions.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using config::ScanPriority;

namespace mainwindow {

ScanPriorityOptions::ScanPriorityOptions(ScanPriority& scanPriority, QWidget* parent)
    : QWidget(parent)
    , m_scanPriority(scanPriority)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(u"Scan Priority"_s, this);
    heading->setObjectName(u"CheckLabel"_s);
    layout->addWidget(heading);
    addOption(u"VGA"_s, u"VGAOption"_s, ScanPriority::VGA);
    addOption(u"Composite"_s, u"CompOption"_s, ScanPriority::Composite);
    addOption(u"S-Video"_s, u"SvidOption"_s, ScanPriority::SVideo);
    addOption(u"None"_s, u"NoneOption"_s, ScanPriority::None);
    // The heading stays with its options when the window grows.
    layout->addStretch();
}

bool ScanPriorityOptions::selectPriority(ScanPriority priority)
{
    const QList<QRadioButton*> options = findChildren<QRadioButton*>();
    for (QRadioButton* option : options) {
        if (option->property("priority").toInt() == int(priority)) {
            option->click();
            return true;
        }
    }
    // A ticked option would say the box receives what it does not: untick it. Sibling options
    // keep one ticked unless they are told otherwise for the moment.
    for (QRadioButton* option : options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    return false;
}

void ScanPriorityOptions::addOption(const QString& caption, const QString& name, ScanPriority priority)
{
    auto* option = new QRadioButton(caption, this);
    option->setObjectName(name);
    option->setProperty("priority", int(priority));
    layout()->addWidget(option);
    // Ticked before it is connected: the window, built again over a record, must not change it.
    option->setChecked(priority == ScanPriority::None);
    // toggled, not clicked: a screen reader's Toggle ticks an option without a click.
    connect(option, &QRadioButton::toggled, this, [this, priority](bool ticked) {
        if (!ticked)
            return;
        m_scanPriority = priority;
        Q_EMIT priorityChosen();
    });
}

} // namespace mainwindow
