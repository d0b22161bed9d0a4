// The byte exchange that programs the QX-7M, from the opening handshake to the last string.
#pragma once

#include "delaybytes.h"
#include "seriallink.h"
#include "uploadobserver.h"

#include "config/configuration.h"
#include "platform/result.h"

namespace device {

enum class UploadOutcome {
    Completed,
    // No answer, or not the expected one, during the handshake or the five settings bytes.
    HandshakeOrSettingsFailed,
    // A byte of one of the seven command strings was not acknowledged.
    StringTransferFailed,
};

// Runs on an open link: SYN and its ACK; SYN and the 0xFF 0x07 pair; the projector baud rate's
// two bytes, the scan priority and the delay's two bytes, each acknowledged; then the seven
// command strings in record order as counted strings. Stops at the first missing answer. A string
// of more than 255 bytes is an error before anything is sent. The configuration is only read; the
// delay bytes were computed before the port was opened. Leaves the port as it was: closing it is
// for the LinkSession of whoever opened it. The observer, when given, hears of every acknowledged
// byte and of the byte that got no proper answer.
platform::Result<UploadOutcome> uploadToDevice(
    SerialLink& link, const config::Configuration& configuration, DelayBytes delay, UploadObserver* observer = nullptr);

// How many bytes the upload sends: 7 for the handshake and the settings, then a count byte and
// the bytes of each string (224 for seven strings of 30).
int uploadByteCount(const config::Configuration& configuration);

// What byte byteNumber (from 1) of the upload is, in the installer's words: "first SYN", "scan
// priority", "Discrete ON string, count byte", "Discrete ON string, character 3 of 12". Empty for
// a number outside the upload.
QString uploadByteName(const config::Configuration& configuration, int byteNumber);

// The byte that was under way when the port failed: the one after the last acknowledged.
UploadStop byteUnderWay(const config::Configuration& configuration, int acknowledged);

} // namespace device
