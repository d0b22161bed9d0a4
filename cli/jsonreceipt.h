// The receipt of one run as a JSON object, for scripts.
#pragma once

#include "uploadreceipt.h"

#include <QByteArray>

namespace cli {

// One compact object on one line: outcome ("programmed", "no-answer", "bad-input",
// "port-error"), port, bytes_sent, bytes_acknowledged and seconds; on failure also failed_byte,
// where, expected and received (hex pairs such as "06", or null when the box gave no answer
// or none was awaited) and the message of the result line.
QByteArray jsonReceipt(const UploadReceipt& receipt);

} // namespace cli
