#include "link/virtualboard.h"

#include "link/boardlink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

#include <QSocketNotifier>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavrin::link {

namespace {

const QByteArray &eraseBytes() {
    static const QByteArray bytes = QByteArray::fromHex(eraseCommand);
    return bytes;
}

const QByteArray &writeBytes() {
    static const QByteArray bytes = QByteArray::fromHex(writeCommand);
    return bytes;
}

bool validLedCount(int ledCount) {
    return ledCount == 8 || ledCount == 16 || ledCount == 24 || ledCount == 32;
}

qsizetype wholeColumns(qsizetype bytes, int ledCount) {
    return ledCount >= 8 ? bytes / (ledCount / 8) : 0;
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString frameKindName(FrameKind kind) {
    switch (kind) {
    case FrameKind::Erase:
        return u"erase"_s;
    case FrameKind::Write:
        return u"write"_s;
    case FrameKind::Unknown:
        break;
    }
    return u"unknown"_s;
}

BoardFrame decodeFrame(const QByteArray &frame, int ledCount) {
    BoardFrame decoded;
    decoded.byteCount = frame.size();
    decoded.bytes = frame;
    if (frame == eraseBytes()) {
        decoded.kind = FrameKind::Erase;
    } else if (frame.startsWith(writeBytes())) {
        decoded.kind = FrameKind::Write;
        decoded.content = frame.mid(writeBytes().size());
        decoded.columns = wholeColumns(decoded.content.size(), ledCount);
    }
    return decoded;
}

QList<BoardFrame> decodeFrames(const QByteArray &burst, int ledCount) {
    QList<BoardFrame> frames;
    qsizetype at = 0;
    while (burst.size() - at > eraseBytes().size() && burst.mid(at, eraseBytes().size()) == eraseBytes()) {
        frames.append(decodeFrame(eraseBytes(), ledCount));
        at += eraseBytes().size();
    }
    if (at < burst.size()) {
        frames.append(decodeFrame(burst.mid(at), ledCount));
    }
    return frames;
}

VirtualBoard::VirtualBoard(int ledCount, QObject *parent)
    : QObject(parent)
    , m_ledCount(ledCount)
    , m_silence(new QTimer(this)) {
    m_silence->setSingleShot(true);
    m_silence->setInterval(frameGapMs);
    connect(m_silence, &QTimer::timeout, this, &VirtualBoard::endFrame);
}

VirtualBoard::~VirtualBoard() {
    closeTerminal();
}

bool VirtualBoard::open() {
    if (isOpen()) {
        return true;
    }
    if (!validLedCount(m_ledCount)) {
        m_error = u"a board has 8, 16, 24 or 32 LEDs, not %1"_s.arg(m_ledCount);
        return false;
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
        closeTerminal();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &VirtualBoard::readAvailable);
    m_error.clear();
    return true;
}

qsizetype VirtualBoard::columns() const {
    return wholeColumns(m_content.size(), m_ledCount);
}

void VirtualBoard::readAvailable() {
    // A bounded share per wake-up, so a sender that never stops cannot starve the event loop.
    char buffer[4096];
    for (int reads = 0; reads < 16; ++reads) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_pending.append(buffer, n);
            if (m_pending.size() >= largestFrameBytes) {
                endFrame();
            } else {
                m_silence->start();
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        }
        const QString message = u"reading %1 failed: %2"_s.arg(m_devicePath, systemError());
        m_notifier->setEnabled(false);
        if (!m_pending.isEmpty()) {
            endFrame();
        }
        m_error = message;
        Q_EMIT failed(message);
        return;
    }
}

void VirtualBoard::endFrame() {
    m_silence->stop();
    const QByteArray burst = std::exchange(m_pending, {});
    for (const BoardFrame &frame : decodeFrames(burst, m_ledCount)) {
        // An unknown frame leaves the board as it was.
        if (frame.kind == FrameKind::Erase) {
            m_content.clear();
        } else if (frame.kind == FrameKind::Write) {
            m_content = frame.content;
        }
        Q_EMIT frameReceived(frame);
    }
}

void VirtualBoard::closeTerminal() {
    delete m_notifier;
    m_notifier = nullptr;
    m_silence->stop();
    m_pending.clear();
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
}

} // namespace tavrin::link
