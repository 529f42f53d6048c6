#include "link/boardlink.h"

#include "base/hexdigit.h"
#include "platform/serialport.h"

#include <algorithm>
#include <climits>

#include <QElapsedTimer>
#include <QThread>

using namespace Qt::StringLiterals;

namespace tavrin::link {

QString frameText(const QString &command, const QString &contentCode) {
    // The command byte of the write command starts with the digit f; only it carries content.
    if (command.size() >= 5 && (command.at(4) == u'f' || command.at(4) == u'F')) {
        return command + contentCode;
    }
    return command;
}

QByteArray frameBytes(const QString &text) {
    QByteArray bytes;
    bytes.reserve((text.size() + 1) / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        // Like reading "&H" + the pair as a number: digits count up to the first non-digit.
        int value = 0;
        for (const QChar c : QStringView(text).mid(i, 2)) {
            const int digit = base::hexDigitValue(c);
            if (digit < 0) {
                break;
            }
            value = value * 16 + digit;
        }
        bytes.append(char(value));
    }
    return bytes;
}

int portNumber(const QString &portText) {
    qsizetype i = 3;
    while (i < portText.size() && (portText.at(i) == u' ' || portText.at(i) == u'\t')) {
        ++i;
    }
    long long number = 0;
    for (; i < portText.size(); ++i) {
        const char16_t u = portText.at(i).unicode();
        if (u < u'0' || u > u'9') {
            break;
        }
        number = std::min<long long>(number * 10 + (u - u'0'), INT_MAX);
    }
    return int(number);
}

QList<PortChoice> surveyPorts() {
    QList<PortChoice> ports;
    for (const platform::PortDevice &port : platform::portDevices(offeredPorts)) {
        platform::LineError problem = platform::openProblem(port.device);
        // A table entry without a device is no port the machine has.
        if (problem.kind != platform::LineError::DeviceMissing) {
            ports.append({u"COM "_s + QString::number(port.number), port.device, port.adapter, std::move(problem)});
        }
    }
    return ports;
}

bool anyUsable(const QList<PortChoice> &ports) {
    return std::any_of(ports.cbegin(), ports.cend(),
                       [](const PortChoice &port) { return port.problem.kind == platform::LineError::None; });
}

QList<PortChoice> openablePorts() {
    QList<PortChoice> ports = surveyPorts();
    ports.removeIf([](const PortChoice &port) { return port.problem.kind != platform::LineError::None; });
    return ports;
}

PortResolution resolvePort(const QString &portText) {
    const QString text = portText.trimmed();
    const auto refuse = [&text](LinkFailure::Reason reason, int number) {
        LinkFailure failure;
        failure.reason = reason;
        failure.port = text;
        failure.portNumber = number;
        if (reason == LinkFailure::NoPortChosen || reason == LinkFailure::NoSuchPort) {
            failure.ports = surveyPorts();
        }
        return PortResolution{{}, failure};
    };
    if (text.isEmpty()) {
        return refuse(LinkFailure::NoPortChosen, 0);
    }
    if (text.startsWith(u'/')) {
        return {text, {}};
    }
    const int number = portNumber(text);
    if (number < 1) {
        return refuse(LinkFailure::NotAPort, 0);
    }
    const QString device = platform::deviceForPort(number);
    if (device.isEmpty()) {
        return refuse(LinkFailure::NoSuchPort, number);
    }
    return {device, {}};
}

namespace {

// One send on an open line: hands the bytes over, follows them out and reports.
class Sender {
public:
    Sender(platform::SerialLine &line, const QByteArray &bytes, const std::function<void(qint64, qint64)> &progress,
           const std::atomic<bool> *stop)
        : m_line(line)
        , m_bytes(bytes)
        , m_progress(progress)
        , m_stop(stop) {
        m_clock.start();
        m_lastReport = -progressIntervalMs;
    }

    SendResult run() {
        report(0, true);
        while (m_written < m_bytes.size()) {
            if (stopRequested()) {
                return cancelled();
            }
            const qint64 taken = m_line.writeSome(m_bytes.constData() + m_written, m_bytes.size() - m_written);
            if (taken < 0) {
                return failed(LinkFailure::WriteFailed);
            }
            m_written += taken;
            if (m_written < m_bytes.size() && !m_line.waitForRoom(progressIntervalMs)) {
                return failed(LinkFailure::WriteFailed);
            }
            if (!follow()) {
                return failed(LinkFailure::WriteFailed);
            }
        }
        // Everything is handed over: wait until the queue has gone out on the line, sleeping as
        // long as the line needs, in steps short enough for the progress and a stop.
        for (;;) {
            if (!follow()) {
                return failed(LinkFailure::NotAllSent);
            }
            if (m_queued == 0) {
                break;
            }
            if (stopRequested()) {
                return cancelled();
            }
            QThread::msleep(ulong(std::clamp<qint64>(m_line.lineTimeMs(m_queued), 1, progressIntervalMs)));
        }
        // The device's own buffer empties last; closing at once would cut its last characters off.
        if (m_line.settleMs() > 0) {
            QThread::msleep(ulong(m_line.settleMs()));
        }
        report(m_bytes.size(), true);
        return {SendStatus::Sent, m_bytes.size(), m_bytes.size(), {}};
    }

private:
    bool stopRequested() const { return m_stop && m_stop->load(); }

    // Reads the queue and reports what has left; false when the line failed or stopped moving.
    bool follow() {
        const qint64 queued = m_line.queuedBytes();
        if (queued < 0) {
            return false;
        }
        m_queued = std::min(queued, m_written);
        const qint64 delivered = m_written - m_queued;
        const qint64 now = m_clock.elapsed();
        if (delivered > m_delivered || m_delivered < 0) {
            m_delivered = delivered;
            m_lastMove = now;
        } else if (now - m_lastMove >= stallSeconds * 1000) {
            m_stalled = true;
            return false;
        }
        report(m_delivered, false);
        return true;
    }

    void report(qint64 delivered, bool always) {
        const qint64 now = m_clock.elapsed();
        if (m_progress && (always || now - m_lastReport >= progressIntervalMs)) {
            m_lastReport = now;
            m_progress(delivered, m_bytes.size());
        }
    }

    SendResult failed(LinkFailure::Reason reason) {
        LinkFailure failure;
        failure.reason = reason;
        failure.total = m_bytes.size();
        failure.delivered = std::max<qint64>(m_delivered, 0);
        failure.line = m_stalled ? platform::LineError{platform::LineError::Stalled, {}} : m_line.error();
        m_line.close();
        return {SendStatus::Failed, failure.delivered, failure.total, failure};
    }

    SendResult cancelled() {
        const qint64 queued = m_line.queuedBytes();
        if (queued >= 0) {
            m_delivered = m_written - std::min(queued, m_written);
        }
        m_line.discardOutput();
        m_line.close();
        const qint64 delivered = std::max<qint64>(m_delivered, 0);
        report(delivered, true);
        return {SendStatus::Cancelled, delivered, m_bytes.size(), {}};
    }

    platform::SerialLine &m_line;
    const QByteArray &m_bytes;
    const std::function<void(qint64, qint64)> &m_progress;
    const std::atomic<bool> *m_stop;
    QElapsedTimer m_clock;
    bool m_stalled = false;
    qint64 m_written = 0;
    qint64 m_queued = 0;
    qint64 m_delivered = -1;
    qint64 m_lastMove = 0;
    qint64 m_lastReport = 0;
};

} // namespace

SendResult sendBytes(const QString &portLabel, const QString &device, const QByteArray &bytes,
                     const std::function<void(qint64 delivered, qint64 total)> &progress,
                     const std::atomic<bool> *stop) {
    const auto fail = [&](LinkFailure::Reason reason, const platform::LineError &lineError) {
        LinkFailure failure;
        failure.reason = reason;
        failure.port = portLabel;
        failure.device = device;
        failure.total = bytes.size();
        failure.line = lineError;
        return SendResult{SendStatus::Failed, 0, bytes.size(), failure};
    };
    if (device.isEmpty()) {
        return fail(LinkFailure::NoDevice, {});
    }
    platform::SerialLine line;
    if (!line.open(device, QString::fromLatin1(lineSettings))) {
        return fail(LinkFailure::OpenFailed, line.error());
    }
    SendResult result = Sender(line, bytes, progress, stop).run();
    if (result.failure) {
        result.failure.port = portLabel;
        result.failure.device = device;
    }
    line.close();
    return result;
}

} // namespace tavrin::link
