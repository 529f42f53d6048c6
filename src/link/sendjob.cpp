#include "link/sendjob.h"

#include <QThread>

namespace tavrin::link {

SendJob::SendJob(const QString &portLabel, const QString &device, const QByteArray &bytes, QObject *parent)
    : QObject(parent)
    , m_portLabel(portLabel)
    , m_device(device)
    , m_bytes(bytes) {}

SendJob::~SendJob() {
    blockSignals(true);
    cancel();
    wait();
}

void SendJob::start() {
    if (m_thread) {
        return;
    }
    m_running = true;
    m_thread = QThread::create([this] {
        m_result = sendBytes(
            m_portLabel, m_device, m_bytes,
            [this](qint64 delivered, qint64 total) { Q_EMIT progressed(delivered, total); }, &m_stop);
    });
    m_thread->setParent(this);
    m_thread->setObjectName(QStringLiteral("send"));
    connect(m_thread, &QThread::finished, this, [this] {
        // Progress reports queued before the end are delivered first: they were posted earlier.
        if (!m_running) {
            return;
        }
        m_running = false;
        Q_EMIT finished();
    });
    m_thread->start();
}

void SendJob::cancel() {
    m_stop = true;
}

void SendJob::wait() {
    if (m_thread) {
        m_thread->wait();
    }
    if (m_running) {
        m_running = false;
        Q_EMIT finished();
    }
}

} // namespace tavrin::link
