// The one line qx7m-upload ends with, in words.
#pragma once

#include "uploadreceipt.h"

#include <QString>

namespace cli {

// What happened, as the window's status line says it: "53 bytes uploaded in 0.4 s.", or which
// byte got no answer and after how long, or what was refused and why. A box left in the middle
// of an upload must be switched off and on again, and the text says so.
QString outcomeText(const UploadReceipt& receipt);

// The outcome with the time and the port in front, as the window's status line shows it:
// "14:02:11, port /dev/ttyUSB0: 53 bytes uploaded in 0.4 s." Bad input names no port.
QString resultLine(const UploadReceipt& receipt);

} // namespace cli
