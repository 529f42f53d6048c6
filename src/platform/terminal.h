#pragma once

#include <QObject>
#include <QString>

// The terminal a command-line program runs in.
namespace tavrin::platform {

// Whether the program's standard error goes to a terminal (and not to a file or a pipe).
bool standardErrorIsTerminal();
// The same for standard output.
bool standardOutputIsTerminal();

// While one of these is alive, an interrupt (Ctrl-C) or a terminate request does not end the
// process at once but emits requested() in the event loop, so that the program can close what it
// holds; afterwards both end the process again. One at a time.
class StopRequests : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopRequests)

public:
    explicit StopRequests(QObject *parent = nullptr);
    ~StopRequests() override;

    // False with errorString() when the requests cannot be caught.
    bool isActive() const { return m_watcher != nullptr; }
    QString errorString() const { return m_error; }

Q_SIGNALS:
    void requested();

private:
    QObject *m_watcher = nullptr; // brings a request into the event loop
    QString m_error;
};

} // namespace tavrin::platform
