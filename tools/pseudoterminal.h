// The emulated device's end of the serial cable.
#pragma once

#include <QString>

namespace tools {

// A pseudo-terminal pair: the device talks on the master, the PC side opens the slave by its path. The slave stays
// open here too, so that the PC side may close and reopen the port between uploads without the master seeing a
// hang-up. Closing both ends is how the cable is pulled.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens the pair and puts the slave in raw mode; on failure errorString() says which step failed.
    bool open();
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_errorString; }
    int masterFd() const { return m_master; }

    // The line settings the PC side has put on its end, as "9600 8N1, raw, no flow control". A pseudo-terminal
    // ignores them, so this is the only way to see that the PC asked for the QX-7M's.
    QString pcLineSettings() const;

    // The PC side's reads see end of file or an error from now on, as after an unplugged cable. What the device
    // sent before is still delivered: the PC side gets up to a second to read it.
    void hangUp();

    // Readable after a PC side closed the slave, or -1 where the system cannot tell.
    int closeWatchFd() const { return m_closeWatch; }
    // Once the close watch is readable: takes what it told, and a look at the slave is due.
    void takeCloses();
    bool lookDue() const { return m_lookDue; }
    // Clears exclusive mode when no other process holds the slave open. A PC side that ended without closing its port
    // (kill -9) never cleared it, and as the slave stays open here, the system never drops it either: every later PC
    // side would be refused the port. The look goes through every process: it is for a quiet moment of the line.
    void releaseAbandonedExclusiveUse();

private:
    void waitUntilPcHasRead();
    void close();
    bool fail(const char* step);

    int m_master = -1;
    int m_slave = -1;
    int m_closeWatch = -1;
    bool m_lookDue = false;
    QString m_slavePath;
    QString m_errorString;
};

} // namespace tools
