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
        digits = location.size() - digitsStart;
    }

    QStringView letters;
    qsizetype digits = 0;
};

bool comesBefore(const QString& left, const QString& right)
{
    const NumberedName a(left);
    const NumberedName b(right);
    if (const int byLetters = a.letters.compare(b.letters); byLetters != 0)
        return byLetters < 0;
    // Of two numbers, the one with fewer digits is the smaller; of two as long, the one that sorts first.
    if (a.digits != b.digits)
        return a.digits < b.digits;
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

QStringList portChoiceItems(PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts)
{
    QStringList locations;
    for (const platform::ListedSerialPort& port : listedPorts)
        locations.append(port.location);
    if (naming == PortNaming::ListedPorts)
        locations = inPortNumberOrder(locations);
    QList<std::pair<qint64, QString>> items;
    for (const platform::ListedSerialPort& port : listedPorts) {
        qint64 number = 0;
        if (naming == PortNaming::ListedPorts) {
            number = locations.indexOf(port.location) + 1;
        } else {
            const NumberedName comName(port.name);
            if (comName.letters.compare(u"COM"_s, Qt::CaseInsensitive) != 0 || comName.digits == 0)
                continue;
            number = port.name.last(comName.digits).toLongLong();
        }
        QString item = QString::number(number) + u" - "_s + port.name;
        if (!port.description.isEmpty())
            item.append(u", "_s).append(port.description);
        items.append({ number, item.replace(u'/', u'-') });
    }
    std::sort(items.begin(), items.end());
    QStringList choices;
    for (const auto& item : std::as_const(items))
        choices.append(item.second);
    return choices;
}

} // namespace device
