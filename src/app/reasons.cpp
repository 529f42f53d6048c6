#include "app/reasons.h"

#include "compose/picture.h"
#include "link/boardlink.h"

namespace tavrin::app {

namespace {

// The port as the user named it, with its device when that says more.
QString portName(const link::LinkFailure &failure) {
    if (failure.port.isEmpty() || failure.port == failure.device) {
        return Reasons::tr("“%1”").arg(failure.device);
    }
    return Reasons::tr("“%1”（%2）").arg(failure.port, failure.device);
}

} // namespace

QString Reasons::linkFailure(const link::LinkFailure &failure) {
    using link::LinkFailure;
    switch (failure.reason) {
    case LinkFailure::NoPortChosen:
        return tr("没有选择串口，请先选择串口号。");
    case LinkFailure::NotAPort:
        return tr("“%1”不是有效的串口号，请选择或输入如“COM 1”的串口号。").arg(failure.port);
    case LinkFailure::NoSuchPort:
        return tr("找不到串口“%1”：本机没有第 %2 号串口。").arg(failure.port, QString::number(failure.portNumber));
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
    switch (error.kind) {
    case LineError::BadSettings:
        return tr("线路设置“%1”无效").arg(error.detail);
    case LineError::NoDevice:
        what = tr("没有指定串口设备");
        break;
    case LineError::DeviceMissing:
        what = tr("设备不存在");
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
    return error.detail.isEmpty() ? what : tr("%1（%2）").arg(what, error.detail);
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
    case LoadedPicture::None:
        return {};
    }
    return tr("无法加载图片“%1”：%2").arg(loaded.name, reason);
}

} // namespace tavrin::app
