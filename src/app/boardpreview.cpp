#include "app/boardpreview.h"

#include "app/dotcontrols.h"
#include "app/litdotview.h"
#include "app/spinview.h"
#include "app/variantdialog.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "preview/boardmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tavrin::app {

namespace {
constexpr int genericItem = -1;
} // namespace

BoardPreview::BoardPreview(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("BoardPreview"));
    setWindowTitle(tr("板上预览"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createFileBar());
    layout->addWidget(createLitDotControls());
    layout->addWidget(createDotControls());
    layout->addWidget(createSpinControls(), 1);
    connectControls();
    applyModel();
    applySpinSettings();
    resize(900, 720);
}

QWidget *BoardPreview::createFileBar() {
    m_fileBar = new QWidget(this);
    m_fileBar->setObjectName(QStringLiteral("fileBar"));
    auto *layout = new QHBoxLayout(m_fileBar);
    layout->setContentsMargins(0, 0, 0, 0);
    m_fileName = new QLabel(m_fileBar);
    m_fileName->setObjectName(QStringLiteral("fileName"));
    m_fileName->setWordWrap(true);
    m_fileName->setTextFormat(Qt::PlainText);
    auto *back = new QPushButton(tr("返回画面"), m_fileBar);
    back->setObjectName(QStringLiteral("backToCanvas"));
    connect(back, &QPushButton::clicked, this, &BoardPreview::showCanvasAgain);
    layout->addWidget(m_fileName, 1);
    layout->addWidget(back);
    m_fileBar->hide();
    return m_fileBar;
}

QWidget *BoardPreview::createLitDotControls() {
    auto *group = new QGroupBox(tr("亮点视图：写入后板上点亮的点"), this);
    auto *layout = new QVBoxLayout(group);
    m_litDots = new LitDotView(group);
    m_litDots->setObjectName(QStringLiteral("litDots"));
    m_litDots->setMinimumHeight(120);
    layout->addWidget(m_litDots);
    auto *row = new QHBoxLayout;
    m_zoom = new QSpinBox(group);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setRange(LitDotView::smallestZoom, LitDotView::largestZoom);
    m_zoom->setSuffix(tr(" 像素/点"));
    m_zoom->setValue(m_litDots->zoom());
    m_fit = new QPushButton(tr("适合高度"), group);
    m_fit->setObjectName(QStringLiteral("fitToHeight"));
    row->addWidget(new QLabel(tr("缩放（Ctrl+滚轮）："), group));
    row->addWidget(m_zoom);
    row->addWidget(m_fit);
    row->addStretch();
    layout->addLayout(row);
    return group;
}

QWidget *BoardPreview::createDotControls() {
    auto *group = new QGroupBox(tr("图片转为点阵"), this);
    group->setObjectName(QStringLiteral("dotControls"));
    m_dotControls = new DotControls(group);
    auto *row = new QHBoxLayout(group);
    row->addWidget(m_dotControls);
    return group;
}

QWidget *BoardPreview::createSpinControls() {
    auto *group = new QGroupBox(tr("旋转预览"), this);
    auto *layout = new QHBoxLayout(group);
    m_spin = new SpinView(group);
    m_spin->setObjectName(QStringLiteral("spin"));
    layout->addWidget(m_spin, 1);
    auto *form = new QFormLayout;
    m_variant = new QComboBox(group);
    m_variant->setObjectName(QStringLiteral("variant"));
    for (const hex::Variant &variant : hex::variants()) {
        if (preview::BoardModel::isVariant(variant.number)) {
            m_variant->addItem(variantTitle(variant.number), variant.number);
        }
    }
    m_variant->addItem(tr("通用：串口写入的板子"), genericItem);
    m_perRevolution = new QSpinBox(group);
    m_perRevolution->setObjectName(QStringLiteral("perRevolution"));
    m_perRevolution->setRange(1, preview::mostGenericColumns);
    m_perRevolution->setValue(100);
    m_step = new QSpinBox(group);
    m_step->setObjectName(QStringLiteral("step"));
    m_step->setRange(0, 2048);
    m_step->setValue(1);
    m_rpm = new QDoubleSpinBox(group);
    m_rpm->setObjectName(QStringLiteral("rpm"));
    m_rpm->setDecimals(0);
    m_rpm->setRange(preview::lowestRpm, preview::highestRpm);
    m_rpm->setSingleStep(50);
    m_rpm->setValue(1200);
    m_persistence = new QSpinBox(group);
    m_persistence->setObjectName(QStringLiteral("persistence"));
    m_persistence->setRange(0, int(preview::longestPersistenceMs));
    m_persistence->setSuffix(tr(" 毫秒"));
    m_persistence->setValue(100);
    m_topOutermost = new QCheckBox(tr("最上面的灯在外圈"), group);
    m_topOutermost->setObjectName(QStringLiteral("topOutermost"));
    m_topOutermost->setChecked(true);
    m_play = new QPushButton(tr("暂停"), group);
    m_play->setObjectName(QStringLiteral("play"));
    m_restart = new QPushButton(tr("从第一圈开始"), group);
    m_restart->setObjectName(QStringLiteral("restart"));
    m_revolution = new QLabel(group);
    m_revolution->setObjectName(QStringLiteral("revolution"));
    m_modelNote = new QLabel(group);
    m_modelNote->setObjectName(QStringLiteral("modelNote"));
    m_modelNote->setWordWrap(true);
    form->addRow(tr("固件："), m_variant);
    form->addRow(tr("每圈列数："), m_perRevolution);
    form->addRow(tr("每圈移动列数："), m_step);
    form->addRow(tr("转速（转/分）："), m_rpm);
    form->addRow(tr("视觉暂留："), m_persistence);
    form->addRow(m_topOutermost);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_play);
    buttons->addWidget(m_restart);
    form->addRow(buttons);
    form->addRow(m_revolution);
    form->addRow(m_modelNote);
    layout->addLayout(form);
    return group;
}

void BoardPreview::connectControls() {
    connect(m_zoom, &QSpinBox::valueChanged, m_litDots, &LitDotView::setZoom);
    connect(m_litDots, &LitDotView::zoomChanged, m_zoom, &QSpinBox::setValue);
    connect(m_fit, &QPushButton::clicked, m_litDots, &LitDotView::fitToHeight);
    connect(m_dotControls, &DotControls::changed, this, &BoardPreview::dotSettingsChanged);
    connect(m_variant, &QComboBox::currentIndexChanged, this, [this] { applyModel(); });
    connect(m_perRevolution, &QSpinBox::valueChanged, this, [this] { applyModel(); });
    connect(m_step, &QSpinBox::valueChanged, this, [this] { applyModel(); });
    connect(m_rpm, &QDoubleSpinBox::valueChanged, this, [this] { applySpinSettings(); });
    connect(m_persistence, &QSpinBox::valueChanged, this, [this] { applySpinSettings(); });
    connect(m_topOutermost, &QCheckBox::toggled, this, [this] { applySpinSettings(); });
    const auto edited = [this] {
        if (!m_quiet) {
            Q_EMIT settingsEdited();
        }
    };
    connect(m_zoom, &QSpinBox::valueChanged, this, edited);
    connect(m_variant, &QComboBox::currentIndexChanged, this, edited);
    connect(m_perRevolution, &QSpinBox::valueChanged, this, edited);
    connect(m_step, &QSpinBox::valueChanged, this, edited);
    connect(m_rpm, &QDoubleSpinBox::valueChanged, this, edited);
    connect(m_persistence, &QSpinBox::valueChanged, this, edited);
    connect(m_topOutermost, &QCheckBox::toggled, this, edited);
    connect(m_play, &QPushButton::clicked, this, [this] {
        m_spin->setPlaying(!m_spin->playing());
        m_play->setText(m_spin->playing() ? tr("暂停") : tr("播放"));
    });
    connect(m_restart, &QPushButton::clicked, m_spin, &SpinView::restart);
    connect(m_spin, &SpinView::revolutionChanged, this,
            [this](qint64 revolution) { m_revolution->setText(tr("第 %1 圈").arg(revolution + 1)); });
}

void BoardPreview::setCanvas(const QImage &canvas, float widthTwips, float heightTwips, int ledCount) {
    m_canvasCode = encode::makeContentCode(canvas, widthTwips, heightTwips, ledCount);
    m_canvasLedCount = ledCount;
    if (!m_showingFile) {
        showContent(m_canvasCode, ledCount);
    }
}

void BoardPreview::showContent(const QString &code, int ledCount) {
    const QScopedValueRollback quiet(m_quiet, true); // a taller column may be fitted anew
    m_ledCount = ledCount;
    m_litDots->setContent(code, ledCount);
    m_spin->setContent(code, ledCount);
    applyModel();
}

void BoardPreview::showFileContent(const QString &name, const QString &code, int ledCount, int variant,
                                   const QString &note) {
    const QScopedValueRollback quiet(m_quiet, true); // the file's firmware, for as long as it is shown
    m_showingFile = true;
    m_fileName->setText(note.isEmpty() ? tr("正在检查文件“%1”。").arg(name)
                                       : tr("正在检查文件“%1”。%2").arg(name, note));
    m_fileBar->show();
    if (variant >= 0) {
        chooseVariant(variant);
    }
    showContent(code, ledCount);
}

void BoardPreview::showCanvasAgain() {
    m_showingFile = false;
    m_fileBar->hide();
    showContent(m_canvasCode, m_canvasLedCount);
}

project::PreviewSettings BoardPreview::settings() const {
    return {m_shownBefore ? m_zoom->value() : 0,
            chosenVariant(),
            m_perRevolution->value(),
            m_step->value(),
            m_rpm->value(),
            m_persistence->value(),
            m_topOutermost->isChecked()};
}

void BoardPreview::applySettings(const project::PreviewSettings &settings) {
    const QScopedValueRollback quiet(m_quiet, true);
    if (settings.zoom > 0) {
        m_shownBefore = true; // the kept zoom rather than one fitted to the view
        m_zoom->setValue(settings.zoom);
    }
    chooseVariant(settings.variant);
    m_perRevolution->setValue(settings.perRevolution);
    m_step->setValue(settings.step);
    m_rpm->setValue(settings.rpm);
    m_persistence->setValue(settings.persistenceMs);
    m_topOutermost->setChecked(settings.topOutermost);
}

void BoardPreview::showDotSettings(const compose::DotSettings &settings) {
    m_dotControls->showSettings(settings);
}

compose::DotSettings BoardPreview::dotSettings() const {
    return m_dotControls->settings();
}

void BoardPreview::setDotControlsEnabled(bool enabled) {
    m_dotControls->setEnabled(enabled);
}

int BoardPreview::chosenVariant() const {
    return m_variant->currentData().toInt();
}

void BoardPreview::chooseVariant(int variant) {
    const int index = m_variant->findData(variant);
    m_variant->setCurrentIndex(index >= 0 ? index : m_variant->findData(genericItem));
}

void BoardPreview::applyModel() {
    const int variant = chosenVariant();
    const bool generic = variant == genericItem;
    m_perRevolution->setEnabled(generic);
    m_step->setEnabled(generic);
    const hex::Variant *facts = generic ? nullptr : hex::findVariant(variant);
    if (facts && facts->ledCount != m_ledCount) {
        // The firmware would read the content as columns of its own LED count.
        m_modelNote->setText(tr("%1 号固件驱动 %2 个 LED，当前内容是 %3 个 LED 的：按通用模型显示。")
                                 .arg(variant)
                                 .arg(facts->ledCount)
                                 .arg(m_ledCount));
        m_spin->setModel(preview::BoardModel::generic(m_perRevolution->value(), m_step->value()));
        return;
    }
    m_modelNote->clear();
    m_spin->setModel(generic ? preview::BoardModel::generic(m_perRevolution->value(), m_step->value())
                             : preview::BoardModel::forVariant(variant));
}

void BoardPreview::applySpinSettings() {
    m_spin->setSettings({m_rpm->value(), double(m_persistence->value()), m_topOutermost->isChecked()});
}

void BoardPreview::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        const QScopedValueRollback quiet(m_quiet, true);
        m_litDots->fitToHeight();
    }
    m_spin->setPlaying(true);
    m_play->setText(tr("暂停"));
}

void BoardPreview::hideEvent(QHideEvent *event) {
    m_spin->setPlaying(false);
    m_play->setText(tr("播放"));
    QWidget::hideEvent(event);
}

} // namespace tavrin::app
