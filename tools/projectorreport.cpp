#include "projectorreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

using namespace Qt::StringLiterals;

namespace tools {

namespace {

double millisecondsFrom(std::chrono::nanoseconds start, std::chrono::nanoseconds at)
{
    return std::chrono::duration<double, std::milli>(at - start).count();
}

QString spacedHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

} // namespace

QByteArray humanLineReport(const ProjectorLine& line, const QByteArray& answer, std::chrono::nanoseconds start)
{
    QString text = u"Line received: %1 bytes: %2\n"_s.arg(QString::number(line.bytes.size()), spacedHex(line.bytes));
    for (const ArrivedPiece& piece : line.pieces)
        text += u"  at %1 s: %2\n"_s.arg(
            QString::number(millisecondsFrom(start, piece.at) / 1000.0, 'f', 3), spacedHex(piece.bytes));
    text += u"  PC's line settings: %1\n"_s.arg(line.lineSettings);
    text += u"  Answered: %1\n"_s.arg(answer.isEmpty() ? u"nothing"_s : spacedHex(answer));
    return text.toUtf8();
}

QByteArray jsonLineReport(const ProjectorLine& line, const QByteArray& answer, std::chrono::nanoseconds start)
{
    QJsonArray pieces;
    for (const ArrivedPiece& piece : line.pieces) {
        pieces.append(QJsonObject { { u"ms"_s, qRound64(millisecondsFrom(start, piece.at)) },
            { u"hex"_s, QString::fromLatin1(piece.bytes.toHex().toUpper()) } });
    }
    const QJsonObject report {
        { u"received"_s, QString::fromLatin1(line.bytes.toHex().toUpper()) },
        { u"pieces"_s, pieces },
        { u"line"_s, line.lineSettings },
        { u"answered"_s, QString::fromLatin1(answer.toHex().toUpper()) },
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace tools
