#include "readabletext.h"

#include "notation.h"

#include <array>

using namespace Qt::StringLiterals;

namespace notation {

namespace {

// What each byte reads as, made once: a projector's reply of 64 KiB is read on the command line
// and in the trial window, and making each byte's text as it comes took tens of milliseconds.
std::array<QString, 256> byteTexts()
{
    std::array<QString, 256> texts;
    for (int code = 0; code < 256; ++code) {
        if (code >= 0x20 && code < 0x7F)
            texts[code] = QChar(code);
        else if (code < int(kControlCharacterItems.size()))
            texts[code] = u'<' + QString(kControlCharacterItems[code]).section(u' ', 0, 0) + u'>';
        else if (code == 0x7F)
            texts[code] = u"<DEL>"_s;
        else
            texts[code] = u"<x"_s + QString::number(code, 16).toUpper().rightJustified(2, u'0') + u'>';
    }
    return texts;
}

} // namespace

QString readableText(QByteArrayView bytes)
{
    static const std::array<QString, 256> texts = byteTexts();
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text += texts[quint8(byte)];
    return text;
}

} // namespace notation
