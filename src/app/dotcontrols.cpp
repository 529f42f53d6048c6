#include "app/dotcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace tavrin::app {

DotControls::DotControls(QWidget *parent)
    : QWidget(parent) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("dotMethod"));
    m_method->addItems({tr("原图（红色 ≥ 129 点亮）"), tr("阈值"), tr("有序抖动"), tr("误差扩散（Floyd–Steinberg）")});
    m_threshold = new QSlider(Qt::Horizontal, this);
    m_threshold->setObjectName(QStringLiteral("threshold"));
    m_threshold->setRange(0, 255);
    m_threshold->setValue(128);
    m_thresholdValue = new QLabel(this);
    m_thresholdValue->setMinimumWidth(m_thresholdValue->fontMetrics().horizontalAdvance(QStringLiteral("255")));
    m_invert = new QCheckBox(tr("反相"), this);
    m_invert->setObjectName(QStringLiteral("invert"));
    row->addWidget(m_method);
    row->addWidget(new QLabel(tr("亮度阈值："), this));
    row->addWidget(m_threshold, 1);
    row->addWidget(m_thresholdValue);
    row->addWidget(m_invert);

    const auto changedByUser = [this] {
        updateControls();
        Q_EMIT changed(settings());
    };
    connect(m_method, &QComboBox::currentIndexChanged, this, changedByUser);
    connect(m_threshold, &QSlider::valueChanged, this, changedByUser);
    connect(m_invert, &QCheckBox::toggled, this, changedByUser);
    updateControls();
}

compose::DotSettings DotControls::settings() const {
    return {compose::DotMethod(m_method->currentIndex()), m_threshold->value(), m_invert->isChecked()};
}

void DotControls::showSettings(const compose::DotSettings &settings) {
    const QSignalBlocker method(m_method);
    const QSignalBlocker threshold(m_threshold);
    const QSignalBlocker invert(m_invert);
    m_method->setCurrentIndex(int(settings.method));
    m_threshold->setValue(settings.threshold);
    m_invert->setChecked(settings.invert);
    updateControls();
}

void DotControls::updateControls() {
    const bool dots = m_method->currentIndex() != int(compose::DotMethod::AsItIs);
    m_threshold->setEnabled(dots);
    m_invert->setEnabled(dots);
    m_thresholdValue->setText(QString::number(m_threshold->value()));
}

} // namespace tavrin::app
