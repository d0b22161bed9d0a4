#include "simulatedprojector.h"

#include <cctype>
#include <utility>

namespace tools {

namespace {

constexpr char kCarriageReturn = '\r';

} // namespace

SimulatedProjector::SimulatedProjector(QByteArray reply)
    : m_reply(std::move(reply))
{
}

QList<ProjectorLine> SimulatedProjector::receive(QByteArrayView bytes, std::chrono::nanoseconds seen)
{
    QList<ProjectorLine> lines;
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf(kCarriageReturn);
        const QByteArrayView piece = end < 0 ? bytes : bytes.first(end + 1);
        m_pending.bytes += piece;
        m_pending.pieces.append({ seen, piece.toByteArray() });
        bytes = bytes.sliced(piece.size());
        if (end >= 0)
            lines.append(std::exchange(m_pending, {}));
    }
    return lines;
}

std::optional<QByteArray> replyFromText(const QString& text)
{
    const QByteArray latin = text.toLatin1();
    QByteArray reply;
    for (qsizetype index = 0; index < latin.size(); ++index) {
        if (latin.at(index) != '\\') {
            reply += latin.at(index);
            continue;
        }
        const char kind = index + 1 < latin.size() ? latin.at(++index) : '\0';
        if (kind == 'r' || kind == 'n' || kind == '\\') {
            reply += kind == 'r' ? '\r' : kind == 'n' ? '\n' : '\\';
            continue;
        }
        const QByteArray digits = latin.mid(index + 1, 2);
        if (kind != 'x' || digits.size() != 2 || !std::isxdigit(uchar(digits[0])) || !std::isxdigit(uchar(digits[1])))
            return std::nullopt;
        reply += QByteArray::fromHex(digits);
        index += 2;
    }
    return reply;
}

} // namespace tools
