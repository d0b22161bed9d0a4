#include "deviceupload.h"

#include <optional>

using namespace Qt::StringLiterals;
using platform::Result;

namespace device {

namespace {

// One byte of the handshake or the settings and the answer it must get.
struct Exchange {
    std::optional<quint8> send;
    quint8 answer;
};

} // namespace

Result<UploadOutcome> uploadToDevice(SerialLink& link, const config::Configuration& configuration, DelayBytes delay)
{
    // A string without a count byte is refused before the first SYN: found in its turn, it would
    // leave the device with new settings and only some of its strings.
    for (const config::SlotId id : config::kRecordOrder) {
        if (configuration.slot(id).command_bytes.size() > kLargestCount)
            return platform::Error(platform::ErrorCode::CommandStringTooLong,
                config::displayName(id) + u": "_s + QString::number(configuration.slot(id).command_bytes.size())
                    + u" bytes"_s);
    }
    // The device sends 0xFF and 0x07 back to back, so the wait for 0x07 follows with no send in
    // between: a send would first drop what is waiting, and by then 0x07 usually is.
    const Exchange opening[] = {
        { kSyn, kAck },
        { kSyn, kReadyFirst },
        { std::nullopt, kReadySecond },
        { configuration.baud_rate_high, kAck },
        { configuration.baud_rate_low, kAck },
        { static_cast<quint8>(configuration.scan_priority), kAck },
        { delay.high, kAck },
        { delay.low, kAck },
    };
    for (const Exchange& step : opening) {
        if (step.send) {
            if (auto error = link.sendByte(*step.send))
                return *error;
        }
        const Result<TransferStatus> status = link.WaitForByte(step.answer);
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received)
            return UploadOutcome::HandshakeOrSettingsFailed;
    }
    for (const config::SlotId id : config::kRecordOrder) {
        const Result<TransferStatus> status = link.SendCountedString(configuration.slot(id).command_bytes);
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received)
            return UploadOutcome::StringTransferFailed;
    }
    return UploadOutcome::Completed;
}

} // namespace device
