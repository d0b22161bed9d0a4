#include "serialdeviceclaim.h"

#include "nativename.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
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

// The name a lock file gives a device: its path under /dev with every "/" as "_" (LCK..ttyUSB0,
// LCK..pts_3). Other programs name a path elsewhere by its last part; Qt Serial Port by all of it.
QString lockFileName(const QString& path, bool wholePath)
{
    QString name = path.startsWith(u"/dev/"_s) ? path.mid(5) : wholePath ? path : QFileInfo(path).fileName();
    return u"LCK.."_s + name.replace(u'/', u'_');
}

// Where Qt Serial Port takes its own lock for a port: the first of its folders that it may read and
// that holds the lock already or may be written. Qt keeps this to itself, so it is restated here.
QString qtLockFolder(const QString& lockName)
{
    static const QStringList kFolders { u"/var/lock"_s, u"/etc/locks"_s, u"/var/spool/locks"_s, u"/var/spool/uucp"_s,
        u"/tmp"_s, u"/var/tmp"_s, u"/var/lock/lockdev"_s, u"/run/lock"_s,
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) };
    for (const QString& folder : kFolders) {
        const QFileInfo info(folder);
        if (info.isReadable() && (QFileInfo::exists(folder + u'/' + lockName) || info.isWritable()))
            return folder;
    }
    return {};
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

QByteArray lockContents(const QByteArray& path)
{
    const int file = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return {};
    char contents[64];
    const ssize_t count = ::read(file, contents, sizeof contents);
    ::close(file);
    return QByteArray(contents, std::max<qsizetype>(count, 0));
}

// Each name in each folder, once.
QStringList lockPaths(const QStringList& folders, const QStringList& names)
{
    QStringList paths;
    for (const QString& folder : folders) {
        for (const QString& name : names) {
            if (!folder.isEmpty() && !paths.contains(QDir(folder).filePath(name)))
                paths.append(QDir(folder).filePath(name));
        }
    }
    return paths;
}

// Refuses the device for a lock file of another live process and removes every other one: a lock
// of a process that has ended, an empty or unreadable one, or this process's own from an earlier
// port, would otherwise keep Qt Serial Port from opening the device for half a minute. An empty
// file could be another program's lock caught before its pid is written; that program then finds
// the device in exclusive use.
std::optional<Error> clearStaleLocks(const QString& deviceName, const QStringList& lockPaths)
{
    for (const QString& lockPath : lockPaths) {
        const QByteArray path = nativeName(lockPath);
        struct stat status { };
        if (::lstat(path.constData(), &status) != 0)
            continue;
        const pid_t pid = lockingProcess(lockContents(path));
        if (pid != ::getpid() && processLives(pid))
            return busy(deviceName, u"is locked by process %1 (%2)"_s.arg(QString::number(pid), lockPath));
        if (::unlink(path.constData()) != 0 && errno != ENOENT)
            return busy(deviceName, u"is locked by a lock file that this user may not remove (%1)"_s.arg(lockPath));
    }
    return std::nullopt;
}

// The device's own path, or an empty text when it has none that is text.
QString realPathAsText(const QByteArray& path)
{
    char* real = ::realpath(path.constData(), nullptr);
    const QByteArray bytes(real);
    std::free(real);
    const QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString();
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
    m_portPath = deviceName;
#ifdef Q_OS_UNIX
    // The name is opened by the bytes it was given, which need not be text.
    const QByteArray path = nativeName(deviceName);
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
    m_lookingHandle = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_lookingHandle < 0 && errno == EBUSY)
        return busy(deviceName, u"is in exclusive use by another program"_s);
    // What the system refuses to this user, the port's opening tells with the group to join.
    if (m_lookingHandle >= 0) {
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
    }
    const QString realPath = realPathAsText(path);
    if (!realPath.isEmpty())
        m_portPath = realPath;

    const QString qtLockName = lockFileName(m_portPath, true);
    const QString qtFolder = qtLockFolder(qtLockName);
    m_qtLockPath = qtFolder.isEmpty() ? QString() : QDir(qtFolder).filePath(qtLockName);
    QStringList names { lockFileName(deviceName, false), qtLockName };
    if (!realPath.isEmpty())
        names.append(lockFileName(realPath, false));
    if (std::optional<Error> locked = clearStaleLocks(deviceName, lockPaths({ m_lockFolder, qtFolder }, names))) {
        release();
        return locked;
    }
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
