#pragma once

#include "platform/dialogs.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace tavrin::app {

class Form1;

// The project the window holds: the file it was opened from or saved to, whether the composition
// changed since, and the File menu's commands on it. Changes are the undo stack's steps, and the
// board preview's and the export's settings: the project is unchanged where the stack is clean
// and those settings were not touched since it was saved or opened.
class ProjectDocument : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProjectDocument)

public:
    ProjectDocument(Form1 *form, QWidget *window);

    const QString &path() const { return m_path; }
    bool isModified() const;
    // The file's name, or what a project not yet saved is called.
    QString displayName() const;

    // Each asks first about unsaved changes; false when the user cancelled or the file was refused
    // (said in a message box), and then nothing changed.
    bool newProject();
    bool open();
    bool openFile(const QString &path);
    // Save asks for a name when the project has none; false when not saved (cancelled, or a
    // failure said in a message box, the file that was there kept).
    bool save();
    bool saveAs();
    bool saveTo(const QString &path);
    // Save / Discard / Cancel when there are unsaved changes; true when the window may go on.
    bool maySwitch();

    QStringList recentProjects() const;

Q_SIGNALS:
    // The name or the modified state changed.
    void stateChanged();
    void recentProjectsChanged();

private:
    bool openUnasked(const QString &path);
    void setPath(const QString &path);

    Form1 *m_form;
    QWidget *m_window;
    QString m_path;
    bool m_settingsEdited = false; // the board preview's or the export's settings since saved or opened
    platform::FileDialogs m_dialogs;
};

} // namespace tavrin::app
