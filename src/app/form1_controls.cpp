// The window's controls at their design places. Places are in twips (15 to a pixel).
#include "app/canvasview.h"
#include "app/fittedlabel.h"
#include "app/fontlist.h"
#include "app/form1.h"
#include "app/portlist.h"
#include "compose/geometry.h"
#include "contact/contact.h"
#include "platform/desktop.h"
#include "platform/translations.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

QRect place(int left, int top, int width, int height) {
    constexpr double dot = compose::twipsPerDot;
    return {qRound(left / dot), qRound(top / dot), qRound(width / dot), qRound(height / dot)};
}

template <typename W> W *control(QWidget *parent, const QString &name, QRect rect) {
    auto *widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect rect) {
    auto *b = control<QPushButton>(parent, name, rect);
    b->setText(caption);
    return b;
}

// The design's Song face in the Chinese window; the system's own face in the English one, where
// the Song face's Latin letters look dated. The design's point sizes stay, and with them its places.
QFont designFace(double points) {
    QFont font(platform::shownLanguage() == platform::UiLanguage::Chinese ? u"宋体"_s : platform::systemUiFamily());
    font.setPointSizeF(points);
    return font;
}

void setBackground(QWidget *widget, const QColor &colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

} // namespace

void Form1::createControls() {
    setObjectName(u"Form1"_s);
    setFont(designFace(9));
    const QStringList fields = contact::splitContact(contact::defaultContactText());
    setWindowTitle(tr("Tavrin！%1  TEL:%2")
                       .arg(contact::contactField(fields, contact::WebAddress),
                            contact::contactField(fields, contact::Telephones)));

    Picture1 = new CanvasView(this);
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setGeometry(place(420, 60, 8415, 525));

    HScroll1 = control<QScrollBar>(this, u"HScroll1"_s, place(0, 360, 9195, 255));
    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setRange(0, compose::scrollMaximum);
    HScroll1->setValue(0);

    createTextControls();
    createActionControls();

    createLedCountControls();

    createCodeBoxes();

    createProgressPanel();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(500);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(u"Timer2"_s);
    Timer2->setInterval(5200);

    // The design client area; the user may enlarge the window to reach the controls below it.
    setMinimumSize(613, 253);
    resize(613, 253);
}

// The text frame: the editor, the font list, the size slider, the size report and the arrows.
void Form1::createTextControls() {
    Frame2 = control<QGroupBox>(this, u"Frame2"_s, place(60, 720, 9075, 2295));
    Frame2->setTitle(tr("编辑文字，设定字体样式、大小："));

    Text1 = control<QPlainTextEdit>(Frame2, u"Text1"_s, place(120, 300, 5475, 1515));
    Text1->setFont(designFace(10.5));
    Text1->setToolTip(tr("点击编辑修改文字内容，可以保存！"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(u"Text1"_s);

    List1 = control<FontList>(Frame2, u"List1"_s, place(5700, 300, 2355, 1320));

    Slider2 = control<QSlider>(Frame2, u"Slider2"_s, place(5940, 1740, 2775, 375));
    Slider2->setOrientation(Qt::Horizontal);
    Slider2->setRange(compose::smallestTextSize, compose::largestTextSize);
    Slider2->setValue(12);
    Slider2->setSingleStep(1);
    Slider2->setPageStep(1);
    Slider2->setTickInterval(1);
    Slider2->setTickPosition(QSlider::TicksBelow);

    Label7 = control<FittedLabel>(Frame2, u"Label7"_s, place(60, 1980, 540, 180));
    Label7->setText(u"Label7"_s);
    Label7->adjustSize();

    const std::array<std::pair<QString, QRect>, 6> arrows{{
        {tr("上"), place(8400, 300, 315, 315)},
        {tr("下"), place(8400, 1260, 315, 315)},
        {tr("左"), place(8160, 780, 315, 315)},
        {tr("右"), place(8640, 780, 315, 315)},
        {tr("大"), place(8640, 1800, 315, 315)},
        {tr("小"), place(5700, 1800, 315, 315)},
    }};
    for (int i = 0; i < 6; ++i) {
        Command9[i] = button(Frame2, u"Command9_%1"_s.arg(i), arrows[i].first, arrows[i].second);
    }
}

// The buttons under the text frame and the port box.
void Form1::createActionControls() {
    Command9[6] = button(this, u"Command9_6"_s, tr("加载图片"), place(2727, 3143, 1335, 495));
    Command4[1] = button(this, u"Command4_1"_s, tr("使用帮助"), place(4398, 3143, 1335, 495));
    Command14[0] = button(this, u"Command14_0"_s, tr("擦除旧内容"), place(6069, 3143, 1335, 495));
    Command14[2] = button(this, u"Command14_2"_s, tr("写入新内容"), place(7740, 3143, 1335, 495));

    Label17 = control<QLabel>(this, u"Label17_4"_s, place(300, 3240, 1080, 180));
    Label17->setText(tr("选择串口号："));
    Label17->adjustSize();

    Combo7 = control<PortList>(this, u"Combo7"_s, place(1380, 3180, 855, 300));
    Combo7->setEditable(true);
    Combo7->setInsertPolicy(QComboBox::NoInsert);
    Combo7->setEditText(u"Combo7"_s);
}

// Below the design area: the LED-count frame with the HEX export and the product buttons.
void Form1::createLedCountControls() {
    Frame1 = control<QGroupBox>(this, u"Frame1"_s, place(0, 5760, 6495, 1095));
    Frame1->setTitle(tr("选择旋转点阵的LED数量："));
    Combo2 = control<QComboBox>(Frame1, u"Combo2"_s, place(120, 300, 2535, 300));
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->setEditText(u"Combo2"_s);
    Label2 = control<QLabel>(Frame1, u"Label2"_s, place(120, 780, 6015, 375));
    Label2->setText(tr("电路原理图已在本站公开，有套件出售，自行组装的用户可获取HEX文件！"));
    Command7 = button(Frame1, u"Command7_0"_s, tr("获取HEX文件"), place(2760, 240, 1335, 375));
    Command3 = button(Frame1, u"Command3"_s, tr("查看产品详情"), place(4200, 240, 1335, 375));
    Command4[0] = button(Frame1, u"Command4_0"_s, tr("帮助"), place(5640, 240, 735, 375));
}

// The content code as shown (Text2) and as sent (Text3), and the contact text (Text4).
void Form1::createCodeBoxes() {
    Text2 = control<QPlainTextEdit>(this, u"Text2"_s, place(120, 5940, 6435, 1455));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setReadOnly(true);
    Text2->setPlainText(u"Text2"_s);
    Text3 = control<QLineEdit>(this, u"Text3"_s, place(120, 7320, 6435, 270));
    Text3->setText(u"Text3"_s);
    Text4 = control<QPlainTextEdit>(this, u"Text4"_s, place(1440, 4440, 6615, 975));
    Text4->setPlainText(u"Text4"_s);
}

// The progress panel shown while the code is made and sent.
void Form1::createProgressPanel() {
    Picture3 = control<QWidget>(this, u"Picture3"_s, place(120, 8400, 5955, 1755));
    Frame4 = control<QFrame>(Picture3, u"Frame4"_s, place(0, 0, 5955, 1695));
    setBackground(Frame4, QColor(0, 255, 0));
    Label16[0] = control<QLabel>(Frame4, u"Label16_0"_s, place(120, 960, 5700, 480));
    setBackground(Label16[0], QColor(255, 255, 128));
    Label16[2] = control<QLabel>(Frame4, u"Label16_2"_s, place(120, 960, 1905, 480));
    setBackground(Label16[2], QColor(255, 0, 0));
    Label16[1] = control<QLabel>(Frame4, u"Label16_1"_s, place(300, 300, 5040, 315));
    Label16[1]->setFont(designFace(15.75));
    Label16[1]->setStyleSheet(u"color: rgb(0, 0, 255); background: transparent;"_s);
    Label16[1]->setText(tr("如果代码内容较长，请耐心等候……"));
    Label16[1]->adjustSize();
}

} // namespace tavrin::app
