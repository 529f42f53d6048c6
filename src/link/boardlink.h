#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>

namespace tavrin::link {

inline constexpr auto eraseCommand = "3333000d";
inline constexpr auto writeCommand = "3333f00d";
inline constexpr auto lineSettings = "9600,n,8,1";

// The text sendcode puts on the line: the command, and for a command whose fifth digit
// is 'f' the content code after it.
QString frameText(const QString &command, const QString &contentCode);

// Two hex digits to a byte in text order, either letter case; a single last digit is one byte.
QByteArray frameBytes(const QString &text);

// The number in a port item such as "COM 3", "COM12" or a typed "COM5": the integer value of
// the text from its fourth character on; 0 when there is none.
int portNumber(const QString &portText);

// The ports a user is offered: port numbers 1 to this.
inline constexpr int offeredPorts = 16;

struct PortChoice {
    QString label;  // "COM n"
    QString device; // the device of port n
};

// Ports 1 to offeredPorts whose device can be opened right now, in number order.
QList<PortChoice> openablePorts();

struct PortResolution {
    QString device; // empty when the text names no usable port
    QString error;  // a message for the user when device is empty
};

// A text starting with "/" is a device path used as it stands; otherwise its port number is
// looked up in the port table.
PortResolution resolvePort(const QString &portText);

struct SendResult {
    bool ok = false;
    QString error; // names the port and the system's reason
};

// Opens device with lineSettings, writes bytes one at a time in order (calling progress before
// each byte with the fraction done, as the text positions 1, 3, 5 … over the text length), drains
// the line, and always closes the port. Gives up within a few seconds if the other end stops
// taking bytes.
SendResult sendBytes(const QString &portLabel, const QString &device, const QByteArray &bytes,
                     const std::function<void(double fraction)> &progress);

} // namespace tavrin::link
