#include "link/boardlink.h"

#include "base/hexdigit.h"
#include "platform/serialport.h"

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace tavrin::link {

namespace {

// Each byte must be taken by the system within this time; a line that stops taking bytes
// (cable pulled, device gone) is given up after it.
constexpr int byteTimeoutMs = 3000;
// The queue left at the end must keep going down; no progress for this long is a dead line.
constexpr int drainStallMs = 3000;

QString portName(const QString &label, const QString &device) {
    if (label.isEmpty() || label == device) {
        return u"“%1”"_s.arg(device);
    }
    return u"“%1”（%2）"_s.arg(label, device);
}

} // namespace

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

QList<PortChoice> openablePorts() {
    QList<PortChoice> ports;
    for (int n = 1; n <= offeredPorts; ++n) {
        const QString device = platform::deviceForPort(n);
        if (!device.isEmpty() && platform::canOpen(device)) {
            ports.append({u"COM "_s + QString::number(n), device});
        }
    }
    return ports;
}

PortResolution resolvePort(const QString &portText) {
    const QString text = portText.trimmed();
    if (text.isEmpty()) {
        return {{}, u"没有选择串口，请先选择串口号。"_s};
    }
    if (text.startsWith(u'/')) {
        return {text, {}};
    }
    const int number = portNumber(text);
    if (number < 1) {
        return {{}, u"“%1”不是有效的串口号，请选择或输入如“COM 1”的串口号。"_s.arg(text)};
    }
    const QString device = platform::deviceForPort(number);
    if (device.isEmpty()) {
        return {{}, u"找不到串口“%1”：本机没有第 %2 号串口。"_s.arg(text, QString::number(number))};
    }
    return {device, {}};
}

SendResult sendBytes(const QString &portLabel, const QString &device, const QByteArray &bytes,
                     const std::function<void(double fraction)> &progress) {
    const QString port = portName(portLabel, device);
    if (device.isEmpty()) {
        return {false, u"没有指定串口%1的设备。"_s.arg(portLabel.isEmpty() ? QString() : u"“%1”"_s.arg(portLabel))};
    }

    platform::SerialLine line;
    if (!line.open(device, QString::fromLatin1(lineSettings))) {
        return {false, u"无法打开串口%1：%2。"_s.arg(port, line.errorString())};
    }

    // The fraction follows the hex text the bytes came from: positions 1, 3, 5 … of its length.
    const double textLength = 2.0 * double(bytes.size());
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        if (progress) {
            progress(double(2 * k + 1) / textLength);
        }
        if (!line.writeByte(bytes.at(k), byteTimeoutMs)) {
            const QString reason = line.errorString();
            line.close();
            return {false, u"向串口%1写数据失败，%2 个字节只送出了 %3 个：%4。"_s.arg(
                               port, QString::number(bytes.size()), QString::number(k), reason)};
        }
    }
    if (!line.drain(drainStallMs)) {
        const QString reason = line.errorString();
        line.close();
        return {false, u"串口%1的数据没有全部送出：%2。"_s.arg(port, reason)};
    }
    line.close();
    return {true, {}};
}

} // namespace tavrin::link
