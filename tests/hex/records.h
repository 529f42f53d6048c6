#pragma once

#include <QByteArray>
#include <QString>

// A record line taken apart independently of the builder, for checking what it wrote.
struct ParsedRecord {
    bool valid = false; // syntax, length and checksum all right
    int count = 0;
    int address = 0;
    int type = -1;
    QByteArray data;
};

inline ParsedRecord parseRecord(const QString &line) {
    ParsedRecord record;
    if (!line.startsWith(u':') || line.size() < 11 || line.size() % 2 == 0) {
        return record;
    }
    const QByteArray bytes = QByteArray::fromHex(line.mid(1).toLatin1());
    if (bytes.size() * 2 != line.size() - 1 ||
        bytes.toHex().compare(line.mid(1).toLatin1(), Qt::CaseInsensitive) != 0) {
        return record;
    }
    int sum = 0;
    for (const char b : bytes) {
        sum += static_cast<unsigned char>(b);
    }
    record.count = static_cast<unsigned char>(bytes.at(0));
    record.address = static_cast<unsigned char>(bytes.at(1)) * 256 + static_cast<unsigned char>(bytes.at(2));
    record.type = static_cast<unsigned char>(bytes.at(3));
    record.data = bytes.mid(4, record.count);
    record.valid = sum % 256 == 0 && bytes.size() == record.count + 5;
    return record;
}
