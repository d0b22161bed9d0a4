// A projector's side of its serial link, for trying a string the QX-7M would send to it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace tools {

// Bytes that arrived together, and when.
struct ArrivedPiece {
    std::chrono::nanoseconds at { 0 };
    QByteArray bytes;
};

// One line a projector takes as a command: every byte up to and including the carriage return.
struct ProjectorLine {
    QByteArray bytes;
    // How the line came in, so that a wait inside it shows as the gap between two pieces.
    QList<ArrivedPiece> pieces;
    // How the PC had set up its end of the line when the carriage return came.
    QString lineSettings;
};

// Gathers what comes in into lines and says what to answer to each. It never touches the line or
// the clock; the caller says when the bytes came.
class SimulatedProjector {
public:
    explicit SimulatedProjector(QByteArray reply);

    // The lines these bytes complete, in order; bytes after the last carriage return wait for theirs.
    QList<ProjectorLine> receive(QByteArrayView bytes, std::chrono::nanoseconds seen);
    const QByteArray& reply() const { return m_reply; }

private:
    QByteArray m_reply;
    ProjectorLine m_pending;
};

// The text of --reply with its escapes read: \r, \n, \\ and \xHH. None when an escape is broken.
std::optional<QByteArray> replyFromText(const QString& text);

} // namespace tools
