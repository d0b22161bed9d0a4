#include "errorcode.h"

using namespace Qt::StringLiterals;

namespace platform {

QString describe(ErrorCode code)
{
    switch (code) {
    case ErrorCode::CommandStringTooLong:
        return u"A command string is longer than the 255 bytes the QX-7M can take"_s;
    case ErrorCode::Overflow:
        return u"The number is too large for the QX-7M"_s;
    case ErrorCode::CountNotANumber:
        return u"A length line of the configuration file holds no number"_s;
    case ErrorCode::FileNotFound:
        return u"File not found"_s;
    case ErrorCode::FileCannotBeRead:
        return u"The file cannot be read"_s;
    case ErrorCode::FileEndsEarly:
        return u"The configuration file ends before its last field"_s;
    case ErrorCode::CountDoesNotFit:
        return u"A length in the configuration file is out of range"_s;
    case ErrorCode::PermissionDenied:
        return u"Permission denied"_s;
    case ErrorCode::FileCannotBeCreated:
        return u"The file cannot be created or written"_s;
    case ErrorCode::FileSizeNotValid:
        return u"This file size is not a valid .qxc file size"_s;
    case ErrorCode::SerialPortNotFound:
        return u"There is no such serial port on this computer"_s;
    case ErrorCode::PortAlreadyOpen:
        return u"The port is already open"_s;
    case ErrorCode::SerialLinkLost:
        return u"The connection to the serial port was lost"_s;
    case ErrorCode::PortNotOpen:
        return u"The port is not open"_s;
    case ErrorCode::NotASerialPort:
        return u"This is not a serial port"_s;
    case ErrorCode::PortTookNoBytes:
        return u"The serial port did not take the bytes"_s;
    }
    return u"Unknown error"_s;
}

} // namespace platform
