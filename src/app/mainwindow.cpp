#include "app/mainwindow.h"

#include "app/form1.h"
#include "app/help.h"
#include "app/ledcountlist.h"
#include "app/projectdocument.h"
#include "platform/dialogs.h"
#include "platform/translations.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace tavrin::app {

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_form(new Form1(this)) {
    setObjectName(u"MainWindow"_s);
    setCentralWidget(m_form);
    m_project = new ProjectDocument(m_form, this);
    createActions();
    createMenus();
    createCanvasMenu();
    createPictureOffer();
    connectForm();
    setWindowTitle(m_form->windowTitle());
    // The client area under the menu bar keeps the design size.
    resize(m_form->size() + QSize(0, menuBar()->sizeHint().height()));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

MainWindow::~MainWindow() {
    // The form and its project outlive this body: nothing they report may reach a window being
    // destroyed.
    disconnect(m_project, nullptr, this, nullptr);
}

QAction *MainWindow::action(const QString &name, const QString &text) {
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    return a;
}

QAction *MainWindow::action(const QString &name, const QString &text, const std::function<void()> &command) {
    QAction *a = action(name, text);
    connect(a, &QAction::triggered, m_form, command);
    return a;
}

void MainWindow::createActions() {
    m_newProject = action(u"actionNewProject"_s, tr("新建工程(&N)"), [this] { m_project->newProject(); });
    m_newProject->setShortcut(QKeySequence::New);
    m_openProject = action(u"actionOpenProject"_s, tr("打开工程(&J)…"), [this] { m_project->open(); });
    m_openProject->setShortcut(QKeySequence::Open);
    m_saveProject = action(u"actionSaveProject"_s, tr("保存工程(&S)"), [this] { m_project->save(); });
    m_saveProject->setShortcut(QKeySequence::Save);
    m_saveProjectAs = action(u"actionSaveProjectAs"_s, tr("工程另存为(&A)…"), [this] { m_project->saveAs(); });
    m_saveProjectAs->setShortcut(QKeySequence::SaveAs);
    m_checkFile = action(u"actionCheckFile"_s, tr("检查HEX或代码文件(&K)…"), [this] { checkContentFile(); });

    m_openPicture = action(u"actionOpenPicture"_s, tr("打开图片(&O)…"));
    // Ctrl+O opens projects; the picture keeps a key of its own.
    m_openPicture->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    connect(m_openPicture, &QAction::triggered, m_form, &Form1::choosePicture);
    m_closePicture = action(u"actionClosePicture"_s, tr("关闭图片(&C)"));
    m_closePicture->setShortcut(QKeySequence::Close);
    connect(m_closePicture, &QAction::triggered, m_form, &Form1::closePicture);
    m_exportHex = action(u"actionExportHex"_s, tr("获取HEX文件(&H)…"), [this] { m_form->exportHex(); });
    m_exportHex->setShortcut(Qt::CTRL | Qt::Key_E); // Ctrl+S saves the project
    m_quit = action(u"actionQuit"_s, tr("退出(&Q)"));
    m_quit->setShortcut(QKeySequence::Quit);
    m_quit->setMenuRole(QAction::QuitRole);
    connect(m_quit, &QAction::triggered, this, &QWidget::close);

    m_undo = m_form->undoStack()->createUndoAction(this, tr("撤销"));
    m_undo->setObjectName(u"actionUndo"_s);
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = m_form->undoStack()->createRedoAction(this, tr("重做"));
    m_redo->setObjectName(u"actionRedo"_s);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    m_copyCode = action(u"actionCopyCode"_s, tr("复制内容代码(&C)"));
    m_copyCode->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    connect(m_copyCode, &QAction::triggered, m_form, &Form1::copyContentCode);

    const std::array<std::tuple<QString, QKeyCombination, compose::Direction>, 4> moves{{
        {tr("上移一点(&U)"), Qt::ALT | Qt::Key_Up, compose::Direction::Up},
        {tr("下移一点(&D)"), Qt::ALT | Qt::Key_Down, compose::Direction::Down},
        {tr("左移一点(&L)"), Qt::ALT | Qt::Key_Left, compose::Direction::Left},
        {tr("右移一点(&R)"), Qt::ALT | Qt::Key_Right, compose::Direction::Right},
    }};
    for (int i = 0; i < 4; ++i) {
        const auto &[text, keys, direction] = moves[i];
        QAction *move =
            action(u"actionMove%1"_s.arg(i), text, [this, direction = direction] { m_form->moveContent(direction); });
        move->setShortcut(keys);
        m_moves.append(move);
    }
    m_larger = action(u"actionLarger"_s, tr("放大(&B)"), [this] { m_form->stepSize(Form1::Step::Larger); });
    m_larger->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m_smaller = action(u"actionSmaller"_s, tr("缩小(&S)"), [this] { m_form->stepSize(Form1::Step::Smaller); });
    m_smaller->setShortcut(Qt::CTRL | Qt::Key_Minus);
    m_pictureSettings =
        action(u"actionPictureSettings"_s, tr("图片设置(&P)…"), [this] { m_form->showPictureSettings(); });
    m_pictureSettings->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    // For boards mounted or spinning the other way: the canvas shows what the scan will read.
    m_mirrorLeftRight = action(u"actionMirrorLeftRight"_s, tr("左右镜像(&M)"));
    m_mirrorUpsideDown = action(u"actionMirrorUpsideDown"_s, tr("上下颠倒(&I)"));
    for (QAction *mirror : {m_mirrorLeftRight, m_mirrorUpsideDown}) {
        mirror->setCheckable(true);
        connect(mirror, &QAction::triggered, m_form, [this] {
            m_form->setContentMirror({m_mirrorLeftRight->isChecked(), m_mirrorUpsideDown->isChecked()});
        });
    }

    m_ledCounts = new QActionGroup(this);
    m_ledCounts->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        const int count = 8 * i + 8;
        QAction *leds =
            action(u"actionLeds%1"_s.arg(i), ledCountItem(i), [this, count] { m_form->setLedCount(count); });
        leds->setCheckable(true);
        leds->setChecked(count == m_form->ledcount());
        leds->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        leds->setData(count);
        m_ledCounts->addAction(leds);
    }
    m_write = action(u"actionWrite"_s, tr("写入新内容(&W)"), [this] { m_form->writeContent(); });
    m_write->setShortcut(Qt::Key_F5);
    m_erase = action(u"actionErase"_s, tr("擦除旧内容(&E)"), [this] { m_form->eraseContent(); });
    m_erase->setShortcut(Qt::SHIFT | Qt::Key_F5);
    m_writePattern = action(u"actionWritePattern"_s, tr("写入测试图案(&T)"), [this] { m_form->writeTestPattern(); });
    m_writePattern->setToolTip(tr("写入方向测试图案，看板子是否需要镜像；画面上的内容不变"));

    m_showBelow = action(u"actionShowBelow"_s, tr("显示LED数量与内容代码区(&A)"));
    m_showBelow->setCheckable(true);
    m_showBelow->setShortcut(Qt::Key_F4);
    connect(m_showBelow, &QAction::toggled, this, &MainWindow::showBelowDesign);

    m_languages = new QActionGroup(this);
    const platform::LanguageChoice stored = platform::storedLanguageChoice();
    const std::array<std::pair<QString, platform::LanguageChoice>, 3> languages{{
        {tr("跟随系统"), platform::LanguageChoice::System},
        {u"中文"_s, platform::LanguageChoice::Chinese},
        {u"English"_s, platform::LanguageChoice::English},
    }};
    for (const auto &[text, choice] : languages) {
        QAction *language = action(u"actionLanguage%1"_s.arg(int(choice)), text);
        language->setCheckable(true);
        language->setChecked(choice == stored);
        language->setData(int(choice));
        m_languages->addAction(language);
    }
    connect(m_languages, &QActionGroup::triggered, this, &MainWindow::chooseLanguage);

    m_guide = action(u"actionGuide"_s, tr("使用指南(&G)"));
    m_guide->setShortcut(QKeySequence::HelpContents);
    connect(m_guide, &QAction::triggered, this, [this] { showGuide(this); });
    m_usageHelp = action(u"actionUsageHelp"_s, tr("使用帮助(&U)"), [this] { m_form->offerProductPage(); });
    m_productPage = action(u"actionProductPage"_s, tr("查看产品详情(&P)"), [this] { m_form->showProductDetails(); });
    m_about = action(u"actionAbout"_s, tr("关于 Tavrin(&A)"));
    m_about->setMenuRole(QAction::AboutRole);
    connect(m_about, &QAction::triggered, this, [this] { showAbout(this, m_form->contact()); });
    m_aboutQt = action(u"actionAboutQt"_s, tr("关于 Qt"));
    m_aboutQt->setMenuRole(QAction::AboutQtRole);
    connect(m_aboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
}

void MainWindow::createMenus() {
    QMenu *file = menuBar()->addMenu(tr("文件(&F)"));
    file->addActions({m_newProject, m_openProject});
    m_recentMenu = file->addMenu(tr("最近的工程(&R)"));
    m_recentMenu->setObjectName(u"recentProjects"_s);
    file->addActions({m_saveProject, m_saveProjectAs});
    file->addSeparator();
    file->addActions({m_openPicture, m_closePicture});
    file->addSeparator();
    file->addActions({m_exportHex, m_checkFile});
    file->addSeparator();
    file->addAction(m_quit);

    QMenu *edit = menuBar()->addMenu(tr("编辑(&E)"));
    edit->addActions({m_undo, m_redo});
    edit->addSeparator();
    edit->addAction(m_copyCode);

    // The project's name and whether it changed, at the menu bar's end: the design and its caption
    // are left as they are.
    m_projectName = new QLabel(menuBar());
    m_projectName->setObjectName(u"projectName"_s);
    m_projectName->setTextFormat(Qt::PlainText);
    m_projectName->setContentsMargins(0, 0, 6, 0);
    menuBar()->setCornerWidget(m_projectName);

    QMenu *canvas = menuBar()->addMenu(tr("画面(&C)"));
    canvas->addActions(m_moves);
    canvas->addSeparator();
    canvas->addActions({m_larger, m_smaller});
    canvas->addSeparator();
    canvas->addAction(m_pictureSettings);
    canvas->addSeparator();
    canvas->addActions({m_mirrorLeftRight, m_mirrorUpsideDown});

    QMenu *board = menuBar()->addMenu(tr("电路板(&B)"));
    QMenu *leds = board->addMenu(tr("LED数量(&L)"));
    leds->addActions(m_ledCounts->actions());
    board->addSeparator();
    board->addActions({m_write, m_erase});
    board->addSeparator();
    board->addAction(m_writePattern);

    m_viewMenu = menuBar()->addMenu(tr("查看(&V)"));
    m_viewMenu->addAction(m_showBelow);
    m_viewMenu->addAction(m_form->boardPreviewAction()); // the board preview window, Ctrl+B
    m_viewMenu->addSeparator();
    QMenu *language = m_viewMenu->addMenu(tr("语言(&L)（重新启动后生效）"));
    language->addActions(m_languages->actions());

    QMenu *help = menuBar()->addMenu(tr("帮助(&H)"));
    help->addAction(m_guide);
    help->addAction(m_usageHelp);
    help->addAction(m_productPage);
    help->addSeparator();
    help->addActions({m_about, m_aboutQt});
}

void MainWindow::createCanvasMenu() {
    const auto separator = [this] {
        auto *s = new QAction(this);
        s->setSeparator(true);
        return s;
    };
    m_form->addCanvasActions({m_openPicture, m_closePicture, m_pictureSettings, separator()});
    m_form->addCanvasActions(m_moves);
    m_form->addCanvasActions({m_larger, m_smaller, separator(), m_copyCode});
}

void MainWindow::connectForm() {
    connect(m_project, &ProjectDocument::stateChanged, this, &MainWindow::showProjectState);
    connect(m_project, &ProjectDocument::recentProjectsChanged, this, &MainWindow::fillRecentMenu);
    showProjectState();
    fillRecentMenu();
    connect(m_form, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(m_form, &Form1::pictureModeChanged, this, &MainWindow::followForm);
    connect(m_form, &Form1::sendingChanged, this, &MainWindow::followForm);
    connect(m_form, &Form1::composed, this, &MainWindow::followComposition);
    connect(m_form, &Form1::ledCountListed, this, [this](int leds) {
        for (QAction *a : m_ledCounts->actions()) {
            if (a->data().toInt() == leds) {
                a->setChecked(true);
            }
        }
    });
    followForm();
    followComposition();
}

void MainWindow::followForm() {
    // What the form locks while a send runs is locked in the menu too; closing a picture needs one.
    const bool idle = !m_form->isSending();
    for (QAction *a : {m_openPicture, m_exportHex, m_write, m_erase, m_writePattern, m_newProject, m_openProject,
                       m_pictureSettings, m_mirrorLeftRight, m_mirrorUpsideDown}) {
        a->setEnabled(idle);
    }
    m_recentMenu->setEnabled(idle);
    // No step is taken back while a send runs, as no control changes the composition then.
    m_undo->setEnabled(idle && m_form->undoStack()->canUndo());
    m_redo->setEnabled(idle && m_form->undoStack()->canRedo());
    m_ledCounts->setEnabled(idle);
    m_closePicture->setEnabled(idle && m_form->picmode() == 1);
}

void MainWindow::followComposition() {
    const compose::Mirror mirror = m_form->contentMirror();
    m_mirrorLeftRight->setChecked(mirror.leftRight);
    m_mirrorUpsideDown->setChecked(mirror.upsideDown);

    // Offered once for each picture opened, until dismissed or no longer taller than the board.
    const QImage &loaded = m_form->loadedPicture();
    if (!loaded.isNull() && loaded.cacheKey() != m_offeredPicture) {
        m_offeredPicture = loaded.cacheKey();
        m_offerDismissed = false;
    }
    const int shownHeight = m_form->canvas().picture.picture.height();
    const bool tall = m_form->picmode() == 1 && shownHeight > m_form->ledcount();
    if (tall) {
        m_pictureOfferText->setText(
            tr("图片高 %1 点，板子只有 %2 个LED，只能显示上面的 %2 行。").arg(shownHeight).arg(m_form->ledcount()));
    }
    showPictureOffer(tall && !m_offerDismissed);
}

void MainWindow::createPictureOffer() {
    m_pictureOffer = new QStatusBar(this);
    m_pictureOffer->setObjectName(u"pictureOffer"_s);
    m_pictureOffer->setSizeGripEnabled(false);
    m_pictureOfferText = new QLabel(m_pictureOffer);
    m_pictureOfferText->setObjectName(u"pictureOfferText"_s);
    auto *adjust = new QPushButton(tr("调整图片…"), m_pictureOffer);
    adjust->setObjectName(u"pictureOfferSettings"_s);
    adjust->setToolTip(tr("缩放、裁剪、旋转图片；选好的大小也用于以后打开的图片"));
    connect(adjust, &QPushButton::clicked, m_form, &Form1::showPictureSettings);
    auto *dismiss = new QToolButton(m_pictureOffer);
    dismiss->setObjectName(u"pictureOfferDismiss"_s);
    dismiss->setText(u"×"_s);
    dismiss->setToolTip(tr("不再提示这幅图片"));
    dismiss->setAutoRaise(true);
    connect(dismiss, &QToolButton::clicked, this, [this] {
        m_offerDismissed = true;
        showPictureOffer(false);
    });
    m_pictureOffer->addWidget(m_pictureOfferText, 1);
    m_pictureOffer->addPermanentWidget(adjust);
    m_pictureOffer->addPermanentWidget(dismiss);
    setStatusBar(m_pictureOffer);
    m_pictureOffer->hide();
}

void MainWindow::showPictureOffer(bool shown) {
    if (shown != m_pictureOffer->isHidden()) {
        return;
    }
    // The window grows by the bar and shrinks back after it: the form keeps its size.
    const int formHeight = m_form->height();
    m_pictureOffer->setVisible(shown);
    layout()->activate();
    if (!isMaximized() && !isFullScreen()) {
        resize(width(), height() + formHeight - m_form->height());
    }
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_project->maySwitch()) {
        event->ignore();
        return;
    }
    m_form->abandonSend();
    QMainWindow::closeEvent(event);
}

void MainWindow::showProjectState() {
    const QString name = m_project->displayName();
    m_projectName->setText(m_project->isModified() ? tr("%1（已修改）").arg(name) : name);
    m_projectName->setToolTip(m_project->path());
}

void MainWindow::fillRecentMenu() {
    m_recentMenu->clear();
    const QStringList paths = m_project->recentProjects();
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        QAction *recent = m_recentMenu->addAction(u"&%1 %2"_s.arg(i + 1).arg(QFileInfo(path).fileName()));
        recent->setToolTip(path);
        connect(recent, &QAction::triggered, this, [this, path] { m_project->openFile(path); });
    }
    m_recentMenu->setEnabled(!paths.isEmpty() && !m_form->isSending());
}

void MainWindow::checkContentFile() {
    const QString path =
        m_checkDialogs.openFile(this, tr("HEX 机器码 Files (*.hex)|*.hex|内容代码(*.txt)|*.txt|All Files(*.*)|*"), 1);
    if (!path.isEmpty()) {
        m_form->checkContentFile(path);
    }
}

void MainWindow::showBelowDesign(bool shown) {
    const QSize wanted = shown ? m_form->sizeShowingAll() : Form1::designSize;
    const int extraHeight = height() - m_form->height();
    if (isMaximized() || isFullScreen()) {
        return;
    }
    resize(qMax(width(), wanted.width()), wanted.height() + extraHeight);
}

void MainWindow::chooseLanguage(QAction *chosen) {
    const auto choice = platform::LanguageChoice(chosen->data().toInt());
    platform::storeLanguageChoice(choice);
    const bool chinese = platform::languageFor(choice) == platform::UiLanguage::Chinese;
    platform::showMessage(this, chinese ? u"下次启动 Tavrin 时使用中文界面。"_s
                                        : u"Tavrin will speak English from its next start."_s);
}

} // namespace tavrin::app
