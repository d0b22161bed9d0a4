#include "trialreceipt.h"

#include "device/projectortrial.h"
#include "device/uploadobserver.h"
#include "notation/readabletext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

QString outcomeName(TrialOutcome outcome)
{
    switch (outcome) {
    case TrialOutcome::Sent:
        return u"sent"_s;
    case TrialOutcome::BadInput:
        return u"bad-input"_s;
    case TrialOutcome::PortError:
        return u"port-error"_s;
    case TrialOutcome::Stopped:
        return u"stopped"_s;
    }
    return {};
}

QString byteCount(qsizetype count) { return count == 1 ? u"1 byte"_s : u"%1 bytes"_s.arg(count); }

QString answerText(const TrialReceipt& receipt)
{
    if (receipt.reply.isEmpty())
        return u"the projector did not answer"_s;
    QString text = u"the projector answered "_s + notation::readableText(receipt.reply);
    if (receipt.replyBytes > receipt.reply.size())
        text += u' ' + device::notKeptText(receipt.replyBytes - receipt.reply.size());
    return text;
}

QString plainHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

} // namespace

TrialReceipt trialRefusal(const QString& port, const QString& problem)
{
    TrialReceipt receipt;
    receipt.port = port;
    receipt.problem = problem;
    return receipt;
}

QString trialOutcomeText(const TrialReceipt& receipt)
{
    const QString sent = u"sent %1 at %2 baud"_s.arg(byteCount(receipt.sent.size()), QString::number(receipt.baudRate));
    switch (receipt.outcome) {
    case TrialOutcome::Sent:
        if (receipt.reply.isEmpty())
            return sent + u"; the projector did not answer within %1 s."_s.arg(double(receipt.listenMs) / 1000.0);
        return sent + u"; "_s + answerText(receipt) + u'.';
    case TrialOutcome::BadInput:
        return receipt.problem + u"; nothing was sent."_s;
    case TrialOutcome::PortError:
        if (receipt.sent.isEmpty() && receipt.reply.isEmpty())
            return u"not sent. "_s + receipt.problem;
        return u"trial failed after it "_s + sent + u"; "_s + answerText(receipt) + u". "_s + receipt.problem;
    case TrialOutcome::Stopped:
        return u"stopped by Ctrl+C after it "_s + sent + u"; "_s + answerText(receipt) + u'.';
    }
    return {};
}

QString trialResultLine(const TrialReceipt& receipt)
{
    if (receipt.outcome == TrialOutcome::BadInput)
        return u"qx7m-upload: "_s + trialOutcomeText(receipt);
    return device::receiptHead(receipt.port) + trialOutcomeText(receipt);
}

QByteArray trialJsonReceipt(const TrialReceipt& receipt)
{
    QJsonArray waits;
    for (const int seconds : receipt.waits)
        waits.append(seconds);
    const QJsonObject object {
        { u"outcome"_s, outcomeName(receipt.outcome) },
        { u"port"_s, receipt.port.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(receipt.port) },
        { u"message"_s, trialOutcomeText(receipt) },
        { u"baud_rate"_s, receipt.baudRate > 0 ? QJsonValue(receipt.baudRate) : QJsonValue(QJsonValue::Null) },
        { u"sent_hex"_s, plainHex(receipt.sent) },
        { u"waits"_s, waits },
        { u"reply_hex"_s, plainHex(receipt.reply) },
        { u"reply_text"_s, notation::readableText(receipt.reply) },
        { u"reply_bytes"_s, receipt.replyBytes },
        { u"reply_truncated"_s, receipt.replyBytes > receipt.reply.size() },
        { u"warnings"_s, QJsonArray::fromStringList(receipt.warnings) },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace cli
