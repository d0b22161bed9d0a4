// The upload's progress on standard error, for a person at a terminal.
#pragma once

#include <QtGlobal>

namespace cli {

// One line redrawn in place as the box acknowledges bytes: "[#######.......] 21 of 53 bytes".
// Draws nothing when switched off, so that a script's log holds only the result.
class ProgressLine {
public:
    explicit ProgressLine(bool shown);

    // total is the upload's byte count, never 0.
    void show(int done, int total);
    // Blanks the line once the upload has ended, so that the result line takes its place.
    void finish();

private:
    bool m_shown;
    qsizetype m_drawnLength = 0;
};

} // namespace cli
