#pragma once

#include <memory>
#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin::platform {

// The serial line has one implementation per system (serialport_unix.cpp, serialport_win.cpp); what
// they share is in serialport_common.cpp.

// Port number n (1-based) names the n-th device of this table. TAVRIN_SERIAL_PORTS
// (colon-separated device names) replaces the system's list when it is set; otherwise
// the system's serial devices, USB adapters (ttyUSB*, ttyACM*) first. On Windows the table lists
// COM ports (the ones the system knows, unless replaced), and port n is COMn whether it is listed
// or not.
QStringList portTable();

// The same devices in the table's order: ttyUSB*, then ttyACM*, then the rest, numbers read
// naturally within each name (ttyS2 before ttyS10).
QStringList orderedPorts(QStringList devices);

// The device of port n, or an empty string when the table has no such entry.
QString deviceForPort(int n);

// What the system says of the adapter behind a port, where it says anything (USB adapters such as
// CH340, PL2303, CP210x or FTDI chips do; a built-in port or a pseudo-terminal does not).
struct PortAdapter {
    quint16 vendorId = 0; // USB vendor and product ids, 0 when unknown
    quint16 productId = 0;
    QString manufacturer; // the adapter's own names for its maker and itself, as it gives them
    QString product;

    // "1a86:7523", the USB ids as lsusb shows them; empty when they are not known.
    QString usbIds() const;
    // The maker's and the product's names, a name the two share once.
    QStringList names() const;
};

struct PortDevice {
    int number = 0; // port n
    QString device;
    PortAdapter adapter;
};

// The devices of ports 1 to count that the table has, in number order, with their adapters, from
// one look at the system's ports.
QList<PortDevice> portDevices(int count);

// A program that has a device open, as the system names it.
struct DeviceHolder {
    QString program;
    qint64 pid = 0;
};

// Why a serial line failed, as data: each front end words it in its own language. detail holds the
// system's own words for the failure (or the settings text that could not be read), untranslated.
struct LineError {
    enum Kind {
        None,
        BadSettings,      // the settings text could not be read
        NoDevice,         // no device was named
        DeviceMissing,    // the device does not exist
        NoPermission,     // the user may not open the device: see group and owner
        Busy,             // another program holds the port: see holders
        PermissionOrBusy, // one or the other, and the system does not say which
        AlreadyOpen,      // this program holds the port already
        NotASerialPort,   // not a serial device, or it refuses the settings
        Disconnected,     // the device went away or reported an error
        WriteFailed,      // the system refused the bytes
        Timeout,
        QueueUnreadable, // the system would not say how much is still queued
        NotOpen,
        Stalled, // the device took no bytes for a while
        Other,
    };
    LineError() = default;
    LineError(Kind kind, QString detail)
        : kind(kind)
        , detail(std::move(detail)) {}

    Kind kind = None;
    QString detail;
    // NoPermission: the device's owner, and its group when the group's members may use it and the
    // user is not one of them (joining it is what gives access).
    QString owner;
    QString group;
    // Busy: the programs that have the device open, where the system tells.
    QList<DeviceHolder> holders;
};

// Why the device cannot be opened for writing right now; kind None when it can (it is closed again
// at once).
LineError openProblem(const QString &device);
inline bool canOpen(const QString &device) {
    return openProblem(device).kind == LineError::None;
}

// A device that refused to open with a permission error, looked at more closely: the user's rights
// to the device, or the programs holding it. Other errors come back as they are.
LineError explainRefusal(const QString &device, LineError error);

// A serial line opened for one action and closed after it. Every call reports failure in error().
class SerialLine {
public:
    SerialLine();
    ~SerialLine();
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    // settings like "9600,n,8,1": baud, parity (n/e/o/m/s), data bits, stop bits. No flow control.
    bool open(const QString &device, const QString &settings);
    bool isOpen() const;
    // Hands the system as many of the bytes as it takes at once, without waiting: the number taken
    // (0 while its queue is full), or -1 when the line failed.
    qint64 writeSome(const char *data, qint64 size);
    // Waits up to timeoutMs until the system takes bytes again. True when it does or the time is
    // up, false when the line failed.
    bool waitForRoom(int timeoutMs);
    // The bytes handed to the system that have not left the port yet, or -1 when the line failed.
    qint64 queuedBytes();
    // The line time of this many characters, in milliseconds, rounded up.
    qint64 lineTimeMs(qint64 characters) const;
    // How long the device itself may still be sending once the system's queue is empty: a UART's
    // FIFO or a USB adapter's buffer. Zero for a pseudo-terminal, which has no wire.
    int settleMs() const { return m_settleMs; }
    // Throws away what the system still holds for the line.
    void discardOutput();
    // Whatever is still queued is discarded, so a dead line cannot hold up the close: wait for the
    // queue to empty first.
    void close();
    const LineError &error() const { return m_error; }

private:
    struct Port; // the system's handle and what goes with it
    std::unique_ptr<Port> m_port;
    LineError m_error;
    int m_bitsPerCharacter = 10;
    int m_baud = 9600;
    int m_settleMs = 0;
};

} // namespace tavrin::platform
