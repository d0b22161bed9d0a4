#include "readabletext.h"

#include "notation.h"

using namespace Qt::StringLiterals;

namespace notation {

QString readableText(QByteArrayView bytes)
{
    QString text;
    for (const char byte : bytes) {
        const auto code = quint8(byte);
        if (code >= 0x20 && code < 0x7F)
            text += QLatin1Char(byte);
        else if (code < kControlCharacterItems.size())
            text += u'<' + QString(kControlCharacterItems[code]).section(u' ', 0, 0) + u'>';
        else if (code == 0x7F)
            text += u"<DEL>"_s;
        else
            text += u"<x"_s + QString::number(code, 16).toUpper().rightJustified(2, u'0') + u'>';
    }
    return text;
}

} // namespace notation
