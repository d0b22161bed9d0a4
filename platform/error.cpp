#include "error.h"

using namespace Qt::StringLiterals;

namespace platform {

Error::Error(ErrorCode code)
    : m_code(code)
    , m_description(describe(code))
{
}

Error::Error(ErrorCode code, const QString& detail)
    : m_code(code)
    , m_description(detail.isEmpty() ? describe(code) : describe(code) + u": "_s + detail)
{
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
