#include "platform/pseudoterminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PseudoTerminal::~PseudoTerminal() {
    close();
}

bool PseudoTerminal::open() {
    if (isOpen()) {
        return true;
    }
    if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) {
        m_error = u"cannot open a pseudo-terminal: %1"_s.arg(systemError());
        m_master = m_slave = -1;
        return false;
    }
    char name[128] = {};
    termios line{};
    const bool ready = ::ptsname_r(m_master, name, sizeof name) == 0 && ::tcgetattr(m_slave, &line) == 0;
    if (ready) {
        // No echo, no line editing, no CR/LF translation: the bytes as a board's UART sees them.
        ::cfmakeraw(&line);
        ::cfsetispeed(&line, B9600);
        ::cfsetospeed(&line, B9600);
    }
    if (!ready || ::tcsetattr(m_slave, TCSANOW, &line) != 0 || ::fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0 ||
        ::fcntl(m_slave, F_SETFD, FD_CLOEXEC) != 0 ||
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0) {
        m_error = u"cannot set up the pseudo-terminal: %1"_s.arg(systemError());
        close();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_error.clear();
    return true;
}

void PseudoTerminal::close() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    m_devicePath.clear();
}

qsizetype PseudoTerminal::read(char *buffer, qsizetype size) {
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, size_t(size));
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        m_error = u"reading %1 failed: %2"_s.arg(m_devicePath, systemError());
        return -1;
    }
}

} // namespace tavrin::platform
