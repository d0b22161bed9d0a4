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
    QLatin1StringView what;
    // The second SYN counts as acknowledged only when its second answer has come.
    bool completesByte = true;
};

// Counts the bytes as the device acknowledges them and tells the observer, if there is one.
class Progress {
public:
    Progress(UploadObserver* observer, int byteTotal)
        : m_observer(observer)
        , m_byteTotal(byteTotal)
    {
        if (m_observer)
            m_observer->uploadStarting(byteTotal);
    }

    void acknowledged()
    {
        ++m_done;
        if (m_observer)
            m_observer->byteAcknowledged(m_done);
    }

    // The byte after the last acknowledged one got no proper answer.
    void stopped(const SerialLink& link, const QString& what, quint8 awaited, bool inCommandString) const
    {
        if (m_observer) {
            m_observer->uploadStopped({ m_done + 1, m_byteTotal, what, awaited, link.lastWait().unexpected,
                link.lastWait().waitedMs, inCommandString });
        }
    }

private:
    UploadObserver* m_observer;
    int m_byteTotal;
    int m_done = 0;
};

QString stringByteName(config::SlotId id, int index, qsizetype length)
{
    const QString slot = config::displayName(id) + u" string, "_s;
    if (index == 0)
        return slot + u"count byte"_s;
    return slot + u"character %1 of %2"_s.arg(index).arg(length);
}

} // namespace

int uploadByteCount(const config::Configuration& configuration)
{
    int total = 7;
    for (const config::StringSlot& slot : configuration.slots)
        total += 1 + int(slot.command_bytes.size());
    return total;
}

Result<UploadOutcome> uploadToDevice(
    SerialLink& link, const config::Configuration& configuration, DelayBytes delay, UploadObserver* observer)
{
    // A string without a count byte is refused before the first SYN: found in its turn, it would
    // leave the device with new settings and only some of its strings.
    for (const config::SlotId id : config::kRecordOrder) {
        if (configuration.slot(id).command_bytes.size() > kLargestCount)
            return platform::Error(platform::ErrorCode::CommandStringTooLong,
                config::displayName(id) + u": "_s + QString::number(configuration.slot(id).command_bytes.size())
                    + u" bytes"_s);
    }
    Progress progress(observer, uploadByteCount(configuration));
    // The device sends 0xFF and 0x07 back to back, so the wait for 0x07 follows with no send in
    // between: a send would first drop what is waiting, and by then 0x07 usually is.
    const Exchange opening[] = {
        { kSyn, kAck, QLatin1StringView("first SYN") },
        { kSyn, kReadyFirst, QLatin1StringView("second SYN"), false },
        { std::nullopt, kReadySecond, QLatin1StringView("second SYN") },
        { configuration.baud_rate_high, kAck, QLatin1StringView("projector baud rate, high byte") },
        { configuration.baud_rate_low, kAck, QLatin1StringView("projector baud rate, low byte") },
        { static_cast<quint8>(configuration.scan_priority), kAck, QLatin1StringView("scan priority") },
        { delay.high, kAck, QLatin1StringView("delay, high byte") },
        { delay.low, kAck, QLatin1StringView("delay, low byte") },
    };
    for (const Exchange& step : opening) {
        if (step.send) {
            if (auto error = link.sendByte(*step.send))
                return *error;
        }
        const Result<TransferStatus> status = link.WaitForByte(step.answer);
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received) {
            progress.stopped(link, step.what, step.answer, false);
            return UploadOutcome::HandshakeOrSettingsFailed;
        }
        if (step.completesByte)
            progress.acknowledged();
    }
    for (const config::SlotId id : config::kRecordOrder) {
        const QByteArray& bytes = configuration.slot(id).command_bytes;
        int sent = 0;
        const Result<TransferStatus> status = link.SendCountedString(bytes, [&] {
            ++sent;
            progress.acknowledged();
        });
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received) {
            progress.stopped(link, stringByteName(id, sent, bytes.size()), kAck, true);
            return UploadOutcome::StringTransferFailed;
        }
    }
    return UploadOutcome::Completed;
}

} // namespace device
