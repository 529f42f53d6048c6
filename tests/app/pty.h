#pragma once

// A real pseudo-terminal whose master end is drained by a thread, as a board would read its line.
#include <atomic>
#include <mutex>
#include <pty.h>
#include <thread>
#include <unistd.h>

#include <QByteArray>

class PtyReader {
public:
    PtyReader() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_device = QString::fromLocal8Bit(name);
            ::close(m_slave); // the tool opens the slave itself
            m_thread = std::thread([this] { drain(); });
        }
    }
    ~PtyReader() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        ::close(m_master);
    }
    PtyReader(const PtyReader &) = delete;
    PtyReader &operator=(const PtyReader &) = delete;

    QString device() const { return m_device; }
    QByteArray received() {
        std::lock_guard lock(m_mutex);
        return m_data;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_data.clear();
    }

private:
    void drain() {
        char buffer[4096];
        while (!m_stop) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(m_master, &set);
            timeval timeout{0, 10000};
            if (select(m_master + 1, &set, nullptr, nullptr, &timeout) > 0) {
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0) {
                    std::lock_guard lock(m_mutex);
                    m_data.append(buffer, n);
                } else {
                    usleep(5000); // no slave open: the master reports an error until one is
                }
            }
        }
    }
    int m_master = -1;
    int m_slave = -1;
    QString m_device;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QByteArray m_data;
};
