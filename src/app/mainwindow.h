#pragma once

#include <QMainWindow>

class QAction;
class QActionGroup;
class QMenu;

namespace tavrin::app {

class Form1;

// The desktop window: the menu bar over Form1, which keeps its design size as the client area.
// Every command of the form is an action here, shared by the menu bar and the canvas's
// right-click menu; actions that stand for a button press that button, so both do the same.
class MainWindow : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Form1 *form() const { return m_form; }
    // Views of the board join this menu.
    QMenu *viewMenu() const { return m_viewMenu; }

private:
    void createActions();
    void createMenus();
    void createCanvasMenu();
    void connectForm();

    QAction *buttonAction(const QString &name, const QString &text, const QString &buttonName);
    QAction *action(const QString &name, const QString &text);
    void showBelowDesign(bool shown);
    void chooseLanguage(QAction *chosen);

    Form1 *m_form = nullptr;
    QMenu *m_viewMenu = nullptr;

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
    QAction *m_showBelow = nullptr;
    QActionGroup *m_languages = nullptr;
    QAction *m_guide = nullptr;
    QAction *m_usageHelp = nullptr;
    QAction *m_productPage = nullptr;
    QAction *m_about = nullptr;
    QAction *m_aboutQt = nullptr;
};

} // namespace tavrin::app
