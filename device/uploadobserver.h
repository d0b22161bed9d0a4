// What an upload tells whoever shows it: how far it got, and where it stopped.
#pragma once

#include <QString>

#include <optional>

namespace device {

// The byte the device did not answer as awaited.
struct UploadStop {
    // Its place among the bytes the upload sends, from 1, and how many those are.
    int byteNumber = 0;
    int byteTotal = 0;
    // What the byte was, in the installer's words: "scan priority", "Discrete ON string, character 3 of 12".
    QString what;
    quint8 awaited = 0;
    // The last byte that came instead, if any did.
    std::optional<quint8> cameInstead;
    qint64 waitedMs = 0;
    // A command string's byte, not one of the handshake or the settings.
    bool inCommandString = false;
};

// Told by the upload as it goes. Never shows a box: the window and the command line each say it
// their own way.
class UploadObserver {
public:
    virtual ~UploadObserver() = default;
    virtual void uploadStarting(int byteTotal) = 0;
    // The device answered bytes 1 to byteNumber as awaited.
    virtual void byteAcknowledged(int byteNumber) = 0;
    virtual void uploadStopped(const UploadStop& stop) = 0;
};

// The upload's stop in one line, for a status line or standard error:
// "No answer to byte 5 of 224 (scan priority) after 5.0 s".
QString describeUploadStop(const UploadStop& stop);

// What a port that failed during an upload left in the box, after "Error 8010: ..." (problem): as
// long as no byte after the handshake was acknowledged, nothing of the programming reached it;
// after that, part of it may have: "not uploaded. PROBLEM." or "upload failed at byte 21 of 53
// (Discrete OFF string) after 1.2 s. PROBLEM. The QX-7M acknowledged 20 of 53 bytes ...".
QString describeFailedPortInUpload(
    const std::optional<UploadStop>& stop, int acknowledged, qint64 elapsedMs, const QString& problem);

// "224 bytes uploaded in 2.3 s".
QString describeCompletedUpload(int byteTotal, qint64 elapsedMs);

// The start of every upload's receipt, the window's and the command line's alike: the time of
// day and the port, "14:02:11, port /dev/ttyUSB0: ".
QString receiptHead(const QString& portName);

} // namespace device
