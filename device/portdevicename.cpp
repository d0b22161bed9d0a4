#include "portdevicename.h"

#include "platform/numbertext.h"

#include <limits>

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace device {

PortNaming portNamingOfThisSystem()
{
#ifdef Q_OS_WIN
    return PortNaming::WindowsComNames;
#else
    return PortNaming::ListedPorts;
#endif
}

platform::Result<QString> serialDeviceForAnswer(
    const QString& answer, PortNaming naming, const QStringList& listedPorts)
{
    if (answer.contains(u'/'))
        return answer;
    const qsizetype highest
        = naming == PortNaming::WindowsComNames ? std::numeric_limits<int>::max() : listedPorts.size();
    const auto number = platform::wholeNumberWithin(
        platform::leadingNumberValue(answer), 1, static_cast<int>(std::min<qsizetype>(highest, INT_MAX)));
    if (!number) {
        const QString listed = naming == PortNaming::ListedPorts
            ? u"; this computer lists "_s + QString::number(listedPorts.size()) + u" serial ports"_s
            : QString();
        return Error(ErrorCode::SerialPortNotFound, u"\""_s + answer + u"\" names no port"_s + listed);
    }
    if (naming == PortNaming::WindowsComNames)
        return u"COM"_s + QString::number(*number);
    return listedPorts.at(*number - 1);
}

} // namespace device
