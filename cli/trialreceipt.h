// What one qx7m-upload --try did, for its result line or its JSON receipt.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cli {

// How a trial ended. The values are the program's exit codes, which scripts rely on.
enum class TrialOutcome {
    // Every byte went out, whether or not the projector answered.
    Sent = 0,
    // The arguments, the file or the slot's string: nothing was sent.
    BadInput = 2,
    // The port is missing, busy or refused, or went away during the trial.
    PortError = 3,
    // Ctrl+C, as a shell reports a program that SIGINT ended.
    Stopped = 130,
};

struct TrialReceipt {
    TrialOutcome outcome = TrialOutcome::BadInput;
    // The device the port answer named, or the answer itself when it named none.
    QString port;
    qint32 baudRate = 0;
    QByteArray sent;
    // Each wait of the string as it was run, in seconds: 0 for a wait made zero.
    QList<int> waits;
    // The reply's first bytes, as the trial keeps them, and how many came in all.
    QByteArray reply;
    qint64 replyBytes = 0;
    qint64 listenMs = 0;
    // What was wrong with the input, or the port's error with its number, in words.
    QString problem;
    QStringList warnings;
};

// A refusal before anything was tried.
TrialReceipt trialRefusal(const QString& port, const QString& problem);

// What happened: "sent 5 bytes at 19200 baud; the projector answered OK<CR>", or that it did not
// answer within the listening time, or what was refused or failed and how much had gone out. A
// reply longer than the trial keeps ends in "... and 14464 more bytes".
QString trialOutcomeText(const TrialReceipt& receipt);

// The outcome with the time and the port in front, as the upload's result line; bad input names
// no port.
QString trialResultLine(const TrialReceipt& receipt);

// One compact object on one line: outcome ("sent", "bad-input", "port-error", "stopped"), port,
// message, baud_rate, sent_hex, waits, reply_hex and reply_text (the kept bytes), reply_bytes (all
// of them), reply_truncated, warnings. Hex is upper-case pairs with nothing between them, as the
// emulator reports bytes.
QByteArray trialJsonReceipt(const TrialReceipt& receipt);

} // namespace cli
