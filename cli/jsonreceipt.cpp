#include "jsonreceipt.h"

#include "resultline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Programmed:
        return u"programmed"_s;
    case Outcome::NoAnswer:
        return u"no-answer"_s;
    case Outcome::BadInput:
        return u"bad-input"_s;
    case Outcome::PortError:
        return u"port-error"_s;
    case Outcome::Stopped:
        return u"stopped"_s;
    }
    return {};
}

QJsonValue hexOrNull(std::optional<quint8> byte)
{
    if (!byte)
        return QJsonValue::Null;
    return QString::fromLatin1(QByteArray(1, char(*byte)).toHex().toUpper());
}

} // namespace

QByteArray jsonReceipt(const UploadReceipt& receipt)
{
    QJsonObject object {
        { u"outcome"_s, outcomeName(receipt.outcome) },
        { u"port"_s, receipt.port.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(receipt.port) },
        { u"bytes_sent"_s, receipt.bytesSent },
        { u"bytes_acknowledged"_s, receipt.bytesAcknowledged },
        { u"seconds"_s, double(receipt.elapsedMs) / 1000.0 },
        { u"warnings"_s, QJsonArray::fromStringList(receipt.warnings) },
    };
    if (receipt.outcome != Outcome::Programmed) {
        const std::optional<device::UploadStop>& stop = receipt.stop;
        // Only a box that did not answer as awaited had an answer awaited in vain; a port that
        // went away or bad input had none.
        const bool awaited = stop && receipt.outcome == Outcome::NoAnswer;
        object.insert(u"failed_byte"_s, stop ? QJsonValue(stop->byteNumber) : QJsonValue(QJsonValue::Null));
        object.insert(u"where"_s, stop ? QJsonValue(stop->what) : QJsonValue(QJsonValue::Null));
        object.insert(u"expected"_s, hexOrNull(awaited ? std::optional<quint8>(stop->awaited) : std::nullopt));
        object.insert(u"received"_s, hexOrNull(awaited ? stop->cameInstead : std::nullopt));
        object.insert(u"message"_s, outcomeText(receipt));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace cli
