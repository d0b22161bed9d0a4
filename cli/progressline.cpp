#include "progressline.h"

#include <QString>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

constexpr int kBarWidth = 30;

void drawOverLine(const QString& text)
{
    std::fputs(qPrintable(u'\r' + text), stderr);
    std::fflush(stderr);
}

} // namespace

ProgressLine::ProgressLine(bool shown)
    : m_shown(shown)
{
}

void ProgressLine::show(int done, int total)
{
    if (!m_shown || total <= 0)
        return;
    const int filled = done * kBarWidth / total;
    drawOverLine(u"["_s + QString(filled, u'#') + QString(kBarWidth - filled, u'.')
        + u"] %1 of %2 bytes"_s.arg(done).arg(total));
    m_drawn = true;
}

void ProgressLine::finish()
{
    if (!m_drawn)
        return;
    // Spaces rather than a terminal control sequence: every console understands them.
    drawOverLine(QString(kBarWidth + 40, u' ') + u'\r');
    m_drawn = false;
}

} // namespace cli
