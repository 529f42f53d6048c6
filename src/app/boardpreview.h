#pragma once

#include "compose/dots.h"
#include "project/project.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tavrin::app {

class DotControls;
class LitDotView;
class SpinView;

// A window beside the design: the lit-dot view of what the board will light, the settings that
// make a picture into dots, and the spinning board for a chosen firmware.
class BoardPreview : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardPreview)

public:
    explicit BoardPreview(QWidget *parent = nullptr);

    // The canvas as the write would scan it.
    void setCanvas(const QImage &canvas, float widthTwips, float heightTwips, int ledCount);

    compose::DotSettings dotSettings() const;
    // Off while the window sends, with the controls of the design that would change what is sent.
    void setDotControlsEnabled(bool enabled);
    // The variant whose model the spinning board follows, or -1 for the generic model.
    int chosenVariant() const;
    void chooseVariant(int variant);

    // The settings a project keeps, and putting them back.
    project::PreviewSettings settings() const;
    void applySettings(const project::PreviewSettings &settings);
    // Sets the dot controls to a composition's settings without reporting a change.
    void showDotSettings(const compose::DotSettings &settings);

    // Shows a file's content instead of the canvas, with the file's own firmware when it is known
    // (variant -1 keeps the chosen model), until the user goes back to the canvas.
    void showFileContent(const QString &name, const QString &code, int ledCount, int variant, const QString &note);
    bool isShowingFile() const { return m_showingFile; }
    void showCanvasAgain();

    LitDotView *litDots() const { return m_litDots; }
    SpinView *spin() const { return m_spin; }

Q_SIGNALS:
    void dotSettingsChanged(const compose::DotSettings &settings);
    // The user changed one of the settings a project keeps (not the dots).
    void settingsEdited();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *createFileBar();
    void showContent(const QString &code, int ledCount);
    QWidget *createLitDotControls();
    QWidget *createDotControls();
    QWidget *createSpinControls();
    void connectControls();
    void applyModel();
    void applySpinSettings();

    int m_ledCount = 16;
    QWidget *m_fileBar = nullptr;
    QLabel *m_fileName = nullptr;
    bool m_showingFile = false;
    QString m_canvasCode; // what the canvas holds, shown again after a file
    int m_canvasLedCount = 16;
    bool m_shownBefore = false;
    bool m_quiet = false; // settings changed by the program, not the user
    LitDotView *m_litDots = nullptr;
    QSpinBox *m_zoom = nullptr;
    QPushButton *m_fit = nullptr;
    DotControls *m_dotControls = nullptr;
    SpinView *m_spin = nullptr;
    QComboBox *m_variant = nullptr;
    QSpinBox *m_perRevolution = nullptr;
    QSpinBox *m_step = nullptr;
    QDoubleSpinBox *m_rpm = nullptr;
    QSpinBox *m_persistence = nullptr;
    QCheckBox *m_topOutermost = nullptr;
    QPushButton *m_play = nullptr;
    QPushButton *m_restart = nullptr;
    QLabel *m_revolution = nullptr;
    QLabel *m_modelNote = nullptr;
};

} // namespace tavrin::app
