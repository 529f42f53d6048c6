#pragma once

#include <QString>
#include <QTest>

namespace tavrin::testing {

// Waits until the window's send, if one runs, has ended and its message has been answered.
template <typename Window> bool sendEnded(const Window &window, int timeoutMs = 30000) {
    return QTest::qWaitFor([&window] { return !window.isSending(); }, timeoutMs);
}

// What the window says once a write has gone through.
inline const QString writeDoneMessage = QStringLiteral("写数据已经完成！如不能显示新内容，请检查串口号、连接线！");

} // namespace tavrin::testing
