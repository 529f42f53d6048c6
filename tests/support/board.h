#pragma once

#include "support/pty.h"

#include <optional>

#include <QString>
#include <QTest>
#include <QtGlobal>

namespace tavrin::testing {

// A board on a pseudo-terminal, the one port the program lists. The tests of writing and erasing
// plug in a fresh one for every test function (init) and unplug it after (cleanup), so that no
// test sees what an earlier one sent.
class PluggedBoard {
public:
    void plugIn() {
        m_pty.emplace(PtyPair::LeftToSender);
        qputenv("TAVRIN_SERIAL_PORTS", m_pty->slavePath().toLocal8Bit());
    }
    void unplug() { m_pty.reset(); }

    PtyPair &operator*() { return *m_pty; }
    PtyPair *operator->() { return &*m_pty; }

private:
    std::optional<PtyPair> m_pty;
};

// Waits until the window's send, if one runs, has ended and its message has been answered.
template <typename Window> bool sendEnded(const Window &window, int timeoutMs = 30000) {
    return QTest::qWaitFor([&window] { return !window.isSending(); }, timeoutMs);
}

// What the window says once a write has gone through.
inline const QString writeDoneMessage = QStringLiteral("写数据已经完成！如不能显示新内容，请检查串口号、连接线！");

} // namespace tavrin::testing
