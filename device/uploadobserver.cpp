#include "uploadobserver.h"

#include "seriallink.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace device {

namespace {

QString hexByte(quint8 byte) { return u"0x"_s + QString::number(byte, 16).rightJustified(2, u'0').toUpper(); }

QString seconds(qint64 ms) { return QString::number(double(ms) / 1000.0, 'f', 1) + u" s"_s; }

// A description as a sentence of the receipt: one that asks the user something keeps its question mark.
QString sentence(const QString& text) { return text.endsWith(u'?') ? text : text + u'.'; }

} // namespace

QString describeUploadStop(const UploadStop& stop)
{
    const QString place = u"byte %1 of %2"_s.arg(QString::number(stop.byteNumber), QString::number(stop.byteTotal));
    // The device sends its two answers to the second SYN together: the first came if this is awaited.
    if (stop.awaited == kReadySecond && !stop.cameInstead) {
        return u"Second SYN: %1 came, %2 did not (%3, waited %4)"_s.arg(
            hexByte(kReadyFirst), hexByte(kReadySecond), place, seconds(stop.waitedMs));
    }
    if (!stop.cameInstead)
        return u"No answer to %1 (%2) after %3"_s.arg(place, stop.what, seconds(stop.waitedMs));
    return u"Wrong answer to %1 (%2): %3 came instead of %4 (waited %5)"_s.arg(
        place, stop.what, hexByte(*stop.cameInstead), hexByte(stop.awaited), seconds(stop.waitedMs));
}

QString describeFailedPortInUpload(
    const std::optional<UploadStop>& stop, int acknowledged, qint64 elapsedMs, const QString& problem)
{
    // Bytes 1 and 2 are the two SYNs: the box takes nothing into its memory before byte 3.
    constexpr int kHandshakeBytes = 2;
    if (!stop || acknowledged <= kHandshakeBytes)
        return u"not uploaded. "_s + sentence(problem);
    return u"upload failed at byte %1 of %2 (%3) after %4. %5 The QX-7M acknowledged %6 of %2 bytes and may hold part "
           "of this programming: switch it off and on, then upload again."_s.arg(QString::number(stop->byteNumber),
               QString::number(stop->byteTotal), stop->what, seconds(elapsedMs), sentence(problem),
               QString::number(acknowledged));
}

QString describeCompletedUpload(int byteTotal, qint64 elapsedMs)
{
    return QString::number(byteTotal) + u" bytes uploaded in "_s + seconds(elapsedMs);
}

QString receiptHead(const QString& portName)
{
    return QTime::currentTime().toString(u"HH:mm:ss"_s) + u", port "_s + portName + u": "_s;
}

} // namespace device
