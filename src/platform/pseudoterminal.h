#pragma once

#include <QString>

namespace tavrin::platform {

// A pseudo-terminal whose slave end stands in for a serial device that another program opens.
// The line is raw at 9600 baud, so every byte arrives unchanged; the master end does not block.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // False with errorString() when the system gives no pseudo-terminal.
    bool open();
    void close();
    bool isOpen() const { return m_master >= 0; }

    // The device a sender opens, such as /dev/pts/3; empty while closed.
    QString devicePath() const { return m_devicePath; }
    // The master end, to watch for arrivals.
    int descriptor() const { return m_master; }

    // Reads what has arrived: the number of bytes, 0 when nothing is waiting, -1 when the
    // master can no longer be read (errorString() says why).
    qsizetype read(char *buffer, qsizetype size);

    QString errorString() const { return m_error; }

private:
    int m_master = -1;
    // Held open so the line stays up between the opens and closes of the senders.
    int m_slave = -1;
    QString m_devicePath;
    QString m_error;
};

} // namespace tavrin::platform
