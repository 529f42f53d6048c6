#pragma once

#include <QDir>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace tavrin::testing {

// A fresh folder standing in for the user's while it lives: the current folder, where files the
// program writes beside itself land, and where the program keeps its settings, so that a test
// neither reads nor changes the user's own. The folder it replaced is current again afterwards.
class TemporaryHome {
public:
    TemporaryHome()
        : m_previous(QDir::currentPath()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QDir::setCurrent(m_dir.path());
    }
    ~TemporaryHome() { QDir::setCurrent(m_previous); }
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

} // namespace tavrin::testing
