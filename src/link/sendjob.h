#pragma once

#include "link/boardlink.h"

#include <atomic>

#include <QByteArray>
#include <QObject>
#include <QString>

class QThread;

namespace tavrin::link {

// One send to the board on a thread of its own, so that the caller's event loop goes on while the
// line takes its time. Signals arrive in the thread that made the job.
class SendJob : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SendJob)

public:
    SendJob(const QString &portLabel, const QString &device, const QByteArray &bytes, QObject *parent = nullptr);
    // A job still running is stopped and waited for: the port is closed when it is gone.
    ~SendJob() override;

    void start();
    // Asks the send to stop; finished() follows with a cancelled result unless it had already ended.
    void cancel();
    // Blocks until the send has ended (at most about progressIntervalMs after a cancel).
    void wait();
    bool isRunning() const { return m_running; }
    // Valid once finished() was emitted.
    const SendResult &result() const { return m_result; }

Q_SIGNALS:
    void progressed(qint64 delivered, qint64 total);
    void finished();

private:
    QString m_portLabel;
    QString m_device;
    QByteArray m_bytes;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop = false;
    bool m_running = false;
    SendResult m_result;
};

} // namespace tavrin::link
