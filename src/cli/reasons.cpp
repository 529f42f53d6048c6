#include "reasons.h"

#include "compose/geometry.h"
#include "compose/picture.h"
#include "compose/preparation.h"
#include "encode/codefile.h"
#include "hex/firmware.h"
#include "hex/firmwareimage.h"
#include "hex/hexreader.h"
#include "hex/hexrecords.h"
#include "link/boardlink.h"
#include "project/project.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

QString portName(const link::LinkFailure &failure) {
    if (failure.port.isEmpty() || failure.port == failure.device) {
        return u"\"%1\""_s.arg(failure.device);
    }
    return u"\"%1\" (%2)"_s.arg(failure.port, failure.device);
}

QString progressText(const link::LinkFailure &failure) {
    return u"%1 of %2 bytes left it"_s.arg(failure.delivered).arg(failure.total);
}

// The ports' own reasons when none of them can be used; empty when one can.
QString whenNoPortIsUsable(const QList<link::PortChoice> &ports) {
    return link::anyUsable(ports) ? QString() : u"; "_s + noPortsText(ports);
}

QString hex2(int value) {
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString recordTypeName(int type) {
    switch (type) {
    case 0x02:
        return u"extended segment address"_s;
    case 0x03:
        return u"start segment address"_s;
    case 0x04:
        return u"extended linear address"_s;
    case 0x05:
        return u"start linear address"_s;
    default:
        return u"unknown"_s;
    }
}

QString lineFaultText(const hex::HexFault &fault) {
    using hex::HexFault;
    switch (fault.kind) {
    case HexFault::NoColon:
        return u"does not start with ':'"_s;
    case HexFault::NotARecord:
        return u"is not a record: it needs an even number of hex digits, at least 10, after ':'"_s;
    case HexFault::NotHexDigit:
        return u"holds %1, which is not a hex digit"_s.arg(
            fault.character.isPrint()
                ? u"'%1'"_s.arg(fault.character)
                : u"U+%1"_s.arg(QString::number(fault.character.unicode(), 16).toUpper().rightJustified(4, u'0')));
    case HexFault::WrongLength:
        return u"announces %1 data bytes but carries %2"_s.arg(fault.first).arg(fault.second);
    case HexFault::WrongChecksum:
        return u"has checksum %1, but its bytes give %2"_s.arg(hex2(fault.first), hex2(fault.second));
    case HexFault::DataAfterEnd:
        return u"data after the end-of-file record of line %1"_s.arg(fault.first);
    case HexFault::EndCarriesData:
        return u"the end-of-file record carries data"_s;
    case HexFault::UnsupportedRecord:
        return u"record type %1 (%2) is not supported: only data (00) and end-of-file (01) records belong in a "
               u"64 KB image"_s.arg(hex2(fault.first), recordTypeName(fault.first));
    case HexFault::PastAddressSpace:
        return u"data from %1 runs past address FFFF"_s.arg(hex::hexAddress(fault.first));
    case HexFault::Overlap:
        return u"overlaps data already given for address %1"_s.arg(hex::hexAddress(fault.first));
    default:
        return {};
    }
}

} // namespace

QString linkFailureText(const link::LinkFailure &failure) {
    using link::LinkFailure;
    switch (failure.reason) {
    case LinkFailure::NoPortChosen:
        return u"no port chosen: give --port COM n or a device path"_s + whenNoPortIsUsable(failure.ports);
    case LinkFailure::NotAPort:
        return u"\"%1\" is not a port: give one such as \"COM 1\" or a device path"_s.arg(failure.port);
    case LinkFailure::NoSuchPort:
        return u"cannot find port \"%1\": this machine has no serial port number %2"_s.arg(
                   failure.port, QString::number(failure.portNumber)) +
               whenNoPortIsUsable(failure.ports);
    case LinkFailure::NoDevice:
        return u"no device given for port \"%1\""_s.arg(failure.port);
    case LinkFailure::OpenFailed:
        return u"cannot open port %1: %2"_s.arg(portName(failure), lineErrorText(failure.line));
    case LinkFailure::WriteFailed:
        return u"writing to port %1 failed, %2: %3"_s.arg(portName(failure), progressText(failure),
                                                          lineErrorText(failure.line));
    case LinkFailure::NotAllSent:
        return u"not all data left port %1, %2: %3"_s.arg(portName(failure), progressText(failure),
                                                          lineErrorText(failure.line));
    case LinkFailure::None:
        break;
    }
    return {};
}

QString lineErrorText(const platform::LineError &error) {
    using platform::LineError;
    QString what;
    QString advice; // what the user can do about it
    switch (error.kind) {
    case LineError::BadSettings:
        return u"invalid line settings \"%1\""_s.arg(error.detail);
    case LineError::NoDevice:
        what = u"no device named"_s;
        break;
    case LineError::DeviceMissing:
        what = u"the device does not exist"_s;
        break;
    case LineError::NoPermission:
        what = u"no permission to use the device"_s;
        if (!error.group.isEmpty()) {
            advice = u"to use it, the user must join its group \"%1\": run sudo usermod -aG %1 \"$USER\", then log "
                     u"out and in again (the new group counts from the next login)"_s.arg(error.group);
        } else if (!error.owner.isEmpty()) {
            advice = u"only its owner \"%1\" may use it"_s.arg(error.owner);
        }
        break;
    case LineError::Busy:
        if (error.holders.isEmpty()) {
            what = u"another program is using the port"_s;
        } else {
            QStringList holders;
            for (const platform::DeviceHolder &holder : error.holders) {
                holders << u"%1 (process %2)"_s.arg(holder.program, QString::number(holder.pid));
            }
            what = u"the port is in use by "_s + holders.join(u", "_s);
            advice = u"close it and try again"_s;
        }
        break;
    case LineError::PermissionOrBusy:
        what = u"no permission, or another program is using the port"_s;
        break;
    case LineError::AlreadyOpen:
        what = u"the port is already open"_s;
        break;
    case LineError::NotASerialPort:
        what = u"not a serial device, or it refuses these settings"_s;
        break;
    case LineError::Disconnected:
        what = u"the device was disconnected or failed"_s;
        break;
    case LineError::WriteFailed:
        what = u"write error"_s;
        break;
    case LineError::Timeout:
        what = u"timed out"_s;
        break;
    case LineError::QueueUnreadable:
        what = u"cannot read the output queue"_s;
        break;
    case LineError::NotOpen:
        what = u"the port is not open"_s;
        break;
    case LineError::Stalled:
        what = u"the device took no data for %1 seconds"_s.arg(link::stallSeconds);
        break;
    case LineError::Other:
    case LineError::None:
        what = u"error"_s;
        break;
    }
    if (!error.detail.isEmpty()) {
        what = u"%1 (%2)"_s.arg(what, error.detail);
    }
    return advice.isEmpty() ? what : u"%1; %2"_s.arg(what, advice);
}

QString adapterText(const platform::PortAdapter &adapter) {
    const QString names = adapter.names().join(u", "_s);
    if (adapter.usbIds().isEmpty()) {
        return names.isEmpty() ? u"adapter unknown"_s : names;
    }
    return names.isEmpty() ? u"USB "_s + adapter.usbIds() : u"USB %1 (%2)"_s.arg(adapter.usbIds(), names);
}

QString noPortsText(const QList<link::PortChoice> &ports) {
    if (ports.isEmpty()) {
#ifdef Q_OS_WIN
        return u"no serial port found: check that the board's USB serial adapter is plugged in and its cable is "
               u"sound, and that the adapter's driver is installed (Device Manager lists the adapter under "
               u"\"Ports (COM & LPT)\" once it is)"_s;
#else
        return u"no serial port found: check that the board's USB serial adapter is plugged in and its cable is "
               u"sound, and that the system has a driver for it (it then shows as /dev/ttyUSB0 or /dev/ttyACM0; "
               u"dmesg tells what the system saw when it was plugged in)"_s;
#endif
    }
    QStringList reasons;
    for (const link::PortChoice &port : ports) {
        reasons << u"%1 (%2): %3"_s.arg(port.label, port.device, lineErrorText(port.problem));
    }
    return u"no serial port can be opened: "_s + reasons.join(u"; "_s);
}

QString pictureProblemText(const compose::LoadedPicture &loaded) {
    using compose::LoadedPicture;
    switch (loaded.problem) {
    case LoadedPicture::Missing:
    case LoadedPicture::NotAFile:
    case LoadedPicture::Unreadable:
        return loaded.file ? fileFaultText(loaded.file) : u"the file cannot be read"_s;
    case LoadedPicture::TooLarge:
        return u"the picture is %1 × %2 dots, larger than can be handled (at most %3 on a side and %4 MB)"_s
            .arg(loaded.size.width())
            .arg(loaded.size.height())
            .arg(compose::maxPictureSide)
            .arg(compose::maxPictureBytes / (1024 * 1024));
    case LoadedPicture::UnknownFormat:
        return u"not a picture format that can be read (BMP, JPG, GIF, PNG)"_s;
    case LoadedPicture::Damaged:
        return u"the picture is damaged or incomplete"_s;
    case LoadedPicture::NoSuchFrame:
        return loaded.frames == 1
                   ? u"there is no frame %1: the picture has one frame"_s.arg(loaded.frame + 1)
                   : u"there is no frame %1: the picture has %2 frames"_s.arg(loaded.frame + 1).arg(loaded.frames);
    case LoadedPicture::None:
        break;
    }
    return {};
}

QString projectProblemText(const project::ProjectRead &read) {
    using project::ProjectRead;
    switch (read.problem) {
    case ProjectRead::Missing:
        return u"it does not exist"_s;
    case ProjectRead::NotAFile:
        return u"it is not a regular file"_s;
    case ProjectRead::Unreadable:
        return read.detail.isEmpty() ? u"the file cannot be read"_s : read.detail;
    case ProjectRead::TooLarge:
        return u"it is larger than a project can be (%1 MB)"_s.arg(project::maxProjectBytes / (1024 * 1024));
    case ProjectRead::NotJson:
        return u"it is not a project: damaged, or not JSON text (%1 at byte %2)"_s.arg(read.detail).arg(read.offset);
    case ProjectRead::NotAProject:
        return u"it is not a Tavrin project"_s;
    case ProjectRead::NewerVersion:
        return u"it was saved by a newer Tavrin (project format %1; this one reads up to %2)"_s.arg(read.version)
            .arg(project::formatVersion);
    case ProjectRead::BadValue:
        return u"its value \"%1\" is of the wrong type or out of range"_s.arg(read.field);
    case ProjectRead::BadPicture:
        return u"its picture cannot be used: %1"_s.arg(pictureProblemText(read.picture));
    case ProjectRead::None:
        break;
    }
    return {};
}

QString fileFaultText(const platform::FileFault &fault) {
    using platform::FileFault;
    switch (fault.reason) {
    case FileFault::Missing:
        return u"it does not exist"_s;
    case FileFault::Directory:
        return u"it is a directory"_s;
    case FileFault::Stream:
        return u"it is a pipe or FIFO, not a regular file"_s;
    case FileFault::Device:
        return u"it is a device, not a regular file"_s;
    case FileFault::NotAFile:
        return u"it is not a regular file"_s;
    case FileFault::BlockDevice:
        return u"it is a block device; a disk is not overwritten"_s;
    case FileFault::TooLarge:
        return u"it is larger than %1 bytes"_s.arg(fault.limit);
    case FileFault::Idle:
        return u"nothing came through it for %1 s (a pipe or FIFO nobody writes to?)"_s.arg(
            QString::number(double(fault.limit) / 1000.0, 'g', 3));
    case FileFault::NoReader:
        return u"nothing is reading from it"_s;
    case FileFault::TakesNoMore:
        return u"it takes no more bytes"_s;
    case FileFault::Stalled:
        return u"it took nothing for %1 s (a pipe or FIFO nobody reads from?)"_s.arg(
            QString::number(double(fault.limit) / 1000.0, 'g', 3));
    case FileFault::Full:
        return u"disk full or file too large"_s;
    case FileFault::System:
        return fault.system;
    case FileFault::None:
        break;
    }
    return {};
}

QString projectSaveText(const project::ProjectSave &save) {
    using project::ProjectSave;
    switch (save.problem) {
    case ProjectSave::TooLarge:
        return u"the project would be %1 MB, larger than a project can be (%2 MB): its picture is too large"_s
            .arg((save.bytes + 1024 * 1024 - 1) / (1024 * 1024))
            .arg(project::maxProjectBytes / (1024 * 1024));
    case ProjectSave::WriteFailed:
        return fileFaultText(save.file);
    case ProjectSave::None:
        break;
    }
    return {};
}

QString exportRefusalText(const hex::ExportRefusal &refusal) {
    switch (refusal.reason) {
    case hex::ExportRefusal::NoContent:
        return u"no content code to export"_s;
    case hex::ExportRefusal::PastAddressSpace:
        return u"content too long: its data would run from address %1 to %2, past the 64 KB a HEX file addresses"_s.arg(
            refusal.start, refusal.last);
    case hex::ExportRefusal::PastCodeMemory:
        return u"content too long: its data would run from address %1 to %2, but the chip of firmware %3 has %4 "
               u"bytes of code memory (last address %5)"_s.arg(refusal.start, refusal.last)
                   .arg(refusal.variant)
                   .arg(refusal.codeMemory)
                   .arg(refusal.memoryEnd);
    case hex::ExportRefusal::None:
        break;
    }
    return {};
}

QString codeFileText(const encode::CodeFile &file, const QString &path) {
    using encode::CodeFile;
    switch (file.problem) {
    case CodeFile::Unreadable:
        return u"cannot read %1: %2"_s.arg(path, fileFaultText(file.file));
    case CodeFile::NotHexDigits:
        return u"%1 is not a content code: only hex digits may be in it"_s.arg(path);
    case CodeFile::TooManyDigits:
        return u"%1 holds %2 digits, more than the largest canvas's %3"_s.arg(
            path, QString::number(file.digits), QString::number(encode::largestContentCode()));
    case CodeFile::Empty:
        return u"the content code is empty: there are no columns to draw"_s;
    case CodeFile::NotWholeColumns:
        return u"the content code has %1 digits, which is not a whole number of %2-digit columns for %3 LEDs"_s
            .arg(file.digits)
            .arg(file.ledCount / 4)
            .arg(file.ledCount);
    case CodeFile::TooManyColumns:
        return u"the content code has %1 columns, more than the %2 of a %3-LED canvas"_s
            .arg(file.digits / (file.ledCount / 4))
            .arg(compose::canvasWidthDots(file.ledCount))
            .arg(file.ledCount);
    case CodeFile::None:
        break;
    }
    return {};
}

QString hexFaultText(const hex::HexFault &fault) {
    using hex::HexFault;
    const QString lengthWord = u"the length word at %1"_s.arg(hex::hexAddress(hex::lengthWordAddress));
    switch (fault.kind) {
    case HexFault::NoEnd:
        return u"no end-of-file record (:00000001FF): the file is cut short or not a HEX file"_s;
    case HexFault::LengthWordTooSmall:
        return u"%1 is %2, less than the %3 it adds to the content length"_s.arg(
            lengthWord, hex::hexAddress(fault.first), QString::number(hex::lengthWordExtra));
    case HexFault::LengthPastAddressSpace:
        return u"%1 gives %2 content bytes, which would run past address FFFF"_s.arg(lengthWord).arg(fault.first);
    case HexFault::ContentCutShort:
        return u"%1 gives %2 content bytes, but the data from %3 stops at %4"_s.arg(lengthWord)
            .arg(fault.first)
            .arg(hex::hexAddress(hex::contentStart), hex::hexAddress(fault.second));
    case HexFault::None:
        return {};
    default:
        return u"line %1: %2"_s.arg(fault.line).arg(lineFaultText(fault));
    }
}

QString unknownFirmwareText(const hex::UnknownFirmware &unknown) {
    using hex::UnknownFirmware;
    switch (unknown.kind) {
    case UnknownFirmware::NoResetRecord:
        return u"unknown firmware: there is no reset record at address 0000"_s;
    case UnknownFirmware::ForeignResetRecord:
        return u"unknown firmware: its reset record (%1 %2) is that of none of the six templates"_s.arg(
            hex2(unknown.resetBytes / 256), hex2(unknown.resetBytes % 256));
    case UnknownFirmware::NoLengthWord:
        return u"unknown firmware: the records are those of variant %1, but its length word at %2 is missing"_s
            .arg(unknown.closest)
            .arg(hex::hexAddress(hex::lengthWordAddress));
    case UnknownFirmware::DiffersFrom:
        return u"unknown firmware: closest is the template of variant %1, but it differs from address %2 on"_s
            .arg(unknown.closest)
            .arg(hex::hexAddress(unknown.address));
    case UnknownFirmware::None:
        break;
    }
    return {};
}

QString shapeProblemText(const compose::ShapedPicture &shaped) {
    using compose::ShapedPicture;
    const QRect &crop = shaped.crop;
    switch (shaped.problem) {
    case ShapedPicture::CropOutside:
        return u"the crop %1,%2,%3,%4 reaches past the picture, which is %5 × %6 pixels"_s.arg(crop.x())
            .arg(crop.y())
            .arg(crop.width())
            .arg(crop.height())
            .arg(shaped.size.width())
            .arg(shaped.size.height());
    case ShapedPicture::CropEmpty:
        return u"the crop %1,%2,%3,%4 is empty: it needs a width and a height of at least 1"_s.arg(crop.x())
            .arg(crop.y())
            .arg(std::max(0, crop.width()))
            .arg(std::max(0, crop.height()));
    case ShapedPicture::BadScale:
        return u"the scale must be at least 1 %"_s;
    case ShapedPicture::TooLarge:
        return u"the prepared picture would be %1 × %2 dots, larger than can be handled (at most %3 on a side and "
               u"%4 MB)"_s.arg(shaped.size.width())
                   .arg(shaped.size.height())
                   .arg(compose::maxPictureSide)
                   .arg(compose::maxPictureBytes / (1024 * 1024));
    case ShapedPicture::NoRoundBoard:
        return u"there is no board to draw a round picture on"_s;
    case ShapedPicture::None:
        break;
    }
    return {};
}

} // namespace tavrin::cli
