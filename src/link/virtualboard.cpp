#include "link/virtualboard.h"

#include "base/ledcount.h"
#include "link/boardlink.h"
#include "platform/pseudoterminal.h"

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

qsizetype wholeColumns(qsizetype bytes, int ledCount) {
    return ledCount >= 8 ? bytes / (ledCount / 8) : 0;
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
    , m_terminal(std::make_unique<platform::PseudoTerminal>())
    , m_silence(new QTimer(this)) {
    m_silence->setSingleShot(true);
    m_silence->setInterval(frameGapMs);
    connect(m_silence, &QTimer::timeout, this, &VirtualBoard::endFrame);
}

VirtualBoard::~VirtualBoard() {
    closeTerminal();
}

bool VirtualBoard::isOpen() const {
    return m_terminal->isOpen();
}

QString VirtualBoard::devicePath() const {
    return m_terminal->devicePath();
}

bool VirtualBoard::open() {
    if (isOpen()) {
        return true;
    }
    if (!base::isLedCount(m_ledCount)) {
        m_error = u"a board has 8, 16, 24 or 32 LEDs, not %1"_s.arg(m_ledCount);
        return false;
    }
    if (!m_terminal->open()) {
        m_error = m_terminal->errorString();
        return false;
    }
    m_notifier = new QSocketNotifier(m_terminal->descriptor(), QSocketNotifier::Read, this);
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
        const qsizetype n = m_terminal->read(buffer, sizeof buffer);
        if (n == 0) {
            return;
        }
        if (n < 0) {
            m_notifier->setEnabled(false);
            if (!m_pending.isEmpty()) {
                endFrame();
            }
            m_error = m_terminal->errorString();
            Q_EMIT failed(m_error);
            return;
        }
        m_pending.append(buffer, n);
        if (m_pending.size() >= largestFrameBytes) {
            endFrame();
        } else {
            m_silence->start();
        }
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
    m_terminal->close();
}

} // namespace tavrin::link
