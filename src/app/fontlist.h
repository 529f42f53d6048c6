#pragma once

#include "platform/desktop.h"

#include <QElapsedTimer>
#include <QListWidget>

namespace tavrin::app {

// The font choice: one item per installed family, under its name in the window's language, each
// drawn in its own face where that face can draw it. Typing jumps to the first item whose name, or
// the font system's name for it, starts with what was typed (or else holds it).
class FontList : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FontList)

public:
    explicit FontList(QWidget *parent = nullptr);

    void setFamilies(const QList<platform::FontFamily> &families);
    // The font system's name of the chosen family; empty when none is chosen.
    QString chosenFamily() const;

    void keyboardSearch(const QString &search) override;

private:
    QString m_typed;
    QElapsedTimer m_sinceTyped;
};

} // namespace tavrin::app
