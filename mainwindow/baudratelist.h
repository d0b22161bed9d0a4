// The list of the projector's baud rates.
#pragma once

#include "config/configuration.h"

#include <QComboBox>

namespace mainwindow {

// A choice takes effect in the record only when the focus moves on to another control (or when
// Save or the upload commit the list's text themselves), never while the list is still in use.
class BaudRateList final : public QComboBox {
    Q_OBJECT

public:
    explicit BaudRateList(config::Configuration& configuration, QWidget* parent = nullptr);

    // Shows the record's baud text, or "9600" for a text that is none of the five rates.
    void showRate(const QString& baudRateText);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    config::Configuration& m_configuration;
};

} // namespace mainwindow
