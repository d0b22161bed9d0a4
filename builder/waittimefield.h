// One of the builder's three wait fields: hours, minutes or seconds.
#pragma once

#include "config/delayfield.h"
#include "config/noinputdelay.h"
#include "platform/prompts.h"

#include <QLineEdit>

namespace builder {

// Keeps the number last accepted from its text; 255 means nothing usable was entered, which the
// wait insertion refuses. Shows its hint while empty and not in use.
// Unlike DelayTextBox: a refused entry leaves the hint selected, a click clears it, left empty it shows the hint.
class WaitTimeField final : public QLineEdit {
    Q_OBJECT

public:
    WaitTimeField(const config::DelayFieldKind& kind, platform::Prompts& prompts, QWidget* parent = nullptr);

    qint16 value() const { return m_value; }
    const config::DelayFieldKind& kind() const { return m_kind; }

    // What the field holds until a usable number was entered, and after a refused one.
    static constexpr qint16 kNothingUsable = config::NoInputDelay::kRejectedEntry;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyChangeRule();

    const config::DelayFieldKind& m_kind;
    platform::Prompts& m_prompts;
    qint16 m_value = kNothingUsable;
};

} // namespace builder
