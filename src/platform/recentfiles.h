#pragma once

#include <QStringList>

// The files a user opened or saved last, newest first, kept in the user's settings.
namespace tavrin::platform {

inline constexpr int recentFileCount = 8;

QStringList recentFiles(const QString &kind);
// Puts path first in the list of that kind, keeping recentFileCount; returns the new list.
QStringList rememberRecentFile(const QString &kind, const QString &path);
// Takes path out of the list (a file that could no longer be opened).
void forgetRecentFile(const QString &kind, const QString &path);

} // namespace tavrin::platform
