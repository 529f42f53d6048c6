#pragma once

#include "compose/dots.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace tavrin::app {

// How a picture is made into dots: the method, the brightness threshold and inversion, in one row.
// The board preview and the picture settings both offer it.
class DotControls : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DotControls)

public:
    explicit DotControls(QWidget *parent = nullptr);

    compose::DotSettings settings() const;
    // Shows the settings without reporting a change.
    void showSettings(const compose::DotSettings &settings);

Q_SIGNALS:
    void changed(const compose::DotSettings &settings);

private:
    void updateControls();

    QComboBox *m_method = nullptr;
    QSlider *m_threshold = nullptr;
    QLabel *m_thresholdValue = nullptr;
    QCheckBox *m_invert = nullptr;
};

} // namespace tavrin::app
