#include "app/variantdialog.h"

#include "hex/firmware.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavrin::app {

namespace {

// The context of the firmwares' words in the translations.
constexpr auto wordsContext = "tavrin::app::Variants";

// All boards: a 12 MHz 8052-class chip, the hall sensor on P3.2, 16 LEDs with the top dot first;
// they differ in how the LEDs are wired and shown.
struct Words {
    int number;
    const char *title;
    const char *wiring;
};

constexpr Words words[] = {
    {0, QT_TRANSLATE_NOOP("tavrin::app::Variants", "0 号：16 灯直接接 P1/P2，反向旋转"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "16 灯：LED 1–8 接 P1.0–P1.7，9–16 接 P2.0–P2.7，低电平点亮，霍尔传感器接 P3.2。"
                       "每圈 108 列，从右往左显示，每圈右移一列，适合反向旋转的板子。")},
    {1, QT_TRANSLATE_NOOP("tavrin::app::Variants", "1 号：16 灯直接接 P1/P2（P1.7 为最上灯）"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "16 灯：LED 1–8 接 P1.7–P1.0，9–16 接 P2.7–P2.0，低电平点亮，霍尔传感器接 P3.2。"
                       "按 0200 处的设置每圈从左往右显示 108 列，每 4 圈右移一列。")},
    {2, QT_TRANSLATE_NOOP("tavrin::app::Variants", "2 号：16 灯，两片 74HC595 低电平点亮，按内容长度显示"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "16 灯接两片串联的 74HC595（P2.0 /OE，P2.1 数据，P2.2 移位时钟，P2.3 锁存），"
                       "输出低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。只显示内容长度以内的列。")},
    {3, QT_TRANSLATE_NOOP("tavrin::app::Variants", "3 号：16 灯，74HC595 + ULN2803，按内容长度显示"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "接法同 2 号，但 74HC595 经 ULN2803 驱动 LED，高电平点亮，"
                       "每字节按位序 5、3、4、2、7、1、0、6 送出；霍尔传感器接 P3.2。只显示内容长度以内的列。")},
    {22, QT_TRANSLATE_NOOP("tavrin::app::Variants", "22 号：16 灯，两片 74HC595 低电平点亮，整幅画面循环"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "接法同 2 号：两片 74HC595，低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。"
                       "不读长度，整幅 16 灯画面循环显示，传感器信号后空 1 列。")},
    {33, QT_TRANSLATE_NOOP("tavrin::app::Variants", "33 号：16 灯，74HC595 + ULN2803，整幅画面循环"),
     QT_TRANSLATE_NOOP("tavrin::app::Variants",
                       "接法同 3 号：74HC595 经 ULN2803，高电平点亮，位序 5、3、4、2、7、1、0、6；"
                       "霍尔传感器接 P3.2。不读长度，整幅 16 灯画面循环显示，传感器信号后空 8 列。")},
};

const Words *wordsFor(int number) {
    for (const Words &w : words) {
        if (w.number == number) {
            return &w;
        }
    }
    return nullptr;
}

} // namespace

QString variantTitle(int number) {
    const hex::Variant *variant = hex::findVariant(number);
    if (!variant) {
        return {};
    }
    if (const Words *w = wordsFor(number)) {
        return QCoreApplication::translate(wordsContext, w->title);
    }
    return VariantDialog::tr("%1 号：%2 灯").arg(number).arg(variant->ledCount);
}

QString variantDescription(int number) {
    const hex::Variant *variant = hex::findVariant(number);
    if (!variant) {
        return {};
    }
    const Words *w = wordsFor(number);
    const QString wiring =
        w ? QCoreApplication::translate(wordsContext, w->wiring) : VariantDialog::tr("%1 灯。").arg(variant->ledCount);
    return VariantDialog::tr("%1（%2 KB），%3").arg(variant->chip).arg(variant->codeMemory / 1024).arg(wiring);
}

VariantDialog::VariantDialog(int preselected, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
    , m_description(new QLabel(this)) {
    setObjectName(u"variantChooser"_s);
    setWindowTitle(tr("获取HEX文件"));
    m_list->setObjectName(u"variants"_s);
    for (const hex::Variant &variant : hex::variants()) {
        auto *item = new QListWidgetItem(variantTitle(variant.number), m_list);
        item->setData(Qt::UserRole, variant.number);
        item->setToolTip(variantDescription(variant.number));
        if (variant.number == preselected) {
            m_list->setCurrentItem(item);
        }
    }
    if (!m_list->currentItem()) {
        m_list->setCurrentRow(0);
    }
    m_description->setObjectName(u"variantDescription"_s);
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(m_description->fontMetrics().lineSpacing() * 4);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &VariantDialog::showDescription);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(tr("选择电路板所用的固件："), this);
    prompt->setBuddy(m_list);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_description);
    layout->addWidget(buttons);
    showDescription();
    m_list->setFocus();
    resize(560, 360);
}

void VariantDialog::showDescription() {
    const QListWidgetItem *item = m_list->currentItem();
    m_description->setText(item ? item->toolTip() : QString());
}

int VariantDialog::chosenVariant() const {
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

std::optional<int> VariantDialog::choose(QWidget *parent, int preselected) {
    VariantDialog dialog(preselected, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenVariant() < 0) {
        return std::nullopt;
    }
    return dialog.chosenVariant();
}

} // namespace tavrin::app
