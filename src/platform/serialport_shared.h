#pragma once

// What serialport_common.cpp shares with the implementation for each system; not part of the interface.

#include "platform/serialport.h"

#include <QString>

namespace tavrin::platform::detail {

struct LineSettings {
    qint32 baud = 0;
    char parity = 'n'; // n, e, o, m or s
    int dataBits = 8;
    enum StopBits { OneStop, OneAndHalfStop, TwoStop } stopBits = OneStop;
    int bitsPerCharacter = 10; // start bit, data bits, parity bit, stop bits
};

// Reads "9600,n,8,1": baud, parity letter, data bits, stop bits (1, 1.5 or 2).
bool parseSettings(const QString &text, LineSettings *settings);

// Reads the settings and checks that a device is named; false with the error when not.
bool checkOpen(const QString &device, const QString &settings, LineSettings *line, LineError *error);

// How long a UART FIFO or a USB adapter may still be sending once the system's queue is empty.
int settleTimeMs(const LineSettings &line);

// The system's serial devices with what it says of their adapters, in no particular order.
QList<PortDevice> systemPorts();

// The port number of a device of the table: its place in the table (from 1) on Linux, n for COMn
// on Windows; 0 when it has none.
int systemPortNumber(const QString &device, int place);

// The device of port n when the system names it by its number alone (COMn), or an empty text.
QString numberedDevice(int n);

} // namespace tavrin::platform::detail
