// What a projector sent back, as text a user can read off a protocol sheet.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace notation {

// Printable ASCII as it is, a control character by its name in the builder's list ("<CR>",
// "<ESC>"; DEL is "<DEL>"), any other byte as "<xHH>": "OK<CR>", "PWR=1<CR><LF>", "<xFE>".
[[nodiscard]] QString readableText(QByteArrayView bytes);

} // namespace notation
