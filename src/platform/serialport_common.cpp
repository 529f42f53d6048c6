#include "platform/serialport.h"
#include "serialport_shared.h"

#include <algorithm>
#include <tuple>

#include <QHash>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace detail {

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
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity)) {
        return false;
    }
    settings->parity = char(parity.at(0).unicode());
    const int parityBits = settings->parity == 'n' ? 0 : 1;

    const int dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) {
        return false;
    }
    settings->dataBits = dataBits;

    const QString stop = parts[3].trimmed();
    int stopBits = 1;
    if (stop == u"1") {
        settings->stopBits = LineSettings::OneStop;
    } else if (stop == u"1.5") {
        settings->stopBits = LineSettings::OneAndHalfStop;
        stopBits = 2;
    } else if (stop == u"2") {
        settings->stopBits = LineSettings::TwoStop;
        stopBits = 2;
    } else {
        return false;
    }
    settings->bitsPerCharacter = 1 + dataBits + parityBits + stopBits;
    return true;
}

bool checkOpen(const QString &device, const QString &settings, LineSettings *line, LineError *error) {
    if (!parseSettings(settings, line)) {
        *error = {LineError::BadSettings, settings};
        return false;
    }
    if (device.isEmpty()) {
        *error = {LineError::NoDevice, {}};
        return false;
    }
    return true;
}

// Characters a UART FIFO or a USB adapter may still hold once the system's queue is empty.
constexpr int deviceBufferCharacters = 32;

int settleTimeMs(const LineSettings &line) {
    return (deviceBufferCharacters * line.bitsPerCharacter * 1000 + line.baud - 1) / line.baud;
}

} // namespace detail

namespace {

// Sorts device names so that equal stems with numbers read naturally: ttyS2 before ttyS10.
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

namespace {

// The table with what the system says of each adapter, each entry numbered. The system's list is
// not asked for when TAVRIN_SERIAL_PORTS is set: making it opens the built-in ports (ttyS*) to see
// whether they exist.
QList<PortDevice> tableWithAdapters() {
    QList<PortDevice> table;
    if (qEnvironmentVariableIsSet("TAVRIN_SERIAL_PORTS")) {
        for (const QString &device : qEnvironmentVariable("TAVRIN_SERIAL_PORTS").split(u':', Qt::SkipEmptyParts)) {
            table.append({0, device, {}});
        }
    } else {
        QStringList devices;
        QHash<QString, PortAdapter> adapters;
        for (const PortDevice &port : detail::systemPorts()) {
            devices << port.device;
            adapters.insert(port.device, port.adapter);
        }
        for (const QString &device : orderedPorts(devices)) {
            table.append({0, device, adapters.value(device)});
        }
    }
    for (qsizetype i = 0; i < table.size(); ++i) {
        table[i].number = detail::systemPortNumber(table[i].device, int(i + 1));
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
    if (QString device = detail::numberedDevice(n); !device.isEmpty()) {
        return device;
    }
    const QStringList table = portTable();
    return n <= table.size() ? table.at(n - 1) : QString();
}

QList<PortDevice> portDevices(int count) {
    QList<PortDevice> ports;
    for (const PortDevice &port : tableWithAdapters()) {
        if (port.number >= 1 && port.number <= count) {
            ports.append(port);
        }
    }
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortDevice &a, const PortDevice &b) { return a.number < b.number; });
    return ports;
}

qint64 SerialLine::lineTimeMs(qint64 characters) const {
    return (characters * m_bitsPerCharacter * 1000 + m_baud - 1) / m_baud;
}

} // namespace tavrin::platform
