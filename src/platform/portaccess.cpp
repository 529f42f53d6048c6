// Why a serial device refuses to open: the user's rights to its device node, or the programs that
// hold it. Only Linux says enough to tell the two apart.
#include "platform/serialport.h"

#ifdef Q_OS_LINUX
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <QFile>
#endif

using namespace Qt::StringLiterals;

namespace tavrin::platform {

#ifdef Q_OS_LINUX
namespace {

QString userName(uid_t uid) {
    passwd entry{};
    passwd *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return QString::fromLocal8Bit(found->pw_name);
    }
    return QString::number(uid);
}

QString groupName(gid_t gid) {
    group entry{};
    group *found = nullptr;
    std::vector<char> buffer(65536); // a group entry lists its members
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return QString::fromLocal8Bit(found->gr_name);
    }
    return QString::number(gid);
}

// Whether this process already has the group: then joining it cannot be the answer.
bool processHasGroup(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

QString programName(const QByteArray &pid) {
    QFile comm(QString::fromLatin1("/proc/" + pid + "/comm"));
    if (!comm.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// Every process with a descriptor that leads to the device. Another user's descriptors are hidden
// from all but root; those processes are not named.
QList<DeviceHolder> holdersOf(dev_t device) {
    QList<DeviceHolder> holders;
    DIR *proc = ::opendir("/proc");
    if (!proc) {
        return holders;
    }
    while (const dirent *process = ::readdir(proc)) {
        const QByteArray pid(process->d_name);
        bool isPid = false;
        const qint64 number = pid.toLongLong(&isPid);
        if (!isPid) {
            continue;
        }
        const QByteArray fds = "/proc/" + pid + "/fd";
        DIR *descriptors = ::opendir(fds.constData());
        if (!descriptors) {
            continue;
        }
        while (const dirent *fd = ::readdir(descriptors)) {
            struct stat info;
            const QByteArray path = fds + '/' + fd->d_name;
            if (fd->d_name[0] != '.' && ::stat(path.constData(), &info) == 0 && S_ISCHR(info.st_mode) &&
                info.st_rdev == device) {
                holders.append({programName(pid), number});
                break;
            }
        }
        ::closedir(descriptors);
    }
    ::closedir(proc);
    std::sort(holders.begin(), holders.end(),
              [](const DeviceHolder &a, const DeviceHolder &b) { return a.pid < b.pid; });
    return holders;
}

} // namespace
#endif

LineError explainRefusal([[maybe_unused]] const QString &device, LineError error) {
#ifdef Q_OS_LINUX
    if (error.kind != LineError::PermissionOrBusy) {
        return error;
    }
    const QByteArray path = QFile::encodeName(device);
    struct stat info;
    if (::stat(path.constData(), &info) != 0) {
        return error;
    }
    // Tavrin opens its ports for writing only.
    if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        error.kind = LineError::NoPermission;
        error.owner = userName(info.st_uid);
        if ((info.st_mode & S_IWGRP) && !processHasGroup(info.st_gid)) {
            error.group = groupName(info.st_gid);
        }
        return error;
    }
    if (S_ISCHR(info.st_mode)) {
        error.kind = LineError::Busy;
        error.holders = holdersOf(info.st_rdev);
    }
#endif
    return error;
}

} // namespace tavrin::platform
