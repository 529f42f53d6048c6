// What makes the design-size form a desktop window: keyboard use, no design names or stores on
// show, and a clean arrangement below the design when the window is enlarged.
#include "app/fontlist.h"
#include "app/form1.h"
#include "app/portlist.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

constexpr int gap = 6;
constexpr int codeBoxMinHeight = 48;
constexpr int codeBoxShownHeight = 120;

} // namespace

void Form1::prepareDesktopUse() {
    // The stores keep their roles but are never shown, focused or edited.
    for (QWidget *store : {static_cast<QWidget *>(Text3), static_cast<QWidget *>(Text4)}) {
        store->hide();
        store->setFocusPolicy(Qt::NoFocus);
    }
    // A tab moves on to the next control; typed into the text it would be drawn on the board.
    Text1->setTabChangesFocus(true);
    Label2->setWordWrap(true); // two lines in languages that need them
    // The slider's design place runs under the "小" and "大" buttons; it lies between them.
    const int sliderLeft = Command9[5]->geometry().right() + 3;
    Slider2->setGeometry(sliderLeft, Slider2->y(), Command9[4]->x() - 2 - sliderLeft, Slider2->height());
    // The size report keeps to the row left of "小"; a report too long for it is cut in the middle.
    Label7->setGeometry(Label7->x(), Label7->y(), Command9[5]->x() - 3 - Label7->x(), Label7->height());
    for (QPushButton *button : Command9) {
        button->setAutoDefault(true); // Enter presses the focused button, as Space does
    }
    for (QPushButton *button : {Command4[0], Command4[1], Command14[0], Command14[2], Command7, Command3}) {
        button->setAutoDefault(true);
    }
    Text2->clear();
    Text2->setPlaceholderText(tr("按“写入新内容”后，内容代码显示在这里；点击即可复制。"));
    Text2->setFocusPolicy(Qt::NoFocus);
    m_codeLabel = new QLabel(tr("内容代码（点击复制）："), this);
    m_codeLabel->setObjectName(u"codeLabel"_s);
    m_codeLabel->adjustSize();

    Combo7->setToolTip(tr("电路板所接的串口；也可以输入设备路径，如 /dev/ttyUSB0"));
    if (Combo7->count() == 0) {
        Combo7->setEditText(QString());
    }
    // The box is narrow: a short word here, the full account of what to check in its tooltip.
    Combo7->lineEdit()->setPlaceholderText(tr("无"));

    QWidget *order[] = {Text1,        List1,        Command9[0], Command9[2], Command9[3], Command9[1],
                        Command9[5],  Slider2,      Command9[4], Combo7,      Command9[6], Command4[1],
                        Command14[0], Command14[2], Combo2,      Command7,    Command3,    Command4[0]};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    layoutBelowDesign();
}

QSize Form1::sizeShowingAll() const {
    return {designSize.width(),
            designSize.height() + gap + Frame1->height() + gap + m_codeLabel->height() + 2 + codeBoxShownHeight + gap};
}

void Form1::layoutBelowDesign() {
    HScroll1->setGeometry(HScroll1->x(), HScroll1->y(), width(), HScroll1->height());
    HScroll1_Change();

    int top = designSize.height() + gap;
    Frame1->move(Frame1->x(), top);
    Frame1->setVisible(top + Frame1->height() <= height());
    top += Frame1->height() + gap;
    m_codeLabel->move(Text2->x(), top);
    top += m_codeLabel->height() + 2;
    const int codeHeight = height() - gap - top;
    const bool codeShown = codeHeight >= codeBoxMinHeight;
    m_codeLabel->setVisible(codeShown);
    Text2->setVisible(codeShown);
    Text2->setGeometry(Text2->x(), top, width() - 2 * Text2->x(), qMax(codeHeight, codeBoxMinHeight));
}

void Form1::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_codeLabel) {
        layoutBelowDesign();
    }
}

void Form1::choosePicture() {
    if (m_send) {
        return;
    }
    if (m_composer.mode() == compose::Mode::Text) {
        togglePicture();
        return;
    }
    beginStep();
    openpicture();
    refreshCanvas();
    endStep(tr("打开图片"));
}

void Form1::closePicture() {
    if (m_composer.mode() == compose::Mode::Picture) {
        togglePicture();
    }
}

} // namespace tavrin::app
