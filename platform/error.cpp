#include "error.h"

using namespace Qt::StringLiterals;

namespace platform {

Error::Error(ErrorCode code)
    : Error(code, QString())
{
}

Error::Error(ErrorCode code, const QString& detail)
    : m_code(code)
    , m_description(detail.isEmpty() ? describe(code) : describe(code) + u": "_s + detail)
{
    // A port that is not there, or went away, is most often an adapter that is not plugged in.
    if (code == ErrorCode::SerialPortNotFound || code == ErrorCode::SerialLinkLost)
        m_description += u". Is the USB serial adapter plugged in?"_s;
}

Error Error::described(ErrorCode code, const QString& description)
{
    Error error(code);
    error.m_description = description;
    return error;
}

QString Error::numberMessage() const
{
    // A number is written with the blank that stands where a minus sign would.
    const QString digits = QString::number(number());
    return u"Error Number: "_s + (number() < 0 ? digits : u' ' + digits);
}

QString Error::descriptionMessage() const { return u"error msg: "_s + m_description; }

} // namespace platform
