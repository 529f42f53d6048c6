#include "app/variantdialog.h"

#include "hex/firmware.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavrin::app {

QString variantTitle(int number) {
    const hex::Variant *variant = hex::findVariant(number);
    if (!variant) {
        return {};
    }
    if (variant->wiring.isEmpty()) {
        return VariantDialog::tr("%1 号：%2 灯").arg(number).arg(variant->ledCount);
    }
    return QCoreApplication::translate(hex::variantContext, variant->title.toUtf8().constData());
}

QString variantDescription(int number) {
    const hex::Variant *variant = hex::findVariant(number);
    if (!variant) {
        return {};
    }
    const QString wiring = variant->wiring.isEmpty()
                               ? VariantDialog::tr("%1 灯。").arg(variant->ledCount)
                               : QCoreApplication::translate(hex::variantContext, variant->wiring.toUtf8().constData());
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
