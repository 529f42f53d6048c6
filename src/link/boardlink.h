#pragma once

#include "platform/serialport.h"

#include <atomic>
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
    platform::PortAdapter adapter;
    platform::LineError problem; // why it cannot be opened right now; kind None when it can
};

// Ports 1 to offeredPorts whose device is there, each with what keeps it from being opened, in
// number order, from one look at the system's ports.
QList<PortChoice> surveyPorts();

// Those of them that can be opened right now.
QList<PortChoice> openablePorts();

// Whether any of these ports can be opened.
bool anyUsable(const QList<PortChoice> &ports);

// Why a port could not be used or a send did not finish, as data: each front end words it.
struct LinkFailure {
    enum Reason {
        None,
        NoPortChosen, // the port text is empty
        NotAPort,     // the text names no port number
        NoSuchPort,   // the port table has no entry for the number
        NoDevice,     // a send was asked of no device
        OpenFailed,
        WriteFailed, // the line failed or stalled while the bytes were being handed over
        NotAllSent,  // everything was handed over, but not all of it left the port
    };
    Reason reason = None;
    QString port;   // as the user named it: a list item, a typed text or a device path
    QString device; // the device it led to, when it led to one
    int portNumber = 0;
    qint64 total = 0;         // bytes the send was to deliver
    qint64 delivered = 0;     // bytes that left the port before it failed
    platform::LineError line; // the line's own reason, for the last three
    // NoPortChosen and NoSuchPort: what the machine has, to say why no port could be offered.
    QList<PortChoice> ports;

    explicit operator bool() const { return reason != None; }
};

// A line whose queue does not go down for this long is given up.
inline constexpr int stallSeconds = 3;

struct PortResolution {
    QString device; // empty when the text names no usable port
    LinkFailure failure;
};

// A text starting with "/" is a device path used as it stands; otherwise its port number is
// looked up in the port table.
PortResolution resolvePort(const QString &portText);

enum class SendStatus {
    Sent,      // every byte has left the port
    Failed,    // the port could not be opened, or the line failed or stopped taking bytes
    Cancelled, // stopped on request: what was still queued was discarded
};

struct SendResult {
    SendStatus status = SendStatus::Failed;
    qint64 delivered = 0; // bytes that left the port
    qint64 total = 0;
    LinkFailure failure; // why, when failed

    bool sent() const { return status == SendStatus::Sent; }
};

// How often a send reports its progress while it runs.
inline constexpr int progressIntervalMs = 40;

// Opens device with lineSettings, hands the bytes to the system in order as fast as it takes them,
// waits until the last one has left the port, and always closes the port. progress gets the bytes
// that have left the port (handed over minus the system's output queue) at the start, every
// progressIntervalMs or so while it runs, and at the end. A set stop ends the send within about
// progressIntervalMs, discarding what is still queued. Gives up within a few seconds if the line
// stops taking bytes.
SendResult sendBytes(const QString &portLabel, const QString &device, const QByteArray &bytes,
                     const std::function<void(qint64 delivered, qint64 total)> &progress,
                     const std::atomic<bool> *stop = nullptr);

} // namespace tavrin::link
