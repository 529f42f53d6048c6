#include "platform/recentfiles.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

QSettings userSettings() {
    return QSettings(u"tavrin"_s, u"tavrin"_s);
}

QString key(const QString &kind) {
    return u"recent/"_s + kind;
}

void store(const QString &kind, const QStringList &paths) {
    QSettings settings = userSettings();
    settings.setValue(key(kind), paths);
    settings.sync();
}

} // namespace

QStringList recentFiles(const QString &kind) {
    return userSettings().value(key(kind)).toStringList().mid(0, recentFileCount);
}

QStringList rememberRecentFile(const QString &kind, const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentFiles(kind);
    paths.removeAll(absolute);
    paths.prepend(absolute);
    paths = paths.mid(0, recentFileCount);
    store(kind, paths);
    return paths;
}

void forgetRecentFile(const QString &kind, const QString &path) {
    QStringList paths = recentFiles(kind);
    paths.removeAll(QFileInfo(path).absoluteFilePath());
    store(kind, paths);
}

} // namespace tavrin::platform
