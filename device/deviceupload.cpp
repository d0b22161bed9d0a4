#include "deviceupload.h"

#include "config/stringslot.h"

#include <iterator>
#include <optional>

using namespace Qt::StringLiterals;
using platform::Result;

namespace device {

namespace {

// One byte of the handshake or the settings and the answer it must get.
struct Exchange {
    std::optional<quint8> send;
    quint8 answer;
    // The second SYN counts as acknowledged only when its second answer has come.
    bool completesByte = true;
};

// The handshake's and the settings' bytes in the order they go out.
constexpr QLatin1StringView kOpeningByteNames[] = {
    QLatin1StringView("first SYN"),
    QLatin1StringView("second SYN"),
    QLatin1StringView("projector baud rate, high byte"),
    QLatin1StringView("projector baud rate, low byte"),
    QLatin1StringView("scan priority"),
    QLatin1StringView("delay, high byte"),
    QLatin1StringView("delay, low byte"),
};
constexpr int kOpeningByteCount = int(std::size(kOpeningByteNames));

// Counts the bytes as the device acknowledges them and tells the observer, if there is one.
class Progress {
public:
    Progress(UploadObserver* observer, const config::Configuration& configuration)
        : m_observer(observer)
        , m_configuration(configuration)
        , m_byteTotal(uploadByteCount(configuration))
    {
        if (m_observer)
            m_observer->uploadStarting(m_byteTotal);
    }

    void acknowledged()
    {
        ++m_done;
        if (m_observer)
            m_observer->byteAcknowledged(m_done);
    }

    // The byte after the last acknowledged one got no proper answer.
    void stopped(const SerialLink& link, quint8 awaited, bool inCommandString) const
    {
        if (m_observer) {
            m_observer->uploadStopped({ m_done + 1, m_byteTotal, uploadByteName(m_configuration, m_done + 1), awaited,
                link.lastWait().unexpected, link.lastWait().waitedMs, inCommandString });
        }
    }

private:
    UploadObserver* m_observer;
    const config::Configuration& m_configuration;
    int m_byteTotal;
    int m_done = 0;
};

QString stringByteName(config::SlotId id, int index, qsizetype length)
{
    const QString slot = config::displayName(id) + u" string, "_s;
    if (index == 0)
        return slot + u"count byte"_s;
    return slot + u"character %1 of %2"_s.arg(QString::number(index), QString::number(length));
}

} // namespace

int uploadByteCount(const config::Configuration& configuration)
{
    int total = kOpeningByteCount;
    for (const config::StringSlot& slot : configuration.slots)
        total += 1 + int(slot.commandBytes.size());
    return total;
}

UploadStop byteUnderWay(const config::Configuration& configuration, int acknowledged)
{
    UploadStop stop;
    stop.byteNumber = acknowledged + 1;
    stop.byteTotal = uploadByteCount(configuration);
    stop.what = uploadByteName(configuration, stop.byteNumber);
    return stop;
}

QString uploadByteName(const config::Configuration& configuration, int byteNumber)
{
    if (byteNumber < 1)
        return {};
    if (byteNumber <= kOpeningByteCount)
        return kOpeningByteNames[byteNumber - 1];
    int countByte = kOpeningByteCount + 1;
    for (const config::SlotId id : config::kRecordOrder) {
        const qsizetype length = configuration.slot(id).commandBytes.size();
        if (byteNumber - countByte <= length)
            return stringByteName(id, byteNumber - countByte, length);
        countByte += 1 + int(length);
    }
    return {};
}

Result<UploadOutcome> uploadToDevice(
    SerialLink& link, const config::Configuration& configuration, DelayBytes delay, UploadObserver* observer)
{
    // A string without a count byte is refused before the first SYN: found in its turn, it would
    // leave the device with new settings and only some of its strings.
    for (const config::SlotId id : config::kRecordOrder) {
        if (configuration.slot(id).commandBytes.size() > config::kLargestCountedString)
            return platform::Error(platform::ErrorCode::CommandStringTooLong,
                config::displayName(id) + u": "_s + QString::number(configuration.slot(id).commandBytes.size())
                    + u" bytes"_s);
    }
    Progress progress(observer, configuration);
    // The device sends 0xFF and 0x07 back to back, so the wait for 0x07 follows with no send in
    // between: a send would first drop what is waiting, and by then 0x07 usually is.
    const Exchange opening[] = {
        { kSyn, kAck },
        { kSyn, kReadyFirst, false },
        { std::nullopt, kReadySecond },
        { configuration.baudRateHigh, kAck },
        { configuration.baudRateLow, kAck },
        { static_cast<quint8>(configuration.scanPriority), kAck },
        { delay.high, kAck },
        { delay.low, kAck },
    };
    for (const Exchange& step : opening) {
        if (step.send) {
            if (auto error = link.sendByte(*step.send))
                return *error;
        }
        const Result<TransferStatus> status = link.waitForByte(step.answer);
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received) {
            progress.stopped(link, step.answer, false);
            return UploadOutcome::HandshakeOrSettingsFailed;
        }
        if (step.completesByte)
            progress.acknowledged();
    }
    for (const config::SlotId id : config::kRecordOrder) {
        const Result<TransferStatus> status
            = link.sendCountedString(configuration.slot(id).commandBytes, [&] { progress.acknowledged(); });
        if (!status)
            return status.error();
        if (status.value() != TransferStatus::Received) {
            progress.stopped(link, kAck, true);
            return UploadOutcome::StringTransferFailed;
        }
    }
    return UploadOutcome::Completed;
}

} // namespace device
