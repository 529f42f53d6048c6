// The serial line on Linux and other Unix systems: Qt SerialPort opens and sets up the line, the
// writes and the output queue go to the descriptor itself.
#include "platform/serialport.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSerialPort>
#include <QSerialPortInfo>

#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

#include "serialport_shared.h"

namespace tavrin::platform {

struct SerialLine::Port {
    QSerialPort serial;
};

namespace detail {

QList<PortDevice> systemPorts() {
    QList<PortDevice> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        PortAdapter adapter;
        adapter.vendorId = info.hasVendorIdentifier() ? info.vendorIdentifier() : 0;
        adapter.productId = info.hasProductIdentifier() ? info.productIdentifier() : 0;
        adapter.manufacturer = info.manufacturer().trimmed();
        adapter.product = info.description().trimmed();
        devices.append({0, info.systemLocation(), adapter});
    }
    return devices;
}

int systemPortNumber(const QString &, int place) {
    return place;
}

QString numberedDevice(int) {
    return {};
}

} // namespace detail

namespace {

// What went wrong, and Qt's words for it.
LineError describe(const QSerialPort &port) {
    LineError::Kind kind = LineError::Other;
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        kind = LineError::DeviceMissing;
        break;
    case QSerialPort::PermissionError:
        kind = LineError::PermissionOrBusy;
        break;
    case QSerialPort::OpenError:
        kind = LineError::AlreadyOpen;
        break;
    case QSerialPort::UnsupportedOperationError:
        kind = LineError::NotASerialPort;
        break;
    case QSerialPort::ResourceError:
        kind = LineError::Disconnected;
        break;
    case QSerialPort::WriteError:
        kind = LineError::WriteFailed;
        break;
    case QSerialPort::TimeoutError:
        kind = LineError::Timeout;
        break;
    default:
        break;
    }
    return {kind, port.errorString()};
}

// What went wrong and the system's own words for the last failed call.
LineError systemError(LineError::Kind kind) {
    return {kind, QString::fromLocal8Bit(std::strerror(errno))};
}

QSerialPort::Parity parityOf(char letter) {
    switch (letter) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits stopBitsOf(detail::LineSettings::StopBits bits) {
    switch (bits) {
    case detail::LineSettings::OneAndHalfStop:
        return QSerialPort::OneAndHalfStop;
    case detail::LineSettings::TwoStop:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
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

// A device that is not there is missing, whatever Qt's lock file says: two programs trying the same
// absent device at once would otherwise see each other's lock as a permission error.
bool deviceAbsent(const QString &device, LineError *error) {
    // As Qt names it: a path as it stands, a bare name under /dev.
    const QString path = device.startsWith(u'/') ? device : QStringLiteral("/dev/") + device;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 || errno != ENOENT) {
        return false;
    }
    *error = {LineError::DeviceMissing, QString::fromLocal8Bit(std::strerror(ENOENT))};
    return true;
}

} // namespace

LineError openProblem(const QString &device) {
    if (device.isEmpty()) {
        return {LineError::NoDevice, {}};
    }
    if (LineError missing; deviceAbsent(device, &missing)) {
        return missing;
    }
    // The probe leaves the line as it found it: Qt restores the previous settings on close.
    QSerialPort port;
    port.setPortName(device);
    if (!port.open(QIODevice::WriteOnly)) {
        return explainRefusal(device, describe(port));
    }
    port.close();
    return {};
}

SerialLine::SerialLine() = default;

SerialLine::~SerialLine() {
    close();
}

bool SerialLine::open(const QString &device, const QString &settings) {
    close();
    m_error = {};
    detail::LineSettings line;
    if (!detail::checkOpen(device, settings, &line, &m_error)) {
        return false;
    }

    if (LineError missing; deviceAbsent(device, &missing)) {
        m_error = missing;
        return false;
    }
    auto port = std::make_unique<Port>();
    QSerialPort &serial = port->serial;
    serial.setPortName(device);
    serial.setBaudRate(line.baud);
    serial.setParity(parityOf(line.parity));
    serial.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits));
    serial.setStopBits(stopBitsOf(line.stopBits));
    serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial.open(QIODevice::WriteOnly)) {
        m_error = explainRefusal(device, describe(serial));
        return false;
    }
    m_bitsPerCharacter = line.bitsPerCharacter;
    m_baud = line.baud;
    m_settleMs = isPseudoTerminal(serial) ? 0 : detail::settleTimeMs(line);
    m_port = std::move(port);
    return true;
}

bool SerialLine::isOpen() const {
    return m_port && m_port->serial.isOpen();
}

qint64 SerialLine::writeSome(const char *data, qint64 size) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
    const ssize_t n = ::write(int(m_port->serial.handle()), data, size_t(size));
    if (n >= 0) {
        return qint64(n);
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return 0;
    }
    m_error = systemError(LineError::WriteFailed);
    return -1;
}

bool SerialLine::waitForRoom(int timeoutMs) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return false;
    }
    pollfd watch{int(m_port->serial.handle()), POLLOUT, 0};
    const int ready = ::poll(&watch, 1, timeoutMs);
    if (ready < 0 && errno != EINTR) {
        m_error = systemError(LineError::Other);
        return false;
    }
    if (ready > 0 && (watch.revents & (POLLERR | POLLHUP | POLLNVAL))) {
        m_error = {LineError::Disconnected, {}};
        return false;
    }
    return true;
}

qint64 SerialLine::queuedBytes() {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
    qint64 queued = m_port->serial.bytesToWrite();
#if defined(TIOCOUTQ)
    int count = 0;
    if (::ioctl(int(m_port->serial.handle()), TIOCOUTQ, &count) == -1) {
        m_error = systemError(LineError::QueueUnreadable);
        return -1;
    }
    queued += count;
#endif
    return queued;
}

void SerialLine::discardOutput() {
    if (isOpen()) {
        m_port->serial.clear(QSerialPort::Output);
    }
}

void SerialLine::close() {
    if (!m_port) {
        return;
    }
    if (m_port->serial.isOpen()) {
        // Bytes left after a failure or a stop would make the system's close wait for a dead line.
        const LineError error = m_error;
        if (queuedBytes() != 0) {
            m_port->serial.clear(QSerialPort::Output);
        }
        m_error = error;
        m_port->serial.close();
    }
    m_port.reset();
}

} // namespace tavrin::platform
