#include "platform/serialport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <tuple>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

struct LineSettings {
    qint32 baud = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    int bitsPerCharacter = 10; // start bit, data bits, parity bit, stop bits
};

// Reads "9600,n,8,1": baud, parity letter, data bits, stop bits (1, 1.5 or 2).
bool parseSettings(const QString &text, LineSettings *settings) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) {
        return false;
    }
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0) {
        return false;
    }
    settings->baud = baud;

    const QString parity = parts[1].trimmed().toLower();
    int parityBits = 1;
    if (parity == u"n") {
        settings->parity = QSerialPort::NoParity;
        parityBits = 0;
    } else if (parity == u"e") {
        settings->parity = QSerialPort::EvenParity;
    } else if (parity == u"o") {
        settings->parity = QSerialPort::OddParity;
    } else if (parity == u"m") {
        settings->parity = QSerialPort::MarkParity;
    } else if (parity == u"s") {
        settings->parity = QSerialPort::SpaceParity;
    } else {
        return false;
    }

    const int dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) {
        return false;
    }
    settings->dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = parts[3].trimmed();
    int stopBits = 1;
    if (stop == u"1") {
        settings->stopBits = QSerialPort::OneStop;
    } else if (stop == u"1.5") {
        settings->stopBits = QSerialPort::OneAndHalfStop;
        stopBits = 2;
    } else if (stop == u"2") {
        settings->stopBits = QSerialPort::TwoStop;
        stopBits = 2;
    } else {
        return false;
    }
    settings->bitsPerCharacter = 1 + dataBits + parityBits + stopBits;
    return true;
}

// A short Chinese statement of what went wrong, followed by the system's own words.
QString describe(const QSerialPort &port) {
    QString what;
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        what = u"设备不存在"_s;
        break;
    case QSerialPort::PermissionError:
        what = u"没有权限，或串口正被其他程序使用"_s;
        break;
    case QSerialPort::OpenError:
        what = u"串口已经打开"_s;
        break;
    case QSerialPort::UnsupportedOperationError:
        what = u"不是串口设备，或不支持这样的设置"_s;
        break;
    case QSerialPort::ResourceError:
        what = u"设备已断开或出错"_s;
        break;
    case QSerialPort::WriteError:
        what = u"写入出错"_s;
        break;
    case QSerialPort::TimeoutError:
        what = u"超时"_s;
        break;
    default:
        what = u"出错"_s;
        break;
    }
    return u"%1（%2）"_s.arg(what, port.errorString());
}

// Sorts device paths so that equal stems with numbers read naturally: ttyS2 before ttyS10.
bool naturalLess(const QString &a, const QString &b) {
    auto split = [](const QString &s) {
        qsizetype cut = s.size();
        while (cut > 0 && s.at(cut - 1).isDigit() && s.at(cut - 1).unicode() < 128) {
            --cut;
        }
        // Leading zeros and very long digit runs compare as text after the stem.
        const QStringView digits = QStringView(s).mid(cut);
        bool ok = false;
        const qulonglong number = digits.isEmpty() ? 0 : digits.toULongLong(&ok);
        return std::tuple(QStringView(s).left(cut), ok ? number : 0ULL);
    };
    const auto [stemA, numberA] = split(a);
    const auto [stemB, numberB] = split(b);
    if (const int c = stemA.compare(stemB); c != 0) {
        return c < 0;
    }
    if (numberA != numberB) {
        return numberA < numberB;
    }
    return a < b;
}

int portRank(const QString &device) {
    const QString name = device.section(u'/', -1);
    if (name.startsWith(u"ttyUSB")) {
        return 0;
    }
    if (name.startsWith(u"ttyACM")) {
        return 1;
    }
    return 2;
}

// Characters a UART FIFO or a USB adapter may still hold once the system's queue is empty.
constexpr int deviceBufferCharacters = 32;

int settleTimeMs(const LineSettings &line) {
    return (deviceBufferCharacters * line.bitsPerCharacter * 1000 + line.baud - 1) / line.baud;
}

// A pseudo-terminal has no wire: what it took has arrived.
bool isPseudoTerminal([[maybe_unused]] const QSerialPort &port) {
#ifdef Q_OS_LINUX
    struct stat info;
    if (::fstat(int(port.handle()), &info) == 0 && S_ISCHR(info.st_mode)) {
        const unsigned int kind = major(info.st_rdev);
        return kind >= 136 && kind <= 143;
    }
#endif
    return false;
}

} // namespace

QStringList orderedPorts(QStringList devices) {
    std::stable_sort(devices.begin(), devices.end(), [](const QString &a, const QString &b) {
        const int rankA = portRank(a);
        const int rankB = portRank(b);
        if (rankA != rankB) {
            return rankA < rankB;
        }
        return naturalLess(a, b);
    });
    return devices;
}

QStringList portTable() {
    if (qEnvironmentVariableIsSet("TAVRIN_SERIAL_PORTS")) {
        return qEnvironmentVariable("TAVRIN_SERIAL_PORTS").split(u':', Qt::SkipEmptyParts);
    }
    QStringList devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
#ifdef Q_OS_WIN
        devices << info.portName();
#else
        devices << info.systemLocation();
#endif
    }
    return orderedPorts(devices);
}

QString deviceForPort(int n) {
    if (n < 1) {
        return {};
    }
#ifdef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("TAVRIN_SERIAL_PORTS")) {
        return u"COM%1"_s.arg(n);
    }
#endif
    const QStringList table = portTable();
    return n <= table.size() ? table.at(n - 1) : QString();
}

bool canOpen(const QString &device) {
    if (device.isEmpty()) {
        return false;
    }
    // The probe leaves the line as it found it: Qt restores the previous settings on close.
    QSerialPort port;
    port.setPortName(device);
    if (!port.open(QIODevice::WriteOnly)) {
        return false;
    }
    port.close();
    return true;
}

SerialLine::SerialLine() = default;

SerialLine::~SerialLine() {
    close();
}

bool SerialLine::open(const QString &device, const QString &settings) {
    close();
    m_error.clear();
    LineSettings line;
    if (!parseSettings(settings, &line)) {
        m_error = u"线路设置“%1”无效"_s.arg(settings);
        return false;
    }
    if (device.isEmpty()) {
        m_error = u"没有指定串口设备"_s;
        return false;
    }

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(device);
    port->setBaudRate(line.baud);
    port->setParity(line.parity);
    port->setDataBits(line.dataBits);
    port->setStopBits(line.stopBits);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::WriteOnly)) {
        m_error = describe(*port);
        return false;
    }
    m_port = std::move(port);
    m_bitsPerCharacter = line.bitsPerCharacter;
    m_baud = line.baud;
    m_settleMs = isPseudoTerminal(*m_port) ? 0 : settleTimeMs(line);
    return true;
}

bool SerialLine::isOpen() const {
    return m_port && m_port->isOpen();
}

bool SerialLine::writeByte(char byte, int timeoutMs) {
    if (!isOpen()) {
        m_error = u"串口没有打开"_s;
        return false;
    }
    if (m_port->write(&byte, 1) != 1) {
        m_error = describe(*m_port);
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_port->bytesToWrite() > 0) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !m_port->waitForBytesWritten(left)) {
            if (m_port->error() == QSerialPort::TimeoutError || left <= 0) {
                m_error =
                    u"%1 秒内设备没有接收数据（%2）"_s.arg(QString::number(timeoutMs / 1000.0), m_port->errorString());
            } else {
                m_error = describe(*m_port);
            }
            return false;
        }
    }
    return true;
}

bool SerialLine::drain(int timeoutMs) {
    if (!isOpen()) {
        m_error = u"串口没有打开"_s;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_port->bytesToWrite() > 0) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !m_port->waitForBytesWritten(left)) {
            m_error =
                u"%1 秒内设备没有接收数据（%2）"_s.arg(QString::number(timeoutMs / 1000.0), m_port->errorString());
            return false;
        }
    }
#ifdef TIOCOUTQ
    // tcdrain() would wait for ever on a device that stopped sending; watch the queue instead
    // and give up when it stops going down, or when it takes far longer than its line time.
    const int fd = int(m_port->handle());
    qint64 lastProgress = clock.elapsed();
    qint64 deadline = -1;
    int last = -1;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) == -1) {
            m_error = u"无法读取输出队列（%1）"_s.arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (queued <= 0) {
            break;
        }
        const qint64 now = clock.elapsed();
        const qint64 lineTimeMs = qint64(queued) * m_bitsPerCharacter * 1000 / m_baud;
        if (deadline < 0) {
            deadline = now + 2 * lineTimeMs + timeoutMs;
        }
        if (last < 0 || queued < last) {
            last = queued;
            lastProgress = now;
        } else if (now - lastProgress >= timeoutMs) {
            m_error = u"%1 秒内输出队列没有减少，还有 %2 字节没有送出"_s.arg(timeoutMs / 1000.0).arg(queued);
            return false;
        }
        if (now >= deadline) {
            m_error = u"输出队列迟迟没有送完，还有 %1 字节没有送出"_s.arg(queued);
            return false;
        }
        QThread::msleep(ulong(std::clamp<qint64>(lineTimeMs / 2, 1, 20)));
    }
#endif
    // The system's queue is empty, but the UART or the USB adapter still holds a few characters of
    // its own. Closing puts the line's previous settings back at once, which would garble them.
    if (m_settleMs > 0) {
        QThread::msleep(ulong(m_settleMs));
    }
    return true;
}

void SerialLine::close() {
    if (!m_port) {
        return;
    }
    if (m_port->isOpen()) {
        bool queued = m_port->bytesToWrite() > 0;
#ifdef TIOCOUTQ
        int count = 0;
        queued = queued || (::ioctl(int(m_port->handle()), TIOCOUTQ, &count) == 0 && count > 0);
#endif
        // Bytes left after a failure would make the system's close wait for a dead line.
        if (queued) {
            m_port->clear(QSerialPort::Output);
        }
        m_port->close();
    }
    m_port.reset();
}

} // namespace tavrin::platform
