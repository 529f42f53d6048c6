// The serial line on Windows, on the Win32 API: COMn opened with CreateFileW, one overlapped write
// in flight at a time, and the driver's output queue read for the progress.
#include "platform/serialport.h"
#include "serialport_shared.h"
#include "systemwords_win.h"

#include <algorithm>
#include <iterator>
#include <string>

#include <QHash>
#include <QRegularExpression>
// windows.h first: the others need its types.
// clang-format off
#include <windows.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

using detail::systemWords;

// One write holds no more than this: the bar follows a pending write no more coarsely, and a stop
// has at most this much to throw away in the driver.
constexpr DWORD writeChunk = 256;

LineError systemError(LineError::Kind kind, DWORD code = GetLastError()) {
    return {kind, systemWords(code)};
}

LineError::Kind openFailure(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return LineError::DeviceMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return LineError::PermissionOrBusy;
    default:
        return LineError::Other;
    }
}

LineError::Kind writeFailure(DWORD code) {
    switch (code) {
    // What a USB adapter pulled out mid-write answers with; Wine answers ERROR_NOT_READY when the
    // other end of a pseudo-terminal has gone.
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_HANDLE:
        return LineError::Disconnected;
    case ERROR_TIMEOUT:
    case ERROR_SEM_TIMEOUT:
        return LineError::Timeout;
    default:
        return LineError::WriteFailed;
    }
}

// "COM12" and "\\.\COM12" both name the device \\.\COM12: beyond COM9 only the long form works.
std::wstring devicePath(const QString &device) {
    const QString path = device.startsWith(u"\\\\.\\") ? device : u"\\\\.\\"_s + device;
    return path.toStdWString();
}

// Opened for reading too, though nothing is read: Wine answers the line's settings, queue and purge
// calls only on a handle that may read (a write-only one gets "access denied" from SetCommState,
// while its writes go through).
HANDLE openDevice(const QString &device) {
    return CreateFileW(devicePath(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

BYTE parityOf(char letter) {
    switch (letter) {
    case 'e':
        return EVENPARITY;
    case 'o':
        return ODDPARITY;
    case 'm':
        return MARKPARITY;
    case 's':
        return SPACEPARITY;
    default:
        return NOPARITY;
    }
}

BYTE stopBitsOf(detail::LineSettings::StopBits bits) {
    switch (bits) {
    case detail::LineSettings::OneAndHalfStop:
        return ONE5STOPBITS;
    case detail::LineSettings::TwoStop:
        return TWOSTOPBITS;
    default:
        return ONESTOPBIT;
    }
}

// Sets speed, framing and no flow control, DTR and RTS raised as a terminal program leaves them;
// the rest of the device's state is kept.
bool configure(HANDLE handle, const detail::LineSettings &line) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb)) {
        return false;
    }
    dcb.BaudRate = DWORD(line.baud);
    dcb.ByteSize = BYTE(line.dataBits);
    dcb.Parity = parityOf(line.parity);
    dcb.StopBits = stopBitsOf(line.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity != 'n';
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return SetCommState(handle, &dcb);
}

// A write may take twice its line time and a few seconds more before the driver gives it up, so
// that a stuck line ends the write as a failure rather than holding it for ever.
bool setTimeouts(HANDLE handle, const detail::LineSettings &line) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD; // reads return at once with what is there
    timeouts.WriteTotalTimeoutMultiplier = DWORD(std::max(1, 2 * line.bitsPerCharacter * 1000 / line.baud));
    timeouts.WriteTotalTimeoutConstant = 5000;
    return SetCommTimeouts(handle, &timeouts);
}

// A device's property as text: the first of a list of texts (the hardware ids), empty when the
// device has none.
QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA &device, DWORD property) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE *>(text),
                                           sizeof(text) - 2 * sizeof(wchar_t), nullptr) ||
        (type != REG_SZ && type != REG_MULTI_SZ)) {
        return {};
    }
    return QString::fromWCharArray(text).trimmed();
}

// The COM name a port's driver gave it, from the device's own key.
QString portName(HDEVINFO set, SP_DEVINFO_DATA &device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD bytes = sizeof(name) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE *>(name), &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? QString::fromWCharArray(name).trimmed().toUpper() : QString();
}

// The adapters behind the ports, by COM name, as the device manager knows them: a USB adapter's
// ids are in its hardware id ("USB\VID_1A86&PID_7523&REV_0264"), its names in the maker and
// description its driver gives.
QHash<QString, PortAdapter> portAdapters() {
    QHash<QString, PortAdapter> adapters;
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return adapters;
    }
    static const QRegularExpression usbIds(u"VID_([0-9A-F]{4})&PID_([0-9A-F]{4})"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const QString port = portName(set, device);
        if (port.isEmpty()) {
            continue;
        }
        PortAdapter adapter;
        if (const QRegularExpressionMatch ids = usbIds.match(deviceProperty(set, device, SPDRP_HARDWAREID));
            ids.hasMatch()) {
            adapter.vendorId = quint16(ids.captured(1).toUInt(nullptr, 16));
            adapter.productId = quint16(ids.captured(2).toUInt(nullptr, 16));
        }
        adapter.manufacturer = deviceProperty(set, device, SPDRP_MFG);
        adapter.product = deviceProperty(set, device, SPDRP_DEVICEDESC);
        adapters.insert(port, adapter);
    }
    SetupDiDestroyDeviceInfoList(set);
    return adapters;
}

} // namespace

namespace detail {

// HARDWARE\DEVICEMAP\SERIALCOMM lists every COM port a driver has made, whatever the adapter;
// the device manager adds what it knows of the adapter behind each.
QList<PortDevice> systemPorts() {
    QList<PortDevice> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = DWORD(std::size(name));
        wchar_t data[256];
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status =
            RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE *>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        const QString port = QString::fromWCharArray(data).trimmed();
        if (!port.isEmpty()) {
            ports.append({0, port, {}});
        }
    }
    RegCloseKey(key);
    if (!ports.isEmpty()) {
        const QHash<QString, PortAdapter> adapters = portAdapters();
        for (PortDevice &port : ports) {
            port.adapter = adapters.value(port.device.toUpper());
        }
    }
    return ports;
}

int systemPortNumber(const QString &device, int) {
    QString name = device;
    name.remove(u"\\\\.\\"_s);
    if (!name.startsWith(u"COM", Qt::CaseInsensitive)) {
        return 0;
    }
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    return ok ? n : 0;
}

QString numberedDevice(int n) {
    return u"COM%1"_s.arg(n);
}

} // namespace detail

struct SerialLine::Port {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    QByteArray pending; // the bytes of the write in flight; empty when none is
};

LineError openProblem(const QString &device) {
    if (device.isEmpty()) {
        return {LineError::NoDevice, {}};
    }
    const HANDLE handle = openDevice(device);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return systemError(openFailure(code), code);
    }
    // Something that opens but is no serial device (NUL, a printer) is no port either.
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    const LineError problem = GetCommState(handle, &dcb) ? LineError() : systemError(LineError::NotASerialPort);
    CloseHandle(handle);
    return problem;
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
    const HANDLE handle = openDevice(device);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        m_error = systemError(openFailure(code), code);
        return false;
    }
    if (!configure(handle, line) || !setTimeouts(handle, line)) {
        m_error = systemError(LineError::NotASerialPort);
        CloseHandle(handle);
        return false;
    }
    PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    auto port = std::make_unique<Port>();
    port->handle = handle;
    port->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!port->overlapped.hEvent) {
        m_error = systemError(LineError::Other);
        CloseHandle(handle);
        return false;
    }
    m_port = std::move(port);
    m_bitsPerCharacter = line.bitsPerCharacter;
    m_baud = line.baud;
    // A COM port's driver hands bytes to a UART or a USB adapter that still holds some.
    m_settleMs = detail::settleTimeMs(line);
    return true;
}

bool SerialLine::isOpen() const {
    return m_port != nullptr;
}

namespace {

// Collects the write in flight once it has finished: false when it failed or the driver gave up on
// part of it, which is then never counted as sent.
bool finishPending(HANDLE handle, OVERLAPPED *overlapped, QByteArray *pending, LineError *error) {
    if (pending->isEmpty()) {
        return true;
    }
    DWORD written = 0;
    if (!GetOverlappedResult(handle, overlapped, &written, FALSE)) {
        const DWORD code = GetLastError();
        if (code == ERROR_IO_INCOMPLETE) {
            return true;
        }
        pending->clear();
        *error = systemError(writeFailure(code), code);
        return false;
    }
    const bool whole = written == DWORD(pending->size());
    pending->clear();
    if (!whole) {
        *error = systemError(LineError::Timeout, ERROR_TIMEOUT);
    }
    return whole;
}

} // namespace

qint64 SerialLine::writeSome(const char *data, qint64 size) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
    if (!finishPending(m_port->handle, &m_port->overlapped, &m_port->pending, &m_error)) {
        return -1;
    }
    if (!m_port->pending.isEmpty() || size <= 0) {
        return 0;
    }
    m_port->pending = QByteArray(data, qsizetype(std::min<qint64>(size, writeChunk)));
    ResetEvent(m_port->overlapped.hEvent);
    DWORD written = 0;
    if (WriteFile(m_port->handle, m_port->pending.constData(), DWORD(m_port->pending.size()), &written,
                  &m_port->overlapped)) {
        const qint64 taken = m_port->pending.size();
        // Finished at once; a short count means the driver timed out.
        m_port->pending.clear();
        if (qint64(written) != taken) {
            m_error = systemError(LineError::Timeout, ERROR_TIMEOUT);
            return -1;
        }
        return taken;
    }
    const DWORD code = GetLastError();
    if (code != ERROR_IO_PENDING) {
        m_port->pending.clear();
        m_error = systemError(writeFailure(code), code);
        return -1;
    }
    // Handed over: queuedBytes() counts it until the driver reports it done.
    return m_port->pending.size();
}

bool SerialLine::waitForRoom(int timeoutMs) {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return false;
    }
    if (!m_port->pending.isEmpty()) {
        WaitForSingleObject(m_port->overlapped.hEvent, DWORD(std::max(timeoutMs, 0)));
    }
    return finishPending(m_port->handle, &m_port->overlapped, &m_port->pending, &m_error);
}

qint64 SerialLine::queuedBytes() {
    if (!isOpen()) {
        m_error = {LineError::NotOpen, {}};
        return -1;
    }
    if (!finishPending(m_port->handle, &m_port->overlapped, &m_port->pending, &m_error)) {
        return -1;
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_port->handle, &errors, &status)) {
        m_error = systemError(LineError::QueueUnreadable);
        return -1;
    }
    // Some drivers count the write in flight in their queue, others only what it has moved there.
    return std::max<qint64>(qint64(status.cbOutQue), m_port->pending.size());
}

void SerialLine::discardOutput() {
    if (isOpen()) {
        PurgeComm(m_port->handle, PURGE_TXABORT | PURGE_TXCLEAR);
    }
}

void SerialLine::close() {
    if (!m_port) {
        return;
    }
    // What is still queued after a failure or a stop is thrown away, and the write in flight is
    // waited for once it has been aborted: its buffer must outlive it.
    if (!m_port->pending.isEmpty()) {
        PurgeComm(m_port->handle, PURGE_TXABORT | PURGE_TXCLEAR);
        CancelIoEx(m_port->handle, &m_port->overlapped);
        DWORD written = 0;
        GetOverlappedResult(m_port->handle, &m_port->overlapped, &written, TRUE);
    } else {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(m_port->handle, &errors, &status) || status.cbOutQue > 0) {
            PurgeComm(m_port->handle, PURGE_TXABORT | PURGE_TXCLEAR);
        }
    }
    CloseHandle(m_port->overlapped.hEvent);
    CloseHandle(m_port->handle);
    m_port.reset();
}

} // namespace tavrin::platform
