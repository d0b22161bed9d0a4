#include "serialdeviceclaim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace platform {

namespace {

#ifdef Q_OS_UNIX

Error busy(const QString& deviceName, const QString& why)
{
    return Error(ErrorCode::PortAlreadyOpen, deviceName + u' ' + why);
}

Error notASerialPort(const QString& deviceName)
{
    return Error::described(ErrorCode::NotASerialPort, u"%1 is not a serial port"_s.arg(deviceName));
}

// The names other programs lock the device by: its path under /dev with every "/" as "_"
// (LCK..ttyUSB0, LCK..pts_3), for the path as given and for the device that a link leads to.
QStringList lockFileNames(const QString& deviceName)
{
    QStringList names;
    for (const QString& path : { deviceName, QFileInfo(deviceName).canonicalFilePath() }) {
        if (path.isEmpty())
            continue;
        QString name = path.startsWith(u"/dev/"_s) ? path.mid(5) : QFileInfo(path).fileName();
        name = u"LCK.."_s + name.replace(u'/', u'_');
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

// The process a lock file names: in ASCII on its first line (ten characters and a newline, as
// most programs write it), or as four bytes in the machine's own order, as older ones do. No pid
// has four bytes that all read as digits, blanks or a newline. 0 when it names none.
pid_t lockingProcess(const QByteArray& contents)
{
    const bool text = contents.size() != 4 || std::all_of(contents.begin(), contents.end(), [](char byte) {
        return (byte >= '0' && byte <= '9') || byte == ' ' || byte == '\n';
    });
    if (!text) {
        qint32 binary = 0;
        std::memcpy(&binary, contents.constData(), sizeof binary);
        return pid_t(binary);
    }
    const qsizetype lineEnd = contents.indexOf('\n');
    bool isNumber = false;
    const int pid = (lineEnd < 0 ? contents : contents.first(lineEnd)).trimmed().toInt(&isNumber);
    return isNumber ? pid_t(pid) : 0;
}

bool processLives(pid_t pid)
{
    // A process of another user may not be signalled by this one, but lives all the same.
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

#endif

} // namespace

QString standardSerialLockFolder()
{
#ifdef Q_OS_UNIX
    return u"/var/lock"_s;
#else
    return {};
#endif
}

SerialDeviceClaim::SerialDeviceClaim(QString lockFolder)
    : m_lockFolder(std::move(lockFolder))
{
}

SerialDeviceClaim::~SerialDeviceClaim() { release(); }

std::optional<Error> SerialDeviceClaim::checkBeforeOpening(const QString& deviceName)
{
    release();
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(deviceName);
    struct stat status { };
    if (::stat(path.constData(), &status) != 0) {
        // A path too long or a link that goes round in circles leads to no port either. Any other
        // failure (a folder this user may not search) is the port's own opening to tell.
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG || errno == ELOOP)
            return Error(ErrorCode::SerialPortNotFound, deviceName);
        return std::nullopt;
    }
    if (!S_ISCHR(status.st_mode))
        return notASerialPort(deviceName);
    if (!m_lockFolder.isEmpty()) {
        for (const QString& name : lockFileNames(deviceName)) {
            QFile lock(QDir(m_lockFolder).filePath(name));
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            if (const pid_t pid = lockingProcess(lock.read(64)); processLives(pid))
                return busy(deviceName, u"is locked by process %1 (%2)"_s.arg(QString::number(pid), lock.fileName()));
        }
    }
    m_lookingHandle = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_lookingHandle < 0) {
        // What the system refuses to this user, the port's opening tells with the group to join.
        return errno == EBUSY ? std::optional(busy(deviceName, u"is in exclusive use by another program"_s))
                              : std::nullopt;
    }
    termios settings {};
    if (::tcgetattr(m_lookingHandle, &settings) != 0) {
        release();
        return notASerialPort(deviceName);
    }
#ifdef TIOCGEXCL
    // The system lets root open a port in exclusive mode; it is another program's all the same.
    int exclusive = 0;
    if (::ioctl(m_lookingHandle, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        release();
        return busy(deviceName, u"is in exclusive use by another program"_s);
    }
#endif
#else
    Q_UNUSED(deviceName);
#endif
    return std::nullopt;
}

std::optional<Error> SerialDeviceClaim::holdOpenedPort(qintptr handle, const QString& deviceName)
{
#ifdef Q_OS_UNIX
    if (::flock(int(handle), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return busy(deviceName, u"is held by another program"_s);
#else
    Q_UNUSED(handle);
    Q_UNUSED(deviceName);
#endif
    return std::nullopt;
}

void SerialDeviceClaim::release()
{
#ifdef Q_OS_UNIX
    if (m_lookingHandle >= 0)
        ::close(m_lookingHandle);
#endif
    m_lookingHandle = -1;
}

} // namespace platform
