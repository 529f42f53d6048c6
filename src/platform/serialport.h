#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QSerialPort;

namespace tavrin::platform {

// Port number n (1-based) names the n-th device of this table. TAVRIN_SERIAL_PORTS
// (colon-separated device paths) replaces the system's list when it is set; otherwise
// the system's serial devices, USB adapters (ttyUSB*, ttyACM*) first. On Windows port n is COMn.
QStringList portTable();

// The same devices in the table's order: ttyUSB*, then ttyACM*, then the rest, numbers read
// naturally within each name (ttyS2 before ttyS10).
QStringList orderedPorts(QStringList devices);

// The device of port n, or an empty string when the table has no such entry.
QString deviceForPort(int n);

// True when the device can be opened for writing right now (it is closed again at once).
bool canOpen(const QString &device);

// A serial line opened for one action and closed after it. Every call reports failure
// with a message naming the system's reason in errorString().
class SerialLine {
public:
    SerialLine();
    ~SerialLine();
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    // settings like "9600,n,8,1": baud, parity (n/e/o/m/s), data bits, stop bits. No flow control.
    bool open(const QString &device, const QString &settings);
    bool isOpen() const;
    // Hands one byte to the line and waits until the OS took it; fails after timeoutMs.
    bool writeByte(char byte, int timeoutMs);
    // Waits until the OS output queue has gone out on the line, and the device's own few
    // characters after it; fails when the queue stops going down for timeoutMs, or takes far
    // longer than its line time.
    bool drain(int timeoutMs);
    // Whatever is still queued is discarded, so a dead line cannot hold up the close: drain first.
    void close();
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QSerialPort> m_port;
    QString m_error;
    int m_bitsPerCharacter = 10;
    int m_baud = 9600;
    int m_settleMs = 0;
};

} // namespace tavrin::platform
