#include "app/picturedialog.h"

#include "app/dotcontrols.h"
#include "app/litdotview.h"
#include "app/reasons.h"
#include "app/variantdialog.h"
#include "compose/canvas.h"
#include "compose/dots.h"
#include "compose/geometry.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "preview/boardmodel.h"
#include "preview/roundmap.h"
#include "preview/spinrenderer.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tavrin::app {

namespace {

constexpr int genericBoard = -1;
constexpr int lastFrame = 100000; // as many as tavrin-cli --frame takes

} // namespace

CropView::CropView(QWidget *parent)
    : QWidget(parent) {
    setMinimumSize(160, 120);
    setCursor(Qt::CrossCursor);
}

void CropView::setPicture(const QImage &picture) {
    m_picture = picture;
    m_shown = QPixmap();
    update();
}

void CropView::setCrop(const QRect &crop) {
    m_crop = crop;
    update();
}

QRectF CropView::pictureArea() const {
    if (m_picture.isNull()) {
        return {};
    }
    const QSizeF fitted = QSizeF(m_picture.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return {QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

QPoint CropView::toPicture(const QPointF &point) const {
    const QRectF area = pictureArea();
    if (area.isEmpty()) {
        return {};
    }
    const double scale = area.width() / m_picture.width();
    const int x = int(std::lround((point.x() - area.left()) / scale));
    const int y = int(std::lround((point.y() - area.top()) / scale));
    return {std::clamp(x, 0, m_picture.width()), std::clamp(y, 0, m_picture.height())};
}

QPointF CropView::toView(const QPoint &edge) const {
    const QRectF area = pictureArea();
    if (area.isEmpty()) {
        return {};
    }
    const double scale = area.width() / m_picture.width();
    return area.topLeft() + QPointF(edge) * scale;
}

QRect CropView::dragged(const QPointF &to) const {
    const QPoint end = toPicture(to);
    return {QPoint(std::min(m_dragStart.x(), end.x()), std::min(m_dragStart.y(), end.y())),
            QSize(std::abs(end.x() - m_dragStart.x()), std::abs(end.y() - m_dragStart.y()))};
}

void CropView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QRectF area = pictureArea();
    if (area.isEmpty()) {
        return;
    }
    if (m_shown.size() != area.size().toSize()) {
        // Smooth scaling: a thin stroke of a large picture stays visible in the small view.
        m_shown =
            QPixmap::fromImage(m_picture.scaled(area.size().toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter.drawPixmap(area.topLeft(), m_shown);
    if (m_crop.isNull()) {
        return;
    }
    const QRectF crop =
        QRectF(toView(m_crop.topLeft()), toView(m_crop.topLeft() + QPoint(m_crop.width(), m_crop.height())))
            .normalized();
    // What the crop leaves out is dimmed; the rectangle's edge shows on light and dark pictures alike.
    QPainterPath outside;
    outside.addRect(area);
    QPainterPath kept;
    kept.addRect(crop);
    painter.fillPath(outside.subtracted(kept), QColor(0, 0, 0, 140));
    painter.setPen(QPen(Qt::white, 1, Qt::SolidLine));
    painter.drawRect(crop.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(crop.adjusted(0, 0, -1, -1));
}

void CropView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    m_shown = QPixmap();
}

void CropView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || m_picture.isNull()) {
        return QWidget::mousePressEvent(event);
    }
    m_dragging = true;
    m_dragStart = toPicture(event->position());
}

void CropView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_dragging) {
        return QWidget::mouseMoveEvent(event);
    }
    const QRect crop = dragged(event->position());
    if (!crop.isEmpty()) {
        m_crop = crop;
        update();
    }
}

void CropView::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_dragging || event->button() != Qt::LeftButton) {
        return QWidget::mouseReleaseEvent(event);
    }
    m_dragging = false;
    // A click without a drag keeps the rectangle there was.
    if (const QRect crop = dragged(event->position()); !crop.isEmpty()) {
        m_crop = crop;
        update();
        Q_EMIT cropDrawn(crop);
    }
}

PictureDialog::PictureDialog(const QImage &source, const compose::PictureSettings &settings, int ledCount, int columns,
                             QWidget *parent)
    : QDialog(parent)
    , m_source(source)
    , m_sourceFrame(settings.frame)
    , m_ledCount(ledCount)
    , m_columns(columns) {
    setObjectName(QStringLiteral("PictureDialog"));
    setWindowTitle(tr("图片设置"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(createSourceControls(), 1);
    auto *settingsColumn = new QVBoxLayout;
    settingsColumn->addWidget(createShapeControls());
    settingsColumn->addWidget(createRoundControls());
    settingsColumn->addStretch();
    top->addLayout(settingsColumn);
    layout->addLayout(top, 1);
    auto *dots = new QGroupBox(tr("图片转为点阵"), this);
    m_dots = new DotControls(dots);
    (new QHBoxLayout(dots))->addWidget(m_dots);
    layout->addWidget(dots);
    layout->addWidget(createResultControls());
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_asItIs = m_buttons->addButton(tr("原样"), QDialogButtonBox::ResetRole);
    m_asItIs->setObjectName(QStringLiteral("asItIs"));
    m_asItIs->setToolTip(tr("不裁剪、不旋转、不镜像、不缩放：图片原样放在画面左上角"));
    layout->addWidget(m_buttons);
    m_cropView->setPicture(m_source);
    m_sourceNote->setVisible(m_source.isNull());
    connectControls();
    showSettings(settings);
    resize(900, 640);
}

QWidget *PictureDialog::createSourceControls() {
    auto *group = new QGroupBox(tr("原图（用鼠标拖出裁剪区域）"), this);
    auto *layout = new QVBoxLayout(group);
    m_cropView = new CropView(group);
    m_cropView->setObjectName(QStringLiteral("cropView"));
    layout->addWidget(m_cropView, 1);
    m_sourceNote = new QLabel(tr("还没有打开图片：这里的设置用于以后打开的图片。"), group);
    m_sourceNote->setWordWrap(true);
    layout->addWidget(m_sourceNote);
    auto *row = new QHBoxLayout;
    m_frame = new QSpinBox(group);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setRange(1, lastFrame);
    m_frame->setToolTip(tr("动画图片（GIF）显示哪一帧"));
    m_frame->setEnabled(false);
    row->addWidget(new QLabel(tr("帧："), group));
    row->addWidget(m_frame);
    row->addStretch();
    layout->addLayout(row);
    return group;
}

QWidget *PictureDialog::createShapeControls() {
    auto *group = new QWidget(this);
    auto *form = new QFormLayout(group);
    form->setContentsMargins(0, 0, 0, 0);

    m_cropGroup = new QGroupBox(tr("裁剪（像素）"), group);
    m_cropGroup->setObjectName(QStringLiteral("crop"));
    m_cropGroup->setCheckable(true);
    auto *cropRow = new QHBoxLayout(m_cropGroup);
    const auto number = [this](const QString &name, const QString &label, QHBoxLayout *row) {
        auto *box = new QSpinBox(m_cropGroup);
        box->setObjectName(name);
        box->setRange(0, compose::maxPictureSide);
        row->addWidget(new QLabel(label, m_cropGroup));
        row->addWidget(box);
        return box;
    };
    m_cropX = number(QStringLiteral("cropX"), tr("左"), cropRow);
    m_cropY = number(QStringLiteral("cropY"), tr("上"), cropRow);
    m_cropWidth = number(QStringLiteral("cropWidth"), tr("宽"), cropRow);
    m_cropHeight = number(QStringLiteral("cropHeight"), tr("高"), cropRow);
    form->addRow(m_cropGroup);

    m_autoCrop = new QCheckBox(tr("自动裁去背景边距（四角的颜色或透明）"), group);
    m_autoCrop->setObjectName(QStringLiteral("autoCrop"));
    form->addRow(m_autoCrop);

    m_turn = new QComboBox(group);
    m_turn->setObjectName(QStringLiteral("turn"));
    m_turn->addItem(tr("不旋转"), 0);
    m_turn->addItem(tr("顺时针 90°"), 90);
    m_turn->addItem(tr("180°"), 180);
    m_turn->addItem(tr("顺时针 270°"), 270);
    form->addRow(tr("旋转："), m_turn);

    auto *mirror = new QHBoxLayout;
    m_flipLeftRight = new QCheckBox(tr("左右镜像"), group);
    m_flipLeftRight->setObjectName(QStringLiteral("flipLeftRight"));
    m_flipUpsideDown = new QCheckBox(tr("上下颠倒"), group);
    m_flipUpsideDown->setObjectName(QStringLiteral("flipUpsideDown"));
    mirror->addWidget(m_flipLeftRight);
    mirror->addWidget(m_flipUpsideDown);
    form->addRow(tr("镜像："), mirror);

    auto *fit = new QHBoxLayout;
    m_fit = new QComboBox(group);
    m_fit->setObjectName(QStringLiteral("fit"));
    // In the order of compose::Fit.
    m_fit->addItems({tr("原样（不缩放）"), tr("适合LED高度（保持比例）"), tr("放入画面（保持比例）"),
                     tr("拉伸到LED高度（宽度不变）"), tr("按比例缩放")});
    m_scale = new QSpinBox(group);
    m_scale->setObjectName(QStringLiteral("scale"));
    m_scale->setRange(1, 10000);
    m_scale->setSuffix(QStringLiteral(" %"));
    fit->addWidget(m_fit, 1);
    fit->addWidget(m_scale);
    form->addRow(tr("大小："), fit);
    return group;
}

QWidget *PictureDialog::createRoundControls() {
    m_round = new QGroupBox(tr("圆形图片（画成旋转一圈的样子）"), this);
    m_round->setObjectName(QStringLiteral("round"));
    m_round->setCheckable(true);
    auto *form = new QFormLayout(m_round);
    m_roundBoard = new QComboBox(m_round);
    m_roundBoard->setObjectName(QStringLiteral("roundBoard"));
    // A firmware board reads the content as columns of its own LED count.
    for (const hex::Variant &variant : hex::variants()) {
        if (preview::BoardModel::isVariant(variant.number) && variant.ledCount == m_ledCount) {
            m_roundBoard->addItem(variantTitle(variant.number), variant.number);
        }
    }
    m_roundBoard->addItem(tr("通用：串口写入的板子"), genericBoard);
    m_rpm = new QDoubleSpinBox(m_round);
    m_rpm->setObjectName(QStringLiteral("rpm"));
    m_rpm->setDecimals(0);
    m_rpm->setRange(preview::lowestRpm, preview::highestRpm);
    m_rpm->setSingleStep(50);
    m_perRevolution = new QSpinBox(m_round);
    m_perRevolution->setObjectName(QStringLiteral("perRevolution"));
    m_perRevolution->setRange(1, preview::mostGenericColumns);
    m_topInside = new QCheckBox(tr("最上面的灯在内圈"), m_round);
    m_topInside->setObjectName(QStringLiteral("topInside"));
    auto *note = new QLabel(tr("只在这个转速下显示正确：转得快，图会被挤窄；转得慢，会留出空隙。"), m_round);
    note->setWordWrap(true);
    form->addRow(tr("板子："), m_roundBoard);
    form->addRow(tr("转速（转/分）："), m_rpm);
    form->addRow(tr("每圈列数："), m_perRevolution);
    form->addRow(m_topInside);
    form->addRow(note);
    return m_round;
}

QWidget *PictureDialog::createResultControls() {
    auto *group = new QGroupBox(tr("板上点亮的点（%1 个LED）").arg(m_ledCount), this);
    auto *layout = new QVBoxLayout(group);
    m_litDots = new LitDotView(group);
    m_litDots->setObjectName(QStringLiteral("litDots"));
    m_litDots->setMinimumHeight(m_ledCount * 4 + 24);
    layout->addWidget(m_litDots);
    m_resultSize = new QLabel(group);
    m_resultSize->setObjectName(QStringLiteral("resultSize"));
    layout->addWidget(m_resultSize);
    m_problem = new QLabel(group);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #c00000;"));
    layout->addWidget(m_problem);
    return group;
}

void PictureDialog::connectControls() {
    const auto changed = [this] { controlsChanged(); };
    for (QSpinBox *box : {m_frame, m_cropX, m_cropY, m_cropWidth, m_cropHeight, m_scale, m_perRevolution}) {
        connect(box, &QSpinBox::valueChanged, this, changed);
    }
    connect(m_rpm, &QDoubleSpinBox::valueChanged, this, changed);
    for (QComboBox *box : {m_turn, m_fit, m_roundBoard}) {
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    }
    for (QCheckBox *box : {m_autoCrop, m_flipLeftRight, m_flipUpsideDown, m_topInside}) {
        connect(box, &QCheckBox::toggled, this, changed);
    }
    connect(m_cropGroup, &QGroupBox::toggled, this, [this](bool on) {
        // A crop switched on starts as the whole picture, to be narrowed from there.
        if (on && m_cropWidth->value() == 0 && m_cropHeight->value() == 0 && !m_source.isNull()) {
            const QSignalBlocker width(m_cropWidth);
            const QSignalBlocker height(m_cropHeight);
            m_cropWidth->setValue(m_source.width());
            m_cropHeight->setValue(m_source.height());
        }
        controlsChanged();
    });
    connect(m_round, &QGroupBox::toggled, this, changed);
    connect(m_dots, &DotControls::changed, this, changed);
    connect(m_cropView, &CropView::cropDrawn, this, [this](const QRect &crop) {
        compose::PictureSettings drawn = readControls();
        drawn.crop = crop;
        showSettings(drawn);
    });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_asItIs, &QPushButton::clicked, this, [this] { showSettings({}); });
}

void PictureDialog::setFrameReader(FrameReader reader) {
    m_readFrame = std::move(reader);
    m_frame->setEnabled(bool(m_readFrame));
    readFrame();
    reshape();
}

void PictureDialog::accept() {
    if (!problem().isEmpty() || (m_apply && !m_apply(m_settings))) {
        return;
    }
    QDialog::accept();
}

compose::PictureSettings PictureDialog::readControls() const {
    compose::PictureSettings settings;
    settings.frame = m_frame->value() - 1;
    if (m_cropGroup->isChecked()) {
        settings.crop = QRect(m_cropX->value(), m_cropY->value(), m_cropWidth->value(), m_cropHeight->value());
        if (settings.crop.isNull()) {
            settings.crop = QRect(m_cropX->value(), m_cropY->value(), 0, -1); // empty, not "no crop"
        }
    }
    settings.autoCrop = m_autoCrop->isChecked();
    settings.turn = m_turn->currentData().toInt();
    settings.mirror = {m_flipLeftRight->isChecked(), m_flipUpsideDown->isChecked()};
    settings.fit = compose::Fit(m_fit->currentIndex());
    settings.scalePercent = m_scale->value();
    settings.round.enabled = m_round->isChecked();
    settings.round.variant = m_roundBoard->currentData().toInt();
    settings.round.rpm = m_rpm->value();
    settings.round.perRevolution = m_perRevolution->value();
    settings.round.topInside = m_topInside->isChecked();
    settings.dots = m_dots->settings();
    return settings;
}

void PictureDialog::showSettings(const compose::PictureSettings &settings) {
    m_showing = true;
    m_frame->setValue(settings.frame + 1);
    m_cropGroup->setChecked(!settings.crop.isNull());
    m_cropX->setValue(settings.crop.isNull() ? 0 : settings.crop.x());
    m_cropY->setValue(settings.crop.isNull() ? 0 : settings.crop.y());
    m_cropWidth->setValue(settings.crop.isNull() ? 0 : std::max(0, settings.crop.width()));
    m_cropHeight->setValue(settings.crop.isNull() ? 0 : std::max(0, settings.crop.height()));
    m_autoCrop->setChecked(settings.autoCrop);
    m_turn->setCurrentIndex(std::max(0, m_turn->findData(settings.turn)));
    m_flipLeftRight->setChecked(settings.mirror.leftRight);
    m_flipUpsideDown->setChecked(settings.mirror.upsideDown);
    m_fit->setCurrentIndex(int(settings.fit));
    m_scale->setValue(settings.scalePercent);
    m_round->setChecked(settings.round.enabled);
    const int board = m_roundBoard->findData(settings.round.variant);
    m_roundBoard->setCurrentIndex(board >= 0 ? board : m_roundBoard->findData(genericBoard));
    m_rpm->setValue(settings.round.rpm);
    m_perRevolution->setValue(settings.round.perRevolution);
    m_topInside->setChecked(settings.round.topInside);
    m_dots->showSettings(settings.dots);
    m_showing = false;
    m_settings = readControls();
    readFrame();
    reshape();
}

void PictureDialog::controlsChanged() {
    if (m_showing) {
        return;
    }
    const compose::PictureSettings was = m_settings;
    m_settings = readControls();
    if (m_settings.frame != was.frame) {
        readFrame();
    }
    // The dots alone change nothing of the prepared picture: it is not made again.
    compose::PictureSettings shapeWas = was;
    shapeWas.dots = m_settings.dots;
    if (shapeWas == m_settings) {
        makeDots();
    } else {
        reshape();
    }
}

void PictureDialog::readFrame() {
    m_frameProblem = {};
    if (!m_readFrame || m_settings.frame == m_sourceFrame) {
        return;
    }
    compose::LoadedPicture loaded = m_readFrame(m_settings.frame);
    if (loaded.image.isNull()) {
        m_frameProblem = loaded;
        return;
    }
    m_source = loaded.image;
    m_sourceFrame = m_settings.frame;
    m_cropView->setPicture(m_source);
}

void PictureDialog::reshape() {
    m_cropView->setCrop(m_settings.crop);
    m_shaped = {};
    if (!m_source.isNull() && m_frameProblem.problem == compose::LoadedPicture::None) {
        m_shaped = preview::shapeForCanvas(m_source, m_settings, m_ledCount, m_columns);
    }
    makeDots();
}

void PictureDialog::makeDots() {
    m_result = m_shaped.image.isNull() ? QImage() : compose::makeDots(m_shaped.image, m_settings.dots);
    QString code;
    if (!m_result.isNull()) {
        // The result at the canvas's corner, as far as the canvas reaches.
        const int columns = std::clamp(m_result.width(), 1, std::max(1, m_columns));
        QImage canvas(columns, m_ledCount, QImage::Format_ARGB32);
        canvas.fill(compose::backdropColour);
        QPainter(&canvas).drawImage(0, 0, m_result);
        code = encode::makeContentCode(canvas, float(columns * compose::twipsPerDot),
                                       float(m_ledCount * compose::twipsPerDot), m_ledCount);
        m_resultSize->setText(tr("处理后 %1×%2 点；画面 %3×%4 点。")
                                  .arg(m_result.width())
                                  .arg(m_result.height())
                                  .arg(m_columns)
                                  .arg(m_ledCount));
    } else {
        m_resultSize->clear();
    }
    m_litDots->setContent(code, m_ledCount);
    m_problem->setText(problem());
    updateEnabled();
}

void PictureDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_litDots->fitToHeight();
}

QString PictureDialog::problem() const {
    if (m_frameProblem.problem != compose::LoadedPicture::None) {
        return Reasons::pictureProblem(m_frameProblem);
    }
    return m_shaped.problem == compose::ShapedPicture::None ? QString() : Reasons::shapeProblem(m_shaped);
}

void PictureDialog::updateEnabled() {
    m_fit->setEnabled(!m_settings.round.enabled);
    m_scale->setEnabled(!m_settings.round.enabled && m_settings.fit == compose::Fit::Scale);
    // A checkable group sets its children's state itself when it is switched.
    m_perRevolution->setEnabled(m_settings.round.enabled && m_settings.round.variant == genericBoard);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem().isEmpty());
}

} // namespace tavrin::app
