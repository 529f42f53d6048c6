#pragma once

#include "platform/dialogs.h"

#include <functional>

#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QStatusBar;

namespace tavrin::app {

class Form1;
class ProjectDocument;

// The desktop window: the menu bar over Form1, which keeps its design size as the client area.
// Every command of the form is an action here, shared by the menu bar and the canvas's
// right-click menu; each calls the form's command that its button calls.
class MainWindow : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Form1 *form() const { return m_form; }
    // Views of the board join this menu.
    QMenu *viewMenu() const { return m_viewMenu; }
    // The project the window holds, and the File menu's commands on it.
    ProjectDocument *project() const { return m_project; }

protected:
    // Unsaved changes are asked about first; a send still running is stopped, and its port
    // closed, before the window goes.
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createCanvasMenu();
    void connectForm();

    QAction *action(const QString &name, const QString &text);
    QAction *action(const QString &name, const QString &text, const std::function<void()> &command);
    // Enables each command as the form's state allows.
    void followForm();
    void showBelowDesign(bool shown);
    void showProjectState();
    void fillRecentMenu();
    void checkContentFile();
    void chooseLanguage(QAction *chosen);
    // The mirror commands show the form's mirror; the offer follows the picture.
    void followComposition();
    void createPictureOffer();
    void showPictureOffer(bool shown);

    Form1 *m_form = nullptr;
    ProjectDocument *m_project = nullptr;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QLabel *m_projectName = nullptr;
    platform::FileDialogs m_checkDialogs;

    QAction *m_newProject = nullptr;
    QAction *m_openProject = nullptr;
    QAction *m_saveProject = nullptr;
    QAction *m_saveProjectAs = nullptr;
    QAction *m_checkFile = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;

    QAction *m_openPicture = nullptr;
    QAction *m_closePicture = nullptr;
    QAction *m_exportHex = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_copyCode = nullptr;
    QList<QAction *> m_moves;
    QAction *m_larger = nullptr;
    QAction *m_smaller = nullptr;
    QActionGroup *m_ledCounts = nullptr;
    QAction *m_write = nullptr;
    QAction *m_erase = nullptr;
    QAction *m_writePattern = nullptr;
    QAction *m_pictureSettings = nullptr;
    QAction *m_mirrorLeftRight = nullptr;
    QAction *m_mirrorUpsideDown = nullptr;
    // Beneath the form, outside the design: a picture taller than the board offers its settings.
    QStatusBar *m_pictureOffer = nullptr;
    QLabel *m_pictureOfferText = nullptr;
    qint64 m_offeredPicture = 0; // the picture as loaded that the offer was last made for
    bool m_offerDismissed = false;
    QAction *m_showBelow = nullptr;
    QActionGroup *m_languages = nullptr;
    QAction *m_guide = nullptr;
    QAction *m_usageHelp = nullptr;
    QAction *m_productPage = nullptr;
    QAction *m_about = nullptr;
    QAction *m_aboutQt = nullptr;
};

} // namespace tavrin::app
