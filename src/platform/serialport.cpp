#include "platform/serialport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <tuple>

#include <QHash>
#include <QSerialPort>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
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
[[maybe_unused]] LineError systemError(LineError::Kind kind) {
    return {kind, QString::fromLocal8Bit(std::strerror(errno))};
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

QString PortAdapter::usbIds() const {
    if (vendorId == 0 && productId == 0) {
        return {};
    }
    return u"%1:%2"_s.arg(uint(vendorId), 4, 16, QChar(u'0')).arg(uint(productId), 4, 16, QChar(u'0'));
}

QStringList PortAdapter::names() const {
    QStringList names;
    for (const QString &name : {manufacturer, product}) {
        if (!name.isEmpty() && !names.contains(name)) {
            names << name;
        }
    }
    return names;
}

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

namespace {

// The table with what the system says of each adapter. The system's list is not asked for when
// TAVRIN_SERIAL_PORTS is set: making it opens the built-in ports (ttyS*) to see whether they exist.
QList<PortDevice> tableWithAdapters() {
    QList<PortDevice> table;
    if (qEnvironmentVariableIsSet("TAVRIN_SERIAL_PORTS")) {
        for (const QString &device : qEnvironmentVariable("TAVRIN_SERIAL_PORTS").split(u':', Qt::SkipEmptyParts)) {
            table.append({0, device, {}});
        }
    } else {
        QStringList devices;
        QHash<QString, PortAdapter> adapters;
        const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
        for (const QSerialPortInfo &info : ports) {
#ifdef Q_OS_WIN
            const QString device = info.portName();
#else
            const QString device = info.systemLocation();
#endif
            PortAdapter adapter;
            adapter.vendorId = info.hasVendorIdentifier() ? info.vendorIdentifier() : 0;
            adapter.productId = info.hasProductIdentifier() ? info.productIdentifier() : 0;
            adapter.manufacturer = info.manufacturer().trimmed();
            adapter.product = info.description().trimmed();
            devices << device;
            adapters.insert(device, adapter);
        }
        for (const QString &device : orderedPorts(devices)) {
            table.append({0, device, adapters.value(device)});
        }
    }
    for (qsizetype i = 0; i < table.size(); ++i) {
        table[i].number = int(i + 1);
    }
    return table;
}

} // namespace

QStringList portTable() {
    QStringList devices;
    for (const PortDevice &port : tableWithAdapters()) {
        devices << port.device;
    }
    return devices;
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

QList<PortDevice> portDevices(int count) {
#ifdef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("TAVRIN_SERIAL_PORTS")) {
        QList<PortDevice> ports;
        for (int n = 1; n <= count; ++n) {
            ports.append({n, u"COM%1"_s.arg(n), {}});
        }
        return ports;
    }
#endif
    return tableWithAdapters().mid(0, qMax(count, 0));
}

LineError openProblem(const QString &device) {
    if (device.isEmpty()) {
        return {LineError::NoDevice, {}};
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
    LineSettings line;
    if (!parseSettings(settings, &line)) {
        m_error = {LineError::BadSettings, settings};
        return false;
    }
    if (device.isEmpty()) {
        m_error = {LineError::NoDevice, {}};
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
        m_error = explainRefusal(device, describe(*port));
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

qint64 SerialLine::writeSome(const char *data, qint64 size) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
#ifdef Q_OS_UNIX
    const ssize_t n = ::write(int(m_port->handle()), data, size_t(size));
    if (n >= 0) {
        return qint64(n);
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return 0;
    }
    m_error = systemError(LineError::WriteFailed);
    return -1;
#else
    // Qt keeps what the system has not taken yet; it counts as queued.
    if (m_port->bytesToWrite() > 0) {
        return 0;
    }
    const qint64 n = m_port->write(data, size);
    if (n < 0) {
        m_error = describe(*m_port);
    }
    return n;
#endif
}

bool SerialLine::waitForRoom(int timeoutMs) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return false;
    }
#ifdef Q_OS_UNIX
    pollfd watch{int(m_port->handle()), POLLOUT, 0};
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
#else
    if (m_port->bytesToWrite() > 0 && !m_port->waitForBytesWritten(timeoutMs) &&
        m_port->error() != QSerialPort::TimeoutError) {
        m_error = describe(*m_port);
        return false;
    }
    m_port->clearError();
    return true;
#endif
}

qint64 SerialLine::queuedBytes() {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
    qint64 queued = m_port->bytesToWrite();
#if defined(TIOCOUTQ)
    int count = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &count) == -1) {
        m_error = systemError(LineError::QueueUnreadable);
        return -1;
    }
    queued += count;
#elif defined(Q_OS_WIN)
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_port->handle(), &errors, &status)) {
        m_error = {LineError::QueueUnreadable, {}};
        return -1;
    }
    queued += qint64(status.cbOutQue);
#endif
    return queued;
}

qint64 SerialLine::lineTimeMs(qint64 characters) const {
    return (characters * m_bitsPerCharacter * 1000 + m_baud - 1) / m_baud;
}

void SerialLine::discardOutput() {
    if (isOpen()) {
        m_port->clear(QSerialPort::Output);
    }
}

void SerialLine::close() {
    if (!m_port) {
        return;
    }
    if (m_port->isOpen()) {
        // Bytes left after a failure or a stop would make the system's close wait for a dead line.
        const LineError error = m_error;
        if (queuedBytes() != 0) {
            m_port->clear(QSerialPort::Output);
        }
        m_error = error;
        m_port->close();
    }
    m_port.reset();
}

} // namespace tavrin::platform
