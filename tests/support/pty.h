#pragma once

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QString>

namespace tavrin::testing {

// A pseudo-terminal whose slave stands in for the board's serial device, the one helper of the
// tests and benchmarks for it. A thread collects what arrives on the master side.
class PtyPair {
public:
    enum Slave {
        // The slave stays open here with the system's default (cooked) settings, so a line that
        // is not put into raw mode shows up as altered bytes; reading starts with startReading().
        KeptOpen,
        // Only the program under test opens the slave, as it would a board's port; reading starts
        // at once.
        LeftToSender,
    };

    explicit PtyPair(Slave slave = KeptOpen) {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_slavePath = QString::fromLocal8Bit(name);
        }
        if (slave == LeftToSender && isValid()) {
            ::close(m_slave);
            m_slave = -1;
            startReading();
        }
    }
    ~PtyPair() {
        closeMaster();
        if (m_slave >= 0) {
            ::close(m_slave);
        }
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }
    int slaveFd() const { return m_slave; }

    void startReading() {
        m_running = true;
        m_reader = std::thread([this] { readLoop(); });
    }

    void stopReading() {
        m_running = false;
        if (m_reader.joinable()) {
            m_reader.join();
        }
    }

    // The reader goes away: writes on the slave side fail from now on.
    void closeMaster() {
        stopReading();
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

    // Everything that has arrived so far.
    QByteArray received() {
        std::lock_guard lock(m_mutex);
        return m_data;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_data.clear();
    }

    // Waits up to timeoutMs until at least count bytes have arrived; returns all that arrived.
    QByteArray received(qsizetype count, int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            {
                std::lock_guard lock(m_mutex);
                if (m_data.size() >= count || std::chrono::steady_clock::now() >= deadline) {
                    return m_data;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Writes on the slave side until the system takes no more: the reader is not reading. The
    // kernel moves data on between its buffers in the background, so room that opens up again
    // shortly after is filled too.
    qsizetype fillBuffer() {
        const int flags = ::fcntl(m_slave, F_GETFL);
        ::fcntl(m_slave, F_SETFL, flags | O_NONBLOCK);
        const QByteArray chunk(256, 'x');
        qsizetype total = 0;
        for (;;) {
            ssize_t n = 0;
            while ((n = ::write(m_slave, chunk.constData(), size_t(chunk.size()))) > 0) {
                total += n;
            }
            pollfd watch{m_slave, POLLOUT, 0};
            if (::poll(&watch, 1, 200) <= 0 || !(watch.revents & POLLOUT)) {
                break;
            }
        }
        ::fcntl(m_slave, F_SETFL, flags);
        return total;
    }

private:
    void readLoop() {
        pollfd watch{m_master, POLLIN, 0};
        char buffer[4096];
        while (m_running) {
            if (::poll(&watch, 1, 20) <= 0) {
                continue;
            }
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0) {
                std::lock_guard lock(m_mutex);
                m_data.append(buffer, n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // No slave open: the master reports an error until one is.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::thread m_reader;
    std::atomic<bool> m_running = false;
    std::mutex m_mutex;
    QByteArray m_data;
};

// Open file descriptors of this process, to find descriptors left behind.
inline int openDescriptorCount() {
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace tavrin::testing
