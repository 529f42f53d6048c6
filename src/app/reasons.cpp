#include "app/reasons.h"

#include "compose/geometry.h"
#include "compose/picture.h"
#include "compose/preparation.h"
#include "encode/codefile.h"
#include "hex/firmware.h"
#include "hex/firmwareimage.h"
#include "hex/hexreader.h"
#include "hex/hexrecords.h"
#include "link/boardlink.h"
#include "platform/files.h"
#include "project/project.h"

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

// The port as the user named it, with its device when that says more.
QString portName(const link::LinkFailure &failure) {
    if (failure.port.isEmpty() || failure.port == failure.device) {
        return Reasons::tr("“%1”").arg(failure.device);
    }
    return Reasons::tr("“%1”（%2）").arg(failure.port, failure.device);
}

// The ports' own reasons when none of them can be used; empty when one can.
QString whenNoPortIsUsable(const QList<link::PortChoice> &ports) {
    return link::anyUsable(ports) ? QString() : u"\n"_s + Reasons::noPorts(ports);
}

} // namespace

QString Reasons::linkFailure(const link::LinkFailure &failure) {
    using link::LinkFailure;
    switch (failure.reason) {
    case LinkFailure::NoPortChosen:
        return tr("没有选择串口，请先选择串口号。") + whenNoPortIsUsable(failure.ports);
    case LinkFailure::NotAPort:
        return tr("“%1”不是有效的串口号，请选择或输入如“COM 1”的串口号。").arg(failure.port);
    case LinkFailure::NoSuchPort:
        return tr("找不到串口“%1”：本机没有第 %2 号串口。").arg(failure.port, QString::number(failure.portNumber)) +
               whenNoPortIsUsable(failure.ports);
    case LinkFailure::NoDevice:
        return failure.port.isEmpty() ? tr("没有指定串口的设备。") : tr("没有指定串口“%1”的设备。").arg(failure.port);
    case LinkFailure::OpenFailed:
        return tr("无法打开串口%1：%2。").arg(portName(failure), lineError(failure.line));
    case LinkFailure::WriteFailed:
        return tr("向串口%1写数据失败，%2 个字节只送出了 %3 个：%4。")
            .arg(portName(failure), QString::number(failure.total), QString::number(failure.delivered),
                 lineError(failure.line));
    case LinkFailure::NotAllSent:
        return tr("串口%1的数据没有全部送出，%2 个字节只送出了 %3 个：%4。")
            .arg(portName(failure), QString::number(failure.total), QString::number(failure.delivered),
                 lineError(failure.line));
    case LinkFailure::None:
        break;
    }
    return {};
}

QString Reasons::lineError(const platform::LineError &error) {
    using platform::LineError;
    QString what;
    QString advice; // what the user can do about it
    switch (error.kind) {
    case LineError::BadSettings:
        return tr("线路设置“%1”无效").arg(error.detail);
    case LineError::NoDevice:
        what = tr("没有指定串口设备");
        break;
    case LineError::DeviceMissing:
        what = tr("设备不存在");
        break;
    case LineError::NoPermission:
        what = tr("没有使用该设备的权限");
        if (!error.group.isEmpty()) {
            advice = tr("要使用它，用户需要加入设备的“%1”组：请运行 sudo usermod -aG %1 \"$USER\"，然后注销并重新登录"
                        "（新加入的组从下次登录起才生效）")
                         .arg(error.group);
        } else if (!error.owner.isEmpty()) {
            advice = tr("只有它的所有者“%1”可以使用它").arg(error.owner);
        }
        break;
    case LineError::Busy:
        if (error.holders.isEmpty()) {
            what = tr("串口正被其他程序使用");
        } else {
            QStringList holders;
            for (const platform::DeviceHolder &holder : error.holders) {
                holders << tr("%1（进程 %2）").arg(holder.program, QString::number(holder.pid));
            }
            what = tr("串口正被 %1 使用").arg(holders.join(tr("、")));
            advice = tr("请关闭该程序后再试");
        }
        break;
    case LineError::PermissionOrBusy:
        what = tr("没有权限，或串口正被其他程序使用");
        break;
    case LineError::AlreadyOpen:
        what = tr("串口已经打开");
        break;
    case LineError::NotASerialPort:
        what = tr("不是串口设备，或不支持这样的设置");
        break;
    case LineError::Disconnected:
        what = tr("设备已断开或出错");
        break;
    case LineError::WriteFailed:
        what = tr("写入出错");
        break;
    case LineError::Timeout:
        what = tr("超时");
        break;
    case LineError::QueueUnreadable:
        what = tr("无法读取输出队列");
        break;
    case LineError::NotOpen:
        what = tr("串口没有打开");
        break;
    case LineError::Stalled:
        what = tr("%1 秒内设备没有接收数据").arg(link::stallSeconds);
        break;
    case LineError::Other:
    case LineError::None:
        what = tr("出错");
        break;
    }
    // The system's own words follow in the system's language: they are what a search finds.
    if (!error.detail.isEmpty()) {
        what = tr("%1（%2）").arg(what, error.detail);
    }
    return advice.isEmpty() ? what : tr("%1；%2").arg(what, advice);
}

QString Reasons::portAdapter(const platform::PortAdapter &adapter) {
    const QString names = adapter.names().join(tr("，"));
    if (adapter.usbIds().isEmpty()) {
        return names;
    }
    return names.isEmpty() ? tr("USB 转串口 %1").arg(adapter.usbIds())
                           : tr("USB 转串口 %1（%2）").arg(adapter.usbIds(), names);
}

QString Reasons::portDescription(const link::PortChoice &port) {
    const QString adapter = portAdapter(port.adapter);
    return adapter.isEmpty() ? port.device : tr("%1：%2").arg(port.device, adapter);
}

QString Reasons::noPorts(const QList<link::PortChoice> &ports) {
    if (ports.isEmpty()) {
#ifdef Q_OS_WIN
        return tr("没有找到串口。请检查电路板的 USB 转串口线是否插好、线是否完好，以及转接器的驱动是否已安装"
                  "（装好后，设备管理器的“端口 (COM 和 LPT)”下会列出它）。");
#else
        return tr("没有找到串口。请检查电路板的 USB 转串口线是否插好、线是否完好，以及系统是否有转接器的驱动"
                  "（有驱动时它显示为 /dev/ttyUSB0 或 /dev/ttyACM0；插入后 dmesg 会显示系统看到了什么）。");
#endif
    }
    QStringList reasons{tr("没有可以打开的串口：")};
    for (const link::PortChoice &port : ports) {
        reasons << tr("%1（%2）：%3").arg(port.label, portDescription(port), lineError(port.problem));
    }
    return reasons.join(u'\n');
}

QString Reasons::pictureProblem(const compose::LoadedPicture &loaded) {
    using compose::LoadedPicture;
    QString reason;
    switch (loaded.problem) {
    case LoadedPicture::Missing:
        reason = tr("文件不存在。");
        break;
    case LoadedPicture::NotAFile:
        reason = tr("不是普通文件。");
        break;
    case LoadedPicture::Unreadable:
        reason = tr("文件无法读取。");
        break;
    case LoadedPicture::TooLarge:
        reason = tr("图片尺寸 %1×%2 过大，无法处理。").arg(loaded.size.width()).arg(loaded.size.height());
        break;
    case LoadedPicture::UnknownFormat:
        reason = tr("不是可识别的图片格式（BMP、JPG、GIF、PNG）。");
        break;
    case LoadedPicture::Damaged:
        reason = tr("图片文件已损坏或不完整。");
        break;
    case LoadedPicture::NoSuchFrame:
        reason = tr("没有第 %1 帧：图片只有 %2 帧。").arg(loaded.frame + 1).arg(loaded.frames);
        break;
    case LoadedPicture::None:
        return {};
    }
    return tr("无法加载图片“%1”：%2").arg(loaded.name, reason);
}

QString Reasons::fileFault(const platform::FileFault &fault) {
    using platform::FileFault;
    switch (fault.reason) {
    case FileFault::Missing:
        return tr("文件不存在");
    case FileFault::Directory:
        return tr("这是一个文件夹");
    case FileFault::Stream:
        return tr("这是管道或 FIFO，不是普通文件");
    case FileFault::Device:
        return tr("这是设备，不是普通文件");
    case FileFault::NotAFile:
        return tr("不是普通文件");
    case FileFault::BlockDevice:
        return tr("这是块设备，不会覆盖磁盘");
    case FileFault::TooLarge:
        return tr("文件大于 %1 字节").arg(fault.limit);
    case FileFault::Idle:
        return tr("%1 秒内没有收到任何数据").arg(double(fault.limit) / 1000.0);
    case FileFault::NoReader:
        return tr("没有程序在读取它");
    case FileFault::TakesNoMore:
        return tr("它不再接收数据");
    case FileFault::Stalled:
        return tr("%1 秒内它没有接收任何数据").arg(double(fault.limit) / 1000.0);
    case FileFault::Full:
        return tr("磁盘已满或文件过大");
    case FileFault::System:
        // The system's own words, as for a serial line.
        return tr("%1（%2）").arg(tr("出错"), fault.system);
    case FileFault::None:
        break;
    }
    return {};
}

QString Reasons::exportRefusal(const hex::ExportRefusal &refusal) {
    switch (refusal.reason) {
    case hex::ExportRefusal::NoContent:
        return tr("还没有可导出的点阵数据。请先按“写入新内容”生成数据，再获取HEX文件。");
    case hex::ExportRefusal::PastAddressSpace:
        return tr("内容太长：数据从地址 %1 写到 %2，超出了 HEX 文件的 64 KB 地址范围（最高 "
                  "FFFF）。请减少内容后再导出。")
            .arg(refusal.start, refusal.last);
    case hex::ExportRefusal::PastCodeMemory:
        return tr("内容太长：数据从地址 %1 写到 %2，而 %3 号固件的单片机只有 %4 字节程序存储器（最高地址 %5）。"
                  "请减少内容，或选用程序存储器更大的型号。")
            .arg(refusal.start, refusal.last)
            .arg(refusal.variant)
            .arg(refusal.codeMemory)
            .arg(refusal.memoryEnd);
    case hex::ExportRefusal::None:
        break;
    }
    return {};
}

QString Reasons::projectProblem(const project::ProjectRead &read) {
    using project::ProjectRead;
    QString reason;
    switch (read.problem) {
    case ProjectRead::Missing:
        reason = tr("文件不存在。");
        break;
    case ProjectRead::NotAFile:
        reason = tr("不是普通文件。");
        break;
    case ProjectRead::Unreadable:
        reason = read.detail.isEmpty() ? tr("文件无法读取。") : tr("文件无法读取（%1）。").arg(read.detail);
        break;
    case ProjectRead::TooLarge:
        reason = tr("文件大于 %1 MB，不是工程文件。").arg(project::maxProjectBytes / (1024 * 1024));
        break;
    case ProjectRead::NotJson:
        reason = tr("文件已损坏，或不是工程文件（第 %1 字节处出错）。").arg(read.offset);
        break;
    case ProjectRead::NotAProject:
        reason = tr("不是 Tavrin 工程文件。");
        break;
    case ProjectRead::NewerVersion:
        reason = tr("这是较新版本的 Tavrin 保存的工程（格式 %1），本程序只能打开格式 %2 及以前的工程。")
                     .arg(read.version)
                     .arg(project::formatVersion);
        break;
    case ProjectRead::BadValue:
        reason = tr("工程中的“%1”类型不对或超出范围。").arg(read.field);
        break;
    case ProjectRead::BadPicture:
        reason = pictureProblem(read.picture);
        break;
    case ProjectRead::None:
        return {};
    }
    return tr("无法打开工程“%1”：%2").arg(read.name, reason);
}

QString Reasons::projectSave(const project::ProjectSave &save, const QString &name) {
    using project::ProjectSave;
    switch (save.problem) {
    case ProjectSave::TooLarge:
        return tr("无法保存工程“%1”：工程将大于 %2 MB，图片太大。原来的文件没有改变。")
            .arg(name)
            .arg(project::maxProjectBytes / (1024 * 1024));
    case ProjectSave::WriteFailed:
        return tr("无法保存工程“%1”（%2）。原来的文件没有改变。").arg(name, fileFault(save.file));
    case ProjectSave::None:
        break;
    }
    return {};
}

QString Reasons::frameUnavailable(const QString &pictureName) {
    return tr("工程只保存了图片“%1”的一帧。要换一帧，请重新打开图片文件。").arg(pictureName);
}

QString Reasons::shapeProblem(const compose::ShapedPicture &shaped) {
    using compose::ShapedPicture;
    const QRect &crop = shaped.crop;
    switch (shaped.problem) {
    case ShapedPicture::CropOutside:
        return tr("裁剪区域（%1, %2, %3×%4）超出了图片（%5×%6 像素）。")
            .arg(crop.x())
            .arg(crop.y())
            .arg(crop.width())
            .arg(crop.height())
            .arg(shaped.size.width())
            .arg(shaped.size.height());
    case ShapedPicture::CropEmpty:
        return tr("裁剪区域是空的：宽和高至少要 1 个像素。");
    case ShapedPicture::BadScale:
        return tr("缩放比例至少要 1%。");
    case ShapedPicture::TooLarge:
        return tr("处理后的图片将是 %1×%2 点，过大，无法处理。").arg(shaped.size.width()).arg(shaped.size.height());
    case ShapedPicture::NoRoundBoard:
        return tr("没有可以画圆形图片的板子。");
    case ShapedPicture::None:
        break;
    }
    return {};
}

QString Reasons::hexFault(const hex::HexFault &fault, const QString &name) {
    using hex::HexFault;
    const auto hex2 = [](int value) { return QString::number(value, 16).toUpper().rightJustified(2, u'0'); };
    const QString lengthWord = hex::hexAddress(hex::lengthWordAddress);
    QString reason;
    switch (fault.kind) {
    case HexFault::NoColon:
        reason = tr("第 %1 行不以“:”开头。").arg(fault.line);
        break;
    case HexFault::NotARecord:
        reason = tr("第 %1 行不是记录：“:”后应有偶数个、至少 10 个十六进制数字。").arg(fault.line);
        break;
    case HexFault::NotHexDigit:
        reason = tr("第 %1 行含有“%2”，不是十六进制数字。").arg(fault.line).arg(fault.character);
        break;
    case HexFault::WrongLength:
        reason = tr("第 %1 行声明 %2 个数据字节，实际有 %3 个。").arg(fault.line).arg(fault.first).arg(fault.second);
        break;
    case HexFault::WrongChecksum:
        reason =
            tr("第 %1 行的校验和是 %2，按其字节应为 %3。").arg(fault.line).arg(hex2(fault.first), hex2(fault.second));
        break;
    case HexFault::DataAfterEnd:
        reason = tr("第 %1 行：第 %2 行的文件结束记录之后还有数据。").arg(fault.line).arg(fault.first);
        break;
    case HexFault::EndCarriesData:
        reason = tr("第 %1 行：文件结束记录带有数据。").arg(fault.line);
        break;
    case HexFault::UnsupportedRecord:
        reason = tr("第 %1 行：不支持记录类型 %2，64 KB 映像只能有数据（00）和文件结束（01）记录。")
                     .arg(fault.line)
                     .arg(hex2(fault.first));
        break;
    case HexFault::PastAddressSpace:
        reason = tr("第 %1 行：从 %2 开始的数据超出地址 FFFF。").arg(fault.line).arg(hex::hexAddress(fault.first));
        break;
    case HexFault::Overlap:
        reason = tr("第 %1 行：地址 %2 的数据已经给出过。").arg(fault.line).arg(hex::hexAddress(fault.first));
        break;
    case HexFault::NoEnd:
        reason = tr("没有文件结束记录（:00000001FF）：文件不完整，或不是 HEX 文件。");
        break;
    case HexFault::LengthWordTooSmall:
        reason = tr("%1 处的长度字是 %2，小于它给内容长度加上的 %3。")
                     .arg(lengthWord, hex::hexAddress(fault.first))
                     .arg(hex::lengthWordExtra);
        break;
    case HexFault::LengthPastAddressSpace:
        reason = tr("%1 处的长度字给出 %2 个内容字节，会超出地址 FFFF。").arg(lengthWord).arg(fault.first);
        break;
    case HexFault::ContentCutShort:
        reason = tr("%1 处的长度字给出 %2 个内容字节，但从 %3 开始的数据到 %4 就结束了。")
                     .arg(lengthWord)
                     .arg(fault.first)
                     .arg(hex::hexAddress(hex::contentStart), hex::hexAddress(fault.second));
        break;
    case HexFault::None:
        return {};
    }
    return tr("无法读取 HEX 文件“%1”：%2").arg(name, reason);
}

QString Reasons::unknownFirmware(const hex::UnknownFirmware &unknown) {
    using hex::UnknownFirmware;
    switch (unknown.kind) {
    case UnknownFirmware::NoResetRecord:
        return tr("无法识别的固件：地址 0000 处没有复位记录。");
    case UnknownFirmware::ForeignResetRecord:
        return tr("无法识别的固件：复位记录（%1）不属于六种固件中的任何一种。")
            .arg(hex::hexAddress(unknown.resetBytes));
    case UnknownFirmware::NoLengthWord:
        return tr("无法识别的固件：记录属于 %1 号固件，但缺少 %2 处的长度字。")
            .arg(unknown.closest)
            .arg(hex::hexAddress(hex::lengthWordAddress));
    case UnknownFirmware::DiffersFrom:
        return tr("无法识别的固件：最接近 %1 号固件，但从地址 %2 起不同。")
            .arg(unknown.closest)
            .arg(hex::hexAddress(unknown.address));
    case UnknownFirmware::None:
        break;
    }
    return {};
}

QString Reasons::codeFile(const encode::CodeFile &file, const QString &name) {
    using encode::CodeFile;
    QString reason;
    switch (file.problem) {
    case CodeFile::Unreadable:
        reason = tr("文件无法读取（%1）。").arg(fileFault(file.file));
        break;
    case CodeFile::NotHexDigits:
        reason = tr("不是内容代码：其中只能有十六进制数字。");
        break;
    case CodeFile::TooManyDigits:
        reason = tr("有 %1 个数字，多于最大画面的 %2 个。").arg(file.digits).arg(encode::largestContentCode());
        break;
    case CodeFile::Empty:
        reason = tr("内容代码是空的，没有可显示的列。");
        break;
    case CodeFile::NotWholeColumns:
        reason = tr("内容代码有 %1 个数字，不是 %3 灯每列 %2 个数字的整数列。")
                     .arg(file.digits)
                     .arg(file.ledCount / 4)
                     .arg(file.ledCount);
        break;
    case CodeFile::TooManyColumns:
        reason = tr("内容代码有 %1 列，多于 %3 灯画面的 %2 列。")
                     .arg(file.digits / (file.ledCount / 4))
                     .arg(compose::canvasWidthDots(file.ledCount))
                     .arg(file.ledCount);
        break;
    case CodeFile::None:
        return {};
    }
    return tr("无法读取代码文件“%1”：%2").arg(name, reason);
}

} // namespace tavrin::app
