#include "progressline.h"

#include "platform/standardstreams.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

constexpr int kBarWidth = 30;

// Standard error is not buffered: the line shows as soon as it is written. A terminal that went
// away costs the picture, never the upload.
void drawOverLine(const QString& text)
{
    static_cast<void>(platform::writeToStandardError((u'\r' + text).toLocal8Bit()));
}

} // namespace

ProgressLine::ProgressLine(bool shown)
    : m_shown(shown)
{
}

void ProgressLine::show(int done, int total)
{
    if (!m_shown)
        return;
    const int filled = done * kBarWidth / total;
    const QString bar = u"["_s + QString(filled, u'#') + QString(kBarWidth - filled, u'.')
        + u"] %1 of %2 bytes"_s.arg(QString::number(done), QString::number(total));
    drawOverLine(bar);
    m_drawnLength = bar.size();
}

void ProgressLine::finish()
{
    // Spaces rather than a terminal control sequence: every console understands them.
    if (m_drawnLength > 0)
        drawOverLine(QString(m_drawnLength, u' ') + u'\r');
}

} // namespace cli
