#include "resultline.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString kSwitchOffAndOn = u"Switch the QX-7M off and on again before the next try."_s;

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
