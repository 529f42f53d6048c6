#pragma once

#include <QObject>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace tavrin::testing {

// The child widget of that name and type. A missing one fails the running test, naming it, in
// every build type; the test then goes on with a stand-in that belongs to no window, so it
// neither crashes nor passes.
template <typename W> W *child(const QObject &parent, const QString &name) {
    if (W *widget = parent.findChild<W *>(name)) {
        return widget;
    }
    const QByteArray message = "no child \"" + name.toUtf8() + "\" of the expected type";
    QTest::qFail(message.constData(), __FILE__, __LINE__);
    static W *standIn = new W; // outlives the test on purpose: it is still in use when the test returns
    return standIn;
}

// Stops every timer of the window: the test calls the ticks it needs itself, and nothing runs on
// the window's own clock between its steps.
inline void stopTimers(QWidget &window) {
    for (QTimer *timer : window.findChildren<QTimer *>()) {
        timer->stop();
    }
}

} // namespace tavrin::testing
