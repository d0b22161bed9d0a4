#include "portdevicename.h"

#include "platform/numbertext.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;
using platform::Error;
using platform::ErrorCode;

namespace device {

namespace {

// A location split before its trailing digits: "/dev/ttyS10" is "/dev/ttyS" and "10".
struct NumberedName {
    explicit NumberedName(QStringView location)
    {
        qsizetype digitsStart = location.size();
        while (digitsStart > 0 && location[digitsStart - 1] >= u'0' && location[digitsStart - 1] <= u'9')
            --digitsStart;
        letters = location.first(digitsStart);
        number = location.sliced(digitsStart);
        // Leading zeros do not make a number larger.
        while (number.size() > 1 && number.front() == u'0')
            number = number.sliced(1);
    }

    QStringView letters;
    QStringView number;
};

bool comesBefore(const QString& left, const QString& right)
{
    const NumberedName a(left);
    const NumberedName b(right);
    if (const int byLetters = a.letters.compare(b.letters); byLetters != 0)
        return byLetters < 0;
    // Digit strings without leading zeros: the shorter is the smaller number.
    if (a.number.size() != b.number.size())
        return a.number.size() < b.number.size();
    if (const int byNumber = a.number.compare(b.number); byNumber != 0)
        return byNumber < 0;
    return left < right;
}

} // namespace

QStringList inPortNumberOrder(QStringList listedPorts)
{
    std::sort(listedPorts.begin(), listedPorts.end(), comesBefore);
    return listedPorts;
}

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
    return inPortNumberOrder(listedPorts).at(*number - 1);
}

} // namespace device
