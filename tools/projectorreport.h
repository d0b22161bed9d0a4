// What the projector emulator prints about each line it received.
#pragma once

#include "simulatedprojector.h"

#include <QByteArray>

#include <chrono>

namespace tools {

// Times are given from `start`, the emulator's start, in milliseconds.
// A line for a person: when it came, its bytes, the PC's line settings and the answer.
QByteArray humanLineReport(const ProjectorLine& line, const QByteArray& answer, std::chrono::nanoseconds start);

// One compact JSON object on one line: received (hex), pieces ([{ms, hex}]), line, answered (hex).
QByteArray jsonLineReport(const ProjectorLine& line, const QByteArray& answer, std::chrono::nanoseconds start);

} // namespace tools
