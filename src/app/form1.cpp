#include "app/form1.h"

#include "app/boardpreview.h"
#include "app/canvasview.h"
#include "app/fontlist.h"
#include "app/ledcountlist.h"
#include "app/portlist.h"
#include "app/reasons.h"
#include "app/variantdialog.h"
#include "base/ledcount.h"
#include "compose/geometry.h"
#include "compose/picture.h"
#include "contact/contact.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "link/boardlink.h"
#include "link/sendjob.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/translations.h"
#include "preview/roundmap.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

constexpr int frameIntervalMs = 16; // long loops repaint at most about 60 times a second

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent) {
    createControls();
    Form_Load();
    connectControls();
    prepareDesktopUse();
    if (const QScreen *screen = QGuiApplication::primaryScreen(); screen && isWindow()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    m_frameClock.start();
    // Changes are steps from here on; what the window starts with is the new project's composition.
    m_undo = new QUndoStack(this);
    m_start = composition();
    m_committed = m_start;
    Timer1->start();
    Timer2->start();
}

Form1::~Form1() {
    abandonSend();
    // The undo stack is deleted with the form's children and reports itself clean on the way out;
    // the window that listens is already half destroyed by then.
    if (m_undo) {
        m_undo->blockSignals(true);
    }
}

void Form1::connectControls() {
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this,
            [this](int index) { Q_EMIT ledCountListed(Combo2->itemData(index).toInt()); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Slider2, &QSlider::valueChanged, this, [this] { Slider2_Change(); });
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] { Text1_Change(); });
    for (int i = 0; i < int(Command9.size()); ++i) {
        connect(Command9[i], &QPushButton::clicked, this, [this, i] { Command9_Click(i); });
    }
    for (int i : {0, 1}) {
        connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    }
    for (int i : {0, 2}) {
        connect(Command14[i], &QPushButton::clicked, this, [this, i] { Command14_Click(i); });
    }
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(0); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    Text2->viewport()->installEventFilter(this);
    // The edit box's own undo would be a second history beside the window's.
    Text1->setUndoRedoEnabled(false);
    Text1->installEventFilter(this);

    m_previewAction = new QAction(tr("板上预览…"), this);
    m_previewAction->setObjectName(u"showBoardPreview"_s);
    m_previewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(m_previewAction, &QAction::triggered, this, &Form1::showBoardPreview);
    addAction(m_previewAction);
    Picture1->addAction(m_previewAction);
    Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connectDrags(Picture1);

    m_stopSend = new QAction(this);
    m_stopSend->setObjectName(u"stopSending"_s);
    m_stopSend->setShortcut(Qt::Key_Escape);
    m_stopSend->setEnabled(false);
    connect(m_stopSend, &QAction::triggered, this, &Form1::stopSending);
    addAction(m_stopSend);
}

void Form1::addCanvasActions(const QList<QAction *> &actions) {
    Picture1->addActions(actions);
}

void Form1::showBoardPreview() {
    if (!m_preview) {
        m_preview = new BoardPreview(this);
        connect(this, &Form1::composed, m_preview, [this] {
            if (m_preview->isVisible()) {
                feedPreview();
            }
        });
        connect(m_preview, &BoardPreview::dotSettingsChanged, this, &Form1::setPictureDots);
        connectDrags(m_preview->litDots());
        connect(m_preview, &BoardPreview::settingsEdited, this, &Form1::settingsEdited);
        m_preview->applySettings(m_previewSettings);
        m_preview->showDotSettings(m_pictureSettings.dots);
        m_preview->setDotControlsEnabled(!isSending());
    }
    // The content first: the view fits its LED column to its height when it is first shown.
    feedPreview();
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void Form1::feedPreview() {
    m_preview->setCanvas(Picture1->image(), canvas().width, canvas().height, ledcount());
}

void Form1::setPictureDots(const compose::DotSettings &settings) {
    compose::PictureSettings changed = m_pictureSettings;
    changed.dots = settings;
    applyPictureSettings(changed, tr("图片点阵设置"));
}

bool Form1::setPictureSettings(const compose::PictureSettings &settings) {
    return applyPictureSettings(settings, tr("图片设置"));
}

bool Form1::applyPictureSettings(const compose::PictureSettings &settings, const QString &stepName) {
    if (m_send) {
        return false; // what is being sent stays as it is
    }
    compose::PictureSettings shapedBy = m_pictureSettings;
    shapedBy.dots = settings.dots;
    const bool reshape = settings != shapedBy;
    QImage loaded = m_loadedPicture;
    if (!loaded.isNull() && settings.frame != m_pictureSettings.frame) {
        // A project keeps the one frame it was saved with; another is read from the picture's file.
        const QString path = pictureFile();
        if (path.isEmpty()) {
            platform::showMessage(this, Reasons::frameUnavailable(m_pictureName));
            return false;
        }
        const compose::LoadedPicture read = compose::loadPicture(path, settings.frame);
        if (read.image.isNull()) {
            platform::showMessage(this, Reasons::pictureProblem(read));
            return false;
        }
        loaded = read.image;
        m_pictureFiles.insert(loaded.cacheKey(), path);
    }
    compose::ShapedPicture shaped;
    if (!loaded.isNull() && reshape && !preparePicture(loaded, settings, shaped)) {
        return false;
    }
    beginStep();
    m_pictureSettings = settings;
    if (!loaded.isNull()) {
        m_loadedPicture = loaded;
        if (reshape) {
            m_shapedPicture = shaped.image;
            m_composer.setPicture(compose::makeDots(m_shapedPicture, settings.dots));
        } else {
            // The dots alone: the prepared picture is not made again.
            m_composer.replacePicture(compose::makeDots(m_shapedPicture, settings.dots));
        }
        refreshCanvas();
    }
    if (m_preview) {
        m_preview->showDotSettings(settings.dots);
    }
    endStep(stepName);
    return true;
}

bool Form1::preparePicture(const QImage &loaded, const compose::PictureSettings &settings,
                           compose::ShapedPicture &shaped) {
    shaped = preview::shapeForCanvas(loaded, settings, m_composer.ledCount(), m_composer.canvas().widthDots());
    if (shaped.problem != compose::ShapedPicture::None) {
        platform::showMessage(this, Reasons::shapeProblem(shaped));
        return false;
    }
    return true;
}

void Form1::setContentMirror(compose::Mirror mirror) {
    if (m_send) {
        return;
    }
    beginStep();
    m_composer.setMirror(mirror);
    refreshCanvas();
    endStep(tr("镜像"));
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    // Undo and redo keys in the edit box reach the window's Edit menu, which steps through the
    // typing as through every other change.
    if (watched == Text1 && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            return true;
        }
    }
    if (watched == Text2->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Text2_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Form_Load() {
    // Tested and split as read: the store's text widget would turn CR LF into LF.
    const QString contactText = contact::effectiveContactText(contact::readContactFile());
    Text4->setPlainText(contactText);
    m_contact = contact::splitContact(contactText);
    m_progresscount = 0;

    Combo7->setPorts(link::surveyPorts());

    for (int i = 0; i < 4; ++i) {
        Combo2->addItem(ledCountItem(i), 8 * i + 8);
    }
    Combo2->setCurrentIndex(1);
    Combo2_Click();

    if (Combo7->count() > 0) {
        Combo7->setCurrentIndex(0);
    }

    List1->setFamilies(platform::fontFamilies(platform::shownLanguage() == platform::UiLanguage::Chinese));
    const QList<QListWidgetItem *> song = List1->findItems(u"宋体"_s, Qt::MatchExactly);
    if (!song.isEmpty()) {
        List1->setCurrentItem(song.constFirst());
        List1_Click();
    }

    m_texts[0] = contact::contactField(m_contact, contact::Instructions);

    Picture3->hide();
    Picture3->move(frameGeometry().width() / 2 - Picture3->width() / 2,
                   frameGeometry().height() / 2 - Picture3->height() / 2);
    m_ticks = 0;
    m_canvasleft = Picture1->leftTwips();
    loadtext();

    m_composer.applyStartGeometry();
    refreshCanvas();
}

void Form1::loadtext() {
    Text1->setPlainText(m_texts[0]);
    Text1_Change(); // the edit box reports no change while its signals are not yet wired
}

void Form1::run() {
    const QString family = List1->chosenFamily();
    const compose::SizeReport report =
        m_composer.run(compose::Canvas::withCrLf(Text1->toPlainText()), family, Slider2->value());
    Label7->setText(tr("当前%1字，%2号字尺寸%3*%4！（最大尺寸%5*%6）")
                        .arg(QString::number(report.characters), QString::number(report.size), report.textWidth,
                             report.textHeight, report.matrixWidth, report.matrixHeight) +
                    (report.overflows ? tr("已超出显示！") : QString()));
    refreshCanvas();
}

void Form1::Text1_Change() {
    beginStep();
    run();
    endStep(tr("输入文字"), true);
}

void Form1::List1_Click() {
    beginStep();
    run();
    endStep(tr("更改字体"));
}

void Form1::Slider2_Change() {
    beginStep();
    run();
    endStep(tr("更改字号"));
}

void Form1::Combo2_Click() {
    setLedCount(listedLedCount());
}

int Form1::listedLedCount() const {
    // The item's count as listed; its words may be in any language.
    const QVariant listed = Combo2->itemData(Combo2->currentIndex());
    return listed.isValid() ? listed.toInt() : ledCountFromItem(Combo2->itemText(Combo2->currentIndex()));
}

void Form1::setLedCount(int leds) {
    // A count that names no LED column leaves the matrix as it is.
    if (m_send || !base::isLedCount(leds)) {
        return;
    }
    // A picture fitted to the LED height or the canvas is fitted to the new ones.
    compose::ShapedPicture shaped;
    const bool reshape =
        !m_loadedPicture.isNull() && compose::followsLedCount(m_pictureSettings) && leds != m_composer.ledCount();
    if (reshape) {
        compose::Composer resized = m_composer;
        resized.applyLedCount(leds);
        shaped = preview::shapeForCanvas(m_loadedPicture, m_pictureSettings, leds, resized.canvas().widthDots());
        if (shaped.problem != compose::ShapedPicture::None) {
            platform::showMessage(this, Reasons::shapeProblem(shaped));
            const QSignalBlocker blocker(Combo2);
            Combo2->setCurrentIndex(Combo2->findData(m_composer.ledCount()));
            return;
        }
    }
    beginStep();
    m_composer.applyLedCount(leds);
    if (reshape) {
        m_shapedPicture = shaped.image;
        m_composer.setPicture(compose::makeDots(m_shapedPicture, m_pictureSettings.dots));
    }
    if (listedLedCount() != leds) {
        Combo2->setCurrentIndex(Combo2->findData(leds));
    }
    HScroll1_Change();
    run();
    endStep(tr("更改LED数量"));
}

float Form1::outerWidthTwips() const {
    // The window around the form, menu bar and frame included, as the scroll rule measures it.
    return float(window()->frameGeometry().width() * compose::twipsPerDot);
}

void Form1::HScroll1_Change() {
    Picture1->setLeftTwips(compose::scrolledLeft(m_composer.canvas().width, outerWidthTwips(),
                                                 qint16(HScroll1->value()), qint16(HScroll1->maximum())));
}

void Form1::refreshCanvas() {
    Picture1->setImage(m_composer.render());
    Q_EMIT composed();
}

void Form1::repaintAtFrameRate(QWidget *widget) {
    if (m_frameClock.elapsed() >= frameIntervalMs) {
        widget->repaint();
        m_frameClock.restart();
    }
}

void Form1::Command9_Click(int index) {
    constexpr compose::Direction arrows[] = {compose::Direction::Up, compose::Direction::Down, compose::Direction::Left,
                                             compose::Direction::Right};
    if (index >= 0 && index <= 3) {
        moveContent(arrows[index]);
    } else if (index == 4 || index == 5) {
        stepSize(index == 4 ? Step::Larger : Step::Smaller);
    } else if (index == 6) {
        togglePicture();
    }
}

void Form1::moveContent(compose::Direction direction) {
    beginStep();
    m_composer.move(direction);
    refreshCanvas();
    switch (direction) {
    case compose::Direction::Up:
        return endStep(tr("上移"));
    case compose::Direction::Down:
        return endStep(tr("下移"));
    case compose::Direction::Left:
        return endStep(tr("左移"));
    case compose::Direction::Right:
        return endStep(tr("右移"));
    }
}

void Form1::stepSize(Step step) {
    const bool larger = step == Step::Larger;
    beginStep();
    Slider2->setValue(m_composer.textSizeStep(larger, Slider2->value())); // renders again when it changes
    m_composer.resizePicture(larger);
    refreshCanvas();
    endStep(larger ? tr("放大") : tr("缩小"));
}

void Form1::togglePicture() {
    if (m_send) {
        return;
    }
    beginStep();
    const bool picture = m_composer.switchMode();
    showPictureMode();
    if (picture) {
        openpicture();
    }
    refreshCanvas();
    endStep(picture ? tr("打开图片") : tr("关闭图片"));
}

void Form1::showPictureMode() {
    const bool picture = m_composer.mode() == compose::Mode::Picture;
    Command9[6]->setText(picture ? tr("关闭图片") : tr("打开图片"));
    Q_EMIT pictureModeChanged(picture);
}

void Form1::openpicture() {
    const QString path = CommonDialog1.openFile(
        this,
        tr("All Files(*.*)|*|BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg;*.jpeg|GIF Files(*.gif)|*.gif|"
           "PNG Files(*.png)|*.png|所有图片|*.bmp;*.jpg;*.jpeg;*.gif;*.png"),
        2);
    if (path.isEmpty()) {
        return;
    }
    if (const QImage image = readPicture(path); !image.isNull()) {
        usePicture(image, path);
    }
}

bool Form1::usePicture(const QImage &picture, const QString &path) {
    compose::PictureSettings settings = m_pictureSettings;
    settings.crop = QRect();
    settings.frame = 0;
    compose::ShapedPicture shaped;
    if (!preparePicture(picture, settings, shaped)) {
        return false;
    }
    m_pictureSettings = settings;
    m_loadedPicture = picture;
    m_pictureName = QFileInfo(path).fileName();
    m_pictureFiles.insert(picture.cacheKey(), path);
    m_shapedPicture = shaped.image;
    m_composer.setPicture(compose::makeDots(m_shapedPicture, settings.dots));
    return true;
}

QImage Form1::readPicture(const QString &path) {
    const compose::LoadedPicture loaded = compose::loadPicture(path);
    if (loaded.image.isNull()) {
        platform::showMessage(this, Reasons::pictureProblem(loaded));
    }
    return loaded.image;
}

bool Form1::openPictureFile(const QString &path) {
    const QImage image = readPicture(path);
    if (image.isNull()) {
        return false;
    }
    beginStep();
    const bool used = usePicture(image, path);
    if (used && m_composer.mode() == compose::Mode::Text) {
        m_composer.switchMode();
        showPictureMode();
    }
    refreshCanvas();
    endStep(tr("打开图片"));
    return used;
}

void Form1::progress(const QString &caption, double fraction) {
    m_progresscount += 1;
    if (m_progresscount > 10) {
        drawProgress(caption, fraction);
        m_progresscount = 0;
        repaintAtFrameRate(Picture3);
    }
}

void Form1::drawProgress(const QString &caption, double fraction) {
    Label16[1]->setText(caption);
    Label16[1]->adjustSize();
    Label16[2]->resize(int(fraction * Label16[0]->width()), Label16[2]->height());
}

void Form1::makecode() {
    Picture1->repaint();
    repaint();
    // The scan reads the composed image at memory speed; the canvas slides under a fixed point
    // on screen as it goes, painted at the frame rate.
    const float width = m_composer.canvas().width;
    float slide = Picture1->leftTwips();
    encode::ScanHooks hooks;
    hooks.columnDone = [&](int column, int) {
        slide -= compose::twipsPerDot;
        if (m_frameClock.elapsed() >= frameIntervalMs) {
            Picture1->setLeftTwips(slide);
            repaintAtFrameRate(Picture1);
        }
        progress(tr("正在生成数据 请稍候……"), (5.0 + compose::twipsPerDot * column) / width);
    };
    hooks.badColumn = [this](const QString &message) { platform::showMessage(this, message); };
    const QString code = encode::makeContentCode(m_composer, hooks);
    Picture1->setLeftTwips(m_canvasleft);
    m_progresscount = 0;
    m_codeLedCount = m_composer.ledCount();
    Text3->setText(code);
    Text2->setPlainText(code);
}

void Form1::sendcode(const QString &command) {
    sendcode(command, Text3->text());
}

void Form1::sendcode(const QString &command, const QString &contentCode) {
    const QString portText = Combo7->currentText();
    // An item goes to the device it was listed for; a typed text is looked up now.
    QString device = Combo7->chosenDevice();
    if (device.isEmpty()) {
        const link::PortResolution port = link::resolvePort(portText);
        if (port.device.isEmpty()) {
            Picture3->hide();
            platform::showMessage(this, Reasons::linkFailure(port.failure));
            return;
        }
        device = port.device;
    }
    const QByteArray bytes = link::frameBytes(link::frameText(command, contentCode));
    m_send = new link::SendJob(portText, device, bytes, this);
    connect(m_send, &link::SendJob::progressed, this, &Form1::showSendProgress);
    connect(m_send, &link::SendJob::finished, this, [this, command] { sendFinished(command); });
    Picture3->show();
    setSending(true);
    m_send->start();
}

void Form1::sendFinished(const QString &command) {
    const link::SendResult result = m_send->result();
    m_send->deleteLater(); // its signal is still being delivered
    m_send = nullptr;
    setSending(false);
    Picture3->hide();
    if (result.status == link::SendStatus::Cancelled) {
        platform::showMessage(this, tr("已停止发送：%1 个字节中只有 %2 个送到了电路板，电路板上的内容不完整。"
                                       "请重新写入新内容，或擦除旧内容。")
                                        .arg(result.total)
                                        .arg(result.delivered));
    } else if (!result.sent()) {
        platform::showMessage(this, Reasons::linkFailure(result.failure));
    } else if (command == QLatin1StringView(link::eraseCommand)) {
        platform::showMessage(this, tr("　　已发出擦除命令！如点阵仍然显示原内容，请检查串口号、连接线！\r\r"
                                       "注意：出厂的内置广告是无法擦除的，擦除成功后会显示内置广告！"));
    } else {
        platform::showMessage(this, tr("写数据已经完成！如不能显示新内容，请检查串口号、连接线！"));
    }
}

void Form1::setSending(bool sending) {
    for (QWidget *control :
         std::initializer_list<QWidget *>{Command14[0], Command14[2], Command7, Command9[6], Combo2, Combo7}) {
        control->setEnabled(!sending);
    }
    Text1->setReadOnly(sending);
    m_stopSend->setEnabled(sending);
    if (m_preview) {
        m_preview->setDotControlsEnabled(!sending);
    }
    Q_EMIT sendingChanged(sending);
}

void Form1::showSendProgress(qint64 delivered, qint64 total) {
    drawProgress(tr("正在发送数据，请稍候……"), total > 0 ? double(delivered) / double(total) : 1.0);
}

void Form1::stopSending() {
    if (m_send) {
        m_send->cancel();
    }
}

void Form1::abandonSend() {
    if (!m_send) {
        return;
    }
    delete m_send; // stops the send and waits for its port to close; it reports nothing more
    m_send = nullptr;
    setSending(false);
    Picture3->hide();
}

void Form1::closeEvent(QCloseEvent *event) {
    abandonSend();
    QWidget::closeEvent(event);
}

void Form1::Command14_Click(int index) {
    if (index == 0) {
        eraseContent();
    } else if (index == 2) {
        writeContent();
    }
}

void Form1::eraseContent() {
    if (!m_send) {
        showProgressPanel();
        sendcode(QString::fromLatin1(link::eraseCommand));
    }
}

void Form1::writeContent() {
    if (!m_send) {
        showProgressPanel();
        makecode();
        sendcode(QString::fromLatin1(link::writeCommand));
    }
}

void Form1::showProgressPanel() {
    Picture3->show();
    Picture1->repaint();
    repaint();
}

void Form1::Text2_Click() {
    copyContentCode();
}

void Form1::copyContentCode() {
    if (Text2->toPlainText().isEmpty()) {
        platform::showMessage(this, tr("还没有内容代码：请先按“写入新内容”生成。"));
        return;
    }
    platform::setClipboardText(Text2->toPlainText());
    platform::showMessage(this, tr("本代码已经成功复制到剪贴板！"));
}

void Form1::Command7_Click(int) {
    exportHex();
}

void Form1::exportHex() {
    if (m_send) {
        return;
    }
    // No control of the window names the board's firmware: ask each time, offering the last choice or,
    // at first, the one made for the chosen LED count.
    int preselected = m_lastVariant >= 0 ? m_lastVariant : hex::variantForLedCount(m_composer.ledCount());
    // The export embeds the code of the last write, made for the LED count chosen then.
    const int codeLeds = m_codeLedCount > 0 ? m_codeLedCount : m_composer.ledCount();
    for (;;) {
        const std::optional<int> chosen = VariantDialog::choose(this, preselected);
        if (!chosen) {
            return;
        }
        if (m_lastVariant != *chosen) {
            m_lastVariant = *chosen;
            Q_EMIT settingsEdited();
        }
        preselected = *chosen;
        const hex::Variant *variant = hex::findVariant(*chosen);
        if (!variant || variant->ledCount == codeLeds ||
            platform::askYesNo(this, tr("所选的 %1 号固件驱动 %2 个LED，而内容代码是按 %3 个LED生成的，"
                                        "电路板显示的内容会不正确。\n\n仍要导出吗？选“否”重新选择固件。")
                                         .arg(variant->number)
                                         .arg(variant->ledCount)
                                         .arg(codeLeds)) == platform::Answer::Yes) {
            break;
        }
    }
    makehex(m_lastVariant);
}

void Form1::makehex(int variant) {
    // Before the first write the code holder holds no content code; embedding it would make a broken file.
    const QString code = Text3->text();
    if (const hex::ExportRefusal refusal = hex::exportRefusal(variant, code)) {
        platform::showMessage(this, Reasons::exportRefusal(refusal));
        return;
    }
    const QByteArray bytes = hex::hexFileBytes(variant, code);
    const QString path = CommonDialog1.saveFile(this, tr("HEX 机器码 Files (*.hex)|*.hex|All Files(*.*)|*"), 1,
                                                u"hex"_s, u"tavrin-%1.hex"_s.arg(variant));
    if (path.isEmpty()) {
        return;
    }
    if (const platform::FileFault fault = platform::writeOutput(path, bytes)) {
        platform::showMessage(this, tr("无法保存HEX文件“%1”：%2").arg(path, Reasons::fileFault(fault)));
    }
}

void Form1::Timer1_Timer() {
    m_ticks += 1;
    const contact::MarqueeTick tick = contact::marqueeTick(m_ticks);
    setWindowTitle(tick.welcome ? contact::welcomeCaption(m_contact) : contact::titleCaption(m_contact));
    if (tick.notice) {
        m_ticks = 0;
        Timer1->stop();
        offerProductPage();
        Timer1->start();
    }
}

void Form1::Timer2_Timer() {
    Timer1->stop();
    Timer1->start();
}

void Form1::offerProductPage() {
    if (platform::askYesNoCancel(this, contact::updateNoticeText(m_contact), contact::updateNoticeTitle()) ==
        platform::Answer::Yes) {
        openProductPage();
    }
}

void Form1::openProductPage() {
    const QString address = contact::contactField(m_contact, contact::ProductPage);
    if (address.trimmed().isEmpty()) {
        platform::showMessage(this, tr("联系方式中没有产品页面的地址。"));
        return;
    }
    switch (platform::openWebPage(address)) {
    case platform::WebPageOpening::Opened:
        break;
    case platform::WebPageOpening::Refused:
        platform::showMessage(this, tr("无法打开产品页面“%1”：只能打开 http 或 https 网址。").arg(address));
        break;
    case platform::WebPageOpening::Invalid:
        platform::showMessage(this, tr("无法打开产品页面“%1”：这不是有效的网址。").arg(address));
        break;
    case platform::WebPageOpening::NoBrowser:
        platform::showMessage(this, tr("无法打开产品页面“%1”：没有可用的网页浏览器。").arg(address));
        break;
    }
}

void Form1::Command3_Click() {
    showProductDetails();
}

void Form1::showProductDetails() {
    offerProductPage();
    openProductPage();
}

void Form1::Command4_Click(int) {
    offerProductPage();
}

} // namespace tavrin::app
