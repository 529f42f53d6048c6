#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

namespace tavrin::platform {
class PseudoTerminal;
}

namespace tavrin::link {

enum class FrameKind { Erase, Write, Unknown };

// One frame as the board takes it.
struct BoardFrame {
    FrameKind kind = FrameKind::Unknown;
    qsizetype byteCount = 0; // every byte of the frame, the command included
    qsizetype columns = 0;   // write: whole columns in the content, ledCount / 8 bytes each
    QByteArray content;      // write: the bytes after the command (a last partial column included)
    QByteArray bytes;        // the frame as it arrived
};

// "erase", "write" or "unknown".
QString frameKindName(FrameKind kind);

// 33 33 00 0D alone is an erase; 33 33 F0 0D and any bytes after it a write of those bytes;
// anything else is unknown to the board.
BoardFrame decodeFrame(const QByteArray &frame, int ledCount);

// The bytes between two silences. A write has no length, so its content runs to the end of the
// burst; but an erase is complete after its four bytes, and the board acts on it at once, so
// erase commands at the start of a burst (an erase followed at once by a write) are frames of
// their own. Nothing arrived, no frame.
QList<BoardFrame> decodeFrames(const QByteArray &burst, int ledCount);

// A board on a pseudo-terminal: a sender opens devicePath() as its serial port, and every frame
// it sends is decoded as the board would. The line is raw, so every byte arrives unchanged.
class VirtualBoard : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VirtualBoard)

public:
    // A frame ends when nothing has arrived for this long.
    static constexpr int frameGapMs = 200;
    // A sender that never pauses still gets its frames ended here, so memory stays bounded.
    static constexpr qsizetype largestFrameBytes = 1 << 20;

    explicit VirtualBoard(int ledCount = 16, QObject *parent = nullptr);
    ~VirtualBoard() override;

    // Opens the pseudo-terminal; false with errorString() when it cannot be opened or the LED
    // count is not 8, 16, 24 or 32.
    bool open();
    bool isOpen() const;
    QString errorString() const { return m_error; }

    // The device a sender opens, such as /dev/pts/3; empty until open() succeeded.
    QString devicePath() const;
    int ledCount() const { return m_ledCount; }

    // The content bytes shown now: those of the last write, none after an erase.
    QByteArray content() const { return m_content; }
    qsizetype columns() const;

Q_SIGNALS:
    // After the board has taken the frame: content() already shows its effect.
    void frameReceived(const tavrin::link::BoardFrame &frame);
    // The pseudo-terminal can no longer be read; no frames follow.
    void failed(const QString &message);

private:
    void readAvailable();
    void endFrame();
    void closeTerminal();

    int m_ledCount = 16;
    std::unique_ptr<platform::PseudoTerminal> m_terminal;
    QString m_error;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_silence = nullptr;
    QByteArray m_pending;
    QByteArray m_content;
};

} // namespace tavrin::link
