#pragma once

#include "compose/picture.h"
#include "compose/picturesettings.h"
#include "compose/preparation.h"

#include <functional>

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tavrin::app {

class DotControls;
class LitDotView;

// The picture as loaded, scaled to the view, with the crop rectangle over it; dragging the mouse
// across it draws a new one, in whole pixels of the picture.
class CropView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CropView)

public:
    explicit CropView(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    // A null rectangle: the whole picture, no frame drawn.
    void setCrop(const QRect &crop);
    const QRect &crop() const { return m_crop; }

    // Where a point of the view lies in the picture, as a pixel edge (0 to the picture's size).
    QPoint toPicture(const QPointF &point) const;
    QPointF toView(const QPoint &edge) const;

    QSize sizeHint() const override { return {320, 240}; }

Q_SIGNALS:
    void cropDrawn(const QRect &crop);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRectF pictureArea() const;
    QRect dragged(const QPointF &to) const;

    QImage m_picture;
    QPixmap m_shown; // the picture at the view's scale
    QRect m_crop;
    bool m_dragging = false;
    QPoint m_dragStart;
};

// Canvas → Picture Settings: how the picture as loaded becomes the picture layer, with the source
// and its crop, and the lit dots of the result at the board's LED count. OK keeps the settings
// (settings()); Cancel keeps nothing. The settings are refused while they make a problem.
class PictureDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureDialog)

public:
    // Reads another frame of the picture's file; 0 the first.
    using FrameReader = std::function<compose::LoadedPicture(int frame)>;

    // source: the picture as loaded (null before any); columns × ledCount: the canvas.
    PictureDialog(const QImage &source, const compose::PictureSettings &settings, int ledCount, int columns,
                  QWidget *parent = nullptr);

    // Another frame can be chosen only with a reader: a picture kept in a project has one frame.
    void setFrameReader(FrameReader reader);
    // What OK does with the settings; the dialog stays open when it answers false (it has said why).
    void setApply(std::function<bool(const compose::PictureSettings &)> apply) { m_apply = std::move(apply); }
    void accept() override;

    compose::PictureSettings settings() const { return m_settings; }
    // Shows the settings in the controls and the preview.
    void showSettings(const compose::PictureSettings &settings);
    // The picture the settings were made for: the frame chosen, as loaded.
    const QImage &source() const { return m_source; }
    // The prepared picture made into dots, as the layer would show it; null with a problem.
    const QImage &result() const { return m_result; }
    // Why the settings cannot be used; empty when they can.
    QString problem() const;

    CropView *cropView() const { return m_cropView; }
    LitDotView *litDots() const { return m_litDots; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createSourceControls();
    QWidget *createShapeControls();
    QWidget *createRoundControls();
    QWidget *createResultControls();
    void connectControls();
    // The settings as the controls show them.
    compose::PictureSettings readControls() const;
    void controlsChanged();
    void readFrame();
    void reshape();
    void makeDots();
    void updateEnabled();

    QImage m_source;
    FrameReader m_readFrame;
    std::function<bool(const compose::PictureSettings &)> m_apply;
    int m_sourceFrame = 0; // the frame m_source is
    compose::LoadedPicture m_frameProblem;
    compose::PictureSettings m_settings;
    int m_ledCount = 16;
    int m_columns = 0;
    compose::ShapedPicture m_shaped;
    QImage m_result;
    bool m_showing = false; // controls are being set, not changed by the user

    CropView *m_cropView = nullptr;
    QLabel *m_sourceNote = nullptr;
    QSpinBox *m_frame = nullptr;
    QGroupBox *m_cropGroup = nullptr;
    QSpinBox *m_cropX = nullptr;
    QSpinBox *m_cropY = nullptr;
    QSpinBox *m_cropWidth = nullptr;
    QSpinBox *m_cropHeight = nullptr;
    QCheckBox *m_autoCrop = nullptr;
    QComboBox *m_turn = nullptr;
    QCheckBox *m_flipLeftRight = nullptr;
    QCheckBox *m_flipUpsideDown = nullptr;
    QComboBox *m_fit = nullptr;
    QSpinBox *m_scale = nullptr;
    QGroupBox *m_round = nullptr;
    QComboBox *m_roundBoard = nullptr;
    QDoubleSpinBox *m_rpm = nullptr;
    QSpinBox *m_perRevolution = nullptr;
    QCheckBox *m_topInside = nullptr;
    DotControls *m_dots = nullptr;
    LitDotView *m_litDots = nullptr;
    QLabel *m_resultSize = nullptr;
    QLabel *m_problem = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_asItIs = nullptr;
};

} // namespace tavrin::app
