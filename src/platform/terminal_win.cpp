// Stop requests are console control events on Windows: Ctrl-C and Ctrl-Break in the console the
// program runs in.
#include "platform/terminal.h"

#include <cstdio>
#include <io.h>
#include <windows.h>

#include <QMetaObject>
#include <QMutex>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

// The system calls the handler on a thread of its own; the request reaches the event loop as a
// queued call to the one StopRequests alive.
QMutex watcherLock;
StopRequests *watching = nullptr;

BOOL WINAPI onControlEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    QMutexLocker locker(&watcherLock);
    if (!watching) {
        return FALSE;
    }
    QMetaObject::invokeMethod(watching, &StopRequests::requested, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

bool standardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

bool standardOutputIsTerminal() {
    return ::_isatty(::_fileno(stdout)) != 0;
}

StopRequests::StopRequests(QObject *parent)
    : QObject(parent) {
    QMutexLocker locker(&watcherLock);
    if (watching || !SetConsoleCtrlHandler(onControlEvent, TRUE)) {
        m_error = u"cannot set up signal handling"_s;
        return;
    }
    watching = this;
    m_watcher = this;
}

StopRequests::~StopRequests() {
    if (!m_watcher) {
        return;
    }
    SetConsoleCtrlHandler(onControlEvent, FALSE);
    QMutexLocker locker(&watcherLock);
    watching = nullptr;
}

} // namespace tavrin::platform
