#include "resultline.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString kSwitchOffAndOn = u"Switch the QX-7M off and on again before the next try."_s;

// Where the stop left the box, as a failed port's receipt says it: before byte 3 the box has taken
// nothing of the programming in.
QString stoppedText(const UploadReceipt& receipt)
{
    constexpr int kHandshakeBytes = 2;
    const device::UploadStop stop = receipt.stop.value_or(device::UploadStop {});
    const QString stopped = u"stopped by %1 at byte %2 of %3 (%4) after %5 s"_s.arg(
        platform::stopRequestName(receipt.stoppedBy), QString::number(stop.byteNumber), QString::number(stop.byteTotal),
        stop.what, QString::number(double(receipt.elapsedMs) / 1000.0, 'f', 1));
    if (receipt.bytesAcknowledged <= kHandshakeBytes)
        return stopped + u"; not uploaded."_s;
    return stopped
        + u". The QX-7M acknowledged %1 of %2 bytes and may hold part of this programming: switch it off and on, "
          "then upload again."_s.arg(QString::number(receipt.bytesAcknowledged), QString::number(stop.byteTotal));
}

} // namespace

QString outcomeText(const UploadReceipt& receipt)
{
    switch (receipt.outcome) {
    case Outcome::Programmed:
        return device::describeCompletedUpload(receipt.bytesAcknowledged, receipt.elapsedMs) + u'.';
    case Outcome::NoAnswer:
        return u"upload failed. "_s + device::describeUploadStop(receipt.stop.value_or(device::UploadStop {})) + u". "_s
            + kSwitchOffAndOn;
    case Outcome::BadInput:
        return receipt.problem + u"; nothing was sent."_s;
    case Outcome::PortError:
        return device::describeFailedPortInUpload(
            receipt.stop, receipt.bytesAcknowledged, receipt.elapsedMs, receipt.problem);
    case Outcome::Stopped:
        return stoppedText(receipt);
    }
    return {};
}

QString resultLine(const UploadReceipt& receipt)
{
    if (receipt.outcome == Outcome::BadInput)
        return u"qx7m-upload: "_s + outcomeText(receipt);
    return device::receiptHead(receipt.port) + outcomeText(receipt);
}

} // namespace cli
