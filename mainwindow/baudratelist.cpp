#include "baudratelist.h"

#include "config/projectorbaudrate.h"
#include "platform/focusreason.h"
#include "platform/listselection.h"

#include <QAbstractItemView>
#include <QFocusEvent>

using namespace Qt::StringLiterals;

namespace mainwindow {

BaudRateList::BaudRateList(config::Configuration& configuration, QWidget* parent)
    : QComboBox(parent)
    , m_configuration(configuration)
{
    setObjectName(u"BaudRateListBox"_s);
    for (const config::ProjectorBaudRate& rate : config::kProjectorBaudRates)
        addItem(rate.text);
    setCurrentIndex(-1);
    platform::keepSelectedItemCurrent(*view());
}

void BaudRateList::showRate(const QString& baudRateText) { setCurrentText(config::baudListTextFor(baudRateText)); }

void BaudRateList::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (platform::focusMovedToAnotherControl(event->reason()))
        m_configuration.commitBaudRate(currentText());
}

} // namespace mainwindow
