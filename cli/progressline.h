// The upload's progress on standard error, for a person at a terminal.
#pragma once

namespace cli {

// One line redrawn in place as the box acknowledges bytes: "[#######.......] 21 of 53 bytes".
// Draws nothing when switched off, so that a script's log holds only the result.
class ProgressLine {
public:
    explicit ProgressLine(bool shown);

    void show(int done, int total);
    // Blanks the line, so that the result line takes its place.
    void finish();

private:
    bool m_shown;
    bool m_drawn = false;
};

} // namespace cli
