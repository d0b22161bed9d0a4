// The builder's field for one byte in hex.
#pragma once

#include "platform/prompts.h"

#include <QLineEdit>

namespace builder {

// Holds at most two hex digits, upper case, or its hint "XX" until it is first entered. Anything
// else, typed or pasted, is refused with the hex message and leaves the field empty.
class HexByteField final : public QLineEdit {
    Q_OBJECT

public:
    explicit HexByteField(platform::Prompts& prompts, QWidget* parent = nullptr);

    // The hex message; the one for a missing value ends in a blank.
    static void showInvalidHexMessage(platform::Prompts& prompts, bool valueMissing = false);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyChangeRule();
    void refuse();

    platform::Prompts& m_prompts;
};

} // namespace builder
