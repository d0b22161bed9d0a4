// The four option buttons that choose which video input the device scans first.
#pragma once

#include "config/configuration.h"

#include <QWidget>

class QRadioButton;

namespace mainwindow {

// Ticking an option, by a click, a key or a screen reader, sets the record's scan priority and
// nothing else.
class ScanPriorityOptions final : public QWidget {
    Q_OBJECT

public:
    explicit ScanPriorityOptions(config::ScanPriority& scanPriority, QWidget* parent = nullptr);

    // Clicks the option of this priority. A priority that has none (a file may hold 4 to 9)
    // leaves no option ticked, the record keeps it, and the answer is false.
    bool selectPriority(config::ScanPriority priority);

Q_SIGNALS:
    void priorityChosen();

private:
    void addOption(const QString& caption, const QString& name, config::ScanPriority priority);

    config::ScanPriority& m_scanPriority;
};

} // namespace mainwindow
