#include "app/projectdocument.h"

#include "app/form1.h"
#include "app/reasons.h"
#include "platform/recentfiles.h"
#include "project/project.h"

#include <QFileInfo>
#include <QUndoStack>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

const QString recentKind = u"projects"_s;

} // namespace

ProjectDocument::ProjectDocument(Form1 *form, QWidget *window)
    : QObject(window)
    , m_form(form)
    , m_window(window) {
    connect(m_form->undoStack(), &QUndoStack::cleanChanged, this, &ProjectDocument::stateChanged);
    connect(m_form, &Form1::settingsEdited, this, [this] {
        if (!m_settingsEdited) {
            m_settingsEdited = true;
            Q_EMIT stateChanged();
        }
    });
}

bool ProjectDocument::isModified() const {
    return m_settingsEdited || !m_form->undoStack()->isClean();
}

QString ProjectDocument::displayName() const {
    return m_path.isEmpty() ? tr("未命名工程") : QFileInfo(m_path).fileName();
}

void ProjectDocument::setPath(const QString &path) {
    // Each caller has just made the project the file's, or a new one.
    m_settingsEdited = false;
    m_path = path;
    Q_EMIT stateChanged();
}

bool ProjectDocument::maySwitch() {
    if (!isModified()) {
        return true;
    }
    switch (platform::askSaveDiscardCancel(m_window, tr("工程“%1”有未保存的修改。要保存吗？").arg(displayName()))) {
    case platform::Answer::Save:
        return save();
    case platform::Answer::Discard:
        return true;
    default:
        return false;
    }
}

bool ProjectDocument::newProject() {
    if (m_form->isSending() || !maySwitch()) {
        return false;
    }
    m_form->applyComposition(m_form->startComposition(), true);
    m_form->undoStack()->clear();
    setPath({});
    return true;
}

bool ProjectDocument::open() {
    if (m_form->isSending() || !maySwitch()) {
        return false;
    }
    const QString path = m_dialogs.openFile(m_window, tr("Tavrin 工程(*.tavrin)|*.tavrin|All Files(*.*)|*"), 1);
    return !path.isEmpty() && openUnasked(path);
}

bool ProjectDocument::openFile(const QString &path) {
    return !m_form->isSending() && maySwitch() && openUnasked(path);
}

bool ProjectDocument::openUnasked(const QString &path) {
    project::ProjectRead read = project::openProject(path);
    if (!read.ok()) {
        if (read.problem == project::ProjectRead::Missing) {
            platform::forgetRecentFile(recentKind, path);
            Q_EMIT recentProjectsChanged();
        }
        platform::showMessage(m_window, Reasons::projectProblem(read));
        return false;
    }
    const project::FontCheck font = project::checkFont(read.project.font);
    const QString wanted = read.project.font;
    if (font.missing) {
        read.project.font = font.nearest;
    }
    m_form->applyComposition(read.project, true);
    m_form->undoStack()->clear();
    setPath(QFileInfo(path).absoluteFilePath());
    platform::rememberRecentFile(recentKind, m_path);
    Q_EMIT recentProjectsChanged();
    if (font.missing) {
        platform::showMessage(m_window,
                              tr("这台电脑没有工程所用的字体“%1”，现在用最接近的“%2”显示。内容代码可能与原来不同。")
                                  .arg(wanted, font.nearest));
    }
    return true;
}

bool ProjectDocument::save() {
    return m_path.isEmpty() ? saveAs() : saveTo(m_path);
}

bool ProjectDocument::saveAs() {
    const QString proposed = m_path.isEmpty() ? tr("未命名工程") + u".tavrin"_s : QFileInfo(m_path).fileName();
    const QString path = m_dialogs.saveFile(m_window, tr("Tavrin 工程(*.tavrin)|*.tavrin"), 1, u"tavrin"_s, proposed);
    return !path.isEmpty() && saveTo(path);
}

bool ProjectDocument::saveTo(const QString &path) {
    const project::ProjectSave saved = project::saveProject(path, m_form->composition());
    if (!saved.ok()) {
        platform::showMessage(m_window, Reasons::projectSave(saved, QFileInfo(path).fileName()));
        return false;
    }
    m_form->undoStack()->setClean();
    setPath(QFileInfo(path).absoluteFilePath());
    platform::rememberRecentFile(recentKind, m_path);
    Q_EMIT recentProjectsChanged();
    return true;
}

QStringList ProjectDocument::recentProjects() const {
    return platform::recentFiles(recentKind);
}

} // namespace tavrin::app
