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

// "COM3" or "\\.\COM3": a name that Windows' serial ports answer to.
bool isWindowsDeviceName(const QString& answer)
{
    if (answer.startsWith(u"\\\\.\\"_s))
        return true;
    const NumberedName name(answer);
    return name.digits > 0 && name.letters.compare(u"COM"_s, Qt::CaseInsensitive) == 0;
}

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
    if (answer.contains(u'/') || (naming == PortNaming::WindowsComNames && isWindowsDeviceName(answer)))
        return answer;
    const qsizetype highest
        = naming == PortNaming::WindowsComNames ? std::numeric_limits<int>::max() : listedPorts.size();
    const auto number = platform::wholeNumberWithin(
        platform::leadingNumberValue(answer), 1, static_cast<int>(std::min<qsizetype>(highest, INT_MAX)));
    if (!number) {
        const QString listed = naming == PortNaming::ListedPorts
            ? u"; this computer lists "_s + QString::number(listedPorts.size())
                + (listedPorts.size() == 1 ? u" serial port"_s : u" serial ports"_s)
            : QString();
        return Error(ErrorCode::SerialPortNotFound, u"\""_s + answer + u"\" names no port"_s + listed);
    }
    if (naming == PortNaming::WindowsComNames)
        return u"COM"_s + QString::number(*number);
    return inPortNumberOrder(listedPorts).at(*number - 1);
}

namespace {

// The listed ports that answer to a number, with their numbers, in the order of the numbers.
QList<std::pair<qint64, platform::ListedSerialPort>> numberedPorts(
    PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts)
{
    QStringList locations;
    for (const platform::ListedSerialPort& port : listedPorts)
        locations.append(port.location);
    if (naming == PortNaming::ListedPorts)
        locations = inPortNumberOrder(locations);
    QList<std::pair<qint64, platform::ListedSerialPort>> numbered;
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
        numbered.append({ number, port });
    }
    std::sort(
        numbered.begin(), numbered.end(), [](const auto& left, const auto& right) { return left.first < right.first; });
    return numbered;
}

} // namespace

QStringList portChoiceItems(PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts)
{
    QStringList choices;
    for (const auto& [number, port] : numberedPorts(naming, listedPorts)) {
        QString item = QString::number(number) + u" - "_s + port.name;
        if (!port.description.isEmpty())
            item.append(u", "_s).append(port.description);
        choices.append(item.replace(u'/', u'-'));
    }
    return choices;
}

QString firstAdapterAnswer(PortNaming naming, const QList<platform::ListedSerialPort>& listedPorts)
{
    for (const auto& [number, port] : numberedPorts(naming, listedPorts)) {
        const bool adapter = naming == PortNaming::ListedPorts
            ? port.name.startsWith(u"ttyUSB"_s) || port.name.startsWith(u"ttyACM"_s)
            : port.description.contains(u"USB"_s, Qt::CaseInsensitive);
        if (adapter)
            return QString::number(number);
    }
    return u"1"_s;
}

} // namespace device
