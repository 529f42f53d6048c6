#pragma once

// Answers the window's modal boxes and dialogs by operating the real widgets, as a user would.
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;
};

// While alive, presses `button` on every message box that opens and records what it showed.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton button)
        : m_button(button) {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(5);
    }
    QList<SeenBox> seen;

private:
    void poll() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == m_last) {
            return;
        }
        m_last = box;
        SeenBox s{box->windowTitle(), box->text(), box->icon(), {}, box->textFormat()};
        for (QAbstractButton *b : box->buttons()) {
            s.buttons.append(b->text());
        }
        seen.append(s);
        if (QAbstractButton *b = box->button(m_button)) {
            b->click();
        } else if (box->buttons().size() == 1) {
            box->buttons().constFirst()->click(); // a box that only reports
        }
    }
    QMessageBox::StandardButton m_button;
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
};

// Answers the next file dialog: types `name` into its file name box and accepts, or cancels
// when name is empty.
class FileDialogAnswerer : public QObject {
public:
    explicit FileDialogAnswerer(const QString &name, std::function<void(QFileDialog *)> inspect = {})
        : m_name(name)
        , m_inspect(std::move(inspect)) {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(5);
    }
    bool answered = false;

private:
    void poll() {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || answered) {
            return;
        }
        if (!m_typed) {
            m_typed = true;
            if (m_inspect) {
                m_inspect(dialog);
            }
            if (m_name.isEmpty()) {
                answered = true;
                dialog->reject();
                return;
            }
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
                edit->setText(m_name);
            }
        }
        // The dialog enables its button once its folder listing has caught up with the typed name.
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QAbstractButton *ok = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
        if (!ok && buttons) {
            ok = buttons->button(QDialogButtonBox::Save);
        }
        if (ok && ok->isEnabled()) {
            answered = true;
            ok->click();
        } else if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            edit->setText(QString());
            edit->setText(m_name);
        }
    }
    bool m_typed = false;
    QString m_name;
    std::function<void(QFileDialog *)> m_inspect;
    QTimer m_timer;
};

// Answers the next choice from a list (a dialog holding a QListWidget): picks the item whose text
// starts with `prefix`, or cancels when prefix is empty. Records the items offered, their tooltips,
// the one preselected and the dialog's width. After `picks` choices it cancels.
class ChoiceAnswerer : public QObject {
public:
    explicit ChoiceAnswerer(const QString &prefix, int picks = 1000)
        : m_prefix(prefix)
        , m_picks(picks) {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(5);
    }
    QStringList items;
    QStringList tooltips;
    QString preselected;
    int width = 0;
    int times = 0;
    bool answered = false;

private:
    void poll() {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *list = dialog ? dialog->findChild<QListWidget *>() : nullptr;
        if (!list || dialog == m_last) {
            return;
        }
        m_last = dialog;
        answered = true;
        ++times;
        items.clear();
        tooltips.clear();
        for (int i = 0; i < list->count(); ++i) {
            items.append(list->item(i)->text());
            tooltips.append(list->item(i)->toolTip());
        }
        preselected = list->currentItem() ? list->currentItem()->text() : QString();
        width = dialog->frameGeometry().width();
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        if (m_prefix.isEmpty() || !buttons || times > m_picks) {
            dialog->reject();
            return;
        }
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(m_prefix)) {
                list->setCurrentRow(i);
            }
        }
        buttons->button(QDialogButtonBox::Ok)->click();
    }
    QString m_prefix;
    int m_picks;
    QTimer m_timer;
    QPointer<QDialog> m_last;
};

// While alive, closes every modal dialog or box that opens as Esc would, and notes each one's
// title and, for a message box, its text.
class ModalDismisser : public QObject {
public:
    ModalDismisser() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                titles.append(dialog->windowTitle());
                if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                    texts.append(box->text());
                }
                dialog->reject();
            }
        });
        m_timer.start(5);
    }
    QStringList titles;
    QStringList texts;

private:
    QTimer m_timer;
};
