#include "app/form1.h"

#include "app/canvasview.h"
#include "app/ledcountlist.h"
#include "compose/geometry.h"
#include "compose/picture.h"
#include "contact/contact.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "link/boardlink.h"
#include "platform/desktop.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

constexpr int frameIntervalMs = 16; // long loops repaint at most about 60 times a second
constexpr auto scanCaption = u"正在生成数据 请稍候……";
constexpr auto sendCaption = u"正在发送数据，请稍候……";
constexpr auto hexFilter = u"HEX 机器码 Files (*.hex)|*.hex|All Files(*.*)|*.*";
constexpr auto pictureFilter =
    "All Files(*.*)|*.*|BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg|GIF Files(*.gif)|*.gif";

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent) {
    createControls();
    Form_Load();
    connectControls();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    m_frameClock.start();
    Timer1->start();
    Timer2->start();
}

Form1::~Form1() = default;

void Form1::connectControls() {
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
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
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Text2->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Text2_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Form_Load() {
    Text4->setPlainText(contact::readContactFile());
    Text4->setPlainText(contact::effectiveContactText(Text4->toPlainText()));
    contact = contact::splitContact(Text4->toPlainText());
    progresscount = 0;

    for (const link::PortChoice &port : link::openablePorts()) {
        Combo7->addItem(port.label);
        Combo7->setItemData(Combo7->count() - 1, port.device, Qt::ToolTipRole);
    }

    for (int i = 0; i < 4; ++i) {
        Combo2->addItem(ledCountItem(i));
    }
    Combo2->setCurrentIndex(1);
    Combo2_Click();

    if (Combo7->count() > 0) {
        Combo7->setCurrentIndex(0);
    }

    List1->addItems(platform::installedFonts());
    const QList<QListWidgetItem *> song = List1->findItems(u"宋体"_s, Qt::MatchExactly);
    if (!song.isEmpty()) {
        List1->setCurrentItem(song.constFirst());
        List1_Click();
    }

    texts[0] = contact::contactField(contact, contact::Instructions);

    Picture3->hide();
    Picture3->move(frameGeometry().width() / 2 - Picture3->width() / 2,
                   frameGeometry().height() / 2 - Picture3->height() / 2);
    m_ticks = 0;
    canvasleft = Picture1->leftTwips();
    loadtext();

    m_composer.applyStartGeometry();
    refreshCanvas();
}

void Form1::loadtext() {
    Text1->setPlainText(texts[0]);
    Text1_Change(); // the edit box reports no change while its signals are not yet wired
}

void Form1::run() {
    const QString family = List1->currentItem() ? List1->currentItem()->text() : QString();
    Label7->setText(m_composer.run(compose::Canvas::withCrLf(Text1->toPlainText()), family, Slider2->value()));
    Label7->adjustSize();
    refreshCanvas();
}

void Form1::Text1_Change() {
    run();
}

void Form1::List1_Click() {
    run();
}

void Form1::Slider2_Change() {
    run();
}

void Form1::Combo2_Click() {
    // A text typed into the list's edit field names no LED count: the matrix stays as it is.
    if (!m_composer.applyLedCount(ledCountFromItem(Combo2->itemText(Combo2->currentIndex())))) {
        return;
    }
    HScroll1_Change();
    run();
}

float Form1::outerWidthTwips() const {
    return float(frameGeometry().width() * compose::twipsPerDot);
}

void Form1::HScroll1_Change() {
    Picture1->setLeftTwips(compose::scrolledLeft(m_composer.canvas().width, outerWidthTwips(),
                                                 qint16(HScroll1->value()), qint16(HScroll1->maximum())));
}

void Form1::refreshCanvas() {
    Picture1->setImage(m_composer.render());
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
        m_composer.move(arrows[index]);
    } else if (index == 4 || index == 5) {
        const bool larger = index == 4;
        Slider2->setValue(m_composer.textSizeStep(larger, Slider2->value())); // renders again when it changes
        m_composer.resizePicture(larger);
    } else if (index == 6) {
        const bool picture = m_composer.switchMode();
        Command9[6]->setText(picture ? u"关闭图片"_s : u"打开图片"_s);
        if (picture) {
            openpicture();
        }
    }
    refreshCanvas();
}

void Form1::openpicture() {
    const QString path = CommonDialog1.openFile(this, QString::fromLatin1(pictureFilter), 2);
    if (path.isEmpty()) {
        return;
    }
    if (const QImage image = readPicture(path); !image.isNull()) {
        m_composer.setPicture(image);
    }
}

QImage Form1::readPicture(const QString &path) {
    const compose::LoadedPicture loaded = compose::loadPicture(path);
    if (loaded.image.isNull()) {
        platform::showMessage(this, loaded.error);
    }
    return loaded.image;
}

bool Form1::openPictureFile(const QString &path) {
    const QImage image = readPicture(path);
    if (image.isNull()) {
        return false;
    }
    if (m_composer.mode() == compose::Mode::Text) {
        m_composer.switchMode();
        Command9[6]->setText(u"关闭图片"_s);
    }
    m_composer.setPicture(image);
    refreshCanvas();
    return true;
}

void Form1::progress(const QString &caption, double fraction) {
    progresscount += 1;
    if (progresscount > 10) {
        Label16[1]->setText(caption);
        Label16[1]->adjustSize();
        Label16[2]->resize(int(fraction * Label16[0]->width()), Label16[2]->height());
        progresscount = 0;
        repaintAtFrameRate(Picture3);
    }
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
        progress(QString::fromUtf16(scanCaption), (5.0 + compose::twipsPerDot * column) / width);
    };
    hooks.badColumn = [this](const QString &message) { platform::showMessage(this, message); };
    const QString code = encode::makeContentCode(m_composer, hooks);
    Picture1->setLeftTwips(canvasleft);
    progresscount = 0;
    Text3->setText(code);
    Text2->setPlainText(code);
}

bool Form1::sendcode(const QString &command) {
    const QString text = link::frameText(command, Text3->text());
    const QString portText = Combo7->currentText();
    const link::PortResolution port = link::resolvePort(portText);
    link::SendResult result;
    if (port.device.isEmpty()) {
        result.error = port.error;
    } else {
        Picture3->show();
        result = link::sendBytes(portText, port.device, link::frameBytes(text),
                                 [this](double fraction) { progress(QString::fromUtf16(sendCaption), fraction); });
    }
    Picture3->hide();
    if (!result.ok) {
        platform::showMessage(this, result.error);
    }
    return result.ok;
}

void Form1::Command14_Click(int index) {
    Picture3->show();
    Picture1->repaint();
    repaint();
    if (index == 0) {
        if (sendcode(QString::fromLatin1(link::eraseCommand))) {
            platform::showMessage(this, u"　　已发出擦除命令！如点阵仍然显示原内容，请检查串口号、连接线！\r\r"
                                        u"注意：出厂的内置广告是无法擦除的，擦除成功后会显示内置广告！"_s);
        }
    } else if (index == 2) {
        makecode();
        if (sendcode(QString::fromLatin1(link::writeCommand))) {
            platform::showMessage(this, u"写数据已经完成！如不能显示新内容，请检查串口号、连接线！"_s);
        }
    }
    Picture3->hide();
}

void Form1::Text2_Click() {
    platform::setClipboardText(Text2->toPlainText());
    platform::showMessage(this, u"本代码已经成功复制到剪贴板！"_s);
}

void Form1::Command7_Click(int) {
    // No control of the window names the board's firmware: ask each time, offering the last choice or,
    // at first, the one made for the chosen LED count.
    const QList<hex::Variant> &all = hex::variants();
    QStringList items;
    int preselect = 0;
    const int wanted = m_lastVariant >= 0 ? m_lastVariant : hex::variantForLedCount(m_composer.ledCount());
    for (const hex::Variant &variant : all) {
        if (variant.number == wanted) {
            preselect = int(items.size());
        }
        items.append(u"%1 号：%2 — %3"_s.arg(variant.number).arg(variant.title, variant.description));
    }
    bool chosen = false;
    const QString item =
        QInputDialog::getItem(this, u"获取HEX文件"_s, u"选择电路板所用的固件："_s, items, preselect, false, &chosen);
    if (!chosen) {
        return;
    }
    m_lastVariant = all.at(items.indexOf(item)).number;
    makehex(m_lastVariant);
}

void Form1::makehex(int variant) {
    // Before the first write the code holder holds no content code; embedding it would make a broken file.
    const QString code = Text3->text();
    if (const QString refusal = hex::exportRefusal(variant, code); !refusal.isEmpty()) {
        platform::showMessage(this, refusal);
        return;
    }
    const QByteArray bytes = hex::hexFileBytes(variant, code);
    const QString path = CommonDialog1.saveFile(this, QString::fromUtf16(hexFilter), 1, u"hex"_s);
    if (path.isEmpty()) {
        return;
    }
    if (const QString reason = platform::writeFileAtomically(path, bytes); !reason.isEmpty()) {
        platform::showMessage(this, u"无法保存HEX文件“%1”：%2"_s.arg(path, reason));
    }
}

void Form1::Timer1_Timer() {
    m_ticks += 1;
    const contact::MarqueeTick tick = contact::marqueeTick(m_ticks);
    setWindowTitle(tick.welcome ? contact::welcomeCaption(contact) : contact::titleCaption(contact));
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
    if (platform::askYesNoCancel(this, contact::updateNoticeText(contact),
                                 QString::fromUtf8(contact::updateNoticeTitle)) == platform::Answer::Yes) {
        openProductPage();
    }
}

void Form1::openProductPage() {
    platform::openWebPage(contact::contactField(contact, contact::ProductPage));
}

void Form1::Command3_Click() {
    // The product button shows the page whatever the answer to the offer.
    offerProductPage();
    openProductPage();
}

void Form1::Command4_Click(int) {
    offerProductPage();
}

} // namespace tavrin::app
