#pragma once

#include <optional>

#include <QDialog>

class QLabel;
class QListWidget;

namespace tavrin::app {

// Chooses the board firmware for the HEX export: one line per variant, its wiring, chip and LED
// count under the list and as the line's tooltip. Fits a 1024 × 768 screen.
class VariantDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VariantDialog)

public:
    explicit VariantDialog(int preselected, QWidget *parent = nullptr);

    // The chosen variant number; nothing when the user cancelled.
    static std::optional<int> choose(QWidget *parent, int preselected);

    int chosenVariant() const;

private:
    void showDescription();

    QListWidget *m_list = nullptr;
    QLabel *m_description = nullptr;
};

// The words of a variant, in the window's language: the chooser's and the board preview's.
QString variantTitle(int number);
QString variantDescription(int number);

} // namespace tavrin::app
