#include "pseudoterminal.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tools {

namespace {

// Long enough for any PC side that is reading; a port nobody reads must not keep the emulator from ending.
constexpr std::chrono::seconds kPcReadLimit { 1 };

} // namespace

PseudoTerminal::~PseudoTerminal() { hangUp(); }

bool PseudoTerminal::open()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    char path[128] = {};
    if (::ptsname_r(m_master, path, sizeof path) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(path);

    m_slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Without raw mode the slave's line discipline would echo every answer back to the device as if the PC had
    // sent it, and would translate CR and LF inside command strings.
    termios settings {};
    if (::tcgetattr(m_slave, &settings) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&settings);
    if (::tcsetattr(m_slave, TCSANOW, &settings) != 0)
        return fail("tcsetattr");
    return true;
}

QString PseudoTerminal::pcLineSettings() const
{
    termios settings {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0)
        return u"unknown"_s;
    const speed_t speed = ::cfgetospeed(&settings);
    static const std::pair<speed_t, int> kRates[] = { { B1200, 1200 }, { B2400, 2400 }, { B4800, 4800 },
        { B9600, 9600 }, { B19200, 19200 }, { B38400, 38400 }, { B57600, 57600 }, { B115200, 115200 } };
    int baud = 0;
    for (const auto& [code, rate] : kRates) {
        if (code == speed)
            baud = rate;
    }
    const tcflag_t size = settings.c_cflag & CSIZE;
    const int dataBits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    const char parity = !(settings.c_cflag & PARENB) ? 'N' : (settings.c_cflag & PARODD) ? 'O' : 'E';
    const int stopBits = (settings.c_cflag & CSTOPB) ? 2 : 1;
    // Raw: no line editing, echo, signals, output processing or input translation that would change a byte.
    const bool raw = !(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) && !(settings.c_oflag & OPOST)
        && !(settings.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | BRKINT | PARMRK));
    const bool hardware = settings.c_cflag & CRTSCTS;
    const bool software = settings.c_iflag & (IXON | IXOFF);
    const QString flow = hardware && software ? u"RTS/CTS and XON/XOFF flow control"_s
        : hardware                            ? u"RTS/CTS flow control"_s
        : software                            ? u"XON/XOFF flow control"_s
                                              : u"no flow control"_s;
    return u"%1 %2%3%4, %5, %6"_s.arg(QString::number(baud), QString::number(dataBits), QChar::fromLatin1(parity),
        QString::number(stopBits), raw ? u"raw"_s : u"not raw"_s, flow);
}

void PseudoTerminal::hangUp()
{
    waitUntilPcHasRead();
    close();
}

void PseudoTerminal::waitUntilPcHasRead()
{
    // A hung-up slave drops its unread input, so closing straight after the last answer would take that answer
    // back. The input queue is shared by every open slave, ours included, so ours shows whether the PC has read.
    // Bytes just written may not have reached the queue yet; the short settle time lets them arrive.
    using namespace std::chrono_literals;
    const auto start = std::chrono::steady_clock::now();
    while (m_slave >= 0) {
        const auto waited = std::chrono::steady_clock::now() - start;
        int unread = 0;
        if (waited >= kPcReadLimit || ::ioctl(m_slave, TIOCINQ, &unread) != 0 || (unread == 0 && waited >= 10ms))
            return;
        std::this_thread::sleep_for(1ms);
    }
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

bool PseudoTerminal::fail(const char* step)
{
    m_errorString = u"%1: %2"_s.arg(QLatin1StringView(step), QString::fromLocal8Bit(std::strerror(errno)));
    close();
    return false;
}

} // namespace tools
